#include "VkAudioInfoPageManager.h"

#include "VkVideoInfoPageManager.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkAudioMediaInfo.h>

VkAudioInfoPageManager::VkAudioInfoPageManager(IVkAbstractMediaItem* item, QObject* parent)
    : QObject(parent)
    , m_item(item)
{}

VkAudioInfoPageManager::~VkAudioInfoPageManager() = default;

QString VkAudioInfoPageManager::GetCodecName() const
{
    const IVkAudioMediaInfo* audio = audioInfo();
    const QString codec = audio ? audio->GetCodecName(streamIndex()) : QString();
    return codec.isEmpty() ? tr("None", "shown where a value is unknown") : codec;
}

QString VkAudioInfoPageManager::GetBitRate() const
{
    const IVkAudioMediaInfo* audio = audioInfo();
    if (!audio)
        return tr("%1 kbps").arg(0);
    return tr("%1 kbps").arg(VkVideoInfoPageManager::FormatBitRate(audio->GetBitRate(streamIndex())));
}

int VkAudioInfoPageManager::GetChannels() const
{
    const IVkAudioMediaInfo* audio = audioInfo();
    return audio ? audio->GetChannels(streamIndex()) : 0;
}

int VkAudioInfoPageManager::GetSampleRate() const
{
    const IVkAudioMediaInfo* audio = audioInfo();
    return audio ? audio->GetSampleRate(streamIndex()) : 0;
}

int VkAudioInfoPageManager::GetSampleBits() const
{
    const IVkAudioMediaInfo* audio = audioInfo();
    return audio ? audio->GetSampleBits(streamIndex()) : 0;
}

const IVkAudioMediaInfo* VkAudioInfoPageManager::audioInfo() const
{
    const IVkMediaInfo* info = m_item ? m_item->GetMediaInfo() : nullptr;
    if (!info || !(info->GetStreamFlags() & IVkMediaInfo::StreamFlag_Audio))
        return nullptr;
    return dynamic_cast<const IVkAudioMediaInfo*>(info);
}

int VkAudioInfoPageManager::streamIndex() const
{
    return m_item->GetAudioStreamIndex();
}
