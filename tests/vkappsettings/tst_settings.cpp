#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>

#include <QSettings>

#include "VkTestFiles.h"
#include "VkTestMain.h"

using namespace VkTestLiterals;

namespace {
const QString kSettings = "settings.ini"_s;
} // namespace

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
    // Callers keep the settings objects across a reload: they must keep working, not just stay allocated.
    void flagsPersistAndForeignKeysStay()
    {
        VkPerformanceSettings* performance =
            VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings();
        VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
        QVERIFY(writeBytes(vkHomeFile(kSettings), "[General]\nTheme=dark\n[Export]\nLastFolder=/tmp/out\n"));
        VkAppSettings::GetInstance()->Reload();
        QVERIFY(!performance->GetThisTimeEnableOpenCL() && !general->IsMediaMatchProjShow());
        performance->SetThisTimeEnableOpenCL(true);
        general->SetMediaMatchProjShow(true);
        // Written through, before any reload of ours.
        QSettings reader(vkHomeFile(kSettings), QSettings::IniFormat);
        QCOMPARE(reader.value("Theme"_s).toString(), "dark"_s);
        QCOMPARE(reader.value("Export/LastFolder"_s).toString(), "/tmp/out"_s);
        QCOMPARE(reader.value("MediaMatchProjShow"_s).toBool(), true);
        QCOMPARE(reader.value("Performance/ThisTimeEnableOpenCL"_s).toBool(), true);
        VkAppSettings::GetInstance()->Reload();
        QCOMPARE(VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting(), general);
        QVERIFY(performance->GetThisTimeEnableOpenCL() && general->IsMediaMatchProjShow());
    }
    void garbageFile()
    {
        QByteArray garbage;
        for (int i = 0; i < 2048; ++i)
            garbage.append(char((i * 97 + 13) % 256));
        QVERIFY(writeBytes(vkHomeFile(kSettings), garbage));
        VkAppSettings::GetInstance()->Reload();
        VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
        QVERIFY(!general->IsMediaMatchProjShow());
        QVERIFY(!VkAppSettings::GetInstance()
                     ->GetSettings()
                     ->GetPerformanceSettings()
                     ->GetThisTimeEnableOpenCL());
        general->SetMediaMatchProjShow(true);
        QVERIFY(general->IsMediaMatchProjShow());
    }
};

VK_TEST_MAIN(tst_VkAppSettings)
#include "tst_settings.moc"
