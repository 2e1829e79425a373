#include "VkProjectDocument.h"

#include <vkcore/VkError.h>
#include <vkcore/VkStoreFile.h>

#include <QJsonDocument>
#include <QJsonParseError>

#include <limits>

namespace VkVBLModelInternal {

namespace {
const char kFormatKey[] = "format";
const char kFormatName[] = "vkproject";
const char kVersionKey[] = "version";
const char kConfigKey[] = "config";
const char kTimelineKey[] = "timeline";
const char kThumbnailKey[] = "thumbnail";
const char kNameKey[] = "name";

const char kAspectRatioKey[] = "aspectRatio";
const char kFrameRateKey[] = "frameRate";
const char kWidthKey[] = "width";
const char kHeightKey[] = "height";
const char kColorSpaceKey[] = "colorSpace";
const char kAudioSampleRateKey[] = "audioSampleRate";
const char kAudioChannelsKey[] = "audioChannels";
const char kVideoBitDepthKey[] = "videoBitDepth";
const char kFrameRateNumKey[] = "frameRateNum";
const char kFrameRateDenKey[] = "frameRateDen";

// A project file holds settings and one small picture; anything far larger is not one of ours,
// and reading it whole would only cost memory.
constexpr qint64 kMaxProjectFileBytes = qint64{64} * 1024 * 1024;

bool intOf(const QJsonObject& object, const char* key, int* value)
{
    const QJsonValue item = object.value(QLatin1String(key));
    if (!item.isDouble())
        return false;
    const double number = item.toDouble();
    if (number != double(int(number)) || number < double(std::numeric_limits<int>::min()) ||
        number > double(std::numeric_limits<int>::max()))
        return false;
    *value = int(number);
    return true;
}

int intOr(const QJsonObject& object, const char* key, int fallback)
{
    int value = fallback;
    return intOf(object, key, &value) ? value : fallback;
}
} // namespace

QJsonObject VkProjectDocument::create(const VKVBLMODEL::VkProjectConfig& config)
{
    QJsonObject document;
    document.insert(QLatin1String(kFormatKey), QLatin1String(kFormatName));
    document.insert(QLatin1String(kVersionKey), kFormatVersion);
    setConfig(document, config);
    return document;
}

bool VkProjectDocument::read(const QString& path, QJsonObject* document, QString* error)
{
    QByteArray bytes;
    QString readError;
    switch (VkStoreFile::read(path, kMaxProjectFileBytes, &bytes, &readError)) {
    case VkStoreFile::ReadResult::Read:
        break;
    case VkStoreFile::ReadResult::Missing:
        return VkError::fail(error, QStringLiteral("Cannot read %1: there is no such file").arg(path));
    case VkStoreFile::ReadResult::TooLarge:
        return VkError::fail(error, QStringLiteral("%1 is too large to be a project file").arg(path));
    case VkStoreFile::ReadResult::NotRegular:
    case VkStoreFile::ReadResult::Failed:
        return VkError::fail(error, readError);
    }

    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return VkError::fail(error, QStringLiteral("%1 is not a project file: %2 at byte %3")
                                        .arg(path, parseError.errorString())
                                        .arg(parseError.offset));
    if (!json.isObject())
        return VkError::fail(error, QStringLiteral("%1 is not a project file: no JSON object").arg(path));
    const QJsonObject object = json.object();
    if (object.value(QLatin1String(kFormatKey)).toString() != QLatin1String(kFormatName))
        return VkError::fail(error, QStringLiteral("%1 is not a project file: \"format\" is not \"%2\"")
                                        .arg(path, QLatin1String(kFormatName)));
    int version = 0;
    if (!intOf(object, kVersionKey, &version) || version < 1)
        return VkError::fail(error, QStringLiteral("%1 has no valid \"version\"").arg(path));
    if (version > kFormatVersion)
        return VkError::fail(
            error, QStringLiteral("%1 was written by a newer version (format %2, this one reads up to %3)")
                       .arg(path)
                       .arg(version)
                       .arg(kFormatVersion));
    // Writing our fields into a "config" or "timeline" that is not an object would destroy whatever
    // it holds.
    for (const char* key : {kConfigKey, kTimelineKey}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isObject())
            return VkError::fail(
                error,
                QStringLiteral("%1 is damaged: \"%2\" is not an object").arg(path, QLatin1String(key)));
    }

    *document = object;
    return true;
}

bool VkProjectDocument::write(const QString& path, const QJsonObject& document, QString* error)
{
    return VkStoreFile::replace(path, QJsonDocument(document).toJson(QJsonDocument::Indented), error);
}

VKVBLMODEL::VkProjectConfig VkProjectDocument::configOf(const QJsonObject& document)
{
    const QJsonObject object = document.value(QLatin1String(kConfigKey)).toObject();
    VKVBLMODEL::VkProjectConfig config;
    // Values outside the enums are kept as stored: the settings code decides what it accepts.
    config.aspectRatio =
        static_cast<VKVBLMODEL::VkProjectAspectRatioType>(intOr(object, kAspectRatioKey, config.aspectRatio));
    config.frameRate =
        static_cast<VKVBLMODEL::VkProjectFrameRateType>(intOr(object, kFrameRateKey, config.frameRate));
    config.resolution = QSize(intOr(object, kWidthKey, config.resolution.width()),
                              intOr(object, kHeightKey, config.resolution.height()));
    config.colorSpace =
        static_cast<VKVBLMODEL::VkProjectColorSpaceType>(intOr(object, kColorSpaceKey, config.colorSpace));
    config.audioSampleRate = intOr(object, kAudioSampleRateKey, config.audioSampleRate);
    config.audioChannels = intOr(object, kAudioChannelsKey, config.audioChannels);
    config.videoBitDepth = intOr(object, kVideoBitDepthKey, config.videoBitDepth);
    return config;
}

void VkProjectDocument::setConfig(QJsonObject& document, const VKVBLMODEL::VkProjectConfig& config)
{
    QJsonObject object = document.value(QLatin1String(kConfigKey)).toObject();
    object.insert(QLatin1String(kAspectRatioKey), int(config.aspectRatio));
    object.insert(QLatin1String(kFrameRateKey), int(config.frameRate));
    object.insert(QLatin1String(kWidthKey), config.resolution.width());
    object.insert(QLatin1String(kHeightKey), config.resolution.height());
    object.insert(QLatin1String(kColorSpaceKey), int(config.colorSpace));
    object.insert(QLatin1String(kAudioSampleRateKey), config.audioSampleRate);
    object.insert(QLatin1String(kAudioChannelsKey), config.audioChannels);
    object.insert(QLatin1String(kVideoBitDepthKey), config.videoBitDepth);
    document.insert(QLatin1String(kConfigKey), object);
}

bool VkProjectDocument::timelineRateOf(const QJsonObject& document, VkFrameRate* rate)
{
    const QJsonObject object = document.value(QLatin1String(kTimelineKey)).toObject();
    int num = 0;
    int den = 0;
    if (!intOf(object, kFrameRateNumKey, &num) || !intOf(object, kFrameRateDenKey, &den) || num <= 0 ||
        den <= 0)
        return false;
    rate->num = num;
    rate->den = den;
    return true;
}

void VkProjectDocument::setTimelineRate(QJsonObject& document, const VkFrameRate& rate)
{
    QJsonObject object = document.value(QLatin1String(kTimelineKey)).toObject();
    object.insert(QLatin1String(kFrameRateNumKey), qint64(rate.num));
    object.insert(QLatin1String(kFrameRateDenKey), qint64(rate.den));
    document.insert(QLatin1String(kTimelineKey), object);
}

QByteArray VkProjectDocument::thumbnailPngOf(const QJsonObject& document)
{
    const QJsonValue value = document.value(QLatin1String(kThumbnailKey));
    if (!value.isString())
        return QByteArray();
    const auto decoded =
        QByteArray::fromBase64Encoding(value.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? decoded.decoded : QByteArray();
}

void VkProjectDocument::setThumbnailPng(QJsonObject& document, const QByteArray& png)
{
    if (png.isEmpty())
        document.remove(QLatin1String(kThumbnailKey));
    else
        document.insert(QLatin1String(kThumbnailKey), QString::fromLatin1(png.toBase64()));
}

QString VkProjectDocument::nameOf(const QJsonObject& document)
{
    return document.value(QLatin1String(kNameKey)).toString();
}

} // namespace VkVBLModelInternal
