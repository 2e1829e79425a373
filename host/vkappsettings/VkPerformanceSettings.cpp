#include <vkappsettings/VkPerformanceSettings.h>

#include "VkSettingsStore.h"

namespace {
const char kThisTimeEnableOpenCLKey[] = "Performance/ThisTimeEnableOpenCL";
}

VkPerformanceSettings::VkPerformanceSettings(VkAppSettingsInternal::VkSettingsStore& store)
    : m_store(store)
{}

bool VkPerformanceSettings::GetThisTimeEnableOpenCL() const
{
    return m_store.readBool(QLatin1String(kThisTimeEnableOpenCLKey), false);
}

void VkPerformanceSettings::SetThisTimeEnableOpenCL(bool enabled)
{
    m_store.write(QLatin1String(kThisTimeEnableOpenCLKey), enabled);
}
