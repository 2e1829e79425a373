#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QtGlobal>

class IVkClip;
struct VkTimelineSettings;

// A timeline that renders single frames. renderFrame may be called from any thread, one call at a
// time per timeline.
class VKVBLMODEL_EXPORT IVkTimeline
{
public:
    // A timeline holding just this clip (it takes its own reference); null when the clip's file
    // cannot be decoded.
    static IVkTimeline* createSimpleTimeline(IVkClip* clip);
    static void releaseInstance(IVkTimeline* timeline);

    // Draws frame `frame` of the timeline scaled to exactly width x height into `pixels`
    // (width * height * 4 bytes, QImage::Format_ARGB32 rows, stride width * 4). Leaves the buffer
    // untouched and returns false when the frame cannot be decoded.
    virtual bool renderFrame(qint64 frame, int width, int height, uchar* pixels) = 0;
    virtual void applySettings(const VkTimelineSettings& settings) = 0;

protected:
    virtual ~IVkTimeline();
};
