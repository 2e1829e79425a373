#include "SceneDetectFakes.h"
#include "VkTestMain.h"

#include <scenedetect/VkScenceDetectListItem.h>
#include <scenedetect/VkScenceDetectListWidget.h>
#include <scenedetect/VkScenceDetectPlayerView.h>
#include <scenedetect/VkScenceDetectPresenter.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <scenedetect/VkScenceDetectionPanel.h>
#include <vkcore/VkConvertUtility.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkToolButton.h>

#include <QProcess>
#include <QTableWidget>

#include <memory>

namespace {

QString mediaPath(const char* name)
{
    return QStringLiteral(VK_TEST_MEDIA_DIR "/") + QLatin1String(name);
}

// The panel's controls as the user sees them.
struct PanelControls
{
    explicit PanelControls(QWidget* root)
    {
        for (VkPushButton* b : root->findChildren<VkPushButton*>()) {
            if (b->text() == QStringLiteral("Add To Timeline"))
                add = b;
            else
                detect = b;
        }
        list = root->findChild<VkScenceDetectListWidget*>();
        view = root->findChild<VkScenceDetectPlayerView*>();
    }
    VkScenceDetectListItem* row(int i) const
    {
        return qobject_cast<VkScenceDetectListItem*>(list->table()->cellWidget(i, 0));
    }
    QStringList titles() const
    {
        QStringList t;
        for (int i = 0; i < list->table()->rowCount(); ++i)
            t << row(i)->titleLabel()->text();
        return t;
    }
    VkPushButton* add = nullptr;
    VkPushButton* detect = nullptr;
    VkScenceDetectListWidget* list = nullptr;
    VkScenceDetectPlayerView* view = nullptr;
};

QString timeText(qint64 frame)
{
    return VkConvertUtility::frame2String(int(frame), 30.0f);
}

// Delivers three scenes and the end of the detection, then lets the queued signals arrive.
void detectThreeScenes(FakeDetector* detector)
{
    QVERIFY(detector->scene(0, 120));
    QVERIFY(detector->scene(120, 300));
    QVERIFY(detector->scene(300, 450));
    QVERIFY(detector->finished());
    QCoreApplication::processEvents();
}

bool makeClip(const QString& path, const QString& size)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                  "testsrc2=s=" + size + ":r=25:d=0.4", "-pix_fmt", "yuv420p", path});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
}

} // namespace

class TestSceneDetect : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void thumbnailFitting_data();
    void thumbnailFitting();
    void sceneSignalCarriesRange();
    void refusedStart();
    void stopDropsLateScene();
    void endNotifications_data();
    void endNotifications();
    void rowsRenumberedAfterRemovals();
    void removeButtonsWaitForTheEnd();
    void addToTimelineFollowsRows();
    void selectionMarksLabels();
    void clickDuringDetectionIsIgnored();
    void rowClickPlaysItsScene();
    void startDetectTwice();
    void acceptedRangesAfterRemoval();
    void nothingFound();
    void destroyedDuringRealDetection();
    void endToEndOnKnownCuts();

private:
    QTemporaryDir m_dir;
};

void TestSceneDetect::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(mediaPath(".stamp")), "the generated test media is missing");
    IVkScenceDetect::setFactory([] { return new FakeDetector; });
}

void TestSceneDetect::cleanupTestCase()
{
    IVkScenceDetect::setFactory({});
}

void TestSceneDetect::init()
{
    FakeDetector::nextStartResult() = true;
}

void TestSceneDetect::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    // Every detector the dialogs made was released with them.
    QCOMPARE(FakeDetector::alive().size(), 0);
}

void TestSceneDetect::thumbnailFitting_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QSize>("thumbnail");
    // 100/56 = 1.786 is wider than 16:9 (1.778): the height stays 56 and the width is 56 * 1.778 = 99.6
    // -> 99.
    QTest::newRow("16:9") << "192x108" << QSize(99, 56);
    // 56 * 4/3 = 74.7 -> 74.
    QTest::newRow("4:3") << "144x108" << QSize(74, 56);
    // 56 * 9/16 = 31.5 -> 31.
    QTest::newRow("9:16") << "108x192" << QSize(31, 56);
    // 2.35:1 is wider than the box: the width stays 100, the height 100 / 2.35 = 42.55 -> 42.
    QTest::newRow("2.35:1") << "235x100" << QSize(100, 42);
}

void TestSceneDetect::thumbnailFitting()
{
    QFETCH(QString, size);
    const QString path = m_dir.filePath("fit-" + size + ".mp4");
    QVERIFY(makeClip(path, size));
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    QVERIFY2(item, qPrintable(error));

    VkScenceDetectPresenter presenter(item.get(), nullptr);
    QSignalSpy results(&presenter, &VkScenceDetectPresenter::signalDetectResult);
    presenter.openMedia();
    presenter.startDetect();
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector);
    QCOMPARE(detector->path, path);
    QVERIFY(detector->scene(0, 5));
    QVERIFY(detector->finished());
    QTRY_COMPARE(results.count(), 1);
    const QImage img = results.first().at(3).value<QImage>();
    QTEST(img.size(), "thumbnail");
    // The thumbnail is the scene's first frame, not an empty buffer: testsrc2 is never all black.
    QVERIFY(img.pixelColor(img.width() / 2, img.height() / 2) != QColor(0, 0, 0, 0));
}

void TestSceneDetect::sceneSignalCarriesRange()
{
    FakeVideoItem item;
    VkScenceDetectPresenter presenter(&item, nullptr);
    QSignalSpy results(&presenter, &VkScenceDetectPresenter::signalDetectResult);
    presenter.startDetect();
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(250, 400));
    QTRY_COMPARE(results.count(), 1);
    QCOMPARE(results.first().at(0).toLongLong(), 250);
    QCOMPARE(results.first().at(1).toLongLong(), 400);
    QCOMPARE(results.first().at(2).toLongLong(), 150);
    // No file behind the item, so no timeline: the scene still comes, with a null picture.
    QVERIFY(results.first().at(3).value<QImage>().isNull());
    QCOMPARE(presenter.frameToText(150), timeText(150));
    QVERIFY(detector->stopped());
}

void TestSceneDetect::refusedStart()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    PanelControls c(&panel);
    QVERIFY(c.add && c.detect && c.list);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    detectThreeScenes(FakeDetector::last());
    QCOMPARE(c.list->table()->rowCount(), 3);

    FakeDetector::nextStartResult() = false;
    QSignalSpy started(c.list, &VkScenceDetectListWidget::sigStartDetect);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    // The list was cleared before the detector said no; nothing else moved.
    QCOMPARE(c.list->table()->rowCount(), 0);
    QCOMPARE(c.detect->text(), QStringLiteral("Detect"));
    QVERIFY(c.view->isEnabled());
    QCOMPARE(FakeDetector::last()->startCalls, 2);
    QCOMPARE(started.count(), 0);
}

void TestSceneDetect::stopDropsLateScene()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    PanelControls c(&panel);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(0, 40));

    QTest::mouseClick(c.detect, Qt::LeftButton); // "Stop"
    QCOMPARE(detector->stopCalls, 1);
    // Until the detector confirms, the window stays in its running state.
    QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
    QVERIFY(!c.add->isEnabled());
    // A scene that was already on its way is answered false and never listed.
    QVERIFY(!detector->scene(40, 80));
    QVERIFY(detector->stopped());
    QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
    QCOMPARE(c.list->detectRanges(), (QList<QPoint>{{0, 40}}));
    QVERIFY(c.add->isEnabled());
    QVERIFY(c.view->isEnabled());
}

void TestSceneDetect::endNotifications_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("finished");
    QTest::addColumn<int>("stopped");
    QTest::newRow("finished") << "finished" << 1 << 0;
    QTest::newRow("stopped") << "stopped" << 0 << 1;
    // A decoding failure ends the run like a stop.
    QTest::newRow("failed") << "failed" << 0 << 1;
}

void TestSceneDetect::endNotifications()
{
    QFETCH(QString, end);
    FakeVideoItem item;
    VkScenceDetectPresenter presenter(&item, nullptr);
    QSignalSpy start(&presenter, &VkScenceDetectPresenter::signalDetectStart);
    QSignalSpy finished(&presenter, &VkScenceDetectPresenter::signalDetectFinished);
    QSignalSpy stopped(&presenter, &VkScenceDetectPresenter::signalDetectStop);
    presenter.startDetect();
    QCOMPARE(start.count(), 1);
    QVERIFY(presenter.isDetecting());
    FakeDetector* detector = FakeDetector::last();
    const bool answer = end == "finished"  ? detector->finished()
                        : end == "stopped" ? detector->stopped()
                                           : detector->failed();
    QVERIFY(answer);
    QTRY_COMPARE(finished.count() + stopped.count(), 1);
    QTEST(finished.count(), "finished");
    QTEST(stopped.count(), "stopped");
    QVERIFY(!presenter.isDetecting());
}

void TestSceneDetect::rowsRenumberedAfterRemovals()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    PanelControls c(&panel);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    detectThreeScenes(FakeDetector::last());
    QCOMPARE(c.titles(), (QStringList{"Scene 1", "Scene 2", "Scene 3"}));
    // Row 2 is [120, 300): 180 frames long, shown from frame 120 to its last frame, 299.
    QCOMPARE(c.row(1)->findChildren<VkLabel*>("SceneDetectionListItem_Context").value(0)->text(),
             QStringLiteral("Duration: ") + timeText(180));
    QCOMPARE(c.row(1)->findChildren<VkLabel*>("SceneDetectionListItem_Context").value(1)->text(),
             timeText(120) + "-" + timeText(299));

    QSignalSpy deleted(c.list, &VkScenceDetectListWidget::sigDeleteRange);
    QSignalSpy allDeleted(c.list, &VkScenceDetectListWidget::sigAllItemDeleted);
    QTest::mouseClick(c.row(1)->removeButton(), Qt::LeftButton);
    QCOMPARE(c.titles(), (QStringList{"Scene 1", "Scene 2"}));
    QCOMPARE(c.list->detectRanges(), (QList<QPoint>{{0, 120}, {300, 450}}));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(allDeleted.count(), 0);
    QVERIFY(c.add->isEnabled());

    // The last removal says "all deleted" first, then "deleted".
    QStringList order;
    connect(c.list, &VkScenceDetectListWidget::sigAllItemDeleted, this, [&] { order << "all"; });
    connect(c.list, &VkScenceDetectListWidget::sigDeleteRange, this, [&] { order << "range"; });
    QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
    QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
    QCOMPARE(order, (QStringList{"range", "all", "range"}));
    QVERIFY(!c.add->isEnabled());
}

void TestSceneDetect::removeButtonsWaitForTheEnd()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    PanelControls c(&panel);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(0, 10));
    QVERIFY(detector->scene(10, 20));
    QTRY_COMPARE(c.list->table()->rowCount(), 2);
    QVERIFY(!c.row(0)->removeButton()->isEnabled());
    QVERIFY(!c.row(1)->removeButton()->isEnabled());
    QVERIFY(!c.view->isEnabled());
    QVERIFY(!c.add->isEnabled());
    QVERIFY(detector->stopped());
    QTRY_VERIFY(c.row(0)->removeButton()->isEnabled());
    QVERIFY(c.row(1)->removeButton()->isEnabled());
}

void TestSceneDetect::addToTimelineFollowsRows()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    PanelControls c(&panel);
    QVERIFY(!c.add->isEnabled());
    QTest::mouseClick(c.detect, Qt::LeftButton);
    QVERIFY(FakeDetector::last()->finished());
    QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
    // Nothing found: nothing to add.
    QVERIFY(!c.add->isEnabled());

    QTest::mouseClick(c.detect, Qt::LeftButton);
    detectThreeScenes(FakeDetector::last());
    QVERIFY(c.add->isEnabled());
    QSignalSpy done(&panel, &VkScenceDetectionPanel::sigDone);
    QTest::mouseClick(c.add, Qt::LeftButton);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.first().at(0).toInt(), 1);
}

void TestSceneDetect::selectionMarksLabels()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    PanelControls c(&panel);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    detectThreeScenes(FakeDetector::last());
    QTableWidget* table = c.list->table();
    table->setCurrentCell(0, 0);
    table->setCurrentCell(2, 0);
    for (VkLabel* label : c.row(2)->findChildren<VkLabel*>())
        QCOMPARE(label->property("selected").toBool(), true);
    for (VkLabel* label : c.row(0)->findChildren<VkLabel*>())
        QCOMPARE(label->property("selected").toBool(), false);
}

void TestSceneDetect::clickDuringDetectionIsIgnored()
{
    FakeVideoItem item;
    VkScenceDetectionPanel panel(&item, nullptr);
    panel.show();
    PanelControls c(&panel);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(0, 10));
    QTRY_COMPARE(c.list->table()->rowCount(), 1);
    QSignalSpy play(c.list, qOverload<int, int, bool>(&VkScenceDetectListWidget::sigPlaySceneRange));
    QTest::mouseClick(c.row(0), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
    // The list asks; the panel refuses while the detector runs.
    QCOMPARE(play.count(), 1);
    QCOMPARE(play.first().at(0).toInt(), 0);
    QCOMPARE(play.first().at(1).toInt(), 10);
    QCOMPARE(play.first().at(2).toBool(), true);
    VkMediaPlayerPresenter* player = panel.findChild<VkMediaPlayerWidget*>()->presenter();
    QVERIFY(player);
    QVERIFY(!player->isPlaying());
    QVERIFY(detector->stopped());
}

void TestSceneDetect::rowClickPlaysItsScene()
{
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item =
        VkMediaItemFactory::create(mediaPath("numbered.mp4"), &error);
    QVERIFY2(item, qPrintable(error));
    VkScenceDetectionPanel panel(item.get(), nullptr);
    panel.show();
    PanelControls c(&panel);
    VkMediaPlayerPresenter* player = panel.findChild<VkMediaPlayerWidget*>()->presenter();
    QVERIFY(player);
    QCOMPARE(player->mediaLength(), 75);
    QTest::mouseClick(c.detect, Qt::LeftButton);
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(0, 30));
    QVERIFY(detector->scene(30, 45));
    QVERIFY(detector->finished());
    QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
    // The scenes and the end of the detection moved the preview (30, then back to 0); let the
    // frames already on their way arrive before the click, so that only its frames are counted.
    QSignalSpy frames(player, &VkMediaPlayerPresenter::sigFrameReady);
    QTRY_COMPARE(player->currentFrame(), 0);
    for (int quiet = 0; quiet < 50 && frames.wait(200);)
        ++quiet;
    frames.clear();

    // A click on the second row limits the preview to [30, 45), i.e. 15 frames from frame 30, and
    // plays it from its start: every frame shown lies in the scene, and playback stops at its end.
    QTest::mouseClick(c.row(1), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
    QTRY_COMPARE(player->playRangeFirst(), 30);
    QCOMPARE(player->playRangeCount(), 15);
    QTRY_VERIFY_WITH_TIMEOUT(!player->isPlaying() && !frames.isEmpty(), 20000);
    for (const QList<QVariant>& f : frames) {
        const qlonglong n = f.at(1).toLongLong();
        QVERIFY2(n >= 30 && n < 45, qPrintable(QString::number(n)));
    }
    QCOMPARE(frames.last().at(1).toLongLong(), 44);
}

void TestSceneDetect::startDetectTwice()
{
    FakeVideoItem item;
    VkScenceDetectionDlg dlg(&item, nullptr);
    PanelControls c(&dlg);
    dlg.startDetect();
    // The start signal came on this thread, so the button already says so.
    QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
    dlg.startDetect();
    QCOMPARE(FakeDetector::last()->stopCalls, 1);
    QCOMPARE(FakeDetector::last()->startCalls, 1);
}

void TestSceneDetect::acceptedRangesAfterRemoval()
{
    FakeVideoItem item;
    VkScenceDetectionDlg dlg(&item, nullptr);
    PanelControls c(&dlg);
    QCOMPARE(dlg.size(), QSize(1200, 659));
    dlg.startDetect();
    detectThreeScenes(FakeDetector::last());
    QTest::mouseClick(c.row(1)->removeButton(), Qt::LeftButton);
    QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(c.add, Qt::LeftButton); });
    QTimer::singleShot(10000, &dlg, [&] { dlg.done(-1); });
    QCOMPARE(dlg.DoModal(), 1);
    QCOMPARE(dlg.GetDetectRange(), (QList<QPoint>{{0, 120}, {300, 450}}));
}

void TestSceneDetect::nothingFound()
{
    FakeVideoItem item;
    VkScenceDetectionDlg dlg(&item, nullptr);
    QCOMPARE(dlg.GetDetectRange(), QList<QPoint>());
    dlg.startDetect();
    QVERIFY(FakeDetector::last()->finished());
    QCoreApplication::processEvents();
    QCOMPARE(dlg.GetDetectRange(), QList<QPoint>());
}

void TestSceneDetect::destroyedDuringRealDetection()
{
    IVkScenceDetect::setFactory({});
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(mediaPath("long.mp4"), &error);
    QVERIFY2(item, qPrintable(error));
    // Closing the window while the detector thread decodes must end that thread without a late
    // notification reaching freed objects; the sanitizers watch each round.
    for (int round = 0; round < 12; ++round) {
        auto dlg = std::make_unique<VkScenceDetectionDlg>(item.get(), nullptr);
        dlg->startDetect();
        QTest::qWait(round % 4 * 15);
        dlg.reset();
    }
    IVkScenceDetect::setFactory([] { return new FakeDetector; });
}

void TestSceneDetect::endToEndOnKnownCuts()
{
    IVkScenceDetect::setFactory({});
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(mediaPath("scenes.mp4"), &error);
    QVERIFY2(item, qPrintable(error));
    {
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        PanelControls c(&dlg);
        dlg.startDetect();
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        QTRY_COMPARE_WITH_TIMEOUT(c.detect->text(), QStringLiteral("Detect"), 120000);
        // Six shots of 30 frames; the flash inside the second one is no cut.
        QCOMPARE(dlg.GetDetectRange(),
                 (QList<QPoint>{{0, 30}, {30, 60}, {60, 90}, {90, 120}, {120, 150}, {150, 180}}));
        QCOMPARE(c.titles().last(), QStringLiteral("Scene 6"));
        // Each row shows its scene's first frame.
        QVERIFY(!c.row(0)->findChild<VkLabel*>("thumbnailPic")->pixmap(Qt::ReturnByValue).isNull());
    }
    IVkScenceDetect::setFactory([] { return new FakeDetector; });
}

VK_TEST_MAIN(TestSceneDetect)
#include "tst_scenedetect.moc"
