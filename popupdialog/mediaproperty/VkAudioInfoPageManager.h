#pragma once

#include <QObject>
#include <QString>

class IVkAbstractMediaItem;
class IVkAudioMediaInfo;

// Reads the facts of a media item's audio stream (the one GetAudioStreamIndex names) for the
// audio information page. Without an audio stream every figure is 0 and the codec is "None". The
// item is borrowed and must outlive the manager.
class VkAudioInfoPageManager : public QObject
{
    Q_OBJECT
public:
    VkAudioInfoPageManager(IVkAbstractMediaItem* item, QObject* parent);
    ~VkAudioInfoPageManager() override;

    QString GetCodecName() const;
    // "<rate> kbps"; "0 kbps" without audio.
    QString GetBitRate() const;
    int GetChannels() const;
    int GetSampleRate() const;
    int GetSampleBits() const;

private:
    // Null when the item has no audio stream.
    const IVkAudioMediaInfo* audioInfo() const;
    int streamIndex() const;

    IVkAbstractMediaItem* m_item = nullptr;
    Q_DISABLE_COPY(VkAudioInfoPageManager)
};
