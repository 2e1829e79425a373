#include "SceneDetectFakes.h"
#include "VkTestMain.h"

#include <scenedetect/VkScenceDetectListItem.h>
#include <scenedetect/VkScenceDetectListWidget.h>
#include <scenedetect/VkScenceDetectPlayerView.h>
#include <scenedetect/VkScenceDetectPresenter.h>
#include <scenedetect/VkScenceDetectProgress.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <scenedetect/VkScenceDetectionPanel.h>
#include <vkcore/VkConvertUtility.h>
#include <vkmedia/VkMediaFileRegistry.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>

#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>
#include <memory>
#include <thread>

namespace {

std::unique_ptr<IVkAbstractMediaItem> mediaItem(const QString& path)
{
    QString error;
    auto item = VkMediaItemFactory::create(path, &error);
    if (!item)
        qWarning("%s", qPrintable(error));
    return item;
}

std::unique_ptr<IVkAbstractMediaItem> generated(const char* name)
{
    return mediaItem(QStringLiteral(VK_TEST_MEDIA_DIR "/") + QLatin1String(name));
}

// The panel's controls as the user sees them.
struct PanelControls
{
    explicit PanelControls(QWidget* root)
        : list(root->findChild<VkScenceDetectListWidget*>())
        , view(root->findChild<VkScenceDetectPlayerView*>())
    {
        for (VkPushButton* b : root->findChildren<VkPushButton*>())
            (b->text() == QStringLiteral("Add To Timeline") ? add : detect) = b;
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
    VkScenceDetectListWidget* list;
    VkScenceDetectPlayerView* view;
    VkPushButton* add = nullptr;
    VkPushButton* detect = nullptr;
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

// Counts the paint events of the widgets it watches.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// The built-in detector for as long as it lives, then the test's fake again.
struct RealDetectors
{
    RealDetectors() { IVkScenceDetect::setFactory({}); }
    ~RealDetectors()
    {
        IVkScenceDetect::setFactory([] { return new FakeDetector; });
    }
    Q_DISABLE_COPY(RealDetectors)
};

} // namespace

class TestSceneDetect : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeVideoItem m_item;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(VK_TEST_MEDIA_DIR "/.stamp"), "the generated test media is missing");
        IVkScenceDetect::setFactory([] { return new FakeDetector; });
    }
    void cleanupTestCase() { IVkScenceDetect::setFactory({}); }
    void init()
    {
        FakeDetector::nextStartResult() = true;
        FakeDetector::duringStart() = nullptr;
    }
    void cleanup()
    {
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
        // Every detector the dialogs made was released with them.
        QCOMPARE(FakeDetector::alive().size(), 0);
    }

    void thumbnailFitting_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QSize>("thumbnail");
        // Into 100 x 56: 16:9 is narrower than 100/56, so 56 high and 56 * 16/9 = 99.6 -> 99 wide.
        QTest::newRow("16:9") << "192x108" << QSize(99, 56);
        QTest::newRow("4:3") << "144x108" << QSize(74, 56);  // 74.7
        QTest::newRow("9:16") << "108x192" << QSize(31, 56); // 31.5
        // Wider than the box: 100 wide, 100 / 2.35 = 42.55 -> 42 high.
        QTest::newRow("2.35:1") << "235x100" << QSize(100, 42);
    }
    void thumbnailFitting()
    {
        QFETCH(QString, size);
        const QString path = m_dir.filePath("fit-" + size + ".mp4");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                                "testsrc2=s=" + size + ":r=25:d=0.4", "-pix_fmt", "yuv420p", path});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        auto item = mediaItem(path);
        QVERIFY(item);
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
        // The scene's first frame, not an empty buffer: testsrc2 is never all black.
        QVERIFY(img.pixelColor(img.width() / 2, img.height() / 2) != QColor(0, 0, 0, 0));
    }

    void refusedStart()
    {
        VkScenceDetectionPanel panel(&m_item, nullptr);
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
        // Nothing is left to add.
        QVERIFY(!c.add->isEnabled());
        QCOMPARE(FakeDetector::last()->startCalls, 2);
        QCOMPARE(started.count(), 0);
    }

    void stopDropsLateScene()
    {
        VkScenceDetectionPanel panel(&m_item, nullptr);
        panel.show();
        PanelControls c(&panel);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        FakeDetector* detector = FakeDetector::last();
        QVERIFY(detector->scene(0, 40));
        QTRY_COMPARE(c.list->table()->rowCount(), 1);
        // Rows cannot be removed, nor the preview used, while the detector runs.
        QVERIFY(!c.row(0)->removeButton()->isEnabled());
        QVERIFY(!c.view->isEnabled());
        // A click on a row: the list asks to play its scene, the panel refuses.
        QSignalSpy play(c.list, qOverload<int, int, bool>(&VkScenceDetectListWidget::sigPlaySceneRange));
        QTest::mouseClick(c.row(0), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
        QCOMPARE(play.count(), 1);
        QCOMPARE(play.first(), (QList<QVariant>{0, 40, true}));
        QVERIFY(!panel.findChild<VkMediaPlayerWidget*>()->presenter()->isPlaying());

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
        QVERIFY(c.row(0)->removeButton()->isEnabled());
    }

    void stateFollowsDetector_data()
    {
        QTest::addColumn<QString>("when");
        // The run ends on the caller's thread inside start(): its end arrives before the start signal.
        QTest::newRow("ends inside start") << "inside start";
        // The run ends on the detector's thread before start() returns: its end is queued behind it.
        QTest::newRow("ends on its thread during start") << "thread during start";
        QTest::newRow("ends after start") << "after start";
    }
    void stateFollowsDetector()
    {
        QFETCH(QString, when);
        const auto run = [](IVkScenceDetectEventObserver* o) {
            o->onSceneDetected(0, 40);
            o->onDetectFinished();
        };
        if (when == "inside start")
            FakeDetector::duringStart() = run;
        else if (when == "thread during start")
            FakeDetector::duringStart() = [run](IVkScenceDetectEventObserver* o) {
                std::thread(run, o).join();
            };
        VkScenceDetectionPanel panel(&m_item, nullptr);
        PanelControls c(&panel);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        FakeDetector* detector = FakeDetector::last();
        if (when == "after start")
            detector->notify([run](IVkScenceDetectEventObserver* o) {
                run(o);
                return true;
            });
        // Whatever the order, the window ends where the detector is: idle, with its scene usable.
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
        QCoreApplication::processEvents();
        QCOMPARE(c.detect->text(), QStringLiteral("Detect"));
        QCOMPARE(c.list->detectRanges(), (QList<QPoint>{{0, 40}}));
        QVERIFY(c.add->isEnabled());
        QVERIFY(c.view->isEnabled());
        QVERIFY(c.row(0)->removeButton()->isEnabled());
        // The next click starts a new run rather than stopping a finished one.
        FakeDetector::duringStart() = nullptr;
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QCOMPARE(detector->startCalls, 2);
        QCOMPARE(detector->stopCalls, 0);
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        QVERIFY(detector->stopped());
    }

    // A language change while a run goes on keeps the caption of what a click does next.
    void languageChangeDuringRun()
    {
        VkScenceDetectionPanel panel(&m_item, nullptr);
        PanelControls c(&panel);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        FakeDetector* detector = FakeDetector::last();
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&panel, &change);
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        QCOMPARE(c.add->text(), QStringLiteral("Add To Timeline"));
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QCOMPARE(detector->stopCalls, 1);
        QCOMPARE(detector->startCalls, 1);
        // Asked to stop, the run is still on until the detector says so.
        QCoreApplication::sendEvent(&panel, &change);
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        QVERIFY(detector->stopped());
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
        QCoreApplication::sendEvent(&panel, &change);
        QCOMPARE(c.detect->text(), QStringLiteral("Detect"));
    }

    // Catches a run that disables the preview under the keyboard focus: the window would hand the
    // focus to its title bar's close button, where Enter closes it.
    void startMovesFocusOutOfPreview()
    {
        auto item = generated("scenes.mp4");
        QVERIFY(item);
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        PanelControls c(&dlg);
        auto* slider = dlg.findChild<VkToolSlider*>();
        QVERIFY(slider);
        slider->setFocus(Qt::TabFocusReason);
        QCOMPARE(dlg.focusWidget(), slider);
        dlg.startDetect();
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        QCOMPARE(dlg.focusWidget(), c.detect);
        QVERIFY(FakeDetector::last()->finished());
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
        QCOMPARE(dlg.focusWidget(), c.detect);
    }

    void endNotifications_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("finished");
        QTest::addColumn<int>("stopped");
        QTest::newRow("finished") << "finished" << 1 << 0;
        QTest::newRow("stopped") << "stopped" << 0 << 1;
        // A decoding failure ends the run like a stop.
        QTest::newRow("failed") << "failed" << 0 << 1;
    }
    void endNotifications()
    {
        QFETCH(QString, end);
        VkScenceDetectPresenter presenter(&m_item, nullptr);
        QSignalSpy start(&presenter, &VkScenceDetectPresenter::signalDetectStart);
        QSignalSpy results(&presenter, &VkScenceDetectPresenter::signalDetectResult);
        QSignalSpy finished(&presenter, &VkScenceDetectPresenter::signalDetectFinished);
        QSignalSpy stopped(&presenter, &VkScenceDetectPresenter::signalDetectStop);
        presenter.startDetect();
        QCOMPARE(start.count(), 1);
        QVERIFY(presenter.isDetecting());
        FakeDetector* d = FakeDetector::last();
        QVERIFY(d->scene(250, 400));
        QVERIFY(end == "finished" ? d->finished() : end == "stopped" ? d->stopped() : d->failed());
        QTRY_COMPARE(finished.count() + stopped.count(), 1);
        QTEST(finished.count(), "finished");
        QTEST(stopped.count(), "stopped");
        QVERIFY(!presenter.isDetecting());
        // Start, end and length of the scene. No file behind the item, so no timeline: the scene
        // still comes, with a null picture.
        QCOMPARE(results.count(), 1);
        QCOMPARE(results.first().mid(0, 3), (QList<QVariant>{250, 400, 150}));
        QVERIFY(results.first().at(3).value<QImage>().isNull());
        QCOMPARE(presenter.frameToText(150), timeText(150));
    }

    void rowsRenumberedAfterRemovals()
    {
        VkScenceDetectionDlg dlg(&m_item, nullptr);
        PanelControls c(&dlg);
        dlg.startDetect();
        detectThreeScenes(FakeDetector::last());
        QCOMPARE(c.titles(), (QStringList{"Scene 1", "Scene 2", "Scene 3"}));
        // Row 2 is [120, 300): 180 frames long, shown from frame 120 to its last frame, 299.
        const auto context = c.row(1)->findChildren<VkLabel*>("SceneDetectionListItem_Context");
        QCOMPARE(context.value(0)->text(), QStringLiteral("Duration: ") + timeText(180));
        QCOMPARE(context.value(1)->text(), timeText(120) + "-" + timeText(299));
        // The current row's labels are marked, and only those.
        c.list->table()->setCurrentCell(0, 0);
        c.list->table()->setCurrentCell(2, 0);
        for (int row : {0, 2}) {
            for (VkLabel* label : c.row(row)->findChildren<VkLabel*>())
                QCOMPARE(label->property("selected").toBool(), row == 2);
        }

        QStringList order;
        connect(c.list, &VkScenceDetectListWidget::sigAllItemDeleted, this, [&] { order << "all"; });
        connect(c.list, &VkScenceDetectListWidget::sigDeleteRange, this, [&] { order << "range"; });
        QTest::mouseClick(c.row(1)->removeButton(), Qt::LeftButton);
        QCOMPARE(c.titles(), (QStringList{"Scene 1", "Scene 2"}));
        QCOMPARE(c.list->detectRanges(), (QList<QPoint>{{0, 120}, {300, 450}}));
        QVERIFY(c.add->isEnabled());
        // "Add To Timeline" hands the remaining scenes to the host.
        QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(c.add, Qt::LeftButton); });
        QTimer::singleShot(10000, &dlg, [&] { dlg.done(-1); });
        QCOMPARE(dlg.DoModal(), 1);
        QCOMPARE(dlg.GetDetectRange(), (QList<QPoint>{{0, 120}, {300, 450}}));
        // The last removal says "all deleted" first, then "deleted"; nothing is left to add.
        QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
        QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
        QCOMPARE(order, (QStringList{"range", "range", "all", "range"}));
        QVERIFY(!c.add->isEnabled());
    }

    void rowClickPlaysItsScene()
    {
        auto item = generated("numbered.mp4");
        QVERIFY(item);
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
        // frames already on their way arrive, so that only the click's frames are counted.
        QSignalSpy frames(player, &VkMediaPlayerPresenter::sigFrameReady);
        QTRY_COMPARE(player->currentFrame(), 0);
        for (int quiet = 0; quiet < 50 && frames.wait(200);)
            ++quiet;
        frames.clear();
        // A click on the second row plays [30, 45) from its start: every frame shown lies in the
        // scene, and playback stops at its end.
        QTest::mouseClick(c.row(1), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
        // A busy GUI thread: the player runs through the range's 15 frames (0.6 s) meanwhile, and its
        // frames wait in the queue. Whenever playback is seen over, its last frame must be shown.
        QThread::msleep(3000);
        QTRY_VERIFY_WITH_TIMEOUT(!player->isPlaying(), 20000);
        QCOMPARE(player->currentFrame(), 44);
        QCOMPARE(player->playRangeFirst(), 30);
        QCOMPARE(player->playRangeCount(), 15);
        for (const QList<QVariant>& f : frames) {
            const qlonglong n = f.at(1).toLongLong();
            QVERIFY2(n >= 30 && n < 45, qPrintable(QString::number(n)));
        }
        QCOMPARE(frames.last().at(1).toLongLong(), 44);
    }

    void progressWhileRunning_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<qlonglong>("lastShown");
        // numbered.mp4 has 75 frames. A finished run's last report is the whole clip.
        QTest::newRow("finished") << "finished" << qlonglong(75);
        // After "Stop" the reports still on their way are dropped: the display keeps 30.
        QTest::newRow("stopped") << "stopped" << qlonglong(30);
        QTest::newRow("failed") << "failed" << qlonglong(30);
    }
    void progressWhileRunning()
    {
        QFETCH(QString, end);
        auto item = generated("numbered.mp4");
        QVERIFY(item);
        VkScenceDetectionPanel panel(item.get(), nullptr);
        panel.show();
        PanelControls c(&panel);
        auto* progress = panel.findChild<VkScenceDetectProgress*>();
        auto* bar = panel.findChild<QProgressBar*>("SceneDetection_ProgressBar");
        auto* caption = panel.findChild<VkLabel*>("SceneDetection_ProgressText");
        QVERIFY(progress && bar && caption);
        // Idle: nothing to show.
        QVERIFY(!progress->isVisible());

        QTest::mouseClick(c.detect, Qt::LeftButton);
        QVERIFY(progress->isVisible());
        QCOMPARE(bar->maximum(), 75);
        QCOMPARE(bar->value(), 0);
        QVERIFY(!bar->accessibleName().isEmpty());
        FakeDetector* detector = FakeDetector::last();
        QVERIFY(detector->progress(1, 75));
        QVERIFY(detector->progress(30, 75));
        QTRY_COMPARE(bar->value(), 30);
        // 30 of 75 is 40 %.
        QCOMPARE(caption->text(), QStringLiteral("Analysed 30 of 75 frames (40%)"));
        QCOMPARE(bar->accessibleDescription(), caption->text());

        QFETCH(qlonglong, lastShown);
        if (end == "finished") {
            QVERIFY(detector->progress(75, 75));
            QVERIFY(detector->finished());
        } else if (end == "stopped") {
            QTest::mouseClick(c.detect, Qt::LeftButton);
            QVERIFY(!detector->progress(50, 75));
            QVERIFY(detector->stopped());
        } else {
            QVERIFY(detector->failed());
        }
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
        QCOMPARE(progress->frames(), lastShown);
        QCOMPARE(progress->frameCount(), qlonglong(75));
        QVERIFY(!progress->isVisible());
    }

    void progressDrawnInTheme()
    {
        // 180 frames, a new shot every 30.
        auto item = generated("scenes.mp4");
        QVERIFY(item);
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        PanelControls c(&dlg);
        VkMediaPlayerPresenter* player = dlg.findChild<VkMediaPlayerWidget*>()->presenter();
        QSignalSpy frames(player, &VkMediaPlayerPresenter::sigFrameReady);
        dlg.startDetect();
        FakeDetector* detector = FakeDetector::last();
        for (int start : {0, 30, 60})
            QVERIFY(detector->scene(start, start + 30));
        QVERIFY(detector->progress(72, 180));
        auto* bar = dlg.findChild<QProgressBar*>("SceneDetection_ProgressBar");
        QVERIFY(bar);
        QTRY_COMPARE(bar->value(), 72);
        QTRY_COMPARE(c.list->table()->rowCount(), 3);
        // The preview follows the scenes found: the last one's first frame.
        QTRY_VERIFY(!frames.isEmpty() && frames.last().at(1).toLongLong() == 60);
        const QImage shot = dlg.grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const auto colourAt = [&](double share) {
            const QPoint at = bar->mapTo(&dlg, QPoint(int(bar->width() * share), bar->height() / 2));
            return shot.pixelColor(int(at.x() * ratio), int(at.y() * ratio));
        };
        // 72 of 180 is 40 % done: the theme's accent up to there, its track colour after.
        QCOMPARE(colourAt(0.2), QColor(0x55, 0xe5, 0xc5));
        QCOMPARE(colourAt(0.8), QColor(0x3a, 0x41, 0x4b));
        const QString screenshots = qEnvironmentVariable("VK_SCREENSHOT_DIR");
        if (!screenshots.isEmpty()) {
            const QString name =
                ratio > 1.0 ? "scene-detection-progress@2x.png" : "scene-detection-progress.png";
            QVERIFY(shot.save(QDir(screenshots).filePath(name)));
        }
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
    }

    void rowsLaidOutOncePerBatch()
    {
        VkScenceDetectionPanel panel(&m_item, nullptr);
        panel.show();
        PanelControls c(&panel);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        FakeDetector* detector = FakeDetector::last();
        QTableWidget* table = c.list->table();
        // Every layout pass that finds more rows than fit moves the scroll bar's range.
        QSignalSpy layouts(table->verticalScrollBar(), &QScrollBar::rangeChanged);
        // 200 scenes queued before the GUI thread looks: they all arrive in one turn of its loop.
        constexpr int kScenes = 200;
        QVERIFY(detector->notify([](IVkScenceDetectEventObserver* o) {
            bool taken = true;
            for (int i = 0; i < kScenes; ++i)
                taken = o->onSceneDetected(i * 10, i * 10 + 10) && taken;
            return taken;
        }));
        // Every scene is the list's after one turn; the rows are made a few tens of milliseconds per
        // turn, each turn's new rows laid out together in one pass.
        QCoreApplication::processEvents();
        QCOMPARE(c.list->detectRanges().size(), kScenes);
        int turns = 1;
        for (; table->rowCount() < kScenes && turns < 1000; ++turns)
            QCoreApplication::processEvents();
        QCOMPARE(table->rowCount(), kScenes);
        // Laid out in one pass: the rows in sight are shown where the table shows them, the others
        // wait hidden (the first row is at the top; 200 rows of 66 pixels do not fit).
        QTRY_VERIFY(c.row(0)->isVisible());
        QCOMPARE(c.row(0)->geometry().topLeft(), table->visualRect(table->model()->index(0, 0)).topLeft());
        QVERIFY(!c.row(kScenes - 1)->isVisible());
        // At most once a turn, not once for each of the 200 rows.
        QVERIFY2(layouts.count() <= turns + 1,
                 qPrintable(QStringLiteral("%1 passes in %2 turns").arg(layouts.count()).arg(turns)));
        // Scenes that land below the view, one a turn, leave the rows in sight unpainted. Every row
        // shares one remove icon.
        PaintCounter painted;
        c.row(0)->titleLabel()->installEventFilter(&painted);
        for (int i = kScenes; i < kScenes + 10; ++i) {
            QVERIFY(detector->scene(i * 10, i * 10 + 10));
            QTest::qWait(1);
        }
        const int last = kScenes + 9;
        QTRY_COMPARE(table->rowCount(), last + 1);
        QTest::qWait(20);
        QCOMPARE(painted.paints, 0);
        QVERIFY(!c.row(last)->removeButton()->icon().isNull());
        QCOMPARE(c.row(last)->removeButton()->icon().cacheKey(), c.row(0)->removeButton()->icon().cacheKey());
        // Scrolled to the end, the last row shows in its place and the first is put away.
        table->scrollToBottom();
        QTRY_VERIFY(c.row(last)->isVisible());
        QCOMPARE(c.row(last)->geometry().topLeft(),
                 table->visualRect(table->model()->index(last, 0)).topLeft());
        QVERIFY(!c.row(0)->isVisible());
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
    }

    // One shortest scene for the window and the command line: a 12-frame shot is a scene in both.
    void sameScenesAsCommandLine()
    {
#ifndef VK_SCENEDETECT_CLI
        QSKIP("built without the command-line tool");
#else
        const QString path = m_dir.filePath("short-shot.mp4");
        // Shots of 30, 12 and 30 frames.
        QProcess ffmpeg;
        ffmpeg.start(
            "ffmpeg",
            QString("-hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc2=s=160x90:r=25 -f lavfi "
                    "-i smptebars=s=160x90:r=25 -f lavfi -i color=c=0x802040:s=160x90:r=25 "
                    "-filter_complex [0:v]trim=end_frame=30[a];[1:v]trim=end_frame=12[b];"
                    "[2:v]trim=end_frame=30[c];[a][b][c]concat=n=3:v=1[v] -map [v] -c:v libx264 "
                    "-preset ultrafast -pix_fmt yuv420p")
                    .split(' ')
                << path);
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        const QList<QPoint> expected{{0, 30}, {30, 42}, {42, 72}};

        QProcess cli;
        cli.start(QStringLiteral(VK_SCENEDETECT_CLI), {path});
        QVERIFY(cli.waitForFinished(60000) && cli.exitCode() == 0);
        QList<QPoint> printed;
        const QRegularExpression range(QStringLiteral("\\[(\\d+), (\\d+)\\)"));
        for (auto it = range.globalMatch(QString::fromUtf8(cli.readAllStandardOutput())); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            printed.append(QPoint(m.captured(1).toInt(), m.captured(2).toInt()));
        }
        QCOMPARE(printed, expected);

        // No config.ini in this test's home: the window uses the defaults.
        auto item = mediaItem(path);
        QVERIFY(item);
        RealDetectors real;
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        PanelControls c(&dlg);
        auto* progress = dlg.findChild<VkScenceDetectProgress*>();
        QVERIFY(progress);
        QList<int> shown;
        connect(dlg.findChild<QProgressBar*>("SceneDetection_ProgressBar"), &QProgressBar::valueChanged, this,
                [&](int value) { shown << value; });
        dlg.startDetect();
        QCOMPARE(c.detect->text(), QStringLiteral("Stop"));
        QTRY_COMPARE_WITH_TIMEOUT(c.detect->text(), QStringLiteral("Detect"), 60000);
        QCOMPARE(dlg.GetDetectRange(), expected);
        // The engine's own reports climb to the clip's length, then the display is put away.
        QVERIFY(!shown.isEmpty() && std::is_sorted(shown.begin(), shown.end()));
        QCOMPARE(shown.last(), 72);
        QCOMPARE(progress->frames(), qlonglong(72));
        QVERIFY(!progress->isVisible());
#endif
    }

    void clipProbedOnce()
    {
        // The media item reads the clip's streams; the timeline, the preview and the detector that
        // the dialog creates all reuse them instead of decoding the clip's first frames again.
        const QString path = m_dir.filePath(QStringLiteral("probed-once.mp4"));
        QVERIFY(QFile::copy(QStringLiteral(VK_TEST_MEDIA_DIR "/numbered.mp4"), path));
        const int64_t before = vkmedia::VkMediaFileRegistry::streamProbeCount();
        auto item = mediaItem(path);
        QVERIFY(item);
        RealDetectors real;
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        PanelControls c(&dlg);
        QSignalSpy frames(dlg.findChild<VkMediaPlayerWidget*>()->presenter(),
                          &VkMediaPlayerPresenter::sigFrameReady);
        QVERIFY(frames.wait(20000));
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(c.detect->text(), QStringLiteral("Detect"), 60000);
        QVERIFY(c.list->table()->rowCount() > 0);
        QCOMPARE(vkmedia::VkMediaFileRegistry::streamProbeCount() - before, int64_t(1));
    }

    // Rows that arrive out of sight are styled when they are scrolled into view, and then look like
    // the rows that were in sight from the start; every scene has its titled row once the run ends,
    // and the list's colour shows between the rows.
    void rowsOutOfSightStyledWhenShown()
    {
        VkScenceDetectionPanel panel(&m_item, nullptr);
        panel.show();
        PanelControls c(&panel);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        FakeDetector* detector = FakeDetector::last();
        constexpr int kScenes = 200;
        for (int i = 0; i < kScenes; ++i)
            QVERIFY(detector->scene(i * 10, i * 10 + 10));
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.detect->text(), QStringLiteral("Detect"));
        QTableWidget* table = c.list->table();
        QCOMPARE(table->rowCount(), kScenes);
        for (int i = 0; i < kScenes; ++i) {
            QVERIFY(c.row(i));
            QCOMPARE(c.row(i)->titleLabel()->text(), QStringLiteral("Scene %1").arg(i + 1));
            QCOMPARE(c.row(i)->range(), QPoint(i * 10, i * 10 + 10));
        }
        QCoreApplication::processEvents();
        const int last = kScenes - 1;
        QVERIFY(c.row(0)->testAttribute(Qt::WA_WState_Polished));
        QVERIFY(!c.row(last)->testAttribute(Qt::WA_WState_Polished));
        table->scrollToBottom();
        QTRY_VERIFY(c.row(last)->isVisible());
        QCOMPARE(c.row(last)->geometry().topLeft(),
                 table->visualRect(table->model()->index(last, 0)).topLeft());
        QCOMPARE(c.row(last)->titleLabel()->font(), c.row(0)->titleLabel()->font());
        QVERIFY(c.row(last)->titleLabel()->font().bold());
        // The row's own background, in its trailing corner, and the list's around the rows.
        const QImage first = c.row(0)->grab().toImage();
        const QImage shown = c.row(last)->grab().toImage();
        QCOMPARE(shown.pixelColor(shown.width() - 1, shown.height() - 1),
                 first.pixelColor(first.width() - 1, first.height() - 1));
        const QImage view = table->viewport()->grab().toImage();
        QCOMPARE(view.pixelColor(view.width() - 1, view.height() - 1),
                 c.list->grab().toImage().pixelColor(1, 1));
    }
};

VK_TEST_MAIN(TestSceneDetect)
#include "tst_scenedetect.moc"
