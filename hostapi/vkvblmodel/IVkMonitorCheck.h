#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QtGlobal>

// What the display can show.
class VKVBLMODEL_EXPORT IVkMonitorCheck
{
public:
    static IVkMonitorCheck* getInstance();

    virtual ~IVkMonitorCheck();
    // True when the display shows HDR, as the configuration's [Display] HdrEnabled records it.
    virtual bool isHdrEnabled() const = 0;

protected:
    IVkMonitorCheck() = default;

private:
    Q_DISABLE_COPY(IVkMonitorCheck)
};
