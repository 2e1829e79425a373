#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkProjectRecentInfo.h>

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "VkTestFiles.h"
#include "VkTestMain.h"

class tst_VkProjectRecent : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(storePath()); }
    void entriesOfWrongTypesSkipped();
    void readAndReload();
    void addAndTouch();
    void unknownEntryKeysKept();
    void listIsCapped();

private:
    static IVkProjectRecentManager* manager() { return IVkProjectRecentManager::getInstance(); }
    static QString storePath()
    {
        return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("recent.json"));
    }
    static QList<VkProjectRecentInfo*> listed()
    {
        return manager()->getRecentProjects(IVkProjectRecentManager::RecentAll);
    }
    static QJsonObject storedEntry(int i)
    {
        return QJsonDocument::fromJson(readBytes(storePath())).array().at(i).toObject();
    }
    static QStringList listedPaths()
    {
        QStringList paths;
        for (const VkProjectRecentInfo* record : listed())
            paths << record->getPath();
        return paths;
    }
    static bool add(const char* path, const QString& name)
    {
        QString error;
        return manager()->addProject(QString::fromLatin1(path), name, &error);
    }
};

// Only the entries whose known fields have the right types survive, in their order; the reader
// never repairs the store (that is the host's business, not a dialog's).
void tst_VkProjectRecent::entriesOfWrongTypesSkipped()
{
    const QByteArray contents(R"([
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
    ])");
    QVERIFY(writeBytes(storePath(), contents));
    QCOMPARE(listedPaths(), (QStringList{QStringLiteral("/p/a.vkproj"), QStringLiteral("/p/g.vkproj")}));
    QCOMPARE(readBytes(storePath()), contents);
}

void tst_VkProjectRecent::readAndReload()
{
    QVERIFY(listed().isEmpty());
    QVERIFY(writeBytes(storePath(), R"([
        {"name": "A", "path": "/p/a.vkproj", "createTime": 1600000000, "modifyTime": 1700000000},
        {"name": "B", "path": "/p/b.vkproj", "modifyTime": 20}])"));
    const QList<VkProjectRecentInfo*> before = listed();
    QCOMPARE(before.size(), 2);
    VkProjectRecentInfo* a = before.at(0);
    VkProjectRecentInfo* b = before.at(1);
    QCOMPARE(a->getName(), QStringLiteral("A"));
    QCOMPARE(a->getCreateTime(), quint64(1600000000));
    QCOMPARE(a->getModifyTime(), quint64(1700000000));

    QVERIFY(writeBytes(storePath(), R"([{"name": "C", "path": "/p/c.vkproj", "modifyTime": 40},
        {"name": "A renamed", "path": "/p/a.vkproj", "modifyTime": 30}])"));
    manager()->reload();
    QCOMPARE(listedPaths(), (QStringList{QStringLiteral("/p/c.vkproj"), QStringLiteral("/p/a.vkproj")}));
    // Same record, new values: a list row holding the pointer shows the current entry.
    QCOMPARE(listed().at(1), a);
    QCOMPARE(a->getName(), QStringLiteral("A renamed"));
    QCOMPARE(a->getModifyTime(), quint64(30));
    // B left the list but a row may still hold it: it keeps its last values.
    QVERIFY(!listed().contains(b));
    QCOMPARE(b->getName(), QStringLiteral("B"));
    QCOMPARE(b->getModifyTime(), quint64(20));
}

void tst_VkProjectRecent::addAndTouch()
{
    const double start = double(QDateTime::currentSecsSinceEpoch());
    QVERIFY(add("/p/one.vkproj", QStringLiteral("One")));
    QVERIFY(add("/p/two.vkproj", QString()));
    // Newest first; an empty name falls back to the file's base name.
    QCOMPARE(listedPaths(), (QStringList{QStringLiteral("/p/two.vkproj"), QStringLiteral("/p/one.vkproj")}));
    QCOMPARE(listed().at(0)->getName(), QStringLiteral("two"));
    VkProjectRecentInfo* one = listed().at(1);
    // Written as a list of entries with the four keys.
    const QJsonObject entry = storedEntry(1);
    QCOMPARE(entry.value(QLatin1String("name")), QJsonValue(QStringLiteral("One")));
    QCOMPARE(entry.value(QLatin1String("path")), QJsonValue(QStringLiteral("/p/one.vkproj")));
    QVERIFY(entry.value(QLatin1String("createTime")).toDouble() >= start);
    QVERIFY(entry.value(QLatin1String("modifyTime")).isDouble());

    QString error;
    QVERIFY(manager()->touchProject(QStringLiteral("/p/one.vkproj"), &error));
    QCOMPARE(listed().at(0), one);
    // Adding a listed path again moves it, never lists it twice.
    QVERIFY(add("/p/two.vkproj", QStringLiteral("Two")));
    QCOMPARE(listedPaths(), (QStringList{QStringLiteral("/p/two.vkproj"), QStringLiteral("/p/one.vkproj")}));
    QCOMPARE(listed().at(0)->getName(), QStringLiteral("Two"));

    QVERIFY(!manager()->touchProject(QStringLiteral("/p/never.vkproj"), &error));
    QVERIFY(!error.isEmpty());
}

void tst_VkProjectRecent::unknownEntryKeysKept()
{
    QVERIFY(writeBytes(
        storePath(),
        R"([{"name": "A", "path": "/p/a.vkproj", "createTime": 5, "modifyTime": 6, "pinned": true}])"));
    QString error;
    QVERIFY(manager()->touchProject(QStringLiteral("/p/a.vkproj"), &error));
    const QJsonObject entry = storedEntry(0);
    QCOMPARE(entry.value(QLatin1String("pinned")), QJsonValue(true));
    QCOMPARE(entry.value(QLatin1String("createTime")), QJsonValue(5));
    QVERIFY(entry.value(QLatin1String("modifyTime")).toDouble() > 6.0);
}

void tst_VkProjectRecent::listIsCapped()
{
    // One addition past the limit of 50: the first one added, now the oldest, falls off the end.
    for (int i = 0; i <= 50; ++i)
        QVERIFY(add(qPrintable(QStringLiteral("/p/%1.vkproj").arg(i)), QString()));
    const QStringList paths = listedPaths();
    QCOMPARE(paths.size(), 50);
    QCOMPARE(paths.first(), QStringLiteral("/p/50.vkproj"));
    QCOMPARE(paths.last(), QStringLiteral("/p/1.vkproj"));
}

VK_TEST_MAIN(tst_VkProjectRecent)
#include "tst_recent.moc"
