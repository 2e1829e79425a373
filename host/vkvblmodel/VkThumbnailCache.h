#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace VkVBLModelInternal {

// Small copies of pictures at the size a list shows them, kept under the application's
// Cache/Thumbnails folder. A copy is found by its source's path and the size shown, and it is
// current only while its source keeps the size and modification time that the copy records.
class VkThumbnailCache
{
public:
    // What a copy is made from: the source as it is on disk now.
    struct Key
    {
        QString source; // absolute path
        int kind = 0;   // what the source is: a picture file or a project keeping one
        QSize shown;
        qint64 sourceBytes = -1;
        qint64 sourceModified = -1; // milliseconds since 1970 (UTC)

        bool isValid() const { return sourceBytes >= 0 && shown.isValid(); }
    };

    // Looks at the source (its size and time only: nothing is opened).
    static Key keyOf(const QString& sourcePath, int kind, const QSize& shown);
    // The copy's file: one per source, kind and size shown, whatever the source's state.
    static QString pathOf(const Key& key);
    // The copy when it is current and exactly the size shown; otherwise a null image. Reads only a
    // small regular file.
    static QImage read(const Key& key);
    // Replaces the copy as a whole (a reader sees the old one or the new one, never a part).
    static bool write(const Key& key, const QImage& image, QString* error);
};

} // namespace VkVBLModelInternal
