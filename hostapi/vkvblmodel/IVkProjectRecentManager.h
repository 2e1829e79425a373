#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QList>
#include <QString>

class VkProjectRecentInfo;

// The recent-project list, VK_HOME/recent.json, newest first. The records handed out belong to the
// manager and stay valid for the life of the process: a reload updates them in place and keeps the
// ones that left the list alive without listing them again.
class VKVBLMODEL_EXPORT IVkProjectRecentManager
{
public:
    enum RecentKind : int
    {
        RecentAll = 1,      // every listed project
        RecentExisting = 2, // only projects whose file is still there
    };

    static IVkProjectRecentManager* getInstance();

    virtual ~IVkProjectRecentManager();

    // Reads the store again, then lists the records of kind; an unknown kind lists nothing.
    virtual QList<VkProjectRecentInfo*> getRecentProjects(int kind) = 0;
    // Puts path at the top of the list, as a new entry or by updating its name and modification time.
    virtual bool addProject(const QString& path, const QString& name, QString* error) = 0;
    // Marks path as changed now and moves it to the top; false when it is not listed.
    virtual bool touchProject(const QString& path, QString* error) = 0;
    // Reads the store again. A file that is not a list yields no entries, entries of the wrong shape
    // are left out.
    virtual void reload() = 0;

protected:
    IVkProjectRecentManager() = default;

private:
    Q_DISABLE_COPY(IVkProjectRecentManager)
};
