#pragma once

#include "VkProbedMediaInfo.h"

#include <vkvblmodel/IVkAudioMediaInfo.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

namespace VkVBLModelInternal {

// A file with a moving picture. It answers the audio part too: a silent clip simply has no stream
// at any index, which the properties dialog shows as "no audio" rather than as a missing page.
class VkVideoFileMediaInfo final : public VkProbedMediaInfo,
                                   public IVkVideoMediaInfo,
                                   public IVkAudioMediaInfo
{
public:
    explicit VkVideoFileMediaInfo(const VkMediaProbeResult& facts);
    ~VkVideoFileMediaInfo() override;

    int GetHeight() const override;
    int GetWidth() const override;
    QString GetCodecName() const override;
    int GetBitRate() const override;
    QString GetTransferCharacteristics() const override;

    int GetSampleRate(int streamIndex) const override;
    int GetSampleBits(int streamIndex) const override;
    int GetChannels(int streamIndex) const override;
    QString GetCodecName(int streamIndex) const override;
    int GetBitRate(int streamIndex) const override;

private:
    Q_DISABLE_COPY(VkVideoFileMediaInfo)
};

} // namespace VkVBLModelInternal
