#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>

#include <QDir>
#include <QSettings>

#include "VkTestFiles.h"
#include "VkTestMain.h"

namespace {
VSettings* settings()
{
    return VkAppSettings::GetInstance()->GetSettings();
}

QString settingsPath()
{
    return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("settings.ini"));
}

bool openCL()
{
    return settings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL();
}

bool mediaMatch()
{
    return settings()->GetGeneralSetting()->IsMediaMatchProjShow();
}
} // namespace

// The settings store, settings.ini: written through in the sections other programs read, their keys
// kept, and the user's choices kept for the run when the file cannot be used. (A full disk is the
// stores' own test.)
class tst_VkAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void flagsPersistAndForeignKeysStay();
    void objectsSurviveReload();
    void unusableFile_data();
    void unusableFile();
};

void tst_VkAppSettings::init()
{
    QFile::remove(settingsPath());
    QDir(settingsPath()).removeRecursively();
    VkAppSettings::GetInstance()->Reload();
}

void tst_VkAppSettings::flagsPersistAndForeignKeysStay()
{
    QVERIFY(writeBytes(settingsPath(), "[General]\nTheme=dark\n[Export]\nLastFolder=/tmp/out\n"));
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(!openCL() && !mediaMatch());
    settings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(true);
    settings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
    // Written through, before any reload of ours.
    QSettings reader(settingsPath(), QSettings::IniFormat);
    QCOMPARE(reader.value("Theme").toString(), QStringLiteral("dark"));
    QCOMPARE(reader.value("Export/LastFolder").toString(), QStringLiteral("/tmp/out"));
    QCOMPARE(reader.value("MediaMatchProjShow").toBool(), true);
    QCOMPARE(reader.value("Performance/ThisTimeEnableOpenCL").toBool(), true);
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(openCL() && mediaMatch());
}

void tst_VkAppSettings::objectsSurviveReload()
{
    // Callers keep these pointers across a reload; they must keep working, not just stay allocated.
    VSettings* before = settings();
    VkGeneralSetting* general = before->GetGeneralSetting();
    VkAppSettings::GetInstance()->Reload();
    QCOMPARE(settings(), before);
    QCOMPARE(settings()->GetGeneralSetting(), general);
    general->SetMediaMatchProjShow(true);
    QVERIFY(QSettings(settingsPath(), QSettings::IniFormat).value("MediaMatchProjShow").toBool());
}

void tst_VkAppSettings::unusableFile_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("garbage") << false;
    // A folder in place of the file cannot be written, not even by root.
    QTest::newRow("folder in its place") << true;
}

void tst_VkAppSettings::unusableFile()
{
    QFETCH(bool, folder);
    QByteArray garbage;
    for (int i = 0; i < 2048; ++i)
        garbage.append(char((i * 97 + 13) % 256));
    QVERIFY(folder ? QDir().mkpath(settingsPath()) : writeBytes(settingsPath(), garbage));
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(!mediaMatch() && !openCL());
    settings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
    QVERIFY(mediaMatch());
    QCOMPARE(QFileInfo(settingsPath()).isDir(), folder);
}

VK_TEST_MAIN(tst_VkAppSettings)
#include "tst_settings.moc"
