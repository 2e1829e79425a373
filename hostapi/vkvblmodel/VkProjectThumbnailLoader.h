#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QImage>
#include <QObject>
#include <QSize>

#include <memory>

// Project pictures at the size a list shows them. A copy of that size is kept in the application's
// Cache/Thumbnails folder for every picture shown, and used while its source keeps its size and
// modification time; otherwise the picture is decoded again (reduced while it is read, so that a huge
// one costs little memory) on a thread of the loader's own, and the result arrives by signal. The
// caller's thread only ever reads the small copies.
class VKVBLMODEL_EXPORT VkProjectThumbnailLoader : public QObject
{
    Q_OBJECT
public:
    enum SourceKind : int
    {
        PictureFile = 0, // a PNG file, such as the .kqthumb beside a project
        ProjectFile = 1, // a project file, for the picture it keeps inside
    };

    explicit VkProjectThumbnailLoader(const QSize& shownSize, QObject* parent = nullptr);
    // Stops what is still queued and waits for the picture being decoded (a row at most).
    ~VkProjectThumbnailLoader() override;

    QSize shownSize() const;
    // The cached copy of the source's picture when it is current; a null image otherwise.
    QImage cached(const QString& sourcePath, SourceKind kind) const;
    // Decodes the source's picture in the background, keeps a copy in the cache and emits
    // thumbnailReady; requests are served in the order they were made.
    void request(const QString& sourcePath, SourceKind kind);
    // The cache file that holds (or will hold) the copy of the source's picture.
    QString cachePathOf(const QString& sourcePath, SourceKind kind) const;
    // Requests made and not yet delivered.
    int pendingCount() const;

signals:
    // On the loader's thread. A null image when the source holds no picture that can be read (no
    // regular file, too large, damaged).
    void thumbnailReady(const QString& sourcePath, int kind, const QImage& image);

private:
    struct Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkProjectThumbnailLoader)
};
