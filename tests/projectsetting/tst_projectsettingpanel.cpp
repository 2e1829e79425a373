#include "ProjectConfigFixture.h"
#include "VkMessageBoxAnswerer.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingPanel.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>
#include <vkcore/VkConfig.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkStateButton.h>

#include <QLineEdit>

using VKVBLMODEL::VkProjectConfig;

namespace {

// The panel and its controls, found the way a user sees them.
struct Panel
{
    Panel()
        : ratio(panel.findChild<VkComboBox*>("ProjectSettings_AspectRatioBox"))
        , resolution(panel.findChild<VkComboBox*>("ProjectSettings_ResolutionBox"))
        , frameRate(panel.findChild<VkComboBox*>("ProjectSettings_FrameRateBox"))
        , colorSpace(panel.findChild<VkComboBox*>("ProjectSettings_ColorSpaceBox"))
        , width(panel.findChild<VkDoubleSpinBox*>("ProjectSettings_WidthBox"))
        , height(panel.findChild<VkDoubleSpinBox*>("ProjectSettings_HeightBox"))
        , lock(panel.findChild<VkStateButton*>())
        , ratioText(panel.findChild<VkLabel*>("ProjectSettings_RatioText"))
    {}
    QSize boxes() const { return QSize(int(width->value()), int(height->value())); }
    // What the panel shows, in one line: ratio | resolution (rows) | size | ratio label | lock state.
    QString state() const
    {
        return QStringLiteral("%1 | %2 (%3 rows) | %4x%5 | %6 | lock %7")
            .arg(ratio->currentText(), resolution->currentText())
            .arg(resolution->count())
            .arg(boxes().width())
            .arg(boxes().height())
            .arg(ratioText->text())
            .arg(lock->CurrentButtonId());
    }
    static void choose(VkComboBox* box, const QString& text) { box->setCurrentIndex(box->findText(text)); }
    void clickLock() { QTest::mouseClick(lock, Qt::LeftButton); }
    bool changed(VkProjectConfig* current = nullptr)
    {
        VkProjectConfig c;
        const bool result = panel.isDataChanged(c);
        if (current)
            *current = c;
        return result;
    }

    VkProjectSettingPanel panel{nullptr};
    VkComboBox* ratio;
    VkComboBox* resolution;
    VkComboBox* frameRate;
    VkComboBox* colorSpace;
    VkDoubleSpinBox* width;
    VkDoubleSpinBox* height;
    VkStateButton* lock;
    VkLabel* ratioText;
};

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

} // namespace

class TestProjectSettingPanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    // No message box or stray window may outlive a test.
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void opensOnStoredProject();
    void choosingRatio();
    void typingWidthWithoutLock();
    void typingWithLockEvensUp();
    void lockFreezesPairUntilUnlocked();
    void lockedSideStaysInRange_data();
    void lockedSideStaysInRange();
    void destroyedWhileTyping();
    void colorSpaceAdvice_data();
    void colorSpaceAdvice();
    void mediaMatchSetting();
};

void TestProjectSettingPanel::init()
{
    IVkProjectManager::getInstance()->newProject();
    storeConfig(1, 2, QSize(1920, 1080), 0);
    VkConfig::Instance().SetColorSpaceGpuTipsNoNeedShow(false);
    VkConfig::Instance().SetColorSpaceHDRTipsNoNeedShow(false);
    VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->SetMediaMatchProjShow(false);
}

void TestProjectSettingPanel::opensOnStoredProject()
{
    Panel c;
    QCOMPARE(
        c.state(),
        QStringLiteral(
            "16:9 (Widescreen) | 1920 x 1080 (Full HD) (5 rows) | 1920x1080 | Aspect Ratio  16:9 | lock 1"));
    QCOMPARE(c.frameRate->currentText(), QStringLiteral("25 fps"));
    QCOMPARE(c.colorSpace->currentText(), QStringLiteral("SDR - Rec.709"));
    // Rows carry their enum value, not their index: Custom (0) last, HLG (2) before PQ (1).
    QCOMPARE(c.ratio->itemData(c.ratio->count() - 1).toInt(), 0);
    QCOMPARE(c.colorSpace->itemData(1).toInt(), 2);
    QVERIFY(!c.changed());

    // The custom resolution row changes nothing.
    c.choose(c.resolution, "Custom");
    QCOMPARE(c.state(),
             QStringLiteral("16:9 (Widescreen) | Custom (5 rows) | 1920x1080 | Aspect Ratio  16:9 | lock 1"));
    QVERIFY(!c.changed());
}

void TestProjectSettingPanel::choosingRatio()
{
    const QList<QPair<QString, QString>> cases{
        {"1:1 (Instagram)",
         "1:1 (Instagram) | 1080 x 1080 (4 rows) | 1080x1080 | Aspect Ratio  1:1 | lock 1"},
        {"4:3 (Standard)",
         "4:3 (Standard) | 640 x 480 (VGA) (5 rows) | 640x480 | Aspect Ratio  4:3 | lock 1"},
        // Custom keeps the size; the pair is the reduced size, 1920:1080 / 120.
        {"Custom", "Custom | Custom (1 rows) | 1920x1080 | Aspect Ratio  16:9 | lock 1"}};
    for (const auto& [ratio, expected] : cases) {
        Panel c;
        c.choose(c.ratio, ratio);
        QCOMPARE(c.state(), expected);
    }
}

void TestProjectSettingPanel::typingWidthWithoutLock()
{
    Panel c;
    typeInto(c.width, "1000");
    // No preset: custom, with the pair reduced by the gcd 40.
    QCOMPARE(c.state(),
             QStringLiteral("Custom | Custom (1 rows) | 1000x1080 | Aspect Ratio  25:27 | lock 1"));
    VkProjectConfig current;
    QVERIFY(c.changed(&current));
    QCOMPARE(current.resolution, QSize(1000, 1080));
    QCOMPARE(int(current.aspectRatio), 0);
    // Nothing reaches the project before acceptance.
    QCOMPARE(storedConfig().resolution, QSize(1920, 1080));
}

void TestProjectSettingPanel::typingWithLockEvensUp()
{
    const QList<std::tuple<bool, QString, QSize>> cases{
        // 1001 * 1080 / 1920 = 563 -> 564; Enter evens the width to 1002: 1002 * 1080 / 1920 = 563 -> 564.
        {true, "1001", {1002, 564}},
        {true, "1280", {1280, 720}}, // a preset
        // 1920 * 501 / 1080 = 890; Enter evens 501 to 502: 1920 * 502 / 1080 = 892.4 -> 892.
        {false, "501", {892, 502}}};
    for (const auto& [typeWidth, typed, size] : cases) {
        Panel c;
        c.panel.show();
        c.clickLock();
        QCOMPARE(c.lock->CurrentButtonId(), 2);
        typeInto(typeWidth ? c.width : c.height, typed);
        QCOMPARE(c.boxes(), size);
        VkProjectConfig current;
        c.changed(&current);
        QCOMPARE(current.resolution, size);
    }
}

void TestProjectSettingPanel::lockFreezesPairUntilUnlocked()
{
    {
        Panel c;
        c.clickLock();
        c.width->setValue(1000); // a programmatic change still runs the size slot
        QCOMPARE(c.state(),
                 QStringLiteral("Custom | Custom (1 rows) | 1000x562 | Aspect Ratio  16:9 | lock 2"));
    }
    Panel c;
    c.clickLock();
    c.clickLock();
    c.width->setValue(1000);
    QCOMPARE(c.state(),
             QStringLiteral("Custom | Custom (1 rows) | 1000x1080 | Aspect Ratio  25:27 | lock 1"));
}

void TestProjectSettingPanel::lockedSideStaysInRange_data()
{
    QTest::addColumn<bool>("typeWidth");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QSize>("size"); // shown in the boxes and held for the save alike

    // Locked at 1920 x 1080. 1920 * 9000 / 1080 = 16000: the width stops at the boxes' 10000.
    QTest::newRow("height 9000, width over the top") << false << "9000" << QSize(10000, 9000);
    // 100 * 1080 / 1920 = 56.25 -> 56: the height stops at the boxes' 64.
    QTest::newRow("width 100, height under the bottom") << true << "100" << QSize(100, 64);
    // 1920 * 64 / 1080 = 113.8 -> 113, evened up to 114.
    QTest::newRow("height 64, odd width evened") << false << "64" << QSize(114, 64);
    // Enter evens 9999 to 10000: 10000 * 1080 / 1920 = 5625 -> 5626.
    QTest::newRow("width 9999 evened to the top") << true << "9999" << QSize(10000, 5626);
}

void TestProjectSettingPanel::lockedSideStaysInRange()
{
    QFETCH(bool, typeWidth);
    QFETCH(QString, typed);
    QFETCH(QSize, size);
    Panel c;
    c.panel.show();
    c.clickLock();
    typeInto(typeWidth ? c.width : c.height, typed);
    QCOMPARE(c.boxes(), size);
    VkProjectConfig current;
    QVERIFY(c.changed(&current));
    QCOMPARE(current.resolution, size);
    c.panel.DoAccept();
    QCOMPARE(storedConfig().resolution, size);
}

// A panel that is a window of its own, destroyed while a size box holds a value still being typed:
// the focus leaves the box during the destruction, and its end of edit must reach nothing freed.
void TestProjectSettingPanel::destroyedWhileTyping()
{
    auto* panel = new VkProjectSettingPanel(nullptr);
    panel->show();
    QApplication::setActiveWindow(panel);
    QVERIFY(QTest::qWaitForWindowActive(panel));
    auto* width = panel->findChild<VkDoubleSpinBox*>("ProjectSettings_WidthBox");
    QVERIFY(width);
    width->setFocus();
    QTRY_VERIFY(width->hasFocus());
    QLineEdit* edit = width->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "1001");
    int editEnds = 0;
    connect(width, &VkDoubleSpinBox::sigEditFinished, qApp, [&editEnds] { ++editEnds; });
    delete panel;
    // The edit did end inside the destruction: the case above was really met.
    QCOMPARE(editEnds, 1);
}

void TestProjectSettingPanel::colorSpaceAdvice_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("chosen"); // 0 SDR, 1 PQ, 2 HLG
    QTest::addColumn<bool>("acceleration");
    QTest::addColumn<bool>("hdrDisplay");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("gpuFlagAfter");
    QTest::addColumn<bool>("hdrFlagAfter");

    QTest::newRow("SDR needs no advice") << 0 << 0 << false << false << "" << false << false;
    QTest::newRow("HLG on an HDR display") << 0 << 2 << true << true << "" << false << false;
    QTest::newRow("PQ without HDR display")
        << 0 << 1 << true << false << "HDR is not enabled" << true << false;
    QTest::newRow("HLG without acceleration")
        << 0 << 2 << false << false << "GPU acceleration" << false << true;
    QTest::newRow("unchanged HDR choice") << 2 << 2 << false << false << "" << false << false;
}

void TestProjectSettingPanel::colorSpaceAdvice()
{
    QFETCH(int, stored);
    QFETCH(int, chosen);
    QFETCH(QString, message);
    QFETCH(bool, acceleration);
    QFETCH(bool, hdrDisplay);
    VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(
        acceleration);
    VkConfig::Instance().SetHdrEnabled(hdrDisplay);

    VkMessageBoxAnswerer answerer;
    for (int round = 0; round < 2; ++round) {
        storeConfig(1, 2, QSize(1920, 1080), stored);
        Panel c;
        c.colorSpace->setCurrentIndex(c.colorSpace->findData(chosen));
        c.panel.DoAccept();
        QCOMPARE(int(storedConfig().colorSpace), chosen); // saved whatever the advice
        // The flags persist in config.ini, and there they keep the message from showing again.
        VkConfig::Instance().Reload();
        QTEST(VkConfig::Instance().IsColorSpaceGpuTipsNoNeedShow(), "gpuFlagAfter");
        QTEST(VkConfig::Instance().IsColorSpaceHDRTipsNoNeedShow(), "hdrFlagAfter");
    }
    QCOMPARE(answerer.texts.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QVERIFY2(answerer.texts.first().contains(message), qPrintable(answerer.texts.first()));
    if (message.contains("HDR"))
        QVERIFY(answerer.texts.first().contains("href=\"https://support.microsoft.com/"));
}

// Which accepted changes ask for the media-match prompt: a new frame rate or size does, a ratio or
// colour space alone does not.
void TestProjectSettingPanel::mediaMatchSetting()
{
    // With acceleration and an HDR display, an HDR choice raises no message.
    VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(true);
    VkConfig::Instance().SetHdrEnabled(true);
    VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
    const QList<std::tuple<QString, QString, bool>> cases{{"", "", false},
                                                          {"rate", "29.97 fps", true},
                                                          {"width", "1280", true}, // no preset
                                                          {"ratio", "1:1 (Instagram)", true},
                                                          {"ratio", "Custom", false}, // keeps 1920 x 1080
                                                          {"color", "HDR - Rec.2100HLG", false}};
    for (const auto& [box, choice, mediaMatch] : cases) {
        storeConfig(1, 2, QSize(1920, 1080), 0);
        general->SetMediaMatchProjShow(false);
        Panel c;
        const QMap<QString, VkComboBox*> boxes{
            {"rate", c.frameRate}, {"ratio", c.ratio}, {"color", c.colorSpace}};
        if (box == "width")
            c.width->setValue(choice.toInt());
        else if (boxes.contains(box))
            c.choose(boxes.value(box), choice);
        c.panel.DoAccept();
        QVERIFY2(general->IsMediaMatchProjShow() == mediaMatch, qPrintable(box + ' ' + choice));
    }
}

VK_TEST_MAIN(TestProjectSettingPanel)
#include "tst_projectsettingpanel.moc"
