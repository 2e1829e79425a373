#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <vkcore/IVkAppInfo.h>
#include <vkwidgets/VkCheckBox.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineEdit.h>
#include <vkwidgets/VkToolButton.h>

#include <QFileDialog>
#include <QListWidget>

namespace {

QListWidget* listOf(VkStartupDlg& dlg)
{
    return dlg.findChild<QListWidget*>("VkStartupDlg_ProjectListWidget");
}

VkStartupListItem* rowAt(QListWidget* list, int i)
{
    return qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(i)));
}

QStringList shownNames(QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        if (!list->item(i)->isHidden())
            names << rowAt(list, i)->projectName();
    }
    return names;
}

template <class T>
T* child(VkStartupDlg& dlg, const char* name)
{
    return dlg.findChild<T*>(QLatin1String(name));
}

// Answers the open-project file dialog once it is up: checks where it starts and what it offers,
// then chooses `path` (or cancels when it is empty).
class FileDialogAnswerer : public QObject
{
public:
    explicit FileDialogAnswerer(QString path)
        : m_path(std::move(path))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* fd = qobject_cast<QFileDialog*>(w);
                if (!fd || !fd->isVisible())
                    continue;
                directory = fd->directory().absolutePath();
                filters = fd->nameFilters();
                if (m_path.isEmpty()) {
                    fd->reject();
                } else {
                    fd->selectFile(m_path);
                    static_cast<QDialog*>(fd)->accept();
                }
                ++answered;
            }
        });
        m_timer.start(20);
    }
    QString directory;
    QStringList filters;
    int answered = 0;

private:
    QString m_path;
    QTimer m_timer;
};

} // namespace

class TestStartupDlg : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsNewestFifteen();
    void emptyState();
    void search_data();
    void search();
    void deleteKeyRemovesSelectedRows();
    void deleteButtonRemovesItsRow();
    void doubleClickHandsBackPath();
    void newProjectAndClose_data();
    void newProjectAndClose();
    void openProjectThroughFileDialog();
    void cancelledOpenKeepsWindowOpen();
    void showCheckBoxReadBack();
    void layout_data();
    void layout();
    void iconAndTexts();

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
};

void TestStartupDlg::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestStartupDlg::init()
{
    // Six projects; "Beach Trip" is the newest. Names are chosen for the search rows.
    const QStringList names{"Beach Trip", "wedding",         "TRIPOD test",
                            "Birthday",   "Conference talk", "Roadtrip"};
    QList<RecentFixture::Entry> entries;
    m_paths.clear();
    for (int i = 0; i < names.size(); ++i) {
        const QString path =
            RecentFixture::makeProject(QDir(m_dir.path()), QStringLiteral("project%1").arg(i));
        QVERIFY(!path.isEmpty());
        m_paths << path;
        entries.append({names.at(i), path, 1700000000 + i, 1700000000 + 1000 - i});
    }
    QVERIFY(RecentFixture::write(entries));
}

void TestStartupDlg::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestStartupDlg::listsNewestFifteen()
{
    QList<RecentFixture::Entry> entries;
    for (int i = 0; i < 20; ++i)
        entries.append(
            {QStringLiteral("n%1").arg(i), m_dir.filePath(QStringLiteral("n%1.vkproj").arg(i)), 0, i});
    QVERIFY(RecentFixture::write(entries));
    VkStartupDlg dlg(nullptr);
    QListWidget* list = listOf(dlg);
    QVERIFY(list);
    QCOMPARE(list->count(), 15);
    QCOMPARE(rowAt(list, 0)->projectName(), QStringLiteral("n19"));
    QCOMPARE(rowAt(list, 14)->projectName(), QStringLiteral("n5"));
    QCOMPARE(list->item(0)->sizeHint(), QSize(330, 80));
}

void TestStartupDlg::emptyState()
{
    QVERIFY(RecentFixture::write({}));
    VkStartupDlg dlg(nullptr);
    dlg.show();
    QVERIFY(!listOf(dlg)->isVisible());
    QVERIFY(child<VkLabel>(dlg, "VkStartupDlg_ProjectEmptyIcon")->isVisible());
    QVERIFY(child<VkLabel>(dlg, "VkStartupDlg_ProjectEmptyText")->isVisible());
    QCOMPARE(child<VkLabel>(dlg, "VkStartupDlg_ProjectEmptyText")->text(), QStringLiteral("Recent Projects"));
}

void TestStartupDlg::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("capitals find lower case")
        << "TRIP" << QStringList{"Beach Trip", "TRIPOD test", "Roadtrip"};
    QTest::newRow("middle of a name") << "irth" << QStringList{"Birthday"};
    QTest::newRow("nothing matches") << "zzz" << QStringList{};
    QTest::newRow("cleared shows all") << "" << QStringList{"Beach Trip", "wedding",         "TRIPOD test",
                                                            "Birthday",   "Conference talk", "Roadtrip"};
}

void TestStartupDlg::search()
{
    QFETCH(QString, text);
    VkStartupDlg dlg(nullptr);
    auto* edit = child<VkLineEdit>(dlg, "VkStartupDlg_FindProject");
    QVERIFY(edit);
    QVERIFY(!dlg.UseSearch());
    edit->setText("wed");
    QVERIFY(dlg.UseSearch());
    edit->setText(text);
    QTEST(shownNames(listOf(dlg)), "shown");
    // Once searched, always searched: clearing the box does not reset it.
    QVERIFY(dlg.UseSearch());
}

void TestStartupDlg::deleteKeyRemovesSelectedRows()
{
    const QByteArray storeBefore = RecentFixture::storeBytes();
    VkStartupDlg dlg(nullptr);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QListWidget* list = listOf(dlg);
    list->setFocus();

    // Rows 1 and 3 selected: both go, the others stay in order; the highlight followed the selection.
    list->item(1)->setSelected(true);
    list->item(3)->setSelected(true);
    QVERIFY(rowAt(list, 1)->isSelected());
    QVERIFY(!rowAt(list, 0)->isSelected());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(shownNames(list), (QStringList{"Beach Trip", "TRIPOD test", "Conference talk", "Roadtrip"}));
    QVERIFY(list->isVisible());

    // Everything selected: the list gives way to the empty state.
    list->selectAll();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->count(), 0);
    QVERIFY(!list->isVisible());
    QVERIFY(child<VkLabel>(dlg, "VkStartupDlg_ProjectEmptyText")->isVisible());

    // Removing rows never touches the recent-project store: they are back next time.
    QCOMPARE(RecentFixture::storeBytes(), storeBefore);
    VkStartupDlg again(nullptr);
    QCOMPARE(listOf(again)->count(), 6);
}

void TestStartupDlg::deleteButtonRemovesItsRow()
{
    VkStartupDlg dlg(nullptr);
    dlg.show();
    QListWidget* list = listOf(dlg);
    QSignalSpy selection(list, &QListWidget::itemSelectionChanged);
    auto* button = rowAt(list, 2)->findChild<VkToolButton*>("VkStartupListItem_Delete");
    QVERIFY(button && button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(list->count(), 5);
    QCOMPARE(shownNames(list).value(2), QStringLiteral("Birthday"));
    // The list's signals are held while the row is taken out.
    QCOMPARE(selection.count(), 0);
}

void TestStartupDlg::doubleClickHandsBackPath()
{
    VkStartupDlg dlg(nullptr);
    dlg.show();
    QListWidget* list = listOf(dlg);
    // The row widget covers its item; the clicks land on it and go on to the list. A real double
    // click starts with a press, which the list needs to know which row is meant.
    QTest::mouseClick(rowAt(list, 1), Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
    QTest::mouseDClick(rowAt(list, 1), Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
    QCOMPARE(dlg.result(), 1);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.GetOpenProject(), m_paths.at(1));
}

void TestStartupDlg::newProjectAndClose_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("new project") << "VkStartupDlg_NewProject";
    QTest::newRow("close") << "VkStartupDlg_ibClose";
}

void TestStartupDlg::newProjectAndClose()
{
    QFETCH(QString, button);
    VkStartupDlg dlg(nullptr);
    dlg.show();
    auto* ratio = dlg.findChild<VkComboBox*>();
    QVERIFY(ratio);
    ratio->setCurrentIndex(2);
    QAbstractButton* b = dlg.findChild<QAbstractButton*>(button);
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(dlg.result(), 1);
    QCOMPARE(dlg.GetOpenProject(), QString());
    QCOMPARE(dlg.GetProjectScaleString(), QString());
}

void TestStartupDlg::openProjectThroughFileDialog()
{
    VkStartupDlg dlg(nullptr);
    dlg.show();
    FileDialogAnswerer answerer(m_paths.at(4));
    QTest::mouseClick(dlg.findChild<QAbstractButton*>("VkStartupDlg_OpenProject"), Qt::LeftButton);
    QCOMPARE(answerer.answered, 1);
    QCOMPARE(answerer.directory, QDir(IVkAppInfo::getInstance()->getFolderPath(16)).absolutePath());
    QCOMPARE(answerer.filters, QStringList{"Project Files(*.vkproj *.mlz *.zip;)"});
    QCOMPARE(dlg.result(), 1);
    QCOMPARE(dlg.GetOpenProject(), m_paths.at(4));
}

void TestStartupDlg::cancelledOpenKeepsWindowOpen()
{
    VkStartupDlg dlg(nullptr);
    dlg.show();
    FileDialogAnswerer answerer{QString()};
    QTest::mouseClick(dlg.findChild<QAbstractButton*>("VkStartupDlg_OpenProject"), Qt::LeftButton);
    QCOMPARE(answerer.answered, 1);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.GetOpenProject(), QString());
}

void TestStartupDlg::showCheckBoxReadBack()
{
    VkStartupDlg dlg(nullptr);
    dlg.show();
    auto* box = child<VkCheckBox>(dlg, "VkStartupDlg_ShowProjectLibrary");
    QVERIFY(box);
    QVERIFY(dlg.IsShowProjectListWindowCheckBoxChecked());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    QVERIFY(!dlg.IsShowProjectListWindowCheckBoxChecked());
}

void TestStartupDlg::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    // The left column stacks: label 20,48 140x62 (bottom 109); ratio label at 109 + 40 = 149 (bottom
    // 172); combo at 172 + 20 = 192 (bottom 215); buttons at 215 + 16 = 231, the second at 20 + 159 + 40
    // = 219; captions 10 below the buttons' bottom (320): 330.
    QTest::newRow("new project") << "VkStartupDlg_NewProject" << QRect(20, 231, 160, 90);
    QTest::newRow("open project") << "VkStartupDlg_OpenProject" << QRect(219, 231, 160, 90);
    QTest::newRow("new caption") << "VkStartupDlg_lbNewProject" << QRect(20, 330, 160, 19);
    QTest::newRow("open caption") << "VkStartupDlg_lbOpenProject" << QRect(219, 330, 160, 19);
    QTest::newRow("list") << "VkStartupDlg_ProjectListWidget" << QRect(431, 84, 344, 312);
    QTest::newRow("search") << "VkStartupDlg_FindProject" << QRect(680, 43, 96, 24);
    QTest::newRow("check box") << "VkStartupDlg_ShowProjectLibrary" << QRect(596, 412, 180, 24);
    // Feedback takes the place of the hidden purchase button: 736 - 32.
    QTest::newRow("feedback") << "VkStartupDlg_Feedback" << QRect(704, 4, 24, 24);
    QTest::newRow("close") << "VkStartupDlg_ibClose" << QRect(768, 4, 24, 24);
}

void TestStartupDlg::layout()
{
    QFETCH(QString, name);
    VkStartupDlg dlg(nullptr);
    dlg.show();
    QCOMPARE(dlg.size(), QSize(800, 452));
    QWidget* w = dlg.findChild<QWidget*>(name);
    QVERIFY(w);
    QTEST(w->geometry(), "geometry");
}

void TestStartupDlg::iconAndTexts()
{
    VkStartupDlg dlg(nullptr);
    dlg.show();
    QVERIFY(!dlg.windowIcon().isNull());
    QVERIFY(!QIcon(":/Tessel/Resources/light/Tessel9.ico").pixmap(32, 32).isNull());
    QVERIFY(!dlg.findChild<QWidget*>("VkStartupDlg_ibBuy")->isVisible());
    QVERIFY(!dlg.findChild<QWidget*>("VkStartupDlg_LinkButton")->isVisible());
    QCOMPARE(child<VkLineEdit>(dlg, "VkStartupDlg_FindProject")->placeholderText(), QStringLiteral("Search"));
    QCOMPARE(child<VkCheckBox>(dlg, "VkStartupDlg_ShowProjectLibrary")->text(),
             QStringLiteral("Show this window when Tessel launches"));
    auto* ratio = dlg.findChild<VkComboBox*>();
    QCOMPARE(ratio->count(), 7);
    QCOMPARE(ratio->itemData(6).toInt(), 7);
}

VK_TEST_MAIN(TestStartupDlg)
#include "tst_startupdlg.moc"
