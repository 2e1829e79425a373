#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>

#include <QSettings>

#include "VkTestFiles.h"
#include "VkTestMain.h"

using namespace VkTestLiterals;

const QString kSettings = "settings.ini"_s;

// The settings store, settings.ini: written through in the sections other programs read, their keys
// kept, and the user's choices kept for the run when the file cannot be read. (A full disk is the
// stores' own test, a home where nothing can be written the reliability suite's.)
class tst_VkAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(vkHomeFile(kSettings));
        VkAppSettings::GetInstance()->Reload();
    }
    void storeFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("foreign"); // other programs' keys, kept by our writes
        QTest::newRow("other programs' keys")
            << QByteArray("[General]\nTheme=dark\n[Export]\nLastFolder=/tmp/out\n") << "dark /tmp/out"_s;
        QByteArray garbage;
        for (int i = 0; i < 2048; ++i)
            garbage.append(char((i * 97 + 13) % 256));
        QTest::newRow("garbage") << garbage << " "_s;
    }
    // Callers keep the settings objects across a reload: they must keep working, not just stay allocated.
    void storeFile()
    {
        QFETCH(QByteArray, contents);
        VkAppSettings* settings = VkAppSettings::GetInstance();
        VkPerformanceSettings* performance = settings->GetSettings()->GetPerformanceSettings();
        VkGeneralSetting* general = settings->GetSettings()->GetGeneralSetting();
        QVERIFY(writeBytes(vkHomeFile(kSettings), contents));
        settings->Reload();
        QVERIFY(!performance->GetThisTimeEnableOpenCL() && !general->IsMediaMatchProjShow());
        performance->SetThisTimeEnableOpenCL(true);
        general->SetMediaMatchProjShow(true);
        // Written through, before any reload of ours.
        QSettings reader(vkHomeFile(kSettings), QSettings::IniFormat);
        QTEST(reader.value("Theme"_s).toString() + " "_s + reader.value("Export/LastFolder"_s).toString(),
              "foreign");
        QCOMPARE(reader.value("MediaMatchProjShow"_s).toBool(), true);
        QCOMPARE(reader.value("Performance/ThisTimeEnableOpenCL"_s).toBool(), true);
        settings->Reload();
        QCOMPARE(settings->GetSettings()->GetGeneralSetting(), general);
        QVERIFY(performance->GetThisTimeEnableOpenCL() && general->IsMediaMatchProjShow());
    }
};

VK_TEST_MAIN(tst_VkAppSettings)
#include "tst_settings.moc"
