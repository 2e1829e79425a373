#pragma once

#include <vkcore/VkCoreExport.h>

#include <QByteArray>
#include <QString>

// The file operations behind every store (projects, recent list, events, config.ini, settings.ini).
// A store is only ever a regular file: a FIFO, a device or a folder in its place is refused before a
// byte is read, and every read is bounded. Every failure comes back as false plus a message.
class VKCORE_EXPORT VkStoreFile
{
public:
    enum class ReadResult
    {
        Read,       // bytes holds the whole file
        Missing,    // there is no file (a store that was never written)
        NotRegular, // a folder, pipe, device or socket stands in the file's place
        TooLarge,   // a regular file larger than the cap
        Failed,     // the file could not be read
    };

    // Reads the regular file at path whole when it holds at most maxBytes; error says why not.
    static ReadResult read(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error);

    // Replaces the file at path with bytes: a temporary file beside it gets every byte (each write
    // checked, then synced to disk), then takes the file's place in one rename. On any failure the
    // old file stays as it was, byte for byte. A symbolic link is followed, so the link survives.
    static bool replace(const QString& path, const QByteArray& bytes, QString* error);

    // Appends line (which ends in a newline) in one write. A write cut short by a full disk or a size
    // limit is taken back, so the file never ends in half a line. Appends of cooperating processes
    // are serialised.
    static bool appendLine(const QString& path, const QByteArray& line, QString* error);

    // Renames the file at path to "<path>.broken-<UTC time>" so that it survives what is written in
    // its place; asidePath receives the new name.
    static bool setAside(const QString& path, QString* asidePath, QString* error);

    VkStoreFile() = delete;
};
