#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>

namespace VkVBLModelInternal {

// Decodes a PNG picture row by row and reduces it while it is read, so that the memory it costs
// depends on the size asked for, never on the size its header declares. Pictures are read only from
// regular files (never a FIFO or a device, which could block or never end), and only up to a byte cap.
class VkPngThumbnailReader
{
public:
    // How the decoded picture relates to the size asked for.
    enum class Fit
    {
        // Reduced by the largest whole factor that keeps it at least the size asked for in both
        // directions (a picture that is already smaller stays whole): the caller scales the rest.
        Cover,
        // Whole when it fits within the size asked for, otherwise reduced by the smallest whole
        // factor that makes it fit.
        Within,
    };

    // A PNG declaring more pixels than this is refused: inflating it would take minutes.
    static constexpr qint64 kMaxPixels = qint64(16384) * 16384;
    // Neither side of a PNG may exceed this (one row of it is then at most 512 KB).
    static constexpr int kMaxSide = 65535;
    // A picture file larger than this is not read at all.
    static constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;
    // The reduced picture is summed in 32 bytes a pixel; this bounds that sum to 32 MB.
    static constexpr qint64 kMaxReducedPixels = qint64(1024) * 1024;

    // `cancel`, when given, is polled between rows; a raised flag ends the decoding with an error.
    static QImage readFile(const QString& path, const QSize& size, Fit fit, const std::atomic<bool>* cancel,
                           QString* error);
    static QImage readBytes(const QByteArray& png, const QSize& size, Fit fit,
                            const std::atomic<bool>* cancel, QString* error);

    // The PNG that the project file at projectPath keeps as its picture; empty with a message when
    // the project is no regular file, too large to be a project, unreadable or keeps no picture.
    static QByteArray projectPicturePng(const QString& projectPath, QString* error);

    // Up to maxBytes of the regular file at path: false with a message for anything else (a FIFO,
    // a device, a folder, a larger file, a read error).
    static bool readRegularFile(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error);
};

} // namespace VkVBLModelInternal
