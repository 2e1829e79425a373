#include "VkAppInfo.h"

#include <QDir>
#include <QStandardPaths>

namespace VkCoreInternal {

namespace {
const char kHomeVariable[] = "VK_HOME";
const char kFallbackHomeName[] = ".vkpopupdialog";
const char kCacheFolder[] = "Cache";
const char kThumbnailsFolder[] = "Cache/Thumbnails";
const char kSampleMediaFolder[] = "SampleMedia";
const char kProjectsFolder[] = "Projects";

QString ensured(const QString& path)
{
    // A folder that cannot be created is still returned: the caller's own open or save then fails
    // with a message that names the file, which says more than an empty string would.
    QDir().mkpath(path);
    return path;
}
} // namespace

QString VkAppInfo::homePath()
{
    QString home = qEnvironmentVariable(kHomeVariable);
    if (home.isEmpty())
        home = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (home.isEmpty())
        home = QDir::home().filePath(QLatin1String(kFallbackHomeName));
    return QDir::cleanPath(QDir(home).absolutePath());
}

QString VkAppInfo::getFolderPath(int kind) const
{
    const QDir home(homePath());
    switch (kind) {
    case FolderHome:
        return ensured(home.path());
    case FolderCache:
        return ensured(home.filePath(QLatin1String(kCacheFolder)));
    case FolderThumbnails:
        return ensured(home.filePath(QLatin1String(kThumbnailsFolder)));
    case FolderSampleMedia:
        return ensured(home.filePath(QLatin1String(kSampleMediaFolder)));
    case FolderProjects:
        return ensured(home.filePath(QLatin1String(kProjectsFolder)));
    default:
        return QString();
    }
}

} // namespace VkCoreInternal
