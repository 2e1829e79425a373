#pragma once

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkProjectConfig.h>

#include <QJsonObject>
#include <QString>

namespace VkVBLModelInternal {

// The project file format: a JSON object {"format": "vkproject", "version": 1, "name", "config",
// "timeline", "thumbnail", ...}. Every key this code does not know is carried along untouched.
class VkProjectDocument
{
public:
    static constexpr int kFormatVersion = 1;

    // A fresh document for a project that has no file yet.
    static QJsonObject create(const VKVBLMODEL::VkProjectConfig& config);
    // Reads and checks the project file at path: only a regular file of a project's size is read (a
    // pipe or a device in its place is refused at once). On failure document is left alone.
    static bool read(const QString& path, QJsonObject* document, QString* error);
    // Replaces the file at path in one step: readers see the old file or the new one, never half. On
    // failure (a full disk, a size limit) the old file stays byte for byte.
    static bool write(const QString& path, const QJsonObject& document, QString* error);

    static VKVBLMODEL::VkProjectConfig configOf(const QJsonObject& document);
    // Stores config into document's "config" object; keys of that object this code does not know stay.
    static void setConfig(QJsonObject& document, const VKVBLMODEL::VkProjectConfig& config);

    // The timeline frame rate kept in document; false when it holds no valid pair.
    static bool timelineRateOf(const QJsonObject& document, VkFrameRate* rate);
    static void setTimelineRate(QJsonObject& document, const VkFrameRate& rate);

    // The base64 PNG kept under "thumbnail"; empty when there is none or it is not text.
    static QByteArray thumbnailPngOf(const QJsonObject& document);
    // Keeps png base64-encoded under "thumbnail"; empty bytes remove it.
    static void setThumbnailPng(QJsonObject& document, const QByteArray& png);
    // The project's own name under "name"; empty when there is none.
    static QString nameOf(const QJsonObject& document);

    VkProjectDocument() = delete;
};

} // namespace VkVBLModelInternal
