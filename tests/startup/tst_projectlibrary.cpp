#include "StartupFixtures.h"
#include "VkTestMain.h"

#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupListItem.h>
#include <vkcore/VkUtility.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkwidgets/VkLabel.h>

#include <QDateTime>

namespace {

QString rowName(const VkStartupListItem& row)
{
    auto* label = row.findChild<VkLabel*>("VkStartupListItem_Name");
    return label ? label->text() : QString();
}

} // namespace

class TestProjectLibrary : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fifteenNewestOfTwenty();
    void recordFields();
    void thumbnails_data();
    void thumbnails();
    void aspectRatios();
    void nameElision_data();
    void nameElision();
    void blackBoxWithoutThumbnail();

private:
    QTemporaryDir m_dir;
};

void TestProjectLibrary::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestProjectLibrary::fifteenNewestOfTwenty()
{
    // Modification times are shuffled so that list order and time order differ; creation times run
    // the other way, to catch a sort on the wrong field.
    QList<RecentFixture::Entry> entries;
    for (int i = 0; i < 20; ++i) {
        const int t = (i * 7) % 20; // a permutation of 0..19
        entries.append({QStringLiteral("p%1").arg(t), m_dir.filePath(QStringLiteral("p%1.vkproj").arg(t)),
                        2000000 - t, 1000000 + t * 60});
    }
    QVERIFY(RecentFixture::write(entries));

    VkProjectLibrary library;
    QList<ProjectLibraryRecord> records;
    library.recentProjects(records, 15);
    QCOMPARE(records.size(), 15);
    QStringList names;
    for (const ProjectLibraryRecord& r : records)
        names << r.name;
    QStringList expected;
    for (int t = 19; t >= 5; --t)
        expected << QStringLiteral("p%1").arg(t);
    QCOMPARE(names, expected);

    // The list appends to what the caller holds and stops once the count is reached.
    QList<ProjectLibraryRecord> some{ProjectLibraryRecord()};
    library.recentProjects(some, 3);
    QCOMPARE(some.size(), 3);
}

void TestProjectLibrary::recordFields()
{
    const QString path = RecentFixture::makeProject(QDir(m_dir.path()), "sized", 3000);
    QVERIFY(!path.isEmpty());
    const qint64 created = QDateTime(QDate(2024, 3, 9), QTime(14, 5)).toSecsSinceEpoch();
    QVERIFY(RecentFixture::write({{"Sized", path, created, created + 10},
                                  {"Missing", m_dir.filePath("gone.vkproj"), created, created}}));

    VkProjectLibrary library;
    QList<ProjectLibraryRecord> records;
    library.recentProjects(records, 15);
    QCOMPARE(records.size(), 2);
    // The creation time is shown (local time), in the fixed year-first form.
    QCOMPARE(records.at(0).time, QStringLiteral("2024/03/09 14:05"));
    QCOMPARE(records.at(0).size, VkUtility::gGetFileSizeAuto(QFileInfo(path).size()));
    QVERIFY(records.at(0).info);
    QCOMPARE(records.at(0).info->getPath(), path);
    // A project whose file is gone is still listed, with size 0 and no picture.
    QCOMPARE(records.at(1).name, QStringLiteral("Missing"));
    QCOMPARE(records.at(1).size, VkUtility::gGetFileSizeAuto(0));
    QVERIFY(records.at(1).thumbnail.isNull());
}

void TestProjectLibrary::thumbnails_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QColor>("color");

    // The .kqthumb beside the project, named after everything before the last suffix.
    QTest::newRow("kqthumb beside") << "trip"
                                    << "kqthumb" << QColor(Qt::red);
    QTest::newRow("name with a further dot") << "trip.final"
                                             << "kqthumb" << QColor(Qt::green);
    // No .kqthumb: the picture the project file keeps itself.
    QTest::newRow("kept in the project") << "holiday"
                                         << "project" << QColor(Qt::blue);
    // A .kqthumb that is not a PNG gives no picture (and no fallback to the project's own).
    QTest::newRow("corrupt kqthumb") << "broken"
                                     << "corrupt" << QColor();
}

void TestProjectLibrary::thumbnails()
{
    QFETCH(QString, baseName);
    QFETCH(QString, source);
    QFETCH(QColor, color);
    QDir dir(m_dir.path());
    const QString path = RecentFixture::makeProject(dir, baseName);
    QVERIFY(!path.isEmpty());
    const QString thumb = dir.filePath(baseName + ".kqthumb");
    QCOMPARE(VkProjectLibrary::thumbnailPathOf(path), QDir::toNativeSeparators(thumb));
    if (source == "kqthumb") {
        QVERIFY(RecentFixture::makeThumbnail(thumb, color));
    } else if (source == "corrupt") {
        QFile f(thumb);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a png at all");
        // The project itself does have a picture, which must not be used instead.
        QString error;
        QVERIFY(IVkProjectManager::getInstance()->openProject(path, &error));
        QImage image(16, 9, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        QVERIFY(IVkProjectManager::getInstance()->currentProject()->setThumbnail(image, &error));
    } else {
        QString error;
        QVERIFY2(IVkProjectManager::getInstance()->openProject(path, &error), qPrintable(error));
        QImage image(64, 36, QImage::Format_RGB32);
        image.fill(color);
        QVERIFY2(IVkProjectManager::getInstance()->currentProject()->setThumbnail(image, &error),
                 qPrintable(error));
    }
    QVERIFY(RecentFixture::write({{baseName, path, 1, 1}}));

    VkProjectLibrary library;
    QList<ProjectLibraryRecord> records;
    library.recentProjects(records, 15);
    QCOMPARE(records.size(), 1);
    if (!color.isValid()) {
        QVERIFY(records.first().thumbnail.isNull());
        return;
    }
    QVERIFY(!records.first().thumbnail.isNull());
    QCOMPARE(records.first().thumbnail.toImage().pixelColor(5, 5), color);
}

void TestProjectLibrary::aspectRatios()
{
    VkProjectLibrary library;
    QList<AspectRatioEntry> entries{{"stale", 99}};
    library.aspectRatios(entries);
    QCOMPARE(entries.size(), 7);
    QCOMPARE(entries.first().label, QStringLiteral("16:9 (Widescreen)"));
    QCOMPARE(entries.first().type, 1);
    QCOMPARE(entries.last().label, QStringLiteral("4:5 (Vertical)"));
    QCOMPARE(entries.last().type, 7);
}

void TestProjectLibrary::nameElision_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("elided");

    // Grow a name one letter at a time at the row's font: the longest that still fits 160 px is
    // shown whole; one letter more goes over and is elided.
    QFont font;
    font.setPixelSize(VkStartupListItem::kNamePixelSize);
    const QFontMetrics metrics(font);
    QString name;
    while (metrics.horizontalAdvance(name + QLatin1Char('m')) <= VkStartupListItem::kNameWidth)
        name += QLatin1Char('m');
    QVERIFY(metrics.horizontalAdvance(name) <= 160);
    QTest::newRow("fits") << name << false;
    QTest::newRow("one letter over") << name + QLatin1Char('m') << true;
    QTest::newRow("short") << "trip" << false;
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
    QCOMPARE(rowName(row), shown);
    if (elided) {
        QVERIFY(shown != name);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QFont font;
        font.setPixelSize(14);
        QVERIFY(QFontMetrics(font).horizontalAdvance(shown) <= 160);
    } else {
        QCOMPARE(shown, name);
    }
    auto* label = row.findChild<VkLabel*>("VkStartupListItem_Name");
    QVERIFY(label);
    QCOMPARE(label->textFormat(), Qt::PlainText);
}

void TestProjectLibrary::blackBoxWithoutThumbnail()
{
    ProjectLibraryRecord record;
    record.name = "no picture";
    VkStartupListItem row(record, nullptr);
    row.resize(330, 80);
    const QImage shot = row.grab().toImage();
    // The thumbnail box is 100 x 56 at y (80 - 56) / 2 = 12.
    QCOMPARE(shot.pixelColor(50, 12 + 28), QColor(Qt::black));
    QVERIFY(shot.pixelColor(50, 5) != QColor(Qt::black));

    row.setSelected(true);
    const QImage selected = row.grab().toImage();
    QCOMPARE(selected.pixelColor(200, 5), QColor(0x34, 0x40, 0x4D));
}

VK_TEST_MAIN(TestProjectLibrary)
#include "tst_projectlibrary.moc"
