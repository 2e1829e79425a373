#include "OpenWindows.h"

#include <VkTestMain.h>

#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkStateButton.h>
#include <vkwidgets/VkSwitchToolButton.h>
#include <vkwidgets/VkToolSlider.h>

#include <QSignalSpy>

namespace {

// Short enough to keep the suite quick; the tests wait on the signal, never on a clock.
const int kDelayMs = 20;

VkDoubleSpinBox* sizeBox(QWidget* parent, double value)
{
    VkDoubleSpinBox* box = VkDoubleSpinBox::CreateVkDoubleSpinBox(parent);
    box->setDecimals(0);
    box->setRange(64.0, 10000.0);
    box->setValue(value);
    box->SetEndValueDelay(kDelayMs);
    return box;
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QVERIFY2(openWindows().isEmpty(), "a test left a window open"); }
    void stateButton();
    void spinBoxStepBurstEndsOnce();
    void primaryLookSurvivesRename();
    void switchButtonToggles();
    void sliderJumpsToPress();
};

// Catches a state registered but not shown, an unknown id that changes the state, a requested id
// lost when its state is registered later, and a click that advances the state or carries the wrong
// id or position.
void TestControls::stateButton()
{
    QWidget parent;
    parent.resize(100, 100);
    auto* preset = new VkStateButton(2, QString(), &parent);
    auto* lock = new VkStateButton(0, QString(), &parent);
    for (VkStateButton* b : {preset, lock}) {
        b->AddButton(1, QStringLiteral("ProjectSettings_unlock_btn"));
        b->AddButton(2, QStringLiteral("ProjectSettings_lock_btn"));
    }
    QCOMPARE(preset->CurrentButtonId(), 2);
    // Id 0 was never registered, so the first state registered became current.
    QCOMPARE(lock->CurrentButtonId(), 1);
    QCOMPARE(lock->objectName(), QStringLiteral("ProjectSettings_unlock_btn"));
    lock->SetCurrentButtonId(7);
    QCOMPARE(lock->CurrentButtonId(), 1);
    QCOMPARE(lock->ButtonIds(), (QList<int>{1, 2}));

    lock->setGeometry(10, 10, 24, 24);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy spy(lock, &VkBaseButton::Clicked);
    QTest::mouseClick(lock, Qt::LeftButton, Qt::NoModifier, QPoint(5, 6));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(0).at(1).toPoint(), lock->mapToGlobal(QPoint(5, 6)));
    QCOMPARE(lock->CurrentButtonId(), 1);

    // The owner switches the state; a programmatic click reports it, with the centre as position.
    lock->SetCurrentButtonId(2);
    QCOMPARE(lock->objectName(), QStringLiteral("ProjectSettings_lock_btn"));
    lock->click();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 2);
    QCOMPARE(spy.at(1).at(1).toPoint(), lock->mapToGlobal(lock->rect().center()));
}

// Catches one end signal per step (the size box would even up every intermediate value), one that
// never comes, and one for steps that changed nothing.
void TestControls::spinBoxStepBurstEndsOnce()
{
    QWidget parent;
    VkDoubleSpinBox* box = sizeBox(&parent, 1920.0);
    QSignalSpy ended(box, &VkDoubleSpinBox::sigEndValueChanged);
    for (int i = 0; i < 3; ++i)
        box->stepBy(1);
    QCOMPARE(ended.count(), 0);
    QVERIFY(ended.wait());
    QVERIFY(!ended.wait(5 * kDelayMs));
    QCOMPARE(box->value(), 1923.0);

    box->setValue(100.0); // code is not a step
    QVERIFY(!ended.wait(5 * kDelayMs));
    box->stepBy(1);
    box->stepBy(-1); // up and back down ends where it started
    QVERIFY(!ended.wait(5 * kDelayMs));
    box->setValue(10000.0);
    box->stepBy(1); // clamped at the range's end
    QVERIFY(!ended.wait(5 * kDelayMs));
    QCOMPARE(ended.count(), 1);
}

// Catches a button look that depends on an object name the dialogs overwrite.
void TestControls::primaryLookSurvivesRename()
{
    QWidget parent;
    VkPushButton* primary = VkPushButton::CreatePrimaryButton(&parent, VkPushButton::Size_32);
    VkPushButton* secondary = VkPushButton::CreateSecondaryButton(&parent, VkPushButton::Size_32);
    for (VkPushButton* b : {primary, secondary})
        b->setObjectName(QStringLiteral("VCommonLib_Normal_Btn"));
    QVERIFY(primary->IsPrimary());
    QVERIFY(!secondary->IsPrimary());
}

// Catches a switch that does not toggle, or a silent setter that still signals.
void TestControls::switchButtonToggles()
{
    QWidget parent;
    VkSwitchToolButton* button = VkSwitchToolButton::CreateSwitchButton(&parent, true, QString());
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
    QVERIFY2(slider->value() > 800, qPrintable(QString::number(slider->value())));
    QCOMPARE(seeks.at(0).at(0).toInt(), slider->value());
}

VK_TEST_MAIN(TestControls)
#include "tst_controls.moc"
