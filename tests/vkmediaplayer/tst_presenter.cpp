// The preview player driven through its presenter, over generated clips whose pictures carry their
// own frame numbers: what is opened, which frames are shown after seeks and during playback of a
// range, seeks from another thread, and destruction in the middle of playback.

#include "PlayerTestMedia.h"
#include "VkTestMain.h"

#include <vkcore/VkMessage.h>
#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerFactory.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>

#include <QSignalSpy>

#include <atomic>
#include <chrono>
#include <future>
#include <limits>
#include <thread>

using PlayerTestMedia::FrameLog;
using PlayerTestMedia::ProbedItem;

namespace {

// Upper bound for anything the player's thread has to do; sanitizer builds decode slowly. Never an
// expectation about speed.
constexpr int kWaitMs = 60000;
// numbered.mp4: 3 s at 25 fps.
constexpr int kNumberedFrames = 75;

// A player of someone else's: the presenter can only hand it ranges and seeks.
class RecordingPlayer : public IVkMediaPlayer
{
public:
    void setPlayRange(qint64 first, qint64 count) override
    {
        calls << QStringLiteral("range %1 %2").arg(first).arg(count);
    }
    void seek(qint64 frame, bool exact, bool keepPlaying) override
    {
        calls << QStringLiteral("seek %1 %2 %3").arg(frame).arg(exact).arg(keepPlaying);
    }
    QStringList calls;
};

QList<int> run(int first, int count)
{
    QList<int> frames;
    for (int i = 0; i < count; ++i)
        frames << first + i;
    return frames;
}

} // namespace

class tst_VkMediaPlayerPresenter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void openMedia_data();
    void openMedia();
    void failedOpenClosesPrevious();
    void exactSeeks_data();
    void exactSeeks();
    void seeksOutsideRange_data();
    void seeksOutsideRange();
    void inexactSeeksKeepOrder();
    void playRange_data();
    void playRange();
    void playAfterEndStartsOver();
    void stopGoesToRangeStart();
    void steps_data();
    void steps();
    void autoPlayFlag();
    void seekFromAnotherThread();
    void seekStormFromAnotherThread();
    void destroyWhilePlaying_data();
    void destroyWhilePlaying();
    void resetDropsFramesOnTheirWay();
    void renderSize_data();
    void renderSize();
    void resizeRedrawsShownFrame();
    void messages();
    void foreignPlayer();

private:
    // Opens the clip and waits for the first picture, which every open shows.
    static bool openAndShowFirst(VkMediaPlayerPresenter& presenter, ProbedItem* item, FrameLog& log);
};

void tst_VkMediaPlayerPresenter::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void tst_VkMediaPlayerPresenter::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

bool tst_VkMediaPlayerPresenter::openAndShowFirst(VkMediaPlayerPresenter& presenter, ProbedItem* item,
                                                  FrameLog& log)
{
    if (!item || !presenter.openMedia(item, VKVBLMODEL::VkMediaSource_Library, 0))
        return false;
    return QTest::qWaitFor([&] { return !log.shown.isEmpty(); }, kWaitMs) && log.shown.first() == 0;
}

void tst_VkMediaPlayerPresenter::openMedia_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<int>("length");

    // 3 s at 25 fps: 75 frames, counted from the MP4 header.
    QTest::newRow("mp4") << "numbered.mp4" << true << 75;
    // The same frames without a count in the header: the packet index counts them.
    QTest::newRow("mpeg-ts") << "numbered.ts" << true << 75;
    // 25 frames at 25 fps, 25 at 10 fps, 25 at 50 fps: still 75 frames, not duration x rate (5 s x 25).
    QTest::newRow("variable rate") << "numbered_vfr.mkv" << true << 75;
    // 2 s at 25 fps with an audio track beside the video.
    QTest::newRow("video with audio") << "av.mp4" << true << 50;
    QTest::newRow("audio only") << "audio.wav" << false << 0;
    QTest::newRow("still image") << "photo.jpg" << false << 0;
}

void tst_VkMediaPlayerPresenter::openMedia()
{
    QFETCH(QString, file);
    QFETCH(bool, opens);
    QFETCH(int, length);

    auto item = ProbedItem::open(file.toUtf8().constData());
    QVERIFY(item);
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    QSignalSpy opened(&presenter, &VkMediaPlayerPresenter::sigMediaOpened);
    FrameLog log(&presenter);

    QCOMPARE(presenter.openMedia(item.get(), VKVBLMODEL::VkMediaSource_Library, 0), opens);
    QCOMPARE(presenter.mediaLength(), length);
    QCOMPARE(presenter.play(), opens);
    presenter.pause();
    if (!opens) {
        QCOMPARE(opened.count(), 0);
        QTest::qWait(50);
        QVERIFY(log.reported.isEmpty());
        return;
    }
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toInt(), length);
    // The preview opens on its first picture, not on black.
    QTRY_VERIFY_WITH_TIMEOUT(!log.reported.isEmpty(), kWaitMs);
    QCOMPARE(log.reported.first(), qlonglong(0));
    QCOMPARE(presenter.playRangeFirst(), qint64(0));
    QCOMPARE(presenter.playRangeCount(), qint64(length));
}

void tst_VkMediaPlayerPresenter::failedOpenClosesPrevious()
{
    auto video = ProbedItem::open("numbered.mp4");
    auto audio = ProbedItem::open("audio.wav");
    QVERIFY(video && audio);
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, video.get(), log));
    QCOMPARE(presenter.currentFrame(), qint64(0));

    // Asking for another item means the first is no longer wanted, whether or not the new one opens.
    QVERIFY(!presenter.openMedia(audio.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    QCOMPARE(presenter.mediaLength(), 0);
    QCOMPARE(presenter.currentFrame(), qint64(-1));
    QVERIFY(presenter.currentImage().isNull());
    QVERIFY(!presenter.play());
    QVERIFY(!presenter.openMedia(nullptr, VKVBLMODEL::VkMediaSource_Library, 0));
}

void tst_VkMediaPlayerPresenter::exactSeeks_data()
{
    QTest::addColumn<QList<int>>("frames");

    // Key frames every 12 with B-frames: each of these crosses a group backwards or forwards, and
    // every one must be shown, in the order asked, although they are all asked at once.
    QTest::newRow("across groups") << QList<int>{74, 0, 37, 12, 11, 13, 36, 1, 60, 59};
    QTest::newRow("same frame twice") << QList<int>{20, 20, 21};
    QTest::newRow("one after another") << run(40, 12);
}

void tst_VkMediaPlayerPresenter::exactSeeks()
{
    QFETCH(QList<int>, frames);

    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    log.clear();

    for (const int f : frames)
        presenter.seek(f, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), frames.size(), kWaitMs);
    QCOMPARE(log.shown, frames);
    QCOMPARE(presenter.currentFrame(), qint64(frames.last()));
    QVERIFY(!presenter.isPlaying());
    // The number the presenter reports is the number in the pixels.
    for (int i = 0; i < frames.size(); ++i)
        QCOMPARE(log.reported.at(i), qlonglong(log.shown.at(i)));
}

void tst_VkMediaPlayerPresenter::seeksOutsideRange_data()
{
    QTest::addColumn<bool>("relative");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<int>("expected");

    // The range is [20, 30). The player's own seek counts from the range's first frame, the
    // presenter's from the clip's.
    QTest::newRow("relative 3") << true << qint64(3) << 23;
    QTest::newRow("relative before") << true << qint64(-5) << 20;
    QTest::newRow("relative past the end") << true << qint64(1000) << 29;
    QTest::newRow("relative at the limit") << true << std::numeric_limits<qint64>::max() << 29;
    QTest::newRow("absolute 25") << false << qint64(25) << 25;
    QTest::newRow("absolute before") << false << qint64(3) << 20;
    QTest::newRow("absolute at the limit") << false << std::numeric_limits<qint64>::min() << 20;
}

void tst_VkMediaPlayerPresenter::seeksOutsideRange()
{
    QFETCH(bool, relative);
    QFETCH(qint64, frame);
    QFETCH(int, expected);

    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    log.clear();
    presenter.mediaPlayer()->setPlayRange(20, 10);
    if (relative)
        presenter.mediaPlayer()->seek(frame, true, false);
    else
        presenter.seek(frame, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 1, kWaitMs);
    QCOMPARE(log.shown.first(), expected);
}

void tst_VkMediaPlayerPresenter::inexactSeeksKeepOrder()
{
    // Scrubbing: requests may be dropped for newer ones, but an older frame never follows a newer
    // one and the last request is always shown.
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    log.clear();

    const QList<int> asked = run(30, 25);
    for (const int f : asked)
        presenter.seek(f, false, false);
    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == 54, kWaitMs);
    QTest::qWait(100);
    QCOMPARE(log.shown.last(), 54);
    for (int i = 0; i < log.shown.size(); ++i) {
        QVERIFY(asked.contains(log.shown.at(i)));
        if (i > 0)
            QVERIFY2(log.shown.at(i) > log.shown.at(i - 1), qPrintable(QString::number(log.shown.at(i))));
    }
}

void tst_VkMediaPlayerPresenter::playRange_data()
{
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("expectedFirst");
    QTest::addColumn<int>("expectedCount");

    // A scene [10, 25) as the scene list asks for it: first 10, count 25 - 10 = 15: frames 10..24.
    QTest::newRow("scene inside the clip") << qint64(10) << qint64(15) << 10 << 15;
    // What the detector sets before a run: count = length - 1 leaves out frame 74.
    QTest::newRow("whole clip but one") << qint64(0) << qint64(74) << 0 << 74;
    // 70 + 20 runs past the 75 frames: clamped to 70..74, 5 frames.
    QTest::newRow("count past the end") << qint64(70) << qint64(20) << 70 << 5;
    // A first frame past the end becomes the last frame, and the range one frame long.
    QTest::newRow("first past the end") << qint64(100) << qint64(5) << 74 << 1;
    QTest::newRow("negative first") << qint64(-5) << qint64(3) << 0 << 3;
    QTest::newRow("one frame") << qint64(40) << qint64(1) << 40 << 1;
    // An empty range would play nothing; it is taken as one frame.
    QTest::newRow("zero count") << qint64(40) << qint64(0) << 40 << 1;
}

void tst_VkMediaPlayerPresenter::playRange()
{
    QFETCH(qint64, first);
    QFETCH(qint64, count);
    QFETCH(int, expectedFirst);
    QFETCH(int, expectedCount);

    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    log.clear();
    QSignalSpy state(&presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);
    QSignalSpy range(&presenter, &VkMediaPlayerPresenter::sigPlayRangeChanged);

    presenter.mediaPlayer()->setPlayRange(first, count);
    presenter.mediaPlayer()->seek(0, false, false);
    QVERIFY(presenter.play());

    QTRY_COMPARE_WITH_TIMEOUT(state.count(), 2, kWaitMs);
    QCOMPARE(state.at(0).at(0).toBool(), true);
    QCOMPARE(state.at(1).at(0).toBool(), false);
    QVERIFY(!presenter.isPlaying());
    // Frames are delivered before the stop that follows them, so the log is complete here.
    QCOMPARE(log.shown, run(expectedFirst, expectedCount));
    QCOMPARE(log.reported.size(), expectedCount);
    QCOMPARE(presenter.currentFrame(), qint64(expectedFirst + expectedCount - 1));
    QCOMPARE(presenter.playRangeFirst(), qint64(expectedFirst));
    QCOMPARE(presenter.playRangeCount(), qint64(expectedCount));
    // The whole clip was the range before; any other range is announced once.
    const bool changed = !(expectedFirst == 0 && expectedCount == kNumberedFrames);
    QCOMPARE(range.count(), changed ? 1 : 0);

    // Nothing more comes once playback has stopped at the end.
    QTest::qWait(100);
    QCOMPARE(log.shown.size(), expectedCount);
}

void tst_VkMediaPlayerPresenter::playAfterEndStartsOver()
{
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    QSignalSpy state(&presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);

    presenter.mediaPlayer()->setPlayRange(50, 6);
    presenter.seek(50, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(presenter.currentFrame(), qint64(50), kWaitMs);
    log.clear();

    // From the frame shown, play goes on with the next one: 51..55.
    presenter.play();
    QTRY_COMPARE_WITH_TIMEOUT(state.count(), 2, kWaitMs);
    QCOMPARE(log.shown, run(51, 5));

    // At the end of the range, play starts over from its first frame: 50..55.
    log.clear();
    presenter.playOrPause();
    QTRY_COMPARE_WITH_TIMEOUT(state.count(), 4, kWaitMs);
    QCOMPARE(log.shown, run(50, 6));

    // Resting on the last frame after a seek counts as the end too: the seek shows 55, then 50..55.
    log.clear();
    presenter.seek(55, true, false);
    presenter.play();
    QTRY_COMPARE_WITH_TIMEOUT(state.count(), 6, kWaitMs);
    QCOMPARE(log.shown, QList<int>{55} + run(50, 6));
}

void tst_VkMediaPlayerPresenter::stopGoesToRangeStart()
{
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));

    presenter.mediaPlayer()->setPlayRange(20, 40);
    presenter.seek(20, false, false);
    presenter.play();
    QTRY_VERIFY_WITH_TIMEOUT(presenter.currentFrame() >= 23, kWaitMs);
    presenter.stop();
    QVERIFY(!presenter.isPlaying());
    QTRY_COMPARE_WITH_TIMEOUT(presenter.currentFrame(), qint64(20), kWaitMs);
    // Settled: stopped on the range's first frame, and it stays there.
    QTest::qWait(100);
    QCOMPARE(presenter.currentFrame(), qint64(20));
    QCOMPARE(log.shown.last(), 20);
    QVERIFY(!presenter.isPlaying());
}

void tst_VkMediaPlayerPresenter::steps_data()
{
    QTest::addColumn<qint64>("rangeFirst");
    QTest::addColumn<qint64>("rangeCount");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("expected");

    // Steps asked faster than frames are decoded add up: 10 + 1 + 1 = 12.
    QTest::newRow("two frames on") << qint64(0) << qint64(75) << qint64(10) << "ff" << 12;
    QTest::newRow("frame back") << qint64(0) << qint64(75) << qint64(10) << "b" << 9;
    // One second is 25 frames at 25 fps: 10 + 25 = 35.
    QTest::newRow("second on") << qint64(0) << qint64(75) << qint64(10) << "F" << 35;
    // 10 - 25 is before the clip: held at frame 0.
    QTest::newRow("second back clamps") << qint64(0) << qint64(75) << qint64(10) << "B" << 0;
    // The range [20, 25) holds a step at its edges.
    QTest::newRow("back at range start") << qint64(20) << qint64(5) << qint64(20) << "b" << 20;
    QTest::newRow("on at range end") << qint64(20) << qint64(5) << qint64(24) << "f" << 24;
    QTest::newRow("there and back") << qint64(0) << qint64(75) << qint64(40) << "ffbfB" << 17;
}

void tst_VkMediaPlayerPresenter::steps()
{
    QFETCH(qint64, rangeFirst);
    QFETCH(qint64, rangeCount);
    QFETCH(qint64, start);
    QFETCH(QString, steps);
    QFETCH(int, expected);

    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    presenter.mediaPlayer()->setPlayRange(rangeFirst, rangeCount);
    presenter.seek(start, true, false);
    for (const QChar c : steps) {
        if (c == QLatin1Char('f') || c == QLatin1Char('F'))
            presenter.forward(c == QLatin1Char('f'));
        else
            presenter.backward(c == QLatin1Char('b'));
    }
    QTRY_VERIFY2_WITH_TIMEOUT(!presenter.isPlaying() && presenter.currentFrame() == expected,
                              qPrintable(QStringLiteral("at frame %1").arg(presenter.currentFrame())),
                              kWaitMs);
    QTest::qWait(100);
    QCOMPARE(log.shown.last(), expected);
}

void tst_VkMediaPlayerPresenter::autoPlayFlag()
{
    auto item = ProbedItem::open("av.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    QSignalSpy state(&presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);
    QSignalSpy position(&presenter, &VkMediaPlayerPresenter::sigPositionChanged);
    QVERIFY(presenter.openMedia(item.get(), VKVBLMODEL::VkMediaSource_Timeline,
                                VkMediaPlayerPresenter::OpenFlag_AutoPlay));
    QCOMPARE(presenter.sourceType(), VKVBLMODEL::VkMediaSource_Timeline);
    QVERIFY(presenter.isPlaying());
    QTRY_COMPARE_WITH_TIMEOUT(state.count(), 2, kWaitMs);
    // 50 frames, each shown once: 0 (the opening picture) to 49.
    QCOMPARE(position.count(), 50);
    QCOMPARE(position.first().at(0).toLongLong(), qlonglong(0));
    QCOMPARE(position.last().at(0).toLongLong(), qlonglong(49));
}

void tst_VkMediaPlayerPresenter::seekFromAnotherThread()
{
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    presenter.play();
    QTRY_VERIFY_WITH_TIMEOUT(log.shown.size() >= 3, kWaitMs);

    // The GUI thread does not run its event loop while it waits here, as when it joins a detector:
    // a seek that needed the GUI thread would never return.
    std::promise<void> returned;
    std::thread caller([&] {
        presenter.seek(60, false, false);
        returned.set_value();
    });
    const auto status = returned.get_future().wait_for(std::chrono::milliseconds(kWaitMs));
    if (status != std::future_status::ready)
        QTest::qWait(100); // let a blocked call through, so that the thread can be joined
    caller.join();
    QVERIFY2(status == std::future_status::ready, "seek waited for the GUI thread");

    // Not keeping playback: the player pauses on frame 60.
    QVERIFY(!presenter.isPlaying());
    QTRY_COMPARE_WITH_TIMEOUT(presenter.currentFrame(), qint64(60), kWaitMs);
    QTest::qWait(100);
    QCOMPARE(log.shown.last(), 60);
}

void tst_VkMediaPlayerPresenter::seekStormFromAnotherThread()
{
    // As a detector does, a thread moves the preview again and again while the GUI thread plays and
    // pauses; the last request wins.
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));

    std::atomic<bool> done{false};
    std::thread detector([&] {
        for (int i = 0; i < 300; ++i)
            presenter.seek((i * 7) % kNumberedFrames, false, i % 2 == 0);
        done = true;
    });
    while (!done) {
        presenter.playOrPause();
        QCoreApplication::processEvents();
    }
    detector.join();
    std::thread([&] { presenter.seek(42, true, false); }).join();
    QTRY_VERIFY_WITH_TIMEOUT(presenter.currentFrame() == 42 && log.shown.last() == 42, kWaitMs);
    QTest::qWait(100);
    QCOMPARE(log.shown.last(), 42);
    for (int i = 0; i < log.shown.size(); ++i)
        QCOMPARE(log.reported.at(i), qlonglong(log.shown.at(i)));
}

void tst_VkMediaPlayerPresenter::destroyWhilePlaying_data()
{
    QTest::addColumn<bool>("givenPlayer");
    QTest::addColumn<int>("framesBefore");

    QTest::newRow("own player, at once") << false << 0;
    QTest::newRow("own player, while playing") << false << 3;
    QTest::newRow("factory player, while playing") << true << 3;
}

void tst_VkMediaPlayerPresenter::destroyWhilePlaying()
{
    QFETCH(bool, givenPlayer);
    QFETCH(int, framesBefore);
    constexpr int kRounds = 8;

    auto item = ProbedItem::open("numbered.mp4");
    for (int round = 0; round < kRounds; ++round) {
        std::unique_ptr<IVkMediaPlayer> player = givenPlayer ? mediaPlayerFactory()->createPlayer() : nullptr;
        auto* presenter = new VkMediaPlayerPresenter(nullptr, player.get());
        QVERIFY(presenter->mediaPlayer());
        int frames = 0;
        int afterDeletion = 0;
        bool deleted = false;
        QObject counter;
        connect(presenter, &VkMediaPlayerPresenter::sigFrameReady, &counter, [&] {
            ++frames;
            if (deleted)
                ++afterDeletion;
        });
        QVERIFY(presenter->openMedia(item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
        presenter->play();
        QVERIFY(QTest::qWaitFor([&] { return frames >= framesBefore; }, kWaitMs));
        // A seek in flight as well, so that the thread is busy when it is told to end.
        presenter->seek(70, true, true);
        delete presenter;
        deleted = true;
        player.reset();
        QTest::qWait(20);
        QCOMPARE(afterDeletion, 0);
    }
}

void tst_VkMediaPlayerPresenter::resetDropsFramesOnTheirWay()
{
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QSignalSpy cleared(&presenter, &VkPresenter::sigClearView);
    QSignalSpy reset(&presenter, &VkPresenter::sigReset);
    QSignalSpy state(&presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    presenter.play();
    QTRY_VERIFY_WITH_TIMEOUT(log.shown.size() >= 3 && state.count() == 1, kWaitMs);

    presenter.reset();
    const int shownAtReset = log.shown.size();
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(reset.count(), 1);
    // The views learn that playback ended with the media.
    QCOMPARE(state.count(), 2);
    QCOMPARE(state.last().at(0).toBool(), false);
    QCOMPARE(presenter.mediaLength(), 0);
    QCOMPARE(presenter.currentFrame(), qint64(-1));
    QVERIFY(presenter.currentImage().isNull());
    QVERIFY(!presenter.isPlaying());
    QVERIFY(!presenter.play());
    // Frames rendered before the reset and still queued are not delivered.
    QTest::qWait(200);
    QCOMPARE(log.shown.size(), shownAtReset);
}

void tst_VkMediaPlayerPresenter::renderSize_data()
{
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("expected");

    // The clip is 320 x 180.
    QTest::newRow("half size") << QSize(160, 90) << QSize(160, 90);
    // A preview never decodes larger than the clip; the view scales up.
    QTest::newRow("larger than the clip") << QSize(1920, 1080) << QSize(320, 180);
    // 100 / 320 = 0.3125; 180 x 0.3125 = 56.25, rounded to 56.
    QTest::newRow("square box") << QSize(100, 100) << QSize(100, 56);
    // Height decides: 90 / 180 = 0.5 gives 160 x 90 within 400 x 90.
    QTest::newRow("wide box") << QSize(400, 90) << QSize(160, 90);
}

void tst_VkMediaPlayerPresenter::renderSize()
{
    QFETCH(QSize, box);
    QFETCH(QSize, expected);

    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    presenter.setRenderSize(box);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    QCOMPARE(log.sizes.first(), expected);
    presenter.seek(37, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 2, kWaitMs);
    QCOMPARE(log.shown.last(), 37);
    QCOMPARE(log.sizes.last(), expected);
}

void tst_VkMediaPlayerPresenter::resizeRedrawsShownFrame()
{
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));
    presenter.seek(33, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 2, kWaitMs);
    QCOMPARE(log.sizes.last(), QSize(320, 180));

    // Paused: the same frame comes again at the new size.
    presenter.setRenderSize(QSize(160, 90));
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 3, kWaitMs);
    QCOMPARE(log.shown.last(), 33);
    QCOMPARE(log.sizes.last(), QSize(160, 90));
    // A box that still fits the same size changes nothing.
    presenter.setRenderSize(QSize(170, 90));
    QTest::qWait(100);
    QCOMPARE(log.shown.size(), 3);
}

void tst_VkMediaPlayerPresenter::messages()
{
    auto item = ProbedItem::open("numbered.mp4");
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    QSignalSpy passedOn(&presenter, &VkPresenter::sigMessage);
    QVERIFY(openAndShowFirst(presenter, item.get(), log));

    VkMessage seek(VkMediaPlayerPresenter::Message_Seek, qlonglong(33));
    presenter.dispatchMessage(&seek);
    VkMessage step(VkMediaPlayerPresenter::Message_Forward, true);
    presenter.dispatchMessage(&step);
    VkMessage unknown(999, QStringLiteral("ignored"));
    presenter.dispatchMessage(&unknown);
    presenter.dispatchMessage(nullptr);

    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == 34, kWaitMs);
    QCOMPARE(passedOn.count(), 3);
    QCOMPARE(passedOn.at(0).at(0).toInt(), int(VkMediaPlayerPresenter::Message_Seek));
    QCOMPARE(passedOn.at(2).at(0).toInt(), 999);
}

void tst_VkMediaPlayerPresenter::foreignPlayer()
{
    auto item = ProbedItem::open("numbered.mp4");
    RecordingPlayer player;
    {
        VkMediaPlayerPresenter presenter(nullptr, &player);
        QCOMPARE(presenter.mediaPlayer(), static_cast<IVkMediaPlayer*>(&player));
        QVERIFY(presenter.openMedia(item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
        QCOMPARE(presenter.mediaLength(), kNumberedFrames);
        // Without our renderer nothing can be played here; ranges and seeks are still handed over.
        QVERIFY(!presenter.play());
        presenter.seek(12, false, true);
        presenter.stop();
    }
    const QStringList expected = {QStringLiteral("range 0 75"), QStringLiteral("seek 0 1 0"),
                                  QStringLiteral("seek 12 0 1"), QStringLiteral("seek 0 1 0")};
    QCOMPARE(player.calls, expected);
}

VK_TEST_MAIN(tst_VkMediaPlayerPresenter)
#include "tst_presenter.moc"
