#pragma once

#include <vkvblmodel/IVkProjectManager.h>

#include <memory>
#include <vector>

namespace VkVBLModelInternal {

class VkProject;

class VkProjectManager final : public IVkProjectManager
{
public:
    VkProjectManager();
    ~VkProjectManager() override;

    IVkProject* currentProject() override;
    bool openProject(const QString& path, QString* error) override;
    IVkProject* newProject() override;
    bool saveProjectAs(const QString& path, QString* error) override;

private:
    Q_DISABLE_COPY(VkProjectManager)

    VkProject* adopt(std::unique_ptr<VkProject> project);

    // Every project ever made current, so that no pointer handed out can dangle.
    std::vector<std::unique_ptr<VkProject>> m_projects;
    VkProject* m_current = nullptr;
};

} // namespace VkVBLModelInternal
