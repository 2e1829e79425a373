#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkConfig.h>
#include <vkcore/VkConvertUtility.h>
#include <vkcore/VkDesktopService.h>
#include <vkcore/VkLocale.h>
#include <vkcore/VkThirdPartyUrlHelper.h>
#include <vkcore/VkUtility.h>

#include <QDir>
#include <QSettings>
#include <QUrl>
#include <QWidget>

#include <limits>

#include "VkTestMain.h"

namespace {
using Getter = bool (VkConfig::*)() const;
using Setter = void (VkConfig::*)(bool);
struct Flag
{
    Getter get;
    Setter set;
};

const char kSource[] = "Project Settings";
const char kGerman[] = "Projekteinstellungen";

QString translated()
{
    return QCoreApplication::translate("tst_VkLocale", kSource);
}

// Counts the language changes a widget is told about: that is what makes dialogs retranslate.
class LanguageChangeCounter : public QWidget
{
public:
    // The application posts the change to its windows; deliver what is queued before counting.
    int seen()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        return count;
    }

protected:
    void changeEvent(QEvent* event) override
    {
        count += event->type() == QEvent::LanguageChange;
        QWidget::changeEvent(event);
    }

private:
    int count = 0;
};
} // namespace
Q_DECLARE_METATYPE(Flag)

// The core's services: folders under VK_HOME, the address filter in front of the desktop's opener,
// timecode and file size texts, the config.ini store and the language switch.
class tst_VkCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void folders_data();
    void folders();
    void homeIsReadWhenAsked();
    void openURL_data();
    void openURL();
    void openerFailureIsReported();
    void frame2String_data();
    void frame2String();
    void fileSize_data();
    void fileSize();
    void fileSizeInTheUsersNotation();
    void flagsPersist_data();
    void flagsPersist();
    void sceneDetectValues_data();
    void sceneDetectValues();
    void rejectedSettersLeaveStore();
    void urls_data();
    void urls();
    void unknownKeysKept();
    void unusableFile();
    void damagedFileFallsBackToBuiltInCatalogue();
    void switchesAndRestoresEnglish_data();
    void switchesAndRestoresEnglish();

private:
    QString configPath() const { return QDir(qEnvironmentVariable("VK_HOME")).filePath("config.ini"); }
    void writeConfig(const QByteArray& contents);
    VkLocale* locale() { return VkSingleton<VkLocale>::instance(); }
    QList<QUrl> m_opened;
    bool m_openerResult = true;
    QTemporaryDir m_noTranslations;
};

void tst_VkCore::initTestCase()
{
    // Installed before anything can reach the system opener: a test must never start a browser.
    VkDesktopService::SetUrlOpener([this](const QUrl& url) {
        m_opened.append(url);
        return m_openerResult;
    });
    QVERIFY(m_noTranslations.isValid());
}

// Each test starts without config.ini, in English with no translation to be found, and with the
// opener untouched.
void tst_VkCore::init()
{
    m_opened.clear();
    m_openerResult = true;
    QDir(configPath()).removeRecursively();
    QFile::remove(configPath());
    QVERIFY(!QFileInfo::exists(configPath()));
    VkConfig::Instance().Reload();
    qputenv("VK_TRANSLATIONS_DIR", m_noTranslations.path().toLocal8Bit());
    QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
}

void tst_VkCore::folders_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("relative");
    QTest::newRow("home") << int(IVkAppInfo::FolderHome) << ".";
    QTest::newRow("thumbnails") << int(IVkAppInfo::FolderThumbnails) << "Cache/Thumbnails";
    // The project library's file dialog asks for 16 by number; its neighbours are no folder.
    QTest::newRow("projects is 16") << 16 << "Projects";
    QTest::newRow("negative") << -1 << QString();
    QTest::newRow("15") << 15 << QString();
    QTest::newRow("17") << 17 << QString();
}

void tst_VkCore::folders()
{
    QFETCH(int, kind);
    QFETCH(QString, relative);
    if (relative.isNull()) {
        QVERIFY(IVkAppInfo::getInstance()->getFolderPath(kind).isEmpty());
        return;
    }
    const QString expected =
        QDir::cleanPath(QDir(qEnvironmentVariable("VK_HOME")).absoluteFilePath(relative));
    QVERIFY2(!QFileInfo::exists(expected) || relative == QLatin1String("."), "made before it was asked for");
    const QString path = IVkAppInfo::getInstance()->getFolderPath(kind);
    QCOMPARE(path, expected);
    QVERIFY(QFileInfo(path).isDir());
}

void tst_VkCore::homeIsReadWhenAsked()
{
    // A host may set VK_HOME after the library answered once; the next answer follows it.
    const QByteArray previous = qgetenv("VK_HOME");
    QTemporaryDir other;
    QVERIFY(other.isValid());
    qputenv("VK_HOME", other.path().toLocal8Bit());
    const QString projects = IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderProjects);
    qputenv("VK_HOME", previous);
    QCOMPARE(projects, QDir(other.path()).filePath(QStringLiteral("Projects")));
    QVERIFY(QFileInfo(projects).isDir());
}

void tst_VkCore::openURL_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    const auto row = [](const char* name, const QString& address, bool accepted) {
        QTest::newRow(name) << address << accepted;
    };
    row("https", QStringLiteral("https://example.com/help?topic=1"), true);
    row("scheme in capitals", QStringLiteral("HTTPS://example.com/"), true);
    row("surrounding blanks", QStringLiteral("  https://example.com/  "), true);
    row("mailto", QStringLiteral("mailto:support@example.com"), true);
    // The stock sites' pages are opened from the credit links.
    row("pixabay", VkThirdPartyUrlHelper::pixabayPage(), true);
    row("file", QStringLiteral("file:///etc/passwd"), false);
    row("javascript", QStringLiteral("javascript:alert(1)"), false);
    row("custom scheme", QStringLiteral("vkeditor://open"), false);
    row("relative path", QStringLiteral("help/index.html"), false);
    row("http without host", QStringLiteral("http:///path"), false);
    row("mailto without address", QStringLiteral("mailto:"), false);
    row("not a url", QStringLiteral("https://exa mple.com"), false);
}

void tst_VkCore::openURL()
{
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    QCOMPARE(VkDesktopService::isOpenableUrl(address), accepted);
    QCOMPARE(VkDesktopService::openURL(address), accepted);
    // A refused address never reaches the opener; an accepted one reaches it once, unchanged.
    QCOMPARE(m_opened.size(), accepted ? 1 : 0);
    if (accepted)
        QCOMPARE(m_opened.first(), QUrl(address.trimmed()));
}

void tst_VkCore::openerFailureIsReported()
{
    m_openerResult = false;
    QVERIFY(!VkDesktopService::openURL(QStringLiteral("https://example.com/")));
    QCOMPARE(m_opened.size(), 1);
}

void tst_VkCore::frame2String_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<float>("fps");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, int frame, float fps, const char* text) {
        QTest::newRow(name) << frame << fps << QString::fromLatin1(text);
    };
    row("25 frame 24", 24, 25.0f, "00:00:00:24");
    row("25 frame 25", 25, 25.0f, "00:00:01:00");
    // Fractional rates count their rounded-up rate to the timecode second: 24, 30 and 60.
    row("23.976 frame 23", 23, 23.976f, "00:00:00:23");
    row("23.976 frame 24", 24, 23.976f, "00:00:01:00");
    row("29.97 frame 1800", 1800, 29.97f, "00:01:00:00");
    row("59.94 frame 215999", 215999, 59.94f, "00:59:59:59");
    row("25 mixed", 90000 + 25 * 61 + 3, 25.0f, "01:01:01:03");
    // 2147483647 = 25 * 85899345 + 22; 85899345 s = 23860 h 55 min 45 s.
    row("largest frame", std::numeric_limits<int>::max(), 25.0f, "23860:55:45:22");
    row("0.5 rounds to 1", 61, 0.5f, "00:01:01:00");
    row("negative frame", -1, 25.0f, "00:00:00:00");
    row("zero rate", 100, 0.0f, "00:00:00:00");
    row("rate rounding to zero", 100, 0.4f, "00:00:00:00");
    row("nan rate", 100, std::numeric_limits<float>::quiet_NaN(), "00:00:00:00");
}

void tst_VkCore::frame2String()
{
    QFETCH(int, frame);
    QFETCH(float, fps);
    QFETCH(QString, text);
    QCOMPARE(VkConvertUtility::frame2String(frame, fps), text);
}

void tst_VkCore::fileSize_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, qint64 bytes, const char* text) {
        QTest::newRow(name) << bytes << QString::fromLatin1(text);
    };
    row("negative", -1, "0 B");
    row("last byte count", 1023, "1023 B");
    // 1029 / 1024 = 1.0049 -> "1"; 1030 / 1024 = 1.0059 -> "1.01".
    row("rounds down to whole", 1029, "1 KB");
    row("rounds up at two decimals", 1030, "1.01 KB");
    row("one decimal", 12897485, "12.3 MB");
    // 1048575 / 1024 = 1023.999 rounds to 1024, which moves to the next unit.
    row("rounds into the next unit", 1048575, "1 MB");
    row("two decimals", 1342177280, "1.25 GB");
    row("largest size", std::numeric_limits<qint64>::max(), "8 EB");
}

void tst_VkCore::fileSize()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(VkUtility::gGetFileSizeAuto(bytes), text);
}

// Catches a size written with a point and English grouping whatever the user's notation.
void tst_VkCore::fileSizeInTheUsersNotation()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList sizes{VkUtility::gGetFileSizeAuto(1536), VkUtility::gGetFileSizeAuto(1030),
                            VkUtility::gGetFileSizeAuto(1024),
                            VkUtility::gGetFileSizeAuto(qint64(1023) * 1024)};
    QLocale::setDefault(before);
    QCOMPARE(sizes, (QStringList{"1,5 KB", "1,01 KB", "1 KB", "1023 KB"}));
}

void tst_VkCore::writeConfig(const QByteArray& contents)
{
    QFile file(configPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), qint64(contents.size()));
}

void tst_VkCore::flagsPersist_data()
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

void tst_VkCore::flagsPersist()
{
    QFETCH(Flag, flag);
    QFETCH(QString, key);
    VkConfig& config = VkConfig::Instance();
    QVERIFY2(!(config.*flag.get)(), "off without a file");
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

void tst_VkCore::sceneDetectValues_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<int>("minLength");
    QTest::newRow("stored values") << QByteArray("Threshold=12.5\nMinSceneLength=30\n") << 12.5 << 30;
    // Text, 0 (a cut at every frame, a scene of nothing) and negatives fall back to the defaults.
    for (const char* bad : {"abc", "0", "-3"}) {
        QTest::addRow("threshold and length %s", bad)
            << QByteArray("Threshold=") + bad + "\nMinSceneLength=" + bad + "\n"
            << VkConfig::kDefaultSceneDetectThreshold << VkConfig::kDefaultSceneDetectMinSceneLength;
    }
}

void tst_VkCore::sceneDetectValues()
{
    QFETCH(QByteArray, section);
    QFETCH(double, threshold);
    QFETCH(int, minLength);
    writeConfig("[SceneDetect]\n" + section);
    VkConfig::Instance().Reload();
    QCOMPARE(VkConfig::Instance().SceneDetectThreshold(), threshold);
    QCOMPARE(VkConfig::Instance().SceneDetectMinSceneLength(), minLength);
}

void tst_VkCore::rejectedSettersLeaveStore()
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

void tst_VkCore::urls_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("builtIn");
    QTest::newRow("built-in help") << QByteArray() << "HelpOnlinePage" << QString() << true;
    QTest::newRow("help from file") << QByteArray("[Urls]\nHelpOnlinePage=https://help.example.org/x\n")
                                    << "HelpOnlinePage"
                                    << "https://help.example.org/x" << false;
    QTest::newRow("unknown key") << QByteArray() << "NoSuchPage" << QString() << false;
}

void tst_VkCore::urls()
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

void tst_VkCore::unknownKeysKept()
{
    writeConfig("[Other]\nColour=blue\n[ColorSpace]\nFutureFlag=7\n");
    VkConfig& config = VkConfig::Instance();
    config.Reload();
    config.SetColorSpaceGpuTipsNoNeedShow(true);
    // What the store writes, other programs read with QSettings: special characters included.
    const QString url = QStringLiteral(" https://help.example/a?b=1,c=2;d \"q\" \\ caf\u00e9 \u4e2d0 ");
    config.SetCBSUrl(QStringLiteral("SupportPage"), url);

    QSettings reader(configPath(), QSettings::IniFormat);
    QCOMPARE(reader.value("Other/Colour").toString(), QStringLiteral("blue"));
    QCOMPARE(reader.value("ColorSpace/FutureFlag").toInt(), 7);
    QCOMPARE(reader.value("ColorSpace/GpuTipsNoNeedShow").toBool(), true);
    QCOMPARE(reader.value("Urls/SupportPage").toString(), url);
    config.Reload();
    QCOMPARE(config.GetCBSUrl(QStringLiteral("SupportPage")), url);
}

// A folder where the file should be: neither readable nor writable as a file, even for root. (A
// damaged file is set aside by the stores' own test.)
void tst_VkCore::unusableFile()
{
    QVERIFY(QDir().mkpath(configPath()));
    VkConfig& config = VkConfig::Instance();
    config.Reload();
    QVERIFY(!config.IsColorSpaceGpuTipsNoNeedShow());
    QCOMPARE(config.SceneDetectMinSceneLength(), VkConfig::kDefaultSceneDetectMinSceneLength);
    // The user's choice still sticks for this run.
    config.SetColorSpaceHDRTipsNoNeedShow(true);
    QVERIFY(config.IsColorSpaceHDRTipsNoNeedShow());
    QVERIFY(!config.IsWritable());
    QVERIFY(QFileInfo(configPath()).isDir());
}

void tst_VkCore::damagedFileFallsBackToBuiltInCatalogue()
{
    // A damaged catalogue in the host's folder must not cost the user German: the core library
    // carries its own copy, which is the last place looked in.
    QFile file(m_noTranslations.filePath(QStringLiteral("vkpopupdialog_de.qm")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("this is not a compiled translation");
    file.close();
    QVERIFY2(locale()->setLanguage(VkLocale::LanguageGerman), qPrintable(locale()->lastError()));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
    QCOMPARE(QCoreApplication::translate("VkProjectSettingDialog", "Project Settings"),
             QStringLiteral("Projekteinstellungen"));
    QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
    QVERIFY(file.remove());
}

void tst_VkCore::switchesAndRestoresEnglish_data()
{
    QTest::addColumn<int>("refused");
    QTest::newRow("french, no file anywhere") << int(VkLocale::LanguageFrench);
    QTest::newRow("not a language") << 99;
}

void tst_VkCore::switchesAndRestoresEnglish()
{
    qputenv("VK_TRANSLATIONS_DIR", VK_TEST_QM_DIR);
    LanguageChangeCounter widget;
    QCOMPARE(translated(), QString::fromLatin1(kSource));

    QVERIFY2(locale()->setLanguage(VkLocale::LanguageGerman), qPrintable(locale()->lastError()));
    QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
    QCOMPARE(translated(), QString::fromUtf8(kGerman));
    QVERIFY(widget.seen() > 0);

    // A refused switch (no French file anywhere, or no language at all) keeps the German translator
    // installed, not just the recorded type, and must not make every window retranslate.
    const int changesBefore = widget.seen();
    QFETCH(int, refused);
    QVERIFY(!locale()->setLanguage(static_cast<VkLocale::VkLanguageType>(refused)));
    QVERIFY(!locale()->lastError().isEmpty());
    QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
    QCOMPARE(translated(), QString::fromUtf8(kGerman));
    QCOMPARE(widget.seen(), changesBefore);
    QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
    QCOMPARE(translated(), QString::fromLatin1(kSource));
    QVERIFY(widget.seen() > changesBefore);
}

VK_TEST_MAIN(tst_VkCore)
#include "tst_vkcore.moc"
