#include "BadMediaFiles.h"
#include "VkTestMain.h"

#include <scenedetect/VkScenceDetectionDlg.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkPushButton.h>

#include <QDir>

#include <memory>

namespace {

constexpr int kRounds = 100;

// Threads of this process: the detector's own and its decoder's must all be gone once a window
// that ran a detection is destroyed.
int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

VkPushButton* detectButton(QWidget* dialog)
{
    for (VkPushButton* b : dialog->findChildren<VkPushButton*>()) {
        if (b->text() != QLatin1String("Add To Timeline"))
            return b;
    }
    return nullptr;
}

} // namespace

// The scene detection window with the real detector: opened and destroyed a hundred times while a
// detection decodes, and given a file it cannot analyse. The sanitizers watch for a notification
// that reaches a destroyed window; the thread count for a detector that outlives its window.
class tst_SceneStress : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void destroyedDuringDetection();
    void audioOnlyStartRefused();
};

void tst_SceneStress::initTestCase()
{
    QString message;
    QVERIFY2(BadMediaFiles::ensure(&message), qPrintable(message));
    // The model's own detector over the engine, not a stand-in.
    IVkScenceDetect::setFactory({});
}

void tst_SceneStress::destroyedDuringDetection()
{
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item =
        VkMediaItemFactory::create(BadMediaFiles::path("long.mp4"), &error);
    QVERIFY2(item, qPrintable(error));
    const int threadsBefore = threadCount();
    for (int round = 0; round < kRounds; ++round) {
        auto dialog = std::make_unique<VkScenceDetectionDlg>(item.get(), nullptr);
        dialog->show();
        dialog->startDetect();
        VkPushButton* detect = detectButton(dialog.get());
        QVERIFY(detect);
        // 750 frames are far from analysed yet: the window goes while the detector decodes.
        QCOMPARE(detect->text(), QStringLiteral("Stop"));
        // From no event at all to a few rounds of queued scenes and progress reaching the window.
        for (int i = 0; i < round % 5; ++i)
            QCoreApplication::processEvents();
        dialog.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
    // Queued notifications of destroyed windows are dropped, not delivered.
    QCoreApplication::processEvents();
    QCOMPARE(threadCount(), threadsBefore);
}

void tst_SceneStress::audioOnlyStartRefused()
{
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item =
        VkMediaItemFactory::create(BadMediaFiles::path("tone.wav"), &error);
    QVERIFY2(item, qPrintable(error));
    VkScenceDetectionDlg dialog(item.get(), nullptr);
    dialog.show();
    const int threadsBefore = threadCount();
    dialog.startDetect();
    QCoreApplication::processEvents();
    VkPushButton* detect = detectButton(&dialog);
    QVERIFY(detect);
    // Nothing to decode: no detection runs, the button still offers one, and no scene is listed.
    QCOMPARE(detect->text(), QStringLiteral("Detect"));
    QCOMPARE(dialog.GetDetectRange(), QList<QPoint>());
    QCOMPARE(threadCount(), threadsBefore);
}

VK_TEST_MAIN(tst_SceneStress)
#include "tst_scenestress.moc"
