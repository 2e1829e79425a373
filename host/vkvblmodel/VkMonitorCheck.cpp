#include "VkMonitorCheck.h"

#include <vkcore/VkConfig.h>

namespace VkVBLModelInternal {

bool VkMonitorCheck::isHdrEnabled() const
{
    return VkConfig::Instance().IsHdrEnabled();
}

} // namespace VkVBLModelInternal

IVkMonitorCheck* IVkMonitorCheck::getInstance()
{
    static VkVBLModelInternal::VkMonitorCheck instance;
    return &instance;
}
