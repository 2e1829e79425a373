#include <vkvblmodel/VkProjectThumbnailLoader.h>

#include "VkPngThumbnailReader.h"
#include "VkThumbnailCache.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>

using VkVBLModelInternal::VkPngThumbnailReader;
using VkVBLModelInternal::VkThumbnailCache;

namespace {

// Pictures are decoded one or two at a time: the machine is busy starting the editor meanwhile.
constexpr int kMaxDecodingThreads = 2;

// The picture of the source at exactly the size shown, or a null image.
QImage decodeShown(const QString& source, int kind, const QSize& shown, const std::atomic<bool>* cancel)
{
    QImage image;
    if (kind == VkProjectThumbnailLoader::PictureFile) {
        image =
            VkPngThumbnailReader::readFile(source, shown, VkPngThumbnailReader::Fit::Cover, cancel, nullptr);
    } else {
        const QByteArray png = VkPngThumbnailReader::projectPicturePng(source, nullptr);
        if (!png.isEmpty())
            image = VkPngThumbnailReader::readBytes(png, shown, VkPngThumbnailReader::Fit::Cover, cancel,
                                                    nullptr);
    }
    if (!image.isNull() && image.size() != shown)
        image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

struct VkProjectThumbnailLoader::Private
{
    QSize shown;
    QThreadPool pool;
    // Shared with the tasks, which may still read it while the loader is being destroyed.
    std::shared_ptr<std::atomic<bool>> cancel = std::make_shared<std::atomic<bool>>(false);
    int pending = 0;
};

VkProjectThumbnailLoader::VkProjectThumbnailLoader(const QSize& shownSize, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->shown = shownSize;
    d->pool.setMaxThreadCount(std::max(1, std::min(kMaxDecodingThreads, QThread::idealThreadCount())));
}

VkProjectThumbnailLoader::~VkProjectThumbnailLoader()
{
    d->cancel->store(true);
    d->pool.clear();
    d->pool.waitForDone();
}

QSize VkProjectThumbnailLoader::shownSize() const
{
    return d->shown;
}

QImage VkProjectThumbnailLoader::cached(const QString& sourcePath, SourceKind kind) const
{
    return VkThumbnailCache::read(VkThumbnailCache::keyOf(sourcePath, kind, d->shown));
}

QString VkProjectThumbnailLoader::cachePathOf(const QString& sourcePath, SourceKind kind) const
{
    return VkThumbnailCache::pathOf(VkThumbnailCache::keyOf(sourcePath, kind, d->shown));
}

int VkProjectThumbnailLoader::pendingCount() const
{
    return d->pending;
}

void VkProjectThumbnailLoader::request(const QString& sourcePath, SourceKind kind)
{
    ++d->pending;
    const QSize shown = d->shown;
    const std::shared_ptr<std::atomic<bool>> cancel = d->cancel;
    d->pool.start(QRunnable::create([this, sourcePath, kind, shown, cancel] {
        if (cancel->load())
            return;
        // The key is taken before the source is read: a source changed meanwhile then leaves a
        // copy that no longer matches, and it is decoded again next time.
        const VkThumbnailCache::Key key = VkThumbnailCache::keyOf(sourcePath, kind, shown);
        QImage image = decodeShown(sourcePath, kind, shown, cancel.get());
        if (cancel->load())
            return;
        if (!image.isNull())
            VkThumbnailCache::write(key, image, nullptr);
        // Queued to the loader's thread; the destructor waits for this task, so `this` is alive
        // here, and a call still queued when the loader dies is dropped with it.
        QMetaObject::invokeMethod(
            this,
            [this, sourcePath, kind, image] {
                --d->pending;
                emit thumbnailReady(sourcePath, kind, image);
            },
            Qt::QueuedConnection);
    }));
}
