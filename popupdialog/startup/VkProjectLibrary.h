#pragma once

#include <VkPopupDialogExport.h>

#include <QList>
#include <QPixmap>
#include <QString>

class VkProjectRecentInfo;
class VkProjectThumbnailLoader;

// One recent project as the startup window lists it.
struct ProjectLibraryRecord
{
    QString name;
    QString time;
    QString size;
    // The picture at the size a row shows it, when a current copy was at hand; otherwise null.
    QPixmap thumbnail;
    VkProjectRecentInfo* info = nullptr; // owned by the recent-project manager
    // The file the picture comes from (the .kqthumb or the project file); empty when the project
    // file is missing. While `thumbnail` is null, the library's thumbnail loader is decoding it.
    QString thumbnailSource;
};

// One entry of the startup window's aspect-ratio list.
struct AspectRatioEntry
{
    QString label;
    int type = 0;
};

// The data side of the startup window: the recent projects it lists, the aspect ratios it offers,
// the open-project file dialog, and the project file the user finally chose.
class VKPOPUPDIALOG_EXPORT VkProjectLibrary
{
public:
    VkProjectLibrary();
    ~VkProjectLibrary();

    // The size at which a row shows a project's picture.
    static constexpr int kThumbnailWidth = 100;
    static constexpr int kThumbnailHeight = 56;

    // Appends up to maxCount recent projects, most recently modified first. A picture that has no
    // current cached copy is requested from thumbnailLoader(), which delivers it later.
    void recentProjects(QList<ProjectLibraryRecord>& out, int maxCount);
    VkProjectThumbnailLoader* thumbnailLoader() const;
    // Replaces `out` with the seven fixed ratios, their labels in the current language.
    void aspectRatios(QList<AspectRatioEntry>& out);
    // Runs the file dialog; stores the chosen path (empty when cancelled) and says whether it exists.
    bool openProjectFile();
    void clearProjectPath();
    void setProjectFromRecent(VkProjectRecentInfo* info);
    QString projectPath() const;

    // The picture file kept beside a project: <folder>/<name without last suffix>.kqthumb.
    static QString thumbnailPathOf(const QString& projectPath);

private:
    QString m_projectPath;
    VkProjectThumbnailLoader* const m_thumbnails;
    Q_DISABLE_COPY(VkProjectLibrary)
};
