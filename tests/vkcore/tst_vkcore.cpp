#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkConfig.h>
#include <vkcore/VkConvertUtility.h>
#include <vkcore/VkDesktopService.h>
#include <vkcore/VkLocale.h>
#include <vkcore/VkThirdPartyUrlHelper.h>
#include <vkcore/VkUtility.h>

#include <QDir>
#include <QScopeGuard>
#include <QSettings>
#include <QUrl>
#include <QWidget>

#include <limits>

#include "VkTestFiles.h"
#include "VkTestMain.h"

using namespace VkTestLiterals;

namespace {
const QString kConfig = "config.ini"_s;

// Counts the language changes a widget is told about: that is what makes dialogs retranslate.
struct LanguageChangeCounter : QWidget
{
    int count = 0;
    void changeEvent(QEvent* event) override { count += event->type() == QEvent::LanguageChange; }
};
} // namespace

// The core's services: folders under VK_HOME, the address filter in front of the desktop's opener,
// timecode and file size texts, the config.ini store and the language switch.
class tst_VkCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Installed before anything can reach the system opener: a test must never start a browser.
        VkDesktopService::SetUrlOpener([this](const QUrl& url) {
            m_opened.append(url);
            return m_openerResult;
        });
        QVERIFY(m_noTranslations.isValid());
    }
    // Each test starts without config.ini, in English with no translation to be found.
    void init()
    {
        QFile::remove(vkHomeFile(kConfig));
        VkConfig::Instance().Reload();
        qputenv("VK_TRANSLATIONS_DIR", m_noTranslations.path().toLocal8Bit());
        QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
    }
    void folders_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("relative"); // null: no folder
        QTest::newRow("home") << int(IVkAppInfo::FolderHome) << "."_s;
        QTest::newRow("thumbnails") << int(IVkAppInfo::FolderThumbnails) << "Cache/Thumbnails"_s;
        // The project library's file dialog asks for 16 by number; its neighbours are no folder.
        QTest::newRow("projects is 16") << 16 << "Projects"_s;
        QTest::newRow("15") << 15 << QString();
        QTest::newRow("17") << 17 << QString();
    }
    // A host may set VK_HOME after the library answered once: each answer follows it, and makes the
    // folder only when it is asked for.
    void folders()
    {
        QFETCH(int, kind);
        QFETCH(QString, relative);
        const QByteArray previous = qgetenv("VK_HOME");
        const auto restore = qScopeGuard([&] { qputenv("VK_HOME", previous); });
        QTemporaryDir home;
        QVERIFY(home.isValid());
        qputenv("VK_HOME", home.path().toLocal8Bit());
        const QString expected =
            relative.isNull() ? QString() : QDir::cleanPath(QDir(home.path()).filePath(relative));
        QVERIFY2(relative == "."_s || !QFileInfo::exists(expected), "made before it was asked for");
        const QString path = IVkAppInfo::getInstance()->getFolderPath(kind);
        QCOMPARE(path, expected);
        QVERIFY(relative.isNull() || QFileInfo(path).isDir());
    }
    void openURL_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("openable");
        QTest::addColumn<bool>("openerWorks");
        QTest::newRow("https") << "https://example.com/help?topic=1"_s << true << true;
        QTest::newRow("scheme in capitals") << "HTTPS://example.com/"_s << true << true;
        QTest::newRow("surrounding blanks") << "  https://example.com/  "_s << true << true;
        QTest::newRow("mailto") << "mailto:support@example.com"_s << true << true;
        // The stock sites' pages are opened from the credit links.
        QTest::newRow("pixabay") << VkThirdPartyUrlHelper::pixabayPage() << true << true;
        QTest::newRow("the desktop's opener fails") << "https://example.com/"_s << true << false;
        QTest::newRow("file") << "file:///etc/passwd"_s << false << true;
        QTest::newRow("javascript") << "javascript:alert(1)"_s << false << true;
        QTest::newRow("http without host") << "http:///path"_s << false << true;
        QTest::newRow("mailto without address") << "mailto:"_s << false << true;
        QTest::newRow("not a url") << "https://exa mple.com"_s << false << true;
    }
    void openURL()
    {
        QFETCH(QString, address);
        QFETCH(bool, openable);
        QFETCH(bool, openerWorks);
        m_openerResult = openerWorks;
        m_opened.clear();
        QCOMPARE(VkDesktopService::isOpenableUrl(address), openable);
        QCOMPARE(VkDesktopService::openURL(address), openable && openerWorks);
        // A refused address never reaches the opener; an accepted one reaches it once, unchanged.
        QCOMPARE(m_opened, openable ? QList<QUrl>{QUrl(address.trimmed())} : QList<QUrl>());
    }
    void frame2String_data()
    {
        QTest::addColumn<int>("frame");
        QTest::addColumn<float>("fps");
        QTest::addColumn<QString>("text");
        QTest::newRow("25 frame 24") << 24 << 25.0f << "00:00:00:24"_s;
        QTest::newRow("25 frame 25") << 25 << 25.0f << "00:00:01:00"_s;
        // Fractional rates count their rounded-up rate to the timecode second: 24, 30 and 60.
        QTest::newRow("23.976 frame 23") << 23 << 23.976f << "00:00:00:23"_s;
        QTest::newRow("23.976 frame 24") << 24 << 23.976f << "00:00:01:00"_s;
        QTest::newRow("59.94 frame 215999") << 215999 << 59.94f << "00:59:59:59"_s;
        // 2147483647 = 25 * 85899345 + 22; 85899345 s = 23860 h 55 min 45 s.
        QTest::newRow("largest frame") << std::numeric_limits<int>::max() << 25.0f << "23860:55:45:22"_s;
        QTest::newRow("0.5 rounds to 1") << 61 << 0.5f << "00:01:01:00"_s;
        QTest::newRow("negative frame") << -1 << 25.0f << "00:00:00:00"_s;
        QTest::newRow("zero rate") << 100 << 0.0f << "00:00:00:00"_s;
        QTest::newRow("rate rounding to zero") << 100 << 0.4f << "00:00:00:00"_s;
        QTest::newRow("nan rate") << 100 << std::numeric_limits<float>::quiet_NaN() << "00:00:00:00"_s;
    }
    void frame2String()
    {
        QFETCH(int, frame);
        QFETCH(float, fps);
        QTEST(VkConvertUtility::frame2String(frame, fps), "text");
    }
    void fileSize_data()
    {
        QTest::addColumn<QLocale>("notation");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        const QLocale en(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("negative") << en << qint64(-1) << "0 B"_s;
        QTest::newRow("last byte count") << en << qint64(1023) << "1023 B"_s;
        // 1029 / 1024 = 1.0049 -> "1"; 1030 / 1024 = 1.0059 -> "1.01".
        QTest::newRow("rounds down to whole") << en << qint64(1029) << "1 KB"_s;
        QTest::newRow("rounds up at two decimals") << en << qint64(1030) << "1.01 KB"_s;
        QTest::newRow("one decimal") << en << qint64(12897485) << "12.3 MB"_s;
        // 1048575 / 1024 = 1023.999 rounds to 1024, which moves to the next unit.
        QTest::newRow("rounds into the next unit") << en << qint64(1048575) << "1 MB"_s;
        QTest::newRow("largest size") << en << std::numeric_limits<qint64>::max() << "8 EB"_s;
        // The user's notation, not a point and English grouping.
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("German, one decimal") << de << qint64(1536) << "1,5 KB"_s;
        QTest::newRow("German, no grouping") << de << qint64(1023) * 1024 << "1023 KB"_s;
    }
    void fileSize()
    {
        QFETCH(QLocale, notation);
        QFETCH(qint64, bytes);
        const QLocale before;
        QLocale::setDefault(notation);
        const QString text = VkUtility::gGetFileSizeAuto(bytes);
        QLocale::setDefault(before);
        QTEST(text, "text");
    }
    void sceneDetectValues_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("values"); // threshold and shortest scene, as read again
        QTest::newRow("stored values") << QByteArray("Threshold=12.5\nMinSceneLength=30\n") << "12.5 30"_s;
        // Text, 0 (a cut at every frame, a scene of nothing) and negatives fall back to the defaults.
        const QString defaults = QStringLiteral("%1 %2")
                                     .arg(VkConfig::kDefaultSceneDetectThreshold)
                                     .arg(VkConfig::kDefaultSceneDetectMinSceneLength);
        for (const char* bad : {"abc", "0", "-3"}) {
            QTest::addRow("threshold and length %s", bad)
                << QByteArray("Threshold=") + bad + "\nMinSceneLength=" + bad + "\n"
                << defaults;
        }
    }
    void sceneDetectValues()
    {
        QFETCH(QByteArray, section);
        VkConfig& config = VkConfig::Instance();
        const auto reloaded = [&config] {
            config.Reload();
            return QStringLiteral("%1 %2")
                .arg(config.SceneDetectThreshold())
                .arg(config.SceneDetectMinSceneLength());
        };
        QVERIFY(writeBytes(vkHomeFile(kConfig), "[SceneDetect]\n" + section));
        QTEST(reloaded(), "values");
        // The setters refuse the same values, and what they refuse never reaches the file.
        config.SetSceneDetectThreshold(0.0);
        config.SetSceneDetectThreshold(-1.0);
        config.SetSceneDetectMinSceneLength(0);
        QTEST(reloaded(), "values");
        config.SetSceneDetectThreshold(33.5);
        config.SetSceneDetectMinSceneLength(20);
        QCOMPARE(reloaded(), "33.5 20"_s);
    }
    // Flags and addresses come built in, or from the file. What the store writes other programs read
    // with QSettings at once, without any reload of ours, special characters included, and their own
    // keys stay. Each flag is set apart from its neighbours, so that a setter writing another's key
    // shows; the flags are read as digits.
    void writtenThrough()
    {
        VkConfig& config = VkConfig::Instance();
        const auto flags = [&config] {
            return QStringLiteral("%1%2%3")
                .arg(config.IsColorSpaceGpuTipsNoNeedShow())
                .arg(config.IsColorSpaceHDRTipsNoNeedShow())
                .arg(config.IsHdrEnabled());
        };
        QCOMPARE(flags(), "000"_s);
        QVERIFY2(config.GetCBSUrl("HelpOnlinePage"_s).startsWith("https://"_s), "no built-in help address");
        QCOMPARE(config.GetCBSUrl("NoSuchPage"_s), QString());
        QVERIFY(writeBytes(vkHomeFile(kConfig), "[Other]\nColour=blue\n[ColorSpace]\nFutureFlag=7\n"));
        config.Reload();
        const QString url = QStringLiteral(" https://help.example/a?b=1,c=2;d \"q\" \\ caf\u00e9 \u4e2d0 ");
        config.SetCBSUrl("SupportPage"_s, url);
        config.SetColorSpaceGpuTipsNoNeedShow(true);
        config.SetHdrEnabled(true);

        const QSettings file(vkHomeFile(kConfig), QSettings::IniFormat);
        QStringList stored;
        for (const char* key : {"Other/Colour", "ColorSpace/FutureFlag", "ColorSpace/GpuTipsNoNeedShow",
                                "ColorSpace/HDRTipsNoNeedShow", "Display/HdrEnabled", "Urls/SupportPage"})
            stored << file.value(QLatin1String(key)).toString();
        QCOMPARE(stored, QStringList({"blue"_s, "7"_s, "true"_s, QString(), "true"_s, url}));
        config.Reload();
        QCOMPARE(config.GetCBSUrl("SupportPage"_s), url);
        QCOMPARE(flags(), "101"_s);
        config.SetColorSpaceGpuTipsNoNeedShow(false);
        config.SetColorSpaceHDRTipsNoNeedShow(true);
        config.SetHdrEnabled(false);
        config.Reload();
        QCOMPARE(flags(), "010"_s);
    }
    void languages_data()
    {
        // Whether the host's folder holds this suite's own compiled catalogue (data/vkpopupdialog_de.ts)
        // or a damaged one; then context, English and German text.
        QTest::addColumn<bool>("hostFile");
        QTest::addColumn<QString>("texts");
        QTest::newRow("host's catalogue") << true << "tst_VkLocale|Project Settings|Projekteinstellungen"_s;
        // A host chooses the language first thing, before it has loaded the dialog library (this program
        // links only the core library), and a damaged catalogue in the host's folder must not cost the
        // user German: the core library carries its own copy, which is the last place looked in. One
        // text of a dialog, one of the widget toolkit: the one catalogue carries both.
        QTest::newRow("project settings title")
            << false << "VkProjectSettingDialog|Project Settings|Projekteinstellungen"_s;
        QTest::newRow("message box button") << false << "VMessageDialog|Cancel|Abbrechen"_s;
        // Qt's own catalogue, loaded with ours: the file dialog and the standard buttons.
        QTest::newRow("Qt file dialog") << false << "QFileDialog|Look in:|Suchen in:"_s;
        QTest::newRow("Qt standard button") << false << "QPlatformTheme|Cancel|Abbrechen"_s;
    }
    void languages()
    {
        QFETCH(bool, hostFile);
        QFETCH(QString, texts);
        const QStringList parts = texts.split(QLatin1Char('|'));
        const QString english = parts.at(1), german = parts.at(2);
        const QString damaged = m_noTranslations.filePath("vkpopupdialog_de.qm"_s);
        const auto remove = qScopeGuard([&] { QFile::remove(damaged); });
        if (hostFile)
            qputenv("VK_TRANSLATIONS_DIR", VK_TEST_QM_DIR);
        else
            QVERIFY(writeBytes(damaged, "this is not a compiled translation"));
        const auto text = [&] {
            return QCoreApplication::translate(parts.at(0).toUtf8().constData(),
                                               english.toUtf8().constData());
        };
        LanguageChangeCounter widget;
        // The application posts the change to its windows; deliver what is queued before counting.
        const auto seen = [&widget] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
            return widget.count;
        };
        QCOMPARE(text(), english);
        QVERIFY2(locale()->setLanguage(VkLocale::LanguageGerman), qPrintable(locale()->lastError()));
        QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
        QCOMPARE(text(), german);
        const int changes = seen();
        QVERIFY(changes > 0);

        // A refused switch (no French file anywhere, or no language at all) keeps the German translator
        // installed, not just the recorded type, and must not make every window retranslate.
        for (const int refused : {int(VkLocale::LanguageFrench), 99}) {
            QVERIFY(!locale()->setLanguage(static_cast<VkLocale::VkLanguageType>(refused)));
            QVERIFY(!locale()->lastError().isEmpty());
            QCOMPARE(locale()->languageType(), VkLocale::LanguageGerman);
        }
        QCOMPARE(text(), german);
        QCOMPARE(seen(), changes);
        QVERIFY(locale()->setLanguage(VkLocale::LanguageEnglish));
        QCOMPARE(text(), english);
        QVERIFY(seen() > changes);
    }

private:
    VkLocale* locale() { return VkSingleton<VkLocale>::instance(); }
    QList<QUrl> m_opened;
    bool m_openerResult = true;
    QTemporaryDir m_noTranslations;
};

VK_TEST_MAIN(tst_VkCore)
#include "tst_vkcore.moc"
