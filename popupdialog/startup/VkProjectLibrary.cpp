#include "VkProjectLibrary.h"

#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkUtility.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkvblmodel/VkProjectThumbnailLoader.h>
#include <vkwidgets/VkFileDialog.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

#include <algorithm>

namespace {

constexpr int kAllRecentProjects = IVkProjectRecentManager::RecentAll;
constexpr int kProjectsFolder = IVkAppInfo::FolderProjects;

} // namespace

VkProjectLibrary::VkProjectLibrary()
    : m_thumbnails(new VkProjectThumbnailLoader(QSize(kThumbnailWidth, kThumbnailHeight)))
{
    // Creating the manager here loads the recent list before the window asks for it.
    IVkProjectRecentManager::getInstance();
}

VkProjectLibrary::~VkProjectLibrary()
{
    delete m_thumbnails;
}

VkProjectThumbnailLoader* VkProjectLibrary::thumbnailLoader() const
{
    return m_thumbnails;
}

QString VkProjectLibrary::thumbnailPathOf(const QString& projectPath)
{
    const QFileInfo fi(projectPath);
    return fi.absoluteDir().path() + QDir::separator() + fi.completeBaseName() + QStringLiteral(".kqthumb");
}

void VkProjectLibrary::recentProjects(QList<ProjectLibraryRecord>& out, int maxCount)
{
    QList<VkProjectRecentInfo*> infos =
        IVkProjectRecentManager::getInstance()->getRecentProjects(kAllRecentProjects);
    std::sort(infos.begin(), infos.end(), [](const VkProjectRecentInfo* a, const VkProjectRecentInfo* b) {
        return a->getModifyTime() > b->getModifyTime();
    });

    for (VkProjectRecentInfo* info : qAsConst(infos)) {
        const QFileInfo fi(info->getPath());
        ProjectLibraryRecord record;
        record.info = info;
        record.name = info->getName();
        record.size = VkUtility::gGetFileSizeAuto(fi.size());
        record.time = QDateTime::fromSecsSinceEpoch(qint64(info->getCreateTime() & 0xffffffffu))
                          .toString(QStringLiteral("yyyy/MM/dd hh:mm"));
        if (fi.exists()) {
            // The .kqthumb beside the project wins, even when it cannot be read; else the picture
            // that the project file keeps.
            const QString thumbPath = thumbnailPathOf(info->getPath());
            const bool beside = QFileInfo::exists(thumbPath);
            const auto kind =
                beside ? VkProjectThumbnailLoader::PictureFile : VkProjectThumbnailLoader::ProjectFile;
            record.thumbnailSource = beside ? thumbPath : info->getPath();
            const QImage copy = m_thumbnails->cached(record.thumbnailSource, kind);
            if (copy.isNull())
                m_thumbnails->request(record.thumbnailSource, kind);
            else
                record.thumbnail = QPixmap::fromImage(copy);
        }
        out.append(record);
        if (out.size() >= maxCount)
            break;
    }
}

void VkProjectLibrary::aspectRatios(QList<AspectRatioEntry>& out)
{
    out.clear();
    out.append({QObject::tr("16:9 (Widescreen)"), 1});
    out.append({QObject::tr("1:1 (Instagram)"), 2});
    out.append({QObject::tr("9:16 (Portrait)"), 3});
    out.append({QObject::tr("4:3 (Standard)"), 4});
    out.append({QObject::tr("3:4 (Business)"), 5});
    out.append({QObject::tr("21:9 (Cinema)"), 6});
    out.append({QObject::tr("4:5 (Vertical)"), 7});
}

bool VkProjectLibrary::openProjectFile()
{
    const QString filter =
        QStringLiteral("Project Files(*.%1 *.mlz *.zip;)").arg(VkProjectSuffixHelper::projectFileSuffix());
    const QString dir = IVkAppInfo::getInstance()->getFolderPath(kProjectsFolder);
    m_projectPath = VkFileDialog::getOpenFileName(nullptr, QString(), dir, filter, nullptr);
    return QFile::exists(m_projectPath);
}

void VkProjectLibrary::clearProjectPath()
{
    m_projectPath.clear();
}

void VkProjectLibrary::setProjectFromRecent(VkProjectRecentInfo* info)
{
    if (info)
        m_projectPath = info->getPath();
}

QString VkProjectLibrary::projectPath() const
{
    return m_projectPath;
}
