#include "BadMediaFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <functional>
#include <memory>

namespace {

// Enough rounds that a per-dialog leak stands out from anything a library keeps once per process.
constexpr int kRounds = 10;

} // namespace

// Every dialog built, shown, laid out, painted and destroyed over and over. The sanitizer build runs
// with LeakSanitizer, which fails the test at exit on any block of ours left behind; tests/lsan.supp
// only names system libraries that keep process-wide state. Within the run, no window outlives its
// dialog.
class tst_DialogLeaks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void buildAndDestroy_data();
    void buildAndDestroy();
};

using DialogMaker = std::function<QWidget*(IVkAbstractMediaItem* item)>;
Q_DECLARE_METATYPE(DialogMaker)

void tst_DialogLeaks::initTestCase()
{
    QString message;
    QVERIFY2(BadMediaFiles::ensure(&message), qPrintable(message));
}

void tst_DialogLeaks::buildAndDestroy_data()
{
    QTest::addColumn<QString>("media");
    QTest::addColumn<DialogMaker>("make");
    QTest::newRow("startup") << QString() << DialogMaker([](IVkAbstractMediaItem*) -> QWidget* {
        return new VkStartupDlg(nullptr);
    });
    QTest::newRow("project settings")
        << QString()
        << DialogMaker([](IVkAbstractMediaItem*) -> QWidget* { return new VkProjectSettingDialog(nullptr); });
    QTest::newRow("media properties, video")
        << QStringLiteral("small.mp4") << DialogMaker([](IVkAbstractMediaItem* item) -> QWidget* {
               return new VkMediaPropertyDialog(item, nullptr);
           });
    QTest::newRow("media properties, png")
        << QStringLiteral("small.png") << DialogMaker([](IVkAbstractMediaItem* item) -> QWidget* {
               return new VkMediaPropertyDialog(item, nullptr);
           });
    QTest::newRow("media properties, audio")
        << QStringLiteral("tone.wav") << DialogMaker([](IVkAbstractMediaItem* item) -> QWidget* {
               return new VkMediaPropertyDialog(item, nullptr);
           });
    QTest::newRow("scene detection") << QStringLiteral("small.mp4")
                                     << DialogMaker([](IVkAbstractMediaItem* item) -> QWidget* {
                                            return new VkScenceDetectionDlg(item, nullptr);
                                        });
    QTest::newRow("unsupported image") << QString() << DialogMaker([](IVkAbstractMediaItem*) -> QWidget* {
        return new VkUnsupportedImgFileDialog(
            {QStringLiteral("/photos/a.jpg"), QStringLiteral("/photos/b.png")}, nullptr);
    });
}

void tst_DialogLeaks::buildAndDestroy()
{
    QFETCH(QString, media);
    QFETCH(DialogMaker, make);
    std::unique_ptr<IVkAbstractMediaItem> item;
    if (!media.isEmpty()) {
        QString error;
        item = VkMediaItemFactory::create(BadMediaFiles::path(media.toUtf8().constData()), &error);
        QVERIFY2(item, qPrintable(error));
    }
    for (int round = 0; round < kRounds; ++round) {
        std::unique_ptr<QWidget> dialog(make(item.get()));
        QVERIFY(dialog);
        dialog->show();
        QCoreApplication::processEvents();
        QVERIFY(!dialog->grab().isNull());
        dialog.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
}

VK_TEST_MAIN(tst_DialogLeaks)
#include "tst_dialogleaks.moc"
