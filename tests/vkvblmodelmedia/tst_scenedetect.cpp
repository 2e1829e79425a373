// The model's scene detector: the order of its notifications and the thread they come on, the
// settings it reads at each start, stopping, releasing during a run, refused starts, and the factory
// hook through which a host or a test supplies its own detectors.

#include "VkMediaModelTestSupport.h"

#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkScenceDetect.h>

#include "VkTestMain.h"

using namespace VkMediaModelTest;

namespace {
using Ranges = QVector<QPair<qint64, qint64>>;

// A detector of the test's own, to see that createInstance() hands out what the factory makes.
class ScriptedDetect final : public IVkScenceDetect
{
public:
    explicit ScriptedDetect(int* alive)
        : m_alive(alive)
    {
        ++*m_alive;
    }

    void release() override { delete this; }
    void init(QString filePath, VkFrameRate) override { m_path = filePath; }
    void setObserver(IVkScenceDetectEventObserver* observer) override { m_observer = observer; }
    // Reports one scene over the whole of a 10-frame clip, at once, on the caller's thread.
    bool start() override
    {
        if (!m_observer || m_path.isEmpty())
            return false;
        m_observer->onDetectBegin();
        m_observer->onSceneDetected(0, kScriptedLength);
        m_observer->onDetectFinished();
        return true;
    }
    void stop() override {}

    static constexpr qint64 kScriptedLength = 10;

private:
    ~ScriptedDetect() override { --*m_alive; }

    int* m_alive;
    QString m_path;
    IVkScenceDetectEventObserver* m_observer = nullptr;
};

struct DetectorDeleter
{
    void operator()(IVkScenceDetect* detector) const
    {
        if (detector)
            detector->release();
    }
};
using DetectorPtr = std::unique_ptr<IVkScenceDetect, DetectorDeleter>;

DetectorPtr detectorFor(const QString& path, Recorder* recorder)
{
    DetectorPtr detector(IVkScenceDetect::createInstance());
    const auto media = item(path);
    detector->init(path, media ? media->GetMediaInfo()->GetFrameRate() : VkFrameRate());
    detector->setObserver(recorder);
    return detector;
}

// Scenes follow each other without gap or overlap from frame 0 to `length`.
bool coversClip(const Ranges& scenes, qint64 length)
{
    qint64 next = 0;
    for (const auto& scene : scenes) {
        if (scene.first != next || scene.second <= scene.first)
            return false;
        next = scene.second;
    }
    return next == length;
}
} // namespace

Q_DECLARE_METATYPE(Ranges)

class tst_VkSceneDetect : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void scenesInOrder_data();
    void scenesInOrder();
    void stopFromObserver_data();
    void stopFromObserver();
    void stopFromCaller();
    void releaseDuringRun_data();
    void releaseDuringRun();
    void releaseFromNotification();
    void startRefused_data();
    void startRefused();
    void secondStartRefused();
    void restartAfterEnd();
    void factoryHook();
};

void tst_VkSceneDetect::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void tst_VkSceneDetect::init()
{
    IVkScenceDetect::setFactory({});
    VkConfig::Instance().SetSceneDetectThreshold(VkConfig::kDefaultSceneDetectThreshold);
    VkConfig::Instance().SetSceneDetectMinSceneLength(VkConfig::kDefaultSceneDetectMinSceneLength);
}

void tst_VkSceneDetect::cleanup()
{
    IVkScenceDetect::setFactory({});
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_VkSceneDetect::scenesInOrder_data()
{
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("minSceneLength");
    QTest::addColumn<Ranges>("expected");

    // Six shots of 30 frames: cuts at 30, 60, 90, 120 and 150 of 180 frames, found with the defaults
    // (no shot is shorter than the shortest scene of 15).
    QTest::newRow("defaults") << VkConfig::kDefaultSceneDetectThreshold
                              << VkConfig::kDefaultSceneDetectMinSceneLength
                              << Ranges{{0, 30}, {30, 60}, {60, 90}, {90, 120}, {120, 150}, {150, 180}};
    // At least 35 frames a scene: each cut 30 frames after a kept one goes (30, 90, 150); 60 and 120
    // stay. Proves the shortest scene is read from the configuration.
    QTest::newRow("shortest scene 35")
        << VkConfig::kDefaultSceneDetectThreshold << 35 << Ranges{{0, 60}, {60, 120}, {120, 180}};
    // No content distance reaches 1000: one scene over the whole clip. Proves the threshold is read.
    QTest::newRow("threshold out of reach")
        << 1000.0 << VkConfig::kDefaultSceneDetectMinSceneLength << Ranges{{0, 180}};
}

void tst_VkSceneDetect::scenesInOrder()
{
    QFETCH(double, threshold);
    QFETCH(int, minSceneLength);
    QFETCH(Ranges, expected);

    // The detector is made before the settings change: they are read when it starts, not when it is
    // made.
    Recorder recorder;
    DetectorPtr detector = detectorFor(mediaPath("scenes.mp4"), &recorder);
    VkConfig::Instance().SetSceneDetectThreshold(threshold);
    VkConfig::Instance().SetSceneDetectMinSceneLength(minSceneLength);
    QVERIFY(detector->start());
    QVERIFY(recorder.waitEnd());
    detector.reset();

    const QVector<Event> events = recorder.events();
    QVERIFY(events.size() >= 3);
    QCOMPARE(events.first().kind, Event::Begin);
    QCOMPARE(events.last().kind, Event::Finished);
    for (int i = 1; i + 1 < events.size(); ++i)
        QCOMPARE(events.at(i).kind, Event::Scene);
    QCOMPARE(recorder.scenes(), expected);
    QVERIFY(coversClip(recorder.scenes(), 180));
    // Every notification comes on the detector's own thread, never on the caller's.
    for (const Event& e : events) {
        QVERIFY(e.thread != std::this_thread::get_id());
        QCOMPARE(e.thread, events.first().thread);
    }
}

void tst_VkSceneDetect::stopFromObserver_data()
{
    QTest::addColumn<int>("stopAt");
    QTest::addColumn<Ranges>("expected");

    // Asked to stop while it reports its first notification: nothing more than the stop follows.
    QTest::newRow("at the beginning") << int(Event::Begin) << Ranges{};
    // Asked to stop while it reports the first of six scenes: that one stays, the other five never come.
    QTest::newRow("at the first scene") << int(Event::Scene) << Ranges{{0, 30}};
}

void tst_VkSceneDetect::stopFromObserver()
{
    QFETCH(int, stopAt);
    QFETCH(Ranges, expected);

    Recorder recorder;
    DetectorPtr detector = detectorFor(mediaPath("scenes.mp4"), &recorder);
    IVkScenceDetect* raw = detector.get();
    std::atomic<bool> stopped{false};
    recorder.setHook([&](const Event& e) {
        if (e.kind == Event::Kind(stopAt) && !stopped.exchange(true))
            raw->stop();
    });
    QVERIFY(detector->start());
    QVERIFY(recorder.waitEnd());
    detector.reset();

    QCOMPARE(recorder.scenes(), expected);
    QCOMPARE(recorder.events().last().kind, Event::Stopped);
    QCOMPARE(recorder.count(Event::Stopped), 1);
    QCOMPARE(recorder.count(Event::Finished), 0);
}

void tst_VkSceneDetect::stopFromCaller()
{
    // 1000 frames of moving pattern. Stopped from this thread once it has begun, the run ends with
    // exactly one stop notification and never reports the whole clip.
    Recorder recorder;
    DetectorPtr detector = detectorFor(mediaPath("long.mp4"), &recorder);
    QVERIFY(detector->start());
    QVERIFY(recorder.waitFor(Event::Begin));
    detector->stop();
    QVERIFY(recorder.waitEnd());
    const QVector<Event> ended = recorder.events();
    detector.reset();

    QCOMPARE(ended.last().kind, Event::Stopped);
    QCOMPARE(recorder.count(Event::Stopped), 1);
    QCOMPARE(recorder.count(Event::Finished), 0);
    QVERIFY(!coversClip(recorder.scenes(), 1000));
    // Nothing came after the end, including while the detector was released.
    QCOMPARE(recorder.events().size(), ended.size());
}

void tst_VkSceneDetect::releaseDuringRun_data()
{
    QTest::addColumn<bool>("waitForBegin");

    // Released right after start() (the thread may not have run at all) and once it is decoding.
    QTest::newRow("at once") << false;
    QTest::newRow("while decoding") << true;
}

void tst_VkSceneDetect::releaseDuringRun()
{
    QFETCH(bool, waitForBegin);

    // Repeated, because the moment the release meets the decode loop differs from run to run. The
    // observer is deleted as soon as release() returns: a late notification would reach freed memory,
    // which the address sanitizer reports.
    constexpr int kRuns = 8;
    for (int run = 0; run < kRuns; ++run) {
        auto recorder = std::make_unique<Recorder>();
        IVkScenceDetect* detector = IVkScenceDetect::createInstance();
        detector->init(mediaPath("long.mp4"), VkFrameRate{25, 1});
        detector->setObserver(recorder.get());
        QVERIFY(detector->start());
        if (waitForBegin)
            QVERIFY(recorder->waitFor(Event::Begin));
        detector->release();
        const QVector<Event> events = recorder->events();
        recorder.reset();
        // Ending by release is silent: the stop that release() causes is not reported, and the clip
        // was not analysed to its end.
        for (const Event& e : events) {
            QVERIFY(e.kind != Event::Stopped);
            QVERIFY(e.kind != Event::Failed);
        }
    }
}

void tst_VkSceneDetect::releaseFromNotification()
{
    // A host may end the detector from inside a notification, on the detector's own thread, which
    // cannot join itself. The release must still silence the observer at once and end the detector
    // without a deadlock; the address sanitizer checks that it is destroyed exactly once.
    Recorder recorder;
    IVkScenceDetect* detector = IVkScenceDetect::createInstance();
    detector->init(mediaPath("long.mp4"), VkFrameRate{25, 1});
    detector->setObserver(&recorder);
    recorder.setHook([detector](const Event& e) {
        if (e.kind == Event::Begin)
            detector->release();
    });
    QVERIFY(detector->start());
    QVERIFY(recorder.waitFor(Event::Begin));

    // A full run of another detector on the same file meanwhile: the released one neither blocks it
    // nor speaks to the first observer again.
    Recorder next;
    DetectorPtr other = detectorFor(mediaPath("scenes.mp4"), &next);
    QVERIFY(other->start());
    QVERIFY(next.waitEnd());
    other.reset();
    QCOMPARE(next.events().last().kind, Event::Finished);
    QCOMPARE(recorder.events().size(), 1);
}

void tst_VkSceneDetect::startRefused_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("random bytes") << mediaPath("random.mp4");
    QTest::newRow("empty file") << mediaPath("empty.mp4");
    QTest::newRow("missing") << mediaPath("missing.mp4");
    // Sound has no pictures to cut.
    QTest::newRow("audio only") << mediaPath("audio.wav");
    QTest::newRow("no file given") << QString();
}

void tst_VkSceneDetect::startRefused()
{
    QFETCH(QString, path);

    Recorder recorder;
    DetectorPtr detector(IVkScenceDetect::createInstance());
    detector->init(path, VkFrameRate{25, 1});
    detector->setObserver(&recorder);
    QVERIFY(!detector->start());
    // release() joins any thread a start could have begun, so an empty record afterwards means no
    // notification was ever sent.
    detector.reset();
    QVERIFY(recorder.events().isEmpty());
}

void tst_VkSceneDetect::secondStartRefused()
{
    Recorder recorder;
    DetectorPtr detector = detectorFor(mediaPath("long.mp4"), &recorder);
    QVERIFY(detector->start());
    QVERIFY(recorder.waitFor(Event::Begin));
    QVERIFY(!detector->start());
    detector->stop();
    QVERIFY(recorder.waitEnd());
    detector.reset();
    // One run only: one beginning and one end.
    QCOMPARE(recorder.count(Event::Begin), 1);
    QCOMPARE(recorder.count(Event::Stopped), 1);
}

void tst_VkSceneDetect::restartAfterEnd()
{
    // A detector that has finished can run again; the second run reports the clip afresh.
    Recorder first;
    DetectorPtr detector = detectorFor(mediaPath("scenes.mp4"), &first);
    QVERIFY(detector->start());
    QVERIFY(first.waitEnd());
    Recorder second;
    detector->setObserver(&second);
    QVERIFY(detector->start());
    QVERIFY(second.waitEnd());
    detector.reset();
    QCOMPARE(first.events().last().kind, Event::Finished);
    QCOMPARE(second.events().last().kind, Event::Finished);
    QCOMPARE(second.scenes(), first.scenes());
    QCOMPARE(second.count(Event::Begin), 1);
}

void tst_VkSceneDetect::factoryHook()
{
    int alive = 0;
    int made = 0;
    IVkScenceDetect::setFactory([&]() -> IVkScenceDetect* {
        ++made;
        return new ScriptedDetect(&alive);
    });
    IVkScenceDetect* scripted = IVkScenceDetect::createInstance();
    QVERIFY(dynamic_cast<ScriptedDetect*>(scripted));
    QCOMPARE(made, 1);
    QCOMPARE(alive, 1);
    Recorder recorder;
    scripted->init(QStringLiteral("any.mp4"), VkFrameRate{25, 1});
    scripted->setObserver(&recorder);
    QVERIFY(scripted->start());
    QCOMPARE(recorder.scenes(), (Ranges{{0, ScriptedDetect::kScriptedLength}}));
    scripted->release();
    QCOMPARE(alive, 0);

    // An empty factory brings the built-in detector back: it is not the test's, and it really decodes.
    IVkScenceDetect::setFactory({});
    Recorder builtIn;
    DetectorPtr detector = detectorFor(mediaPath("scenes.mp4"), &builtIn);
    QVERIFY(!dynamic_cast<ScriptedDetect*>(detector.get()));
    QCOMPARE(made, 1);
    QVERIFY(detector->start());
    QVERIFY(builtIn.waitEnd());
    detector.reset();
    QVERIFY(coversClip(builtIn.scenes(), 180));
    QVERIFY(builtIn.events().first().thread != std::this_thread::get_id());
}

VK_TEST_MAIN(tst_VkSceneDetect)
#include "tst_scenedetect.moc"
