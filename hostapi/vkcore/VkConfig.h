#pragma once

#include <vkcore/VkCoreExport.h>
#include <vkcore/VkSceneDetectDefaults.h>

#include <QString>
#include <QtGlobal>

#include <memory>

// The host's persistent configuration, VK_HOME/config.ini. The store is opened at first use, so a
// process can point VK_HOME elsewhere before anything asks for it. Every setter writes the file at
// once: a crash right after a dialog closes must not lose a "do not show again" choice. A write
// replaces the file whole or leaves it as it was; the value is kept in memory either way.
class VKCORE_EXPORT VkConfig
{
public:
    static VkConfig& Instance();

    bool IsColorSpaceGpuTipsNoNeedShow() const;
    void SetColorSpaceGpuTipsNoNeedShow(bool noNeedShow);
    bool IsColorSpaceHDRTipsNoNeedShow() const;
    void SetColorSpaceHDRTipsNoNeedShow(bool noNeedShow);

    // The web address kept under key in [Urls]; built-in addresses stand in for "HelpOnlinePage" and
    // "SupportPage" until the file names its own. Unknown keys without an entry give an empty string.
    QString GetCBSUrl(const QString& key) const;
    void SetCBSUrl(const QString& key, const QString& url);

    bool IsHdrEnabled() const;
    void SetHdrEnabled(bool enabled);

    double SceneDetectThreshold() const;
    void SetSceneDetectThreshold(double threshold);
    int SceneDetectMinSceneLength() const;
    void SetSceneDetectMinSceneLength(int frames);

    // Drops what is held in memory and reads the file again (also picks up a changed VK_HOME).
    void Reload();
    // The file behind the store.
    QString FilePath() const;
    // False when the last write could not reach the disk (read-only folder, a directory in the way,
    // a full disk); the file then holds what it held before.
    bool IsWritable() const;
    // Why the last write failed, or what had to be done to the file before it (a damaged file kept
    // as "config.ini.broken-<time>"); also why the file could not be read. Empty when all went well.
    QString LastError() const;

    // The engine's own defaults, so an untouched config.ini finds the cuts vkscenedetect finds.
    static constexpr double kDefaultSceneDetectThreshold = VkSceneDetectDefaults::kThreshold;
    static constexpr int kDefaultSceneDetectMinSceneLength = VkSceneDetectDefaults::kMinSceneLength;

private:
    VkConfig();
    ~VkConfig();
    Q_DISABLE_COPY(VkConfig)

    class Private;
    const std::unique_ptr<Private> d;
};
