#pragma once

#include <QString>

// What the licensed media library records for one rendition of an asset.
struct VkVCGAssetInfo
{
    QString title;
    QString format;
    QString copyright;
    qint64 fileSize = 0;
};
