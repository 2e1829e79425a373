#include "VkProbedMediaInfo.h"

#include <algorithm>
#include <limits>

namespace VkVBLModelInternal {

VkProbedMediaInfo::VkProbedMediaInfo(const VkMediaProbeResult& facts)
    : m_facts(facts)
{}

VkProbedMediaInfo::~VkProbedMediaInfo() = default;

int VkProbedMediaInfo::clampToInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString VkProbedMediaInfo::text(const std::string& engineText)
{
    return QString::fromStdString(engineText);
}

int VkProbedMediaInfo::GetFrameCount() const
{
    return clampToInt(m_facts.frameCount);
}

bool VkProbedMediaInfo::HasNoDuration() const
{
    return m_facts.hasNoDuration;
}

int VkProbedMediaInfo::GetStreamFlags() const
{
    return m_facts.streamFlags;
}

VkFrameRate VkProbedMediaInfo::GetFrameRate() const
{
    VkFrameRate rate;
    if (m_facts.frameRate.isValid()) {
        rate.num = m_facts.frameRate.num;
        rate.den = m_facts.frameRate.den;
    }
    return rate;
}

const VkMediaProbeResult& VkProbedMediaInfo::facts() const
{
    return m_facts;
}

int VkProbedMediaInfo::audioSampleRate(int streamIndex) const
{
    const VkAudioStreamInfo* audio = m_facts.audioStream(streamIndex);
    return audio ? audio->sampleRate : 0;
}

int VkProbedMediaInfo::audioSampleBits(int streamIndex) const
{
    const VkAudioStreamInfo* audio = m_facts.audioStream(streamIndex);
    return audio ? audio->bitsPerSample : 0;
}

int VkProbedMediaInfo::audioChannels(int streamIndex) const
{
    const VkAudioStreamInfo* audio = m_facts.audioStream(streamIndex);
    return audio ? audio->channels : 0;
}

QString VkProbedMediaInfo::audioCodecName(int streamIndex) const
{
    const VkAudioStreamInfo* audio = m_facts.audioStream(streamIndex);
    return audio ? text(audio->codecName) : QString();
}

int VkProbedMediaInfo::audioBitRate(int streamIndex) const
{
    const VkAudioStreamInfo* audio = m_facts.audioStream(streamIndex);
    return audio ? clampToInt(audio->bitRate) : 0;
}

} // namespace VkVBLModelInternal
