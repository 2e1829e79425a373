#include "ProjectConfigFixture.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingAcceptEvent.h>
#include <projectsetting/VkProjectSettingClickEvent.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <projectsetting/VkProjectSettingPanel.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using VKVBLMODEL::VkProjectConfig;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the dialog modally and, once the loop is up, clicks the named button; returns the result.
int runAndClick(VkProjectSettingDialog& dialog, const QString& buttonName)
{
    QTimer::singleShot(0, &dialog, [&] {
        for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>()) {
            if (b->objectName() == buttonName)
                QTest::mouseClick(b, Qt::LeftButton);
        }
    });
    // Never hang: a dialog still open after 10 s is closed with a result no test expects.
    QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
    return dialog.DoModal();
}

QList<QPair<QString, QString>> propertiesOf(const VkTrackEvent& event)
{
    QList<QPair<QString, QString>> out;
    for (const auto& p : event.properties())
        out << qMakePair(p.first, p.second.toString());
    return out;
}

} // namespace

class TestProjectSettingDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void okSavesAndEndsWithOne();
    void okWithoutChangeStillSaves();
    void cancelLeavesProjectFileAlone();
    void layoutAndNames();
    void acceptEventProperties_data();
    void acceptEventProperties();
    void clickEvent_data();
    void clickEvent();
    void sentEventLandsInStore();

private:
    QString openProjectFile(const QString& name);
    QTemporaryDir m_dir;
};

void TestProjectSettingDialog::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestProjectSettingDialog::init()
{
    IVkProjectManager::getInstance()->newProject();
    storeConfig(1, 2, QSize(1920, 1080), 0);
}

void TestProjectSettingDialog::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

QString TestProjectSettingDialog::openProjectFile(const QString& name)
{
    const QString path = m_dir.filePath(name + "." + VkProjectSuffixHelper::projectFileSuffix());
    QJsonObject root{
        {"format", "vkproject"},
        {"version", 1},
        {"config",
         QJsonObject{
             {"aspectRatio", 1}, {"frameRate", 2}, {"width", 1920}, {"height", 1080}, {"colorSpace", 0}}},
        {"clips", QJsonArray{"a.mp4", "b.mp4"}}};
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(QJsonDocument(root).toJson());
    f.close();
    QString error;
    if (!IVkProjectManager::getInstance()->openProject(path, &error))
        return QString();
    return path;
}

void TestProjectSettingDialog::okSavesAndEndsWithOne()
{
    const QString path = openProjectFile("ok");
    QVERIFY(!path.isEmpty());
    VkProjectSettingDialog dialog(nullptr);
    auto* ratio = dialog.findChild<VkComboBox*>("ProjectSettings_AspectRatioBox");
    QVERIFY(ratio);
    ratio->setCurrentIndex(ratio->findText("9:16 (Portrait)"));
    QCOMPARE(runAndClick(dialog, "Button_Focus_Btn_32"), 1);

    const QJsonObject root = QJsonDocument::fromJson(readFile(path)).object();
    const QJsonObject config = root.value("config").toObject();
    QCOMPARE(config.value("aspectRatio").toInt(), 3);
    QCOMPARE(config.value("width").toInt(), 1080);
    QCOMPARE(config.value("height").toInt(), 1920);
    QCOMPARE(root.value("clips").toArray().size(), 2);
}

void TestProjectSettingDialog::okWithoutChangeStillSaves()
{
    const QString path = openProjectFile("unchanged");
    QVERIFY(!path.isEmpty());
    QVERIFY(!QJsonDocument::fromJson(readFile(path)).object().contains("timeline"));
    VkProjectSettingDialog dialog(nullptr);
    QCOMPARE(runAndClick(dialog, "Button_Focus_Btn_32"), 1);
    // The record went back unchanged, and the save's follow-up gave the sequence its 25 fps.
    const QJsonObject root = QJsonDocument::fromJson(readFile(path)).object();
    QCOMPARE(root.value("config").toObject().value("width").toInt(), 1920);
    QCOMPARE(root.value("timeline").toObject().value("frameRateNum").toInt(), 25);
}

void TestProjectSettingDialog::cancelLeavesProjectFileAlone()
{
    const QString path = openProjectFile("cancel");
    QVERIFY(!path.isEmpty());
    const QByteArray before = readFile(path);
    VkProjectSettingDialog dialog(nullptr);
    auto* rate = dialog.findChild<VkComboBox*>("ProjectSettings_FrameRateBox");
    QVERIFY(rate);
    rate->setCurrentIndex(rate->findText("60 fps"));
    QCOMPARE(runAndClick(dialog, "Button_Normal_Btn_32"), 0);
    QCOMPARE(readFile(path), before);
    VkProjectConfig c;
    IVkProjectManager::getInstance()->currentProject()->getProjectConfig(c);
    QCOMPARE(int(c.frameRate), 2);
}

void TestProjectSettingDialog::layoutAndNames()
{
    VkProjectSettingDialog dialog(nullptr);
    dialog.show();
    QCOMPARE(dialog.objectName(), QStringLiteral("Project_Settings_Dialog"));
    QCOMPARE(dialog.size(), QSize(480, 328));
    auto* panel = dialog.findChild<VkProjectSettingPanel*>();
    QVERIFY(panel);
    QCOMPARE(panel->objectName(), QStringLiteral("VkWidget_Border_BackGroundColor_1"));
    auto* title = dialog.findChild<VkTopLevelWindowTitleBar*>();
    QVERIFY(title);
    QCOMPARE(title->TitleName(), QStringLiteral("Project Settings"));
    // The title bar sits inside a one-pixel border; the panel right below it, 208 high.
    QCOMPARE(title->geometry().topLeft(), QPoint(1, 1));
    QCOMPARE(title->width(), 478);
    QCOMPARE(panel->geometry(), QRect(1, title->geometry().bottom() + 1, 478, 208));

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>()) {
        if (b->objectName() == "Button_Focus_Btn_32")
            ok = b;
        else if (b->objectName() == "Button_Normal_Btn_32")
            cancel = b;
    }
    QVERIFY(ok && cancel);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(cancel->text(), QStringLiteral("CANCEL"));
    // CANCEL at 272..359; OK 16 px right of it, 375..462: the rightmost button.
    QCOMPARE(cancel->geometry(), QRect(272, 240, 88, 32));
    QCOMPARE(ok->geometry(), QRect(375, 240, 88, 32));
}

void TestProjectSettingDialog::acceptEventProperties_data()
{
    QTest::addColumn<int>("ratio");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("color");
    QTest::addColumn<QString>("ratioText");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<QString>("colorText");

    QTest::newRow("16:9 full HD") << 1 << 2 << QSize(1920, 1080) << 0 << "16:9"
                                  << "1920*1080"
                                  << "25fps"
                                  << "SDR - Rec.709";
    QTest::newRow("custom PQ") << 0 << 3 << QSize(1000, 700) << 1 << "custom"
                               << "1000*700"
                               << "29.97fps"
                               << "HDR - Rec.2100PQ";
    QTest::newRow("4:5 HLG 59.94") << 7 << 6 << QSize(2048, 2560) << 2 << "4:5"
                                   << "2048*2560"
                                   << "59.94fps"
                                   << "HDR - Rec.2100HLG";
    // Values outside the tables still give every key, with an empty text (custom for the ratio).
    QTest::newRow("out of range") << 9 << 8 << QSize(640, 480) << 3 << "custom"
                                  << "640*480"
                                  << ""
                                  << "";
}

void TestProjectSettingDialog::acceptEventProperties()
{
    QFETCH(int, ratio);
    QFETCH(int, rate);
    QFETCH(QSize, size);
    QFETCH(int, color);
    QFETCH(QString, ratioText);
    QFETCH(QString, sizeText);
    QFETCH(QString, rateText);
    QFETCH(QString, colorText);
    storeConfig(ratio, rate, size, color);

    VkProjectSettingAcceptEvent event;
    QCOMPARE(event.name(), QStringLiteral("project_set"));
    const QList<QPair<QString, QString>> expected{{"aspect_ratio", ratioText},
                                                  {"resolution", sizeText},
                                                  {"frame_rate", rateText},
                                                  {"color_space", colorText}};
    QCOMPARE(propertiesOf(event), expected);
}

void TestProjectSettingDialog::clickEvent_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("menu") << "menu";
    QTest::newRow("empty") << "";
    QTest::newRow("markup kept as is") << "<b>toolbar</b>";
}

void TestProjectSettingDialog::clickEvent()
{
    QFETCH(QString, trigger);
    VkProjectSettingClickEvent event(trigger);
    QCOMPARE(event.name(), QStringLiteral("project_set_click"));
    const QList<QPair<QString, QString>> expected{{"trigger_method", trigger}};
    QCOMPARE(propertiesOf(event), expected);
}

void TestProjectSettingDialog::sentEventLandsInStore()
{
    // Accepting the dialog, then sending the event, records the saved values.
    openProjectFile("event");
    {
        VkProjectSettingDialog dialog(nullptr);
        auto* ratio = dialog.findChild<VkComboBox*>("ProjectSettings_AspectRatioBox");
        QVERIFY(ratio);
        ratio->setCurrentIndex(ratio->findText("1:1 (Instagram)"));
        QCOMPARE(runAndClick(dialog, "Button_Focus_Btn_32"), 1);
    }
    VkProjectSettingAcceptEvent().sendEvent();
    VkProjectSettingClickEvent("shortcut").sendEvent();

    const QString store = QDir(qEnvironmentVariable("VK_HOME")).filePath("events.jsonl");
    const QList<QByteArray> lines = readFile(store).trimmed().split('\n');
    QVERIFY(lines.size() >= 2);
    const QJsonObject accept = QJsonDocument::fromJson(lines.at(lines.size() - 2)).object();
    QCOMPARE(accept.value("event").toString(), QStringLiteral("project_set"));
    const QJsonArray props = accept.value("properties").toArray();
    QCOMPARE(props.size(), 4);
    QCOMPARE(props.at(0).toArray().at(0).toString(), QStringLiteral("aspect_ratio"));
    QCOMPARE(props.at(0).toArray().at(1).toString(), QStringLiteral("1:1"));
    QCOMPARE(props.at(1).toArray().at(1).toString(), QStringLiteral("1080*1080"));
    QCOMPARE(props.at(3).toArray().at(0).toString(), QStringLiteral("color_space"));
    const QJsonObject click = QJsonDocument::fromJson(lines.last()).object();
    QCOMPARE(click.value("event").toString(), QStringLiteral("project_set_click"));
    QCOMPARE(click.value("properties").toArray().at(0).toArray().at(1).toString(),
             QStringLiteral("shortcut"));
}

VK_TEST_MAIN(TestProjectSettingDialog)
#include "tst_projectsettingdialog.moc"
