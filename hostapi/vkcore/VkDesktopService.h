#pragma once

#include <vkcore/VkCoreExport.h>

#include <QString>

#include <functional>

class QUrl;

// Hands web and mail addresses to the user's browser or mail program. Only http, https and mailto
// pass: an address from a configuration file or a media item's metadata must never start a local
// program or open a local file.
class VKCORE_EXPORT VkDesktopService
{
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    // False for an empty, relative or otherwise refused address, and when the opener fails.
    static bool openURL(const QString& url);
    // True when openURL would hand url on; the check alone, without opening anything.
    static bool isOpenableUrl(const QString& url);

    // Replaces the system opener (QDesktopServices) so hosts and tests can watch what would be
    // opened; an empty function restores the system opener. The scheme check still runs first.
    static void SetUrlOpener(UrlOpener opener);

    VkDesktopService() = delete;
};
