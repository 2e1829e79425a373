#include "MediaPropertyFakes.h"
#include "SceneDetectFakes.h"
#include "StartupFixtures.h"
#include "VkModalRun.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectListItem.h>
#include <scenedetect/VkScenceDetectListWidget.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <QToolButton>

#include <memory>

namespace {

// The name a screen reader announces. Qt on Linux reports a combo box's current entry as its name
// and hands the given name over through the label relation, so a combo box's is its accessible name.
QString spokenName(QWidget* w)
{
    if (qobject_cast<QComboBox*>(w))
        return w->accessibleName().trimmed();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

// Every control of root that Tab reaches or that is an icon-only button (shown or not) without a
// spoken name, and icon-only buttons without a tool tip. Parts of compound controls (a spin box's
// edit, a scroll area's viewport and bars) speak through their control.
QStringList unnamedControls(QWidget* root)
{
    QStringList faults;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const QWidget* parent = w->parentWidget();
        if (w->focusProxy() || qobject_cast<const QAbstractSpinBox*>(parent) ||
            qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractScrollArea*>(parent))
            continue;
        auto* button = qobject_cast<const QAbstractButton*>(w);
        const bool iconOnly = button && button->text().trimmed().isEmpty();
        if (!iconOnly && !(w->isVisibleTo(root) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus))
            continue;
        const QString what =
            QStringLiteral("%1 \"%2\"").arg(QLatin1String(w->metaObject()->className()), w->objectName());
        if (spokenName(w).isEmpty())
            faults << what + QStringLiteral(" has no accessible name");
        if (iconOnly && w->toolTip().isEmpty())
            faults << what + QStringLiteral(" has no tool tip");
    }
    return faults;
}

enum class Kind
{
    Startup,
    ProjectSettings,
    SceneDetection,
    MediaVideo,
    MediaPng,
    MediaStock,
    Unsupported,
};

// Starts a detection and lets the fake detector report `scenes` and its end.
void detect(VkScenceDetectionDlg& dlg, const QList<QPoint>& scenes)
{
    dlg.startDetect();
    FakeDetector* detector = FakeDetector::last();
    QVERIFY(detector);
    for (const QPoint& s : scenes)
        QVERIFY(detector->scene(s.x(), s.y()));
    QVERIFY(detector->finished());
    QCoreApplication::processEvents();
}

const QList<QPoint> kThreeScenes{{0, 120}, {120, 300}, {300, 450}};

// One dialog of each kind with the borrowed objects it needs, which must outlive it.
struct DialogUnderTest
{
    explicit DialogUnderTest(Kind kind)
    {
        switch (kind) {
        case Kind::Startup:
            dialog = std::make_unique<VkStartupDlg>(nullptr);
            break;
        case Kind::ProjectSettings:
            dialog = std::make_unique<VkProjectSettingDialog>(nullptr);
            break;
        case Kind::SceneDetection: {
            auto* dlg = new VkScenceDetectionDlg(&clip, nullptr);
            dialog.reset(dlg);
            detect(*dlg, kThreeScenes.mid(0, 2));
            break;
        }
        case Kind::MediaVideo:
        case Kind::MediaPng:
        case Kind::MediaStock: {
            if (kind == Kind::MediaStock) {
                auto* stock = new FakeStockItem;
                stock->stockSite = IVkAbstractMedia::StockSite_Pixabay;
                stock->stockSource = 1000;
                item.reset(stock);
            } else {
                item = std::make_unique<FakeItem>();
            }
            const bool png = kind == Kind::MediaPng;
            info.streamFlags = png ? IVkMediaInfo::StreamFlag_Image
                                   : IVkMediaInfo::StreamFlag_Video | IVkMediaInfo::StreamFlag_Audio;
            info.width = 1920;
            info.height = 1080;
            item->info = &info;
            item->sourcePath = item->filePath =
                png ? QStringLiteral("/m/logo.png") : QStringLiteral("/m/clip.mp4");
            dialog = std::make_unique<VkMediaPropertyDialog>(item.get(), nullptr);
            break;
        }
        case Kind::Unsupported:
            dialog = std::make_unique<VkUnsupportedImgFileDialog>(
                QStringList{QStringLiteral("huge.tif"), QStringLiteral("bigger.png")}, nullptr);
            break;
        }
    }

    FakeMediaInfo info;
    std::unique_ptr<FakeItem> item;
    FakeVideoItem clip;
    std::unique_ptr<QDialog> dialog;
};

} // namespace

// Accessible names, keyboard paths and the frame's ways out across the five dialogs.
class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        IVkScenceDetect::setFactory([] { return new FakeDetector; });
    }

    void init()
    {
        FakeDetector::nextStartResult() = true;
        IVkProjectManager::getInstance()->newProject();
        // Three recent projects, "trip" the newest, so it is the first row.
        m_paths = RecentFixture::listProjects(
            QDir(m_dir.path()), QString::fromLatin1("trip|wedding|Birthday").split(QLatin1Char('|')));
        QCOMPARE(m_paths.size(), 3);
    }

    void cleanup()
    {
        QCOMPARE(FakeDetector::alive().size(), 0);
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
    void cleanupTestCase() { IVkScenceDetect::setFactory({}); }

    // The walk is only worth something if it can fail: a bare icon button is reported for its name and
    // its tip, and a tip settles both. A tip-given name follows the tip; an explicit one outlives it.
    void walkCatchesNamelessControls()
    {
        QWidget window;
        (new QToolButton(&window))->setObjectName(QStringLiteral("bare"));
        auto* tipped = new VkToolButton(&window, QStringLiteral("tipped"));
        tipped->setToolTip(QStringLiteral("Remove"));
        window.show();
        QCOMPARE(unnamedControls(&window).filter(QStringLiteral("\"bare\" has no")).size(), 2);
        QCOMPARE(unnamedControls(&window).size(), 2);
        tipped->setToolTip(QStringLiteral("Delete"));
        QCOMPARE(spokenName(tipped), QStringLiteral("Delete"));
        tipped->setAccessibleName(QStringLiteral("Remove clip"));
        tipped->setToolTip(QStringLiteral("Discard"));
        QCOMPARE(spokenName(tipped), QStringLiteral("Remove clip"));
    }

    void everyControlNamed_data()
    {
        QTest::addColumn<int>("kind");
        // The empty library's picture and text take no keyboard stop; the listed one adds the rows.
        QTest::newRow("startup") << int(Kind::Startup);
        QTest::newRow("project settings") << int(Kind::ProjectSettings);
        QTest::newRow("scene detection with two scenes") << int(Kind::SceneDetection);
        QTest::newRow("properties of a video with sound") << int(Kind::MediaVideo);
        QTest::newRow("properties of a png") << int(Kind::MediaPng);
        QTest::newRow("properties of a stock clip (credit links)") << int(Kind::MediaStock);
        QTest::newRow("unsupported image") << int(Kind::Unsupported);
    }

    void everyControlNamed()
    {
        QFETCH(int, kind);
        DialogUnderTest t{Kind(kind)};
        t.dialog->show();
        const QStringList faults = unnamedControls(t.dialog.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Names that carry what a row shows: they must follow renumbering and use the whole project name.
    void namesFollowWhatRowsShow()
    {
        {
            VkStartupDlg dlg(nullptr);
            QListWidget* list = listOf(&dlg);
            QVERIFY(list);
            auto* remove =
                rowAt(list, 0)->findChild<VkToolButton*>(QStringLiteral("VkStartupListItem_Delete"));
            QCOMPARE(spokenName(remove), QStringLiteral("Remove project trip"));
            QCOMPARE(list->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("trip"));
        }
        FakeVideoItem clip;
        VkScenceDetectionDlg dlg(&clip, nullptr);
        detect(dlg, kThreeScenes);
        auto* list = dlg.findChild<VkScenceDetectListWidget*>();
        // Taking out Scene 1 renumbers the others; the former Scene 3 is now "Remove Scene 2".
        sceneRow(list, 0)->removeButton()->click();
        QCOMPARE(list->table()->rowCount(), 2);
        QCOMPARE(spokenName(sceneRow(list, 0)->removeButton()), QStringLiteral("Remove Scene 1"));
        QCOMPARE(spokenName(sceneRow(list, 1)->removeButton()), QStringLiteral("Remove Scene 2"));
    }

    // Tab walks the settings as they stand on the screen: rows top to bottom, left to right, then
    // CANCEL and OK, then round through the title bar's close button back to where the window opens.
    void projectSettingsTabOrder()
    {
        VkProjectSettingDialog dlg(nullptr);
        QVERIFY(showActive(&dlg));
        QCOMPARE(focusedName(), QStringLiteral("Aspect Ratio"));
        QStringList stops;
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            stops << focusedName();
        }
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
            stops << focusedName();
        }
        QCOMPARE(
            stops.join(QLatin1Char('|')),
            QStringLiteral("Resolution|Width|Height|Lock aspect ratio|Frame Rate|Color Space|CANCEL|OK|Close|"
                           "Aspect Ratio|Close|OK|CANCEL"));
        dlg.done(0);
    }

    void frameClosesLikeOwnPath_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("expected");
        // The startup window ends with 1 on every way out it offers, so the frame ends it with 1 too;
        // the others' cancel or close paths end with 0.
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

    void frameClosesLikeOwnPath()
    {
        QFETCH(int, kind);
        QFETCH(QString, way);
        QFETCH(int, expected);
        DialogUnderTest t{Kind(kind)};
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

    void startupEnter_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("row");
        // The list opens with the focus and its first row current but not selected.
        QTest::newRow("enter at once: first row") << QList<int>{} << QString() << 0;
        QTest::newRow("down x3, up: second row")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up} << QString() << 1;
        // A search that hides the current row leaves Enter nothing to open (-1): the window stays, and
        // no new project is started behind the user's back either.
        QTest::newRow("current row hidden by a search") << QList<int>{} << QStringLiteral("wedding") << -1;
    }

    void startupEnter()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, search);
        QFETCH(int, row);
        VkStartupDlg dlg(nullptr);
        QVERIFY(showActive(&dlg));
        QListWidget* list = listOf(&dlg);
        QCOMPARE(focused(), list);
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(rowAt(list, 0)->isCurrent());
        QVERIFY(list->selectedItems().isEmpty());
        if (!search.isEmpty()) {
            auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("VkStartupDlg_FindProject"));
            edit->setText(search);
            QVERIFY(list->item(0)->isHidden());
            // Enter in the search box presses no button.
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dlg.isVisible());
            list->setFocus();
        }
        for (int key : keys)
            QTest::keyClick(list, Qt::Key(key));
        QCOMPARE(list->currentRow(), qMax(row, 0));
        // The outline moved with the keyboard and only the current row has it.
        for (int i = 0; i < list->count() && row >= 0; ++i)
            QCOMPARE(rowAt(list, i)->isCurrent(), i == row);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(dlg.isVisible(), row < 0);
        QCOMPARE(dlg.GetOpenProject(), row < 0 ? QString() : m_paths.at(row));
        if (row < 0)
            dlg.done(1);
        QCOMPARE(dlg.result(), 1);
    }

    void sceneListKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<QPoint>>("ranges");
        // No row is current at first: Down makes row 0 current. Four Downs stop at the last of three
        // rows; Home goes back to the first.
        QTest::newRow("down x4, home")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Home} << 0
            << kThreeScenes;
        QTest::newRow("page down from nothing: row 3 of a page of 4, bounded to the last")
            << QList<int>{Qt::Key_PageDown} << 2 << kThreeScenes;
        // Delete takes out the current row through its button; the row that took its place is current.
        QTest::newRow("down, down, delete") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Delete} << 1
                                            << QList<QPoint>{{0, 120}, {300, 450}};
    }

    void sceneListKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, row);
        QFETCH(QList<QPoint>, ranges);
        FakeVideoItem clip;
        VkScenceDetectionDlg dlg(&clip, nullptr);
        QVERIFY(showActive(&dlg));
        detect(dlg, kThreeScenes);
        auto* list = dlg.findChild<VkScenceDetectListWidget*>();
        list->setFocus();
        QCOMPARE(focused(), list);
        QCOMPARE(list->table()->currentRow(), -1);
        for (int key : keys)
            QTest::keyClick(list, Qt::Key(key));
        QCOMPARE(list->detectRanges(), ranges);
        QCOMPARE(list->table()->currentRow(), row);
        dlg.done(0);
    }

    // Down, Down, Enter asks to preview the second scene exactly as a click on it does (the scene suite
    // follows the click's request into the player): one request with play set. Enter goes no further.
    void sceneListEnterPreviews()
    {
        FakeVideoItem clip;
        VkScenceDetectionDlg dlg(&clip, nullptr);
        QVERIFY(showActive(&dlg));
        detect(dlg, kThreeScenes);
        auto* list = dlg.findChild<VkScenceDetectListWidget*>();
        QSignalSpy previews(list, &VkScenceDetectListWidget::sigPlaySceneRange);
        QSignalSpy done(&dlg, &QDialog::finished);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(previews.count(), 0);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(previews.count(), 1);
        QCOMPARE(previews.at(0), (QList<QVariant>{120, 300, true}));
        QVERIFY(dlg.isVisible());
        QCOMPARE(done.count(), 0);
        dlg.done(0);
    }

private:
    static QWidget* focused() { return QApplication::focusWidget(); }
    static QString focusedName() { return focused() ? spokenName(focused()) : QStringLiteral("<nothing>"); }
    static bool showActive(QWidget* w)
    {
        w->show();
        QApplication::setActiveWindow(w);
        return QTest::qWaitForWindowActive(w);
    }
    static VkScenceDetectListItem* sceneRow(VkScenceDetectListWidget* list, int i)
    {
        return qobject_cast<VkScenceDetectListItem*>(list->table()->cellWidget(i, 0));
    }

    QTemporaryDir m_dir;
    QStringList m_paths;
};

VK_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
