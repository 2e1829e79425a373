#include "VkAudioFileMediaInfo.h"

namespace VkVBLModelInternal {

VkAudioFileMediaInfo::VkAudioFileMediaInfo(const VkMediaProbeResult& facts)
    : VkProbedMediaInfo(facts)
{}

VkAudioFileMediaInfo::~VkAudioFileMediaInfo() = default;

int VkAudioFileMediaInfo::GetSampleRate(int streamIndex) const
{
    return audioSampleRate(streamIndex);
}

int VkAudioFileMediaInfo::GetSampleBits(int streamIndex) const
{
    return audioSampleBits(streamIndex);
}

int VkAudioFileMediaInfo::GetChannels(int streamIndex) const
{
    return audioChannels(streamIndex);
}

QString VkAudioFileMediaInfo::GetCodecName(int streamIndex) const
{
    return audioCodecName(streamIndex);
}

int VkAudioFileMediaInfo::GetBitRate(int streamIndex) const
{
    return audioBitRate(streamIndex);
}

} // namespace VkVBLModelInternal
