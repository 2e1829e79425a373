#pragma once

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

#include <QList>

#include <functional>
#include <thread>

// A scene detector the test drives: it notifies from a thread of its own, as the real one does, but
// only when the test says so.
class FakeDetector : public IVkScenceDetect
{
public:
    static QList<FakeDetector*>& alive()
    {
        static QList<FakeDetector*> detectors;
        return detectors;
    }
    static bool& nextStartResult()
    {
        static bool result = true;
        return result;
    }
    // Runs inside a successful start(), on the caller's thread, before start() returns: a detector
    // that reports part or all of a run at once.
    static std::function<void(IVkScenceDetectEventObserver*)>& duringStart()
    {
        static std::function<void(IVkScenceDetectEventObserver*)> call;
        return call;
    }
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
class FakeVideoItem : public IVkAbstractMediaItem, public IVkVideoMediaInfo
{
public:
    int GetFrameCount() const override { return 900; }
    bool HasNoDuration() const override { return false; }
    int GetStreamFlags() const override { return StreamFlag_Video; }
    VkFrameRate GetFrameRate() const override { return {30, 1}; }
    int GetHeight() const override { return 1080; }
    int GetWidth() const override { return 1920; }
    QString GetCodecName() const override { return QStringLiteral("h264"); }
    int GetBitRate() const override { return 0; }
    QString GetTransferCharacteristics() const override { return QStringLiteral("BT.709"); }

    int GetItemType() const override { return ItemType_Video; }
    int GetStockSite() const override { return 0; }
    int GetStockSource() const override { return 0; }
    QString GetName() const override { return QStringLiteral("fake"); }
    bool IsRenameEnabled() const override { return true; }
    IVkMediaInfo* GetMediaInfo() const override { return const_cast<FakeVideoItem*>(this); }
    int GetAudioStreamIndex() const override { return -1; }
    IVkClip* GetClip() const override { return nullptr; }
    QString GetSourceFilePath() const override { return QStringLiteral("/nonexistent/fake.mp4"); }
    QString GetFilePath() const override { return GetSourceFilePath(); }
    QString GetAlternateName() const override { return QString(); }
    bool IsStockMedia() const override { return false; }
    bool IsVCGMedia() const override { return false; }
    void SetName(const QString&) override {}
};
