#include "VkThumbnailCache.h"

#include "VkPngThumbnailReader.h"

#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkError.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>

namespace VkVBLModelInternal {

namespace {

const char kSourceText[] = "VkSource";
const char kSourceBytesText[] = "VkSourceBytes";
const char kSourceModifiedText[] = "VkSourceModified";
// A copy is a PNG of the size shown; anything much larger than its raw pixels is not one of ours.
constexpr qint64 kCopyOverheadBytes = qint64{64} * 1024;
// Copies are stored without compression: one is read on the GUI thread for every row at every start,
// where inflating costs more than the few kilobytes it would save on disk.
constexpr int kStoredQuality = 100;

qint64 maxCopyBytes(const QSize& shown)
{
    return qint64(shown.width()) * shown.height() * 4 + kCopyOverheadBytes;
}

} // namespace

VkThumbnailCache::Key VkThumbnailCache::keyOf(const QString& sourcePath, int kind, const QSize& shown)
{
    Key key;
    const QFileInfo fi(sourcePath);
    key.source = fi.absoluteFilePath();
    key.kind = kind;
    key.shown = shown;
    if (fi.isFile()) {
        key.sourceBytes = fi.size();
        key.sourceModified = fi.lastModified().toMSecsSinceEpoch();
    }
    return key;
}

QString VkThumbnailCache::pathOf(const Key& key)
{
    const QString folder = IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderThumbnails);
    if (folder.isEmpty())
        return QString();
    const QByteArray name = QStringLiteral("%1\n%2\n%3x%4")
                                .arg(key.kind)
                                .arg(key.source)
                                .arg(key.shown.width())
                                .arg(key.shown.height())
                                .toUtf8();
    const QByteArray hash = QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex();
    return QDir(folder).filePath(QString::fromLatin1(hash) + QStringLiteral(".png"));
}

QImage VkThumbnailCache::read(const Key& key)
{
    if (!key.isValid())
        return QImage();
    const QString path = pathOf(key);
    QByteArray bytes;
    if (path.isEmpty() || !QFileInfo(path).isFile() ||
        !VkPngThumbnailReader::readRegularFile(path, maxCopyBytes(key.shown), &bytes, nullptr))
        return QImage();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "PNG");
    if (reader.size() != key.shown)
        return QImage();
    const QImage image = reader.read();
    const bool current =
        image.size() == key.shown && image.text(QLatin1String(kSourceText)) == key.source &&
        image.text(QLatin1String(kSourceBytesText)) == QString::number(key.sourceBytes) &&
        image.text(QLatin1String(kSourceModifiedText)) == QString::number(key.sourceModified);
    return current ? image : QImage();
}

bool VkThumbnailCache::write(const Key& key, const QImage& image, QString* error)
{
    const QString path = pathOf(key);
    if (!key.isValid() || path.isEmpty() || image.size() != key.shown)
        return VkError::fail(error, QStringLiteral("No cache copy for %1").arg(key.source));
    QImage copy = image;
    copy.setText(QLatin1String(kSourceText), key.source);
    copy.setText(QLatin1String(kSourceBytesText), QString::number(key.sourceBytes));
    copy.setText(QLatin1String(kSourceModifiedText), QString::number(key.sourceModified));
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !copy.save(&buffer, "PNG", kStoredQuality))
        return VkError::fail(error, QStringLiteral("Cannot encode the cache copy of %1").arg(key.source));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.flush() || !file.commit())
        return VkError::fail(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

} // namespace VkVBLModelInternal
