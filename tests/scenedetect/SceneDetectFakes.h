#pragma once

#include "MediaPropertyFakes.h"

#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>

#include <QList>

#include <functional>
#include <thread>

// A scene detector the test drives: it notifies from a thread of its own, as the real one does, but
// only when the test says so.
class FakeDetector : public IVkScenceDetect
{
public:
    static inline QList<FakeDetector*> detectors;
    static inline bool startResult = true;
    // Runs inside a successful start(), on the caller's thread, before start() returns: a detector
    // that reports part or all of a run at once.
    static inline std::function<void(IVkScenceDetectEventObserver*)> startCall;
    static QList<FakeDetector*>& alive() { return detectors; }
    static bool& nextStartResult() { return startResult; }
    static std::function<void(IVkScenceDetectEventObserver*)>& duringStart() { return startCall; }
    static FakeDetector* last() { return alive().isEmpty() ? nullptr : alive().last(); }

    FakeDetector() { alive().append(this); }
    void release() override
    {
        alive().removeOne(this);
        delete this;
    }
    void init(QString filePath, VkFrameRate) override { path = filePath; }
    void setObserver(IVkScenceDetectEventObserver* o) override { observer = o; }
    bool start() override
    {
        ++startCalls;
        if (nextStartResult() && duringStart())
            duringStart()(observer);
        return nextStartResult();
    }
    void stop() override { ++stopCalls; }

    // Runs one notification on another thread and returns the observer's answer.
    bool notify(const std::function<bool(IVkScenceDetectEventObserver*)>& call)
    {
        bool answer = false;
        std::thread([&] { answer = call(observer); }).join();
        return answer;
    }
    bool scene(qint64 start, qint64 end)
    {
        return notify([=](IVkScenceDetectEventObserver* o) { return o->onSceneDetected(start, end); });
    }
    bool progress(qint64 done, qint64 total)
    {
        return notify([=](IVkScenceDetectEventObserver* o) { return o->onDetectProgress(done, total); });
    }
    bool finished() { return notify(&IVkScenceDetectEventObserver::onDetectFinished); }
    bool stopped() { return notify(&IVkScenceDetectEventObserver::onDetectStopped); }
    bool failed() { return notify(&IVkScenceDetectEventObserver::onDetectFailed); }

    QString path;
    IVkScenceDetectEventObserver* observer = nullptr;
    int startCalls = 0;
    int stopCalls = 0;

protected:
    ~FakeDetector() override = default;
};

// A 1080p 30 fps clip the model knows by its facts only: no file, so no clip and no thumbnails.
class FakeVideoItem : public FakeItem
{
public:
    FakeVideoItem()
    {
        facts.frameCount = 900;
        facts.streamFlags = IVkMediaInfo::StreamFlag_Video;
        facts.frameRate = {30, 1};
        facts.width = 1920;
        facts.height = 1080;
        info = &facts;
        audioStreamIndex = -1;
        sourcePath = filePath = QStringLiteral("/nonexistent/fake.mp4");
    }
    FakeMediaInfo facts;
};
