#pragma once

#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>

#include <QFile>
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

inline bool writeProjectFile(const QString& path, const QJsonObject& root)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(QJsonDocument(root).toJson()) > 0;
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QJsonObject readProjectFile(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}
