#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <vkcore/IVkAppInfo.h>

#include <QListWidget>

#include <png.h>
#include <sys/stat.h>

namespace {

const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);
const QColor kBlack(Qt::black);
// The picture box of a row: 100 x 56 at (0, (80 - 56) / 2); a spot in its left and its right half.
const QPoint kLeftSpot(20, 40);
const QPoint kRightSpot(80, 40);
// Decoding 33 megapixels under the sanitizers takes a few seconds on a busy machine.
constexpr int kDecodeTimeoutMs = 60000;

// A PNG written row by row, left half one colour and right half another, so that a test can make a
// picture of any size (and interlaced ones, which Qt cannot write) without holding its pixels. The
// shorter of two pictures of the same size is padded after its end chunk (where readers stop) to
// `length`, so that swapping one for the other leaves the file's size as it was.
QByteArray makePng(int width, int height, bool interlaced, QRgb left, QRgb right, int length = 0)
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

VkStartupListItem* firstRow(VkStartupDlg& dlg)
{
    auto* list = dlg.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    return list && list->count() > 0 ? qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(0)))
                                     : nullptr;
}

// What the row shows at a point of its picture box, painted as the list would paint it.
QColor shownAt(VkStartupListItem* row, const QPoint& spot)
{
    row->resize(330, 80);
    return row->grab().toImage().pixelColor(spot);
}

int cachedCopies()
{
    return QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails))
        .entryList({QStringLiteral("*.png")}, QDir::Files)
        .size();
}

} // namespace

class TestStartupThumbnails : public QObject
{
    Q_OBJECT
private slots:
    // The project's name has a further dot: its .kqthumb is named after everything before the last suffix.
    void init()
    {
        QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails)).removeRecursively();
        m_project = RecentFixture::makeProject(QDir(m_dir.path()), QStringLiteral("film.final"));
        m_kqthumb = QDir(m_dir.path()).filePath(QStringLiteral("film.final.kqthumb"));
        QFile::remove(m_kqthumb);
        QCOMPARE(VkProjectLibrary::thumbnailPathOf(m_project), QDir::toNativeSeparators(m_kqthumb));
        QVERIFY(RecentFixture::write({{QStringLiteral("Film"), m_project, 1700000000, 1700000000}}));
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void pictureShown_data()
    {
        // Each picture: none, "WxH" (left half red, right half blue; "i" interlaced), "green" (all green),
        // "junk" (no PNG), "fifo" (a FIFO that no one writes, whose size of 0 says nothing).
        QTest::addColumn<QString>("kqthumb");
        QTest::addColumn<QString>("own"); // kept in the project file
        QTest::addColumn<bool>("shown");
        // 8K is 33 megapixels, 132 MB decoded whole: shown reduced while it is read.
        QTest::newRow("interlaced .kqthumb of 7680 x 4320") << "7680x4320i" << QString() << true;
        QTest::newRow("kept in the project, 7680 x 4320") << QString() << "7680x4320" << true;
        // Odd sides: the seven interlace passes and the last, partial boxes of the reduction (203 / 2).
        QTest::newRow("interlaced .kqthumb of 203 x 117") << "203x117i" << QString() << true;
        QTest::newRow(".kqthumb wins over the project's own") << "320x180"
                                                              << "green" << true;
        // A .kqthumb that is no PNG gives no picture, and no fallback to the project's own.
        QTest::newRow("corrupt .kqthumb") << "junk"
                                          << "green" << false;
        QTest::newRow(".kqthumb is a FIFO") << "fifo" << QString() << false;
    }

    void pictureShown()
    {
        QFETCH(QString, kqthumb);
        QFETCH(QString, own);
        QFETCH(bool, shown);
        for (const bool beside : {false, true}) {
            const QString& picture = beside ? kqthumb : own;
            const QStringList sides = QString(picture).remove(QLatin1Char('i')).split(QLatin1Char('x'));
            if (picture == QLatin1String("fifo"))
                QCOMPARE(::mkfifo(QFile::encodeName(m_kqthumb).constData(), 0600), 0);
            else if (picture == QLatin1String("junk"))
                QVERIFY(writeBytes(m_kqthumb, "not a png at all"));
            else if (picture == QLatin1String("green"))
                QVERIFY(listWithPicture(makePng(64, 36, false, qRgb(0, 255, 0), qRgb(0, 255, 0)), beside));
            else if (sides.size() == 2)
                QVERIFY(listWithPicture(makePng(sides[0].toInt(), sides[1].toInt(),
                                                picture.endsWith(QLatin1Char('i')), kRed.rgb(), kBlue.rgb()),
                                        beside));
        }

        VkStartupDlg dlg(nullptr);
        VkStartupListItem* row = firstRow(dlg);
        QVERIFY(row);
        // Built without waiting for the picture: the box is black until it arrives.
        QCOMPARE(shownAt(row, kLeftSpot), kBlack);
        if (shown) {
            QTRY_COMPARE_WITH_TIMEOUT(shownAt(row, kLeftSpot), kRed, kDecodeTimeoutMs);
            QCOMPARE(shownAt(row, kRightSpot), kBlue);
            return;
        }
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // Time for a picture to arrive, were there one: none may, and nothing is kept of it.
        QTest::qWait(300);
        QCOMPARE(shownAt(row, kLeftSpot), kBlack);
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
        {
            VkStartupDlg dlg(nullptr);
            QTRY_COMPARE_WITH_TIMEOUT(shownAt(firstRow(dlg), kLeftSpot), kRed, kDecodeTimeoutMs);
        }
        QCOMPARE(cachedCopies(), 1);

        // Same size, same time, other pixels: the copy still counts, and it is shown at once.
        const QDateTime modified = QFileInfo(source).lastModified();
        QVERIFY(listWithPicture(blue, beside) && setModified(modified));
        {
            VkStartupDlg dlg(nullptr);
            QCOMPARE(shownAt(firstRow(dlg), kLeftSpot), kRed);
        }

        // A new modification time makes the copy stale: decoded again, and the copy replaced.
        QVERIFY(setModified(modified.addSecs(60)));
        {
            VkStartupDlg dlg(nullptr);
            QCOMPARE(shownAt(firstRow(dlg), kLeftSpot), kBlack);
            QTRY_COMPARE_WITH_TIMEOUT(shownAt(firstRow(dlg), kLeftSpot), kBlue, kDecodeTimeoutMs);
        }
        QCOMPARE(cachedCopies(), 1);
        VkStartupDlg dlg(nullptr);
        QCOMPARE(shownAt(firstRow(dlg), kLeftSpot), kBlue);
    }

private:
    // One project listed; its picture (bytes) beside it as a .kqthumb or kept inside the project file.
    bool listWithPicture(const QByteArray& bytes, bool beside)
    {
        if (beside)
            return writeBytes(m_kqthumb, bytes);
        QJsonObject root = QJsonDocument::fromJson(readBytes(m_project)).object();
        root.insert(QStringLiteral("thumbnail"), QString::fromLatin1(bytes.toBase64()));
        return writeBytes(m_project, QJsonDocument(root).toJson());
    }

    QTemporaryDir m_dir;
    QString m_project;
    QString m_kqthumb;
};

VK_TEST_MAIN(TestStartupThumbnails)
#include "tst_startupthumbnails.moc"
