// The threaded scene detector: cuts of a clip with known shots, the order of notifications, stopping
// from the observer, releasing while a run is under way, files that cannot be decoded, and the queue
// between its decoding and analysing threads.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkDecodedFrameQueue.h>
#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkPlaneSampler.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>

#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Only guards against a hang; no result depends on it.
constexpr auto kDeadlockGuard = std::chrono::seconds(120);

struct Event
{
    enum Kind
    {
        Begin,
        Scene,
        Finished,
        Stopped,
        Failed
    } kind;
    qint64 start = 0;
    qint64 end = 0;
};

class Recorder : public VkSceneObserver
{
public:
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<Event> events;
    bool done = false;
    // Optional: stop the detector once this many frames are analysed.
    VkSceneDetector* stopTarget = nullptr;
    qint64 stopAfter = -1;
    std::atomic<bool> stopSent{false};
    // Optional: render each scene's first frame as a thumbnail, on the detector thread.
    VkFrameRenderer* thumbnails = nullptr;
    std::atomic<int> thumbnailsOk{0};
    // Set by the test once release() has returned: nothing may arrive after it.
    std::atomic<bool> released{false};
    std::atomic<int> afterRelease{0};

    void record(Event e)
    {
        if (released.load())
            ++afterRelease;
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(e);
        if (e.kind == Event::Finished || e.kind == Event::Stopped || e.kind == Event::Failed) {
            done = true;
            ended.notify_all();
        }
    }
    bool waitEnd()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return ended.wait_for(lock, kDeadlockGuard, [this] { return done; });
    }

    void sceneDetectBegin() override { record({Event::Begin}); }
    void sceneDetected(int64_t start, int64_t end) override
    {
        if (thumbnails) {
            std::vector<uint8_t> argb(99 * 56 * 4);
            if (thumbnails->renderFrame(start, 99, 56, argb.data()))
                ++thumbnailsOk;
        }
        record({Event::Scene, start, end});
    }
    void sceneProgress(int64_t done, int64_t) override
    {
        if (stopTarget && done >= stopAfter && !stopSent.exchange(true))
            stopTarget->stop();
    }
    void sceneDetectFinished() override { record({Event::Finished}); }
    void sceneDetectStopped() override { record({Event::Stopped}); }
    void sceneDetectFailed(const std::string&) override { record({Event::Failed}); }
};

using Ranges = QVector<QPair<qint64, qint64>>;

Ranges scenesOf(const std::vector<Event>& events)
{
    Ranges ranges;
    for (const Event& e : events) {
        if (e.kind == Event::Scene)
            ranges.append({e.start, e.end});
    }
    return ranges;
}

// One Begin first, exactly one end notification last, scenes only in between.
bool wellOrdered(const std::vector<Event>& events, Event::Kind expectedEnd)
{
    if (events.size() < 2 || events.front().kind != Event::Begin || events.back().kind != expectedEnd)
        return false;
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        if (events[i].kind != Event::Scene)
            return false;
    }
    return true;
}

} // namespace

Q_DECLARE_METATYPE(Ranges)

class tst_VkMediaScenes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void knownCuts_data();
    void knownCuts();
    void stopFromObserver();
    void releaseDuringRun();
    void startRefused_data();
    void startRefused();
    void planeSampler_data();
    void planeSampler();
    void frameQueueHandOver();
    void frameQueueClose();
};

void tst_VkMediaScenes::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void tst_VkMediaScenes::knownCuts_data()
{
    QTest::addColumn<int>("minSceneLength");
    QTest::addColumn<Ranges>("expected");

    // Six shots of 30 frames (cuts at 30, 60, 90, 120, 150; 180 frames). The flash at frame 45 and
    // the same-colour cut at 90 and the reframing at 150 are the hard parts.
    QTest::newRow("every cut") << 10
                               << Ranges{{0, 30}, {30, 60}, {60, 90}, {90, 120}, {120, 150}, {150, 180}};
    // With at least 35 frames per scene, the cuts 30 frames after a kept one are dropped: 30 (30 after
    // 0), 90 (30 after 60) and 150 (30 after 120); 60 and 120 stay.
    QTest::newRow("min length 35") << 35 << Ranges{{0, 60}, {60, 120}, {120, 180}};
}

void tst_VkMediaScenes::knownCuts()
{
    QFETCH(int, minSceneLength);
    QFETCH(Ranges, expected);

    VkFrameCache::instance().clear();
    const std::string path = VkMediaTestFiles::path("scenes.mp4");
    VkFrameRenderer renderer;
    std::string error;
    QVERIFY2(renderer.open(path, &error), error.c_str());

    Recorder recorder;
    recorder.thumbnails = &renderer;
    VkSceneDetector detector;
    detector.init(path, VkRational{25, 1});
    VkSceneDetector::Params params;
    params.minSceneLength = minSceneLength;
    detector.setParams(params);
    detector.setObserver(&recorder);
    const uint64_t hitsBefore = VkFrameCache::instance().hits();
    QVERIFY2(detector.start(&error), error.c_str());
    QVERIFY(recorder.waitEnd());
    detector.release();

    QVERIFY(wellOrdered(recorder.events, Event::Finished));
    QCOMPARE(scenesOf(recorder.events), expected);
    // Every thumbnail came from the detector's kept first frames, without a decode.
    QCOMPARE(recorder.thumbnailsOk.load(), expected.size());
    QCOMPARE(VkFrameCache::instance().hits() - hitsBefore, uint64_t(expected.size()));
}

void tst_VkMediaScenes::stopFromObserver()
{
    // 1000 frames; the observer asks to stop once 200 are analysed. The run must end with the stop
    // notification, send no scene after the request, and never reach the end of the clip.
    const std::string path = VkMediaTestFiles::path("long.mp4");
    Recorder recorder;
    VkSceneDetector detector;
    recorder.stopTarget = &detector;
    recorder.stopAfter = 200;
    detector.init(path, VkRational{25, 1});
    detector.setObserver(&recorder);
    std::string error;
    QVERIFY2(detector.start(&error), error.c_str());
    QVERIFY(recorder.waitEnd());
    detector.release();
    QVERIFY(recorder.stopSent.load());
    QVERIFY(wellOrdered(recorder.events, Event::Stopped));
    for (const auto& range : scenesOf(recorder.events))
        QVERIFY(range.second < 1000);

    // The detector can run again after a stop and then finishes, covering all 1000 frames.
    Recorder again;
    detector.setObserver(&again);
    QVERIFY2(detector.start(&error), error.c_str());
    QVERIFY(again.waitEnd());
    detector.release();
    QVERIFY(wellOrdered(again.events, Event::Finished));
    const Ranges scenes = scenesOf(again.events);
    QVERIFY(!scenes.isEmpty());
    QCOMPARE(scenes.first().first, qint64(0));
    QCOMPARE(scenes.last().second, qint64(1000));
    for (int i = 1; i < scenes.size(); ++i)
        QCOMPARE(scenes[i].first, scenes[i - 1].second);
}

void tst_VkMediaScenes::releaseDuringRun()
{
    // Released at different points of a run (before the thread has begun, right after, after some
    // frames): release must return with the thread gone, and no notification may follow it.
    const std::string path = VkMediaTestFiles::path("long.mp4");
    for (int round = 0; round < 6; ++round) {
        Recorder recorder;
        auto detector = std::make_unique<VkSceneDetector>();
        detector->init(path, VkRational{25, 1});
        detector->setObserver(&recorder);
        std::string error;
        QVERIFY2(detector->start(&error), error.c_str());
        for (int spin = 0; spin < round * 50; ++spin)
            std::this_thread::yield();
        detector->release();
        recorder.released.store(true);
        QVERIFY(!detector->isRunning());
        detector.reset();
        QCOMPARE(recorder.afterRelease.load(), 0);
        std::lock_guard<std::mutex> lock(recorder.mutex);
        // Either nothing started yet, or a begin and exactly one end (stopped unless it had finished).
        if (!recorder.events.empty()) {
            QCOMPARE(int(recorder.events.front().kind), int(Event::Begin));
            int ends = 0;
            for (const Event& e : recorder.events)
                ends += e.kind == Event::Finished || e.kind == Event::Stopped || e.kind == Event::Failed;
            QCOMPARE(ends, 1);
        }
    }
}

void tst_VkMediaScenes::startRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("empty") << "empty.mp4";
    QTest::newRow("random bytes") << "random.mp4";
    QTest::newRow("truncated mp4") << "truncated.mp4";
    QTest::newRow("audio only") << "audio.wav";
    QTest::newRow("missing") << "no-such-file.mp4";
}

void tst_VkMediaScenes::startRefused()
{
    QFETCH(QString, file);
    Recorder recorder;
    VkSceneDetector detector;
    detector.init(VkMediaTestFiles::path(file.toUtf8().constData()), VkRational{25, 1});
    detector.setObserver(&recorder);
    std::string error;
    QVERIFY(!detector.start(&error));
    QVERIFY(!error.empty());
    detector.release();
    // Refused without a single notification.
    QVERIFY(recorder.events.empty());
}

namespace {

vkmedia::VkDecodedFrameQueue::Item numberedFrame(int64_t pts)
{
    vkmedia::FramePtr frame = vkmedia::makeFrame();
    frame->pts = pts;
    return {std::move(frame), 0};
}

} // namespace

void tst_VkMediaScenes::planeSampler_data()
{
    QTest::addColumn<int>("srcWidth");
    QTest::addColumn<int>("srcHeight");
    QTest::addColumn<int>("dstWidth");
    QTest::addColumn<int>("dstHeight");
    // Cells eight wide are summed whole, sixteen samples at a time, with a tail for an odd count.
    QTest::newRow("1080p luma") << 1920 << 1080 << 240 << 134;
    QTest::newRow("odd cell count") << 8 * 13 << 40 << 13 << 5;
    // Other widths take samples spread over each cell.
    QTest::newRow("cells of 8.06") << 1000 << 562 << 124 << 70;
    QTest::newRow("cells of 3") << 36 << 9 << 12 << 3;
}

void tst_VkMediaScenes::planeSampler()
{
    // Each source column belongs to one destination cell, and its samples are the cell's number plus
    // a ripple of up to 7 along the row, the same on every row: a sampler that averages the wrong
    // samples, drops a cell or crosses into the next one gives a different value.
    QFETCH(int, srcWidth);
    QFETCH(int, srcHeight);
    QFETCH(int, dstWidth);
    QFETCH(int, dstHeight);
    const int stride = srcWidth + 24;
    std::vector<uint8_t> src(static_cast<size_t>(stride) * srcHeight, 255);
    std::vector<int> cellOf(static_cast<size_t>(srcWidth));
    for (int x = 0; x < srcWidth; ++x)
        cellOf[size_t(x)] = int(int64_t(x) * dstWidth / srcWidth);
    const bool eightWide = srcWidth == 8 * dstWidth;
    for (int y = 0; y < srcHeight; ++y) {
        for (int x = 0; x < srcWidth; ++x) {
            // Spread samples cannot be told apart from each other, so only whole cells ripple.
            const int ripple = eightWide ? x % 8 : 0;
            src[size_t(y) * stride + size_t(x)] = uint8_t(8 * (cellOf[size_t(x)] % 28) + ripple);
        }
    }
    vkmedia::VkPlaneSampler sampler(srcWidth, srcHeight, dstWidth, dstHeight);
    std::vector<uint8_t> dst(static_cast<size_t>(dstWidth) * dstHeight, 0);
    sampler.sample(src.data(), stride, dst.data());
    for (int y = 0; y < dstHeight; ++y) {
        for (int x = 0; x < dstWidth; ++x) {
            // The ripple 0..7 averages to 3.5, which rounds up.
            const int expected = 8 * (x % 28) + (eightWide ? 4 : 0);
            QCOMPARE(int(dst[size_t(y) * dstWidth + size_t(x)]), expected);
        }
    }
}

void tst_VkMediaScenes::frameQueueHandOver()
{
    // A producer far ahead of its consumer: every frame arrives once, in order, then the end. The end
    // goes in even when the queue is full, so it can never be the item that waits for room.
    constexpr int kFrames = 50;
    vkmedia::VkDecodedFrameQueue queue(2);
    auto producer = std::async(std::launch::async, [&queue] {
        for (int i = 0; i < kFrames; ++i) {
            if (!queue.push(numberedFrame(i)))
                return false;
        }
        return queue.push({nullptr, AVERROR_EOF});
    });
    for (int i = 0; i < kFrames; ++i) {
        const auto item = queue.pop();
        QVERIFY(item.frame);
        QCOMPARE(item.result, 0);
        QCOMPARE(item.frame->pts, int64_t(i));
    }
    QVERIFY(producer.wait_for(kDeadlockGuard) == std::future_status::ready);
    QVERIFY(producer.get());
    const auto end = queue.pop();
    QVERIFY(!end.frame);
    QCOMPARE(end.result, AVERROR_EOF);

    vkmedia::VkDecodedFrameQueue full(1);
    QVERIFY(full.push(numberedFrame(0)));
    auto endOfFull = std::async(std::launch::async, [&full] { return full.push({nullptr, AVERROR_EOF}); });
    QVERIFY(endOfFull.wait_for(kDeadlockGuard) == std::future_status::ready);
    QVERIFY(endOfFull.get());
}

void tst_VkMediaScenes::frameQueueClose()
{
    // The consumer gives up while the producer waits for room: the producer is let go, its frame and
    // every later one are refused, and a pop sees the queue as stopped.
    vkmedia::VkDecodedFrameQueue queue(1);
    QVERIFY(queue.push(numberedFrame(0)));
    std::promise<void> started;
    auto producer = std::async(std::launch::async, [&queue, &started] {
        started.set_value();
        return queue.push(numberedFrame(1));
    });
    started.get_future().wait();
    queue.close();
    QVERIFY(producer.wait_for(kDeadlockGuard) == std::future_status::ready);
    QVERIFY(!producer.get());
    QVERIFY(!queue.push({nullptr, AVERROR_EOF}));
    const auto item = queue.pop();
    QVERIFY(!item.frame);
    QCOMPARE(item.result, AVERROR_EXIT);
}

QTEST_GUILESS_MAIN(tst_VkMediaScenes)
#include "tst_vkmedia_scenes.moc"
