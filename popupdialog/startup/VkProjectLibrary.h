#pragma once

#include <VkPopupDialogExport.h>

#include <QList>
#include <QPixmap>
#include <QString>

class VkProjectRecentInfo;

// One recent project as the startup window lists it.
struct ProjectLibraryRecord
{
    QString name;
    QString time;
    QString size;
    QPixmap thumbnail;
    VkProjectRecentInfo* info = nullptr; // owned by the recent-project manager
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

    // Appends up to maxCount recent projects, most recently modified first.
    void recentProjects(QList<ProjectLibraryRecord>& out, int maxCount);
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
    Q_DISABLE_COPY(VkProjectLibrary)
};
