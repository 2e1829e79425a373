#pragma once

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkVBLModelExport.h>

// Facts of a probed file common to every kind of media. The video, audio and image parts derive
// from it virtually, so one object can answer all of them and be reached from any by dynamic_cast.
class VKVBLMODEL_EXPORT IVkMediaInfo
{
public:
    // Bits of GetStreamFlags(): a file with video and audio reports 3; a still image reports 4.
    enum StreamFlag : int
    {
        StreamFlag_Video = 1,
        StreamFlag_Audio = 2,
        StreamFlag_Image = 4,
    };

    virtual ~IVkMediaInfo();

    // Exact number of video frames (counted from the packet index where the header cannot be
    // trusted); for audio-only media, the length in frames at GetFrameRate().
    virtual int GetFrameCount() const = 0;
    // True for media without a running time (still images, single-frame animations).
    virtual bool HasNoDuration() const = 0;
    virtual int GetStreamFlags() const = 0;
    virtual VkFrameRate GetFrameRate() const = 0;
};
