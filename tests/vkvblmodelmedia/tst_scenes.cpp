// What the model's scene detector and one-clip timeline add to the engine's (tests/vkmedia covers cuts,
// stopping, refusals and exact frames): notification order and thread, settings read at start, silent
// release, the factory hook, timeline-to-clip frame mapping, clip references and cached thumbnails.

#include "VkMediaTestFiles.h"

#include <vkcore/VkConfig.h>
#include <vkmedia/VkFrameCache.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>
#include <vkvblmodel/IVkTimeline.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkTimelineSettings.h>

#include <QRegularExpression>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "VkTestMain.h"

namespace {
using Ranges = QVector<QPair<qint64, qint64>>;

QString mediaPath(const QString& name)
{
    return VkMediaTestFiles::dir() + QLatin1Char('/') + name;
}

std::unique_ptr<IVkAbstractMediaItem> item(const QString& path)
{
    return VkMediaItemFactory::create(path, nullptr);
}

// Records the notifications and the threads they came on; the hook runs on that thread afterwards.
class Recorder final : public IVkScenceDetectEventObserver
{
public:
    bool onDetectBegin() override { return record('B'); }
    bool onDetectFinished() override { return record('F'); }
    bool onDetectStopped() override { return record('X'); }
    bool onDetectFailed() override { return record('E'); }
    bool onSceneDetected(qint64 start, qint64 end) override { return record('S', start, end); }

    // Called with the notification's kind and the first frame of a scene.
    std::function<void(char, qint64)> hook;

    // The notifications in order: B begin, S scene, F finished, X stopped, E failed.
    QString trace() const { return locked(m_trace); }
    Ranges scenes() const { return locked(m_scenes); }
    std::set<std::thread::id> threads() const { return locked(m_threads); }

    // Waits for `kind`, or for any end by default; the timeout only guards against a hang.
    bool waitFor(char kind = 0)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(120), [&] {
            return kind ? m_trace.contains(QLatin1Char(kind)) : m_trace.contains(QRegularExpression("[FXE]"));
        });
    }

private:
    template <typename T>
    T locked(const T& value) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return value;
    }

    bool record(char kind, qint64 start = 0, qint64 end = 0)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_trace += QLatin1Char(kind);
            if (kind == 'S')
                m_scenes.append({start, end});
            m_threads.insert(std::this_thread::get_id());
        }
        m_changed.notify_all();
        if (hook)
            hook(kind, start);
        return true;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QString m_trace;
    Ranges m_scenes;
    std::set<std::thread::id> m_threads;
};

struct Releaser
{
    void operator()(IVkScenceDetect* detector) const { detector->release(); }
    void operator()(IVkTimeline* timeline) const { IVkTimeline::releaseInstance(timeline); }
};
using DetectorPtr = std::unique_ptr<IVkScenceDetect, Releaser>;
using TimelinePtr = std::unique_ptr<IVkTimeline, Releaser>;

DetectorPtr detectorFor(const QString& name, Recorder* recorder)
{
    DetectorPtr detector(IVkScenceDetect::createInstance());
    detector->init(name.isEmpty() ? QString() : mediaPath(name), VkFrameRate{25, 1});
    detector->setObserver(recorder);
    return detector;
}

// A timeline on the file; the clip it was made from is released at once, as the scene presenter does.
TimelinePtr timelineOf(const QString& path)
{
    const auto media = item(path);
    IVkClip* clip = media ? media->GetClip() : nullptr;
    if (!clip)
        return nullptr;
    TimelinePtr timeline(IVkTimeline::createSimpleTimeline(clip));
    clip->Release();
    return timeline;
}

std::vector<uchar> buffer(int width, int height)
{
    return std::vector<uchar>(size_t(width) * size_t(height) * 4, 0);
}

} // namespace

Q_DECLARE_METATYPE(Ranges)

class tst_VkSceneModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VK_ENSURE_TEST_MEDIA(); }
    void init();
    void scenesInOrder_data();
    void scenesInOrder();
    void stopAndSecondStart();
    void releaseDuringRun_data();
    void releaseDuringRun();
    void timelineRate_data();
    void timelineRate();
    void stillPicture();
    void cannotOpen();
};

void tst_VkSceneModel::init()
{
    IVkScenceDetect::setFactory({});
    VkConfig::Instance().SetSceneDetectThreshold(VkConfig::kDefaultSceneDetectThreshold);
    VkConfig::Instance().SetSceneDetectMinSceneLength(VkConfig::kDefaultSceneDetectMinSceneLength);
}

void tst_VkSceneModel::scenesInOrder_data()
{
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("minSceneLength");
    QTest::addColumn<Ranges>("expected");

    // Six shots of 30 frames. At least 35 frames a scene drops the cuts at 30, 90 and 150.
    QTest::newRow("shortest scene 35")
        << VkConfig::kDefaultSceneDetectThreshold << 35 << Ranges{{0, 60}, {60, 120}, {120, 180}};
    // No content distance reaches 1000: one scene over the whole clip.
    QTest::newRow("threshold out of reach")
        << 1000.0 << VkConfig::kDefaultSceneDetectMinSceneLength << Ranges{{0, 180}};
}

void tst_VkSceneModel::scenesInOrder()
{
    QFETCH(double, threshold);
    QFETCH(int, minSceneLength);
    QFETCH(Ranges, expected);

    // The settings change after the detector is made: they must be read when it starts.
    Recorder recorder;
    DetectorPtr detector = detectorFor(QStringLiteral("scenes.mp4"), &recorder);
    VkConfig::Instance().SetSceneDetectThreshold(threshold);
    VkConfig::Instance().SetSceneDetectMinSceneLength(minSceneLength);
    QVERIFY(detector->start());
    QVERIFY(recorder.waitFor());
    // Started again as soon as the run has ended, it reports the clip afresh.
    Recorder again;
    detector->setObserver(&again);
    QVERIFY(detector->start());
    QVERIFY(again.waitFor());
    detector.reset();

    QCOMPARE(recorder.trace(),
             QLatin1Char('B') + QString(expected.size(), QLatin1Char('S')) + QLatin1Char('F'));
    QCOMPARE(recorder.scenes(), expected);
    QCOMPARE(again.trace(), recorder.trace());
    QCOMPARE(again.scenes(), expected);
    // Every notification comes on the detector's own thread, never on the caller's.
    QCOMPARE(recorder.threads().size(), size_t(1));
    QVERIFY(!recorder.threads().count(std::this_thread::get_id()));
}

void tst_VkSceneModel::stopAndSecondStart()
{
    // A start while running is refused without disturbing the run; a stop ends it with one X.
    Recorder recorder;
    DetectorPtr detector = detectorFor(QStringLiteral("long.mp4"), &recorder);
    QVERIFY(detector->start());
    QVERIFY(recorder.waitFor('B'));
    QVERIFY(!detector->start());
    detector->stop();
    QVERIFY(recorder.waitFor());
    const QString ended = recorder.trace();
    detector.reset();
    QVERIFY2(QRegularExpression(QStringLiteral("^BS*X$")).match(ended).hasMatch(), qPrintable(ended));
    // Nothing came after the end, including while the detector was released.
    QCOMPARE(recorder.trace(), ended);
}

void tst_VkSceneModel::releaseDuringRun_data()
{
    QTest::addColumn<QString>("when");
    // Right after start() (the thread may not have run at all), once it is decoding, and on its own
    // thread from the begin notification (a thread that cannot join itself), each a few times, as the
    // moment the release meets the decode loop varies.
    for (int round = 0; round < 4; ++round) {
        for (const char* when : {"after start", "after begin", "from its notification"})
            QTest::addRow("%s %d", when, round) << QString::fromLatin1(when);
    }
}

void tst_VkSceneModel::releaseDuringRun()
{
    // The observer is deleted as soon as release() returns: a late notification would reach freed
    // memory, and a second destruction would free twice (the sanitizer tells).
    QFETCH(QString, when);
    auto recorder = std::make_unique<Recorder>();
    IVkScenceDetect* detector = detectorFor(QStringLiteral("long.mp4"), recorder.get()).release();
    const bool fromNotification = when == QLatin1String("from its notification");
    if (fromNotification) {
        recorder->hook = [detector](char kind, qint64) {
            if (kind == 'B')
                detector->release();
        };
    }
    QVERIFY(detector->start());
    if (when != QLatin1String("after start"))
        QVERIFY(recorder->waitFor('B'));
    if (fromNotification) {
        // A full run of another detector meanwhile is neither blocked nor heard by the first observer.
        Recorder next;
        DetectorPtr other = detectorFor(QStringLiteral("scenes.mp4"), &next);
        QVERIFY(other->start());
        QVERIFY(next.waitFor());
        other.reset();
        QVERIFY(next.trace().endsWith(QLatin1Char('F')));
        QCOMPARE(recorder->trace(), QStringLiteral("B"));
        return;
    }
    detector->release();
    // Ending by release is silent: the stop it causes is not reported.
    QVERIFY2(!recorder->trace().contains(QRegularExpression(QStringLiteral("[XE]"))),
             qPrintable(recorder->trace()));
}

void tst_VkSceneModel::timelineRate_data()
{
    QTest::addColumn<qint64>("rateNum");
    QTest::addColumn<qint64>("rateDen");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<int>("clipFrame");

    // The clip runs at 25 fps; a timeline frame shows clip frame floor(frame / timeline rate * 25).
    QTest::newRow("same rate") << qint64(25) << qint64(1) << qint64(37) << 37;
    // 0.82 s: floor(20.5) = 20.
    QTest::newRow("double rate") << qint64(50) << qint64(1) << qint64(41) << 20;
    // 1.001 s: floor(25.025) = 25.
    QTest::newRow("ntsc") << qint64(30000) << qint64(1001) << qint64(30) << 25;
    // floor(23.976) = 23, then 1.001 s gives 25: one clip frame is skipped there.
    QTest::newRow("film rate before the skip") << qint64(24000) << qint64(1001) << qint64(23) << 23;
    QTest::newRow("film rate after the skip") << qint64(24000) << qint64(1001) << qint64(24) << 25;
    // Exactly 17.5 -> 17.
    QTest::newRow("slower timeline") << qint64(10) << qint64(1) << qint64(7) << 17;
    // A rate with a zero part means nothing; the timeline keeps the clip's own.
    QTest::newRow("zero denominator ignored") << qint64(50) << qint64(0) << qint64(41) << 41;
    QTest::newRow("zero rate ignored") << qint64(0) << qint64(1) << qint64(12) << 12;
}

void tst_VkSceneModel::timelineRate()
{
    QFETCH(qint64, rateNum);
    QFETCH(qint64, rateDen);
    QFETCH(qint64, frame);
    QFETCH(int, clipFrame);

    const auto media = item(mediaPath("numbered.mp4"));
    QVERIFY(media);
    IVkClip* clip = media->GetClip();
    const TimelinePtr timeline(IVkTimeline::createSimpleTimeline(clip));
    QVERIFY(timeline);
    // The timeline holds a reference of its own and its release ends the clip (the sanitizer tells).
    QCOMPARE(clip->Release(), 1L);
    VkTimelineSettings settings;
    settings.frameRateNum = rateNum;
    settings.frameRateDen = rateDen;
    settings.ratio = QSize(320, 180);
    settings.resolution = QSize(320, 180);
    timeline->applySettings(settings);
    std::vector<uchar> pixels = buffer(320, 180);
    QVERIFY(timeline->renderFrame(frame, 320, 180, pixels.data()));
    QCOMPARE(VkMediaTestFiles::numberIn(pixels.data(), 320, 180), clipFrame);
}

void tst_VkSceneModel::stillPicture()
{
    // A picture placed on a timeline is its one frame: frame 0 draws, frame 1 does not exist.
    const TimelinePtr timeline = timelineOf(mediaPath("alpha.png"));
    QVERIFY(timeline);
    std::vector<uchar> pixels = buffer(200, 100);
    QVERIFY(timeline->renderFrame(0, 200, 100, pixels.data()));
    QVERIFY(std::any_of(pixels.begin(), pixels.end(), [](uchar b) { return b != 0; }));
    QVERIFY(!timeline->renderFrame(1, 200, 100, pixels.data()));
}

void tst_VkSceneModel::cannotOpen()
{
    // Sound has no picture: the failed attempt keeps no reference to the clip.
    const auto audio = item(mediaPath("audio.wav"));
    IVkClip* clip = audio ? audio->GetClip() : nullptr;
    QVERIFY(clip);
    QVERIFY(!IVkTimeline::createSimpleTimeline(clip));
    QCOMPARE(clip->Release(), 0L);
    QVERIFY(!IVkTimeline::createSimpleTimeline(nullptr));
    // Releasing nothing is harmless, as it is for every owner that may hold a null timeline.
    IVkTimeline::releaseInstance(nullptr);
}

VK_TEST_MAIN(tst_VkSceneModel)
#include "tst_scenes.moc"
