// The preview player driven through its presenter, over generated clips whose pictures carry their
// own frame numbers: what is opened, which frames are shown after seeks and during playback of a
// range, seeks from another thread, and destruction in the middle of playback.

#include "PlayerTestMedia.h"

#include <QSignalSpy>

#include <atomic>
#include <thread>

using namespace PlayerTestMedia;

namespace {

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

    // numbered.mp4: 3 s at 25 fps, 75 frames.
    std::unique_ptr<IVkAbstractMediaItem> m_item;
    std::unique_ptr<Preview> p;

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        m_item = item("numbered.mp4");
        QVERIFY(m_item);
    }
    // Every test starts with numbered.mp4 open on its first picture.
    void init()
    {
        p = std::make_unique<Preview>();
        QVERIFY(p->openAndShowFirst(m_item.get()));
    }
    void cleanup()
    {
        p.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void openMedia_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("length"); // 0: not opened
        QTest::newRow("mp4") << QStringLiteral("numbered.mp4") << 75;
        QTest::newRow("audio only") << QStringLiteral("audio.wav") << 0;
        QTest::newRow("still image") << QStringLiteral("photo.jpg") << 0;
        QTest::newRow("no item") << QString() << 0;
    }
    void openMedia()
    {
        QFETCH(QString, file);
        QFETCH(int, length);
        const auto media = file.isEmpty() ? nullptr : item(file.toUtf8().constData());
        QVERIFY(file.isEmpty() || media);
        // Asking for another item means the one shown is no longer wanted, whether or not the new one opens.
        QSignalSpy opened(&p->presenter, &VkMediaPlayerPresenter::sigMediaOpened);
        QCOMPARE(p->presenter.openMedia(media.get(), VKVBLMODEL::VkMediaSource_Library, 0), length > 0);
        QCOMPARE(p->presenter.mediaLength(), length);
        QCOMPARE(p->presenter.play(), length > 0);
        p->presenter.pause();
        if (length == 0) {
            QCOMPARE(opened.count(), 0);
            QCOMPARE(p->presenter.currentFrame(), qint64(-1));
            QVERIFY(p->presenter.currentImage().isNull());
            QTest::qWait(50);
            QVERIFY(p->reported.isEmpty());
            return;
        }
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toInt(), length);
        // The preview opens on its first picture, not on black.
        QTRY_VERIFY_WITH_TIMEOUT(!p->reported.isEmpty(), kWaitMs);
        QCOMPARE(p->reported.first(), qlonglong(0));
        QCOMPARE(p->presenter.playRangeFirst(), qint64(0));
        QCOMPARE(p->presenter.playRangeCount(), qint64(length));
    }

    void moves_data()
    {
        QTest::addColumn<QPoint>("range"); // first frame, count
        // s<n>: the presenter's exact seek (from the clip's first frame); r<n>: the player's own
        // (from the range's first frame); f/b: a frame on/back; F/B: a second (25 frames) on/back.
        QTest::addColumn<QString>("moves");
        // Seeks alone: every frame shown, in order. With steps, which add up when asked faster than
        // frames are decoded: where they end.
        QTest::addColumn<QList<int>>("shown");
        // Key frames every 12 with B-frames: each crosses a group backwards or forwards, and every
        // one is shown although they are all asked at once.
        QTest::newRow("across groups")
            << QPoint(0, 75) << QStringLiteral("s74 s0 s37 s12 s11 s13 s36 s1 s60 s59")
            << QList<int>{74, 0, 37, 12, 11, 13, 36, 1, 60, 59};
        QTest::newRow("one after another")
            << QPoint(0, 75) << QStringLiteral("s40 s41 s42 s43 s44 s45 s46 s47 s48 s49 s50 s51")
            << run(40, 12);
        // Held within the range [20, 30).
        QTest::newRow("relative before") << QPoint(20, 10) << QStringLiteral("r-5") << QList<int>{20};
        QTest::newRow("relative at the limit")
            << QPoint(20, 10) << QStringLiteral("r9223372036854775807") << QList<int>{29};
        QTest::newRow("absolute at the limit")
            << QPoint(20, 10) << QStringLiteral("s-9223372036854775808") << QList<int>{20};
        QTest::newRow("second back clamps") << QPoint(0, 75) << QStringLiteral("s10 B") << QList<int>{0};
        // The range [20, 25) holds a step at its edges.
        QTest::newRow("back at range start") << QPoint(20, 5) << QStringLiteral("s20 b") << QList<int>{20};
        QTest::newRow("on at range end") << QPoint(20, 5) << QStringLiteral("s24 f") << QList<int>{24};
        QTest::newRow("there and back") << QPoint(0, 75) << QStringLiteral("s40 f f b f B") << QList<int>{17};
    }
    void moves()
    {
        QFETCH(QPoint, range);
        QFETCH(QString, moves);
        QFETCH(QList<int>, shown);
        p->presenter.mediaPlayer()->setPlayRange(range.x(), range.y());
        for (const QString& move : moves.split(QLatin1Char(' '))) {
            const qint64 n = move.mid(1).toLongLong();
            switch (move.at(0).toLatin1()) {
            case 's':
                p->presenter.seek(n, true, false);
                break;
            case 'r':
                p->presenter.mediaPlayer()->seek(n, true, false);
                break;
            case 'f':
            case 'F':
                p->presenter.forward(move == QLatin1String("f"));
                break;
            default:
                p->presenter.backward(move == QLatin1String("b"));
            }
        }
        QVERIFY2(p->settlesOn(shown.last()),
                 qPrintable(QStringLiteral("at frame %1").arg(p->presenter.currentFrame())));
        if (!moves.contains(QRegularExpression(QStringLiteral("[fFbB]"))))
            QCOMPARE(p->shown, shown);
        // The number the presenter reports is the number in the pixels.
        QCOMPARE(p->mismatches, 0);
    }

    void inexactSeeksKeepOrder()
    {
        // Scrubbing: requests may be dropped for newer ones, but an older frame never follows a newer
        // one and the last request is always shown.
        const QList<int> asked = run(30, 25);
        for (const int f : asked)
            p->presenter.seek(f, false, false);
        QVERIFY(p->settlesOn(54));
        for (int i = 0; i < p->shown.size(); ++i) {
            QVERIFY(asked.contains(p->shown.at(i)));
            QVERIFY2(i == 0 || p->shown.at(i) > p->shown.at(i - 1),
                     qPrintable(QString::number(p->shown.at(i))));
        }
    }

    void playRange_data()
    {
        QTest::addColumn<QPoint>("asked"); // first frame, count
        QTest::addColumn<QPoint>("played");
        // A scene [10, 25) as the scene list asks for it: 15 frames from 10.
        QTest::newRow("scene inside the clip") << QPoint(10, 15) << QPoint(10, 15);
        QTest::newRow("count past the end") << QPoint(70, 20) << QPoint(70, 5);
        // A first frame past the end becomes the last frame, and the range one frame long.
        QTest::newRow("first past the end") << QPoint(100, 5) << QPoint(74, 1);
        QTest::newRow("negative first") << QPoint(-5, 3) << QPoint(0, 3);
        // An empty range would play nothing; it is taken as one frame.
        QTest::newRow("zero count") << QPoint(40, 0) << QPoint(40, 1);
    }
    void playRange()
    {
        QFETCH(QPoint, asked);
        QFETCH(QPoint, played);
        QSignalSpy state(&p->presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);
        QSignalSpy range(&p->presenter, &VkMediaPlayerPresenter::sigPlayRangeChanged);
        p->presenter.mediaPlayer()->setPlayRange(asked.x(), asked.y());
        p->presenter.mediaPlayer()->seek(0, false, false);
        QVERIFY(p->presenter.play());
        QTRY_COMPARE_WITH_TIMEOUT(state.count(), 2, kWaitMs);
        QCOMPARE(state.at(0).at(0).toBool(), true);
        QCOMPARE(state.at(1).at(0).toBool(), false);
        QVERIFY(!p->presenter.isPlaying());
        // Frames are delivered before the stop that follows them, so the log is complete here.
        QCOMPARE(p->shown, run(played.x(), played.y()));
        QCOMPARE(p->presenter.currentFrame(), qint64(played.x() + played.y() - 1));
        QCOMPARE(QPoint(int(p->presenter.playRangeFirst()), int(p->presenter.playRangeCount())), played);
        // The whole clip was the range before; any other range is announced once.
        QCOMPARE(range.count(), 1);
        // Nothing more comes once playback has stopped at the end.
        QTest::qWait(100);
        QCOMPARE(p->shown.size(), played.y());
    }

    void playAfterEndAndStop()
    {
        QSignalSpy state(&p->presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);
        QVERIFY(p->showAt(50, 6, 50));
        // From the frame shown, play goes on with the next one: 51..55.
        p->clear();
        p->presenter.play();
        QTRY_COMPARE_WITH_TIMEOUT(state.count(), 2, kWaitMs);
        QCOMPARE(p->shown, run(51, 5));
        // At the end of the range, play starts over from its first frame: 50..55.
        p->clear();
        p->presenter.playOrPause();
        QTRY_COMPARE_WITH_TIMEOUT(state.count(), 4, kWaitMs);
        QCOMPARE(p->shown, run(50, 6));
        // Resting on the last frame after a seek counts as the end too: the seek shows 55, then 50..55.
        p->clear();
        p->presenter.seek(55, true, false);
        p->presenter.play();
        QTRY_COMPARE_WITH_TIMEOUT(state.count(), 6, kWaitMs);
        QCOMPARE(p->shown, QList<int>{55} + run(50, 6));
        // Stopped during playback, it goes back to the range's first frame and stays there.
        p->presenter.mediaPlayer()->setPlayRange(20, 40);
        p->presenter.seek(20, false, false);
        p->presenter.play();
        QTRY_VERIFY_WITH_TIMEOUT(p->presenter.currentFrame() >= 23, kWaitMs);
        p->presenter.stop();
        QVERIFY(!p->presenter.isPlaying());
        QVERIFY(p->settlesOn(20));
    }

    void seeksFromAnotherThread()
    {
        // As a detector does, a thread moves the preview again and again while the GUI thread plays and
        // pauses; then, during playback, one more seek that does not keep playing: the last request
        // wins. The GUI thread joins these threads without running its event loop, as when it joins a
        // detector: a seek that needed the GUI thread would never return.
        std::atomic<bool> done{false};
        std::thread detector([&] {
            for (int i = 0; i < 300; ++i)
                p->presenter.seek((i * 7) % 75, false, i % 2 == 0);
            done = true;
        });
        while (!done) {
            p->presenter.playOrPause();
            QCoreApplication::processEvents();
        }
        detector.join();
        QVERIFY(p->showAt(0, 75, 10));
        p->presenter.play();
        QTRY_VERIFY_WITH_TIMEOUT(p->shown.last() >= 13, kWaitMs);
        std::thread([&] { p->presenter.seek(60, false, false); }).join();
        QVERIFY(!p->presenter.isPlaying());
        QVERIFY(p->settlesOn(60));
        // The number the presenter reports is the number in the pixels.
        QCOMPARE(p->mismatches, 0);
    }

    void destroyWhilePlaying_data()
    {
        QTest::addColumn<int>("framesBefore");
        QTest::newRow("at once") << 0;
        QTest::newRow("while playing") << 3;
    }
    void destroyWhilePlaying()
    {
        QFETCH(int, framesBefore);
        for (int round = 0; round < 8; ++round) {
            auto* presenter = new VkMediaPlayerPresenter(nullptr, nullptr);
            int frames = 0;
            int afterDeletion = 0;
            bool deleted = false;
            QObject counter;
            connect(presenter, &VkMediaPlayerPresenter::sigFrameReady, &counter, [&] {
                ++frames;
                afterDeletion += deleted;
            });
            QVERIFY(presenter->openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
            presenter->play();
            QVERIFY(QTest::qWaitFor([&] { return frames >= framesBefore; }, kWaitMs));
            // A seek in flight as well, so that the thread is busy when it is told to end.
            presenter->seek(70, true, true);
            delete presenter;
            deleted = true;
            QTest::qWait(20);
            QCOMPARE(afterDeletion, 0);
        }
    }

    void resetDropsFramesOnTheirWay()
    {
        QSignalSpy cleared(&p->presenter, &VkPresenter::sigClearView);
        QSignalSpy reset(&p->presenter, &VkPresenter::sigReset);
        QSignalSpy state(&p->presenter, &VkMediaPlayerPresenter::sigPlayStateChanged);
        p->presenter.play();
        QTRY_VERIFY_WITH_TIMEOUT(p->shown.size() >= 3 && state.count() == 1, kWaitMs);
        p->presenter.reset();
        const int shownAtReset = p->shown.size();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(reset.count(), 1);
        // The views learn that playback ended with the media.
        QCOMPARE(state.count(), 2);
        QCOMPARE(state.last().at(0).toBool(), false);
        QCOMPARE(p->presenter.mediaLength(), 0);
        QCOMPARE(p->presenter.currentFrame(), qint64(-1));
        QVERIFY(p->presenter.currentImage().isNull());
        QVERIFY(!p->presenter.play());
        // Frames rendered before the reset and still queued are not delivered.
        QTest::qWait(200);
        QCOMPARE(p->shown.size(), shownAtReset);
    }

    void resizeRedrawsShownFrame()
    {
        QVERIFY(p->showAt(0, 75, 33));
        QCOMPARE(p->sizes.last(), QSize(320, 180));
        // Paused: the same frame comes again at the new size.
        p->presenter.setRenderSize(QSize(160, 90));
        QTRY_COMPARE_WITH_TIMEOUT(p->shown.size(), 2, kWaitMs);
        QCOMPARE(p->shown.last(), 33);
        QCOMPARE(p->sizes.last(), QSize(160, 90));
        // A box that still fits the same size changes nothing.
        p->presenter.setRenderSize(QSize(170, 90));
        QTest::qWait(100);
        QCOMPARE(p->shown.size(), 2);
    }
};

VK_TEST_MAIN(tst_VkMediaPlayerPresenter)
#include "tst_presenter.moc"
