#include "VkMediaSidecar.h"

#include "../VkModelLog_p.h"

#include <vkcore/VkStoreFile.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace VkVBLModelInternal {

namespace {
const char kSuffix[] = ".vkmeta.json";
// A record is a few hundred bytes; a larger file is not ours and is not read whole.
constexpr qint64 kMaxSidecarBytes = qint64{1024} * 1024;
// Integers a JSON number holds exactly.
constexpr double kMaxExactInteger = 9007199254740992.0;

constexpr int kFirstStockSite = 1;
constexpr int kLastStockSite = 4;
constexpr int kFirstStockSource = 1000;
constexpr int kLastStockSource = 1009;

// Reads the optional members of one JSON object; the first member of the wrong type spoils it.
class Fields
{
public:
    explicit Fields(const QJsonObject& object)
        : m_object(object)
    {}

    bool ok() const { return m_ok; }

    std::optional<QString> text(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined())
            return std::nullopt;
        if (!value.isString()) {
            m_ok = false;
            return std::nullopt;
        }
        return value.toString();
    }

    std::optional<bool> flag(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined())
            return std::nullopt;
        if (!value.isBool()) {
            m_ok = false;
            return std::nullopt;
        }
        return value.toBool();
    }

    std::optional<qint64> integer(const char* key, qint64 lowest, qint64 highest)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined())
            return std::nullopt;
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || std::floor(number) != number || std::fabs(number) > kMaxExactInteger ||
            number < double(lowest) || number > double(highest)) {
            m_ok = false;
            return std::nullopt;
        }
        return qint64(number);
    }

    std::optional<QJsonObject> object(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined())
            return std::nullopt;
        if (!value.isObject()) {
            m_ok = false;
            return std::nullopt;
        }
        return value.toObject();
    }

    std::optional<QJsonArray> array(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        if (value.isUndefined())
            return std::nullopt;
        if (!value.isArray()) {
            m_ok = false;
            return std::nullopt;
        }
        return value.toArray();
    }

private:
    const QJsonObject& m_object;
    bool m_ok = true;
};

constexpr qint64 kIntMax = std::numeric_limits<int>::max();
constexpr qint64 kIntMin = std::numeric_limits<int>::min();

int codeInRange(std::optional<qint64> code, int first, int last)
{
    return code && *code >= first && *code <= last ? int(*code) : 0;
}

bool parseStock(const QJsonObject& object, VkMediaSidecar::Stock* stock)
{
    Fields fields(object);
    stock->site = codeInRange(fields.integer("site", kIntMin, kIntMax), kFirstStockSite, kLastStockSite);
    stock->source =
        codeInRange(fields.integer("source", kIntMin, kIntMax), kFirstStockSource, kLastStockSource);
    stock->authorName = fields.text("authorName").value_or(QString());
    stock->authorUrl = fields.text("authorUrl").value_or(QString());
    stock->licenseUrl = fields.text("licenseUrl").value_or(QString());
    const QJsonArray qualities = fields.array("qualities").value_or(QJsonArray());
    if (!fields.ok())
        return false;
    for (const QJsonValue& entry : qualities) {
        if (!entry.isObject())
            return false;
        const QJsonObject qualityObject = entry.toObject();
        Fields quality(qualityObject);
        const std::optional<qint64> level = quality.integer("level", kIntMin, kIntMax);
        VkMediaSidecar::Quality q;
        q.width = int(quality.integer("width", 0, kIntMax).value_or(0));
        q.height = int(quality.integer("height", 0, kIntMax).value_or(0));
        q.available = quality.flag("available").value_or(true);
        // A size without its level cannot be asked for; the record is not one of ours.
        if (!quality.ok() || !level)
            return false;
        q.level = int(*level);
        stock->qualities.append(q);
    }
    return true;
}

bool parseLibrary(const QJsonObject& object, VkMediaSidecar::Library* library)
{
    Fields fields(object);
    const QJsonArray keywords = fields.array("keywords").value_or(QJsonArray());
    library->assetKind = int(fields.integer("assetKind", kIntMin, kIntMax).value_or(0));
    library->asset.format = fields.text("format").value_or(QString());
    library->asset.copyright = fields.text("copyright").value_or(QString());
    library->asset.title = fields.text("title").value_or(QString());
    library->asset.fileSize = fields.integer("fileSize", 0, qint64(kMaxExactInteger)).value_or(0);
    if (!fields.ok())
        return false;
    for (const QJsonValue& keyword : keywords) {
        if (!keyword.isString())
            return false;
        library->keywords.append(keyword.toString());
    }
    return true;
}
} // namespace

QString VkMediaSidecar::pathFor(const QString& mediaPath)
{
    return mediaPath + QLatin1String(kSuffix);
}

bool VkMediaSidecar::parse(const QJsonObject& root, const QString& folder, VkMediaSidecar* sidecar)
{
    *sidecar = VkMediaSidecar();
    VkMediaSidecar result;
    Fields fields(root);
    const std::optional<QString> name = fields.text("name");
    if (name && !name->trimmed().isEmpty())
        result.name = name->trimmed();
    result.alternateName = fields.text("alternateName").value_or(QString());
    result.renameEnabled = fields.flag("renameEnabled");
    const QString source = fields.text("sourcePath").value_or(QString());
    if (!source.isEmpty())
        result.sourcePath =
            QDir::cleanPath(QDir(folder).absoluteFilePath(QDir::fromNativeSeparators(source)));
    const std::optional<QJsonObject> stock = fields.object("stock");
    const std::optional<QJsonObject> library = fields.object("vcg");
    if (!fields.ok())
        return false;
    if (stock) {
        Stock parsed;
        if (!parseStock(*stock, &parsed))
            return false;
        result.stock = parsed;
    }
    if (library) {
        Library parsed;
        if (!parseLibrary(*library, &parsed))
            return false;
        result.library = parsed;
    }
    *sidecar = result;
    return true;
}

VkMediaSidecar VkMediaSidecar::read(const QString& mediaPath)
{
    const QString path = pathFor(mediaPath);
    QByteArray bytes;
    QString error;
    // Only a regular file is read, and never more than a record's size: a pipe or a device in its
    // place must not stall or flood the item's creation.
    const VkStoreFile::ReadResult result = VkStoreFile::read(path, kMaxSidecarBytes, &bytes, &error);
    if (result == VkStoreFile::ReadResult::Missing)
        return VkMediaSidecar();
    if (result != VkStoreFile::ReadResult::Read) {
        qCWarning(lcVkModel, "Media record %s cannot be read (%s); the item is listed without it",
                  qUtf8Printable(path), qUtf8Printable(error));
        return VkMediaSidecar();
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    VkMediaSidecar sidecar;
    if (!document.isObject() || !parse(document.object(), QFileInfo(mediaPath).absolutePath(), &sidecar)) {
        qCWarning(lcVkModel, "Media record %s is damaged; the item is listed without it",
                  qUtf8Printable(path));
        return VkMediaSidecar();
    }
    return sidecar;
}

} // namespace VkVBLModelInternal
