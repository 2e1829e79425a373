#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace VkAppSettingsInternal {

// settings.ini behind the settings groups, opened at first use so VK_HOME is read late.
class VkSettingsStore
{
public:
    VkSettingsStore();
    ~VkSettingsStore();

    bool readBool(const QString& key, bool fallback);
    void write(const QString& key, const QVariant& value);
    void reload();
    QString filePath();

private:
    Q_DISABLE_COPY(VkSettingsStore)

    QSettings& settings();

    std::unique_ptr<QSettings> m_settings;
};

} // namespace VkAppSettingsInternal
