#pragma once

#include "VkMediaExport.h"
#include "VkRational.h"

#include <vkcore/VkSceneDetectDefaults.h>

#include <cstdint>
#include <memory>
#include <string>

class VkSceneObserver;

// Finds the cuts of a video file on a thread of its own and reports its scenes to an observer.
//
// start() opens the file on the calling thread (bounded) and returns false when it cannot be decoded.
// The detection then runs on a std::thread of its own, which analyses the frames and sends every
// notification, while a second thread it owns keeps the decoder fed through a short queue (so the
// decoder never waits for the analysis); that second thread has ended before the last notification.
// stop() only raises a flag that both loops and FFmpeg's interrupt callback check. release() stops
// and joins: when it returns no notification is on its way. The destructor releases.
class VKMEDIA_EXPORT VkSceneDetector
{
public:
    struct Params
    {
        // Least content distance between two frames that may be a cut (about 30 to 100 between
        // unrelated pictures); lower finds more cuts.
        double threshold = VkSceneDetectDefaults::kThreshold;
        // Fewest frames of a scene; a cut closer than this to the previous one is ignored.
        int minSceneLength = VkSceneDetectDefaults::kMinSceneLength;
    };

    VkSceneDetector();
    ~VkSceneDetector();
    VkSceneDetector(const VkSceneDetector&) = delete;
    VkSceneDetector& operator=(const VkSceneDetector&) = delete;

    // The file and the rate its frames are counted at (kept for the caller; frame numbers are always
    // the file's own frames in presentation order).
    void init(const std::string& path, VkRational frameRate);
    void setParams(const Params& params);
    // Not owned; must outlive the detection (until release() or the end notification).
    void setObserver(VkSceneObserver* observer);

    const std::string& path() const;
    VkRational frameRate() const;
    Params params() const;

    // False, with a message and without any notification, when the file cannot be decoded or a
    // detection is already running.
    bool start(std::string* error = nullptr);
    void stop();
    // Must not be called from the observer (the detector thread cannot join itself).
    void release();
    bool isRunning() const;

private:
    class Private;
    const std::unique_ptr<Private> d;
};
