#pragma once

#include "VkProbedMediaInfo.h"

#include <vkvblmodel/IVkAudioMediaInfo.h>

namespace VkVBLModelInternal {

// A file with sound only: no video part, so a cast to IVkVideoMediaInfo fails.
class VkAudioFileMediaInfo final : public VkProbedMediaInfo, public IVkAudioMediaInfo
{
public:
    explicit VkAudioFileMediaInfo(const VkMediaProbeResult& facts);
    ~VkAudioFileMediaInfo() override;

    int GetSampleRate(int streamIndex) const override;
    int GetSampleBits(int streamIndex) const override;
    int GetChannels(int streamIndex) const override;
    QString GetCodecName(int streamIndex) const override;
    int GetBitRate(int streamIndex) const override;

private:
    Q_DISABLE_COPY(VkAudioFileMediaInfo)
};

} // namespace VkVBLModelInternal
