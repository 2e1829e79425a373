#pragma once

#include <vkvblmodel/IVkMonitorCheck.h>

namespace VkVBLModelInternal {

// Qt 5 cannot ask the display whether it shows HDR, so the configuration records what the user or
// the installer found out.
class VkMonitorCheck final : public IVkMonitorCheck
{
public:
    VkMonitorCheck() = default;
    bool isHdrEnabled() const override;
};

} // namespace VkVBLModelInternal
