#include "VkVideoFileMediaInfo.h"

namespace VkVBLModelInternal {

VkVideoFileMediaInfo::VkVideoFileMediaInfo(const VkMediaProbeResult& facts)
    : VkProbedMediaInfo(facts)
{}

VkVideoFileMediaInfo::~VkVideoFileMediaInfo() = default;

int VkVideoFileMediaInfo::GetHeight() const
{
    return facts().height;
}

int VkVideoFileMediaInfo::GetWidth() const
{
    return facts().width;
}

QString VkVideoFileMediaInfo::GetCodecName() const
{
    return text(facts().videoCodecName);
}

int VkVideoFileMediaInfo::GetBitRate() const
{
    return clampToInt(facts().videoBitRate);
}

QString VkVideoFileMediaInfo::GetTransferCharacteristics() const
{
    return text(facts().transferCharacteristics);
}

int VkVideoFileMediaInfo::GetSampleRate(int streamIndex) const
{
    return audioSampleRate(streamIndex);
}

int VkVideoFileMediaInfo::GetSampleBits(int streamIndex) const
{
    return audioSampleBits(streamIndex);
}

int VkVideoFileMediaInfo::GetChannels(int streamIndex) const
{
    return audioChannels(streamIndex);
}

QString VkVideoFileMediaInfo::GetCodecName(int streamIndex) const
{
    return audioCodecName(streamIndex);
}

int VkVideoFileMediaInfo::GetBitRate(int streamIndex) const
{
    return audioBitRate(streamIndex);
}

} // namespace VkVBLModelInternal
