#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include <functional>

#include "VkTestMain.h"

namespace {
struct Flag
{
    std::function<bool()> get;
    std::function<void(bool)> set;
};

VSettings* settings()
{
    return VkAppSettings::GetInstance()->GetSettings();
}

// The value of name inside [section] as the file's text holds it; other programs read the file so.
QString rawValue(const QString& path, const QString& section, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QString current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        if (text.startsWith(QLatin1Char('[')))
            current = text;
        else if (current == section && text.startsWith(name + QLatin1Char('=')))
            return text.mid(name.size() + 1);
    }
    return QString();
}
} // namespace
Q_DECLARE_METATYPE(Flag)

class tst_VkAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void defaults();
    void flagsPersist_data();
    void flagsPersist();
    void fileWrittenElsewhereIsRead();
    void objectsSurviveReload();
    void unknownKeysKept();
    void damagedFile();
    void unwritableStore();

private:
    QString settingsPath() const { return QDir(qEnvironmentVariable("VK_HOME")).filePath("settings.ini"); }
    void writeSettings(const QByteArray& contents);
};

void tst_VkAppSettings::writeSettings(const QByteArray& contents)
{
    QFile file(settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(contents), qint64(contents.size()));
}

void tst_VkAppSettings::init()
{
    const QFileInfo info(settingsPath());
    if (info.isDir())
        QVERIFY(QDir(settingsPath()).removeRecursively());
    else if (info.exists())
        QVERIFY(QFile::remove(settingsPath()));
    VkAppSettings::GetInstance()->Reload();
}

void tst_VkAppSettings::defaults()
{
    QVERIFY(!settings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL());
    QVERIFY(!settings()->GetGeneralSetting()->IsMediaMatchProjShow());
    QCOMPARE(VkAppSettings::GetInstance()->FilePath(), settingsPath());
}

void tst_VkAppSettings::flagsPersist_data()
{
    QTest::addColumn<Flag>("flag");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("section");
    QTest::newRow("opencl this time")
        << Flag{[] { return settings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL(); },
                [](bool on) { settings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(on); }}
        << "Performance/ThisTimeEnableOpenCL"
        << "[Performance]";
    QTest::newRow("media match project")
        << Flag{[] { return settings()->GetGeneralSetting()->IsMediaMatchProjShow(); },
                [](bool on) { settings()->GetGeneralSetting()->SetMediaMatchProjShow(on); }}
        << "MediaMatchProjShow" // QSettings' name for [General] MediaMatchProjShow
        << "[General]";
}

void tst_VkAppSettings::flagsPersist()
{
    QFETCH(Flag, flag);
    QFETCH(QString, key);
    QFETCH(QString, section);

    flag.set(true);
    QCOMPARE(rawValue(settingsPath(), section, key.section(QLatin1Char('/'), -1)), QStringLiteral("true"));
    {
        // Written through: another reader sees the value before any reload of ours.
        QSettings reader(settingsPath(), QSettings::IniFormat);
        QCOMPARE(reader.value(key).toBool(), true);
    }
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(flag.get());

    flag.set(false);
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(!flag.get());
}

void tst_VkAppSettings::fileWrittenElsewhereIsRead()
{
    writeSettings("[Performance]\nThisTimeEnableOpenCL=true\n[General]\nMediaMatchProjShow=true\n");
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(settings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL());
    QVERIFY(settings()->GetGeneralSetting()->IsMediaMatchProjShow());
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
    QSettings reader(settingsPath(), QSettings::IniFormat);
    QVERIFY(reader.value("MediaMatchProjShow").toBool());
}

void tst_VkAppSettings::unknownKeysKept()
{
    writeSettings("[General]\nTheme=dark\n[Export]\nLastFolder=/tmp/out\n");
    VkAppSettings::GetInstance()->Reload();
    settings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
    settings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(true);

    QSettings reader(settingsPath(), QSettings::IniFormat);
    QCOMPARE(reader.value("Theme").toString(), QStringLiteral("dark"));
    QCOMPARE(reader.value("Export/LastFolder").toString(), QStringLiteral("/tmp/out"));
    QVERIFY(reader.value("MediaMatchProjShow").toBool());
    QVERIFY(reader.value("Performance/ThisTimeEnableOpenCL").toBool());
}

void tst_VkAppSettings::damagedFile()
{
    QByteArray garbage;
    for (int i = 0; i < 2048; ++i)
        garbage.append(char((i * 97 + 13) % 256));
    writeSettings(garbage);
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(!settings()->GetGeneralSetting()->IsMediaMatchProjShow());
    settings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
    QVERIFY(settings()->GetGeneralSetting()->IsMediaMatchProjShow());
}

void tst_VkAppSettings::unwritableStore()
{
    // A folder in place of the file cannot be written, not even by root.
    QVERIFY(QDir().mkpath(settingsPath()));
    VkAppSettings::GetInstance()->Reload();
    QVERIFY(!settings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL());
    settings()->GetPerformanceSettings()->SetThisTimeEnableOpenCL(true);
    QVERIFY(QFileInfo(settingsPath()).isDir());
}

VK_TEST_MAIN(tst_VkAppSettings)
#include "tst_settings.moc"
