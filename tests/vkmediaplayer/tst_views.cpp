// The player's views bound to a presenter over a generated clip. The transport bar: its slider and
// time labels follow the position within the play range, its buttons and keys drive the presenter,
// and its layout keeps to the buttons a caller leaves visible. The player widget: the latest frame
// letterboxed on black, rendered for the widget's own size, blanked on request; a widget attached late
// starts with the picture already shown.

#include "PlayerTestMedia.h"

#include <vkmediaplayer/VkMediaPlayerFactory.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>
#include <vkmediaplayer/VkPlayerToolBarBase.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>

using namespace PlayerTestMedia;
using Bar = VkPlayerToolBarBase;

namespace {

// Frame 74 is 0b1001010: columns 1, 3 and 6 of the picture are white, the others black.
constexpr int kProbeFrame = 74;

bool isBlack(QRgb c)
{
    return qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) < 8;
}

// The middle of column `k` of the picture drawn in `rect`.
QPoint columnCentre(const QRect& rect, int k)
{
    return QPoint(rect.x() + (2 * k + 1) * rect.width() / 16, rect.center().y());
}

QImage grab(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_VkPlayerViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<IVkAbstractMediaItem> m_item;
    std::unique_ptr<Preview> p;
    std::unique_ptr<Bar> bar;
    std::unique_ptr<QWidget> window;
    VkMediaPlayerWidget* widget = nullptr;

    // A bar bound to a presenter that has opened numbered.mp4 (75 frames at 25 fps).
    bool bind(bool compact = true, QSize size = QSize(800, 24))
    {
        bar = std::make_unique<Bar>(nullptr, nullptr, compact);
        bar->resize(size);
        bar->setPlayerPresenter(&p->presenter);
        return p->open(m_item.get()) && QTest::qWaitFor([&] { return !p->shown.isEmpty(); }, kWaitMs);
    }
    VkToolSlider* slider() const { return bar->slider(); }
    // A widget of the given size bound to a presenter that shows kProbeFrame.
    bool showProbeFrame(QSize size)
    {
        window = std::make_unique<QWidget>();
        widget = mediaPlayerFactory()->createPlayerWidget(window.get());
        widget->resize(size);
        widget->setPresenter(&p->presenter);
        return widget->parentWidget() == window.get() && p->open(m_item.get()) &&
               p->showAt(0, 75, kProbeFrame);
    }

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        m_item = item("numbered.mp4");
        QVERIFY(m_item);
    }
    void init() { p = std::make_unique<Preview>(); }
    void cleanup()
    {
        bar.reset();
        window.reset();
        p.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }

    void labelsAndSliderFollow_data()
    {
        QTest::addColumn<QPoint>("range"); // first frame, count
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("sliderValue");
        QTest::addColumn<QString>("labels"); // current time, duration
        // At 25 fps: frame 30 is 1 s 5 frames; 75 frames are 3 s.
        QTest::newRow("whole clip") << QPoint(0, 75) << 30 << 30 << QStringLiteral("00:00:01:05 00:00:03:00");
        // Within the scene [50, 70): frame 60 is 10 frames in; the scene lasts 20 frames.
        QTest::newRow("scene range") << QPoint(50, 20) << 60 << 10
                                     << QStringLiteral("00:00:00:10 00:00:00:20");
        // A seek before the range lands on its first frame: offset 0.
        QTest::newRow("before the range")
            << QPoint(50, 20) << 5 << 0 << QStringLiteral("00:00:00:00 00:00:00:20");
    }
    void labelsAndSliderFollow()
    {
        QFETCH(QPoint, range);
        QFETCH(int, frame);
        QVERIFY(bind());
        QVERIFY(slider()->isEnabled());
        QCOMPARE(bar->durationTimeLabel()->text(), QStringLiteral("00:00:03:00"));
        p->clear();
        p->presenter.mediaPlayer()->setPlayRange(range.x(), range.y());
        p->presenter.seek(frame, true, false);
        QTRY_COMPARE_WITH_TIMEOUT(p->shown.size(), 1, kWaitMs);
        // The slider runs over the range: 0 to its last frame.
        QCOMPARE(slider()->minimum(), 0);
        QCOMPARE(slider()->maximum(), range.y() - 1);
        QTEST(slider()->value(), "sliderValue");
        QTEST(bar->currentTimeLabel()->text() + QLatin1Char(' ') + bar->durationTimeLabel()->text(),
              "labels");
    }

    void playButtonFollowsState()
    {
        QVERIFY(bind());
        VkToolButton* playPause = bar->button(Bar::Button_PlayPause);
        // What the button shows right after each change of state (the bar, connected first, hears of
        // it first), so that two changes handled in one go are still told apart.
        QStringList seen;
        connect(&p->presenter, &VkMediaPlayerPresenter::sigPlayStateChanged, bar.get(), [&] {
            seen << QStringLiteral("%1 %2")
                        .arg(playPause->property("playing").toBool())
                        .arg(playPause->toolTip());
        });
        QCOMPARE(playPause->property("playing").toBool(), false);
        QCOMPARE(playPause->toolTip(), QStringLiteral("Play"));
        p->presenter.mediaPlayer()->setPlayRange(60, 5);
        playPause->click();
        QVERIFY(p->presenter.isPlaying());
        // Playing, then back at the end of the range.
        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, kWaitMs);
        QCOMPARE(seen, (QStringList{QStringLiteral("1 Pause"), QStringLiteral("0 Play")}));
        QCOMPARE(p->presenter.currentFrame(), qint64(64));
        QCOMPARE(slider()->value(), 4);
    }

    void keysAndButtons_data()
    {
        QTest::addColumn<int>("startFrame");
        QTest::addColumn<int>("key");           // typed into the slider, unless
        QTest::addColumn<int>("button");        // a button is clicked
        QTest::addColumn<int>("expectedFrame"); // -1: no seek at all
        // Play range [10, 70) of the 25 fps clip: a key steps a frame, a page is a second (25 frames),
        // both counted from the range's start and stopped at its ends.
        QTest::newRow("right") << 40 << int(Qt::Key_Right) << -1 << 41;
        QTest::newRow("left") << 40 << int(Qt::Key_Left) << -1 << 39;
        QTest::newRow("page up") << 40 << int(Qt::Key_PageUp) << -1 << 65;
        QTest::newRow("page up near the end") << 60 << int(Qt::Key_PageUp) << -1 << 69;
        QTest::newRow("home") << 40 << int(Qt::Key_Home) << -1 << 10;
        QTest::newRow("end") << 40 << int(Qt::Key_End) << -1 << 69;
        QTest::newRow("left at the start") << 10 << int(Qt::Key_Left) << -1 << -1;
        QTest::newRow("a key the slider ignores") << 40 << int(Qt::Key_A) << -1 << -1;
        QTest::newRow("step forward button") << 40 << 0 << int(Bar::Button_StepForward) << 41;
        // Stop goes back to the range's first frame, not the clip's.
        QTest::newRow("stop button") << 40 << 0 << int(Bar::Button_Stop) << 10;
    }
    void keysAndButtons()
    {
        QFETCH(int, startFrame);
        QFETCH(int, key);
        QFETCH(int, button);
        QFETCH(int, expectedFrame);
        QVERIFY(bind(false, QSize(800, 48)));
        QVERIFY(p->showAt(10, 60, startFrame));
        QTRY_COMPARE_WITH_TIMEOUT(slider()->value(), startFrame - 10, kWaitMs);
        // Reached with Tab, not taken by a click.
        QCOMPARE(slider()->focusPolicy(), Qt::TabFocus);
        QSignalSpy seeks(slider(), &VkToolSlider::sigUserSeek);
        p->clear();
        if (button >= 0)
            bar->button(button)->click();
        else
            QTest::keyClick(slider(), Qt::Key(key));
        if (expectedFrame < 0) {
            QCOMPARE(seeks.count(), 0);
            QCOMPARE(slider()->value(), startFrame - 10);
            return;
        }
        if (button < 0) {
            QCOMPARE(seeks.count(), 1);
            QCOMPARE(seeks.first().first().toInt(), expectedFrame - 10);
        }
        QVERIFY(p->settlesOn(expectedFrame));
        QCOMPARE(p->shown.size(), 1);
        QCOMPARE(slider()->value(), expectedFrame - 10);
    }

    void compactLayout_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("duration");
        QTest::newRow("both labels") << int(Bar::TimeLabel_CurrentAndDuration) << true << true;
        QTest::newRow("current only") << int(Bar::TimeLabel_Current) << true << false;
        // An unknown type falls back to showing both.
        QTest::newRow("unknown type") << 9 << true << true;
    }
    void compactLayout()
    {
        QFETCH(int, type);
        QFETCH(bool, current);
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
        QCOMPARE(bar.currentTimeLabel()->isVisible(), current);
        QCOMPARE(bar.durationTimeLabel()->isVisible(), duration);
        // One line: the four transport buttons from the left, the slider, then the labels shown, the
        // last at the right edge. Nothing overlaps, and hidden buttons and labels leave no gap.
        QList<QWidget*> row;
        for (int i = Bar::Button_StepBackward; i <= Bar::Button_StepForward; ++i)
            row << bar.button(i);
        row << bar.slider();
        if (current)
            row << bar.currentTimeLabel();
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
        QVERIFY(bind());
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
        QCOMPARE(p->sizes.last(), frameSize * widget->devicePixelRatioF());
        QCOMPARE(widget->currentFrame().size(), p->sizes.last());
        QCOMPARE(widget->pictureRect(), picture);
        const QImage shot = grab(widget);
        QCOMPARE(shot.size(), widgetSize * widget->devicePixelRatioF());
        // Black bars where the picture is not; the white columns 1, 3 and 6 inside it.
        const int midX = widgetSize.width() / 2;
        const int midY = widgetSize.height() / 2;
        if (picture.left() > 0) {
            QVERIFY(isBlack(shot.pixel(picture.left() / 2, midY)));
            QVERIFY(isBlack(shot.pixel(picture.right() + picture.left() / 2, midY)));
        }
        if (picture.top() > 0) {
            QVERIFY(isBlack(shot.pixel(midX, picture.top() / 2)));
            QVERIFY(isBlack(shot.pixel(midX, picture.bottom() + picture.top() / 2)));
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
        QVERIFY(isBlack(grab(widget).pixel(columnCentre(QRect(0, 0, 320, 180), 1))));
        // Detached, it no longer follows the presenter; attached again, it starts with the picture
        // already shown.
        widget->setPresenter(nullptr);
        QVERIFY(p->showAt(0, 75, 10));
        QVERIFY(widget->currentFrame().isNull());
        widget->setPresenter(&p->presenter);
        QCOMPARE(numberIn(widget->currentFrame()), 10);
    }
};

VK_TEST_MAIN(tst_VkPlayerViews)
#include "tst_views.moc"
