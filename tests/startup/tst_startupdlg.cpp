#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkUtility.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineEdit.h>
#include <vkwidgets/VkToolButton.h>

#include <QFileDialog>

#include <png.h>
#include <sys/stat.h>

using namespace VkTestLiterals;

namespace {

// The six projects every test starts with, "Beach Trip" the newest; the names serve the search rows.
const QString kProjects = "Beach Trip|wedding|TRIPOD test|Birthday|Conference talk|Roadtrip"_s;

// The names of the rows the list shows, top first, as kProjects lists them.
QString shownNames(QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        if (!list->item(i)->isHidden())
            names << rowAt(list, i)->projectName();
    }
    return names.join(QLatin1Char('|'));
}

const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);
const QColor kBlack(Qt::black);
// Decoding 33 megapixels under the sanitizers takes a few seconds on a busy machine.
constexpr int kDecodeTimeoutMs = 60000;

// A PNG written row by row, left half one colour and right half another, so that a test can make a
// picture of any size (and interlaced ones, which Qt cannot write) without holding its pixels. The
// shorter of two pictures of the same size is padded after its end chunk (where readers stop) to
// `length`, so that swapping one for the other leaves the file's size as it was.
QByteArray makePng(int width, int height, bool interlaced, QRgb left = kRed.rgb(), QRgb right = kBlue.rgb(),
                   int length = 0)
{
    QByteArray png;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(writer);
    png_set_write_fn(
        writer, &png,
        [](png_structp w, png_bytep data, png_size_t size) {
            static_cast<QByteArray*>(png_get_io_ptr(w))
                ->append(reinterpret_cast<const char*>(data), int(size));
        },
        nullptr);
    png_set_compression_level(writer, 1);
    png_set_IHDR(writer, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer, info);
    QByteArray row;
    for (int x = 0; x < width; ++x) {
        const QRgb c = x < width / 2 ? left : right;
        row.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    // Interlaced, libpng takes every row once per pass and picks the pass's pixels itself.
    const int rows = png_set_interlace_handling(writer) * height;
    for (int y = 0; y < rows; ++y)
        png_write_row(writer, reinterpret_cast<png_const_bytep>(row.constData()));
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return png.append(QByteArray(qMax(0, length - png.size()), '\0'));
}

// What the first row of a newly opened window shows in the left half of its picture box at once, then
// in both halves once the left shows `awaited` (or after a while, when no picture is awaited). The row is
// painted as the list would paint it; its picture box is 100 x 56 at (0, (80 - 56) / 2).
QList<QColor> firstRowPicture(const QColor& awaited = QColor())
{
    VkStartupDlg dlg(nullptr);
    VkStartupListItem* row = rowAt(listOf(&dlg), 0);
    row->resize(330, 80);
    const auto shownAt = [row](const QPoint& spot) { return row->grab().toImage().pixelColor(spot); };
    const QPoint left(20, 40);
    const QColor atOnce = shownAt(left);
    if (!awaited.isValid())
        QTest::qWait(300);
    else if (!QTest::qWaitFor([&] { return shownAt(left) == awaited; }, kDecodeTimeoutMs))
        qWarning("no picture within %d ms", kDecodeTimeoutMs);
    return {atOnce, shownAt(left), shownAt(QPoint(80, 40))};
}

int cachedCopies()
{
    return QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails))
        .entryList({"*.png"_s}, QDir::Files)
        .size();
}

} // namespace

class TestStartupDlg : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_paths = RecentFixture::listProjects(QDir(m_dir.path()), kProjects.split(QLatin1Char('|')));
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
            entries.append({"p%1"_s.arg(t), "/gone/p%1.vkproj"_s.arg(t), 2000000 - t, 1000000 + t * 60});
        }
        QVERIFY(RecentFixture::write(entries));
        VkStartupDlg dlg(nullptr);
        QCOMPARE(shownNames(listOf(&dlg)), "p19|p18|p17|p16|p15|p14|p13|p12|p11|p10|p9|p8|p7|p6|p5"_s);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("capitals find lower case")
            << QStringLiteral("TRIP") << "Beach Trip|TRIPOD test|Roadtrip";
        QTest::newRow("nothing matches") << "zzz" << QString();
        QTest::newRow("cleared shows all") << QString() << kProjects;
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        VkStartupDlg dlg(nullptr);
        auto* edit = dlg.findChild<VkLineEdit*>("VkStartupDlg_FindProject"_s);
        QVERIFY(!dlg.UseSearch());
        edit->setText("wed"_s);
        QVERIFY(dlg.UseSearch());
        edit->setText(text);
        QCOMPARE(shownNames(listOf(&dlg)), shown);
        QVERIFY(dlg.UseSearch()); // once searched, always searched, even after clearing the box
    }

    void deleteRowsDownToEmptyState()
    {
        const QByteArray storeBefore = readBytes(RecentFixture::storePath());
        VkStartupDlg dlg(nullptr);
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QListWidget* list = listOf(&dlg);
        list->setFocus();

        // Rows show selection (filled) and the keyboard position (outlined), never where the mouse is. The
        // spot is below the time and size texts of the second row: only the row's background is painted
        // there.
        QWidget* viewport = list->viewport();
        const QPoint spot = list->visualItemRect(list->item(1)).topLeft() + QPoint(200, 72);
        const QColor unhovered = viewport->grab().toImage().pixelColor(spot);
        QHoverEvent enter(QEvent::HoverEnter, spot, QPoint(-1, -1));
        QApplication::sendEvent(viewport, &enter);
        QHoverEvent move(QEvent::HoverMove, spot, spot);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(list->indexAt(spot).row(), 1);
        QCOMPARE(viewport->grab().toImage().pixelColor(spot), unhovered);

        // A row's own button takes out that row; the list's signals are held meanwhile.
        QSignalSpy selection(list, &QListWidget::itemSelectionChanged);
        auto* button = rowAt(list, 2)->findChild<VkToolButton*>("VkStartupListItem_Delete"_s);
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(shownNames(list), "Beach Trip|wedding|Birthday|Conference talk|Roadtrip"_s);
        QCOMPARE(selection.count(), 0);

        // Delete takes out the selected rows, the others stay in order; the rows' highlight follows.
        list->item(1)->setSelected(true);
        list->item(3)->setSelected(true);
        QVERIFY(rowAt(list, 1)->isSelected());
        QVERIFY(!rowAt(list, 0)->isSelected());
        QCOMPARE(viewport->grab().toImage().pixelColor(spot), QColor(0x34, 0x40, 0x4D));
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(shownNames(list), "Beach Trip|Birthday|Roadtrip"_s);

        list->selectAll();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->count(), 0);
        QVERIFY(!list->isVisible());
        QVERIFY(dlg.findChild<VkLabel*>("VkStartupDlg_ProjectEmptyIcon"_s)->isVisible());
        QVERIFY(dlg.findChild<VkLabel*>("VkStartupDlg_ProjectEmptyText"_s)->isVisible());

        // The recent-project store is never touched: the rows are back next time.
        QCOMPARE(readBytes(RecentFixture::storePath()), storeBefore);
        VkStartupDlg again(nullptr);
        QCOMPARE(listOf(&again)->count(), 6);
    }

    void waysOut_data()
    {
        QTest::addColumn<QString>("button"); // empty: a double click on the second row
        QTest::addColumn<int>("project");    // the row whose project is handed back, or -1
        QTest::addColumn<int>("result");     // 0: the window stays open
        QTest::newRow("double click on a row") << QString() << 1 << 1;
        QTest::newRow("new project") << "VkStartupDlg_NewProject" << -1 << 1;
        QTest::newRow("close") << "VkStartupDlg_ibClose" << -1 << 1;
        QTest::newRow("open, file chosen") << "VkStartupDlg_OpenProject" << 4 << 1;
        QTest::newRow("open, file dialog cancelled") << "VkStartupDlg_OpenProject" << -1 << 0;
    }

    // Every way out ends the window with 1; the ratio chosen is not handed back. Open Project asks a file
    // dialog of our own (a native chooser could not be answered, by a test or by a keyboard-only path) for
    // one existing project, starting in the projects folder.
    void waysOut()
    {
        QFETCH(QString, button);
        QFETCH(int, project);
        QFETCH(int, result);
        VkStartupDlg dlg(nullptr);
        dlg.show();
        dlg.findChild<VkComboBox*>()->setCurrentIndex(2);
        // Answers the file dialog once it is up, noting what it is, takes, where it starts and what it
        // offers; the checks follow its run, so that a failing one cannot leave it open.
        QStringList seen;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&] {
            auto* fd = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!fd)
                return;
            answerer.stop();
            seen << QString::number(fd->testOption(QFileDialog::DontUseNativeDialog))
                 << QString::number(fd->fileMode()) << fd->directory().absolutePath() << fd->nameFilters();
            if (project < 0)
                return fd->reject();
            // selectFile leaves the name box alone while it has the focus, as in an active window.
            if (QWidget* focus = fd->focusWidget())
                focus->clearFocus();
            fd->selectFile(m_paths.at(project));
            static_cast<QDialog*>(fd)->accept();
        });
        answerer.start(10);
        if (button.isEmpty()) {
            // The clicks land on the row widget and go on to the list; a real double click starts with the
            // press that tells the list which row is meant.
            QTest::mouseClick(rowAt(listOf(&dlg), 1), Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
            QTest::mouseDClick(rowAt(listOf(&dlg), 1), Qt::LeftButton, Qt::NoModifier, QPoint(200, 40));
        } else {
            QTest::mouseClick(dlg.findChild<QAbstractButton*>(button), Qt::LeftButton);
        }
        const QStringList chooser{"1"_s, QString::number(QFileDialog::ExistingFile),
                                  QDir(IVkAppInfo::getInstance()->getFolderPath(16)).absolutePath(),
                                  "Project Files(*.vkproj *.mlz *.zip;)"_s};
        QCOMPARE(seen, button.endsWith("OpenProject"_s) ? chooser : QStringList());
        QCOMPARE(dlg.result(), result);
        QCOMPARE(dlg.isVisible(), result == 0);
        QCOMPARE(dlg.GetOpenProject(), m_paths.value(project));
        QCOMPARE(dlg.GetProjectScaleString(), QString());
    }

    // The creation time in local time, year first, and the file's size; a project whose file is gone is
    // still listed, with size 0 and no picture. The list appends to what the caller holds, up to the count.
    void recordFields()
    {
        const QString path = RecentFixture::makeProject(QDir(m_dir.path()), "sized"_s, 3000);
        const qint64 created = QDateTime(QDate(2024, 3, 9), QTime(14, 5)).toSecsSinceEpoch();
        QVERIFY(RecentFixture::write({{"Sized"_s, path, created, created + 10},
                                      {"Missing"_s, m_dir.filePath("gone.vkproj"_s), created, created}}));
        QList<ProjectLibraryRecord> records;
        VkProjectLibrary().recentProjects(records, 15);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(0).time, "2024/03/09 14:05"_s);
        QCOMPARE(records.at(0).size, VkUtility::gGetFileSizeAuto(QFileInfo(path).size()));
        QCOMPARE(records.at(0).info->getPath(), path);
        QCOMPARE(records.at(1).name, "Missing"_s);
        QCOMPARE(records.at(1).size, VkUtility::gGetFileSizeAuto(0));
        QVERIFY(records.at(1).thumbnail.isNull());
        records = {ProjectLibraryRecord()};
        VkProjectLibrary().recentProjects(records, 2);
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(1).name, "Sized"_s);
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
        QTest::newRow("markup stays text") << "<b>bold</b>" << false;
    }

    void nameElision()
    {
        QFETCH(QString, name);
        QFETCH(bool, elided);
        ProjectLibraryRecord record;
        record.name = name;
        VkStartupListItem row(record, nullptr);
        auto* label = row.findChild<VkLabel*>("VkStartupListItem_Name"_s);
        const QString shown = label->text();
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(shown == name, !elided);
        QCOMPARE(shown.endsWith(QChar(0x2026)), elided);
        QFont font;
        font.setPixelSize(14);
        QVERIFY(QFontMetrics(font).horizontalAdvance(shown) <= 160);
    }

    // Project pictures: beside the project or kept in it, decoded in the background, cached.
    void pictureShown_data()
    {
        // The bytes of the .kqthumb beside the project and of the picture kept in it, none where empty;
        // a .kqthumb "fifo" is a FIFO that no one writes, whose size of 0 says nothing.
        QTest::addColumn<QByteArray>("kqthumb");
        QTest::addColumn<QByteArray>("own");
        QTest::addColumn<bool>("shown"); // left half red, right half blue
        const QByteArray green = makePng(64, 36, false, qRgb(0, 255, 0), qRgb(0, 255, 0));
        // 8K is 33 megapixels, 132 MB decoded whole: shown reduced while it is read.
        QTest::newRow("interlaced 8K .kqthumb") << makePng(7680, 4320, true) << QByteArray() << true;
        QTest::newRow("8K kept in the project") << QByteArray() << makePng(7680, 4320, false) << true;
        // Odd sides: the seven interlace passes and the last, partial boxes of the reduction (203 / 2).
        QTest::newRow("interlaced .kqthumb of 203 x 117") << makePng(203, 117, true) << QByteArray() << true;
        QTest::newRow(".kqthumb wins over the project's own") << makePng(320, 180, false) << green << true;
        // A .kqthumb that is no PNG gives no picture, and no fallback to the project's own.
        QTest::newRow("corrupt .kqthumb") << QByteArray("not a png at all") << green << false;
        QTest::newRow(".kqthumb is a FIFO") << QByteArray("fifo") << QByteArray() << false;
    }

    void pictureShown()
    {
        QFETCH(QByteArray, kqthumb);
        QFETCH(QByteArray, own);
        QFETCH(bool, shown);
        QVERIFY(listFilm());
        if (kqthumb == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(m_kqthumb).constData(), 0600), 0);
        else if (!kqthumb.isEmpty())
            QVERIFY(writeBytes(m_kqthumb, kqthumb));
        if (!own.isEmpty())
            QVERIFY(listWithPicture(own, false));

        // Built without waiting for the picture: the box is black until it arrives. Where none may arrive,
        // nothing is kept of it either.
        const QList<QColor> none{kBlack, kBlack, kBlack};
        QCOMPARE(firstRowPicture(shown ? kRed : QColor()),
                 (shown ? QList<QColor>{kBlack, kRed, kBlue} : none));
        if (!shown)
            QCOMPARE(cachedCopies(), 0);
    }

    void cacheIsUsedUntilTheSourceChanges_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::newRow(".kqthumb beside the project") << true;
        QTest::newRow("kept in the project") << false;
    }

    void cacheIsUsedUntilTheSourceChanges()
    {
        QFETCH(bool, beside);
        QVERIFY(listFilm());
        const QByteArray red = makePng(320, 180, false, kRed.rgb(), kRed.rgb(), 4096);
        const QByteArray blue = makePng(320, 180, false, kBlue.rgb(), kBlue.rgb(), 4096);
        QCOMPARE(red.size(), blue.size());
        QVERIFY(listWithPicture(red, beside));
        const QString source = beside ? m_kqthumb : m_project;
        const auto setModified = [&source](const QDateTime& time) {
            QFile f(source);
            return f.open(QIODevice::ReadWrite) && f.setFileTime(time, QFileDevice::FileModificationTime);
        };

        // First use: decoded in the background, a copy kept.
        QCOMPARE(firstRowPicture(kRed), (QList<QColor>{kBlack, kRed, kRed}));
        QCOMPARE(cachedCopies(), 1);

        // Same size, same time, other pixels: the copy still counts, and it is shown at once.
        const QDateTime modified = QFileInfo(source).lastModified();
        QVERIFY(listWithPicture(blue, beside) && setModified(modified));
        QCOMPARE(firstRowPicture(kRed), (QList<QColor>{kRed, kRed, kRed}));

        // A new modification time makes the copy stale: decoded again, and the copy replaced.
        QVERIFY(setModified(modified.addSecs(60)));
        QCOMPARE(firstRowPicture(kBlue), (QList<QColor>{kBlack, kBlue, kBlue}));
        QCOMPARE(cachedCopies(), 1);
        QCOMPARE(firstRowPicture(kBlue), (QList<QColor>{kBlue, kBlue, kBlue}));
    }

private:
    // One project listed for the picture tests. Its name has a further dot: its .kqthumb is named after
    // everything before the last suffix.
    bool listFilm()
    {
        QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails)).removeRecursively();
        m_project = RecentFixture::makeProject(QDir(m_dir.path()), "film.final"_s);
        m_kqthumb = QDir(m_dir.path()).filePath("film.final.kqthumb"_s);
        QFile::remove(m_kqthumb);
        return VkProjectLibrary::thumbnailPathOf(m_project) == QDir::toNativeSeparators(m_kqthumb) &&
               RecentFixture::write({{"Film"_s, m_project, 1700000000, 1700000000}});
    }
    // One project listed; its picture (bytes) beside it as a .kqthumb or kept inside the project file.
    bool listWithPicture(const QByteArray& bytes, bool beside)
    {
        if (beside)
            return writeBytes(m_kqthumb, bytes);
        QJsonObject root = QJsonDocument::fromJson(readBytes(m_project)).object();
        root.insert("thumbnail"_s, QString::fromLatin1(bytes.toBase64()));
        return writeBytes(m_project, QJsonDocument(root).toJson());
    }

    QString m_project;
    QString m_kqthumb;
    QTemporaryDir m_dir;
    QStringList m_paths;
};

VK_TEST_MAIN(TestStartupDlg)
#include "tst_startupdlg.moc"
