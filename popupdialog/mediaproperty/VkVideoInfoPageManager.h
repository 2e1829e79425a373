#pragma once

#include <QObject>
#include <QString>

class IVkAbstractMediaItem;

// Reads the video stream's facts of a media item and formats them for the video information page.
// The item is borrowed and must outlive the manager.
class VkVideoInfoPageManager : public QObject
{
    Q_OBJECT
public:
    VkVideoInfoPageManager(IVkAbstractMediaItem* item, QObject* parent);
    ~VkVideoInfoPageManager() override;

    // The codec's name, or "None" when the media library has none.
    QString GetCodecName() const;
    // "1920x1080"; a Pixabay item takes its size from the site's quality levels.
    QString GetResolution() const;
    // "<rate> kbps" of the video stream.
    QString GetBitRate() const;
    // Frames per second; 0 without a video stream or with a rate that is not positive.
    float GetFrameRate() const;
    QString GetTransferCharacteristics() const;

    // Kilobits per second: whole kilobits from 1000 bit/s on (truncated), two decimals below.
    static QString FormatBitRate(int bitsPerSecond);
    // The size a Pixabay item offers at its lowest available quality level; "None" when the item
    // is no stock item.
    static QString StockResolution(const IVkAbstractMediaItem* item);

private:
    IVkAbstractMediaItem* m_item = nullptr;
    Q_DISABLE_COPY(VkVideoInfoPageManager)
};
