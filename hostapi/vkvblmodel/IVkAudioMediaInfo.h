#pragma once

#include <vkvblmodel/IVkMediaInfo.h>

#include <QString>

// Every query takes the audio stream index of the item (IVkAbstractMediaItem::GetAudioStreamIndex);
// an index without audio answers 0 or an empty text.
class VKVBLMODEL_EXPORT IVkAudioMediaInfo : public virtual IVkMediaInfo
{
public:
    ~IVkAudioMediaInfo() override;

    virtual int GetSampleRate(int streamIndex) const = 0;
    // Bits per sample where the format really has them (PCM, FLAC); 0 for lossy codecs.
    virtual int GetSampleBits(int streamIndex) const = 0;
    virtual int GetChannels(int streamIndex) const = 0;
    virtual QString GetCodecName(int streamIndex) const = 0;
    virtual int GetBitRate(int streamIndex) const = 0;
};
