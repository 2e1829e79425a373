#include <vkvblmodel/IVkPairTarget.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectCompanion.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectRecentInfo.h>

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>

#include "VkTestFiles.h"
#include "VkTestMain.h"

using VKVBLMODEL::VkProjectConfig;
Q_DECLARE_METATYPE(VkFrameRate)

namespace {

QJsonObject readJson(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

// The value at a slash-separated path of keys ("config/width") in the project file at path.
QJsonValue fileValue(const QString& path, const char* keys)
{
    QJsonValue value = readJson(path);
    for (const QString& key : QString::fromLatin1(keys).split(QLatin1Char('/')))
        value = value.toObject().value(key);
    return value;
}

VkProjectConfig customConfig()
{
    VkProjectConfig config;
    config.aspectRatio = VKVBLMODEL::AspectRatioCustom;
    config.frameRate = VKVBLMODEL::FrameRate29_97;
    config.resolution = QSize(1000, 700);
    config.colorSpace = VKVBLMODEL::ColorSpacePQ;
    config.audioSampleRate = 44100;
    config.audioChannels = 6;
    return config;
}

bool sameConfig(const VkProjectConfig& a, const VkProjectConfig& b)
{
    return a.aspectRatio == b.aspectRatio && a.frameRate == b.frameRate && a.resolution == b.resolution &&
           a.colorSpace == b.colorSpace && a.audioSampleRate == b.audioSampleRate &&
           a.audioChannels == b.audioChannels && a.videoBitDepth == b.videoBitDepth;
}

} // namespace

class tst_VkProject : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(recentStorePath());
        manager()->newProject();
    }

    void saveAndOpenRoundTrip()
    {
        // A new project has every setting at its default, whatever the caller's struct held.
        QVERIFY(current()->filePath().isEmpty());
        QVERIFY(sameConfig(currentConfig(), VkProjectConfig()));

        current()->setProjectConfig(customConfig());
        const QString path = saved(QStringLiteral("roundtrip"));
        QCOMPARE(current()->filePath(), path);
        QCOMPARE(current()->name(), QStringLiteral("roundtrip"));
        QCOMPARE(fileValue(path, "format"), QJsonValue(QStringLiteral("vkproject")));
        QCOMPARE(fileValue(path, "config/frameRate"), QJsonValue(3));

        IVkProject* before = current();
        manager()->newProject();
        QVERIFY(current() != before);
        QString error;
        QVERIFY2(manager()->openProject(path, &error), qPrintable(error));
        QVERIFY(sameConfig(currentConfig(), customConfig()));
        // A project handed out before stays usable after another one became current.
        QCOMPARE(before->filePath(), path);
    }

    // Sections and keys of other programs (or later versions) are written back as they were.
    void unknownKeysSurviveWrites()
    {
        const QString path = m_dir.filePath(QStringLiteral("unknown.vkproj"));
        const QByteArray original = R"({
            "format": "vkproject", "version": 1, "name": "Trip",
            "config": {"aspectRatio": 1, "frameRate": 2, "width": 1920, "height": 1080, "colorSpace": 0,
                       "proxyQuality": "half"},
            "tracks": [{"kind": "video", "clips": [1, 2, 3]}],
            "futureSection": {"a": 1}
        })";
        QVERIFY(writeBytes(path, original));
        QString error;
        QVERIFY2(manager()->openProject(path, &error), qPrintable(error));
        QCOMPARE(current()->name(), QStringLiteral("Trip"));
        current()->setProjectConfig(customConfig());
        pairTarget()->applyPair(30000, 1001);

        const QJsonObject before = QJsonDocument::fromJson(original).object();
        for (const char* key : {"name", "tracks", "futureSection"})
            QCOMPARE(fileValue(path, key), before.value(QLatin1String(key)));
        QCOMPARE(fileValue(path, "config/proxyQuality"), QJsonValue(QStringLiteral("half")));
        QCOMPARE(fileValue(path, "config/width"), QJsonValue(1000));

        // Keys another program adds while the project is open are kept by our next write as well.
        QJsonObject edited = readJson(path);
        edited.insert(QStringLiteral("addedMeanwhile"), true);
        QVERIFY(writeBytes(path, QJsonDocument(edited).toJson()));
        VkProjectConfig config = customConfig();
        config.resolution = QSize(1280, 720);
        current()->setProjectConfig(config);
        QCOMPARE(fileValue(path, "addedMeanwhile"), QJsonValue(true));
        QCOMPARE(fileValue(path, "config/height"), QJsonValue(720));
    }

    void damagedProjectRefused_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("cut short") << QByteArray(R"({"format": "vkproject", "version": 1, "config": {)");
        QTest::newRow("list") << QByteArray(R"([{"format": "vkproject"}])");
        QTest::newRow("other format") << QByteArray(R"({"format": "other", "version": 1})");
        QTest::newRow("newer version")
            << QByteArray(R"({"format": "vkproject", "version": 2, "config": {}})");
        QTest::newRow("version as text") << QByteArray(R"({"format": "vkproject", "version": "1"})");
        QTest::newRow("config not an object")
            << QByteArray(R"({"format": "vkproject", "version": 1, "config": 5})");
    }

    void damagedProjectRefused()
    {
        QFETCH(QByteArray, contents);
        const QString path = m_dir.filePath(QStringLiteral("damaged.vkproj"));
        QVERIFY(writeBytes(path, contents));
        IVkProject* before = current();
        QString error;
        QVERIFY(!manager()->openProject(path, &error));
        QVERIFY2(error.contains(QLatin1String("damaged.vkproj")), qPrintable(error));
        QCOMPARE(current(), before);
        // Nothing was written into the file we could not read.
        QCOMPARE(readBytes(path), contents);
    }

    void writeReplacesTheFileAtomically()
    {
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath(QStringLiteral("atomic.vkproj"));
        QString error;
        QVERIFY(manager()->saveProjectAs(path, &error));
        const QByteArray original = readBytes(path);
        // A reader that opened the file before the write keeps the complete old file: the new one
        // replaced it by rename, it was not rewritten in place.
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        current()->setProjectConfig(customConfig());
        QCOMPARE(reader.readAll(), original);
        QVERIFY(readBytes(path) != original);
        // No temporary file is left behind.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("atomic.vkproj")});

        // A write that cannot happen (a folder where the file would go) reports and changes nothing.
        const QString blocked = QDir(folder.path()).filePath(QStringLiteral("blocked.vkproj"));
        QVERIFY(QDir().mkpath(blocked));
        QVERIFY(!manager()->saveProjectAs(blocked, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(current()->filePath(), path);
    }

    void readPair_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<VkFrameRate>("pair");
        // A stored value outside the list reads as 25 fps. NTSC rates (the whole rate times 1000/1001)
        // are read on their way to the file below.
        QTest::newRow("25") << 2 << VkFrameRate{25, 1};
        QTest::newRow("past the list") << 8 << VkFrameRate{25, 1};
        QTest::newRow("negative") << -1 << VkFrameRate{25, 1};
    }

    void readPair()
    {
        QFETCH(int, stored);
        VkProjectConfig config;
        config.frameRate = static_cast<VKVBLMODEL::VkProjectFrameRateType>(stored);
        current()->setProjectConfig(config);
        VkFrameRate pair{0, 0};
        current()->companion()->readPair(pair);
        QTEST(pair, "pair");
        // Before any pair is applied the timeline runs at the project's rate.
        QTEST(pairTarget()->appliedPair(), "pair");
    }

    // The save flow of the settings dialog: read the project's pair, hand it to the timeline.
    void applyPairReachesTheFile()
    {
        const QString path = saved(QStringLiteral("timeline"));
        VkProjectConfig config;
        config.frameRate = VKVBLMODEL::FrameRate59_94;
        current()->setProjectConfig(config);
        VkFrameRate rate;
        current()->companion()->readPair(rate);
        pairTarget()->applyPair(int(rate.num), int(rate.den));
        QCOMPARE(fileValue(path, "timeline/frameRateNum"), QJsonValue(60000));
        QCOMPARE(fileValue(path, "timeline/frameRateDen"), QJsonValue(1001));

        // Pairs that are no rate are ignored and leave the file as it was.
        const QByteArray before = readBytes(path);
        pairTarget()->applyPair(0, 1);
        pairTarget()->applyPair(25, 0);
        pairTarget()->applyPair(-25, 1);
        QCOMPARE(readBytes(path), before);

        // The applied pair is part of the project: it comes back on opening.
        manager()->newProject();
        QString error;
        QVERIFY(manager()->openProject(path, &error));
        QCOMPARE(pairTarget()->appliedPair(), (VkFrameRate{60000, 1001}));
    }

    void thumbnail()
    {
        const QString path = saved(QStringLiteral("picture"));
        QVERIFY(IVkProject::getThumbnail(path).isNull());
        QImage image(32, 18, QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30));
        QString error;
        QVERIFY2(current()->setThumbnail(image, &error), qPrintable(error));
        QVERIFY(fileValue(path, "thumbnail").isString());
        const QPixmap pixmap = IVkProject::getThumbnail(path);
        QCOMPARE(pixmap.size(), QSize(32, 18));
        QCOMPARE(pixmap.toImage().pixelColor(5, 5), QColor(10, 200, 30));

        // A config write afterwards keeps the thumbnail; a null image removes it.
        current()->setProjectConfig(customConfig());
        QVERIFY(!IVkProject::getThumbnail(path).isNull());
        QVERIFY(current()->setThumbnail(QImage(), &error));
        QVERIFY(fileValue(path, "thumbnail").isUndefined());
        QVERIFY(IVkProject::getThumbnail(path).isNull());
    }

    void thumbnailMissingOrBroken_data()
    {
        QTest::addColumn<QByteArray>("contents"); // empty: no file at all
        const QByteArray head(R"({"format": "vkproject", "version": 1)");
        QTest::newRow("not base64") << head + R"(, "thumbnail": "%%%"})";
        // "aGVsbG8=" is base64 for "hello": it decodes, but is no PNG.
        QTest::newRow("no PNG") << head + R"(, "thumbnail": "aGVsbG8="})";
        QTest::newRow("a number") << head + R"(, "thumbnail": 12})";
        QTest::newRow("project damaged") << QByteArray("garbage");
        QTest::newRow("project missing") << QByteArray();
    }

    void thumbnailMissingOrBroken()
    {
        QFETCH(QByteArray, contents);
        const QString path = m_dir.filePath(QStringLiteral("thumb.vkproj"));
        QFile::remove(path);
        QVERIFY(contents.isEmpty() || writeBytes(path, contents));
        QVERIFY(IVkProject::getThumbnail(path).isNull());
    }

    // The recent-project list.
    // Only the entries whose known fields have the right types survive, in their order; the reader
    // never repairs the store (that is the host's business, not a dialog's). A write keeps the keys
    // of an entry that it does not know.
    void entriesOfWrongTypesSkipped()
    {
        const QByteArray contents(R"([
            "just text",
            {"name": "A", "path": "/p/a.vkproj", "createTime": 1, "modifyTime": 2, "pinned": true},
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
        QVERIFY(writeBytes(recentStorePath(), contents));
        QCOMPARE(listedPaths(), (QStringList{QStringLiteral("/p/a.vkproj"), QStringLiteral("/p/g.vkproj")}));
        QCOMPARE(readBytes(recentStorePath()), contents);
        QString error;
        QVERIFY(recent()->touchProject(QStringLiteral("/p/a.vkproj"), &error));
        const QJsonObject entry = storedEntry(0);
        QCOMPARE(entry.value(QLatin1String("pinned")), QJsonValue(true));
        QCOMPARE(entry.value(QLatin1String("createTime")), QJsonValue(1));
        QVERIFY(entry.value(QLatin1String("modifyTime")).toDouble() > 2.0);
    }

    void readAndReload()
    {
        QVERIFY(listed().isEmpty());
        QVERIFY(writeBytes(recentStorePath(), R"([
            {"name": "A", "path": "/p/a.vkproj", "createTime": 1600000000, "modifyTime": 1700000000},
            {"name": "B", "path": "/p/b.vkproj", "modifyTime": 20}])"));
        const QList<VkProjectRecentInfo*> before = listed();
        QCOMPARE(before.size(), 2);
        VkProjectRecentInfo* a = before.at(0);
        VkProjectRecentInfo* b = before.at(1);
        QCOMPARE(a->getName(), QStringLiteral("A"));
        QCOMPARE(a->getCreateTime(), quint64(1600000000));
        QCOMPARE(a->getModifyTime(), quint64(1700000000));

        QVERIFY(writeBytes(recentStorePath(), R"([{"name": "C", "path": "/p/c.vkproj", "modifyTime": 40},
            {"name": "A renamed", "path": "/p/a.vkproj", "modifyTime": 30}])"));
        recent()->reload();
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

    void addAndTouch()
    {
        const double start = double(QDateTime::currentSecsSinceEpoch());
        QVERIFY(add("/p/one.vkproj", QStringLiteral("One")));
        QVERIFY(add("/p/two.vkproj", QString()));
        // Newest first; an empty name falls back to the file's base name.
        QCOMPARE(listedPaths(),
                 (QStringList{QStringLiteral("/p/two.vkproj"), QStringLiteral("/p/one.vkproj")}));
        QCOMPARE(listed().at(0)->getName(), QStringLiteral("two"));
        VkProjectRecentInfo* one = listed().at(1);
        // Written as a list of entries with the four keys.
        const QJsonObject entry = storedEntry(1);
        QCOMPARE(entry.value(QLatin1String("name")), QJsonValue(QStringLiteral("One")));
        QCOMPARE(entry.value(QLatin1String("path")), QJsonValue(QStringLiteral("/p/one.vkproj")));
        QVERIFY(entry.value(QLatin1String("createTime")).toDouble() >= start);
        QVERIFY(entry.value(QLatin1String("modifyTime")).isDouble());

        QString error;
        QVERIFY(recent()->touchProject(QStringLiteral("/p/one.vkproj"), &error));
        QCOMPARE(listed().at(0), one);
        // Adding a listed path again moves it, never lists it twice.
        QVERIFY(add("/p/two.vkproj", QStringLiteral("Two")));
        QCOMPARE(listedPaths(),
                 (QStringList{QStringLiteral("/p/two.vkproj"), QStringLiteral("/p/one.vkproj")}));
        QCOMPARE(listed().at(0)->getName(), QStringLiteral("Two"));

        QVERIFY(!recent()->touchProject(QStringLiteral("/p/never.vkproj"), &error));
        QVERIFY(!error.isEmpty());
    }

    void listIsCapped()
    {
        // One addition past the limit of 50: the first one added, now the oldest, falls off the end.
        for (int i = 0; i <= 50; ++i)
            QVERIFY(add(qPrintable(QStringLiteral("/p/%1.vkproj").arg(i)), QString()));
        const QStringList paths = listedPaths();
        QCOMPARE(paths.size(), 50);
        QCOMPARE(paths.first(), QStringLiteral("/p/50.vkproj"));
        QCOMPARE(paths.last(), QStringLiteral("/p/1.vkproj"));
    }

private:
    static IVkProjectRecentManager* recent() { return IVkProjectRecentManager::getInstance(); }
    static QString recentStorePath()
    {
        return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("recent.json"));
    }
    static QList<VkProjectRecentInfo*> listed()
    {
        return recent()->getRecentProjects(IVkProjectRecentManager::RecentAll);
    }
    static QJsonObject storedEntry(int i)
    {
        return QJsonDocument::fromJson(readBytes(recentStorePath())).array().at(i).toObject();
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
        return recent()->addProject(QString::fromLatin1(path), name, &error);
    }
    static IVkProjectManager* manager() { return IVkProjectManager::getInstance(); }
    static IVkProject* current() { return manager()->currentProject(); }
    static IVkPairTarget* pairTarget() { return current()->companion()->pairTarget(); }
    // The current project's settings, read over a record that holds other values.
    static VkProjectConfig currentConfig()
    {
        VkProjectConfig config = customConfig();
        current()->getProjectConfig(config);
        return config;
    }
    // The current project saved under a name of the temporary folder.
    QString saved(const QString& name)
    {
        const QString path = m_dir.filePath(name + QStringLiteral(".vkproj"));
        QString error;
        return manager()->saveProjectAs(path, &error) ? path : error;
    }
    QTemporaryDir m_dir;
};

VK_TEST_MAIN(tst_VkProject)
#include "tst_project.moc"
