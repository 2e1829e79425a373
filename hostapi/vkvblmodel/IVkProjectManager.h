#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

class IVkProject;

// Holds the current project. Every project handed out stays valid for the life of the process, so
// a caller that kept one across an open or a new project never holds a dangling pointer.
class VKVBLMODEL_EXPORT IVkProjectManager
{
public:
    static IVkProjectManager* getInstance();

    virtual ~IVkProjectManager();

    // Never null: a new, unsaved project until one is opened.
    virtual IVkProject* currentProject() = 0;
    // Makes the project file at path current and lists it among the recent projects. On failure
    // (missing, unreadable, not a project, a newer format) the current project stays, the file is
    // left untouched and error says why.
    virtual bool openProject(const QString& path, QString* error) = 0;
    // Makes a new, unsaved project with the default configuration current.
    virtual IVkProject* newProject() = 0;
    // Writes the current project to path, which becomes its file from then on.
    virtual bool saveProjectAs(const QString& path, QString* error) = 0;

protected:
    IVkProjectManager() = default;

private:
    Q_DISABLE_COPY(IVkProjectManager)
};
