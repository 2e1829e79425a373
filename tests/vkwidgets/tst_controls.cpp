#include <VkTestMain.h>

#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineEdit.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkStateButton.h>
#include <vkwidgets/VkSwitchToolButton.h>
#include <vkwidgets/VkToolSlider.h>

#include <QLineEdit>
#include <QSignalSpy>

namespace {

// Short enough to keep the suite quick; the tests wait on the signal, never on a clock.
const int kTestEndValueDelayMs = 20;

QWidgetList openWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidgetList windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->inherits("QTipLabel"))
            windows.append(w);
    }
    return windows;
}

} // namespace

// The controls the dialogs build from: the lock button's states, the size boxes' end-of-edit
// signals, the button and field sizes, the switch button and the player's slider.
class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void stateButtonShowsCurrentState();
    void stateButtonClickCarriesCurrentId();
    void spinBoxStepBurstEndsOnce();
    void spinBoxStepsWithoutChangeStaySilent();
    void spinBoxEditFinishedOnEnterOnly();
    void pushButtonSizeKinds_data();
    void pushButtonSizeKinds();
    void lineEditSizeTypes_data();
    void lineEditSizeTypes();
    void labelFactoryNamesAndParents();
    void switchButtonToggles();
    void sliderJumpsToPress();
};

void TestControls::cleanup()
{
    QVERIFY2(openWindows().isEmpty(), "a test left a window open");
}

// Catches a state that is registered but not shown, an unknown id that changes the state, and a
// requested current id that is lost when its state is registered later.
void TestControls::stateButtonShowsCurrentState()
{
    QWidget parent;
    auto* lock = new VkStateButton(0, QString(), &parent);
    lock->AddButton(1, QStringLiteral("ProjectSettings_unlock_btn"));
    // Id 0 was never registered, so the first state registered became current.
    QCOMPARE(lock->CurrentButtonId(), 1);
    lock->AddButton(2, QStringLiteral("ProjectSettings_lock_btn"));
    QCOMPARE(lock->CurrentButtonId(), 1);
    QCOMPARE(lock->objectName(), QStringLiteral("ProjectSettings_unlock_btn"));

    lock->SetCurrentButtonId(2);
    QCOMPARE(lock->CurrentButtonId(), 2);
    QCOMPARE(lock->objectName(), QStringLiteral("ProjectSettings_lock_btn"));

    lock->SetCurrentButtonId(7);
    QCOMPARE(lock->CurrentButtonId(), 2);
    QCOMPARE(lock->ButtonIds(), (QList<int>{1, 2}));

    auto* preset = new VkStateButton(2, QString(), &parent);
    preset->AddButton(1, QStringLiteral("ProjectSettings_unlock_btn"));
    preset->AddButton(2, QStringLiteral("ProjectSettings_lock_btn"));
    QCOMPARE(preset->CurrentButtonId(), 2);
}

// Catches a click that advances the state by itself, carries the wrong id, or a position that
// is not where the mouse was released.
void TestControls::stateButtonClickCarriesCurrentId()
{
    QWidget parent;
    parent.resize(100, 100);
    auto* lock = new VkStateButton(0, QString(), &parent);
    lock->AddButton(1, QStringLiteral("ProjectSettings_unlock_btn"));
    lock->AddButton(2, QStringLiteral("ProjectSettings_lock_btn"));
    lock->SetCurrentButtonId(1);
    lock->setGeometry(10, 10, 24, 24);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));

    QSignalSpy spy(lock, &VkBaseButton::Clicked);
    QTest::mouseClick(lock, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(0).at(1).toPoint(), lock->mapToGlobal(QPoint(5, 6)));
    QCOMPARE(lock->CurrentButtonId(), 1);

    // The owner switches the state; the next click reports the new one. A programmatic click has
    // no mouse position, so the button's centre stands in.
    lock->SetCurrentButtonId(2);
    lock->click();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 2);
    QCOMPARE(spy.at(1).at(1).toPoint(), lock->mapToGlobal(lock->rect().center()));
}

// Catches one end signal per step (the size box would even up every intermediate value) and an
// end signal that never comes.
void TestControls::spinBoxStepBurstEndsOnce()
{
    QWidget parent;
    VkDoubleSpinBox* box = VkDoubleSpinBox::CreateVkDoubleSpinBox(&parent);
    box->setDecimals(0);
    box->setRange(64.0, 10000.0);
    box->setValue(1920.0);
    box->SetEndValueDelay(kTestEndValueDelayMs);
    QSignalSpy ended(box, &VkDoubleSpinBox::sigEndValueChanged);
    QSignalSpy changed(box, qOverload<double>(&QDoubleSpinBox::valueChanged));

    box->stepBy(1);
    box->stepBy(1);
    box->stepBy(1);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(ended.count(), 0);
    QVERIFY(ended.wait());
    // A second wait shows that nothing else follows the burst.
    QVERIFY(!ended.wait(5 * kTestEndValueDelayMs));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(box->value(), 1923.0);

    // Code that sets the value is not a step.
    box->setValue(100.0);
    QVERIFY(!ended.wait(5 * kTestEndValueDelayMs));
    QCOMPARE(ended.count(), 1);
}

// Catches an end signal for steps that were clamped at the range's end (nothing changed).
void TestControls::spinBoxStepsWithoutChangeStaySilent()
{
    QWidget parent;
    VkDoubleSpinBox* box = VkDoubleSpinBox::CreateVkDoubleSpinBox(&parent);
    box->setRange(64.0, 10000.0);
    box->setValue(10000.0);
    box->SetEndValueDelay(kTestEndValueDelayMs);
    QSignalSpy ended(box, &VkDoubleSpinBox::sigEndValueChanged);
    box->stepBy(1);
    QVERIFY(!ended.wait(5 * kTestEndValueDelayMs));

    // Up and back down within one burst also ends where it started.
    box->setValue(500.0);
    box->stepBy(1);
    box->stepBy(-1);
    QVERIFY(!ended.wait(5 * kTestEndValueDelayMs));
    QCOMPARE(ended.count(), 0);
}

void TestControls::spinBoxEditFinishedOnEnterOnly()
{
    QWidget parent;
    VkDoubleSpinBox* box = VkDoubleSpinBox::CreateVkDoubleSpinBox(&parent);
    box->setDecimals(0);
    box->setRange(64.0, 10000.0);
    box->setValue(1920.0);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    box->setFocus();
    QSignalSpy finished(box, &VkDoubleSpinBox::sigEditFinished);
    QSignalSpy ended(box, &VkDoubleSpinBox::sigEndValueChanged);

    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("1281"));
    QCOMPARE(finished.count(), 0);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(box->value(), 1281.0);
    // Typing is not stepping.
    QCOMPARE(ended.count(), 0);
}

void TestControls::pushButtonSizeKinds_data()
{
    QTest::addColumn<bool>("primary");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("height");
    QTest::newRow("primary 32") << true << 32 << 32;
    QTest::newRow("secondary 32") << false << 32 << 32;
    QTest::newRow("primary 24") << true << 24 << 24;
    QTest::newRow("secondary 40") << false << 40 << 40;
    // Below the smallest kind the text would be clipped.
    QTest::newRow("too small") << true << 10 << 24;
}

// Catches a size kind that is not the button's height, and a look that depends on an object name
// the dialogs overwrite.
void TestControls::pushButtonSizeKinds()
{
    QFETCH(bool, primary);
    QFETCH(int, kind);
    QFETCH(int, height);
    QWidget parent;
    VkPushButton* button = primary ? VkPushButton::CreatePrimaryButton(&parent, kind)
                                   : VkPushButton::CreateSecondaryButton(&parent, kind);
    QCOMPARE(button->parentWidget(), &parent);
    QCOMPARE(button->minimumHeight(), height);
    QCOMPARE(button->maximumHeight(), height);
    button->setObjectName(QStringLiteral("VCommonLib_Normal_Btn"));
    QCOMPARE(button->IsPrimary(), primary);
    button->setText(QStringLiteral("Add To Timeline"));
    QCOMPARE(button->text(), QStringLiteral("Add To Timeline"));
}

void TestControls::lineEditSizeTypes_data()
{
    QTest::addColumn<int>("sizeType");
    QTest::addColumn<int>("height");
    QTest::newRow("24") << 24 << 24;
    QTest::newRow("32") << 32 << 32;
    QTest::newRow("invalid falls back to 24") << 0 << 24;
}

void TestControls::lineEditSizeTypes()
{
    QFETCH(int, sizeType);
    QFETCH(int, height);
    QWidget parent;
    VkLineEdit* edit = VkLineEdit::creartNormalLineEdit(&parent, sizeType);
    QCOMPARE(edit->parentWidget(), &parent);
    QCOMPARE(edit->minimumHeight(), height);
    QCOMPARE(edit->maximumHeight(), height);
}

void TestControls::labelFactoryNamesAndParents()
{
    QWidget parent;
    VkLabel* line = VkLabel::CreateLabel(&parent, QStringLiteral("LineWid"));
    VkLabel* plain = VkLabel::CreateLabel(&parent, QString());
    QCOMPARE(line->parentWidget(), &parent);
    QCOMPARE(line->objectName(), QStringLiteral("LineWid"));
    QVERIFY(plain->objectName().isEmpty());
    plain->SetDisplayText(QStringLiteral("Color Space:"));
    QCOMPARE(plain->text(), QStringLiteral("Color Space:"));
}

// Catches a switch that does not toggle, or a silent setter that still signals.
void TestControls::switchButtonToggles()
{
    QWidget parent;
    VkSwitchToolButton* button = VkSwitchToolButton::CreateSwitchButton(
        &parent, true, QStringLiteral("VkStartupDlg_FindProject_Search"));
    QCOMPARE(button->objectName(), QStringLiteral("VkStartupDlg_FindProject_Search"));
    QSignalSpy spy(button, &VkSwitchToolButton::sigSwitched);
    button->click();
    QVERIFY(button->IsOn());
    button->click();
    QVERIFY(!button->IsOn());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
    button->SetOn(true);
    QVERIFY(button->IsOn());
    QCOMPARE(spy.count(), 2);

    VkSwitchToolButton* plain = VkSwitchToolButton::CreateSwitchButton(&parent, false, QString());
    plain->click();
    QVERIFY(!plain->IsOn());
}

// Catches a press on the groove that only pages towards the press, and a seek reported for a
// value set by code.
void TestControls::sliderJumpsToPress()
{
    QWidget parent;
    parent.resize(220, 40);
    auto* slider = new VkToolSlider(&parent);
    slider->setRange(0, 1000);
    slider->setPageStep(10);
    slider->setGeometry(10, 10, 200, 12);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy seeks(slider, &VkToolSlider::sigUserSeek);

    slider->setValue(100);
    QCOMPARE(seeks.count(), 0);

    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(180, 6));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(180, 6));
    QCOMPARE(seeks.count(), 1);
    // Near the right end: far beyond a single page step from 100.
    QVERIFY2(slider->value() > 800, qPrintable(QString::number(slider->value())));
    QCOMPARE(seeks.at(0).at(0).toInt(), slider->value());
}

VK_TEST_MAIN(TestControls)
#include "tst_controls.moc"
