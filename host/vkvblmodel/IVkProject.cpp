#include <vkvblmodel/IVkProject.h>

#include "VkProjectDocument.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

QPixmap IVkProject::getThumbnail(const QString& projectPath)
{
    // Pixmaps need the GUI application; without one there is nothing to show a thumbnail on anyway.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QPixmap();
    QJsonObject document;
    if (!VkVBLModelInternal::VkProjectDocument::read(projectPath, &document, nullptr))
        return QPixmap();
    const QByteArray png = VkVBLModelInternal::VkProjectDocument::thumbnailPngOf(document);
    if (png.isEmpty())
        return QPixmap();
    return QPixmap::fromImage(QImage::fromData(png, "PNG"));
}
