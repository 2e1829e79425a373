#pragma once

#include <vkappsettings/VkAppSettingsExport.h>

#include <QString>
#include <QtGlobal>

#include <memory>

class VSettings;

// The application's settings, VK_HOME/settings.ini, opened at first use. The objects handed out stay
// valid for the life of the process, across Reload.
class VKAPPSETTINGS_EXPORT VkAppSettings
{
public:
    static VkAppSettings* GetInstance();

    VSettings* GetSettings() const;

    // Drops what is held in memory and reads the file again (also picks up a changed VK_HOME).
    void Reload();
    QString FilePath() const;
    // Why the last write to the file failed (it then holds what it held before), or what had to be
    // done first (a damaged file kept as "settings.ini.broken-<time>"). Empty when all went well.
    QString LastError() const;

private:
    VkAppSettings();
    ~VkAppSettings();
    Q_DISABLE_COPY(VkAppSettings)

    class Private;
    const std::unique_ptr<Private> d;
};
