#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupListItem.h>
#include <vkcore/VkUtility.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkvblmodel/VkProjectThumbnailLoader.h>
#include <vkwidgets/VkLabel.h>

#include <QDateTime>
#include <QSignalSpy>

namespace {

QList<ProjectLibraryRecord> recentRecords()
{
    QList<ProjectLibraryRecord> records;
    VkProjectLibrary().recentProjects(records, 15);
    return records;
}

// The records with the pictures that had no cached copy yet, once the loader has delivered them.
QList<ProjectLibraryRecord> recentRecordsWithPictures()
{
    VkProjectLibrary library;
    QSignalSpy ready(library.thumbnailLoader(), &VkProjectThumbnailLoader::thumbnailReady);
    QList<ProjectLibraryRecord> records;
    library.recentProjects(records, 15);
    while (library.thumbnailLoader()->pendingCount() > 0 && ready.wait(30000)) {
    }
    for (const QList<QVariant>& arguments : qAsConst(ready)) {
        for (ProjectLibraryRecord& record : records) {
            if (record.thumbnailSource == arguments.at(0).toString())
                record.thumbnail = QPixmap::fromImage(arguments.at(2).value<QImage>());
        }
    }
    return records;
}

} // namespace

class TestProjectLibrary : public QObject
{
    Q_OBJECT
private slots:
    void recordFields();
    void thumbnails_data();
    void thumbnails();
    void nameElision_data();
    void nameElision();
    void blackBoxWithoutThumbnail();

private:
    QTemporaryDir m_dir;
};

void TestProjectLibrary::recordFields()
{
    const QString path = RecentFixture::makeProject(QDir(m_dir.path()), "sized", 3000);
    QVERIFY(!path.isEmpty());
    const qint64 created = QDateTime(QDate(2024, 3, 9), QTime(14, 5)).toSecsSinceEpoch();
    QVERIFY(RecentFixture::write({{"Sized", path, created, created + 10},
                                  {"Missing", m_dir.filePath("gone.vkproj"), created, created}}));
    const QList<ProjectLibraryRecord> records = recentRecords();
    QCOMPARE(records.size(), 2);
    // The creation time in local time, year first.
    QCOMPARE(records.at(0).time, QStringLiteral("2024/03/09 14:05"));
    QCOMPARE(records.at(0).size, VkUtility::gGetFileSizeAuto(QFileInfo(path).size()));
    QVERIFY(records.at(0).info);
    QCOMPARE(records.at(0).info->getPath(), path);
    // A project whose file is gone is still listed, with size 0 and no picture.
    QCOMPARE(records.at(1).name, QStringLiteral("Missing"));
    QCOMPARE(records.at(1).size, VkUtility::gGetFileSizeAuto(0));
    QVERIFY(records.at(1).thumbnail.isNull());

    // The list appends to what the caller holds and stops once the count is reached.
    QList<ProjectLibraryRecord> some{ProjectLibraryRecord()};
    VkProjectLibrary().recentProjects(some, 2);
    QCOMPARE(some.size(), 2);
    QCOMPARE(some.at(1).name, QStringLiteral("Sized"));
}

void TestProjectLibrary::thumbnails_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QByteArray>("kqthumb"); // "png", "junk" or none
    QTest::addColumn<QColor>("color");
    // The .kqthumb beside the project, named after everything before the last suffix, comes first.
    QTest::newRow("kqthumb beside") << "trip" << QByteArray("png") << QColor(Qt::red);
    QTest::newRow("name with a further dot") << "trip.final" << QByteArray("png") << QColor(Qt::green);
    // Without one, the picture the project file keeps itself.
    QTest::newRow("kept in the project") << "holiday" << QByteArray() << QColor(Qt::blue);
    // A .kqthumb that is no PNG gives no picture, and no fallback to the project's own.
    QTest::newRow("corrupt kqthumb") << "broken" << QByteArray("junk") << QColor();
}

void TestProjectLibrary::thumbnails()
{
    QFETCH(QString, baseName);
    QFETCH(QByteArray, kqthumb);
    QFETCH(QColor, color);
    QDir dir(m_dir.path());
    const QString path = RecentFixture::makeProject(dir, baseName);
    QVERIFY(!path.isEmpty());
    QString error;
    QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
    QImage own(64, 36, QImage::Format_RGB32);
    own.fill(Qt::blue);
    QVERIFY2(IVkProjectManager::getInstance()->currentProject()->setThumbnail(own, &error),
             qPrintable(error));

    const QString thumb = dir.filePath(baseName + ".kqthumb");
    QCOMPARE(VkProjectLibrary::thumbnailPathOf(path), QDir::toNativeSeparators(thumb));
    QImage beside(160, 90, QImage::Format_RGB32);
    beside.fill(color);
    QFile f(thumb);
    if (kqthumb == "png")
        QVERIFY(beside.save(thumb, "PNG"));
    else if (kqthumb == "junk")
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a png at all") > 0);
    f.close();
    QVERIFY(RecentFixture::write({{baseName, path, 1, 1}}));

    const QList<ProjectLibraryRecord> records = recentRecordsWithPictures();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().thumbnailSource, kqthumb.isEmpty() ? path : QDir::toNativeSeparators(thumb));
    QCOMPARE(records.first().thumbnail.isNull(), !color.isValid());
    if (color.isValid())
        QCOMPARE(records.first().thumbnail.toImage().pixelColor(5, 5), color);
}

void TestProjectLibrary::nameElision_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("elided");
    // The longest name of 'm's that fits the row's 160 px is shown whole; one letter more is elided.
    QFont font;
    font.setPixelSize(VkStartupListItem::kNamePixelSize);
    const QFontMetrics metrics(font);
    QString name;
    while (metrics.horizontalAdvance(name + QLatin1Char('m')) <= VkStartupListItem::kNameWidth)
        name += QLatin1Char('m');
    QTest::newRow("fits") << name << false;
    QTest::newRow("one letter over") << name + QLatin1Char('m') << true;
    QTest::newRow("markup stays text") << "<b>bold</b>" << false;
}

void TestProjectLibrary::nameElision()
{
    QFETCH(QString, name);
    QFETCH(bool, elided);
    ProjectLibraryRecord record;
    record.name = name;
    VkStartupListItem row(record, nullptr);
    const QString shown = row.projectName();
    auto* label = row.findChild<VkLabel*>("VkStartupListItem_Name");
    QVERIFY(label);
    QCOMPARE(label->text(), shown);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    if (!elided) {
        QCOMPARE(shown, name);
        return;
    }
    QVERIFY(shown != name);
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QFont font;
    font.setPixelSize(14);
    QVERIFY(QFontMetrics(font).horizontalAdvance(shown) <= 160);
}

void TestProjectLibrary::blackBoxWithoutThumbnail()
{
    ProjectLibraryRecord record;
    record.name = "no picture";
    VkStartupListItem row(record, nullptr);
    row.resize(330, 80);
    // The thumbnail box is 100 x 56 at y (80 - 56) / 2 = 12.
    const QImage shot = row.grab().toImage();
    QCOMPARE(shot.pixelColor(50, 12 + 28), QColor(Qt::black));
    QVERIFY(shot.pixelColor(50, 5) != QColor(Qt::black));
    row.setSelected(true);
    QCOMPARE(row.grab().toImage().pixelColor(200, 5), QColor(0x34, 0x40, 0x4D));
}

VK_TEST_MAIN(TestProjectLibrary)
#include "tst_projectlibrary.moc"
