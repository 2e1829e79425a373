#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>

#include "VkSettingsStore.h"

class VkAppSettings::Private
{
public:
    VkAppSettingsInternal::VkSettingsStore store;
    VSettings settings{store};
};

VkAppSettings::VkAppSettings()
    : d(std::make_unique<Private>())
{}

VkAppSettings::~VkAppSettings() = default;

VkAppSettings* VkAppSettings::GetInstance()
{
    static VkAppSettings instance;
    return &instance;
}

VSettings* VkAppSettings::GetSettings() const
{
    return &d->settings;
}

void VkAppSettings::Reload()
{
    d->store.reload();
}

QString VkAppSettings::FilePath() const
{
    return d->store.filePath();
}

QString VkAppSettings::LastError() const
{
    return d->store.lastError();
}
