#include "VkMediaItem.h"

#include "VkMediaClip.h"
#include "VkMediaSidecar.h"

#include <vkmedia/VkMediaProbeResult.h>

#include <QFileInfo>

namespace VkVBLModelInternal {

class VkMediaItem::Private
{
public:
    QString filePath;
    QString sourcePath;
    QString name;
    QString alternateName;
    bool renameEnabled = true;
    int itemType = ItemType_Unknown;
    int audioStreamIndex = -1;
    qint64 frameCount = 0;
    VkFrameRate frameRate;
    std::unique_ptr<IVkMediaInfo> info;
};

VkMediaItem::VkMediaItem(const QString& filePath, const VkMediaProbeResult& facts,
                         std::unique_ptr<IVkMediaInfo> info, const VkMediaSidecar& sidecar)
    : d(std::make_unique<Private>())
{
    d->filePath = filePath;
    d->sourcePath = sidecar.sourcePath.isEmpty() ? filePath : sidecar.sourcePath;
    d->name = sidecar.name.value_or(QFileInfo(filePath).completeBaseName());
    d->alternateName = sidecar.alternateName;
    d->renameEnabled = sidecar.renameEnabled.value_or(true);
    if (facts.streamFlags & VkMediaProbeResult::Image)
        d->itemType = ItemType_Image;
    else if (facts.streamFlags & VkMediaProbeResult::Video)
        d->itemType = ItemType_Video;
    else if (facts.streamFlags & VkMediaProbeResult::Audio)
        d->itemType = ItemType_Audio;
    d->audioStreamIndex = facts.defaultAudioStreamIndex;
    d->frameCount = facts.frameCount;
    d->info = std::move(info);
    if (d->info)
        d->frameRate = d->info->GetFrameRate();
}

VkMediaItem::~VkMediaItem() = default;

int VkMediaItem::GetItemType() const
{
    return d->itemType;
}

int VkMediaItem::GetStockSite() const
{
    return StockSite_None;
}

int VkMediaItem::GetStockSource() const
{
    return 0;
}

QString VkMediaItem::GetName() const
{
    return d->name;
}

bool VkMediaItem::IsRenameEnabled() const
{
    return d->renameEnabled;
}

IVkMediaInfo* VkMediaItem::GetMediaInfo() const
{
    return d->info.get();
}

int VkMediaItem::GetAudioStreamIndex() const
{
    return d->audioStreamIndex;
}

IVkClip* VkMediaItem::GetClip() const
{
    if (!d->info)
        return nullptr;
    return new VkMediaClip(d->filePath, d->frameRate, d->frameCount);
}

QString VkMediaItem::GetSourceFilePath() const
{
    return d->sourcePath;
}

QString VkMediaItem::GetFilePath() const
{
    return d->filePath;
}

QString VkMediaItem::GetAlternateName() const
{
    return d->alternateName;
}

bool VkMediaItem::IsStockMedia() const
{
    return false;
}

bool VkMediaItem::IsVCGMedia() const
{
    return false;
}

void VkMediaItem::SetName(const QString& name)
{
    // A blank name would leave the item without any name to list it by; the dialogs never send one.
    const QString trimmed = name.trimmed();
    if (!IsRenameEnabled() || trimmed.isEmpty())
        return;
    d->name = trimmed;
}

} // namespace VkVBLModelInternal
