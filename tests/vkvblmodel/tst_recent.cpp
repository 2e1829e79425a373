#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkProjectRecentInfo.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "VkTestMain.h"

namespace {
IVkProjectRecentManager* manager()
{
    return IVkProjectRecentManager::getInstance();
}

QString storePath()
{
    return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("recent.json"));
}

QByteArray readStore()
{
    QFile file(storePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeStore(const QByteArray& contents)
{
    QFile file(storePath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

QList<VkProjectRecentInfo*> listed(int kind = IVkProjectRecentManager::RecentAll)
{
    return manager()->getRecentProjects(kind);
}

QStringList pathsOf(const QList<VkProjectRecentInfo*>& records)
{
    QStringList paths;
    for (const VkProjectRecentInfo* record : records)
        paths << record->getPath();
    return paths;
}
} // namespace

class tst_VkProjectRecent : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(storePath()); }
    void damagedStore_data();
    void damagedStore();
    void readAndReload();
    void addAndTouch();
    void unknownEntryKeysKept();
    void listIsCapped();
};

void tst_VkProjectRecent::damagedStore_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("not json") << QByteArray("name=Holiday\n") << QStringList();
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe[{", 5) << QStringList();
    QTest::newRow("object instead of list") << QByteArray(R"({"path": "/p/a.vkproj"})") << QStringList();
    QTest::newRow("cut short") << QByteArray(R"([{"name": "A", "path": "/p/a.vkproj")") << QStringList();
    // Only the entries whose known fields have the right types survive; their order stays.
    QTest::newRow("mixed entries") << QByteArray(R"([
            "just text",
            {"name": "A", "path": "/p/a.vkproj", "createTime": 1, "modifyTime": 2},
            {"name": "no path"},
            {"name": "B", "path": 5},
            {"name": 7, "path": "/p/c.vkproj"},
            {"name": "D", "path": "/p/d.vkproj", "createTime": "yesterday"},
            {"name": "E", "path": "/p/e.vkproj", "modifyTime": -5},
            {"name": "F", "path": "/p/f.vkproj", "modifyTime": 1.5},
            {"path": "/p/g.vkproj"},
            {"name": "H", "path": ""},
            {"name": "A again", "path": "/p/a.vkproj"}
        ])") << QStringList{"/p/a.vkproj", "/p/g.vkproj"};
}

void tst_VkProjectRecent::damagedStore()
{
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, paths);
    QVERIFY(writeStore(contents));
    QCOMPARE(pathsOf(listed()), paths);
    // The reader never repairs the store: that is the host's business, not a dialog's.
    QCOMPARE(readStore(), contents);
}

void tst_VkProjectRecent::readAndReload()
{
    QVERIFY(listed().isEmpty());
    QVERIFY(writeStore(
        R"([{"name": "A", "path": "/p/a.vkproj", "createTime": 1600000000, "modifyTime": 1700000000},
                           {"name": "B", "path": "/p/b.vkproj", "modifyTime": 20}])"));
    const QList<VkProjectRecentInfo*> before = listed();
    QCOMPARE(pathsOf(before), (QStringList{"/p/a.vkproj", "/p/b.vkproj"}));
    VkProjectRecentInfo* a = before.at(0);
    VkProjectRecentInfo* b = before.at(1);
    QCOMPARE(a->getName(), QStringLiteral("A"));
    QCOMPARE(a->getCreateTime(), quint64(1600000000));
    QCOMPARE(a->getModifyTime(), quint64(1700000000));

    QVERIFY(writeStore(R"([{"name": "C", "path": "/p/c.vkproj", "modifyTime": 40},
                           {"name": "A renamed", "path": "/p/a.vkproj", "modifyTime": 30}])"));
    manager()->reload();
    const QList<VkProjectRecentInfo*> after = listed();
    QCOMPARE(pathsOf(after), (QStringList{"/p/c.vkproj", "/p/a.vkproj"}));
    // Same record, new values: a list row holding the pointer shows the current entry.
    QCOMPARE(after.at(1), a);
    QCOMPARE(a->getName(), QStringLiteral("A renamed"));
    QCOMPARE(a->getModifyTime(), quint64(30));
    // B left the list but a row may still hold it: it keeps its last values.
    QVERIFY(!after.contains(b));
    QCOMPARE(b->getName(), QStringLiteral("B"));
    QCOMPARE(b->getModifyTime(), quint64(20));
}

void tst_VkProjectRecent::addAndTouch()
{
    const quint64 start = quint64(QDateTime::currentSecsSinceEpoch());
    QString error;
    QVERIFY2(manager()->addProject(QStringLiteral("/p/one.vkproj"), QStringLiteral("One"), &error),
             qPrintable(error));
    QVERIFY(manager()->addProject(QStringLiteral("/p/two.vkproj"), QString(), &error));
    // Newest first; an empty name falls back to the file's base name.
    QList<VkProjectRecentInfo*> records = listed();
    QCOMPARE(pathsOf(records), (QStringList{"/p/two.vkproj", "/p/one.vkproj"}));
    QCOMPARE(records.at(0)->getName(), QStringLiteral("two"));
    QVERIFY(records.at(1)->getCreateTime() >= start);
    VkProjectRecentInfo* one = records.at(1);

    // Written as a list of entries with the four keys.
    const QJsonArray stored = QJsonDocument::fromJson(readStore()).array();
    QCOMPARE(stored.size(), 2);
    const QJsonObject entry = stored.at(1).toObject();
    QCOMPARE(entry.value("name").toString(), QStringLiteral("One"));
    QCOMPARE(entry.value("path").toString(), QStringLiteral("/p/one.vkproj"));
    QVERIFY(entry.value("createTime").toDouble() >= double(start));
    QVERIFY(entry.value("modifyTime").isDouble());

    QVERIFY(manager()->touchProject(QStringLiteral("/p/one.vkproj"), &error));
    records = listed();
    QCOMPARE(pathsOf(records), (QStringList{"/p/one.vkproj", "/p/two.vkproj"}));
    QCOMPARE(records.at(0), one);

    // Adding a listed path again moves it, never lists it twice.
    QVERIFY(manager()->addProject(QStringLiteral("/p/two.vkproj"), QStringLiteral("Two"), &error));
    records = listed();
    QCOMPARE(pathsOf(records), (QStringList{"/p/two.vkproj", "/p/one.vkproj"}));
    QCOMPARE(records.at(0)->getName(), QStringLiteral("Two"));

    QVERIFY(!manager()->touchProject(QStringLiteral("/p/never.vkproj"), &error));
    QVERIFY(!error.isEmpty());
}

void tst_VkProjectRecent::unknownEntryKeysKept()
{
    QVERIFY(writeStore(
        R"([{"name": "A", "path": "/p/a.vkproj", "createTime": 5, "modifyTime": 6, "pinned": true}])"));
    QString error;
    QVERIFY(manager()->touchProject(QStringLiteral("/p/a.vkproj"), &error));
    const QJsonObject entry = QJsonDocument::fromJson(readStore()).array().at(0).toObject();
    QCOMPARE(entry.value("pinned").toBool(), true);
    QCOMPARE(entry.value("createTime").toDouble(), 5.0);
    QVERIFY(entry.value("modifyTime").toDouble() > 6.0);
}

void tst_VkProjectRecent::listIsCapped()
{
    QString error;
    // One addition past the limit of 50: the first one added, now the oldest, falls off the end.
    for (int i = 0; i <= 50; ++i)
        QVERIFY(manager()->addProject(QStringLiteral("/p/%1.vkproj").arg(i), QString(), &error));
    const QStringList paths = pathsOf(listed());
    QCOMPARE(paths.size(), 50);
    QCOMPARE(paths.first(), QStringLiteral("/p/50.vkproj"));
    QCOMPARE(paths.last(), QStringLiteral("/p/1.vkproj"));
}

VK_TEST_MAIN(tst_VkProjectRecent)
#include "tst_recent.moc"
