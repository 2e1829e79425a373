#pragma once

#include "VkMediaItem.h"
#include "VkMediaSidecar.h"

#include <vkvblmodel/IVkStockMediaItem.h>

namespace VkVBLModelInternal {

// A file downloaded from a stock site, with the site's credit and the sizes it offers.
class VkStockMediaItem final : public VkMediaItem, public IVkStockMediaItem
{
public:
    VkStockMediaItem(const QString& filePath, const VkMediaProbeResult& facts,
                     std::unique_ptr<IVkMediaInfo> info, const VkMediaSidecar& sidecar);
    ~VkStockMediaItem() override;

    int GetStockSite() const override;
    int GetStockSource() const override;
    bool IsStockMedia() const override;

    bool IsQualityUnavailable(int level) const override;
    void GetQualityResolution(int level, int& width, int& height) const override;
    QString GetAuthorUrl() const override;
    QString GetAuthorName() const override;
    QString GetLicenseUrl() const override;

private:
    Q_DISABLE_COPY(VkStockMediaItem)

    const VkMediaSidecar::Quality* quality(int level) const;

    const VkMediaSidecar::Stock m_stock;
};

} // namespace VkVBLModelInternal
