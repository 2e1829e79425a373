#pragma once

#include "VkProbedMediaInfo.h"

#include <vkvblmodel/IVkImageMediaInfo.h>

#include <atomic>

namespace VkVBLModelInternal {

// A still picture with its camera facts and the alpha reading chosen for this item.
class VkImageFileMediaInfo final : public VkProbedMediaInfo, public IVkImageMediaInfo
{
public:
    explicit VkImageFileMediaInfo(const VkMediaProbeResult& facts);
    ~VkImageFileMediaInfo() override;

    int GetHeight() const override;
    int GetWidth() const override;
    QString GetCameraMaker() const override;
    QString GetCameraModel() const override;
    int GetExposureTime() const override;
    void SetAlphaType(int alphaType) override;
    int GetAlphaType() const override;

private:
    Q_DISABLE_COPY(VkImageFileMediaInfo)

    // A renderer may read the choice while the properties dialog writes it.
    std::atomic<int> m_alphaType{Alpha_Straight};
};

} // namespace VkVBLModelInternal
