#pragma once

#include <vkappsettings/VkAppSettingsExport.h>

#include <QtGlobal>

namespace VkAppSettingsInternal {
class VkSettingsStore;
}

// [Performance] of settings.ini.
class VKAPPSETTINGS_EXPORT VkPerformanceSettings
{
public:
    explicit VkPerformanceSettings(VkAppSettingsInternal::VkSettingsStore& store);

    // Whether graphics acceleration (OpenCL) is in use in this run; written through at once.
    bool GetThisTimeEnableOpenCL() const;
    void SetThisTimeEnableOpenCL(bool enabled);

private:
    Q_DISABLE_COPY(VkPerformanceSettings)

    VkAppSettingsInternal::VkSettingsStore& m_store;
};
