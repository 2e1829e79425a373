#include "AccessibilityWalk.h"
#include "MediaPropertyFakes.h"
#include "SceneDetectFakes.h"
#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectListItem.h>
#include <scenedetect/VkScenceDetectListWidget.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkmediaplayer/VkMediaPlayerWidget.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkFramelessDialog.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkShadowDialog.h>
#include <vkwidgets/VkToolButton.h>

#include <QListWidget>
#include <QTableWidget>
#include <QToolButton>

#include <memory>

namespace {

enum class Kind
{
    Startup,
    StartupEmpty,
    ProjectSettings,
    SceneDetection,
    MediaVideo,
    MediaPng,
    MediaStock,
    Unsupported,
};

// One dialog of each kind with the borrowed objects it needs, which must outlive it.
struct DialogUnderTest
{
    FakeMediaInfo info;
    std::unique_ptr<FakeItem> item;
    std::unique_ptr<FakeVideoItem> clip;
    std::unique_ptr<QDialog> dialog;
};

void makeDialog(Kind kind, DialogUnderTest& t)
{
    switch (kind) {
    case Kind::Startup:
    case Kind::StartupEmpty:
        t.dialog = std::make_unique<VkStartupDlg>(nullptr);
        break;
    case Kind::ProjectSettings:
        t.dialog = std::make_unique<VkProjectSettingDialog>(nullptr);
        break;
    case Kind::SceneDetection: {
        t.clip = std::make_unique<FakeVideoItem>();
        auto* dlg = new VkScenceDetectionDlg(t.clip.get(), nullptr);
        t.dialog.reset(dlg);
        dlg->startDetect();
        FakeDetector* detector = FakeDetector::last();
        QVERIFY(detector->scene(0, 120));
        QVERIFY(detector->scene(120, 300));
        QVERIFY(detector->finished());
        QCoreApplication::processEvents();
        break;
    }
    case Kind::MediaVideo:
    case Kind::MediaPng:
    case Kind::MediaStock:
        if (kind == Kind::MediaStock) {
            auto* stock = new FakeStockItem;
            stock->stockSite = IVkAbstractMedia::StockSite_Pixabay;
            stock->stockSource = 1000;
            t.item.reset(stock);
        } else {
            t.item = std::make_unique<FakeItem>();
        }
        t.info.streamFlags = kind == Kind::MediaPng
                                 ? IVkMediaInfo::StreamFlag_Image
                                 : IVkMediaInfo::StreamFlag_Video | IVkMediaInfo::StreamFlag_Audio;
        t.info.width = 1920;
        t.info.height = 1080;
        t.item->info = &t.info;
        t.item->sourcePath =
            kind == Kind::MediaPng ? QStringLiteral("/m/logo.png") : QStringLiteral("/m/clip.mp4");
        t.item->filePath = t.item->sourcePath;
        t.dialog = std::make_unique<VkMediaPropertyDialog>(t.item.get(), nullptr);
        break;
    case Kind::Unsupported:
        t.dialog =
            std::make_unique<VkUnsupportedImgFileDialog>(QStringList{"huge.tif", "bigger.png"}, nullptr);
        break;
    }
}

void addKindColumn()
{
    QTest::addColumn<int>("kind");
}

QWidget* focused()
{
    return QApplication::focusWidget();
}

QString focusedName()
{
    QWidget* w = focused();
    return w ? AccessibilityWalk::spokenName(w) : QStringLiteral("<nothing>");
}

void showActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
}

QString mediaPath(const char* name)
{
    return QStringLiteral(VK_TEST_MEDIA_DIR "/") + QLatin1String(name);
}

VkStartupListItem* startupRow(QListWidget* list, int i)
{
    return qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(i)));
}

VkScenceDetectListItem* sceneRow(VkScenceDetectListWidget* list, int i)
{
    return qobject_cast<VkScenceDetectListItem*>(list->table()->cellWidget(i, 0));
}

// Runs a modal dialog, sends `action` once its loop is up, and returns the result. A dialog that
// the action did not end is ended with -1, which no row expects, so no run can hang.
int runModal(QDialog* dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, dialog, action);
    QTimer::singleShot(0, dialog, [dialog] {
        if (dialog->isVisible())
            dialog->done(-1);
    });
    if (auto* shadow = qobject_cast<VkShadowDialog*>(dialog))
        return shadow->DoModal();
    if (auto* frameless = qobject_cast<VkFramelessDialog*>(dialog))
        return frameless->DoModal();
    return dialog->exec();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void walkCatchesNamelessControls();
    void everyControlNamed_data();
    void everyControlNamed();
    void namesFollowWhatRowsShow();
    void projectSettingsTabOrder();
    void frameClosesLikeOwnPath_data();
    void frameClosesLikeOwnPath();
    void startupEnterOpensCurrentRow_data();
    void startupEnterOpensCurrentRow();
    void startupEnterSkipsHiddenRow();
    void sceneListKeys_data();
    void sceneListKeys();
    void sceneListEnterPreviews();

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
};

void TestAccessibility::initTestCase()
{
    QVERIFY(m_dir.isValid());
    IVkScenceDetect::setFactory([] { return new FakeDetector; });
}

void TestAccessibility::init()
{
    FakeDetector::nextStartResult() = true;
    IVkProjectManager::getInstance()->newProject();
    // Three recent projects, "trip" the newest, so it is the first row.
    const QStringList names{"trip", "wedding", "Birthday"};
    QList<RecentFixture::Entry> entries;
    m_paths.clear();
    for (int i = 0; i < names.size(); ++i) {
        const QString path = RecentFixture::makeProject(QDir(m_dir.path()), QStringLiteral("p%1").arg(i));
        QVERIFY(!path.isEmpty());
        m_paths << path;
        entries.append({names.at(i), path, 1700000000 + i, 1700000000 + 100 - i});
    }
    QVERIFY(RecentFixture::write(entries));
}

void TestAccessibility::cleanup()
{
    QCOMPARE(FakeDetector::alive().size(), 0);
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestAccessibility::cleanupTestCase()
{
    IVkScenceDetect::setFactory({});
}

// The walk below is only worth something if it can fail: a bare icon button must be reported,
// once for the name and once for the tip, and naming it through a tip must settle both.
void TestAccessibility::walkCatchesNamelessControls()
{
    QWidget window;
    auto* bare = new QToolButton(&window);
    bare->setObjectName(QStringLiteral("bare"));
    auto* tipped = new VkToolButton(&window, QStringLiteral("tipped"));
    tipped->setToolTip(QStringLiteral("Remove"));
    window.show();
    const QStringList faults = AccessibilityWalk::unnamedControls(&window);
    QCOMPARE(faults.size(), 2);
    QVERIFY(faults.at(0).contains(QLatin1String("\"bare\"")));
    QCOMPARE(AccessibilityWalk::spokenName(tipped), QStringLiteral("Remove"));
    // An explicit name outlives later tips; a tip-given name follows the tip.
    tipped->setToolTip(QStringLiteral("Delete"));
    QCOMPARE(AccessibilityWalk::spokenName(tipped), QStringLiteral("Delete"));
    tipped->setAccessibleName(QStringLiteral("Remove clip"));
    tipped->setToolTip(QStringLiteral("Discard"));
    QCOMPARE(AccessibilityWalk::spokenName(tipped), QStringLiteral("Remove clip"));
}

void TestAccessibility::everyControlNamed_data()
{
    addKindColumn();
    QTest::newRow("startup") << int(Kind::Startup);
    QTest::newRow("startup, empty library") << int(Kind::StartupEmpty);
    QTest::newRow("project settings") << int(Kind::ProjectSettings);
    QTest::newRow("scene detection with two scenes") << int(Kind::SceneDetection);
    QTest::newRow("properties of a video with sound") << int(Kind::MediaVideo);
    QTest::newRow("properties of a png") << int(Kind::MediaPng);
    QTest::newRow("properties of a stock clip (credit links)") << int(Kind::MediaStock);
    QTest::newRow("unsupported image") << int(Kind::Unsupported);
}

void TestAccessibility::everyControlNamed()
{
    QFETCH(int, kind);
    if (Kind(kind) == Kind::StartupEmpty)
        QVERIFY(RecentFixture::write({}));
    DialogUnderTest t;
    makeDialog(Kind(kind), t);
    QVERIFY(t.dialog);
    t.dialog->show();
    const QStringList faults = AccessibilityWalk::unnamedControls(t.dialog.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

// Names that carry what a row shows: they must follow renumbering and use the whole project name.
void TestAccessibility::namesFollowWhatRowsShow()
{
    {
        VkStartupDlg dlg(nullptr);
        auto* list = dlg.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
        QVERIFY(list);
        auto* remove =
            startupRow(list, 0)->findChild<VkToolButton*>(QStringLiteral("VkStartupListItem_Delete"));
        QCOMPARE(AccessibilityWalk::spokenName(remove), QStringLiteral("Remove project trip"));
        QCOMPARE(list->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("trip"));
    }
    {
        FakeVideoItem clip;
        VkScenceDetectionDlg dlg(&clip, nullptr);
        dlg.startDetect();
        FakeDetector* detector = FakeDetector::last();
        QVERIFY(detector->scene(0, 120));
        QVERIFY(detector->scene(120, 300));
        QVERIFY(detector->scene(300, 450));
        QVERIFY(detector->finished());
        QCoreApplication::processEvents();
        auto* list = dlg.findChild<VkScenceDetectListWidget*>();
        QCOMPARE(AccessibilityWalk::spokenName(sceneRow(list, 1)->removeButton()),
                 QStringLiteral("Remove Scene 2"));
        // Taking out Scene 1 renumbers the others; the former Scene 3 is now "Remove Scene 2".
        sceneRow(list, 0)->removeButton()->click();
        QCOMPARE(list->table()->rowCount(), 2);
        QCOMPARE(AccessibilityWalk::spokenName(sceneRow(list, 1)->removeButton()),
                 QStringLiteral("Remove Scene 2"));
        QCOMPARE(AccessibilityWalk::spokenName(sceneRow(list, 0)->removeButton()),
                 QStringLiteral("Remove Scene 1"));
    }
    {
        VkProjectSettingDialog dlg(nullptr);
        const QStringList expected{"Aspect Ratio", "Resolution",       "Width", "Height", "Frame Rate",
                                   "Color Space",  "Lock aspect ratio"};
        QStringList names;
        for (const char* objectName :
             {"ProjectSettings_AspectRatioBox", "ProjectSettings_ResolutionBox", "ProjectSettings_WidthBox",
              "ProjectSettings_HeightBox", "ProjectSettings_FrameRateBox", "ProjectSettings_ColorSpaceBox",
              "ProjectSettings_unlock_btn"}) {
            QWidget* w = dlg.findChild<QWidget*>(QLatin1String(objectName));
            QVERIFY2(w, objectName);
            names << AccessibilityWalk::spokenName(w);
        }
        QCOMPARE(names, expected);
    }
}

// Tab walks the settings as they stand on the screen: the three rows top to bottom with width,
// height and lock left to right, then CANCEL and OK (OK is the rightmost), then round through the
// title bar's close button back to the first setting, where the window opens.
void TestAccessibility::projectSettingsTabOrder()
{
    VkProjectSettingDialog dlg(nullptr);
    showActive(&dlg);
    QCOMPARE(focusedName(), QStringLiteral("Aspect Ratio"));
    const QStringList expected{"Resolution", "Width",       "Height", "Lock aspect ratio",
                               "Frame Rate", "Color Space", "CANCEL", "OK",
                               "Close",      "Aspect Ratio"};
    QStringList forward;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        forward << focusedName();
    }
    QCOMPARE(forward, expected);

    // Shift+Tab retraces the same stops backwards.
    QStringList backward;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward << focusedName();
    }
    QCOMPARE(backward, (QStringList{"Close", "OK", "CANCEL"}));
    dlg.done(0);
}

void TestAccessibility::frameClosesLikeOwnPath_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("expected");
    // The startup window ends with 1 on every way out it offers (its close button included), so
    // the frame ends it with 1 too; the others' cancel or close paths end with 0.
    const QList<QPair<const char*, Kind>> zeroes{{"project settings", Kind::ProjectSettings},
                                                 {"scene detection", Kind::SceneDetection},
                                                 {"properties", Kind::MediaVideo},
                                                 {"unsupported image", Kind::Unsupported}};
    for (const char* way : {"escape", "window close"})
        QTest::addRow("startup, %s", way) << int(Kind::Startup) << QString::fromLatin1(way) << 1;
    for (const auto& [name, kind] : zeroes) {
        for (const char* way : {"escape", "window close", "title bar close"})
            QTest::addRow("%s, %s", name, way) << int(kind) << QString::fromLatin1(way) << 0;
    }
}

void TestAccessibility::frameClosesLikeOwnPath()
{
    QFETCH(int, kind);
    QFETCH(QString, way);
    QFETCH(int, expected);
    DialogUnderTest t;
    makeDialog(Kind(kind), t);
    QDialog* dialog = t.dialog.get();
    const int result = runModal(dialog, [dialog, way] {
        if (way == QLatin1String("escape")) {
            QTest::keyClick(dialog, Qt::Key_Escape);
        } else if (way == QLatin1String("window close")) {
            dialog->close();
        } else {
            QToolButton* close = nullptr;
            for (QToolButton* b :
                 dialog->findChildren<QToolButton*>(QStringLiteral("VkTopLevelWindowTitleBar_Close")))
                close = b->isVisible() ? b : close;
            QVERIFY(close);
            close->click();
        }
    });
    QCOMPARE(result, expected);
    QVERIFY(!dialog->isVisible());
    if (auto* startup = qobject_cast<VkStartupDlg*>(dialog))
        QCOMPARE(startup->GetOpenProject(), QString());
}

void TestAccessibility::startupEnterOpensCurrentRow_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("row");
    // The list opens with the focus and its first row current but not selected.
    QTest::newRow("enter at once: first row") << QList<int>{} << 0;
    QTest::newRow("down: second row") << QList<int>{Qt::Key_Down} << 1;
    QTest::newRow("end: last row") << QList<int>{Qt::Key_End} << 2;
    // Down three times stops at the last of three rows; Up then goes back one.
    QTest::newRow("down x3, up: second row")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up} << 1;
}

void TestAccessibility::startupEnterOpensCurrentRow()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, row);
    VkStartupDlg dlg(nullptr);
    showActive(&dlg);
    auto* list = dlg.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    QCOMPARE(focused(), list);
    QCOMPARE(list->currentRow(), 0);
    QVERIFY(startupRow(list, 0)->isCurrent());
    QVERIFY(list->selectedItems().isEmpty());
    for (int key : keys)
        QTest::keyClick(list, Qt::Key(key));
    QCOMPARE(list->currentRow(), row);
    // The outline moved with the keyboard and only the current row has it.
    for (int i = 0; i < list->count(); ++i)
        QCOMPARE(startupRow(list, i)->isCurrent(), i == row);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), 1);
    QCOMPARE(dlg.GetOpenProject(), m_paths.at(row));
}

// A search that hides the current row leaves Enter nothing to open, and the window stays; a new
// project is not started behind the user's back either.
void TestAccessibility::startupEnterSkipsHiddenRow()
{
    VkStartupDlg dlg(nullptr);
    showActive(&dlg);
    auto* list = dlg.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    auto* search = dlg.findChild<QLineEdit*>(QStringLiteral("VkStartupDlg_FindProject"));
    QVERIFY(list && search);
    QCOMPARE(list->currentRow(), 0);
    search->setText(QStringLiteral("wedding"));
    QVERIFY(list->item(0)->isHidden());
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    // Enter in the search box does not press a button either.
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.GetOpenProject(), QString());
    dlg.done(1);
}

void TestAccessibility::sceneListKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<QPoint>>("ranges");
    const QList<QPoint> all{{0, 120}, {120, 300}, {300, 450}};
    // No row is current at first: the first Down makes row 0 current, the second row 1.
    QTest::newRow("down, down") << QList<int>{Qt::Key_Down, Qt::Key_Down} << 1 << all;
    QTest::newRow("end") << QList<int>{Qt::Key_End} << 2 << all;
    // Four Downs stop at the last of three rows; Home goes back to the first.
    QTest::newRow("down x4, home") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                                                 Qt::Key_Home}
                                   << 0 << all;
    QTest::newRow("page down from nothing: row 3 of a page of 4, bounded to the last")
        << QList<int>{Qt::Key_PageDown} << 2 << all;
    // Delete takes out the current row through its button: Scene 2 goes, the former Scene 3 is
    // renumbered, and the row that took its place is current.
    QTest::newRow("down, down, delete")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Delete} << 1 << QList<QPoint>{{0, 120}, {300, 450}};
}

void TestAccessibility::sceneListKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, row);
    QFETCH(QList<QPoint>, ranges);
    FakeVideoItem clip;
    VkScenceDetectionDlg dlg(&clip, nullptr);
    showActive(&dlg);
    dlg.startDetect();
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(0, 120));
    QVERIFY(detector->scene(120, 300));
    QVERIFY(detector->scene(300, 450));
    QVERIFY(detector->finished());
    QCoreApplication::processEvents();
    auto* list = dlg.findChild<VkScenceDetectListWidget*>();
    QVERIFY(list);
    list->setFocus();
    QCOMPARE(focused(), list);
    QCOMPARE(list->table()->currentRow(), -1);
    for (int key : keys)
        QTest::keyClick(list, Qt::Key(key));
    QCOMPARE(list->detectRanges(), ranges);
    QCOMPARE(list->table()->currentRow(), row);
    // The keyboard's row is the selected one, by the same property the style sheet reads.
    for (int i = 0; i < list->table()->rowCount(); ++i)
        QCOMPARE(sceneRow(list, i)->titleLabel()->property("selected").toBool(), i == row);
    QCOMPARE(list->table()->rowCount(), ranges.size());
    QCOMPARE(sceneRow(list, row)->titleLabel()->text(), QStringLiteral("Scene %1").arg(row + 1));
    dlg.done(0);
}

// Down, Down, Enter previews the second scene exactly as a click on it does: one request with
// play set, the player limited to the scene [30, 45), i.e. 15 frames from frame 30, and playing.
// Enter goes no further: the dialog's buttons stay untouched.
void TestAccessibility::sceneListEnterPreviews()
{
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item =
        VkMediaItemFactory::create(mediaPath("numbered.mp4"), &error);
    QVERIFY2(item, qPrintable(error));
    VkScenceDetectionDlg dlg(item.get(), nullptr);
    showActive(&dlg);
    dlg.startDetect();
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector->scene(0, 30));
    QVERIFY(detector->scene(30, 45));
    QVERIFY(detector->scene(45, 75));
    QVERIFY(detector->finished());
    auto* list = dlg.findChild<VkScenceDetectListWidget*>();
    QTRY_COMPARE(list->table()->rowCount(), 3);
    VkMediaPlayerPresenter* player = dlg.findChild<VkMediaPlayerWidget*>()->presenter();
    QVERIFY(player);

    QSignalSpy previews(list, &VkScenceDetectListWidget::sigPlaySceneRange);
    QSignalSpy done(&dlg, &QDialog::finished);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(previews.count(), 0);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(previews.count(), 1);
    QCOMPARE(previews.at(0), (QList<QVariant>{30, 45, true}));
    QTRY_COMPARE(player->playRangeFirst(), 30);
    QCOMPARE(player->playRangeCount(), 15);
    QVERIFY(dlg.isVisible());
    QCOMPARE(done.count(), 0);
    player->stop();
    dlg.done(0);
}

VK_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
