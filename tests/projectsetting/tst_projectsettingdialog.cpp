#include "ProjectConfigFixture.h"
#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingAcceptEvent.h>
#include <projectsetting/VkProjectSettingClickEvent.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkStateButton.h>

#include <QJsonArray>
#include <QLineEdit>

namespace {

const QString kOk = QStringLiteral("Button_Focus_Btn_32");
const QString kCancel = QStringLiteral("Button_Normal_Btn_32");

// Runs the dialog modally, clicks the named button once the loop is up, and returns the result.
int runAndClick(VkProjectSettingDialog& dialog, const QString& buttonName)
{
    QTimer::singleShot(0, &dialog, [&] {
        for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>(buttonName))
            QTest::mouseClick(b, Qt::LeftButton);
    });
    // Never hang: a dialog still open after 10 s ends with a result no test expects.
    QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
    return dialog.DoModal();
}

} // namespace

class TestProjectSettingDialog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        IVkProjectManager::getInstance()->newProject();
        storeConfig(1, 2, QSize(1920, 1080), 0);
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void okAndCancel_data();
    void okAndCancel();
    void okFinishesPendingEdit_data();
    void okFinishesPendingEdit();
    void events();

private:
    QString openProjectFile();
    QTemporaryDir m_dir;
};

// A project file without a sequence, with a key the settings know nothing about.
QString TestProjectSettingDialog::openProjectFile()
{
    const QString path = m_dir.filePath("p." + VkProjectSuffixHelper::projectFileSuffix());
    const QJsonObject config{
        {"aspectRatio", 1}, {"frameRate", 2}, {"width", 1920}, {"height", 1080}, {"colorSpace", 0}};
    QString error;
    if (!writeProjectFile(path, QJsonObject{{"format", "vkproject"},
                                            {"version", 1},
                                            {"config", config},
                                            {"clips", QJsonArray{"a.mp4", "b.mp4"}}}) ||
        !IVkProjectManager::getInstance()->openProject(path, &error))
        return QString();
    return path;
}

void TestProjectSettingDialog::okAndCancel_data()
{
    QTest::addColumn<QString>("choice"); // the aspect ratio chosen before the click, if any
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("ratio");
    QTest::addColumn<QSize>("size");

    QTest::newRow("OK with 9:16") << "9:16 (Portrait)" << kOk << 3 << QSize(1080, 1920);
    // Nothing changed still saves: the record goes back as it was and the sequence gets its 25 fps.
    QTest::newRow("OK unchanged") << QString() << kOk << 1 << QSize(1920, 1080);
    QTest::newRow("CANCEL with 9:16") << "9:16 (Portrait)" << kCancel << 1 << QSize(1920, 1080);
}

void TestProjectSettingDialog::okAndCancel()
{
    QFETCH(QString, choice);
    QFETCH(QString, button);
    const QString path = openProjectFile();
    QVERIFY(!path.isEmpty());
    const QByteArray before = readBytes(path);
    VkProjectSettingDialog dialog(nullptr);
    auto* ratio = dialog.findChild<VkComboBox*>("ProjectSettings_AspectRatioBox");
    QVERIFY(ratio);
    if (!choice.isEmpty())
        ratio->setCurrentIndex(ratio->findText(choice));
    QCOMPARE(runAndClick(dialog, button), button == kOk ? 1 : 0);

    QTEST(int(storedConfig().aspectRatio), "ratio");
    if (button == kCancel) {
        QCOMPARE(readBytes(path), before);
        return;
    }
    const QJsonObject root = readProjectFile(path);
    const QJsonObject config = root.value("config").toObject();
    QTEST(config.value("aspectRatio").toInt(), "ratio");
    QTEST(QSize(config.value("width").toInt(), config.value("height").toInt()), "size");
    QCOMPARE(root.value("clips").toArray().size(), 2);
    QCOMPARE(root.value("timeline").toObject().value("frameRateNum").toInt(), 25);
}

void TestProjectSettingDialog::okFinishesPendingEdit_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("typed"); // typed into the width box, without Enter; empty: one arrow step up
    QTest::addColumn<QSize>("saved");

    QTest::newRow("typed width") << false << "1001" << QSize(1002, 1080);
    // 1002 * 1080 / 1920 = 563.6 -> 563 -> 564.
    QTest::newRow("typed width, locked") << true << "1001" << QSize(1002, 564);
    // OK within the step delay: 1920 + 1 = 1921, evened up to 1922.
    QTest::newRow("arrow step") << false << QString() << QSize(1922, 1080);
}

// OK does not take the focus, so the size box never hears that the edit ended; the save must still
// get the finished, even value.
void TestProjectSettingDialog::okFinishesPendingEdit()
{
    QFETCH(bool, locked);
    QFETCH(QString, typed);
    VkProjectSettingDialog dialog(nullptr);
    auto* width = dialog.findChild<VkDoubleSpinBox*>("ProjectSettings_WidthBox");
    QVERIFY(width);
    QTimer::singleShot(0, &dialog, [&] {
        if (locked)
            QTest::mouseClick(dialog.findChild<VkStateButton*>(), Qt::LeftButton);
        if (typed.isEmpty()) {
            QTest::keyClick(width, Qt::Key_Up);
        } else {
            QLineEdit* edit = width->findChild<QLineEdit*>();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
        }
        QCOMPARE(width->value(), typed.isEmpty() ? 1921.0 : typed.toDouble());
        QTest::mouseClick(dialog.findChild<VkBaseButton*>(kOk), Qt::LeftButton);
    });
    QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
    QCOMPARE(dialog.DoModal(), 1);
    QTEST(storedConfig().resolution, "saved");
    // What was saved is what the boxes show.
    QCOMPARE(width->value(), double(storedConfig().resolution.width()));
}

void TestProjectSettingDialog::events()
{
    // Values outside the tables (last row) still give every key, with an empty text (custom for the ratio).
    const QList<std::tuple<int, int, QSize, int, QStringList>> cases{
        {1, 2, {1920, 1080}, 0, {"16:9", "1920*1080", "25fps", "SDR - Rec.709"}},
        {0, 3, {1000, 700}, 1, {"custom", "1000*700", "29.97fps", "HDR - Rec.2100PQ"}},
        {7, 6, {2048, 2560}, 2, {"4:5", "2048*2560", "59.94fps", "HDR - Rec.2100HLG"}},
        {9, 8, {640, 480}, 3, {"custom", "640*480", "", ""}}};
    for (const auto& [ratio, rate, size, color, texts] : cases) {
        storeConfig(ratio, rate, size, color);
        VkProjectSettingAcceptEvent event;
        QCOMPARE(event.name(), QStringLiteral("project_set"));
        QStringList keysAndTexts;
        for (const auto& p : event.properties())
            keysAndTexts << p.first << p.second.toString();
        QCOMPARE(keysAndTexts, (QStringList{"aspect_ratio", texts[0], "resolution", texts[1], "frame_rate",
                                            texts[2], "color_space", texts[3]}));
    }

    // Both events reach the store, in sending order.
    storeConfig(2, 2, QSize(1080, 1080), 0);
    VkProjectSettingAcceptEvent().sendEvent();
    VkProjectSettingClickEvent("shortcut").sendEvent();
    const QList<QByteArray> lines =
        readBytes(QDir(qEnvironmentVariable("VK_HOME")).filePath("events.jsonl")).trimmed().split('\n');
    QVERIFY(lines.size() >= 2);
    const QJsonObject accept = QJsonDocument::fromJson(lines.at(lines.size() - 2)).object();
    QCOMPARE(accept.value("event").toString(), QStringLiteral("project_set"));
    QCOMPARE(accept.value("properties").toArray(),
             (QJsonArray{QJsonArray{"aspect_ratio", "1:1"}, QJsonArray{"resolution", "1080*1080"},
                         QJsonArray{"frame_rate", "25fps"}, QJsonArray{"color_space", "SDR - Rec.709"}}));
    const QJsonObject click = QJsonDocument::fromJson(lines.last()).object();
    QCOMPARE(click.value("event").toString(), QStringLiteral("project_set_click"));
    QCOMPARE(click.value("properties").toArray(), (QJsonArray{QJsonArray{"trigger_method", "shortcut"}}));
}

VK_TEST_MAIN(TestProjectSettingDialog)
#include "tst_projectsettingdialog.moc"
