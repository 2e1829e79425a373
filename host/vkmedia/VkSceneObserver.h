#pragma once

#include "VkMediaExport.h"
#include "VkSceneTransition.h"

#include <cstdint>
#include <string>

// Receives a scene detector's notifications, all on the detector's own thread, in this order: one
// sceneDetectBegin(), any number of sceneTransition(), sceneDetected() and sceneProgress(), then exactly one
// of sceneDetectFinished(), sceneDetectStopped() or sceneDetectFailed(). Implementations must not wait for
// the thread that calls the detector's release(): it may be joining this one.
class VKMEDIA_EXPORT VkSceneObserver
{
public:
    virtual ~VkSceneObserver();

    virtual void sceneDetectBegin() = 0;
    // A finished scene, the half-open frame range [start, end). Scenes arrive in order and together
    // cover the clip once detection has finished. The first frame of the scene is in the shared frame
    // cache when this is called.
    virtual void sceneDetected(int64_t start, int64_t end) = 0;
    // How the scene about to be reported by sceneDetected() ends: sent just before it for every scene
    // but the last, with the frame that begins the next scene.
    virtual void sceneTransition(const VkSceneTransition& transition);
    // Frames analysed so far out of `total`: sent for the first frame analysed, then about once per
    // percent or four times a second, whichever is more often, and with `total` at the end of a run
    // that finished.
    virtual void sceneProgress(int64_t done, int64_t total);
    virtual void sceneDetectFinished() = 0;
    virtual void sceneDetectStopped() = 0;
    virtual void sceneDetectFailed(const std::string& message) = 0;
};
