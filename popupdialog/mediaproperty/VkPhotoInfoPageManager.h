#pragma once

#include <QObject>
#include <QString>

class IVkAbstractMediaItem;
class IVkImageMediaInfo;

// Reads a still image's camera facts and its alpha interpretation for the photo and PNG pages,
// which share one manager. The item is borrowed and must outlive the manager.
class VkPhotoInfoPageManager : public QObject
{
    Q_OBJECT
public:
    // What GetAlphaType answers when the item's media information is no image.
    static constexpr int kNoAlphaType = -1;

    VkPhotoInfoPageManager(IVkAbstractMediaItem* item, QObject* parent);
    ~VkPhotoInfoPageManager() override;

    IVkAbstractMediaItem* GetMediaItem() const;

    QString GetCameraMaker() const;
    QString GetCameraModel() const;
    // "640x480"; a Pixabay item takes its size from the site's quality levels.
    QString GetResolution() const;
    // "<seconds> s".
    QString GetExposureTime() const;
    // Whether the picture's exposure is known in whole seconds (at least one).
    bool HasExposureTime() const;
    int GetAlphaType() const;
    void SetAlphaType(int alphaType);
    // Whether the source file's suffix names PNG (apng included), read case-insensitively.
    bool IsPng() const;

private:
    IVkImageMediaInfo* imageInfo() const;

    IVkAbstractMediaItem* m_item = nullptr;
    Q_DISABLE_COPY(VkPhotoInfoPageManager)
};
