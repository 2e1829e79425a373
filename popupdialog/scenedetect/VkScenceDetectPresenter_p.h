#pragma once

#include "VkScenceDetectPresenter.h"

#include <vkvblmodel/IVkScenceDetectEventObserver.h>

#include <atomic>
#include <mutex>

class IVkScenceDetect;
class IVkTimeline;

// The detector's observer. Its notifications arrive on the detector's thread and touch no widget:
// they seek the preview, render a thumbnail and emit the presenter's signals.
class VkScenceDetectPresenter::Private final : public IVkScenceDetectEventObserver
{
public:
    Private(VkScenceDetectPresenter* owner, IVkAbstractMediaItem* item);
    ~Private();

    bool onDetectBegin() override;
    bool onDetectFinished() override;
    bool onDetectStopped() override;
    bool onDetectFailed() override;
    bool onSceneDetected(qint64 startFrame, qint64 endFrame) override;
    bool onDetectProgress(qint64 framesDone, qint64 frameCount) override;

    QImage thumbnailOf(qint64 frame);
    void endDetection(bool finished);

    VkScenceDetectPresenter* q;
    IVkScenceDetect* detector = nullptr;
    IVkAbstractMediaItem* media;
    VkMediaPlayerPresenter* playerPresenter = nullptr;
    IVkTimeline* timeline = nullptr;
    int thumbWidth = 100;
    int thumbHeight = 56;
    // Written by the GUI thread on start and stop, read and cleared by the detector's thread.
    std::atomic<bool> acceptResults{false};
    std::atomic<bool> detecting{false};
    qint64 mediaLength = 0;

    // Held while a thumbnail renders, so that the timeline cannot be released under it.
    std::mutex timelineMutex;
};
