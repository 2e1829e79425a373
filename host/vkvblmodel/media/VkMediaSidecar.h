#pragma once

#include <vkvblmodel/VkVCGAssetInfo.h>

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class QJsonObject;

namespace VkVBLModelInternal {

// What the library knows about a file beyond its content, kept beside it in "<file>.vkmeta.json":
//
//   {"name": "...", "alternateName": "...", "renameEnabled": true, "sourcePath": "...",
//    "stock": {"site": 1..4, "source": 1000..1009, "authorName", "authorUrl", "licenseUrl",
//              "qualities": [{"level", "width", "height", "available"}]},
//    "vcg": {"keywords": [...], "assetKind": 3..6, "format", "copyright", "fileSize", "title"}}
//
// Every key is optional. A file that is not JSON, or whose known keys carry the wrong type, is
// ignored as a whole: half of a damaged record would describe the item wrongly with no sign of it.
struct VkMediaSidecar
{
    struct Quality
    {
        int level = 0;
        int width = 0;
        int height = 0;
        bool available = true;
    };

    struct Stock
    {
        // 0 when the record names a site or source code this library does not know.
        int site = 0;
        int source = 0;
        QString authorName;
        QString authorUrl;
        QString licenseUrl;
        QVector<Quality> qualities;
    };

    struct Library
    {
        QStringList keywords;
        int assetKind = 0;
        VkVCGAssetInfo asset;
    };

    std::optional<QString> name;
    QString alternateName;
    std::optional<bool> renameEnabled;
    // Absolute; empty unless the record names the original the media file was made from.
    QString sourcePath;
    std::optional<Stock> stock;
    std::optional<Library> library;

    static QString pathFor(const QString& mediaPath);
    // The record beside `mediaPath`; an empty record when there is none or it cannot be used.
    static VkMediaSidecar read(const QString& mediaPath);
    // False when a known key has the wrong type; `sidecar` is then left empty.
    static bool parse(const QJsonObject& root, const QString& folder, VkMediaSidecar* sidecar);
};

} // namespace VkVBLModelInternal
