#pragma once

#include <QString>
#include <QVariant>

#include <memory>

class VkIniFile;

namespace VkAppSettingsInternal {

// settings.ini behind the settings groups, opened at first use so VK_HOME is read late.
class VkSettingsStore
{
public:
    VkSettingsStore();
    ~VkSettingsStore();

    bool readBool(const QString& key, bool fallback);
    // Writes through at once; a failure leaves the file as it was and is kept for lastError.
    void write(const QString& key, const QVariant& value);
    void reload();
    QString filePath();
    // Why the last write failed or what it had to set aside; empty when all went well.
    QString lastError();

private:
    Q_DISABLE_COPY(VkSettingsStore)

    VkIniFile& file();

    std::unique_ptr<VkIniFile> m_file;
};

} // namespace VkAppSettingsInternal
