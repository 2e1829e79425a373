#include "VkMediaPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace VkVBLModelInternal {

QString VkMediaPaths::canonical(const QString& path)
{
    if (path.isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

std::string VkMediaPaths::toEngine(const QString& path)
{
    return QFile::encodeName(canonical(path)).toStdString();
}

QString VkMediaPaths::fromEngine(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

} // namespace VkVBLModelInternal
