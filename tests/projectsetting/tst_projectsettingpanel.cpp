#include "ProjectConfigFixture.h"
#include "VkMessageBoxAnswerer.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingPanel.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>
#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkStateButton.h>

#include <QLineEdit>

using VKVBLMODEL::VkProjectConfig;

namespace {

VkProjectConfig storedConfig()
{
    VkProjectConfig c;
    IVkProjectManager::getInstance()->currentProject()->getProjectConfig(c);
    return c;
}

// The panel's controls, found the way a user sees them.
struct Controls
{
    explicit Controls(VkProjectSettingPanel* panel)
        : ratio(panel->findChild<VkComboBox*>("ProjectSettings_AspectRatioBox"))
        , resolution(panel->findChild<VkComboBox*>("ProjectSettings_ResolutionBox"))
        , frameRate(panel->findChild<VkComboBox*>("ProjectSettings_FrameRateBox"))
        , colorSpace(panel->findChild<VkComboBox*>("ProjectSettings_ColorSpaceBox"))
        , width(panel->findChild<VkDoubleSpinBox*>("ProjectSettings_WidthBox"))
        , height(panel->findChild<VkDoubleSpinBox*>("ProjectSettings_HeightBox"))
        , lock(panel->findChild<VkStateButton*>())
        , ratioText(panel->findChild<VkLabel*>("ProjectSettings_RatioText"))
    {}
    bool complete() const
    {
        return ratio && resolution && frameRate && colorSpace && width && height && lock && ratioText;
    }
    QSize boxes() const { return QSize(int(width->value()), int(height->value())); }
    void choose(VkComboBox* box, const QString& text) const { box->setCurrentIndex(box->findText(text)); }

    VkComboBox* ratio;
    VkComboBox* resolution;
    VkComboBox* frameRate;
    VkComboBox* colorSpace;
    VkDoubleSpinBox* width;
    VkDoubleSpinBox* height;
    VkStateButton* lock;
    VkLabel* ratioText;
};

void clickLock(const Controls& c)
{
    QTest::mouseClick(c.lock, Qt::LeftButton);
}

// Types into a size box the way a user does: select everything, type, press Enter.
void typeInto(VkDoubleSpinBox* box, const QString& text)
{
    QLineEdit* edit = box->findChild<QLineEdit*>();
    QVERIFY(edit);
    box->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QString ratioLabel(const QString& pair)
{
    return QStringLiteral("Aspect Ratio  ") + pair;
}

} // namespace

class TestProjectSettingPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensOnStoredProject();
    void choosingRatio_data();
    void choosingRatio();
    void customResolutionRowChangesNothing();
    void typingWidthWithoutLock();
    void typingWithLockEvensUp_data();
    void typingWithLockEvensUp();
    void lockedLabelKeepsFrozenPair();
    void unlockKeepsValues();
    void colorSpaceAdvice_data();
    void colorSpaceAdvice();
    void mediaMatchSetting_data();
    void mediaMatchSetting();
    void isDataChanged();
    void layout_data();
    void layout();
};

void TestProjectSettingPanel::init()
{
    IVkProjectManager::getInstance()->newProject();
    storeConfig(1, 2, QSize(1920, 1080), 0);
    VkConfig::Instance().SetColorSpaceGpuTipsNoNeedShow(false);
    VkConfig::Instance().SetColorSpaceHDRTipsNoNeedShow(false);
    VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->SetMediaMatchProjShow(false);
}

void TestProjectSettingPanel::cleanup()
{
    // No message box or stray window may outlive a test.
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestProjectSettingPanel::opensOnStoredProject()
{
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    QVERIFY(c.complete());
    QCOMPARE(c.ratio->currentText(), QStringLiteral("16:9 (Widescreen)"));
    QCOMPARE(c.resolution->currentText(), QStringLiteral("1920 x 1080 (Full HD)"));
    QCOMPARE(c.frameRate->currentText(), QStringLiteral("25 fps"));
    QCOMPARE(c.colorSpace->currentText(), QStringLiteral("SDR - Rec.709"));
    QCOMPARE(c.boxes(), QSize(1920, 1080));
    QCOMPARE(c.ratioText->text(), ratioLabel("16:9"));
    QCOMPARE(c.lock->CurrentButtonId(), 1);
    // Eight ratios in catalogue order, Custom last; rows carry their enum value, not their index.
    QCOMPARE(c.ratio->count(), 8);
    QCOMPARE(c.ratio->itemData(7).toInt(), 0);
    QCOMPARE(c.colorSpace->itemData(1).toInt(), 2);
}

void TestProjectSettingPanel::choosingRatio_data()
{
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("pair");

    QTest::newRow("1:1") << "1:1 (Instagram)" << 4 << "1080 x 1080" << QSize(1080, 1080) << "1:1";
    QTest::newRow("9:16") << "9:16 (Portrait)" << 4 << "1080 x 1920" << QSize(1080, 1920) << "9:16";
    QTest::newRow("4:3") << "4:3 (Standard)" << 5 << "640 x 480 (VGA)" << QSize(640, 480) << "4:3";
    QTest::newRow("21:9") << "21:9 (Cinema)" << 5 << "2560 x 1080" << QSize(2560, 1080) << "21:9";
    // Custom keeps the size; the pair is the reduced size, 1920:1080 / 120 = 16:9.
    QTest::newRow("custom") << "Custom" << 1 << "Custom" << QSize(1920, 1080) << "16:9";
}

void TestProjectSettingPanel::choosingRatio()
{
    QFETCH(QString, ratio);
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    c.choose(c.ratio, ratio);
    QTEST(c.resolution->count(), "rows");
    QTEST(c.resolution->currentText(), "row");
    QTEST(c.boxes(), "size");
    QFETCH(QString, pair);
    QCOMPARE(c.ratioText->text(), ratioLabel(pair));
    QCOMPARE(c.ratio->currentText(), ratio);
}

void TestProjectSettingPanel::customResolutionRowChangesNothing()
{
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    c.choose(c.resolution, "Custom");
    QCOMPARE(c.resolution->currentText(), QStringLiteral("Custom"));
    QCOMPARE(c.boxes(), QSize(1920, 1080));
    QCOMPARE(c.ratio->currentText(), QStringLiteral("16:9 (Widescreen)"));
    VkProjectConfig current;
    QVERIFY(!panel.isDataChanged(current));
}

void TestProjectSettingPanel::typingWidthWithoutLock()
{
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    typeInto(c.width, "1000");
    // 1000 x 1080 is no preset: the ratio turns custom, the resolution list is just "Custom", and the
    // pair is 1000:1080 reduced by their gcd 40, 25:27.
    QCOMPARE(c.boxes(), QSize(1000, 1080));
    QCOMPARE(c.ratio->currentText(), QStringLiteral("Custom"));
    QCOMPARE(c.resolution->count(), 1);
    QCOMPARE(c.resolution->currentText(), QStringLiteral("Custom"));
    QCOMPARE(c.ratioText->text(), ratioLabel("25:27"));
    VkProjectConfig current;
    QVERIFY(panel.isDataChanged(current));
    QCOMPARE(current.resolution, QSize(1000, 1080));
    QCOMPARE(int(current.aspectRatio), 0);
}

void TestProjectSettingPanel::typingWithLockEvensUp_data()
{
    QTest::addColumn<bool>("typeWidth");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QSize>("size");

    // 1001 * 1080 / 1920 = 563 -> 564; Enter evens the width up to 1002: 1002 * 1080 / 1920 = 563 -> 564.
    QTest::newRow("width 1001") << true << "1001" << QSize(1002, 564);
    // 1280 * 1080 / 1920 = 720 exactly: an even pair that is also a preset.
    QTest::newRow("width 1280") << true << "1280" << QSize(1280, 720);
    // Height 501: width 1920 * 501 / 1080 = 890.6 -> 890; Enter evens 501 up to 502: 1920 * 502 / 1080 =
    // 892.4 -> 892.
    QTest::newRow("height 501") << false << "501" << QSize(892, 502);
}

void TestProjectSettingPanel::typingWithLockEvensUp()
{
    QFETCH(bool, typeWidth);
    QFETCH(QString, typed);
    VkProjectSettingPanel panel(nullptr);
    panel.show();
    Controls c(&panel);
    clickLock(c);
    QCOMPARE(c.lock->CurrentButtonId(), 2);
    typeInto(typeWidth ? c.width : c.height, typed);
    QTEST(c.boxes(), "size");
    VkProjectConfig current;
    panel.isDataChanged(current);
    QTEST(current.resolution, "size");
}

void TestProjectSettingPanel::lockedLabelKeepsFrozenPair()
{
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    clickLock(c);
    c.width->setValue(1000);               // a programmatic change still runs the size slot
    QCOMPARE(c.boxes(), QSize(1000, 562)); // 1080 * 1000 / 1920 = 562, already even
    QCOMPARE(c.ratio->currentText(), QStringLiteral("Custom"));
    QCOMPARE(c.ratioText->text(), ratioLabel("16:9"));
}

void TestProjectSettingPanel::unlockKeepsValues()
{
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    clickLock(c);
    clickLock(c);
    QCOMPARE(c.lock->CurrentButtonId(), 1);
    // Unlocked again: the height no longer follows the width.
    c.width->setValue(1000);
    QCOMPARE(c.boxes(), QSize(1000, 1080));
    QCOMPARE(c.ratioText->text(), ratioLabel("25:27"));
}

void TestProjectSettingPanel::colorSpaceAdvice_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("acceleration");
    QTest::addColumn<bool>("hdrDisplay");
    QTest::addColumn<bool>("gpuFlagBefore");
    QTest::addColumn<bool>("hdrFlagBefore");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("gpuFlagAfter");
    QTest::addColumn<bool>("hdrFlagAfter");

    const QString hdr = "HDR is not enabled";
    const QString gpu = "GPU acceleration";
    QTest::newRow("SDR needs no advice")
        << 0 << "SDR - Rec.709" << false << false << false << false << "" << false << false;
    QTest::newRow("HLG on an HDR display")
        << 0 << "HDR - Rec.2100HLG" << true << true << false << false << "" << false << false;
    QTest::newRow("PQ without HDR display, first time")
        << 0 << "HDR - Rec.2100PQ" << true << false << false << false << hdr << true << false;
    QTest::newRow("PQ without HDR display, told before")
        << 0 << "HDR - Rec.2100PQ" << true << false << true << false << "" << true << false;
    QTest::newRow("HLG without acceleration, first time")
        << 0 << "HDR - Rec.2100HLG" << false << false << false << false << gpu << false << true;
    QTest::newRow("HLG without acceleration, told before")
        << 0 << "HDR - Rec.2100HLG" << false << false << false << true << "" << false << true;
    // The project already was HLG: nothing changed, nothing to say.
    QTest::newRow("unchanged HDR choice")
        << 2 << "HDR - Rec.2100HLG" << false << false << false << false << "" << false << false;
}

void TestProjectSettingPanel::colorSpaceAdvice()
{
    QFETCH(int, stored);
    QFETCH(QString, chosen);
    QFETCH(bool, acceleration);
    QFETCH(bool, hdrDisplay);
    QFETCH(bool, gpuFlagBefore);
    QFETCH(bool, hdrFlagBefore);
    QFETCH(QString, message);
    storeConfig(1, 2, QSize(1920, 1080), stored);
    VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(
        acceleration);
    VkConfig::Instance().SetHdrEnabled(hdrDisplay);
    VkConfig::Instance().SetColorSpaceGpuTipsNoNeedShow(gpuFlagBefore);
    VkConfig::Instance().SetColorSpaceHDRTipsNoNeedShow(hdrFlagBefore);

    VkMessageBoxAnswerer answerer;
    {
        VkProjectSettingPanel panel(nullptr);
        Controls c(&panel);
        c.choose(c.colorSpace, chosen);
        panel.DoAccept();
    }
    if (message.isEmpty()) {
        QCOMPARE(answerer.texts, QStringList());
    } else {
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY2(answerer.texts.first().contains(message), qPrintable(answerer.texts.first()));
    }
    // The HDR message carries its help link.
    if (message.contains("HDR"))
        QVERIFY(answerer.texts.first().contains("href=\"https://support.microsoft.com/"));

    // The choice was saved whatever the advice.
    QCOMPARE(storedConfig().colorSpace, VKVBLMODEL::VkProjectColorSpaceType(chosen.contains("PQ")    ? 1
                                                                            : chosen.contains("HLG") ? 2
                                                                                                     : 0));

    // The flags persist: read config.ini again.
    VkConfig::Instance().Reload();
    QTEST(VkConfig::Instance().IsColorSpaceGpuTipsNoNeedShow(), "gpuFlagAfter");
    QTEST(VkConfig::Instance().IsColorSpaceHDRTipsNoNeedShow(), "hdrFlagAfter");

    // A second acceptance of the same change never shows a message again.
    if (!message.isEmpty()) {
        storeConfig(1, 2, QSize(1920, 1080), stored);
        VkProjectSettingPanel again(nullptr);
        Controls c(&again);
        c.choose(c.colorSpace, chosen);
        again.DoAccept();
        QCOMPARE(answerer.texts.size(), 1);
    }
}

void TestProjectSettingPanel::mediaMatchSetting_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("mediaMatch");
    QTest::newRow("nothing") << "none" << false;
    QTest::newRow("frame rate") << "rate" << true;
    QTest::newRow("typed width") << "width" << true;
    QTest::newRow("ratio with new size") << "ratio" << true;
    // Custom keeps 1920 x 1080: only the ratio changed.
    QTest::newRow("custom ratio only") << "custom" << false;
    QTest::newRow("colour space only") << "color" << false;
}

void TestProjectSettingPanel::mediaMatchSetting()
{
    QFETCH(QString, change);
    // With acceleration and an HDR display, an HDR choice raises no message.
    VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(true);
    VkConfig::Instance().SetHdrEnabled(true);
    VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
    QVERIFY(!general->IsMediaMatchProjShow());

    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    if (change == "rate")
        c.choose(c.frameRate, "29.97 fps");
    else if (change == "width")
        c.width->setValue(1280); // 1280 x 1080 matches no preset
    else if (change == "ratio")
        c.choose(c.ratio, "1:1 (Instagram)");
    else if (change == "custom")
        c.choose(c.ratio, "Custom");
    else if (change == "color")
        c.choose(c.colorSpace, "HDR - Rec.2100HLG");
    panel.DoAccept();
    QTEST(general->IsMediaMatchProjShow(), "mediaMatch");
}

void TestProjectSettingPanel::isDataChanged()
{
    storeConfig(4, 6, QSize(720, 576), 2);
    VkProjectSettingPanel panel(nullptr);
    Controls c(&panel);
    VkProjectConfig current;
    QVERIFY(!panel.isDataChanged(current));
    QCOMPARE(int(current.aspectRatio), 4);
    QCOMPARE(int(current.frameRate), 6);
    QCOMPARE(current.resolution, QSize(720, 576));
    QCOMPARE(int(current.colorSpace), 2);

    c.choose(c.frameRate, "60 fps");
    QVERIFY(panel.isDataChanged(current));
    QCOMPARE(int(current.frameRate), 7);
    // Nothing reaches the project before acceptance.
    QCOMPARE(int(storedConfig().frameRate), 6);
}

void TestProjectSettingPanel::layout_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("geometry");
    // Captions at x 38, 130 wide; boxes at caption right (167) + 16 = 183, top at the caption's centre
    // (top + 11) - 12, i.e. one pixel above the caption. Rows step by 24 + 16.
    QTest::newRow("ratio box") << "ProjectSettings_AspectRatioBox" << QRect(183, 27, 172, 24);
    QTest::newRow("resolution box") << "ProjectSettings_ResolutionBox" << QRect(183, 66, 172, 24);
    // Size row: below the resolution caption (67..90) + 16.
    QTest::newRow("width box") << "ProjectSettings_WidthBox" << QRect(183, 106, 60, 24);
    // The times label starts at the width box's right (242) and is 32 wide, so the height box at 273.
    QTest::newRow("height box") << "ProjectSettings_HeightBox" << QRect(273, 106, 60, 24);
    // Lock: height right (332) + 8, centred on the height box (117) - 6.
    QTest::newRow("lock") << "lock" << QRect(340, 111, 12, 12);
    // Ratio text: lock right (351) + 8, 14 above the height box, 100 x 48.
    QTest::newRow("ratio text") << "ProjectSettings_RatioText" << QRect(359, 92, 100, 48);
    QTest::newRow("frame rate box") << "ProjectSettings_FrameRateBox" << QRect(183, 144, 172, 24);
    QTest::newRow("colour space box") << "ProjectSettings_ColorSpaceBox" << QRect(183, 183, 172, 24);
}

void TestProjectSettingPanel::layout()
{
    QFETCH(QString, control);
    VkProjectSettingPanel panel(nullptr);
    panel.resize(478, 208);
    panel.show();
    QWidget* w = control == "lock" ? static_cast<QWidget*>(panel.findChild<VkStateButton*>())
                                   : panel.findChild<QWidget*>(control);
    QVERIFY(w);
    QTEST(w->geometry(), "geometry");
}

VK_TEST_MAIN(TestProjectSettingPanel)
#include "tst_projectsettingpanel.moc"
