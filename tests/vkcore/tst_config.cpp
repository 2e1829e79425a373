#include <vkcore/VkConfig.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "VkTestMain.h"

namespace {
using Getter = bool (VkConfig::*)() const;
using Setter = void (VkConfig::*)(bool);
struct Flag
{
    Getter get;
    Setter set;
};
} // namespace
Q_DECLARE_METATYPE(Flag)

class tst_VkConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void defaultsWithoutFile();
    void flagsPersist_data();
    void flagsPersist();
    void fileWrittenElsewhereIsRead();
    void sceneDetectValues_data();
    void sceneDetectValues();
    void rejectedSettersLeaveStore();
    void urls_data();
    void urls();
    void unknownKeysKept();
    void damagedFile();
    void unwritableStore();

private:
    QString configPath() const { return QDir(qEnvironmentVariable("VK_HOME")).filePath("config.ini"); }
    void writeConfig(const QByteArray& contents);
};

void tst_VkConfig::writeConfig(const QByteArray& contents)
{
    QFile file(configPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), qint64(contents.size()));
}

void tst_VkConfig::init()
{
    QFileInfo info(configPath());
    if (info.isDir())
        QVERIFY(QDir(configPath()).removeRecursively());
    else if (info.exists())
        QVERIFY(QFile::remove(configPath()));
    VkConfig::Instance().Reload();
}

void tst_VkConfig::defaultsWithoutFile()
{
    VkConfig& config = VkConfig::Instance();
    QVERIFY(!config.IsColorSpaceGpuTipsNoNeedShow());
    QVERIFY(!config.IsColorSpaceHDRTipsNoNeedShow());
    QVERIFY(!config.IsHdrEnabled());
    QCOMPARE(config.SceneDetectThreshold(), VkConfig::kDefaultSceneDetectThreshold);
    QCOMPARE(config.SceneDetectMinSceneLength(), VkConfig::kDefaultSceneDetectMinSceneLength);
    QCOMPARE(config.FilePath(), configPath());
}

void tst_VkConfig::flagsPersist_data()
{
    QTest::addColumn<Flag>("flag");
    QTest::addColumn<QString>("key");
    QTest::newRow("gpu tips") << Flag{&VkConfig::IsColorSpaceGpuTipsNoNeedShow,
                                      &VkConfig::SetColorSpaceGpuTipsNoNeedShow}
                              << "ColorSpace/GpuTipsNoNeedShow";
    QTest::newRow("hdr tips") << Flag{&VkConfig::IsColorSpaceHDRTipsNoNeedShow,
                                      &VkConfig::SetColorSpaceHDRTipsNoNeedShow}
                              << "ColorSpace/HDRTipsNoNeedShow";
    QTest::newRow("hdr display") << Flag{&VkConfig::IsHdrEnabled, &VkConfig::SetHdrEnabled}
                                 << "Display/HdrEnabled";
}

void tst_VkConfig::flagsPersist()
{
    QFETCH(Flag, flag);
    QFETCH(QString, key);
    VkConfig& config = VkConfig::Instance();

    (config.*flag.set)(true);
    // Written through: another reader of the file sees it at once, without any reload of ours.
    {
        QSettings reader(configPath(), QSettings::IniFormat);
        QCOMPARE(reader.value(key).toBool(), true);
    }
    config.Reload();
    QVERIFY((config.*flag.get)());

    (config.*flag.set)(false);
    config.Reload();
    QVERIFY(!(config.*flag.get)());
}

void tst_VkConfig::fileWrittenElsewhereIsRead()
{
    writeConfig("[ColorSpace]\nGpuTipsNoNeedShow=true\nHDRTipsNoNeedShow=true\n"
                "[Display]\nHdrEnabled=true\n"
                "[SceneDetect]\nThreshold=12.5\nMinSceneLength=30\n");
    VkConfig& config = VkConfig::Instance();
    config.Reload();
    QVERIFY(config.IsColorSpaceGpuTipsNoNeedShow());
    QVERIFY(config.IsColorSpaceHDRTipsNoNeedShow());
    QVERIFY(config.IsHdrEnabled());
    QCOMPARE(config.SceneDetectThreshold(), 12.5);
    QCOMPARE(config.SceneDetectMinSceneLength(), 30);
}

void tst_VkConfig::sceneDetectValues_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("minLength");
    QTest::newRow("stored values") << QByteArray("Threshold=40\nMinSceneLength=8\n") << 40.0 << 8;
    QTest::newRow("text instead of numbers")
        << QByteArray("Threshold=abc\nMinSceneLength=many\n") << VkConfig::kDefaultSceneDetectThreshold
        << VkConfig::kDefaultSceneDetectMinSceneLength;
    // A threshold of 0 would cut at every frame and a scene length of 0 means nothing: defaults.
    QTest::newRow("zero") << QByteArray("Threshold=0\nMinSceneLength=0\n")
                          << VkConfig::kDefaultSceneDetectThreshold
                          << VkConfig::kDefaultSceneDetectMinSceneLength;
    QTest::newRow("negative") << QByteArray("Threshold=-3\nMinSceneLength=-15\n")
                              << VkConfig::kDefaultSceneDetectThreshold
                              << VkConfig::kDefaultSceneDetectMinSceneLength;
}

void tst_VkConfig::sceneDetectValues()
{
    QFETCH(QByteArray, section);
    QFETCH(double, threshold);
    QFETCH(int, minLength);
    writeConfig("[SceneDetect]\n" + section);
    VkConfig::Instance().Reload();
    QCOMPARE(VkConfig::Instance().SceneDetectThreshold(), threshold);
    QCOMPARE(VkConfig::Instance().SceneDetectMinSceneLength(), minLength);
}

void tst_VkConfig::rejectedSettersLeaveStore()
{
    VkConfig& config = VkConfig::Instance();
    config.SetSceneDetectThreshold(33.5);
    config.SetSceneDetectMinSceneLength(20);
    config.SetSceneDetectThreshold(0.0);
    config.SetSceneDetectThreshold(-1.0);
    config.SetSceneDetectMinSceneLength(0);
    config.Reload();
    QCOMPARE(config.SceneDetectThreshold(), 33.5);
    QCOMPARE(config.SceneDetectMinSceneLength(), 20);
}

void tst_VkConfig::urls_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("builtIn");
    QTest::newRow("help without file") << QByteArray() << "HelpOnlinePage" << QString() << true;
    QTest::newRow("support without file") << QByteArray() << "SupportPage" << QString() << true;
    QTest::newRow("help from file") << QByteArray("[Urls]\nHelpOnlinePage=https://help.example.org/x\n")
                                    << "HelpOnlinePage"
                                    << "https://help.example.org/x" << false;
    QTest::newRow("other key from file")
        << QByteArray("[Urls]\nStorePage=https://shop.example.org/\n") << "StorePage"
        << "https://shop.example.org/" << false;
    QTest::newRow("unknown key") << QByteArray() << "NoSuchPage" << QString() << false;
    QTest::newRow("empty key") << QByteArray() << "" << QString() << false;
}

void tst_VkConfig::urls()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, url);
    QFETCH(bool, builtIn);
    if (!file.isEmpty())
        writeConfig(file);
    VkConfig::Instance().Reload();
    const QString result = VkConfig::Instance().GetCBSUrl(key);
    if (builtIn)
        QVERIFY2(result.startsWith(QLatin1String("https://")), qPrintable(result));
    else
        QCOMPARE(result, url);
}

void tst_VkConfig::unknownKeysKept()
{
    writeConfig("[Other]\nColour=blue\n[ColorSpace]\nFutureFlag=7\n");
    VkConfig& config = VkConfig::Instance();
    config.Reload();
    config.SetColorSpaceGpuTipsNoNeedShow(true);
    config.SetCBSUrl(QStringLiteral("SupportPage"), QStringLiteral("https://support.example.org/"));

    QSettings reader(configPath(), QSettings::IniFormat);
    QCOMPARE(reader.value("Other/Colour").toString(), QStringLiteral("blue"));
    QCOMPARE(reader.value("ColorSpace/FutureFlag").toInt(), 7);
    QCOMPARE(reader.value("ColorSpace/GpuTipsNoNeedShow").toBool(), true);
    QCOMPARE(reader.value("Urls/SupportPage").toString(), QStringLiteral("https://support.example.org/"));
}

void tst_VkConfig::damagedFile()
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 131 + 7) % 256));
    writeConfig(garbage);
    VkConfig& config = VkConfig::Instance();
    config.Reload();
    QVERIFY(!config.IsColorSpaceGpuTipsNoNeedShow());
    QCOMPARE(config.SceneDetectMinSceneLength(), VkConfig::kDefaultSceneDetectMinSceneLength);

    // The user's choice must still stick for this run, whatever the file held.
    config.SetColorSpaceHDRTipsNoNeedShow(true);
    QVERIFY(config.IsColorSpaceHDRTipsNoNeedShow());
}

void tst_VkConfig::unwritableStore()
{
    // A folder where the file should be: neither readable nor writable as a file, even for root.
    QVERIFY(QDir().mkpath(configPath()));
    VkConfig& config = VkConfig::Instance();
    config.Reload();
    QVERIFY(!config.IsHdrEnabled());
    config.SetHdrEnabled(true);
    QVERIFY(!config.IsWritable());
    QVERIFY(QFileInfo(configPath()).isDir());
}

VK_TEST_MAIN(tst_VkConfig)
#include "tst_config.moc"
