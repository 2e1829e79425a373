#include "StartupFixtures.h"
#include "StartupPictures.h"
#include "VkTestFiles.h"
#include "VkTestMain.h"

#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <vkcore/IVkAppInfo.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>

#include <sys/stat.h>

namespace {

const QColor kRed(Qt::red);
const QColor kBlue(Qt::blue);
const QColor kBlack(Qt::black);
// The picture box of a row: 100 x 56 at (0, (80 - 56) / 2).
constexpr int kBoxTop = 12;
const QPoint kLeftSpot(20, kBoxTop + 28);
const QPoint kRightSpot(80, kBoxTop + 28);
// Decoding 33 megapixels under the sanitizers takes a few seconds on a busy machine.
constexpr int kDecodeTimeoutMs = 60000;

VkStartupListItem* firstRow(VkStartupDlg& dlg)
{
    auto* list = dlg.findChild<QListWidget*>("VkStartupDlg_ProjectListWidget");
    return list && list->count() > 0 ? qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(0)))
                                     : nullptr;
}

// What the row shows at a point of its picture box, painted as the list would paint it.
QColor shownAt(VkStartupListItem* row, const QPoint& spot)
{
    row->resize(330, 80);
    return row->grab().toImage().pixelColor(spot);
}

QByteArray solidPng(int width, int height, QRgb color)
{
    return TestPng::make(width, height, false, [color](int, int) { return color; });
}

// Pads the shorter of two PNGs after its end chunk (where readers stop) to the other's length, so
// that a swap of the two leaves the file's size as it was.
void equalLengths(QByteArray& a, QByteArray& b)
{
    const int n = qMax(a.size(), b.size());
    a.append(QByteArray(n - a.size(), '\0'));
    b.append(QByteArray(n - b.size(), '\0'));
}

QStringList cachedCopies()
{
    return QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails))
        .entryList({QStringLiteral("*.png")}, QDir::Files);
}

} // namespace

class TestStartupThumbnails : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void pictureShown_data();
    void pictureShown();
    void cacheIsUsedUntilTheSourceChanges_data();
    void cacheIsUsedUntilTheSourceChanges();

private:
    // One project listed; its picture beside it as a .kqthumb or kept inside the project file.
    bool listWithPicture(const QByteArray& png, bool beside);
    // Puts a special file in place of path: "fifo" (blocks a reader for ever) or "zero" (never ends).
    static bool makeSpecial(const QString& path, const QString& kind);

    QTemporaryDir m_dir;
    QString m_project;
    QString m_kqthumb;
};

// The project's name has a further dot: its .kqthumb is named after everything before the last suffix.
void TestStartupThumbnails::init()
{
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir.path()));
    QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails)).removeRecursively();
    m_project = RecentFixture::makeProject(QDir(m_dir.path()), QStringLiteral("film.final"));
    QVERIFY(!m_project.isEmpty());
    m_kqthumb = QDir(m_dir.path()).filePath(QStringLiteral("film.final.kqthumb"));
    QCOMPARE(VkProjectLibrary::thumbnailPathOf(m_project), QDir::toNativeSeparators(m_kqthumb));
    QVERIFY(RecentFixture::write({{"Film", m_project, 1700000000, 1700000000}}));
}

bool TestStartupThumbnails::listWithPicture(const QByteArray& png, bool beside)
{
    if (beside)
        return TestPng::write(m_kqthumb, png);
    QJsonObject root = QJsonDocument::fromJson(readBytes(m_project)).object();
    root.insert(QStringLiteral("thumbnail"), QString::fromLatin1(png.toBase64()));
    return TestPng::write(m_project, QJsonDocument(root).toJson());
}

bool TestStartupThumbnails::makeSpecial(const QString& path, const QString& kind)
{
    QFile::remove(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    return QFile::link(QStringLiteral("/dev/zero"), path);
}

void TestStartupThumbnails::pictureShown_data()
{
    // Each picture: none, "WxH" (left half red, right half blue; "i" interlaced), "green" (all green),
    // "junk" (no PNG), "fifo" or "zero" (a special file in its place).
    QTest::addColumn<QString>("kqthumb");
    QTest::addColumn<QString>("own"); // kept in the project file
    QTest::addColumn<bool>("shown");
    const auto row = [](const char* name, const char* kqthumb, const char* own, bool shown) {
        QTest::newRow(name) << QString::fromLatin1(kqthumb) << QString::fromLatin1(own) << shown;
    };
    // 8K is 33 megapixels, 132 MB decoded whole: shown reduced while it is read.
    row(".kqthumb of 7680 x 4320", "7680x4320", "", true);
    row("interlaced .kqthumb of 7680 x 4320", "7680x4320i", "", true);
    row("kept in the project, 7680 x 4320", "", "7680x4320", true);
    // Odd sides: the seven interlace passes and the last, partial boxes of the reduction (203 / 2).
    row("interlaced .kqthumb of 203 x 117", "203x117i", "", true);
    row(".kqthumb wins over the project's own", "320x180", "green", true);
    // A .kqthumb that is no PNG gives no picture, and no fallback to the project's own.
    row("corrupt .kqthumb", "junk", "green", false);
    // Reading a FIFO that no one writes blocks for ever; a device never ends. Their size (0) says nothing.
    row(".kqthumb is a FIFO", "fifo", "", false);
    row("project file is a FIFO", "", "fifo", false);
    row("project file is /dev/zero", "", "zero", false);
}

void TestStartupThumbnails::pictureShown()
{
    QFETCH(QString, kqthumb);
    QFETCH(QString, own);
    QFETCH(bool, shown);
    for (const bool beside : {false, true}) {
        const QString& picture = beside ? kqthumb : own;
        const QString path = beside ? m_kqthumb : m_project;
        const QStringList sides = QString(picture).remove(QLatin1Char('i')).split(QLatin1Char('x'));
        if (picture == QLatin1String("fifo") || picture == QLatin1String("zero"))
            QVERIFY(makeSpecial(path, picture));
        else if (picture == QLatin1String("junk"))
            QVERIFY(TestPng::write(path, "not a png at all"));
        else if (picture == QLatin1String("green"))
            QVERIFY(listWithPicture(solidPng(64, 36, qRgb(0, 255, 0)), beside));
        else if (sides.size() == 2)
            QVERIFY(listWithPicture(
                TestPng::make(sides[0].toInt(), sides[1].toInt(), picture.endsWith(QLatin1Char('i')),
                              TestPng::halves(qRgb(255, 0, 0), qRgb(0, 0, 255), sides[0].toInt())),
                beside));
    }

    {
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
        // Time for a picture to arrive, were there one: none may.
        QTest::qWait(300);
        QCOMPARE(shownAt(row, kLeftSpot), kBlack);
    }
    QVERIFY(cachedCopies().isEmpty());
}

void TestStartupThumbnails::cacheIsUsedUntilTheSourceChanges_data()
{
    QTest::addColumn<bool>("beside");
    QTest::newRow(".kqthumb beside the project") << true;
    QTest::newRow("kept in the project") << false;
}

void TestStartupThumbnails::cacheIsUsedUntilTheSourceChanges()
{
    QFETCH(bool, beside);
    QByteArray red = solidPng(320, 180, qRgb(255, 0, 0));
    QByteArray blue = solidPng(320, 180, qRgb(0, 0, 255));
    equalLengths(red, blue);
    QVERIFY(listWithPicture(red, beside));
    const QString source = beside ? m_kqthumb : m_project;

    // First use: decoded in the background, a copy kept.
    {
        VkStartupDlg dlg(nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(shownAt(firstRow(dlg), kLeftSpot), kRed, kDecodeTimeoutMs);
    }
    QCOMPARE(cachedCopies().size(), 1);

    // Same size, same time, other pixels: the copy still counts, and it is shown at once.
    const QDateTime modified = QFileInfo(source).lastModified();
    QVERIFY(listWithPicture(blue, beside));
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    {
        VkStartupDlg dlg(nullptr);
        QCOMPARE(shownAt(firstRow(dlg), kLeftSpot), kRed);
    }

    // A new modification time makes the copy stale: decoded again, and the copy replaced.
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite) &&
                f.setFileTime(modified.addSecs(60), QFileDevice::FileModificationTime));
    }
    {
        VkStartupDlg dlg(nullptr);
        QCOMPARE(shownAt(firstRow(dlg), kLeftSpot), kBlack);
        QTRY_COMPARE_WITH_TIMEOUT(shownAt(firstRow(dlg), kLeftSpot), kBlue, kDecodeTimeoutMs);
    }
    QCOMPARE(cachedCopies().size(), 1);
    {
        VkStartupDlg dlg(nullptr);
        QCOMPARE(shownAt(firstRow(dlg), kLeftSpot), kBlue);
    }
}

VK_TEST_MAIN(TestStartupThumbnails)
#include "tst_startupthumbnails.moc"
