#include "VkStockMediaItem.h"

namespace VkVBLModelInternal {

VkStockMediaItem::VkStockMediaItem(const QString& filePath, const VkMediaProbeResult& facts,
                                   std::unique_ptr<IVkMediaInfo> info, const VkMediaSidecar& sidecar)
    : VkMediaItem(filePath, facts, std::move(info), sidecar)
    , m_stock(sidecar.stock.value_or(VkMediaSidecar::Stock()))
{}

VkStockMediaItem::~VkStockMediaItem() = default;

const VkMediaSidecar::Quality* VkStockMediaItem::quality(int level) const
{
    for (const VkMediaSidecar::Quality& q : m_stock.qualities) {
        if (q.level == level)
            return &q;
    }
    return nullptr;
}

int VkStockMediaItem::GetStockSite() const
{
    return m_stock.site;
}

int VkStockMediaItem::GetStockSource() const
{
    return m_stock.source;
}

bool VkStockMediaItem::IsStockMedia() const
{
    return true;
}

bool VkStockMediaItem::IsQualityUnavailable(int level) const
{
    const VkMediaSidecar::Quality* q = quality(level);
    return !q || !q->available;
}

void VkStockMediaItem::GetQualityResolution(int level, int& width, int& height) const
{
    // The size of a listed level is known even while the site does not offer it for download.
    if (const VkMediaSidecar::Quality* q = quality(level)) {
        width = q->width;
        height = q->height;
    }
}

QString VkStockMediaItem::GetAuthorUrl() const
{
    return m_stock.authorUrl;
}

QString VkStockMediaItem::GetAuthorName() const
{
    return m_stock.authorName;
}

QString VkStockMediaItem::GetLicenseUrl() const
{
    return m_stock.licenseUrl;
}

} // namespace VkVBLModelInternal
