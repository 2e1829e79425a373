#pragma once

#include <vkappsettings/VkAppSettingsExport.h>

#include <QtGlobal>

namespace VkAppSettingsInternal {
class VkSettingsStore;
}

// [General] of settings.ini.
class VKAPPSETTINGS_EXPORT VkGeneralSetting
{
public:
    explicit VkGeneralSetting(VkAppSettingsInternal::VkSettingsStore& store);

    // Whether the editor should offer to match a new clip's frame rate and size to the project;
    // written through at once.
    void SetMediaMatchProjShow(bool show);
    bool IsMediaMatchProjShow() const;

private:
    Q_DISABLE_COPY(VkGeneralSetting)

    VkAppSettingsInternal::VkSettingsStore& m_store;
};
