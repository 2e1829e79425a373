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

using namespace VkTestLiterals;

namespace {

// The value at a slash-separated path of keys and list positions ("config/width", "0/name") in the
// JSON file at path; the whole document for "".
QJsonValue fileValue(const QString& path, const char* keys)
{
    const QJsonDocument document = QJsonDocument::fromJson(readBytes(path));
    QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    for (const QString& key : QString::fromLatin1(keys).split(QLatin1Char('/'), Qt::SkipEmptyParts))
        value = value.isArray() ? value.toArray().at(key.toInt()) : value.toObject().value(key);
    return value;
}

// Every setting away from its default but the bit depth.
const VkProjectConfig kCustom{VKVBLMODEL::AspectRatioCustom,
                              VKVBLMODEL::FrameRate29_97,
                              QSize(1000, 700),
                              VKVBLMODEL::ColorSpacePQ,
                              44100,
                              6};

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

    void saveWriteAndOpen()
    {
        // A new project has every setting at its default, whatever the caller's struct held.
        QVERIFY(current()->filePath().isEmpty());
        QVERIFY(sameConfig(currentConfig(), VkProjectConfig()));
        QTemporaryDir folder;
        const QString path = QDir(folder.path()).filePath("roundtrip.vkproj"_s);
        QString error;
        QVERIFY2(manager()->saveProjectAs(path, &error), qPrintable(error));
        QCOMPARE(current()->name(), "roundtrip"_s);
        QCOMPARE(fileValue(path, "format"), QJsonValue("vkproject"_s));

        // A reader that opened the file before a write keeps the complete old file: the new one
        // replaced it by rename, it was not rewritten in place, and no temporary file is left behind.
        const QByteArray original = readBytes(path);
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        current()->setProjectConfig(kCustom);
        QCOMPARE(reader.readAll(), original);
        QCOMPARE(fileValue(path, "config/frameRate"), QJsonValue(3));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"roundtrip.vkproj"_s});

        // A write that cannot happen (a folder where the file would go) reports and changes nothing.
        const QString blocked = QDir(folder.path()).filePath("blocked.vkproj"_s);
        QVERIFY(QDir().mkpath(blocked));
        QVERIFY(!manager()->saveProjectAs(blocked, &error) && !error.isEmpty());
        QCOMPARE(current()->filePath(), path);

        IVkProject* before = current();
        manager()->newProject();
        QVERIFY(current() != before);
        QVERIFY2(manager()->openProject(path, &error), qPrintable(error));
        QVERIFY(sameConfig(currentConfig(), kCustom));
        // A project handed out before stays usable after another one became current.
        QCOMPARE(before->filePath(), path);

        QVERIFY(IVkProject::getThumbnail(path).isNull());
        QImage image(32, 18, QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30));
        QVERIFY2(current()->setThumbnail(image, &error), qPrintable(error));
        QVERIFY(fileValue(path, "thumbnail").isString());
        const QPixmap pixmap = IVkProject::getThumbnail(path);
        QCOMPARE(pixmap.size(), QSize(32, 18));
        QCOMPARE(pixmap.toImage().pixelColor(5, 5), QColor(10, 200, 30));
        // A config write afterwards keeps the thumbnail; a null image removes it.
        current()->setProjectConfig(VkProjectConfig());
        QVERIFY(!IVkProject::getThumbnail(path).isNull());
        QVERIFY(current()->setThumbnail(QImage(), &error));
        QVERIFY(fileValue(path, "thumbnail").isUndefined());
        QVERIFY(IVkProject::getThumbnail(path).isNull());
    }

    // Sections and keys of other programs (or later versions) are written back as they were.
    void unknownKeysSurviveWrites()
    {
        const QString path = m_dir.filePath("unknown.vkproj"_s);
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
        QCOMPARE(current()->name(), "Trip"_s);
        current()->setProjectConfig(kCustom);
        pairTarget()->applyPair(30000, 1001);

        const QJsonObject before = QJsonDocument::fromJson(original).object();
        for (const char* key : {"name", "tracks", "futureSection"})
            QCOMPARE(fileValue(path, key), before.value(QLatin1String(key)));
        QCOMPARE(fileValue(path, "config/proxyQuality"), QJsonValue("half"_s));
        QCOMPARE(fileValue(path, "config/width"), QJsonValue(1000));

        // Keys another program adds while the project is open are kept by our next write as well.
        QJsonObject edited = fileValue(path, "").toObject();
        edited.insert("addedMeanwhile"_s, true);
        QVERIFY(writeBytes(path, QJsonDocument(edited).toJson()));
        VkProjectConfig config = kCustom;
        config.resolution = QSize(1280, 720);
        current()->setProjectConfig(config);
        QCOMPARE(fileValue(path, "addedMeanwhile"), QJsonValue(true));
        QCOMPARE(fileValue(path, "config/height"), QJsonValue(720));
    }

    void damagedProjectRefused_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no file at all
        QTest::addColumn<bool>("opens");
        const QByteArray head(R"({"format": "vkproject", "version": 1)");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray("") << false;
        QTest::newRow("cut short") << head + R"(, "config": {)" << false;
        QTest::newRow("list") << QByteArray(R"([{"format": "vkproject"}])") << false;
        QTest::newRow("other format") << QByteArray(R"({"format": "other", "version": 1})") << false;
        QTest::newRow("newer version")
            << QByteArray(R"({"format": "vkproject", "version": 2, "config": {}})") << false;
        QTest::newRow("version as text") << QByteArray(R"({"format": "vkproject", "version": "1"})") << false;
        QTest::newRow("config not an object") << head + R"(, "config": 5})" << false;
        // A broken thumbnail costs only the picture. "aGVsbG8=" is base64 for "hello": it decodes, but
        // is no PNG.
        QTest::newRow("thumbnail not base64") << head + R"(, "thumbnail": "%%%"})" << true;
        QTest::newRow("thumbnail no PNG") << head + R"(, "thumbnail": "aGVsbG8="})" << true;
        QTest::newRow("thumbnail a number") << head + R"(, "thumbnail": 12})" << true;
    }

    void damagedProjectRefused()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, opens);
        const QString path = m_dir.filePath("damaged.vkproj"_s);
        QFile::remove(path);
        QVERIFY(contents.isNull() || writeBytes(path, contents));
        QVERIFY(IVkProject::getThumbnail(path).isNull());
        IVkProject* before = current();
        QString error;
        QCOMPARE(manager()->openProject(path, &error), opens);
        QVERIFY2(opens || error.contains("damaged.vkproj"_s), qPrintable(error));
        QCOMPARE(current() == before, !opens);
        // Nothing was written into the file.
        QCOMPARE(readBytes(path), contents);
    }

    void pairReachesTheFile_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<VkFrameRate>("pair");
        // NTSC rates are the whole rate times 1000/1001; a stored value outside the list reads as 25 fps.
        QTest::newRow("59.94") << int(VKVBLMODEL::FrameRate59_94) << VkFrameRate{60000, 1001};
        QTest::newRow("past the list") << 8 << VkFrameRate{25, 1};
        QTest::newRow("negative") << -1 << VkFrameRate{25, 1};
    }

    // The save flow of the settings dialog: read the project's pair, hand it to the timeline.
    void pairReachesTheFile()
    {
        QFETCH(int, stored);
        QFETCH(VkFrameRate, pair);
        const QString path = m_dir.filePath("timeline.vkproj"_s);
        QString error;
        QVERIFY2(manager()->saveProjectAs(path, &error), qPrintable(error));
        VkProjectConfig config;
        config.frameRate = static_cast<VKVBLMODEL::VkProjectFrameRateType>(stored);
        current()->setProjectConfig(config);
        VkFrameRate read{0, 0};
        current()->companion()->readPair(read);
        QCOMPARE(read, pair);
        // Before any pair is applied the timeline runs at the project's rate.
        QCOMPARE(pairTarget()->appliedPair(), pair);
        pairTarget()->applyPair(int(read.num), int(read.den));
        QCOMPARE(fileValue(path, "timeline/frameRateNum"), QJsonValue(int(pair.num)));
        QCOMPARE(fileValue(path, "timeline/frameRateDen"), QJsonValue(int(pair.den)));

        // Pairs that are no rate are ignored and leave the file as it was.
        const QByteArray before = readBytes(path);
        pairTarget()->applyPair(0, 1);
        pairTarget()->applyPair(25, 0);
        pairTarget()->applyPair(-25, 1);
        QCOMPARE(readBytes(path), before);

        // The applied pair is part of the project: it comes back on opening.
        manager()->newProject();
        QVERIFY(manager()->openProject(path, &error));
        QCOMPARE(pairTarget()->appliedPair(), pair);
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
        QCOMPARE(listedPaths(), "/p/a.vkproj /p/g.vkproj"_s);
        QCOMPARE(readBytes(recentStorePath()), contents);
        VkProjectRecentInfo* a = listed().at(0);
        VkProjectRecentInfo* g = listed().at(1);
        QCOMPARE(facts(a) + " / "_s + facts(g), "A 1 2 / g 0 0"_s);
        QString error;
        QVERIFY(recent()->touchProject("/p/a.vkproj"_s, &error));
        QCOMPARE(fileValue(recentStorePath(), "0/pinned"), QJsonValue(true));
        QCOMPARE(fileValue(recentStorePath(), "0/createTime"), QJsonValue(1));
        QVERIFY(fileValue(recentStorePath(), "0/modifyTime").toDouble() > 2.0);

        // Read again: the same record with new values, so a list row holding the pointer shows the
        // current entry; one that left the list may still be held by a row and keeps its last values.
        QVERIFY(writeBytes(recentStorePath(), R"([{"name": "C", "path": "/p/c.vkproj", "modifyTime": 40},
            {"name": "A renamed", "path": "/p/a.vkproj", "modifyTime": 1700000000}])"));
        recent()->reload();
        QCOMPARE(listedPaths(), "/p/c.vkproj /p/a.vkproj"_s);
        QCOMPARE(listed().at(1), a);
        QCOMPARE(facts(a) + " / "_s + facts(g), "A renamed 0 1700000000 / g 0 0"_s);
    }

    void addAndTouch()
    {
        const double start = double(QDateTime::currentSecsSinceEpoch());
        QVERIFY(add("/p/one.vkproj", "One"_s));
        QVERIFY(add("/p/two.vkproj", QString()));
        // Newest first; an empty name falls back to the file's base name.
        QCOMPARE(listedPaths(), "/p/two.vkproj /p/one.vkproj"_s);
        QCOMPARE(listed().at(0)->getName(), "two"_s);
        VkProjectRecentInfo* one = listed().at(1);
        // Written as a list of entries with the four keys.
        QCOMPARE(fileValue(recentStorePath(), "1/name").toString() +
                     fileValue(recentStorePath(), "1/path").toString(),
                 "One/p/one.vkproj"_s);
        QVERIFY(fileValue(recentStorePath(), "1/createTime").toDouble() >= start);
        QVERIFY(fileValue(recentStorePath(), "1/modifyTime").isDouble());

        QString error;
        QVERIFY(recent()->touchProject("/p/one.vkproj"_s, &error));
        QCOMPARE(listed().at(0), one);
        // Adding a listed path again moves it, never lists it twice.
        QVERIFY(add("/p/two.vkproj", "Two"_s));
        QCOMPARE(listedPaths(), "/p/two.vkproj /p/one.vkproj"_s);
        QCOMPARE(listed().at(0)->getName(), "Two"_s);

        QVERIFY(!recent()->touchProject("/p/never.vkproj"_s, &error) && !error.isEmpty());

        // 49 more make one addition past the limit of 50: the oldest, one, falls off the end.
        for (int i = 0; i < 49; ++i)
            QVERIFY(add(qPrintable("/p/%1.vkproj"_s.arg(i)), QString()));
        QCOMPARE(listed().size(), 50);
        QVERIFY(listedPaths().startsWith("/p/48.vkproj "_s) && listedPaths().endsWith(" /p/two.vkproj"_s));
    }

private:
    static IVkProjectRecentManager* recent() { return IVkProjectRecentManager::getInstance(); }
    static QString recentStorePath()
    {
        return QDir(qEnvironmentVariable("VK_HOME")).filePath("recent.json"_s);
    }
    static QList<VkProjectRecentInfo*> listed()
    {
        return recent()->getRecentProjects(IVkProjectRecentManager::RecentAll);
    }
    // The listed paths, newest first, separated by blanks.
    static QString listedPaths()
    {
        QStringList paths;
        for (const VkProjectRecentInfo* record : listed())
            paths << record->getPath();
        return paths.join(QLatin1Char(' '));
    }
    // Name, creation and modification time of a record.
    static QString facts(const VkProjectRecentInfo* record)
    {
        return record->getName() + QLatin1Char(' ') + QString::number(record->getCreateTime()) +
               QLatin1Char(' ') + QString::number(record->getModifyTime());
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
        VkProjectConfig config = kCustom;
        current()->getProjectConfig(config);
        return config;
    }
    QTemporaryDir m_dir;
};

VK_TEST_MAIN(tst_VkProject)
#include "tst_project.moc"
