#include <vkcore/IVkAppInfo.h>

#include "VkAppInfo.h"

IVkAppInfo::~IVkAppInfo() = default;

IVkAppInfo* IVkAppInfo::getInstance()
{
    static VkCoreInternal::VkAppInfo instance;
    return &instance;
}
