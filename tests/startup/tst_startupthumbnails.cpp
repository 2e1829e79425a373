#include "StartupFixtures.h"
#include "StartupPictures.h"
#include "VkTestMain.h"

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
    void bigPicturesAreShown_data();
    void bigPicturesAreShown();
    void specialFilesNeverHang_data();
    void specialFilesNeverHang();
    void cacheIsUsedUntilTheSourceChanges_data();
    void cacheIsUsedUntilTheSourceChanges();

private:
    // One project listed; its picture beside it as a .kqthumb or kept inside the project file.
    bool listWithPicture(const QByteArray& png, bool beside);

    QTemporaryDir m_dir;
    QString m_project;
    QString m_kqthumb;
};

void TestStartupThumbnails::init()
{
    QDir(m_dir.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir.path()));
    QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails)).removeRecursively();
    m_project = RecentFixture::makeProject(QDir(m_dir.path()), QStringLiteral("film"));
    QVERIFY(!m_project.isEmpty());
    m_kqthumb = QDir(m_dir.path()).filePath(QStringLiteral("film.kqthumb"));
    QVERIFY(RecentFixture::write({{"Film", m_project, 1700000000, 1700000000}}));
}

bool TestStartupThumbnails::listWithPicture(const QByteArray& png, bool beside)
{
    if (beside)
        return TestPng::write(m_kqthumb, png);
    QFile f(m_project);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    f.close();
    root.insert(QStringLiteral("thumbnail"), QString::fromLatin1(png.toBase64()));
    return TestPng::write(m_project, QJsonDocument(root).toJson());
}

void TestStartupThumbnails::bigPicturesAreShown_data()
{
    QTest::addColumn<bool>("beside");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("interlaced");
    // 8K is 33 megapixels, 132 MB decoded whole: shown reduced while it is read.
    QTest::newRow(".kqthumb of 7680 x 4320") << true << 7680 << 4320 << false;
    QTest::newRow("interlaced .kqthumb of 7680 x 4320") << true << 7680 << 4320 << true;
    QTest::newRow("kept in the project, 7680 x 4320") << false << 7680 << 4320 << false;
    // Odd sides: the seven interlace passes and the last, partial boxes of the reduction (203 / 2).
    QTest::newRow("interlaced .kqthumb of 203 x 117") << true << 203 << 117 << true;
}

void TestStartupThumbnails::bigPicturesAreShown()
{
    QFETCH(bool, beside);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, interlaced);
    QVERIFY(listWithPicture(
        TestPng::make(width, height, interlaced, TestPng::halves(qRgb(255, 0, 0), qRgb(0, 0, 255), width)),
        beside));

    VkStartupDlg dlg(nullptr);
    VkStartupListItem* row = firstRow(dlg);
    QVERIFY(row);
    // Built without waiting for the picture: the box is black until it arrives.
    QCOMPARE(shownAt(row, kLeftSpot), kBlack);
    QTRY_COMPARE_WITH_TIMEOUT(shownAt(row, kLeftSpot), kRed, kDecodeTimeoutMs);
    QCOMPARE(shownAt(row, kRightSpot), kBlue);
}

void TestStartupThumbnails::specialFilesNeverHang_data()
{
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("fifo");
    // Reading a FIFO that no one writes blocks for ever; its size (0) says nothing.
    QTest::newRow(".kqthumb is a FIFO") << true << true;
    QTest::newRow("project file is a FIFO") << false << true;
    // A device that never ends: its size (0) caps nothing either.
    QTest::newRow("project file is /dev/zero") << false << false;
}

void TestStartupThumbnails::specialFilesNeverHang()
{
    QFETCH(bool, picture);
    QFETCH(bool, fifo);
    const QString special = picture ? m_kqthumb : m_project;
    QFile::remove(special);
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(special).constData(), 0600), 0);
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), special));

    {
        VkStartupDlg dlg(nullptr);
        VkStartupListItem* row = firstRow(dlg);
        QVERIFY(row);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // Time for a picture to arrive, were there one: none may.
        QTest::qWait(300);
        QCOMPARE(shownAt(row, kLeftSpot), kBlack);
    }
    QVERIFY(cachedCopies().isEmpty());
    QFile::remove(special);
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
