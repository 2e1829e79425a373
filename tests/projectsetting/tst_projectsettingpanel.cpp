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
    template <typename T = VkComboBox>
    T* find(const char* name)
    {
        return panel.findChild<T*>(QLatin1String(name));
    }
    QSize boxes() { return QSize(int(width->value()), int(height->value())); }
    // ratio | resolution (rows) | size | ratio pair | lock state
    QString state()
    {
        return QStringLiteral("%1 | %2 (%3) | %4x%5 | %6 | lock %7")
            .arg(ratio->currentText(), resolution->currentText())
            .arg(resolution->count())
            .arg(boxes().width())
            .arg(boxes().height())
            .arg(find<VkLabel>("ProjectSettings_RatioText")->text().section(QStringLiteral("  "), 1))
            .arg(lock->CurrentButtonId());
    }
    // One user step: "lock"; "ratio|resolution|rate|colour <entry>" picked in a combo box; "width|height
    // <n>" typed, selecting everything, then Enter; "set width <n>" by code.
    void perform(const QString& step)
    {
        const QString what = step.section(QLatin1Char(' '), 0, 0);
        const QString value = step.section(QLatin1Char(' '), 1);
        const QStringList combos{QStringLiteral("ratio"), QStringLiteral("resolution"),
                                 QStringLiteral("rate"), QStringLiteral("colour")};
        VkComboBox* combo = QList<VkComboBox*>{ratio, resolution, find("ProjectSettings_FrameRateBox"),
                                               find("ProjectSettings_ColorSpaceBox")}
                                .value(combos.indexOf(what));
        if (what == QLatin1String("lock")) {
            QTest::mouseClick(lock, Qt::LeftButton);
        } else if (combo) {
            combo->setCurrentIndex(combo->findText(value));
        } else if (what == QLatin1String("set")) {
            width->setValue(value.section(QLatin1Char(' '), 1).toInt());
        } else {
            VkDoubleSpinBox* box = what == QLatin1String("width") ? width : height;
            QLineEdit* edit = box->findChild<QLineEdit*>();
            box->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, value);
            QTest::keyClick(edit, Qt::Key_Return);
        }
    }

    VkProjectSettingPanel panel{nullptr};
    VkComboBox* ratio = find("ProjectSettings_AspectRatioBox");
    VkComboBox* resolution = find("ProjectSettings_ResolutionBox");
    VkDoubleSpinBox* width = find<VkDoubleSpinBox>("ProjectSettings_WidthBox");
    VkDoubleSpinBox* height = find<VkDoubleSpinBox>("ProjectSettings_HeightBox");
    VkStateButton* lock = panel.findChild<VkStateButton*>();
};

VkGeneralSetting* general()
{
    return VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
}

void setMachine(bool acceleration, bool hdrDisplay)
{
    VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(
        acceleration);
    VkConfig::Instance().SetHdrEnabled(hdrDisplay);
}

} // namespace

class TestProjectSettingPanel : public QObject
{
    Q_OBJECT
private slots:
    // No message box or stray window may outlive a test.
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void init()
    {
        IVkProjectManager::getInstance()->newProject();
        storeConfig(1, 2, QSize(1920, 1080), 0);
        VkConfig::Instance().SetColorSpaceGpuTipsNoNeedShow(false);
        VkConfig::Instance().SetColorSpaceHDRTipsNoNeedShow(false);
        general()->SetMediaMatchProjShow(false);
        // With acceleration and an HDR display, an HDR choice raises no message.
        setMachine(true, true);
    }

    void edits_data()
    {
        QTest::addColumn<QString>("steps"); // separated by "; "
        QTest::addColumn<QString>("state");
        // A new frame rate or size asks for the media-match prompt; a ratio or colour space alone does not.
        QTest::addColumn<bool>("mediaMatch");
        const auto row = [](const char* name, const char* steps, const char* state, bool mediaMatch) {
            QTest::newRow(name) << steps << state << mediaMatch;
        };
        row("unchanged", "", "16:9 (Widescreen) | 1920 x 1080 (Full HD) (5) | 1920x1080 | 16:9 | lock 1",
            false);
        row("custom resolution row changes nothing", "resolution Custom",
            "16:9 (Widescreen) | Custom (5) | 1920x1080 | 16:9 | lock 1", false);
        row("ratio 1:1", "ratio 1:1 (Instagram)",
            "1:1 (Instagram) | 1080 x 1080 (4) | 1080x1080 | 1:1 | lock 1", true);
        // Custom keeps the size; the pair is the reduced size, 1920:1080 / 120.
        row("ratio custom", "ratio Custom", "Custom | Custom (1) | 1920x1080 | 16:9 | lock 1", false);
        // No preset: custom, with the pair reduced by the gcd 40.
        row("typed width", "width 1000", "Custom | Custom (1) | 1000x1080 | 25:27 | lock 1", true);
        // 1001 * 1080 / 1920 = 563 -> 564; Enter evens the width to 1002: 1002 * 1080 / 1920 = 563 -> 564.
        row("locked, typed width evened", "lock; width 1001",
            "Custom | Custom (1) | 1002x564 | 16:9 | lock 2", true);
        // Typing passes through sizes of no preset, so a preset typed under the lock still ends custom.
        row("locked, preset width", "lock; width 1280", "Custom | Custom (1) | 1280x720 | 16:9 | lock 2",
            true);
        // 1920 * 501 / 1080 = 890; Enter evens 501 to 502: 1920 * 502 / 1080 = 892.4 -> 892.
        row("locked, typed height evened", "lock; height 501",
            "Custom | Custom (1) | 892x502 | 16:9 | lock 2", true);
        // 1920 * 9000 / 1080 = 16000: the width stops at the boxes' 10000.
        row("locked, width over the top", "lock; height 9000",
            "Custom | Custom (1) | 10000x9000 | 16:9 | lock 2", true);
        // 100 * 1080 / 1920 = 56.25 -> 56: the height stops at the boxes' 64.
        row("locked, height under the bottom", "lock; width 100",
            "Custom | Custom (1) | 100x64 | 16:9 | lock 2", true);
        // A programmatic change still runs the size slot, and the lock holds the pair until unlocked.
        row("locked, width set by code", "lock; set width 1000",
            "Custom | Custom (1) | 1000x562 | 16:9 | lock 2", true);
        row("unlocked again", "lock; lock; set width 1000",
            "Custom | Custom (1) | 1000x1080 | 25:27 | lock 1", true);
        const char* unchanged = "16:9 (Widescreen) | 1920 x 1080 (Full HD) (5) | 1920x1080 | 16:9 | lock 1";
        row("frame rate", "rate 29.97 fps", unchanged, true);
        row("colour space", "colour HDR - Rec.2100HLG", unchanged, false);
    }

    // What the panel shows is what it holds for the save, nothing reaches the project before acceptance,
    // and the accepted size is the one shown.
    void edits()
    {
        QFETCH(QString, steps);
        Panel c;
        c.panel.show();
        for (const QString& step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts))
            c.perform(step);
        QTEST(c.state(), "state");
        VkProjectConfig current;
        const bool changesNothing = steps.isEmpty() || steps.startsWith(QLatin1String("resolution"));
        QCOMPARE(c.panel.isDataChanged(current), !changesNothing);
        QCOMPARE(current.resolution, c.boxes());
        QCOMPARE(storedConfig().resolution, QSize(1920, 1080));
        c.panel.DoAccept();
        QCOMPARE(storedConfig().resolution, c.boxes());
        QTEST(general()->IsMediaMatchProjShow(), "mediaMatch");
    }

    // A panel that is a window of its own, destroyed while a size box holds a value still being typed:
    // the focus leaves the box during the destruction, and its end of edit must reach nothing freed.
    void destroyedWhileTyping()
    {
        auto* panel = new VkProjectSettingPanel(nullptr);
        panel->show();
        QApplication::setActiveWindow(panel);
        QVERIFY(QTest::qWaitForWindowActive(panel));
        auto* width = panel->findChild<VkDoubleSpinBox*>(QStringLiteral("ProjectSettings_WidthBox"));
        QVERIFY(width);
        width->setFocus();
        QTRY_VERIFY(width->hasFocus());
        QLineEdit* edit = width->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("1001"));
        int editEnds = 0;
        connect(width, &VkDoubleSpinBox::sigEditFinished, qApp, [&editEnds] { ++editEnds; });
        delete panel;
        // The edit did end inside the destruction: the case above was really met.
        QCOMPARE(editEnds, 1);
    }

    void colorSpaceAdvice_data()
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

    void colorSpaceAdvice()
    {
        QFETCH(int, stored);
        QFETCH(int, chosen);
        QFETCH(QString, message);
        QFETCH(bool, acceleration);
        QFETCH(bool, hdrDisplay);
        setMachine(acceleration, hdrDisplay);

        VkMessageBoxAnswerer answerer;
        for (int round = 0; round < 2; ++round) {
            storeConfig(1, 2, QSize(1920, 1080), stored);
            Panel c;
            VkComboBox* colour = c.find("ProjectSettings_ColorSpaceBox");
            colour->setCurrentIndex(colour->findData(chosen));
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
        if (message.contains(QLatin1String("HDR")))
            QVERIFY(answerer.texts.first().contains(QLatin1String("href=\"https://support.microsoft.com/")));
    }
};

VK_TEST_MAIN(TestProjectSettingPanel)
#include "tst_projectsettingpanel.moc"
