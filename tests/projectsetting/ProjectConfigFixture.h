#pragma once

#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>

#include <QSize>

// The four edited fields of a project record, from plain integers as the tests' tables give them.
inline VKVBLMODEL::VkProjectConfig makeConfig(int ratio, int rate, QSize size, int colorSpace)
{
    VKVBLMODEL::VkProjectConfig c;
    c.aspectRatio = static_cast<VKVBLMODEL::VkProjectAspectRatioType>(ratio);
    c.frameRate = static_cast<VKVBLMODEL::VkProjectFrameRateType>(rate);
    c.resolution = size;
    c.colorSpace = static_cast<VKVBLMODEL::VkProjectColorSpaceType>(colorSpace);
    return c;
}

// Stores them in the current project, as if it had been saved with these settings.
inline void storeConfig(int ratio, int rate, QSize size, int colorSpace)
{
    IVkProjectManager::getInstance()->currentProject()->setProjectConfig(
        makeConfig(ratio, rate, size, colorSpace));
}
