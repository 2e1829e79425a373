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

#include <QJsonArray>
#include <QLineEdit>

namespace {

const QString kOk = QStringLiteral("Button_Focus_Btn_32");
const QString kCancel = QStringLiteral("Button_Normal_Btn_32");

} // namespace

class TestProjectSettingDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        IVkProjectManager::getInstance()->newProject();
        storeConfig(1, 2, QSize(1920, 1080), 0);
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void okAndCancel_data()
    {
        // What the user does in the running dialog before the click: "ratio <entry>", "rate <entry>",
        // "type <n>" into the width box without Enter, or "up" for one arrow step, separated by "; ".
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("changed"); // the record's fields that OK saves changed
        QTest::addColumn<int>("rateNum");        // of the sequence, over 1001 when not a whole rate

        QTest::newRow("OK with 9:16 at 29.97")
            << "ratio 9:16 (Portrait); rate 29.97 fps" << kOk
            << QByteArray(R"({"aspectRatio": 3, "width": 1080, "height": 1920,
                                                               "frameRate": 3})")
            << 30000;
        // Nothing changed still saves: the record goes back as it was and the sequence gets its 25 fps.
        QTest::newRow("OK unchanged") << "" << kOk << QByteArray("{}") << 25;
        QTest::newRow("CANCEL with 9:16") << "ratio 9:16 (Portrait)" << kCancel << QByteArray() << 0;
        // OK does not take the focus, so the size box never hears that the edit ended; the save must still
        // get the finished, even value.
        QTest::newRow("typed width") << "type 1001" << kOk
                                     << QByteArray(R"({"aspectRatio": 0, "width": 1002})") << 25;
        // OK within the step delay: 1920 + 1 = 1921, evened up to 1922.
        QTest::newRow("arrow step") << "up" << kOk << QByteArray(R"({"aspectRatio": 0, "width": 1922})")
                                    << 25;
    }

    // OK ends with 1 and the file holds what the boxes show, every other field of the record, even one this
    // version does not know, and the tracks; CANCEL ends with 0 and leaves the file byte for byte.
    void okAndCancel()
    {
        QFETCH(QString, steps);
        QFETCH(QString, button);
        // A project file without a sequence, every field of its record away from its default.
        const QString path =
            m_dir.filePath(QStringLiteral("p.") + VkProjectSuffixHelper::projectFileSuffix());
        QVERIFY(writeBytes(path, R"({"format": "vkproject", "version": 1, "tracks": [{"kind": "video"}],
            "config": {"aspectRatio": 1, "frameRate": 2, "width": 1920, "height": 1080, "colorSpace": 0,
                       "audioSampleRate": 44100, "audioChannels": 6, "videoBitDepth": 10,
                       "futureKnob": "keep me"}})"));
        const QJsonObject before = readProjectFile(path);
        const QByteArray bytesBefore = readBytes(path);
        QString error;
        QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));

        VkProjectSettingDialog dialog(nullptr);
        auto* width = dialog.findChild<VkDoubleSpinBox*>(QStringLiteral("ProjectSettings_WidthBox"));
        const int result = runModal(&dialog, [&] {
            for (const QString& step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
                const QString what = step.section(QLatin1Char(' '), 0, 0);
                const QString value = step.section(QLatin1Char(' '), 1);
                if (what == QLatin1String("ratio") || what == QLatin1String("rate")) {
                    auto* box = dialog.findChild<VkComboBox*>(
                        what == QLatin1String("ratio") ? QStringLiteral("ProjectSettings_AspectRatioBox")
                                                       : QStringLiteral("ProjectSettings_FrameRateBox"));
                    box->setCurrentIndex(box->findText(value));
                } else if (what == QLatin1String("up")) {
                    QTest::keyClick(width, Qt::Key_Up);
                    QCOMPARE(width->value(), 1921.0);
                } else {
                    width->findChild<QLineEdit*>()->selectAll();
                    QTest::keyClicks(width->findChild<QLineEdit*>(), value);
                    QCOMPARE(width->value(), value.toDouble());
                }
            }
            for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>(button))
                QTest::mouseClick(b, Qt::LeftButton);
        });
        QCOMPARE(result, button == kOk ? 1 : 0);
        if (button == kCancel) {
            QCOMPARE(readBytes(path), bytesBefore);
            return;
        }
        QJsonObject config = before.value(QLatin1String("config")).toObject();
        QFETCH(QByteArray, changed);
        const QJsonObject changes = QJsonDocument::fromJson(changed).object();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            config[it.key()] = it.value();
        const QJsonObject root = readProjectFile(path);
        QCOMPARE(root.value(QLatin1String("config")).toObject(), config);
        QCOMPARE(root.value(QLatin1String("tracks")), before.value(QLatin1String("tracks")));
        // What was saved is what the boxes show.
        QCOMPARE(width->value(), double(storedConfig().resolution.width()));
        const QJsonObject timeline = root.value(QLatin1String("timeline")).toObject();
        QFETCH(int, rateNum);
        QCOMPARE(timeline.value(QLatin1String("frameRateNum")).toInt(), rateNum);
        QCOMPARE(timeline.value(QLatin1String("frameRateDen")).toInt(), rateNum >= 1000 ? 1001 : 1);
    }

    void eventsReachTheStoreInOrder_data()
    {
        QTest::addColumn<QString>("stored"); // ratio, rate, size, colour space
        QTest::addColumn<QByteArray>("properties");
        QTest::newRow("1:1 PQ") << "2 3 1080 1080 1"
                                << QByteArray(R"([["aspect_ratio", "1:1"], ["resolution", "1080*1080"],
                                      ["frame_rate", "29.97fps"], ["color_space", "HDR - Rec.2100PQ"]])");
        // Values outside the tables still give every key, with an empty text (custom for the ratio).
        QTest::newRow("out of range")
            << "9 8 640 480 3" << QByteArray(R"([["aspect_ratio", "custom"], ["resolution", "640*480"],
                                         ["frame_rate", ""], ["color_space", ""]])");
    }

    // The accept event carries the saved record, and both events land in the store in the order sent.
    void eventsReachTheStoreInOrder()
    {
        QFETCH(QString, stored);
        QFETCH(QByteArray, properties);
        const QStringList s = stored.split(QLatin1Char(' '));
        storeConfig(s[0].toInt(), s[1].toInt(), QSize(s[2].toInt(), s[3].toInt()), s[4].toInt());
        VkProjectSettingAcceptEvent().sendEvent();
        VkProjectSettingClickEvent(QStringLiteral("shortcut")).sendEvent();
        const QList<QByteArray> lines =
            readBytes(qEnvironmentVariable("VK_HOME") + QStringLiteral("/events.jsonl"))
                .trimmed()
                .split('\n');
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
};

VK_TEST_MAIN(TestProjectSettingDialog)
#include "tst_projectsettingdialog.moc"
