#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkUtility.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineEdit.h>
#include <vkwidgets/VkToolButton.h>

#include <QFileDialog>
#include <QListWidget>

namespace {

QListWidget* listOf(VkStartupDlg& dlg)
{
    return dlg.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
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

} // namespace

class TestStartupDlg : public QObject
{
    Q_OBJECT
private slots:
    // Six projects, "Beach Trip" the newest; the names serve the search rows.
    void init()
    {
        m_paths = RecentFixture::listProjects(
            QDir(m_dir.path()),
            QString::fromLatin1("Beach Trip|wedding|TRIPOD test|Birthday|Conference talk|Roadtrip")
                .split(QLatin1Char('|')));
        QCOMPARE(m_paths.size(), 6);
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    // Modification times shuffled against list order, creation times the other way: the newest 15 by
    // modification come first.
    void listsNewestFifteen()
    {
        QList<RecentFixture::Entry> entries;
        for (int i = 0; i < 20; ++i) {
            const int t = (i * 7) % 20; // a permutation of 0..19
            entries.append({QStringLiteral("p%1").arg(t), m_dir.filePath(QStringLiteral("p%1.vkproj").arg(t)),
                            2000000 - t, 1000000 + t * 60});
        }
        QVERIFY(RecentFixture::write(entries));
        QStringList expected;
        for (int t = 19; t >= 5; --t)
            expected << QStringLiteral("p%1").arg(t);
        VkStartupDlg dlg(nullptr);
        QCOMPARE(shownNames(listOf(dlg)), expected);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("capitals find lower case") << "TRIP"
                                                  << "Beach Trip|TRIPOD test|Roadtrip";
        QTest::newRow("middle of a name") << "irth"
                                          << "Birthday";
        QTest::newRow("nothing matches") << "zzz" << QString();
        QTest::newRow("cleared shows all")
            << QString() << "Beach Trip|wedding|TRIPOD test|Birthday|Conference talk|Roadtrip";
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        VkStartupDlg dlg(nullptr);
        auto* edit = dlg.findChild<VkLineEdit*>(QStringLiteral("VkStartupDlg_FindProject"));
        QVERIFY(!dlg.UseSearch());
        edit->setText(QStringLiteral("wed"));
        QVERIFY(dlg.UseSearch());
        edit->setText(text);
        QCOMPARE(shownNames(listOf(dlg)).join(QLatin1Char('|')), shown);
        QVERIFY(dlg.UseSearch()); // once searched, always searched, even after clearing the box
    }

    void deleteRowsDownToEmptyState()
    {
        const QByteArray storeBefore = readBytes(RecentFixture::storePath());
        VkStartupDlg dlg(nullptr);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QListWidget* list = listOf(dlg);
        list->setFocus();

        // A row's own button takes out that row; the list's signals are held meanwhile.
        QSignalSpy selection(list, &QListWidget::itemSelectionChanged);
        auto* button = rowAt(list, 2)->findChild<VkToolButton*>(QStringLiteral("VkStartupListItem_Delete"));
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(shownNames(list).join(QLatin1Char('|')),
                 QStringLiteral("Beach Trip|wedding|Birthday|Conference talk|Roadtrip"));
        QCOMPARE(selection.count(), 0);

        // Delete takes out the selected rows, the others stay in order; the rows' highlight follows.
        list->item(1)->setSelected(true);
        list->item(3)->setSelected(true);
        QVERIFY(rowAt(list, 1)->isSelected());
        QVERIFY(!rowAt(list, 0)->isSelected());
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(shownNames(list).join(QLatin1Char('|')), QStringLiteral("Beach Trip|Birthday|Roadtrip"));

        list->selectAll();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->count(), 0);
        QVERIFY(!list->isVisible());
        QVERIFY(dlg.findChild<VkLabel*>(QStringLiteral("VkStartupDlg_ProjectEmptyIcon"))->isVisible());
        QVERIFY(dlg.findChild<VkLabel*>(QStringLiteral("VkStartupDlg_ProjectEmptyText"))->isVisible());

        // The recent-project store is never touched: the rows are back next time.
        QCOMPARE(readBytes(RecentFixture::storePath()), storeBefore);
        VkStartupDlg again(nullptr);
        QCOMPARE(listOf(again)->count(), 6);
    }

    void waysOut_data()
    {
        QTest::addColumn<QString>("button"); // empty: a double click on the second row
        QTest::addColumn<int>("project");    // the row whose project is handed back, or -1
        QTest::newRow("double click on a row") << QString() << 1;
        QTest::newRow("new project") << "VkStartupDlg_NewProject" << -1;
        QTest::newRow("close") << "VkStartupDlg_ibClose" << -1;
    }

    // Every way out ends the window with 1; the ratio chosen is not handed back.
    void waysOut()
    {
        QFETCH(QString, button);
        QFETCH(int, project);
        VkStartupDlg dlg(nullptr);
        dlg.show();
        dlg.findChild<VkComboBox*>()->setCurrentIndex(2);
        if (button.isEmpty()) {
            // The clicks land on the row widget and go on to the list; a real double click starts with the
            // press that tells the list which row is meant.
            QTest::mouseClick(rowAt(listOf(dlg), 1), Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
            QTest::mouseDClick(rowAt(listOf(dlg), 1), Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
        } else {
            QTest::mouseClick(dlg.findChild<QAbstractButton*>(button), Qt::LeftButton);
        }
        QCOMPARE(dlg.result(), 1);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.GetOpenProject(), m_paths.value(project));
        QCOMPARE(dlg.GetProjectScaleString(), QString());
    }

    void openProjectThroughFileDialog_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::newRow("chosen") << true;
        QTest::newRow("cancelled keeps the window open") << false;
    }

    void openProjectThroughFileDialog()
    {
        QFETCH(bool, choose);
        VkStartupDlg dlg(nullptr);
        dlg.show();
        // Answers the file dialog once it is up, noting where it starts and what it offers; the checks
        // follow its run, so that a failing one cannot leave it open.
        QString directory;
        QStringList filters;
        QTimer answerer;
        QFileDialog::Options options;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        connect(&answerer, &QTimer::timeout, this, [&] {
            auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!fd)
                return;
            answerer.stop();
            options = fd->options();
            mode = fd->fileMode();
            directory = fd->directory().absolutePath();
            filters = fd->nameFilters();
            if (!choose)
                return fd->reject();
            // selectFile leaves the name box alone while it has the focus, as in an active window.
            if (QWidget* focus = fd->focusWidget())
                focus->clearFocus();
            fd->selectFile(m_paths.at(4));
            static_cast<QDialog*>(fd)->accept();
        });
        answerer.start(10);
        QTest::mouseClick(dlg.findChild<QAbstractButton*>(QStringLiteral("VkStartupDlg_OpenProject")),
                          Qt::LeftButton);
        // A native chooser could not be answered, by a test or by a keyboard-only path.
        QVERIFY(options.testFlag(QFileDialog::DontUseNativeDialog));
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(directory, QDir(IVkAppInfo::getInstance()->getFolderPath(16)).absolutePath());
        QCOMPARE(filters, QStringList{QStringLiteral("Project Files(*.vkproj *.mlz *.zip;)")});
        QCOMPARE(dlg.isVisible(), !choose);
        QCOMPARE(dlg.GetOpenProject(), choose ? m_paths.at(4) : QString());
        QCOMPARE(dlg.result(), choose ? 1 : 0);
    }

    // Rows show selection (filled) and the keyboard position (outlined), never where the mouse is.
    void rowsTakeNoHoverHighlight()
    {
        VkStartupDlg dlg(nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget* list = listOf(dlg);
        QWidget* viewport = list->viewport();
        // Below the time and size texts of the second row: only the row's background is painted there.
        const QPoint spot = list->visualItemRect(list->item(1)).topLeft() + QPoint(200, 72);
        const QColor unhovered = viewport->grab().toImage().pixelColor(spot);
        QHoverEvent enter(QEvent::HoverEnter, spot, QPoint(-1, -1));
        QApplication::sendEvent(viewport, &enter);
        QHoverEvent move(QEvent::HoverMove, spot, spot);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(list->indexAt(spot).row(), 1);
        QCOMPARE(viewport->grab().toImage().pixelColor(spot), unhovered);
        list->item(1)->setSelected(true);
        QCOMPARE(viewport->grab().toImage().pixelColor(spot), QColor(0x34, 0x40, 0x4D));
    }

    // The creation time in local time, year first, and the file's size; a project whose file is gone is
    // still listed, with size 0 and no picture. The list appends to what the caller holds, up to the count.
    void recordFields()
    {
        const QString path = RecentFixture::makeProject(QDir(m_dir.path()), QStringLiteral("sized"), 3000);
        const qint64 created = QDateTime(QDate(2024, 3, 9), QTime(14, 5)).toSecsSinceEpoch();
        QVERIFY(RecentFixture::write(
            {{QStringLiteral("Sized"), path, created, created + 10},
             {QStringLiteral("Missing"), m_dir.filePath(QStringLiteral("gone.vkproj")), created, created}}));
        QList<ProjectLibraryRecord> records;
        VkProjectLibrary().recentProjects(records, 15);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).time, QStringLiteral("2024/03/09 14:05"));
        QCOMPARE(records.at(0).size, VkUtility::gGetFileSizeAuto(QFileInfo(path).size()));
        QCOMPARE(records.at(0).info->getPath(), path);
        QCOMPARE(records.at(1).name, QStringLiteral("Missing"));
        QCOMPARE(records.at(1).size, VkUtility::gGetFileSizeAuto(0));
        QVERIFY(records.at(1).thumbnail.isNull());
        records = {ProjectLibraryRecord()};
        VkProjectLibrary().recentProjects(records, 2);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(1).name, QStringLiteral("Sized"));
    }

    void nameElision_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("elided");
        // The longest name of 'm's that fits the row's name width is shown whole; one letter more is elided.
        QFont font;
        font.setPixelSize(VkStartupListItem::kNamePixelSize);
        QString name;
        while (QFontMetrics(font).horizontalAdvance(name + QLatin1Char('m')) <= VkStartupListItem::kNameWidth)
            name += QLatin1Char('m');
        QTest::newRow("fits") << name << false;
        QTest::newRow("one letter over") << name + QLatin1Char('m') << true;
    }

    void nameElision()
    {
        QFETCH(QString, name);
        QFETCH(bool, elided);
        ProjectLibraryRecord record;
        record.name = name;
        VkStartupListItem row(record, nullptr);
        const QString shown = row.findChild<VkLabel*>(QStringLiteral("VkStartupListItem_Name"))->text();
        QCOMPARE(shown, row.projectName());
        QCOMPARE(shown == name, !elided);
        QCOMPARE(shown.endsWith(QChar(0x2026)), elided);
        QFont font;
        font.setPixelSize(14);
        QVERIFY(QFontMetrics(font).horizontalAdvance(shown) <= 160);
    }

private:
    QTemporaryDir m_dir;
    QStringList m_paths;
};

VK_TEST_MAIN(TestStartupDlg)
#include "tst_startupdlg.moc"
