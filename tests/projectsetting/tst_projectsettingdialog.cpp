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
    void eventsReachTheStoreInOrder_data();
    void eventsReachTheStoreInOrder();

private:
    QTemporaryDir m_dir;
};

void TestProjectSettingDialog::okAndCancel_data()
{
    QTest::addColumn<bool>("change"); // to 9:16 at 29.97 fps before the click
    QTest::addColumn<QString>("button");
    QTest::newRow("OK with 9:16 at 29.97") << true << kOk;
    // Nothing changed still saves: the record goes back as it was and the sequence gets its 25 fps.
    QTest::newRow("OK unchanged") << false << kOk;
    QTest::newRow("CANCEL with 9:16") << true << kCancel;
}

// OK ends with 1 and the file holds the choice, every other field of the record, even one this
// version does not know, and the tracks; CANCEL ends with 0 and leaves the file byte for byte.
void TestProjectSettingDialog::okAndCancel()
{
    QFETCH(bool, change);
    QFETCH(QString, button);
    // A project file without a sequence, every field of its record away from its default.
    const QString path = m_dir.filePath(QStringLiteral("p.") + VkProjectSuffixHelper::projectFileSuffix());
    QVERIFY(writeBytes(path, R"({"format": "vkproject", "version": 1, "tracks": [{"kind": "video"}],
        "config": {"aspectRatio": 1, "frameRate": 2, "width": 1920, "height": 1080, "colorSpace": 0,
                   "audioSampleRate": 44100, "audioChannels": 6, "videoBitDepth": 10,
                   "futureKnob": "keep me"}})"));
    const QJsonObject before = readProjectFile(path);
    const QByteArray bytesBefore = readBytes(path);
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));

    VkProjectSettingDialog dialog(nullptr);
    if (change) {
        for (const QString& pick :
             {QStringLiteral("AspectRatioBox:9:16 (Portrait)"), QStringLiteral("FrameRateBox:29.97 fps")}) {
            auto* box = dialog.findChild<VkComboBox*>(QStringLiteral("ProjectSettings_") +
                                                      pick.section(QLatin1Char(':'), 0, 0));
            box->setCurrentIndex(box->findText(pick.section(QLatin1Char(':'), 1, -1)));
        }
    }
    const int result = runModal(&dialog, [&] {
        for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>(button))
            QTest::mouseClick(b, Qt::LeftButton);
    });
    QCOMPARE(result, button == kOk ? 1 : 0);
    if (button == kCancel) {
        QCOMPARE(readBytes(path), bytesBefore);
        return;
    }
    QJsonObject config = before.value(QLatin1String("config")).toObject();
    if (change) {
        config[QStringLiteral("aspectRatio")] = 3;
        config[QStringLiteral("width")] = 1080;
        config[QStringLiteral("height")] = 1920;
        config[QStringLiteral("frameRate")] = 3;
    }
    const QJsonObject root = readProjectFile(path);
    QCOMPARE(root.value(QLatin1String("config")).toObject(), config);
    QCOMPARE(root.value(QLatin1String("tracks")), before.value(QLatin1String("tracks")));
    // The sequence follows the saved rate: 30000/1001 for 29.97.
    const QJsonObject timeline = root.value(QLatin1String("timeline")).toObject();
    QCOMPARE(timeline.value(QLatin1String("frameRateNum")).toInt(), change ? 30000 : 25);
    QCOMPARE(timeline.value(QLatin1String("frameRateDen")).toInt(), change ? 1001 : 1);
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
    auto* width = dialog.findChild<VkDoubleSpinBox*>(QStringLiteral("ProjectSettings_WidthBox"));
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

void TestProjectSettingDialog::eventsReachTheStoreInOrder_data()
{
    QTest::addColumn<QString>("stored"); // ratio, rate, size, colour space
    QTest::addColumn<QByteArray>("properties");
    QTest::newRow("1:1") << "2 2 1080 1080 0"
                         << QByteArray(R"([["aspect_ratio", "1:1"], ["resolution", "1080*1080"],
                                          ["frame_rate", "25fps"], ["color_space", "SDR - Rec.709"]])");
    QTest::newRow("custom PQ") << "0 3 1000 700 1"
                               << QByteArray(R"([["aspect_ratio", "custom"], ["resolution", "1000*700"],
                                  ["frame_rate", "29.97fps"], ["color_space", "HDR - Rec.2100PQ"]])");
    QTest::newRow("4:5 HLG") << "7 6 2048 2560 2"
                             << QByteArray(R"([["aspect_ratio", "4:5"], ["resolution", "2048*2560"],
                                ["frame_rate", "59.94fps"], ["color_space", "HDR - Rec.2100HLG"]])");
    // Values outside the tables still give every key, with an empty text (custom for the ratio).
    QTest::newRow("out of range") << "9 8 640 480 3"
                                  << QByteArray(R"([["aspect_ratio", "custom"], ["resolution", "640*480"],
                                     ["frame_rate", ""], ["color_space", ""]])");
}

// The accept event carries the saved record, and both events land in the store in the order sent.
void TestProjectSettingDialog::eventsReachTheStoreInOrder()
{
    QFETCH(QString, stored);
    QFETCH(QByteArray, properties);
    const QStringList s = stored.split(QLatin1Char(' '));
    storeConfig(s[0].toInt(), s[1].toInt(), QSize(s[2].toInt(), s[3].toInt()), s[4].toInt());
    VkProjectSettingAcceptEvent().sendEvent();
    VkProjectSettingClickEvent(QStringLiteral("shortcut")).sendEvent();
    const QList<QByteArray> lines =
        readBytes(qEnvironmentVariable("VK_HOME") + QStringLiteral("/events.jsonl")).trimmed().split('\n');
    QVERIFY(lines.size() >= 2);
    const QJsonObject accept = QJsonDocument::fromJson(lines.at(lines.size() - 2)).object();
    QCOMPARE(accept.value(QLatin1String("event")).toString(), QStringLiteral("project_set"));
    QCOMPARE(accept.value(QLatin1String("properties")).toArray(),
             QJsonDocument::fromJson(properties).array());
    const QJsonObject click = QJsonDocument::fromJson(lines.last()).object();
    QCOMPARE(click.value(QLatin1String("event")).toString(), QStringLiteral("project_set_click"));
    QCOMPARE(click.value(QLatin1String("properties")).toArray(),
             QJsonDocument::fromJson(R"([["trigger_method", "shortcut"]])").array());
}

VK_TEST_MAIN(TestProjectSettingDialog)
#include "tst_projectsettingdialog.moc"
