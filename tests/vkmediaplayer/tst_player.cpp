// The preview player over generated clips whose pictures carry their own frame numbers. Its presenter:
// what is opened, which frames are shown after seeks and during playback of a range, seeks from another
// thread, and destruction in the middle of playback. Its views bound to the presenter: the transport
// bar's slider and time labels follow the position within the play range, its buttons and keys drive
// the presenter, and its layout keeps to the buttons a caller leaves visible; the player widget shows
// the latest frame letterboxed on black, rendered for the widget's own size, blanked on request, and
// a widget attached late starts with the picture already shown.

#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerFactory.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>
#include <vkmediaplayer/VkPlayerToolBarBase.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>

#include <atomic>
#include <memory>
#include <thread>

using Bar = VkPlayerToolBarBase;

namespace {

// Upper bound for anything the player's thread has to do; sanitizer builds decode slowly. Never an
// expectation about speed.
constexpr int kWaitMs = 60000;
// Frame 74 is 0b1001010: columns 1, 3 and 6 of the picture are white, the others black.
constexpr int kProbeFrame = 74;

std::unique_ptr<IVkAbstractMediaItem> item(const char* name)
{
    return VkMediaItemFactory::create(QString::fromStdString(VkMediaTestFiles::path(name)), nullptr);
}

// The frame number a "numbered" clip's picture carries; -1 for a null image.
int numberIn(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return argb.isNull() ? -1 : VkMediaTestFiles::numberIn(argb.constBits(), argb.width(), argb.height());
}

QList<int> run(int first, int count)
{
    QList<int> frames;
    for (int i = 0; i < count; ++i)
        frames << first + i;
    return frames;
}

// A position or a length in frames as the bar writes it at 25 fps (the clip is shorter than a minute).
QString timecode(int frames)
{
    return QString::asprintf("00:00:%02d:%02d", frames / 25, frames % 25);
}

bool isBlack(QRgb c)
{
    return qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) < 8;
}

// The middle of column `k` of the picture drawn in `rect`.
QPoint columnCentre(const QRect& rect, int k)
{
    return QPoint(rect.x() + (2 * k + 1) * rect.width() / 16, rect.center().y());
}

// A presenter with a player of its own, and every frame it emits: the number its pixels show and its
// size.
class Preview : public QObject
{
public:
    Preview()
        : presenter(nullptr, nullptr)
    {
        connect(&presenter, &VkMediaPlayerPresenter::sigFrameReady, this,
                [this](const QImage& image, qlonglong n) {
                    shown << numberIn(image);
                    mismatches += n != shown.last();
                });
    }

    // Moves the range's playback and waits until `frame` is shown.
    bool showAt(qint64 rangeFirst, qint64 rangeCount, int frame)
    {
        presenter.mediaPlayer()->setPlayRange(rangeFirst, rangeCount);
        presenter.seek(frame, true, false);
        return QTest::qWaitFor([&] { return !shown.isEmpty() && shown.last() == frame; }, kWaitMs);
    }
    // Waits until the presenter rests on `frame`, paused and shown, and still does a moment later.
    bool settlesOn(int frame)
    {
        const auto on = [&] {
            return !presenter.isPlaying() && presenter.currentFrame() == frame && !shown.isEmpty() &&
                   shown.last() == frame;
        };
        if (!QTest::qWaitFor(on, kWaitMs))
            return false;
        QTest::qWait(100);
        return on();
    }
    void clear() { shown.clear(); }

    // Declared first so that it outlives the presenter.
    QList<int> shown;
    // Frames whose reported number is not the number in their pixels.
    int mismatches = 0;
    VkMediaPlayerPresenter presenter;
};

} // namespace

class tst_VkMediaPlayer : public QObject
{
    Q_OBJECT

    // numbered.mp4: 3 s at 25 fps, 75 frames.
    std::unique_ptr<IVkAbstractMediaItem> m_item;
    std::unique_ptr<Preview> p;
    std::unique_ptr<Bar> bar;
    std::unique_ptr<QWidget> window;
    VkMediaPlayerWidget* widget = nullptr;

    // A bar bound to the presenter.
    void bind(bool compact = true, QSize size = QSize(800, 24))
    {
        bar = std::make_unique<Bar>(nullptr, nullptr, compact);
        bar->resize(size);
        bar->setPlayerPresenter(&p->presenter);
    }
    VkToolSlider* slider() const { return bar->slider(); }
    // Nothing open: no length, frame or picture, play refused, and no frame arrives any more.
    bool isClosed()
    {
        const int shown = p->shown.size();
        const bool closed = p->presenter.mediaLength() == 0 && p->presenter.currentFrame() == -1 &&
                            p->presenter.currentImage().isNull() && !p->presenter.play();
        QTest::qWait(200);
        return closed && p->shown.size() == shown;
    }
    // A widget of the given size bound to the presenter, which then shows kProbeFrame.
    bool showProbeFrame(QSize size)
    {
        window = std::make_unique<QWidget>();
        widget = mediaPlayerFactory()->createPlayerWidget(window.get());
        widget->resize(size);
        widget->setPresenter(&p->presenter);
        return widget->parentWidget() == window.get() && p->showAt(0, 75, kProbeFrame);
    }

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        m_item = item("numbered.mp4");
        QVERIFY(m_item);
    }
    // Every test starts with numbered.mp4 open on its first picture, over its whole length.
    void init()
    {
        p = std::make_unique<Preview>();
        QSignalSpy opened(&p->presenter, &VkMediaPlayerPresenter::sigMediaOpened);
        QVERIFY(p->presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
        QCOMPARE(QList<QVariantList>(opened), QList<QVariantList>{{75}});
        QCOMPARE(p->presenter.mediaLength(), 75);
        QCOMPARE(QPoint(int(p->presenter.playRangeFirst()), int(p->presenter.playRangeCount())),
                 QPoint(0, 75));
        // The preview opens on its first picture, not on black.
        QVERIFY(QTest::qWaitFor([&] { return !p->shown.isEmpty(); }, kWaitMs));
        QCOMPARE(p->shown.first(), 0);
        p->clear();
    }
    void cleanup()
    {
        bar.reset();
        window.reset();
        p.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void refusedMedia_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("audio only") << QStringLiteral("audio.wav");
        QTest::newRow("still image") << QStringLiteral("photo.jpg");
        QTest::newRow("no item") << QString();
    }
    void refusedMedia()
    {
        QFETCH(QString, file);
        const auto media = file.isEmpty() ? nullptr : item(file.toUtf8().constData());
        QVERIFY(file.isEmpty() || media);
        // Asking for another item means the one shown is no longer wanted, whether or not the new one opens.
        QSignalSpy opened(&p->presenter, &VkMediaPlayerPresenter::sigMediaOpened);
        QVERIFY(!p->presenter.openMedia(media.get(), VKVBLMODEL::VkMediaSource_Library, 0));
        QCOMPARE(opened.count(), 0);
        QVERIFY(isClosed());
    }

    void moves_data()
    {
        QTest::addColumn<QPoint>("range"); // first frame, count
        // s<n>: the presenter's exact seek (from the clip's first frame); i<n>: its inexact one, as
        // when scrubbing; r<n>: the player's own (from the range's first frame); f/b: a frame on/back;
        // F/B: a second (25 frames) on/back.
        QTest::addColumn<QString>("moves");
        // Exact seeks alone: every frame shown, in order. Inexact ones: the frames that may be shown,
        // the last always. With steps, which add up when asked faster than frames are decoded: where
        // they end.
        QTest::addColumn<QList<int>>("shown");
        // Key frames every 12 with B-frames: each crosses a group backwards or forwards, and every
        // one is shown although they are all asked at once.
        QTest::newRow("across groups")
            << QPoint(0, 75) << QStringLiteral("s74 s0 s37 s12 s11 s13 s36 s1 s60 s59")
            << QList<int>{74, 0, 37, 12, 11, 13, 36, 1, 60, 59};
        QStringList scrub;
        for (const int f : run(30, 25))
            scrub << QStringLiteral("i%1").arg(f);
        QTest::newRow("scrubbing") << QPoint(0, 75) << scrub.join(QLatin1Char(' ')) << run(30, 25);
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
            case 'i':
                p->presenter.seek(n, false, false);
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
        if (moves.contains(QLatin1Char('i'))) {
            // Requests may be dropped for newer ones, but an older frame never follows a newer one.
            for (int i = 0; i < p->shown.size(); ++i)
                QVERIFY(shown.contains(p->shown[i]) && (i == 0 || p->shown[i] > p->shown[i - 1]));
        } else if (!moves.contains(QRegularExpression(QStringLiteral("[fFbB]")))) {
            QCOMPARE(p->shown, shown);
        }
        // The number the presenter reports is the number in the pixels.
        QCOMPARE(p->mismatches, 0);
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
        QCOMPARE(QList<QVariantList>(state), (QList<QVariantList>{{true}, {false}}));
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
            auto preview = std::make_unique<Preview>();
            // Outlives the presenter: a frame that reaches it afterwards came from a thread left running.
            QObject after;
            int late = 0;
            connect(&preview->presenter, &VkMediaPlayerPresenter::sigFrameReady, &after,
                    [&] { late += !preview; });
            QVERIFY(preview->presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
            preview->presenter.play();
            QVERIFY(QTest::qWaitFor([&] { return preview->shown.size() >= framesBefore; }, kWaitMs));
            // A seek in flight as well, so that the thread is busy when it is told to end.
            preview->presenter.seek(70, true, true);
            preview.reset();
            QTest::qWait(20);
            QCOMPARE(late, 0);
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
        QCOMPARE(QPoint(cleared.count(), reset.count()), QPoint(1, 1));
        // The views learn that playback ended with the media.
        QCOMPARE(QList<QVariantList>(state), (QList<QVariantList>{{true}, {false}}));
        // Frames rendered before the reset and still queued are not delivered.
        QVERIFY(isClosed());
    }

    void resizeRedrawsShownFrame()
    {
        QVERIFY(p->showAt(0, 75, 33));
        QCOMPARE(p->presenter.currentImage().size(), QSize(320, 180));
        // Paused: the same frame comes again at the new size.
        p->presenter.setRenderSize(QSize(160, 90));
        QTRY_COMPARE_WITH_TIMEOUT(p->shown.size(), 2, kWaitMs);
        QCOMPARE(p->shown.last(), 33);
        QCOMPARE(p->presenter.currentImage().size(), QSize(160, 90));
        // A box that still fits the same size changes nothing.
        p->presenter.setRenderSize(QSize(170, 90));
        QTest::qWait(100);
        QCOMPARE(p->shown.size(), 2);
    }

    void barMoves_data()
    {
        QTest::addColumn<QPoint>("range"); // first frame, count
        QTest::addColumn<int>("start");    // where a seek puts it first
        // A key typed into the slider, a button (the small numbers) clicked, or nothing (-1).
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("frame"); // where it rests then
        // At 25 fps: frame 30 is 1 s 5 frames (00:00:01:05); 75 frames are 3 s.
        QTest::newRow("whole clip") << QPoint(0, 75) << 30 << -1 << 30;
        // Within the scene [50, 70): frame 60 is 10 frames in; the scene lasts 20 frames.
        QTest::newRow("scene range") << QPoint(50, 20) << 60 << -1 << 60;
        // A seek before the range lands on its first frame: offset 0.
        QTest::newRow("before the range") << QPoint(50, 20) << 5 << -1 << 50;
        // Play range [10, 70): a key steps a frame, a page is a second (25 frames), both counted from
        // the range's start and stopped at its ends.
        QTest::newRow("right") << QPoint(10, 60) << 40 << int(Qt::Key_Right) << 41;
        QTest::newRow("left") << QPoint(10, 60) << 40 << int(Qt::Key_Left) << 39;
        QTest::newRow("page up") << QPoint(10, 60) << 40 << int(Qt::Key_PageUp) << 65;
        QTest::newRow("page up near the end") << QPoint(10, 60) << 60 << int(Qt::Key_PageUp) << 69;
        QTest::newRow("home") << QPoint(10, 60) << 40 << int(Qt::Key_Home) << 10;
        QTest::newRow("end") << QPoint(10, 60) << 40 << int(Qt::Key_End) << 69;
        QTest::newRow("left at the start") << QPoint(10, 60) << 10 << int(Qt::Key_Left) << 10;
        QTest::newRow("a key the slider ignores") << QPoint(10, 60) << 40 << int(Qt::Key_A) << 40;
        QTest::newRow("step forward button") << QPoint(10, 60) << 40 << int(Bar::Button_StepForward) << 41;
        // Stop goes back to the range's first frame, not the clip's.
        QTest::newRow("stop button") << QPoint(10, 60) << 40 << int(Bar::Button_Stop) << 10;
    }
    void barMoves()
    {
        QFETCH(QPoint, range);
        QFETCH(int, start);
        QFETCH(int, input);
        QFETCH(int, frame);
        bind(false, QSize(800, 48));
        // Reached with Tab, not taken by a click.
        QVERIFY(slider()->isEnabled() && slider()->focusPolicy() == Qt::TabFocus);
        p->presenter.mediaPlayer()->setPlayRange(range.x(), range.y());
        p->presenter.seek(start, true, false);
        const int landed = qMax(start, range.x());
        QVERIFY(p->settlesOn(landed));
        QSignalSpy seeks(slider(), &VkToolSlider::sigUserSeek);
        p->clear();
        if (input >= Qt::Key_Space)
            QTest::keyClick(slider(), Qt::Key(input));
        else if (input >= 0)
            bar->button(input)->click();
        // A key that moves is one seek of the user's, to the offset within the range.
        QCOMPARE(seeks.count(), int(input >= Qt::Key_Space && frame != landed));
        if (seeks.count())
            QCOMPARE(seeks.first().first().toInt(), frame - range.x());
        if (frame != landed) {
            QVERIFY(p->settlesOn(frame));
            QCOMPARE(p->shown.size(), 1);
        }
        // The slider runs over the range: 0 to its last frame.
        QCOMPARE(QPoint(slider()->minimum(), slider()->maximum()), QPoint(0, range.y() - 1));
        QCOMPARE(slider()->value(), frame - range.x());
        // The time labels: the position within the range, and the range's length.
        QCOMPARE(QStringList({bar->currentTimeLabel()->text(), bar->durationTimeLabel()->text()}),
                 QStringList({timecode(frame - range.x()), timecode(range.y())}));
    }

    void playButtonFollowsState()
    {
        bind();
        VkToolButton* playPause = bar->button(Bar::Button_PlayPause);
        // What the button shows right after each change of state (the bar, connected first, hears of
        // it first), so that two changes handled in one go are still told apart.
        QStringList seen;
        const auto show = [&] {
            seen << QStringLiteral("%1 %2")
                        .arg(playPause->property("playing").toBool())
                        .arg(playPause->toolTip());
        };
        connect(&p->presenter, &VkMediaPlayerPresenter::sigPlayStateChanged, bar.get(), show);
        show();
        p->presenter.mediaPlayer()->setPlayRange(60, 5);
        playPause->click();
        QVERIFY(p->presenter.isPlaying());
        // Paused, playing, then back at the end of the range.
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 3, kWaitMs);
        QCOMPARE(seen, (QStringList{QStringLiteral("0 Play"), QStringLiteral("1 Pause"),
                                    QStringLiteral("0 Play")}));
        QCOMPARE(p->presenter.currentFrame(), qint64(64));
        QCOMPARE(slider()->value(), 4);
    }

    void compactLayout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("duration"); // whether the duration is shown beside the current time
        QTest::newRow("both labels") << int(Bar::TimeLabel_CurrentAndDuration) << true;
        QTest::newRow("current only") << int(Bar::TimeLabel_Current) << false;
        // An unknown type falls back to showing both.
        QTest::newRow("unknown type") << 9 << true;
    }
    void compactLayout()
    {
        QFETCH(int, type);
        QFETCH(bool, duration);
        Bar bar(nullptr, nullptr, true);
        bar.button(Bar::Button_Fullscreen)->hide();
        bar.button(Bar::Button_Volume)->hide();
        bar.resize(600, 24);
        // From another type, so that each row changes something.
        bar.setTimeLabelType(type == Bar::TimeLabel_Current ? Bar::TimeLabel_Duration
                                                            : Bar::TimeLabel_Current);
        bar.setTimeLabelType(Bar::TimeLabelType(type));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QCOMPARE(QPoint(bar.currentTimeLabel()->isVisible(), bar.durationTimeLabel()->isVisible()),
                 QPoint(true, duration));
        // One line: the four transport buttons from the left, the slider, then the labels shown, the
        // last at the right edge. Nothing overlaps, and hidden buttons and labels leave no gap.
        QList<QWidget*> row;
        for (int i = Bar::Button_StepBackward; i <= Bar::Button_StepForward; ++i)
            row << bar.button(i);
        row << bar.slider() << bar.currentTimeLabel();
        if (duration)
            row << bar.durationTimeLabel();
        QCOMPARE(row.first()->x(), 0);
        for (int i = 1; i < row.size(); ++i) {
            const QRect r = row.at(i)->geometry();
            const int gap = r.left() - row.at(i - 1)->geometry().right();
            QVERIFY2(gap > 0 && gap <= 16, qPrintable(QStringLiteral("gap of %1 before %2").arg(gap).arg(i)));
            QVERIFY(r.top() >= 0 && r.bottom() < bar.height());
        }
        QCOMPARE(row.last()->geometry().right(), bar.width() - 1);
    }

    void presenterDestroyedFirst()
    {
        // The scene window deletes its presenter before its widgets.
        bind();
        p->presenter.play();
        p.reset();
        QVERIFY(!bar->playerPresenter());
        QVERIFY(!slider()->isEnabled());
        VkToolButton* playPause = bar->button(Bar::Button_PlayPause);
        QVERIFY(!playPause->isEnabled());
        QCOMPARE(playPause->property("playing").toBool(), false);
        // Clicks and seeks with nothing bound do nothing (and do not crash).
        playPause->click();
        bar->button(Bar::Button_Stop)->click();
        emit slider()->sigUserSeek(3);
    }

    void letterbox_data()
    {
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QRect>("picture");
        // The clip is 320 x 180; frames are rendered for the widget's size, never above the clip's.
        // 320 x 100 / 180 = 177.8 -> 178, centred at (400 - 178) / 2 = 111.
        QTest::newRow("bars left and right") << QSize(400, 100) << QSize(178, 100) << QRect(111, 0, 178, 100);
        // 180 x 200 / 320 = 112.5 -> 113, at (200 - 113) / 2 = 43.
        QTest::newRow("bars above and below") << QSize(200, 200) << QSize(200, 113) << QRect(0, 43, 200, 113);
        // 180 x 100 / 320 = 56.25 -> 56.
        QTest::newRow("rounded down") << QSize(100, 100) << QSize(100, 56) << QRect(0, 22, 100, 56);
        // Larger than the clip: decoded at 320 x 180 and drawn scaled up to fill.
        QTest::newRow("larger than the clip") << QSize(640, 360) << QSize(320, 180) << QRect(0, 0, 640, 360);
    }
    void letterbox()
    {
        QFETCH(QSize, widgetSize);
        QFETCH(QSize, frameSize);
        QFETCH(QRect, picture);
        QVERIFY(showProbeFrame(widgetSize));
        QCOMPARE(widget->currentFrame().size(), frameSize * widget->devicePixelRatioF());
        QCOMPARE(widget->pictureRect(), picture);
        const QImage shot = widget->grab().toImage();
        QCOMPARE(shot.size(), widgetSize * widget->devicePixelRatioF());
        // Black bars where the picture is not (the middle of each bar); the white columns 1, 3 and 6
        // inside it.
        const QPoint mid = shot.rect().center();
        for (const QPoint& at : {QPoint(picture.left() / 2, mid.y()), QPoint(mid.x(), picture.top() / 2),
                                 QPoint(picture.right() + picture.left() / 2, mid.y()),
                                 QPoint(mid.x(), picture.bottom() + picture.top() / 2)}) {
            if (!picture.contains(at))
                QVERIFY(isBlack(shot.pixel(at)));
        }
        for (int k = 0; k < 8; ++k) {
            const QRgb c = shot.pixel(columnCentre(picture, k));
            const bool white = qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
            QVERIFY2((kProbeFrame >> k) & 1 ? white : isBlack(c),
                     qPrintable(QStringLiteral("column %1").arg(k)));
        }
    }

    void clearViewBlanks()
    {
        QVERIFY(showProbeFrame(QSize(320, 180)));
        QVERIFY(!widget->currentFrame().isNull());
        p->presenter.clearView();
        QVERIFY(widget->currentFrame().isNull());
        QVERIFY(widget->pictureRect().isNull());
        QVERIFY(isBlack(widget->grab().toImage().pixel(columnCentre(QRect(0, 0, 320, 180), 1))));
        // Detached, it no longer follows the presenter; attached again, it starts with the picture
        // already shown.
        widget->setPresenter(nullptr);
        QVERIFY(p->showAt(0, 75, 10));
        QVERIFY(widget->currentFrame().isNull());
        widget->setPresenter(&p->presenter);
        QCOMPARE(numberIn(widget->currentFrame()), 10);
    }
};

VK_TEST_MAIN(tst_VkMediaPlayer)
#include "tst_player.moc"
