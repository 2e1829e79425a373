#include <vkappsettings/VkGeneralSetting.h>

#include "VkSettingsStore.h"

namespace {
// QSettings writes keys outside any group under [General] of the INI file (and a group really named
// "General" as [%General]), so the [General] section is reached by the bare key.
const char kMediaMatchProjShowKey[] = "MediaMatchProjShow";
} // namespace

VkGeneralSetting::VkGeneralSetting(VkAppSettingsInternal::VkSettingsStore& store)
    : m_store(store)
{}

void VkGeneralSetting::SetMediaMatchProjShow(bool show)
{
    m_store.write(QLatin1String(kMediaMatchProjShowKey), show);
}

bool VkGeneralSetting::IsMediaMatchProjShow() const
{
    return m_store.readBool(QLatin1String(kMediaMatchProjShowKey), false);
}
