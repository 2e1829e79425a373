#include <vkvblmodel/IVkProject.h>

#include "VkProjectDocument.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace {
// A thumbnail is shown a few hundred pixels wide. A header declaring more than 4096 x 4096 is damaged
// or hostile, and decoding it would allocate whatever it declares (Qt 5 sets no limit below 2 GB).
constexpr qint64 kMaxThumbnailPixels = qint64(4096) * 4096;
} // namespace

QPixmap IVkProject::getThumbnail(const QString& projectPath)
{
    // Pixmaps need the GUI application; without one there is nothing to show a thumbnail on anyway.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QPixmap();
    QJsonObject document;
    if (!VkVBLModelInternal::VkProjectDocument::read(projectPath, &document, nullptr))
        return QPixmap();
    QByteArray png = VkVBLModelInternal::VkProjectDocument::thumbnailPngOf(document);
    if (png.isEmpty())
        return QPixmap();
    QBuffer buffer(&png);
    QImageReader reader(&buffer, "PNG");
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxThumbnailPixels)
        return QPixmap();
    return QPixmap::fromImage(reader.read());
}
