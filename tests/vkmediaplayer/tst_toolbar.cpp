// The transport bar bound to a presenter over a generated clip: its slider and time labels follow the
// position within the play range, its buttons drive the presenter, and its layout keeps to the
// buttons a caller leaves visible.

#include "PlayerTestMedia.h"
#include "VkTestMain.h"

#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkPlayerToolBarBase.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>

using PlayerTestMedia::FrameLog;
using PlayerTestMedia::ProbedItem;

namespace {

constexpr int kWaitMs = 60000;

} // namespace

class tst_VkPlayerToolBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void buttonNames_data();
    void buttonNames();
    void unboundBar();
    void labelsAndSliderFollow_data();
    void labelsAndSliderFollow();
    void playButtonFollowsState();
    void buttonsDrivePresenter_data();
    void buttonsDrivePresenter();
    void sliderSeeksWithinRange();
    void sliderKeys_data();
    void sliderKeys();
    void timeLabelTypes_data();
    void timeLabelTypes();
    void compactLayout();
    void twoLineLayout();
    void callersSlider();
    void presenterDestroyedFirst();

private:
    std::unique_ptr<ProbedItem> m_item;
};

void tst_VkPlayerToolBar::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
    m_item = ProbedItem::open("numbered.mp4");
    QVERIFY(m_item);
}

void tst_VkPlayerToolBar::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_VkPlayerToolBar::buttonNames_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");

    // The theme draws the transport buttons by these names.
    QTest::newRow("step back") << 0 << "VkPlayerToolBar_StepBack";
    QTest::newRow("play/pause") << 1 << "VkPlayerToolBar_PlayPause";
    QTest::newRow("stop") << 2 << "VkPlayerToolBar_Stop";
    QTest::newRow("step forward") << 3 << "VkPlayerToolBar_StepForward";
    QTest::newRow("full screen") << 4 << "VkPlayerToolBar_Fullscreen";
    QTest::newRow("volume") << 5 << "VkPlayerToolBar_Volume";
}

void tst_VkPlayerToolBar::buttonNames()
{
    QFETCH(int, index);
    QFETCH(QString, name);

    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    QVERIFY(bar.button(index));
    QCOMPARE(bar.button(index)->objectName(), name);
    QCOMPARE(bar.currentTimeLabel()->objectName(), QStringLiteral("VkPlayerToolBar_Time"));
    QCOMPARE(bar.durationTimeLabel()->objectName(), QStringLiteral("VkPlayerToolBar_Time"));
    QVERIFY(!bar.button(-1));
    QVERIFY(!bar.button(VkPlayerToolBarBase::ButtonCount));
}

void tst_VkPlayerToolBar::unboundBar()
{
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    QVERIFY(bar.slider());
    QCOMPARE(bar.slider()->parentWidget(), &bar);
    QVERIFY(!bar.slider()->isEnabled());
    QVERIFY(!bar.button(VkPlayerToolBarBase::Button_PlayPause)->isEnabled());
    QCOMPARE(bar.currentTimeLabel()->text(), QStringLiteral("00:00:00:00"));
    QCOMPARE(bar.durationTimeLabel()->text(), QStringLiteral("00:00:00:00"));
    // A click with nothing bound does nothing (and does not crash).
    bar.button(VkPlayerToolBarBase::Button_Stop)->click();
    QCOMPARE(bar.currentTimeLabel()->textFormat(), Qt::PlainText);
}

void tst_VkPlayerToolBar::labelsAndSliderFollow_data()
{
    QTest::addColumn<qint64>("rangeFirst");
    QTest::addColumn<qint64>("rangeCount");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<int>("sliderValue");
    QTest::addColumn<int>("sliderMax");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("duration");

    // At 25 fps: frame 30 is 1 s 5 frames; 75 frames are 3 s; the slider runs 0..74.
    QTest::newRow("whole clip") << qint64(0) << qint64(75) << qint64(30) << 30 << 74 << "00:00:01:05"
                                << "00:00:03:00";
    QTest::newRow("last frame") << qint64(0) << qint64(75) << qint64(74) << 74 << 74 << "00:00:02:24"
                                << "00:00:03:00";
    // Within the scene [50, 70): frame 60 is 10 frames in; the scene lasts 20 frames, slider 0..19.
    QTest::newRow("scene range") << qint64(50) << qint64(20) << qint64(60) << 10 << 19 << "00:00:00:10"
                                 << "00:00:00:20";
    // A seek before the range lands on its first frame: offset 0.
    QTest::newRow("before the range") << qint64(50) << qint64(20) << qint64(5) << 0 << 19 << "00:00:00:00"
                                      << "00:00:00:20";
}

void tst_VkPlayerToolBar::labelsAndSliderFollow()
{
    QFETCH(qint64, rangeFirst);
    QFETCH(qint64, rangeCount);
    QFETCH(qint64, frame);
    QFETCH(int, sliderValue);
    QFETCH(int, sliderMax);
    QFETCH(QString, current);
    QFETCH(QString, duration);

    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.setPlayerPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    QVERIFY(bar.slider()->isEnabled());
    QCOMPARE(bar.durationTimeLabel()->text(), QStringLiteral("00:00:03:00"));
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 1, kWaitMs);

    presenter.mediaPlayer()->setPlayRange(rangeFirst, rangeCount);
    presenter.seek(frame, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 2, kWaitMs);
    QCOMPARE(bar.slider()->minimum(), 0);
    QCOMPARE(bar.slider()->maximum(), sliderMax);
    QCOMPARE(bar.slider()->value(), sliderValue);
    QCOMPARE(bar.currentTimeLabel()->text(), current);
    QCOMPARE(bar.durationTimeLabel()->text(), duration);
}

void tst_VkPlayerToolBar::playButtonFollowsState()
{
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.setPlayerPresenter(&presenter);
    VkToolButton* playPause = bar.button(VkPlayerToolBarBase::Button_PlayPause);
    // What the button shows right after each change of state (the bar hears of it first, having
    // connected first), so that two changes handled in one go are still told apart.
    QStringList seen;
    connect(&presenter, &VkMediaPlayerPresenter::sigPlayStateChanged, &bar, [&] {
        seen
            << QStringLiteral("%1 %2").arg(playPause->property("playing").toBool()).arg(playPause->toolTip());
    });
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    QCOMPARE(playPause->property("playing").toBool(), false);
    QCOMPARE(playPause->toolTip(), QStringLiteral("Play"));

    presenter.mediaPlayer()->setPlayRange(60, 5);
    playPause->click();
    QVERIFY(presenter.isPlaying());
    // Playing, then back at the end of the range.
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, kWaitMs);
    QCOMPARE(seen, (QStringList{QStringLiteral("1 Pause"), QStringLiteral("0 Play")}));
    QCOMPARE(presenter.currentFrame(), qint64(64));
    QCOMPARE(bar.slider()->value(), 4);
}

void tst_VkPlayerToolBar::buttonsDrivePresenter_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("expected");

    // The range is [20, 40) and the player stands on frame 30.
    QTest::newRow("step forward") << int(VkPlayerToolBarBase::Button_StepForward) << 31;
    QTest::newRow("step back") << int(VkPlayerToolBarBase::Button_StepBackward) << 29;
    // Stop goes back to the range's first frame, not the clip's.
    QTest::newRow("stop") << int(VkPlayerToolBarBase::Button_Stop) << 20;
}

void tst_VkPlayerToolBar::buttonsDrivePresenter()
{
    QFETCH(int, button);
    QFETCH(int, expected);

    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.setPlayerPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter.mediaPlayer()->setPlayRange(20, 20);
    presenter.seek(30, true, false);
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 2, kWaitMs);

    bar.button(button)->click();
    QTRY_COMPARE_WITH_TIMEOUT(log.shown.size(), 3, kWaitMs);
    QCOMPARE(log.shown.last(), expected);
    QVERIFY(!presenter.isPlaying());
    QCOMPARE(bar.slider()->value(), expected - 20);
}

void tst_VkPlayerToolBar::sliderSeeksWithinRange()
{
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.resize(800, 24);
    bar.setPlayerPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter.mediaPlayer()->setPlayRange(40, 20);
    QTRY_COMPARE_WITH_TIMEOUT(bar.slider()->maximum(), 19, kWaitMs);

    // Slider value 15 of the range [40, 60) is frame 55.
    emit bar.slider()->sigUserSeek(15);
    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == 55, kWaitMs);

    // A press on the groove's far end asks for the range's last frame, 59.
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    VkToolSlider* slider = bar.slider();
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier,
                      QPoint(slider->width() - 1, slider->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(log.shown.last() == 59, kWaitMs);
}

void tst_VkPlayerToolBar::sliderKeys_data()
{
    QTest::addColumn<int>("startFrame");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expectedFrame");

    // Play range [10, 70) of the 25 fps clip: a key steps a frame, a page is a second (25 frames),
    // both counted from the range's start and stopped at its ends. -1: no seek at all.
    QTest::newRow("right") << 40 << int(Qt::Key_Right) << 41;
    QTest::newRow("left") << 40 << int(Qt::Key_Left) << 39;
    QTest::newRow("page up") << 40 << int(Qt::Key_PageUp) << 65;
    QTest::newRow("page down") << 40 << int(Qt::Key_PageDown) << 15;
    QTest::newRow("page up near the end") << 60 << int(Qt::Key_PageUp) << 69;
    QTest::newRow("home") << 40 << int(Qt::Key_Home) << 10;
    QTest::newRow("end") << 40 << int(Qt::Key_End) << 69;
    QTest::newRow("left at the start") << 10 << int(Qt::Key_Left) << -1;
    QTest::newRow("a key the slider ignores") << 40 << int(Qt::Key_A) << -1;
}

void tst_VkPlayerToolBar::sliderKeys()
{
    QFETCH(int, startFrame);
    QFETCH(int, key);
    QFETCH(int, expectedFrame);

    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    VkPlayerToolBarBase bar(nullptr, nullptr, false);
    bar.resize(800, 48);
    bar.setPlayerPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter.mediaPlayer()->setPlayRange(10, 60);
    presenter.seek(startFrame, true, false);
    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == startFrame, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(bar.slider()->value(), startFrame - 10, kWaitMs);

    // Reached with Tab, not taken by a click.
    QCOMPARE(bar.slider()->focusPolicy(), Qt::TabFocus);
    QSignalSpy seeks(bar.slider(), &VkToolSlider::sigUserSeek);
    QTest::keyClick(bar.slider(), Qt::Key(key));
    if (expectedFrame < 0) {
        QCOMPARE(seeks.count(), 0);
        QCOMPARE(bar.slider()->value(), startFrame - 10);
        return;
    }
    QCOMPARE(seeks.count(), 1);
    QCOMPARE(seeks.first().first().toInt(), expectedFrame - 10);
    QTRY_VERIFY_WITH_TIMEOUT(log.shown.last() == expectedFrame, kWaitMs);
}

void tst_VkPlayerToolBar::timeLabelTypes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("current");
    QTest::addColumn<bool>("duration");

    QTest::newRow("both") << int(VkPlayerToolBarBase::TimeLabel_CurrentAndDuration) << true << true;
    QTest::newRow("duration only") << int(VkPlayerToolBarBase::TimeLabel_Duration) << false << true;
    QTest::newRow("current only") << int(VkPlayerToolBarBase::TimeLabel_Current) << true << false;
    // An unknown type falls back to showing both.
    QTest::newRow("unknown") << 9 << true << true;
}

void tst_VkPlayerToolBar::timeLabelTypes()
{
    QFETCH(int, type);
    QFETCH(bool, current);
    QFETCH(bool, duration);

    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.resize(500, 24);
    // From another type, so that each row changes something.
    bar.setTimeLabelType(type == VkPlayerToolBarBase::TimeLabel_Current
                             ? VkPlayerToolBarBase::TimeLabel_Duration
                             : VkPlayerToolBarBase::TimeLabel_Current);
    bar.setTimeLabelType(VkPlayerToolBarBase::TimeLabelType(type));
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QCOMPARE(bar.currentTimeLabel()->isVisible(), current);
    QCOMPARE(bar.durationTimeLabel()->isVisible(), duration);
    // The slider gives way to what is shown and never runs under a label.
    for (VkLabel* label : {bar.currentTimeLabel(), bar.durationTimeLabel()}) {
        if (label->isVisible())
            QVERIFY(!bar.slider()->geometry().intersects(label->geometry()));
    }
}

void tst_VkPlayerToolBar::compactLayout()
{
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.button(VkPlayerToolBarBase::Button_Fullscreen)->hide();
    bar.button(VkPlayerToolBarBase::Button_Volume)->hide();
    bar.resize(600, 24);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));

    // One line: the four transport buttons from the left, then the slider, then the two labels at
    // the right edge; the hidden buttons leave no gap there.
    QList<QWidget*> row;
    for (int i = VkPlayerToolBarBase::Button_StepBackward; i <= VkPlayerToolBarBase::Button_StepForward; ++i)
        row << bar.button(i);
    row << bar.slider() << bar.currentTimeLabel() << bar.durationTimeLabel();
    QCOMPARE(row.first()->x(), 0);
    for (int i = 1; i < row.size(); ++i) {
        QVERIFY2(row.at(i)->geometry().left() > row.at(i - 1)->geometry().right(),
                 qPrintable(QString::number(i)));
        QVERIFY(row.at(i)->geometry().top() >= 0 && row.at(i)->geometry().bottom() < bar.height());
    }
    QCOMPARE(bar.durationTimeLabel()->geometry().right(), bar.width() - 1);
    // The slider takes the room between the last transport button and the first label.
    constexpr int kMostGap = 16;
    const QRect slider = bar.slider()->geometry();
    QVERIFY(slider.left() - bar.button(VkPlayerToolBarBase::Button_StepForward)->geometry().right() <=
            kMostGap);
    QVERIFY(bar.currentTimeLabel()->geometry().left() - slider.right() <= kMostGap);
}

void tst_VkPlayerToolBar::twoLineLayout()
{
    VkPlayerToolBarBase bar(nullptr, nullptr, false);
    bar.resize(bar.sizeHint());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    // The slider spans the top; the controls sit below it without touching it.
    QCOMPARE(bar.slider()->geometry(), QRect(0, 0, bar.width(), bar.slider()->height()));
    for (int i = 0; i < VkPlayerToolBarBase::ButtonCount; ++i) {
        QVERIFY(bar.button(i)->y() > bar.slider()->geometry().bottom());
        QVERIFY(bar.button(i)->geometry().bottom() < bar.height());
    }
    QCOMPARE(bar.button(VkPlayerToolBarBase::Button_Fullscreen)->geometry().right(), bar.width() - 1);
}

void tst_VkPlayerToolBar::callersSlider()
{
    QWidget host;
    auto* slider = new VkToolSlider(Qt::Horizontal, &host);
    slider->setGeometry(5, 6, 70, 12);
    VkMediaPlayerPresenter presenter(nullptr, nullptr);
    FrameLog log(&presenter);
    auto* bar = new VkPlayerToolBarBase(&host, slider, true);
    bar->resize(500, 24);
    bar->setPlayerPresenter(&presenter);
    QVERIFY(presenter.openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    QCOMPARE(bar->slider(), slider);
    // The caller lays out its own slider; the bar only drives it.
    QCOMPARE(slider->geometry(), QRect(5, 6, 70, 12));
    QCOMPARE(slider->maximum(), 74);
    emit slider->sigUserSeek(44);
    QTRY_VERIFY_WITH_TIMEOUT(!log.shown.isEmpty() && log.shown.last() == 44, kWaitMs);
    QCOMPARE(slider->value(), 44);
}

void tst_VkPlayerToolBar::presenterDestroyedFirst()
{
    // The scene window deletes its presenter before its widgets.
    auto* presenter = new VkMediaPlayerPresenter(nullptr, nullptr);
    VkPlayerToolBarBase bar(nullptr, nullptr, true);
    bar.setPlayerPresenter(presenter);
    QVERIFY(presenter->openMedia(m_item.get(), VKVBLMODEL::VkMediaSource_Library, 0));
    presenter->play();
    QVERIFY(bar.slider()->isEnabled());
    delete presenter;
    QVERIFY(!bar.playerPresenter());
    QVERIFY(!bar.slider()->isEnabled());
    QVERIFY(!bar.button(VkPlayerToolBarBase::Button_PlayPause)->isEnabled());
    QCOMPARE(bar.button(VkPlayerToolBarBase::Button_PlayPause)->property("playing").toBool(), false);
    bar.button(VkPlayerToolBarBase::Button_PlayPause)->click();
    emit bar.slider()->sigUserSeek(3);
}

VK_TEST_MAIN(tst_VkPlayerToolBar)
#include "tst_toolbar.moc"
