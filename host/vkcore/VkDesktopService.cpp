#include <vkcore/VkDesktopService.h>

#include <QDesktopServices>
#include <QUrl>

namespace {
VkDesktopService::UrlOpener& opener()
{
    static VkDesktopService::UrlOpener theOpener;
    return theOpener;
}

QUrl checkedUrl(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return QUrl();
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return url.host().isEmpty() ? QUrl() : url;
    if (scheme == QLatin1String("mailto"))
        return url.path().isEmpty() ? QUrl() : url;
    return QUrl();
}
} // namespace

bool VkDesktopService::isOpenableUrl(const QString& url)
{
    return checkedUrl(url).isValid();
}

bool VkDesktopService::openURL(const QString& url)
{
    const QUrl checked = checkedUrl(url);
    if (!checked.isValid())
        return false;
    if (opener())
        return opener()(checked);
    return QDesktopServices::openUrl(checked);
}

void VkDesktopService::SetUrlOpener(UrlOpener newOpener)
{
    opener() = std::move(newOpener);
}
