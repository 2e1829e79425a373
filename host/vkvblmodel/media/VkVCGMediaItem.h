#pragma once

#include "VkMediaItem.h"
#include "VkMediaSidecar.h"

#include <vkvblmodel/IVkVCGMediaItem.h>

namespace VkVBLModelInternal {

// An asset of the licensed media library. Its name is the library's and cannot be changed here.
class VkVCGMediaItem final : public VkMediaItem, public IVkVCGMediaItem
{
public:
    VkVCGMediaItem(const QString& filePath, const VkMediaProbeResult& facts,
                   std::unique_ptr<IVkMediaInfo> info, const VkMediaSidecar& sidecar);
    ~VkVCGMediaItem() override;

    int GetItemType() const override;
    bool IsRenameEnabled() const override;
    bool IsVCGMedia() const override;

    QStringList GetKeywords() const override;
    int GetAssetKind() const override;
    VkVCGAssetInfo GetAssetInfo(int kind) const override;

    // Renditions the library offers: video, image, music and effect.
    static constexpr int kFirstAssetKind = 3;
    static constexpr int kLastAssetKind = 6;

private:
    Q_DISABLE_COPY(VkVCGMediaItem)

    const VkMediaSidecar::Library m_library;
};

} // namespace VkVBLModelInternal
