#include "VkEngineSceneDetect.h"

#include "VkMediaPaths.h"

#include <vkcore/VkConfig.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>

#include <atomic>
#include <thread>

namespace VkVBLModelInternal {

class VkEngineSceneDetect::Private final : public VkSceneObserver
{
public:
    VkSceneDetector engine;
    std::atomic<IVkScenceDetectEventObserver*> observer{nullptr};
    // The thread of the run in progress, known from its first notification on, so that a release()
    // made from inside a notification can tell that it must not join that very thread.
    std::atomic<std::thread::id> detectorThread{};
    // Set as the run sends its end: from then on its thread only winds down and may be joined.
    std::atomic<bool> runEnded{false};

    void sceneDetectBegin() override
    {
        detectorThread.store(std::this_thread::get_id());
        if (IVkScenceDetectEventObserver* o = observer.load())
            o->onDetectBegin();
    }
    void sceneDetected(int64_t start, int64_t end) override
    {
        if (IVkScenceDetectEventObserver* o = observer.load())
            o->onSceneDetected(start, end);
    }
    void sceneProgress(int64_t done, int64_t total) override
    {
        if (IVkScenceDetectEventObserver* o = observer.load())
            o->onDetectProgress(done, total);
    }
    void sceneDetectFinished() override
    {
        runEnded.store(true);
        if (IVkScenceDetectEventObserver* o = observer.load())
            o->onDetectFinished();
    }
    void sceneDetectStopped() override
    {
        runEnded.store(true);
        if (IVkScenceDetectEventObserver* o = observer.load())
            o->onDetectStopped();
    }
    void sceneDetectFailed(const std::string&) override
    {
        runEnded.store(true);
        if (IVkScenceDetectEventObserver* o = observer.load())
            o->onDetectFailed();
    }
};

VkEngineSceneDetect::VkEngineSceneDetect()
    : d(std::make_unique<Private>())
{
    d->engine.setObserver(d.get());
}

VkEngineSceneDetect::~VkEngineSceneDetect() = default;

void VkEngineSceneDetect::release()
{
    // From here on nothing reaches the observer, whichever thread is still running.
    d->observer.store(nullptr);
    d->engine.stop();
    if (d->detectorThread.load() == std::this_thread::get_id()) {
        // Called from one of our own notifications: the detector thread cannot join itself, so a
        // helper thread waits for it to end and then destroys the detector.
        std::thread([this] {
            d->engine.release();
            delete this;
        }).detach();
        return;
    }
    d->engine.release();
    delete this;
}

void VkEngineSceneDetect::init(QString filePath, VkFrameRate frameRate)
{
    d->engine.init(VkMediaPaths::toEngine(filePath), VkRational{frameRate.num, frameRate.den});
}

void VkEngineSceneDetect::setObserver(IVkScenceDetectEventObserver* observer)
{
    d->observer.store(observer);
}

bool VkEngineSceneDetect::start()
{
    VkSceneDetector::Params params;
    params.threshold = VkConfig::Instance().SceneDetectThreshold();
    params.minSceneLength = VkConfig::Instance().SceneDetectMinSceneLength();
    d->engine.setParams(params);
    // A host that starts again as soon as it hears of the end may be a moment ahead of the ended
    // run's thread; collecting that thread is bounded, refusing the start would look like a failure.
    if (d->runEnded.exchange(false))
        d->engine.release();
    return d->engine.start(nullptr);
}

void VkEngineSceneDetect::stop()
{
    d->engine.stop();
}

} // namespace VkVBLModelInternal
