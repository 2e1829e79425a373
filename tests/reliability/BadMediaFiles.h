#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QtEndian>

#include <string>

// The reliability tests' media: small, well-formed files made by make_bad_media.sh (a CTest fixture,
// or the test itself when started by hand), and the byte-level damage each test writes into a copy.
namespace BadMediaFiles {

inline QString dir()
{
    return QStringLiteral(VK_BAD_MEDIA_DIR);
}

inline bool ensure(QString* message)
{
    if (QFile::exists(dir() + QStringLiteral("/.stamp")))
        return true;
    QProcess script;
    script.start(QStringLiteral("bash"), {QStringLiteral(VK_BAD_MEDIA_SCRIPT), dir()});
    const bool ok =
        script.waitForFinished(-1) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    if (!ok && message)
        *message = QString::fromLocal8Bit(script.readAllStandardError());
    return ok;
}

inline QString path(const char* name)
{
    return dir() + QLatin1Char('/') + QLatin1String(name);
}

inline QByteArray read(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool write(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The CRC-32 of PNG chunks (ISO 3309, reflected polynomial 0xEDB88320), so a rewritten header is
// still one that decoders accept as intact.
inline quint32 crc32(const char* data, int size)
{
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 0; i < size; ++i) {
        crc ^= static_cast<quint8>(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The PNG with its IHDR declaring width x height and a matching CRC; the pixel data stays that of
// the small original. Empty when the input has no IHDR.
inline QByteArray pngDeclaring(QByteArray png, quint32 width, quint32 height)
{
    const int type = png.indexOf("IHDR");
    // Chunk type, 13 bytes of data, then the CRC over type and data.
    constexpr int kIhdrDataSize = 13;
    if (type < 0 || png.size() < type + 4 + kIhdrDataSize + 4)
        return QByteArray();
    qToBigEndian(width, png.data() + type + 4);
    qToBigEndian(height, png.data() + type + 8);
    qToBigEndian(crc32(png.constData() + type, 4 + kIhdrDataSize), png.data() + type + 4 + kIhdrDataSize);
    return png;
}

// The MP4 with its media header's time scale set to 0: a clock that never ticks.
inline QByteArray mp4WithZeroTimescale(QByteArray mp4)
{
    const int box = mp4.indexOf("mdhd");
    // Version 0: type, version and flags, creation and modification times, then the time scale.
    constexpr int kTimescaleOffset = 4 + 4 + 4 + 4;
    if (box < 0 || mp4.at(box + 4) != 0)
        return QByteArray();
    qToBigEndian(quint32(0), mp4.data() + box + kTimescaleOffset);
    return mp4;
}

// The MP4 with every sample-to-time entry giving its frames a duration of 0.
inline QByteArray mp4WithZeroSampleDurations(QByteArray mp4)
{
    const int box = mp4.indexOf("stts");
    if (box < 0)
        return QByteArray();
    const quint32 entries = qFromBigEndian<quint32>(mp4.constData() + box + 8);
    // Each entry is a sample count and a sample delta, four bytes each, after type, version, count.
    for (quint32 i = 0; i < entries; ++i) {
        const int delta = box + 12 + int(i) * 8 + 4;
        if (delta + 4 > mp4.size())
            return QByteArray();
        qToBigEndian(quint32(0), mp4.data() + delta);
    }
    return mp4;
}

// The JPEG with an APP1 EXIF segment holding `tiff` (the TIFF structure after "Exif\0\0") right after
// its start-of-image marker.
inline QByteArray jpegWithExif(const QByteArray& jpeg, const QByteArray& tiff)
{
    if (jpeg.size() < 2 || quint8(jpeg.at(0)) != 0xFF || quint8(jpeg.at(1)) != 0xD8)
        return QByteArray();
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    // The segment length counts itself (two bytes) and the payload.
    const quint16 length = quint16(payload.size() + 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace BadMediaFiles
