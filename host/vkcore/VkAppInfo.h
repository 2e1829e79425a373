#pragma once

#include <vkcore/IVkAppInfo.h>

namespace VkCoreInternal {

// Folders resolved on every call: VK_HOME is read when asked, never cached, so a host or a test may
// set it after the library is loaded.
class VkAppInfo final : public IVkAppInfo
{
public:
    VkAppInfo() = default;
    QString getFolderPath(int kind) const override;

    static QString homePath();
};

} // namespace VkCoreInternal
