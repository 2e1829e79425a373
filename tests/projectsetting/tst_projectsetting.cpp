#include "VkMessageBoxAnswerer.h"
#include "VkModalRun.h"
#include "VkTestFiles.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingAcceptEvent.h>
#include <projectsetting/VkProjectSettingClickEvent.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <projectsetting/VkProjectSettingPanel.h>
#include <projectsetting/VkProjectSettingPresenter.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>
#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkStateButton.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>

using namespace VkTestLiterals;
using VKVBLMODEL::VkProjectConfig;

namespace {

QSize sizeOf(const QString& text)
{
    return QSize(text.section(QLatin1Char('x'), 0, 0).toInt(), text.section(QLatin1Char('x'), 1).toInt());
}

// Stores "ratio rate WxH colour-space" in the current project, as if it had been saved with them.
void storeConfig(const QString& fields)
{
    const QStringList f = fields.split(QLatin1Char(' '));
    VkProjectConfig c;
    c.aspectRatio = static_cast<VKVBLMODEL::VkProjectAspectRatioType>(f.value(0).toInt());
    c.frameRate = static_cast<VKVBLMODEL::VkProjectFrameRateType>(f.value(1).toInt());
    c.resolution = sizeOf(f.value(2));
    c.colorSpace = static_cast<VKVBLMODEL::VkProjectColorSpaceType>(f.value(3).toInt());
    IVkProjectManager::getInstance()->currentProject()->setProjectConfig(c);
}

VkProjectConfig storedConfig()
{
    VkProjectConfig c;
    IVkProjectManager::getInstance()->currentProject()->getProjectConfig(c);
    return c;
}

void setMachine(bool acceleration, bool hdrDisplay)
{
    VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(
        acceleration);
    VkConfig::Instance().SetHdrEnabled(hdrDisplay);
}

// An event as the store holds it: its name and its properties in compact JSON.
QString eventText(const QByteArray& line)
{
    const QJsonObject event = QJsonDocument::fromJson(line).object();
    const QJsonDocument properties(event.value("properties"_s).toArray());
    return event.value("event"_s).toString() + QLatin1Char(' ') +
           QString::fromUtf8(properties.toJson(QJsonDocument::Compact));
}

// The settings panel's controls under root (the panel, or the dialog that holds it), found the way a
// user sees them.
struct Controls
{
    QSize boxes() { return QSize(int(width->value()), int(height->value())); }
    // ratio | resolution (rows) | size | ratio pair | lock state
    QString state()
    {
        return "%1 | %2 (%3) | %4x%5 | %6 | lock %7"_s.arg(ratio->currentText(), resolution->currentText())
            .arg(resolution->count())
            .arg(boxes().width())
            .arg(boxes().height())
            .arg(root->findChild<VkLabel*>("ProjectSettings_RatioText"_s)->text().section("  "_s, 1))
            .arg(lock->CurrentButtonId());
    }
    // One user step: "lock"; "AspectRatio|Resolution|FrameRate|ColorSpace <entry>" picked in that combo
    // box; "width|height <n>" typed, selecting everything, then Enter; "type <n>" typed into the width
    // without Enter; "up" for one arrow step of the width; "set width <n>" by code.
    void perform(const QString& step)
    {
        const QString what = step.section(QLatin1Char(' '), 0, 0);
        const QString value = step.section(QLatin1Char(' '), 1);
        auto* combo = root->findChild<VkComboBox*>("ProjectSettings_"_s + what + "Box"_s);
        VkDoubleSpinBox* box = what == "height"_s ? height : width;
        QLineEdit* edit = box->findChild<QLineEdit*>();
        const double before = box->value();
        if (what == "lock"_s) {
            QTest::mouseClick(lock, Qt::LeftButton);
        } else if (combo) {
            combo->setCurrentIndex(combo->findText(value));
        } else if (what == "set"_s) {
            width->setValue(value.section(QLatin1Char(' '), 1).toInt());
        } else if (what == "up"_s) {
            QTest::keyClick(box, Qt::Key_Up);
            QCOMPARE(box->value(), before + 1); // not evened yet: the step's end is still to come
        } else {
            box->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, value);
            if (what == "type"_s)
                QCOMPARE(box->value(), value.toDouble()); // not evened yet: the edit has not ended
            else
                QTest::keyClick(edit, Qt::Key_Return);
        }
    }

    QWidget* root;
    VkComboBox* ratio = root->findChild<VkComboBox*>("ProjectSettings_AspectRatioBox"_s);
    VkComboBox* resolution = root->findChild<VkComboBox*>("ProjectSettings_ResolutionBox"_s);
    VkDoubleSpinBox* width = root->findChild<VkDoubleSpinBox*>("ProjectSettings_WidthBox"_s);
    VkDoubleSpinBox* height = root->findChild<VkDoubleSpinBox*>("ProjectSettings_HeightBox"_s);
    VkStateButton* lock = root->findChild<VkStateButton*>();
};

} // namespace

// Project settings: the presenter's rules, the panel's edits, the dialog's save and its events.
class TestProjectSetting : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        IVkProjectManager::getInstance()->newProject();
        storeConfig("1 2 1920x1080 0"_s);
        VkConfig::Instance().SetColorSpaceGpuTipsNoNeedShow(false);
        VkConfig::Instance().SetColorSpaceHDRTipsNoNeedShow(false);
        VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->SetMediaMatchProjShow(false);
        // With acceleration and an HDR display, an HDR choice raises no message.
        setMachine(true, true);
    }
    // No message box or stray window may outlive a test.
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void presenterStateAfterCall_data()
    {
        // "call" is a setter and its argument, or "load" of the project's ratio, rate, size and colour
        // space. "state": R ratio, F frame rate, C colour space, L the height the lock keeps for a width of
        // 1000, N resolution rows, then the signals in arrival order.
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("state");
        const auto row = [](const char* name, const char* call, const char* state) {
            QTest::newRow(name) << call << state;
        };
        // A stored preset becomes the lock size: 720 * 1000 / 1280 = 562, truncated.
        row("load preset", "load 1 3 1280x720 0", "R1 1280x720 F3 C0 L562 N5 |");
        // Custom has no preset: the lock size stays 1920 x 1080.
        row("load custom", "load 0 7 1000x700 1", "R0 1000x700 F7 C1 L562 N1 |");
        // Out-of-range ratio and rate keep the initial ones; the colour space is taken as stored.
        row("load out of range", "load 9 8 1920x1080 5", "R1 1920x1080 F2 C5 L562 N5 |");
        // A size that is no preset of any ratio turns a stored 4:3 into custom.
        row("load 4:3 without preset", "load 4 0 1000x750 0", "R0 1000x750 F0 C0 L750 N1 |");
        // The custom group's only row is 0 x 0: the size stays, but the resolution signal still comes.
        row("ratio custom", "SetRatio 0", "R0 1920x1080 F2 C0 L562 N1 | ratio,resolution");
        row("same ratio", "SetRatio 1", "R1 1920x1080 F2 C0 L562 N5 |");
        // Another ratio's preset keeps the current ratio and becomes the lock size.
        row("size of another ratio", "SetResolution 1080x1080", "R1 1080x1080 F2 C0 L1000 N5 | resolution");
        // No preset: custom, ratio signal first; the lock size stays.
        row("size without preset", "SetResolution 1000x700", "R0 1000x700 F2 C0 L562 N1 | ratio,resolution");
        row("same size", "SetResolution 1920x1080", "R1 1920x1080 F2 C0 L562 N5 |");
        // One non-positive side is stored and reported, but never becomes the lock size, nor custom.
        row("zero height", "SetResolution 1280x0", "R1 1280x0 F2 C0 L562 N5 | resolution");
        row("rate 7", "SetFramerate 7", "R1 1920x1080 F7 C0 L562 N5 | framerate");
    }

    void presenterStateAfterCall()
    {
        QFETCH(QString, call);
        const QString what = call.section(QLatin1Char(' '), 0, 0);
        const QString value = call.section(QLatin1Char(' '), 1);
        if (what == "load"_s)
            storeConfig(value);
        VkProjectSettingPresenter p;
        QStringList signalNames;
        const auto record = [&signalNames](const char* name) {
            return [&signalNames, name] { signalNames << QLatin1String(name); };
        };
        connect(&p, &VkProjectSettingPresenter::signalRatioChanged, this, record("ratio"));
        connect(&p, &VkProjectSettingPresenter::signalResolutionChanged, this, record("resolution"));
        connect(&p, &VkProjectSettingPresenter::signalFramerateChanged, this, record("framerate"));
        if (what == "SetRatio"_s)
            p.SetRatio(value.toInt());
        else if (what == "SetResolution"_s)
            p.SetResolution(sizeOf(value));
        else if (what == "SetFramerate"_s)
            p.SetFramerate(value.toInt());
        QVERIFY(!p.GetIsLockRatio());
        const QSize size = p.GetResolution();
        const QString state = QString::asprintf("R%d %dx%d F%d C%d L%d N%d | ", p.GetRatio(), size.width(),
                                                size.height(), p.GetFramerate(), p.GetColorSpace(),
                                                p.GetLockHeight(1000), int(p.GetResolutionList().size()));
        QTEST((state + signalNames.join(QLatin1Char(','))).trimmed(), "state");
    }

    void panelEdits_data()
    {
        QTest::addColumn<QString>("steps"); // separated by "; "
        QTest::addColumn<QString>("state");
        // A new frame rate or size asks for the media-match prompt; a ratio or colour space alone does not.
        QTest::addColumn<bool>("mediaMatch");
        const auto row = [](const char* name, const char* steps, const QString& state, bool mediaMatch) {
            QTest::newRow(name) << steps << state << mediaMatch;
        };
        const QString unchanged =
            "16:9 (Widescreen) | 1920 x 1080 (Full HD) (5) | 1920x1080 | 16:9 | lock 1"_s;
        const QString custom = "Custom | Custom (1) | "_s;
        row("unchanged", "", unchanged, false);
        row("custom resolution row changes nothing", "Resolution Custom",
            "16:9 (Widescreen) | Custom (5) | 1920x1080 | 16:9 | lock 1"_s, false);
        row("ratio 1:1", "AspectRatio 1:1 (Instagram)",
            "1:1 (Instagram) | 1080 x 1080 (4) | 1080x1080 | 1:1 | lock 1"_s, true);
        // Custom keeps the size; the pair is the reduced size, 1920:1080 / 120.
        row("ratio custom", "AspectRatio Custom", custom + "1920x1080 | 16:9 | lock 1"_s, false);
        // No preset: custom, with the pair reduced by the gcd 40.
        row("typed width", "width 1000", custom + "1000x1080 | 25:27 | lock 1"_s, true);
        // 1001 * 1080 / 1920 = 563 -> 564; Enter evens the width to 1002: 1002 * 1080 / 1920 = 563 -> 564.
        row("locked, typed width evened", "lock; width 1001", custom + "1002x564 | 16:9 | lock 2"_s, true);
        // Typing passes through sizes of no preset, so a preset typed under the lock still ends custom.
        row("locked, preset width", "lock; width 1280", custom + "1280x720 | 16:9 | lock 2"_s, true);
        // 1920 * 501 / 1080 = 890; Enter evens 501 to 502: 1920 * 502 / 1080 = 892.4 -> 892.
        row("locked, typed height evened", "lock; height 501", custom + "892x502 | 16:9 | lock 2"_s, true);
        // 1920 * 9000 / 1080 = 16000: the width stops at the boxes' 10000.
        row("locked, width over the top", "lock; height 9000", custom + "10000x9000 | 16:9 | lock 2"_s, true);
        // 100 * 1080 / 1920 = 56.25 -> 56: the height stops at the boxes' 64.
        row("locked, height at the bottom", "lock; width 100", custom + "100x64 | 16:9 | lock 2"_s, true);
        // A programmatic change still runs the size slot, and the lock holds the pair until unlocked.
        row("locked, width set by code", "lock; set width 1000", custom + "1000x562 | 16:9 | lock 2"_s, true);
        row("unlocked again", "lock; lock; set width 1000", custom + "1000x1080 | 25:27 | lock 1"_s, true);
        row("frame rate", "FrameRate 29.97 fps", unchanged, true);
        row("colour space", "ColorSpace HDR - Rec.2100HLG", unchanged, false);
    }

    // What the panel shows is what it holds for the save, nothing reaches the project before acceptance,
    // and the accepted size is the one shown.
    void panelEdits()
    {
        QFETCH(QString, steps);
        VkProjectSettingPanel panel(nullptr);
        Controls c{&panel};
        panel.show();
        for (const QString& step : steps.split("; "_s, Qt::SkipEmptyParts))
            c.perform(step);
        QTEST(c.state(), "state");
        VkProjectConfig current;
        const bool changesNothing = steps.isEmpty() || steps.startsWith("Resolution"_s);
        QCOMPARE(panel.isDataChanged(current), !changesNothing);
        QCOMPARE(current.resolution, c.boxes());
        QCOMPARE(storedConfig().resolution, QSize(1920, 1080));
        panel.DoAccept();
        QCOMPARE(storedConfig().resolution, c.boxes());
        QTEST(VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->IsMediaMatchProjShow(),
              "mediaMatch");
    }

    // A panel that is a window of its own, destroyed while a size box holds a value still being typed:
    // the focus leaves the box during the destruction, and its end of edit must reach nothing freed.
    void panelDestroyedWhileTyping()
    {
        auto* panel = new VkProjectSettingPanel(nullptr);
        panel->show();
        QApplication::setActiveWindow(panel);
        QVERIFY(QTest::qWaitForWindowActive(panel));
        Controls c{panel};
        c.perform("type 1001"_s);
        QTRY_VERIFY(c.width->hasFocus());
        QSignalSpy editEnds(c.width, &VkDoubleSpinBox::sigEditFinished);
        delete panel;
        // The edit did end inside the destruction: the case above was really met.
        QCOMPARE(editEnds.count(), 1);
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
        QTest::newRow("PQ, SDR screen") << 0 << 1 << true << false << "HDR is not enabled" << true << false;
        QTest::newRow("HLG, no GPU") << 0 << 2 << false << false << "GPU acceleration" << false << true;
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
            storeConfig("1 2 1920x1080 %1"_s.arg(stored));
            VkProjectSettingPanel panel(nullptr);
            auto* colour = panel.findChild<VkComboBox*>("ProjectSettings_ColorSpaceBox"_s);
            colour->setCurrentIndex(colour->findData(chosen));
            panel.DoAccept();
            QCOMPARE(int(storedConfig().colorSpace), chosen); // saved whatever the advice
            // The flags persist in config.ini, and there they keep the message from showing again.
            VkConfig::Instance().Reload();
            QTEST(VkConfig::Instance().IsColorSpaceGpuTipsNoNeedShow(), "gpuFlagAfter");
            QTEST(VkConfig::Instance().IsColorSpaceHDRTipsNoNeedShow(), "hdrFlagAfter");
        }
        QCOMPARE(answerer.texts.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(answerer.texts.join(QString()).contains(message),
                 qPrintable(answerer.texts.join(QString())));
        if (message.contains("HDR"_s))
            QVERIFY(answerer.texts.first().contains("href=\"https://support.microsoft.com/"_s));
    }

    void dialogOkAndCancel_data()
    {
        // What the user does in the running dialog before the click, as the panel's steps.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("changed"); // the record's fields that OK saves changed; null: CANCEL
        QTest::addColumn<int>("rateNum");        // of the sequence, over 1001 when not a whole rate
        QTest::newRow("OK with 9:16 at 29.97")
            << "AspectRatio 9:16 (Portrait); FrameRate 29.97 fps"
            << QByteArray(R"({"aspectRatio": 3, "width": 1080, "height": 1920, "frameRate": 3})") << 30000;
        // Nothing changed still saves: the record goes back as it was and the sequence gets its 25 fps.
        QTest::newRow("OK unchanged") << "" << QByteArray("{}") << 25;
        QTest::newRow("CANCEL with 9:16") << "AspectRatio 9:16 (Portrait)" << QByteArray() << 0;
        // OK does not take the focus, so the size box never hears that the edit ended; the save must still
        // get the finished, even value.
        QTest::newRow("typed width") << "type 1001" << QByteArray(R"({"aspectRatio": 0, "width": 1002})")
                                     << 25;
        // OK within the step delay: 1920 + 1 = 1921, evened up to 1922.
        QTest::newRow("arrow step") << "up" << QByteArray(R"({"aspectRatio": 0, "width": 1922})") << 25;
    }

    // OK ends with 1 and the file holds what the boxes show, every other field of the record, even one this
    // version does not know, and the tracks; CANCEL ends with 0 and leaves the file byte for byte.
    void dialogOkAndCancel()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, changed);
        const bool ok = !changed.isNull(); // OK's look is the focus button's, CANCEL's the normal one's
        // A project file without a sequence, every field of its record away from its default.
        const QString path = m_dir.filePath("p."_s + VkProjectSuffixHelper::projectFileSuffix());
        QVERIFY(writeBytes(path, R"({"format": "vkproject", "version": 1, "tracks": [{"kind": "video"}],
            "config": {"aspectRatio": 1, "frameRate": 2, "width": 1920, "height": 1080, "colorSpace": 0,
                       "audioSampleRate": 44100, "audioChannels": 6, "videoBitDepth": 10,
                       "futureKnob": "keep me"}})"));
        const QByteArray bytesBefore = readBytes(path);
        const QJsonObject before = QJsonDocument::fromJson(bytesBefore).object();
        QString error;
        QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));

        VkProjectSettingDialog dialog(nullptr);
        Controls c{&dialog};
        const int result = runModal(&dialog, [&] {
            for (const QString& step : steps.split("; "_s, Qt::SkipEmptyParts))
                c.perform(step);
            for (VkBaseButton* b :
                 dialog.findChildren<VkBaseButton*>(ok ? "Button_Focus_Btn_32"_s : "Button_Normal_Btn_32"_s))
                QTest::mouseClick(b, Qt::LeftButton);
        });
        QCOMPARE(result, ok ? 1 : 0);
        if (!ok) {
            QCOMPARE(readBytes(path), bytesBefore);
            return;
        }
        QJsonObject config = before.value("config"_s).toObject();
        const QJsonObject changes = QJsonDocument::fromJson(changed).object();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            config[it.key()] = it.value();
        const QJsonObject root = QJsonDocument::fromJson(readBytes(path)).object();
        QCOMPARE(root.value("config"_s).toObject(), config);
        QCOMPARE(root.value("tracks"_s), before.value("tracks"_s));
        // What was saved is what the boxes show.
        QCOMPARE(c.width->value(), double(storedConfig().resolution.width()));
        const QJsonObject timeline = root.value("timeline"_s).toObject();
        QFETCH(int, rateNum);
        QCOMPARE(timeline.value("frameRateNum"_s).toInt(), rateNum);
        QCOMPARE(timeline.value("frameRateDen"_s).toInt(), rateNum >= 1000 ? 1001 : 1);
    }

    void eventsReachTheStoreInOrder_data()
    {
        QTest::addColumn<QString>("stored"); // ratio, rate, size, colour space
        QTest::addColumn<QString>("properties");
        QTest::newRow("1:1 PQ") << "2 3 1080x1080 1"
                                << R"([["aspect_ratio","1:1"],["resolution","1080*1080"],)"
                                   R"(["frame_rate","29.97fps"],["color_space","HDR - Rec.2100PQ"]])";
        // Values outside the tables still give every key, with an empty text (custom for the ratio).
        QTest::newRow("out of range") << "9 8 640x480 3"
                                      << R"([["aspect_ratio","custom"],["resolution","640*480"],)"
                                         R"(["frame_rate",""],["color_space",""]])";
    }

    // The accept event carries the saved record, and both events land in the store in the order sent.
    void eventsReachTheStoreInOrder()
    {
        QFETCH(QString, stored);
        QFETCH(QString, properties);
        storeConfig(stored);
        VkProjectSettingAcceptEvent().sendEvent();
        VkProjectSettingClickEvent("shortcut"_s).sendEvent();
        const QList<QByteArray> lines = readBytes(vkHomeFile("events.jsonl"_s)).trimmed().split('\n');
        QVERIFY(lines.size() >= 2);
        QCOMPARE(eventText(lines.at(lines.size() - 2)), "project_set "_s + properties);
        QCOMPARE(eventText(lines.last()), R"(project_set_click [["trigger_method","shortcut"]])"_s);
    }
};

VK_TEST_MAIN(TestProjectSetting)
#include "tst_projectsetting.moc"
