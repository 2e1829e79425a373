#include "ProjectConfigFixture.h"
#include "VkModalRun.h"
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
    void acceptEvent_data();
    void acceptEvent();
    void eventsReachTheStoreInOrder();

private:
    QTemporaryDir m_dir;
};

void TestProjectSettingDialog::okAndCancel_data()
{
    QTest::addColumn<QString>("choice"); // the aspect ratio chosen before the click, if any
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("ratio");

    QTest::newRow("OK with 9:16") << "9:16 (Portrait)" << kOk << 3;
    // Nothing changed still saves: the record goes back as it was and the sequence gets its 25 fps.
    QTest::newRow("OK unchanged") << QString() << kOk << 1;
    QTest::newRow("CANCEL with 9:16") << "9:16 (Portrait)" << kCancel << 1;
}

// OK ends with 1 and the file holds the choice; CANCEL ends with 0 and leaves the file byte for byte.
void TestProjectSettingDialog::okAndCancel()
{
    QFETCH(QString, choice);
    QFETCH(QString, button);
    // A project file without a sequence.
    const QString path = m_dir.filePath("p." + VkProjectSuffixHelper::projectFileSuffix());
    const QJsonObject config{
        {"aspectRatio", 1}, {"frameRate", 2}, {"width", 1920}, {"height", 1080}, {"colorSpace", 0}};
    QVERIFY(writeBytes(
        path,
        QJsonDocument(QJsonObject{{"format", "vkproject"}, {"version", 1}, {"config", config}}).toJson()));
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
    const QByteArray before = readBytes(path);

    VkProjectSettingDialog dialog(nullptr);
    auto* ratio = dialog.findChild<VkComboBox*>("ProjectSettings_AspectRatioBox");
    if (!choice.isEmpty())
        ratio->setCurrentIndex(ratio->findText(choice));
    const int result = runModal(&dialog, [&] {
        for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>(button))
            QTest::mouseClick(b, Qt::LeftButton);
    });
    QCOMPARE(result, button == kOk ? 1 : 0);
    QTEST(int(storedConfig().aspectRatio), "ratio");
    if (button == kCancel)
        QCOMPARE(readBytes(path), before);
    else
        QCOMPARE(readProjectFile(path).value("timeline").toObject().value("frameRateNum").toInt(), 25);
    QTEST(readProjectFile(path).value("config").toObject().value("aspectRatio").toInt(), "ratio");
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
    const int result = runModal(&dialog, [&] {
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
    QCOMPARE(result, 1);
    QTEST(storedConfig().resolution, "saved");
    // What was saved is what the boxes show.
    QCOMPARE(width->value(), double(storedConfig().resolution.width()));
}

void TestProjectSettingDialog::acceptEvent_data()
{
    QTest::addColumn<QString>("stored"); // ratio, rate, size, colour space
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("16:9") << "1 2 1920 1080 0" << QStringList{"16:9", "1920*1080", "25fps", "SDR - Rec.709"};
    QTest::newRow("custom PQ") << "0 3 1000 700 1"
                               << QStringList{"custom", "1000*700", "29.97fps", "HDR - Rec.2100PQ"};
    QTest::newRow("4:5 HLG") << "7 6 2048 2560 2"
                             << QStringList{"4:5", "2048*2560", "59.94fps", "HDR - Rec.2100HLG"};
    // Values outside the tables still give every key, with an empty text (custom for the ratio).
    QTest::newRow("out of range") << "9 8 640 480 3" << QStringList{"custom", "640*480", "", ""};
}

void TestProjectSettingDialog::acceptEvent()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, texts);
    const QStringList s = stored.split(QLatin1Char(' '));
    storeConfig(s[0].toInt(), s[1].toInt(), QSize(s[2].toInt(), s[3].toInt()), s[4].toInt());
    VkProjectSettingAcceptEvent event;
    QCOMPARE(event.name(), QStringLiteral("project_set"));
    QStringList keysAndTexts;
    for (const auto& p : event.properties())
        keysAndTexts << p.first << p.second.toString();
    QCOMPARE(keysAndTexts, (QStringList{"aspect_ratio", texts[0], "resolution", texts[1], "frame_rate",
                                        texts[2], "color_space", texts[3]}));
}

void TestProjectSettingDialog::eventsReachTheStoreInOrder()
{
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
