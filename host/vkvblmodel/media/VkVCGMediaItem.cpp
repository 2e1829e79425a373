#include "VkVCGMediaItem.h"

namespace VkVBLModelInternal {

VkVCGMediaItem::VkVCGMediaItem(const QString& filePath, const VkMediaProbeResult& facts,
                               std::unique_ptr<IVkMediaInfo> info, const VkMediaSidecar& sidecar)
    : VkMediaItem(filePath, facts, std::move(info), sidecar)
    , m_library(sidecar.library.value_or(VkMediaSidecar::Library()))
{}

VkVCGMediaItem::~VkVCGMediaItem() = default;

int VkVCGMediaItem::GetItemType() const
{
    return ItemType_LibraryAsset;
}

bool VkVCGMediaItem::IsRenameEnabled() const
{
    return false;
}

bool VkVCGMediaItem::IsVCGMedia() const
{
    return true;
}

QStringList VkVCGMediaItem::GetKeywords() const
{
    return m_library.keywords;
}

int VkVCGMediaItem::GetAssetKind() const
{
    return m_library.assetKind;
}

VkVCGAssetInfo VkVCGMediaItem::GetAssetInfo(int kind) const
{
    // The record describes the one rendition the item was taken from; the others are unknown here.
    if (kind < kFirstAssetKind || kind > kLastAssetKind || kind != m_library.assetKind)
        return VkVCGAssetInfo();
    return m_library.asset;
}

} // namespace VkVBLModelInternal
