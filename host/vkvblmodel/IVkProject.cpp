#include <vkvblmodel/IVkProject.h>

#include "VkPngThumbnailReader.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

using VkVBLModelInternal::VkPngThumbnailReader;

namespace {
// A picture up to this size comes back whole; a larger one is reduced while it is decoded, so that
// no header, however large it claims the picture to be, decides what is allocated.
constexpr QSize kWholeThumbnailSize{4096, 4096};
} // namespace

QPixmap IVkProject::getThumbnail(const QString& projectPath)
{
    // Pixmaps need the GUI application; without one there is nothing to show a thumbnail on anyway.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QPixmap();
    const QByteArray png = VkPngThumbnailReader::projectPicturePng(projectPath, nullptr);
    if (png.isEmpty())
        return QPixmap();
    return QPixmap::fromImage(VkPngThumbnailReader::readBytes(
        png, kWholeThumbnailSize, VkPngThumbnailReader::Fit::Within, nullptr, nullptr));
}
