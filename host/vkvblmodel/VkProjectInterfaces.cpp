// Out-of-line destructors anchor each project interface's vtable in this library.

#include <vkvblmodel/IVkMonitorCheck.h>
#include <vkvblmodel/IVkPairTarget.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectCompanion.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>

IVkProject::~IVkProject() = default;
IVkProjectCompanion::~IVkProjectCompanion() = default;
IVkPairTarget::~IVkPairTarget() = default;
IVkProjectManager::~IVkProjectManager() = default;
IVkProjectRecentManager::~IVkProjectRecentManager() = default;
IVkMonitorCheck::~IVkMonitorCheck() = default;
