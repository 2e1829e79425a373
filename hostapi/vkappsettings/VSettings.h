#pragma once

#include <vkappsettings/VkAppSettingsExport.h>

#include <QtGlobal>

#include <memory>

class VkGeneralSetting;
class VkPerformanceSettings;
namespace VkAppSettingsInternal {
class VkSettingsStore;
}

// The settings grouped as the settings window shows them.
class VKAPPSETTINGS_EXPORT VSettings
{
public:
    explicit VSettings(VkAppSettingsInternal::VkSettingsStore& store);
    ~VSettings();

    VkPerformanceSettings* GetPerformanceSettings() const;
    VkGeneralSetting* GetGeneralSetting() const;

private:
    Q_DISABLE_COPY(VSettings)

    const std::unique_ptr<VkPerformanceSettings> m_performance;
    const std::unique_ptr<VkGeneralSetting> m_general;
};
