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
    // Puts path at the top of the list, as a new entry or by updating its modification time. A name
    // given replaces the listed one; an empty name keeps it (a new entry is named after the file).
    // Writes are serialised with other processes, and the file is replaced whole or not at all: false
    // with error when it could not be written. A store that cannot be read as a list is not
    // overwritten: it is kept as "recent.json.broken-<time>" first, and lastError names it.
    virtual bool addProject(const QString& path, const QString& name, QString* error) = 0;
    // Marks path as changed now and moves it to the top; false when it is not listed. Written as
    // addProject writes.
    virtual bool touchProject(const QString& path, QString* error) = 0;
    // Reads the store again. A file that is not a list (or not a regular file, or larger than 4 MB)
    // yields no entries and is left as it is; entries of the wrong shape are not listed but are kept
    // in the file.
    virtual void reload() = 0;
    // What went wrong with the store last: a failed write, a damaged file moved aside before a write,
    // a file that could not be read. Empty when the last read or write went well.
    virtual QString lastError() const = 0;

protected:
    IVkProjectRecentManager() = default;

private:
    Q_DISABLE_COPY(IVkProjectRecentManager)
};
