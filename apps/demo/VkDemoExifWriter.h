#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Writes the few EXIF facts a camera would put into a JPEG, so that the demo's sample photo has
// something for the properties dialog to show. Qt's JPEG writer has no EXIF of its own, and the demo
// does not pull in an EXIF library for one picture.
class VkDemoExifWriter
{
public:
    struct Facts
    {
        QString maker;
        QString model;
        // Exposure time in seconds as a fraction, e.g. 1/250.
        quint32 exposureNumerator = 0;
        quint32 exposureDenominator = 0;
        QDateTime taken;
    };

    // The JPEG with an EXIF segment (APP1) right after its start-of-image marker; an empty array when
    // jpeg is not a JPEG stream or the facts do not fit into one segment.
    static QByteArray addExif(const QByteArray& jpeg, const Facts& facts);

    VkDemoExifWriter() = delete;
};
