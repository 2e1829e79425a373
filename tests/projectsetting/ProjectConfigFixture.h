#pragma once

#include "VkTestFiles.h"

#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSize>

// Stores the four edited fields in the current project, as if it had been saved with them.
inline void storeConfig(int ratio, int rate, QSize size, int colorSpace)
{
    VKVBLMODEL::VkProjectConfig c;
    c.aspectRatio = static_cast<VKVBLMODEL::VkProjectAspectRatioType>(ratio);
    c.frameRate = static_cast<VKVBLMODEL::VkProjectFrameRateType>(rate);
    c.resolution = size;
    c.colorSpace = static_cast<VKVBLMODEL::VkProjectColorSpaceType>(colorSpace);
    IVkProjectManager::getInstance()->currentProject()->setProjectConfig(c);
}

inline VKVBLMODEL::VkProjectConfig storedConfig()
{
    VKVBLMODEL::VkProjectConfig c;
    IVkProjectManager::getInstance()->currentProject()->getProjectConfig(c);
    return c;
}

inline QJsonObject readProjectFile(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}
