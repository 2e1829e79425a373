#include "VkDemoExifWriter.h"

#include <QVector>
#include <QtEndian>

#include <limits>

namespace {

// TIFF field types and the tags written here (EXIF 2.3, TIFF 6.0).
constexpr quint16 kTypeAscii = 2;
constexpr quint16 kTypeLong = 4;
constexpr quint16 kTypeRational = 5;
constexpr quint16 kTagMake = 0x010F;
constexpr quint16 kTagModel = 0x0110;
constexpr quint16 kTagDateTime = 0x0132;
constexpr quint16 kTagExifIfd = 0x8769;
constexpr quint16 kTagExposureTime = 0x829A;
constexpr quint16 kTagDateTimeOriginal = 0x9003;

// A TIFF header is 8 bytes; an IFD is a 2-byte count, 12 bytes per entry and a 4-byte link.
constexpr quint32 kTiffHeaderSize = 8;
constexpr int kEntrySize = 12;
constexpr int kInlineValueSize = 4;

struct Entry
{
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray value;
};

void putU16(QByteArray& out, quint16 v)
{
    char b[2];
    qToBigEndian(v, b);
    out.append(b, 2);
}

void putU32(QByteArray& out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

Entry ascii(quint16 tag, const QString& text)
{
    QByteArray value = text.toLatin1();
    value.append('\0'); // the count includes the terminating NUL
    return {tag, kTypeAscii, quint32(value.size()), value};
}

Entry longValue(quint16 tag, quint32 v)
{
    QByteArray value;
    putU32(value, v);
    return {tag, kTypeLong, 1, value};
}

Entry rational(quint16 tag, quint32 numerator, quint32 denominator)
{
    QByteArray value;
    putU32(value, numerator);
    putU32(value, denominator);
    return {tag, kTypeRational, 1, value};
}

quint32 ifdSize(const QVector<Entry>& entries)
{
    quint32 size = 2 + kEntrySize * quint32(entries.size()) + 4;
    for (const Entry& e : entries)
        if (e.value.size() > kInlineValueSize)
            size += quint32(e.value.size() + (e.value.size() & 1));
    return size;
}

// One IFD placed at offset `at` of the TIFF block, its long values right behind it; `at` and the
// offsets inside count from the start of the TIFF header. Entries must come sorted by tag.
QByteArray ifd(const QVector<Entry>& entries, quint32 at)
{
    QByteArray table;
    QByteArray data;
    const quint32 dataStart = at + 2 + kEntrySize * quint32(entries.size()) + 4;
    putU16(table, quint16(entries.size()));
    for (const Entry& e : entries) {
        putU16(table, e.tag);
        putU16(table, e.type);
        putU32(table, e.count);
        if (e.value.size() <= kInlineValueSize) {
            table.append(e.value.leftJustified(kInlineValueSize, '\0'));
        } else {
            putU32(table, dataStart + quint32(data.size()));
            data.append(e.value);
            // Values start on word boundaries.
            if (data.size() & 1)
                data.append('\0');
        }
    }
    putU32(table, 0); // no further IFD
    return table + data;
}

} // namespace

QByteArray VkDemoExifWriter::addExif(const QByteArray& jpeg, const Facts& facts)
{
    if (jpeg.size() < 4 || quint8(jpeg.at(0)) != 0xFF || quint8(jpeg.at(1)) != 0xD8)
        return QByteArray();

    const QString stamp = facts.taken.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    QVector<Entry> exifIfd{rational(kTagExposureTime, facts.exposureNumerator, facts.exposureDenominator)};
    if (!stamp.isEmpty())
        exifIfd << ascii(kTagDateTimeOriginal, stamp);

    QVector<Entry> mainIfd{ascii(kTagMake, facts.maker), ascii(kTagModel, facts.model)};
    if (!stamp.isEmpty())
        mainIfd << ascii(kTagDateTime, stamp);
    // The pointer's own size does not depend on its value, so the main IFD's size is known first.
    mainIfd << longValue(kTagExifIfd, 0);
    const quint32 exifAt = kTiffHeaderSize + ifdSize(mainIfd);
    mainIfd.last() = longValue(kTagExifIfd, exifAt);

    QByteArray tiff("MM\0\x2A", 4); // big-endian TIFF
    putU32(tiff, kTiffHeaderSize);
    tiff += ifd(mainIfd, kTiffHeaderSize);
    tiff += ifd(exifIfd, exifAt);

    QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    // The segment length counts its own two bytes and must fit into them.
    const int length = payload.size() + 2;
    if (length > std::numeric_limits<quint16>::max())
        return QByteArray();
    QByteArray segment("\xFF\xE1", 2);
    putU16(segment, quint16(length));
    segment += payload;
    return jpeg.left(2) + segment + jpeg.mid(2);
}
