#include "VkProjectManager.h"

#include "VkProject.h"
#include "VkProjectDocument.h"

#include <vkcore/VkError.h>
#include <vkvblmodel/IVkProjectRecentManager.h>

#include <QFileInfo>

namespace VkVBLModelInternal {

VkProjectManager::VkProjectManager() = default;
VkProjectManager::~VkProjectManager() = default;

VkProject* VkProjectManager::adopt(std::unique_ptr<VkProject> project)
{
    m_current = project.get();
    m_projects.push_back(std::move(project));
    return m_current;
}

IVkProject* VkProjectManager::currentProject()
{
    if (!m_current)
        adopt(std::make_unique<VkProject>());
    return m_current;
}

bool VkProjectManager::openProject(const QString& path, QString* error)
{
    if (path.isEmpty())
        return VkError::fail(error, QStringLiteral("No project file given"));
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    QJsonObject document;
    if (!VkProjectDocument::read(absolutePath, &document, error))
        return false;
    VkProject* project = adopt(std::make_unique<VkProject>(absolutePath, document));
    // The project is open whether or not the recent list can be written; that list is a convenience.
    // A project without a name of its own keeps the name the list already shows for it.
    IVkProjectRecentManager::getInstance()->addProject(absolutePath, project->ownName(), nullptr);
    return true;
}

IVkProject* VkProjectManager::newProject()
{
    return adopt(std::make_unique<VkProject>());
}

bool VkProjectManager::saveProjectAs(const QString& path, QString* error)
{
    VkProject* project = static_cast<VkProject*>(currentProject());
    if (!project->saveAs(path, error))
        return false;
    IVkProjectRecentManager::getInstance()->addProject(project->filePath(), project->ownName(), nullptr);
    return true;
}

} // namespace VkVBLModelInternal

IVkProjectManager* IVkProjectManager::getInstance()
{
    static VkVBLModelInternal::VkProjectManager instance;
    return &instance;
}
