#include <vkvblmodel/IVkPairTarget.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectCompanion.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectRecentInfo.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>

#include "VkTestMain.h"

using VKVBLMODEL::VkProjectConfig;
Q_DECLARE_METATYPE(VkFrameRate)

namespace {
IVkProjectManager* manager()
{
    return IVkProjectManager::getInstance();
}

IVkProject* current()
{
    return manager()->currentProject();
}

IVkPairTarget* pairTarget()
{
    return current()->companion()->pairTarget();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject readJson(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
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

VkProjectConfig configOf(IVkProject* project)
{
    VkProjectConfig config = customConfig();
    project->getProjectConfig(config);
    return config;
}
} // namespace

class tst_VkProject : public QObject
{
    Q_OBJECT

private slots:
    void init() { manager()->newProject(); }
    void saveAndOpenRoundTrip();
    void unknownKeysSurviveWrites();
    void damagedProjectRefused_data();
    void damagedProjectRefused();
    void fileDamagedAfterOpenIsNotOverwritten();
    void writeReplacesTheFileAtomically();
    void readPair_data();
    void readPair();
    void applyPairReachesTheFile();
    void thumbnail();
    void thumbnailMissingOrBroken_data();
    void thumbnailMissingOrBroken();
    void openingListsTheProject();

private:
    QString projectPath(const QString& name) const
    {
        return m_dir.filePath(name + QStringLiteral(".vkproj"));
    }
    QTemporaryDir m_dir;
};

void tst_VkProject::saveAndOpenRoundTrip()
{
    // A new project has every setting at its default, whatever the caller's struct held.
    QVERIFY(current()->filePath().isEmpty());
    QVERIFY(sameConfig(configOf(current()), VkProjectConfig()));

    current()->setProjectConfig(customConfig());
    const QString path = projectPath(QStringLiteral("roundtrip"));
    QString error;
    QVERIFY2(manager()->saveProjectAs(path, &error), qPrintable(error));
    QCOMPARE(current()->filePath(), path);
    QCOMPARE(current()->name(), QStringLiteral("roundtrip"));

    const QJsonObject json = readJson(path);
    QCOMPARE(json.value("format").toString(), QStringLiteral("vkproject"));
    QCOMPARE(json.value("config").toObject().value("frameRate").toInt(), 3);

    IVkProject* saved = current();
    manager()->newProject();
    QVERIFY(current() != saved);
    QVERIFY2(manager()->openProject(path, &error), qPrintable(error));
    QVERIFY(sameConfig(configOf(current()), customConfig()));
    // A project handed out before stays usable after another one became current.
    QCOMPARE(saved->filePath(), path);
}

void tst_VkProject::unknownKeysSurviveWrites()
{
    const QString path = projectPath(QStringLiteral("unknown"));
    QVERIFY(writeBytes(path, R"({
        "format": "vkproject", "version": 1, "name": "Trip",
        "config": {"aspectRatio": 1, "frameRate": 2, "width": 1920, "height": 1080, "colorSpace": 0,
                   "proxyQuality": "half"},
        "tracks": [{"kind": "video", "clips": [1, 2, 3]}],
        "futureSection": {"a": 1}
    })"));
    QString error;
    QVERIFY2(manager()->openProject(path, &error), qPrintable(error));
    QCOMPARE(current()->name(), QStringLiteral("Trip"));
    current()->setProjectConfig(customConfig());
    pairTarget()->applyPair(30000, 1001);

    const QJsonObject json = readJson(path);
    QCOMPARE(json.value("name").toString(), QStringLiteral("Trip"));
    QCOMPARE(json.value("tracks").toArray().at(0).toObject().value("clips").toArray().size(), 3);
    QCOMPARE(json.value("futureSection").toObject().value("a").toInt(), 1);
    QCOMPARE(json.value("config").toObject().value("proxyQuality").toString(), QStringLiteral("half"));
    QCOMPARE(json.value("config").toObject().value("width").toInt(), 1000);

    // Keys another program adds while the project is open are kept by our next write as well.
    QJsonObject edited = json;
    edited.insert("addedMeanwhile", true);
    QVERIFY(writeBytes(path, QJsonDocument(edited).toJson()));
    VkProjectConfig config = customConfig();
    config.resolution = QSize(1280, 720);
    current()->setProjectConfig(config);
    const QJsonObject after = readJson(path);
    QVERIFY(after.value("addedMeanwhile").toBool());
    QCOMPARE(after.value("config").toObject().value("height").toInt(), 720);
}

void tst_VkProject::damagedProjectRefused_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("cut short") << QByteArray(R"({"format": "vkproject", "version": 1, "config": {)");
    QTest::newRow("list") << QByteArray(R"([{"format": "vkproject"}])");
    QTest::newRow("other format") << QByteArray(R"({"format": "other", "version": 1})");
    QTest::newRow("no format") << QByteArray(R"({"version": 1, "config": {}})");
    QTest::newRow("newer version") << QByteArray(R"({"format": "vkproject", "version": 2, "config": {}})");
    QTest::newRow("version as text") << QByteArray(R"({"format": "vkproject", "version": "1"})");
    QTest::newRow("config not an object")
        << QByteArray(R"({"format": "vkproject", "version": 1, "config": 5})");
}

void tst_VkProject::damagedProjectRefused()
{
    QFETCH(QByteArray, contents);
    const QString path = projectPath(QStringLiteral("damaged"));
    QVERIFY(writeBytes(path, contents));
    IVkProject* before = current();
    QString error;
    QVERIFY(!manager()->openProject(path, &error));
    QVERIFY2(error.contains(QStringLiteral("damaged.vkproj")), qPrintable(error));
    QCOMPARE(current(), before);
    // Nothing was written into the file we could not read.
    QCOMPARE(readBytes(path), contents);
}

void tst_VkProject::fileDamagedAfterOpenIsNotOverwritten()
{
    const QString path = projectPath(QStringLiteral("later"));
    QString error;
    QVERIFY(manager()->saveProjectAs(path, &error));

    const QByteArray garbage("{\"format\": \"vkproject\", \"version\": 1, broken");
    QVERIFY(writeBytes(path, garbage));
    current()->setProjectConfig(customConfig());
    QCOMPARE(readBytes(path), garbage);
    QVERIFY(!current()->lastWriteError().isEmpty());
    QVERIFY(sameConfig(configOf(current()), customConfig()));
    pairTarget()->applyPair(24, 1);
    QCOMPARE(readBytes(path), garbage);

    // Once the file is readable again, the next write succeeds and reports no error.
    QVERIFY(writeBytes(path, R"({"format": "vkproject", "version": 1})"));
    current()->setProjectConfig(customConfig());
    QVERIFY(current()->lastWriteError().isEmpty());
    QCOMPARE(readJson(path).value("config").toObject().value("width").toInt(), 1000);
}

void tst_VkProject::writeReplacesTheFileAtomically()
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
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"atomic.vkproj"});

    // A write that cannot happen (a folder where the file would go) reports and changes nothing.
    const QString blocked = QDir(folder.path()).filePath(QStringLiteral("blocked.vkproj"));
    QVERIFY(QDir().mkpath(blocked));
    QVERIFY(!manager()->saveProjectAs(blocked, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(current()->filePath(), path);
}

void tst_VkProject::readPair_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<VkFrameRate>("pair");
    // NTSC rates are the whole rate times 1000/1001; a stored value outside the list reads as 25 fps.
    QTest::newRow("23.976") << 0 << VkFrameRate{24000, 1001};
    QTest::newRow("25") << 2 << VkFrameRate{25, 1};
    QTest::newRow("29.97") << 3 << VkFrameRate{30000, 1001};
    QTest::newRow("59.94") << 6 << VkFrameRate{60000, 1001};
    QTest::newRow("60") << 7 << VkFrameRate{60, 1};
    QTest::newRow("past the list") << 8 << VkFrameRate{25, 1};
    QTest::newRow("negative") << -1 << VkFrameRate{25, 1};
}

void tst_VkProject::readPair()
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

void tst_VkProject::applyPairReachesTheFile()
{
    const QString path = projectPath(QStringLiteral("timeline"));
    QString error;
    QVERIFY(manager()->saveProjectAs(path, &error));

    // The save flow of the settings dialog: read the project's pair, hand it to the timeline.
    VkProjectConfig config;
    config.frameRate = VKVBLMODEL::FrameRate59_94;
    current()->setProjectConfig(config);
    VkFrameRate rate;
    current()->companion()->readPair(rate);
    pairTarget()->applyPair(int(rate.num), int(rate.den));

    QJsonObject timeline = readJson(path).value("timeline").toObject();
    QCOMPARE(timeline.value("frameRateNum").toInt(), 60000);
    QCOMPARE(timeline.value("frameRateDen").toInt(), 1001);

    // Pairs that are no rate are ignored and leave the file as it was.
    const QByteArray before = readBytes(path);
    pairTarget()->applyPair(0, 1);
    pairTarget()->applyPair(25, 0);
    pairTarget()->applyPair(-25, 1);
    QCOMPARE(readBytes(path), before);

    // The applied pair is part of the project: it comes back on opening.
    manager()->newProject();
    QVERIFY(manager()->openProject(path, &error));
    QCOMPARE(pairTarget()->appliedPair(), (VkFrameRate{60000, 1001}));
}

void tst_VkProject::thumbnail()
{
    const QString path = projectPath(QStringLiteral("picture"));
    QString error;
    QVERIFY(manager()->saveProjectAs(path, &error));
    QVERIFY(IVkProject::getThumbnail(path).isNull());

    QImage image(32, 18, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    QVERIFY2(current()->setThumbnail(image, &error), qPrintable(error));
    QVERIFY(readJson(path).value("thumbnail").isString());
    const QPixmap pixmap = IVkProject::getThumbnail(path);
    QCOMPARE(pixmap.size(), QSize(32, 18));
    QCOMPARE(pixmap.toImage().pixelColor(5, 5), QColor(10, 200, 30));

    // A config write afterwards keeps the thumbnail; a null image removes it.
    current()->setProjectConfig(customConfig());
    QVERIFY(!IVkProject::getThumbnail(path).isNull());
    QVERIFY(current()->setThumbnail(QImage(), &error));
    QVERIFY(!readJson(path).contains("thumbnail"));
    QVERIFY(IVkProject::getThumbnail(path).isNull());
}

void tst_VkProject::thumbnailMissingOrBroken_data()
{
    QTest::addColumn<QByteArray>("contents"); // empty: no file at all
    const QByteArray head(R"({"format": "vkproject", "version": 1)");
    QTest::newRow("none") << head + '}';
    QTest::newRow("not base64") << head + R"(, "thumbnail": "%%%"})";
    // "aGVsbG8=" is base64 for "hello": it decodes, but is no PNG.
    QTest::newRow("no PNG") << head + R"(, "thumbnail": "aGVsbG8="})";
    QTest::newRow("a number") << head + R"(, "thumbnail": 12})";
    QTest::newRow("project damaged") << QByteArray("garbage");
    QTest::newRow("project missing") << QByteArray();
}

void tst_VkProject::thumbnailMissingOrBroken()
{
    QFETCH(QByteArray, contents);
    const QString path = projectPath(QStringLiteral("thumb"));
    QFile::remove(path);
    QVERIFY(contents.isEmpty() || writeBytes(path, contents));
    QVERIFY(IVkProject::getThumbnail(path).isNull());
}

void tst_VkProject::openingListsTheProject()
{
    const QString path = projectPath(QStringLiteral("listed"));
    QVERIFY(writeBytes(path, R"({"format": "vkproject", "version": 1})"));
    QString error;
    QVERIFY(manager()->openProject(path, &error));
    const QList<VkProjectRecentInfo*> recent =
        IVkProjectRecentManager::getInstance()->getRecentProjects(IVkProjectRecentManager::RecentAll);
    QVERIFY(!recent.isEmpty());
    QCOMPARE(recent.first()->getPath(), path);
    QCOMPARE(recent.first()->getName(), QStringLiteral("listed"));
}

VK_TEST_MAIN(tst_VkProject)
#include "tst_project.moc"
