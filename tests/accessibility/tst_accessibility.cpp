#include "DialogUnderTest.h"
#include "StartupFixtures.h"
#include "VkModalRun.h"
#include "VkShowWindow.h"
#include "VkTestMain.h"

#include <scenedetect/VkScenceDetectListItem.h>
#include <scenedetect/VkScenceDetectListWidget.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkwidgets/VkToolButton.h>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QTableWidget>
#include <QToolButton>

using namespace VkTestLiterals;

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
        const QString what = "%1 \"%2\""_s.arg(QLatin1String(w->metaObject()->className()), w->objectName());
        if (spokenName(w).isEmpty())
            faults << what + " has no accessible name"_s;
        if (iconOnly && w->toolTip().isEmpty())
            faults << what + " has no tool tip"_s;
    }
    return faults;
}

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
        m_paths = RecentFixture::listProjects(QDir(m_dir.path()), {"trip"_s, "wedding"_s, "Birthday"_s});
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
        (new QToolButton(&window))->setObjectName("bare"_s);
        auto* tipped = new VkToolButton(&window, "tipped"_s);
        tipped->setToolTip("Remove"_s);
        window.show();
        QCOMPARE(unnamedControls(&window).filter("\"bare\" has no"_s).size(), 2);
        QCOMPARE(unnamedControls(&window).size(), 2);
        tipped->setToolTip("Delete"_s);
        QCOMPARE(spokenName(tipped), "Delete"_s);
        tipped->setAccessibleName("Remove clip"_s);
        tipped->setToolTip("Discard"_s);
        QCOMPARE(spokenName(tipped), "Remove clip"_s);
    }

    void everyControlNamed_data()
    {
        QTest::addColumn<QString>("dialog");
        // The empty library's picture and text take no keyboard stop; the listed one adds the rows.
        for (const char* name : {"startup", "project settings", "scene detection", "video properties",
                                 "png properties", "stock properties", "unsupported image"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyControlNamed()
    {
        QFETCH(QString, dialog);
        DialogUnderTest t{dialog};
        t.dialog->show();
        const QStringList faults = unnamedControls(t.dialog.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // Names that carry what a row shows: they must follow renumbering and use the whole project name.
    void namesFollowWhatRowsShow()
    {
        DialogUnderTest startup{"startup"_s};
        QListWidget* projects = listOf(startup.dialog.get());
        QVERIFY(projects);
        auto* remove = rowAt(projects, 0)->findChild<VkToolButton*>("VkStartupListItem_Delete"_s);
        QCOMPARE(spokenName(remove), "Remove project trip"_s);
        QCOMPARE(projects->item(0)->data(Qt::AccessibleTextRole).toString(), "trip"_s);
        DialogUnderTest scenes{"scene detection"_s};
        auto* list = scenes.dialog->findChild<VkScenceDetectListWidget*>();
        // Taking out Scene 1 renumbers the others; the former Scene 3 is now "Remove Scene 2".
        sceneRow(list, 0)->removeButton()->click();
        QCOMPARE(list->table()->rowCount(), 2);
        QCOMPARE(spokenName(sceneRow(list, 0)->removeButton()), "Remove Scene 1"_s);
        QCOMPARE(spokenName(sceneRow(list, 1)->removeButton()), "Remove Scene 2"_s);
    }

    // The window opens on the first setting. Tab walks the settings as they stand on the screen: rows
    // top to bottom, left to right, then CANCEL and OK, then round through the title bar's close button
    // back to where the window opens.
    void projectSettingsTabOrder()
    {
        VkProjectSettingDialog dlg(nullptr);
        QVERIFY(vkShowActive(&dlg));
        QStringList stops{focusedName()};
        for (int i = 0; i < 13; ++i) {
            const bool back = i >= 10; // ten steps forward, then three back
            QTest::keyClick(focused(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                            back ? Qt::ShiftModifier : Qt::NoModifier);
            stops << focusedName();
        }
        QCOMPARE(stops.join(QLatin1Char('|')),
                 "Aspect Ratio|Resolution|Width|Height|Lock aspect ratio|Frame Rate|Color Space|CANCEL|OK|"
                 "Close|Aspect Ratio|Close|OK|CANCEL"_s);
    }

    void frameClosesLikeOwnPath_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("expected");
        // The startup window ends with 1 on every way out it offers, so the frame ends it with 1 too;
        // the others' cancel or close paths end with 0.
        for (const char* way : {"escape", "window close"})
            QTest::addRow("startup, %s", way) << "startup"_s << QString::fromLatin1(way) << 1;
        for (const char* name :
             {"project settings", "scene detection", "video properties", "unsupported image"}) {
            for (const char* way : {"escape", "window close", "title bar close"})
                QTest::addRow("%s, %s", name, way)
                    << QString::fromLatin1(name) << QString::fromLatin1(way) << 0;
        }
    }

    void frameClosesLikeOwnPath()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, way);
        QFETCH(int, expected);
        DialogUnderTest t{dialog};
        QDialog* shown = t.dialog.get();
        const int result = runModal(shown, [shown, way] {
            if (way == "escape"_s)
                QTest::keyClick(shown, Qt::Key_Escape);
            else if (way == "window close"_s)
                shown->close();
            // The title bar's close button; without a visible one the run ends with -1.
            for (QToolButton* b : shown->findChildren<QToolButton*>("VkTopLevelWindowTitleBar_Close"_s)) {
                if (way == "title bar close"_s && b->isVisible())
                    b->click();
            }
        });
        QCOMPARE(result, expected);
        QVERIFY(!shown->isVisible());
        if (auto* startup = qobject_cast<VkStartupDlg*>(shown))
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
        QTest::newRow("current row hidden by a search") << QList<int>{} << "wedding"_s << -1;
    }

    void startupEnter()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, search);
        QFETCH(int, row);
        VkStartupDlg dlg(nullptr);
        QVERIFY(vkShowActive(&dlg));
        QListWidget* list = listOf(&dlg);
        QCOMPARE(focused(), list);
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(rowAt(list, 0)->isCurrent());
        QVERIFY(list->selectedItems().isEmpty());
        if (!search.isEmpty()) {
            auto* edit = dlg.findChild<QLineEdit*>("VkStartupDlg_FindProject"_s);
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
        QTest::addColumn<QList<QVariantList>>("previews");
        // No row is current at first: Down makes row 0 current. Four Downs stop at the last of three
        // rows; Home goes back to the first. Moving previews nothing.
        QTest::newRow("down x4, home")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Home} << 0
            << kThreeScenes << QList<QVariantList>();
        QTest::newRow("page down from nothing: row 3 of a page of 4, bounded to the last")
            << QList<int>{Qt::Key_PageDown} << 2 << kThreeScenes << QList<QVariantList>();
        // Delete takes out the current row through its button; the row that took its place is current.
        QTest::newRow("down, down, delete") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Delete} << 1
                                            << QList<QPoint>{{0, 120}, {300, 450}} << QList<QVariantList>();
        // Enter asks to preview the current scene exactly as a click on it does (the scene suite follows
        // the click's request into the player): one request with play set. Enter goes no further.
        QTest::newRow("down, down, enter: previews the second scene")
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << 1 << kThreeScenes
            << QList<QVariantList>{{120, 300, true}};
    }

    void sceneListKeys()
    {
        QFETCH(QList<int>, keys);
        DialogUnderTest scenes{"scene detection"_s};
        QVERIFY(vkShowActive(scenes.dialog.get()));
        auto* list = scenes.dialog->findChild<VkScenceDetectListWidget*>();
        QSignalSpy previews(list, &VkScenceDetectListWidget::sigPlaySceneRange);
        list->setFocus();
        QCOMPARE(focused(), list);
        QCOMPARE(list->table()->currentRow(), -1);
        for (int key : keys)
            QTest::keyClick(list, Qt::Key(key));
        QTEST(list->detectRanges(), "ranges");
        QTEST(list->table()->currentRow(), "row");
        QTEST(QList<QVariantList>(previews), "previews");
        QVERIFY(scenes.dialog->isVisible());
    }

private:
    static QWidget* focused() { return QApplication::focusWidget(); }
    static QString focusedName() { return focused() ? spokenName(focused()) : "<nothing>"_s; }
    static VkScenceDetectListItem* sceneRow(VkScenceDetectListWidget* list, int i)
    {
        return qobject_cast<VkScenceDetectListItem*>(list->table()->cellWidget(i, 0));
    }

    QTemporaryDir m_dir;
    QStringList m_paths;
};

VK_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
