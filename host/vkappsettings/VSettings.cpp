#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>

VSettings::VSettings(VkAppSettingsInternal::VkSettingsStore& store)
    : m_performance(std::make_unique<VkPerformanceSettings>(store))
    , m_general(std::make_unique<VkGeneralSetting>(store))
{}

VSettings::~VSettings() = default;

VkPerformanceSettings* VSettings::GetPerformanceSettings() const
{
    return m_performance.get();
}

VkGeneralSetting* VSettings::GetGeneralSetting() const
{
    return m_general.get();
}
