#include "VkImageFileMediaInfo.h"

namespace VkVBLModelInternal {

VkImageFileMediaInfo::VkImageFileMediaInfo(const VkMediaProbeResult& facts)
    : VkProbedMediaInfo(facts)
{}

VkImageFileMediaInfo::~VkImageFileMediaInfo() = default;

int VkImageFileMediaInfo::GetHeight() const
{
    return facts().height;
}

int VkImageFileMediaInfo::GetWidth() const
{
    return facts().width;
}

QString VkImageFileMediaInfo::GetCameraMaker() const
{
    return text(facts().cameraMaker);
}

QString VkImageFileMediaInfo::GetCameraModel() const
{
    return text(facts().cameraModel);
}

int VkImageFileMediaInfo::GetExposureTime() const
{
    // Whole seconds, cut toward zero: 5/2 s is 2 s and 1/250 s is 0.
    const VkRational exposure = facts().exposureTime;
    return exposure.isValid() ? clampToInt(exposure.num / exposure.den) : 0;
}

void VkImageFileMediaInfo::SetAlphaType(int alphaType)
{
    // Codes this model does not know are kept as given: the dialog writes back what it read.
    m_alphaType.store(alphaType);
}

int VkImageFileMediaInfo::GetAlphaType() const
{
    return m_alphaType.load();
}

} // namespace VkVBLModelInternal
