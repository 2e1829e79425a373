#include "SceneDetectFakes.h"
#include "VkModalRun.h"
#include "VkTestMain.h"
#include "VkTestProcess.h"

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

#include <QProgressBar>
#include <QScrollBar>
#include <QTableWidget>

#include <algorithm>
#include <memory>
#include <thread>

using namespace VkTestLiterals;

namespace {

// The panel's controls as the user sees them.
struct PanelControls
{
    explicit PanelControls(QWidget* root)
        : list(root->findChild<VkScenceDetectListWidget*>())
        , view(root->findChild<VkScenceDetectPlayerView*>())
        , progress(root->findChild<VkScenceDetectProgress*>())
        , bar(root->findChild<QProgressBar*>("SceneDetection_ProgressBar"_s))
    {
        for (VkPushButton* b : root->findChildren<VkPushButton*>())
            (b->text() == QLatin1String("Add To Timeline") ? add : detect) = b;
    }
    // Clicks "Detect" and returns the detector the click started.
    FakeDetector* start() const
    {
        QTest::mouseClick(detect, Qt::LeftButton);
        return FakeDetector::last();
    }
    VkScenceDetectListItem* row(int i) const
    {
        return qobject_cast<VkScenceDetectListItem*>(list->table()->cellWidget(i, 0));
    }
    QString titles() const
    {
        QStringList t;
        for (int i = 0; i < list->table()->rowCount(); ++i)
            t << row(i)->titleLabel()->text();
        return t.join(QLatin1Char('|'));
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

} // namespace

class TestSceneDetect : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeVideoItem m_item;

private slots:
    void cleanupTestCase() { IVkScenceDetect::setFactory({}); }
    void init()
    {
        IVkScenceDetect::setFactory([] { return new FakeDetector; });
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
        const QString path = m_dir.filePath("fit-%1.mp4"_s.arg(size));
        const QString args =
            "-loglevel error -nostdin -f lavfi -i testsrc2=s=%1:r=25:d=0.4 -pix_fmt yuv420p"_s;
        QCOMPARE(vkRunProcess("ffmpeg"_s, args.arg(size).split(QLatin1Char(' ')) << path).exitCode, 0);
        QString error;
        auto item = VkMediaItemFactory::create(path, &error);
        QVERIFY2(item, qPrintable(error));
        VkScenceDetectPresenter presenter(item.get(), nullptr);
        QSignalSpy results(&presenter, &VkScenceDetectPresenter::signalDetectResult);
        presenter.openMedia();
        presenter.startDetect();
        QCOMPARE(FakeDetector::last()->path, path);
        QVERIFY(FakeDetector::last()->scene(2, 7) && FakeDetector::last()->finished());
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
        FakeDetector* detector = c.start();
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
        c.start();
        QCOMPARE(detector->startCalls, 2);
        QCOMPARE(detector->stopCalls, 0);
        QCOMPARE(c.list->table()->rowCount(), 0);
        QCOMPARE(c.caption(), "Detect"_s);
        QVERIFY(c.view->isEnabled() && !c.add->isEnabled());
        QCOMPARE(started.count(), 0);
    }

    void rowsRenumberedAfterRemovals()
    {
        VkScenceDetectionDlg dlg(&m_item, nullptr);
        PanelControls c(&dlg);
        FakeDetector* detector = c.start();
        QVERIFY(detector->scene(0, 120) && detector->scene(120, 300) && detector->scene(300, 450));
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.titles(), "Scene 1|Scene 2|Scene 3"_s);
        // Row 2 is [120, 300): 180 frames long, shown from frame 120 to its last frame, 299.
        const auto time = [](int frame) { return VkConvertUtility::frame2String(frame, 30.0f); };
        const auto context = c.row(1)->findChildren<VkLabel*>("SceneDetectionListItem_Context"_s);
        QCOMPARE(context.value(0)->text(), "Duration: "_s + time(180));
        QCOMPARE(context.value(1)->text(), "%1-%2"_s.arg(time(120), time(299)));
        // The current row's labels are marked, and only those.
        c.list->table()->setCurrentCell(0, 0);
        c.list->table()->setCurrentCell(2, 0);
        for (int row : {0, 2}) {
            for (VkLabel* label : c.row(row)->findChildren<VkLabel*>())
                QCOMPARE(label->property("selected").toBool(), row == 2);
        }

        QStringList order;
        connect(c.list, &VkScenceDetectListWidget::sigAllItemDeleted, this, [&] { order << "all"_s; });
        connect(c.list, &VkScenceDetectListWidget::sigDeleteRange, this, [&] { order << "range"_s; });
        QTest::mouseClick(c.row(1)->removeButton(), Qt::LeftButton);
        QCOMPARE(c.titles(), "Scene 1|Scene 2"_s);
        // "Add To Timeline" hands the remaining scenes to the host.
        QCOMPARE(runModal(&dlg, [&] { QTest::mouseClick(c.add, Qt::LeftButton); }), 1);
        QCOMPARE(dlg.GetDetectRange(), (QList<QPoint>{{0, 120}, {300, 450}}));
        // The last removal says "all deleted" first, then "deleted"; nothing is left to add.
        QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
        QTest::mouseClick(c.row(0)->removeButton(), Qt::LeftButton);
        QCOMPARE(order.join(QLatin1Char(' ')), "range range all range"_s);
        QVERIFY(!c.add->isEnabled());
    }

    void progressWhileRunning_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<qlonglong>("lastShown");
        // scenes.mp4 has 180 frames, a new shot every 30. A finished run's last report is the whole clip.
        // It ends idle, and a click on a row then plays that scene.
        QTest::newRow("finished") << 0 << qlonglong(180);
        // After "Stop" the reports still on their way are dropped: the display keeps 72.
        QTest::newRow("stopped") << 1 << qlonglong(72);
        QTest::newRow("failed") << 2 << qlonglong(72);
    }
    void progressWhileRunning()
    {
        QFETCH(int, end);
        QFETCH(qlonglong, lastShown);
        QString error;
        auto item = VkMediaItemFactory::create(QStringLiteral(VK_TEST_MEDIA_DIR "/scenes.mp4"), &error);
        QVERIFY2(item, qPrintable(error));
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        PanelControls c(&dlg);
        auto* caption = dlg.findChild<VkLabel*>("SceneDetection_ProgressText"_s);
        VkMediaPlayerPresenter* player = dlg.findChild<VkMediaPlayerWidget*>()->presenter();
        QSignalSpy frames(player, &VkMediaPlayerPresenter::sigFrameReady);
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
        QCOMPARE(caption->text(), "Analysed 72 of 180 frames (40%)"_s);
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
                QVERIFY(shot.save(folder + "/scene-detection-progress%1.png"_s.arg(
                                               shot.devicePixelRatio() > 1.0 ? "@2x"_s : QString())));
            QVERIFY(detector->progress(180, 180) && detector->finished());
        } else if (end == 1) {
            // Rows cannot be removed, nor the preview used, while the detector runs. A click on a row:
            // the list asks to play its scene, the window refuses.
            QSignalSpy play(c.list, qOverload<int, int, bool>(&VkScenceDetectListWidget::sigPlaySceneRange));
            QTest::mouseClick(c.row(1), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
            QCOMPARE(play.count(), 1);
            QCOMPARE(play.first(), (QList<QVariant>{30, 60, true}));
            QVERIFY(!player->isPlaying());
            // Until the detector confirms the stop the window stays running, also across a language
            // change, whose caption must keep naming what a click does next. Reports and scenes
            // already on their way are answered false and dropped.
            QTest::mouseClick(c.detect, Qt::LeftButton);
            QCOMPARE(detector->stopCalls, 1);
            QEvent languageChange(QEvent::LanguageChange);
            auto* panel = dlg.findChild<VkScenceDetectionPanel*>();
            QCoreApplication::sendEvent(panel, &languageChange);
            QCOMPARE(c.caption(), "Stop"_s);
            QVERIFY(!c.add->isEnabled());
            QVERIFY(!detector->progress(100, 180) && !detector->scene(90, 120));
            QVERIFY(detector->stopped());
            QTRY_VERIFY(c.idle());
            QCoreApplication::sendEvent(panel, &languageChange);
            QCOMPARE(c.list->detectRanges().size(), 3);
        } else {
            QVERIFY(detector->failed());
        }
        QTRY_COMPARE(c.caption(), "Detect"_s);
        QCOMPARE(dlg.focusWidget(), c.detect);
        QCOMPARE(c.progress->frames(), lastShown);
        QCOMPARE(c.progress->frameCount(), qlonglong(180));
        QVERIFY(!c.progress->isVisible());
        if (end != 0)
            return;
        // The scenes and the end of the detection moved the preview (to 60, then back to 0); let the
        // frames already on their way arrive, so that only the click's frames are counted.
        QTRY_COMPARE(player->currentFrame(), 0);
        for (int quiet = 0; quiet < 50 && frames.wait(200);)
            ++quiet;
        frames.clear();
        // A click on the second row plays [30, 60) from its start: every frame shown lies in the
        // scene, and playback stops at its end.
        QTest::mouseClick(c.row(1), Qt::LeftButton, Qt::NoModifier, QPoint(150, 28));
        // A busy GUI thread: the player runs through the range's 30 frames (1.2 s) meanwhile, and its
        // frames wait in the queue. Whenever playback is seen over, its last frame must be shown.
        QThread::msleep(3000);
        QTRY_VERIFY_WITH_TIMEOUT(!player->isPlaying(), 20000);
        QCOMPARE(player->currentFrame(), 59);
        QCOMPARE(player->playRangeFirst(), 30);
        QCOMPARE(player->playRangeCount(), 30);
        for (const QList<QVariant>& f : frames) {
            const qlonglong n = f.at(1).toLongLong();
            QVERIFY2(n >= 30 && n < 60, qPrintable(QString::number(n)));
        }
        QCOMPARE(frames.last().at(1).toLongLong(), 59);
    }

    // Scenes reach the list as they are found. Scenes queued before the GUI thread looks are laid out
    // together, at most once a turn of its loop rather than once a row; rows out of sight wait hidden
    // and unstyled, and once scrolled into view look like the rows in sight from the start.
    void rowsAppearAsScenesAreFound()
    {
        VkScenceDetectionPanel panel(&m_item, nullptr);
        panel.show();
        PanelControls c(&panel);
        FakeDetector* detector = c.start();
        QTableWidget* table = c.list->table();
        // Every layout pass that finds more rows than fit moves the scroll bar's range.
        QSignalSpy layouts(table->verticalScrollBar(), &QScrollBar::rangeChanged);
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
        QVERIFY2(layouts.count() <= turns + 1,
                 qPrintable("%1 passes in %2 turns"_s.arg(layouts.count()).arg(turns)));
        // The first row is at the top; 200 rows of 66 pixels do not fit.
        QTRY_VERIFY(c.row(0)->isVisible());
        QCOMPARE(c.row(0)->geometry().topLeft(), table->visualRect(table->model()->index(0, 0)).topLeft());
        QVERIFY(!c.row(kScenes - 1)->isVisible());
        // Then scenes that land below the view, one a turn.
        const int last = kScenes + 9;
        for (int i = kScenes; i <= last; ++i) {
            QVERIFY(detector->scene(i * 10, i * 10 + 10));
            QTest::qWait(1);
        }
        QTRY_COMPARE(table->rowCount(), last + 1);
        QVERIFY(detector->finished());
        QTRY_COMPARE(c.caption(), "Detect"_s);
        for (int i = 0; i <= last; ++i) {
            QVERIFY(c.row(i));
            QCOMPARE(c.row(i)->titleLabel()->text(), "Scene %1"_s.arg(i + 1));
            QCOMPARE(c.row(i)->range(), QPoint(i * 10, i * 10 + 10));
        }
        // Every row shares one remove icon.
        QVERIFY(!c.row(last)->removeButton()->icon().isNull());
        QCOMPARE(c.row(last)->removeButton()->icon().cacheKey(), c.row(0)->removeButton()->icon().cacheKey());
        QVERIFY(c.row(0)->testAttribute(Qt::WA_WState_Polished));
        QVERIFY(!c.row(last)->testAttribute(Qt::WA_WState_Polished));
        // Scrolled to the end, the last row shows in its place, styled as the first, which is put away.
        table->scrollToBottom();
        QTRY_VERIFY(c.row(last)->isVisible());
        QCOMPARE(c.row(last)->geometry().topLeft(),
                 table->visualRect(table->model()->index(last, 0)).topLeft());
        QVERIFY(!c.row(0)->isVisible());
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

    void clipProbedOnce()
    {
        // The media item reads the clip's streams; the timeline, the preview and the detector that
        // the dialog creates all reuse them instead of decoding the clip's first frames again.
        const QString path = m_dir.filePath("probed-once.mp4"_s);
        QVERIFY(QFile::copy(QStringLiteral(VK_TEST_MEDIA_DIR "/numbered.mp4"), path));
        const int64_t before = vkmedia::VkMediaFileRegistry::streamProbeCount();
        QString error;
        auto item = VkMediaItemFactory::create(path, &error);
        QVERIFY2(item, qPrintable(error));
        IVkScenceDetect::setFactory({}); // the built-in detector, up to the next test's init()
        VkScenceDetectionDlg dlg(item.get(), nullptr);
        dlg.show();
        PanelControls c(&dlg);
        QSignalSpy frames(dlg.findChild<VkMediaPlayerWidget*>()->presenter(),
                          &VkMediaPlayerPresenter::sigFrameReady);
        QVERIFY(frames.wait(20000));
        QList<int> shown;
        connect(c.bar, &QProgressBar::valueChanged, this, [&](int value) { shown << value; });
        QTest::mouseClick(c.detect, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(c.caption(), "Detect"_s, 60000);
        // The engine's own reports climb to the clip's length.
        QVERIFY(!shown.isEmpty() && std::is_sorted(shown.begin(), shown.end()));
        QCOMPARE(shown.last(), 75);
        QVERIFY(c.list->table()->rowCount() > 0);
        QCOMPARE(vkmedia::VkMediaFileRegistry::streamProbeCount() - before, int64_t(1));
    }
};

VK_TEST_MAIN(TestSceneDetect)
#include "tst_scenedetect.moc"
