#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "VkTestMain.h"

namespace {
VSettings* settings()
{
    return VkAppSettings::GetInstance()->GetSettings();
}

void reload()
{
    VkAppSettings::GetInstance()->Reload();
}

QString settingsPath()
{
    return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("settings.ini"));
}

bool writeSettings(const QByteArray& contents)
{
    QFile file(settingsPath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

QByteArray readSettings()
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool openCL()
{
    return settings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL();
}

bool mediaMatch()
{
    return settings()->GetGeneralSetting()->IsMediaMatchProjShow();
}

void setBoth(bool on)
{
    settings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(on);
    settings()->GetGeneralSetting()->SetMediaMatchProjShow(on);
}
} // namespace

class tst_VkAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void flagsPersist();
    void objectsSurviveReload();
    void fileWrittenElsewhere();
    void damagedFile();
    void unwritableStore();
};

void tst_VkAppSettings::init()
{
    QFile::remove(settingsPath());
    QDir(settingsPath()).removeRecursively();
    reload();
}

void tst_VkAppSettings::flagsPersist()
{
    QVERIFY(!openCL() && !mediaMatch());
    setBoth(true);
    // Written through, in the sections other programs read, before any reload of ours.
    const QByteArray text = readSettings();
    QVERIFY2(text.contains("[Performance]\nThisTimeEnableOpenCL=true\n"), text.constData());
    QVERIFY2(text.contains("[General]\nMediaMatchProjShow=true\n"), text.constData());
    reload();
    QVERIFY(openCL() && mediaMatch());
}

void tst_VkAppSettings::objectsSurviveReload()
{
    // Callers keep these pointers across a reload; they must keep working, not just stay allocated.
    VSettings* before = settings();
    VkGeneralSetting* general = before->GetGeneralSetting();
    reload();
    QCOMPARE(settings(), before);
    QCOMPARE(settings()->GetGeneralSetting(), general);
    general->SetMediaMatchProjShow(true);
    QVERIFY(QSettings(settingsPath(), QSettings::IniFormat).value("MediaMatchProjShow").toBool());
}

void tst_VkAppSettings::fileWrittenElsewhere()
{
    // Read as another program left it, whose keys our writes keep.
    QVERIFY(writeSettings("[General]\nTheme=dark\nMediaMatchProjShow=true\n[Export]\nLastFolder=/tmp/out\n"
                          "[Performance]\nThisTimeEnableOpenCL=true\n"));
    reload();
    QVERIFY(openCL() && mediaMatch());
    setBoth(false);

    QSettings reader(settingsPath(), QSettings::IniFormat);
    QCOMPARE(reader.value("Theme").toString(), QStringLiteral("dark"));
    QCOMPARE(reader.value("Export/LastFolder").toString(), QStringLiteral("/tmp/out"));
    QCOMPARE(reader.value("MediaMatchProjShow").toBool(), false);
    QCOMPARE(reader.value("Performance/ThisTimeEnableOpenCL").toBool(), false);
}

void tst_VkAppSettings::damagedFile()
{
    QByteArray garbage;
    for (int i = 0; i < 2048; ++i)
        garbage.append(char((i * 97 + 13) % 256));
    QVERIFY(writeSettings(garbage));
    reload();
    QVERIFY(!mediaMatch());
    settings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
    QVERIFY(mediaMatch());
}

void tst_VkAppSettings::unwritableStore()
{
    // A folder in place of the file cannot be written, not even by root.
    QVERIFY(QDir().mkpath(settingsPath()));
    reload();
    QVERIFY(!openCL());
    settings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(true);
    QVERIFY(QFileInfo(settingsPath()).isDir());
}

VK_TEST_MAIN(tst_VkAppSettings)
#include "tst_settings.moc"
