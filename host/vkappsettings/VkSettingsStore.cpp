#include "VkSettingsStore.h"

#include <vkcore/IVkAppInfo.h>

#include <QDir>
#include <QSettings>

namespace VkAppSettingsInternal {

namespace {
const char kFileName[] = "settings.ini";
}

VkSettingsStore::VkSettingsStore() = default;
VkSettingsStore::~VkSettingsStore() = default;

QSettings& VkSettingsStore::settings()
{
    if (!m_settings) {
        const QString folder = IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome);
        m_settings = std::make_unique<QSettings>(QDir(folder).filePath(QLatin1String(kFileName)),
                                                 QSettings::IniFormat);
        // QSettings shares parsed files within the process; sync makes it compare with the disk.
        m_settings->sync();
    }
    return *m_settings;
}

bool VkSettingsStore::readBool(const QString& key, bool fallback)
{
    return settings().value(key, fallback).toBool();
}

void VkSettingsStore::write(const QString& key, const QVariant& value)
{
    settings().setValue(key, value);
    settings().sync();
}

void VkSettingsStore::reload()
{
    m_settings.reset();
    settings();
}

QString VkSettingsStore::filePath()
{
    return settings().fileName();
}

} // namespace VkAppSettingsInternal
