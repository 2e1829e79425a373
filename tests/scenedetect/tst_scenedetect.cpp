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

// Makes `path` with the ffmpeg CLI from the lavfi arguments given, split at blanks.
bool ffmpeg(const QString& arguments, const QString& path)
{
    QProcess process;
    process.start(
        QStringLiteral("ffmpeg"),
        QStringLiteral("-hide_banner -loglevel error -nostdin -y ").append(arguments).split(QLatin1Char(' '))
            << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p") << path);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

// The panel's controls as the user sees them.
struct PanelControls
{
    explicit PanelControls(QWidget* root)
        : list(root->findChild<VkScenceDetectListWidget*>())
        , view(root->findChild<VkScenceDetectPlayerView*>())
        , progress(root->findChild<VkScenceDetectProgress*>())
        , bar(root->findChild<QProgressBar*>(QStringLiteral("SceneDetection_ProgressBar")))
    {
        for (VkPushButton* b : root->findChildren<VkPushButton*>())
            (b->text() == QLatin1String("Add To Timeline") ? add : detect) = b;
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
    QString caption() const { return detect->text(); }
    // Idle: the run is over, its scenes can be previewed, removed and added.
    bool idle() const
    {
        return caption() == QLatin1String("Detect") && add->isEnabled() && view->isEnabled() &&
               row(0)->removeButton()->isEnabled();
    }
    VkScenceDetectListWidget* list;
    VkScenceDetectPlayerView* view;
    VkScenceDetectProgress* progress;
    QProgressBar* bar;
    VkPushButton* add = nullptr;
    VkPushButton* detect = nullptr;
};

QString timeText(qint64 frame)
{
    return VkConvertUtility::frame2String(int(frame), 30.0f);
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
        QVERIFY2(QFile::exists(QStringLiteral(VK_TEST_MEDIA_DIR "/.stamp")),
                 "the generated test media is missing");
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
        QTest::newRow("9:16") << "108x192" << QSize(31, 56); // 31.5
        // Wider than the box: 100 wide, 100 / 2.35 = 42.55 -> 42 high.
        QTest::newRow("2.35:1") << "235x100" << QSize(100, 42);
    }
    // A scene arrives as its start, end, length and a thumbnail of its first frame fitted to the row.
    void thumbnailFitting()
    {
        QFETCH(QString, size);
        const QString path = m_dir.filePath(QStringLiteral("fit-%1.mp4").arg(size));
        QVERIFY(ffmpeg(QStringLiteral("-f lavfi -i testsrc2=s=%1:r=25:d=0.4").arg(size), path));
        auto item = mediaItem(path);
        QVERIFY(item);
        VkScenceDetectPresenter presenter(item.get(), nullptr);
        QSignalSpy results(&presenter, &VkScenceDetectPresenter::signalDetectResult);
        presenter.openMedia();
        presenter.startDetect();
        FakeDetector* detector = FakeDetector::last();
        QCOMPARE(detector->path, path);
        QVERIFY(detector->scene(2, 7));
        QVERIFY(detector->finished());
        QTRY_COMPARE(results.count(), 1);
        QCOMPARE(results.first().mid(0, 3), (QList<QVariant>{2, 7, 5}));
        const QImage img = results.first().at(3).value<QImage>();
        QTEST(img.size(), "thumbnail");
        // The scene's first frame, not an empty buffer: testsrc2 is never all black.
        QVERIFY(img.pixelColor(img.width() / 2, img.height() / 2) != QColor(0, 0, 0, 0));
    }

    void stateFollowsDetector_data()
    {
        QTest::addColumn<int>("when");
        // The run ends on the caller's thread inside start(): its end arrives before the start signal.
        QTest::newRow("ends inside start") << 0;
        // The run ends on the detector's thread before start() returns: its end is queued behind it.
        QTest::newRow("ends on its thread during start") << 1;
        QTest::newRow("ends after start") << 2;
    }
    void stateFollowsDetector()
    {
        QFETCH(int, when);
        const auto run = [](IVkScenceDetectEventObserver* o) {
            o->onSceneDetected(0, 40);
            o->onDetectFinished();
            return true;
        };
        if (when == 0)
            FakeDetector::duringStart() = run;
        else if (when == 1)
            FakeDetector::duringStart() = [run](IVkScenceDetectEventObserver* o) {
                std::thread(run, o).join();
            };
        VkScenceDetectionPanel panel(&m_item, nullptr);
        PanelControls c(&panel);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        FakeDetector* detector = FakeDetector::last();
        if (when == 2)
            detector->notify(run);
        // Whatever the order, the window ends where the detector is: idle, with its scene usable.
        QTRY_VERIFY(c.idle());
        QCoreApplication::processEvents();
        QVERIFY(c.idle());
        QCOMPARE(c.list->detectRanges(), (QList<QPoint>{{0, 40}}));
        // The next click starts a new run rather than stopping a finished one, here refused by the
        // detector: the list was cleared before it said no; nothing else moved, nothing is left to add.
        FakeDetector::duringStart() = nullptr;
        FakeDetector::nextStartResult() = false;
        QSignalSpy started(c.list, &VkScenceDetectListWidget::sigStartDetect);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QCOMPARE(detector->startCalls, 2);
        QCOMPARE(detector->stopCalls, 0);
        QCOMPARE(c.list->table()->rowCount(), 0);
        QCOMPARE(c.caption(), QStringLiteral("Detect"));
        QVERIFY(c.view->isEnabled() && !c.add->isEnabled());
        QCOMPARE(started.count(), 0);
    }

    void rowsRenumberedAfterRemovals()
    {
        VkScenceDetectionDlg dlg(&m_item, nullptr);
        PanelControls c(&dlg);
        dlg.startDetect();
        FakeDetector* detector = FakeDetector::last();
        for (const QPoint& scene : {QPoint(0, 120), QPoint(120, 300), QPoint(300, 450)})
            QVERIFY(detector->scene(scene.x(), scene.y()));
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.titles(), QStringLiteral("Scene 1|Scene 2|Scene 3").split(QLatin1Char('|')));
        // Row 2 is [120, 300): 180 frames long, shown from frame 120 to its last frame, 299.
        const auto context =
            c.row(1)->findChildren<VkLabel*>(QStringLiteral("SceneDetectionListItem_Context"));
        QCOMPARE(context.value(0)->text(), QStringLiteral("Duration: ") + timeText(180));
        QCOMPARE(context.value(1)->text(), timeText(120) + QLatin1Char('-') + timeText(299));
        // The current row's labels are marked, and only those.
        c.list->table()->setCurrentCell(0, 0);
        c.list->table()->setCurrentCell(2, 0);
        for (int row : {0, 2}) {
            for (VkLabel* label : c.row(row)->findChildren<VkLabel*>())
                QCOMPARE(label->property("selected").toBool(), row == 2);
        }

        QStringList order;
        connect(c.list, &VkScenceDetectListWidget::sigAllItemDeleted, this,
                [&] { order << QStringLiteral("all"); });
        connect(c.list, &VkScenceDetectListWidget::sigDeleteRange, this,
                [&] { order << QStringLiteral("range"); });
        QTest::mouseClick(c.row(1)->removeButton(), Qt::LeftButton);
        QCOMPARE(c.titles(), QStringLiteral("Scene 1|Scene 2").split(QLatin1Char('|')));
        QVERIFY(c.add->isEnabled());
        // "Add To Timeline" hands the remaining scenes to the host.
        QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(c.add, Qt::LeftButton); });
        QTimer::singleShot(10000, &dlg, [&] { dlg.done(-1); });
        QCOMPARE(dlg.DoModal(), 1);
        QCOMPARE(dlg.GetDetectRange(), (QList<QPoint>{{0, 120}, {300, 450}}));
        // The last removal says "all deleted" first, then "deleted"; nothing is left to add.
        QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
        QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
        QCOMPARE(order, QStringLiteral("range range all range").split(QLatin1Char(' ')));
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
        QCOMPARE(player->mediaLength(), 75);
        QTest::mouseClick(c.detect, Qt::LeftButton);
        FakeDetector* detector = FakeDetector::last();
        QVERIFY(detector->scene(0, 30));
        QVERIFY(detector->scene(30, 45));
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.caption(), QStringLiteral("Detect"));
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
        QTest::addColumn<int>("end");
        QTest::addColumn<qlonglong>("lastShown");
        // scenes.mp4 has 180 frames, a new shot every 30. A finished run's last report is the whole clip.
        QTest::newRow("finished") << 0 << qlonglong(180);
        // After "Stop" the reports still on their way are dropped: the display keeps 72.
        QTest::newRow("stopped") << 1 << qlonglong(72);
        QTest::newRow("failed") << 2 << qlonglong(72);
    }
    void progressWhileRunning()
    {
        QFETCH(int, end);
        QFETCH(qlonglong, lastShown);
        auto item = generated("scenes.mp4");
        QVERIFY(item);
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        PanelControls c(&dlg);
        auto* caption = dlg.findChild<VkLabel*>(QStringLiteral("SceneDetection_ProgressText"));
        QSignalSpy frames(dlg.findChild<VkMediaPlayerWidget*>()->presenter(),
                          &VkMediaPlayerPresenter::sigFrameReady);
        // Idle: nothing to show.
        QVERIFY(!c.progress->isVisible());
        // A run disables the preview; were the keyboard focus left there, the window would hand it to
        // its title bar's close button, where Enter closes it.
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto* slider = dlg.findChild<VkToolSlider*>();
        slider->setFocus(Qt::TabFocusReason);
        QCOMPARE(dlg.focusWidget(), slider);
        dlg.startDetect();
        QCOMPARE(dlg.focusWidget(), c.detect);
        QVERIFY(c.progress->isVisible());
        QCOMPARE(c.bar->maximum(), 180);
        QCOMPARE(c.bar->value(), 0);
        QVERIFY(!c.bar->accessibleName().isEmpty());
        FakeDetector* detector = FakeDetector::last();
        QVERIFY(detector->scene(0, 30) && detector->scene(30, 60) && detector->scene(60, 90));
        QVERIFY(detector->progress(1, 180) && detector->progress(72, 180));
        QTRY_COMPARE(c.bar->value(), 72);
        QCOMPARE(caption->text(), QStringLiteral("Analysed 72 of 180 frames (40%)"));
        QCOMPARE(c.bar->accessibleDescription(), caption->text());
        // The preview follows the scenes found: the last one's first frame.
        QTRY_VERIFY(!frames.isEmpty() && frames.last().at(1).toLongLong() == 60);
        QVERIFY(!c.row(0)->removeButton()->isEnabled() && !c.view->isEnabled());
        if (end == 0) {
            // Drawn in the theme: its accent up to 40 %, its track colour after.
            const QImage shot = dlg.grab().toImage();
            const auto colourAt = [&](double share) {
                const QPoint at =
                    c.bar->mapTo(&dlg, QPoint(int(c.bar->width() * share), c.bar->height() / 2));
                return shot.pixelColor(at * shot.devicePixelRatio());
            };
            QCOMPARE(colourAt(0.2), QColor(0x55, 0xe5, 0xc5));
            QCOMPARE(colourAt(0.8), QColor(0x3a, 0x41, 0x4b));
            const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
            if (!folder.isEmpty())
                QVERIFY(shot.save(folder + (shot.devicePixelRatio() > 1.0
                                                ? QStringLiteral("/scene-detection-progress@2x.png")
                                                : QStringLiteral("/scene-detection-progress.png"))));
            QVERIFY(detector->progress(180, 180) && detector->finished());
        } else if (end == 1) {
            // Rows cannot be removed, nor the preview used, while the detector runs. A click on a row:
            // the list asks to play its scene, the window refuses.
            QSignalSpy play(c.list, qOverload<int, int, bool>(&VkScenceDetectListWidget::sigPlaySceneRange));
            QTest::mouseClick(c.row(1), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
            QCOMPARE(play.count(), 1);
            QCOMPARE(play.first(), (QList<QVariant>{30, 60, true}));
            QVERIFY(!dlg.findChild<VkMediaPlayerWidget*>()->presenter()->isPlaying());
            // Until the detector confirms the stop the window stays running, also across a language
            // change, whose caption must keep naming what a click does next. Reports and scenes
            // already on their way are answered false and dropped.
            QTest::mouseClick(c.detect, Qt::LeftButton);
            QCOMPARE(detector->stopCalls, 1);
            QEvent languageChange(QEvent::LanguageChange);
            auto* panel = dlg.findChild<VkScenceDetectionPanel*>();
            QCoreApplication::sendEvent(panel, &languageChange);
            QCOMPARE(c.caption(), QStringLiteral("Stop"));
            QVERIFY(!c.add->isEnabled());
            QVERIFY(!detector->progress(100, 180) && !detector->scene(90, 120));
            QVERIFY(detector->stopped());
            QTRY_VERIFY(c.idle());
            QCoreApplication::sendEvent(panel, &languageChange);
            QCOMPARE(c.list->detectRanges().size(), 3);
        } else {
            QVERIFY(detector->failed());
        }
        QTRY_COMPARE(c.caption(), QStringLiteral("Detect"));
        QCOMPARE(dlg.focusWidget(), c.detect);
        QCOMPARE(c.progress->frames(), lastShown);
        QCOMPARE(c.progress->frameCount(), qlonglong(180));
        QVERIFY(!c.progress->isVisible());
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
        QList<int> shown;
        connect(c.bar, &QProgressBar::valueChanged, this, [&](int value) { shown << value; });
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(c.detect->text(), QStringLiteral("Detect"), 60000);
        // The engine's own reports climb to the clip's length.
        QVERIFY(!shown.isEmpty() && std::is_sorted(shown.begin(), shown.end()));
        QCOMPARE(shown.last(), 75);
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
