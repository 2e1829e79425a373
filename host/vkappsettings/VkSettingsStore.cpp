#include "VkSettingsStore.h"

#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkIniFile.h>

#include <QDir>

namespace VkAppSettingsInternal {

namespace {
const char kFileName[] = "settings.ini";
}

VkSettingsStore::VkSettingsStore() = default;
VkSettingsStore::~VkSettingsStore() = default;

VkIniFile& VkSettingsStore::file()
{
    if (!m_file) {
        const QString folder = IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome);
        m_file = std::make_unique<VkIniFile>(QDir(folder).filePath(QLatin1String(kFileName)));
    }
    return *m_file;
}

bool VkSettingsStore::readBool(const QString& key, bool fallback)
{
    const QString text = file().value(key);
    return text.isNull() ? fallback : QVariant(text).toBool();
}

void VkSettingsStore::write(const QString& key, const QVariant& value)
{
    file().setValue(key, value.toString(), nullptr);
}

void VkSettingsStore::reload()
{
    m_file.reset();
    file();
}

QString VkSettingsStore::filePath()
{
    return file().path();
}

QString VkSettingsStore::lastError()
{
    return file().lastError();
}

} // namespace VkAppSettingsInternal
