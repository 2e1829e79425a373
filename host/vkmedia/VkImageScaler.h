#pragma once

#include "VkFFmpegPtr.h"
#include "VkFrameImage.h"
#include "VkMediaExport.h"

#include <cstdint>

namespace vkmedia {

// Converts decoded frames to ARGB32 at any size with the colour matrix and range the source declares,
// and rescales ARGB32 pictures. Keeps its scaler between calls of the same shape.
class VKMEDIA_EXPORT VkImageScaler
{
public:
    VkImageScaler() = default;
    VkImageScaler(const VkImageScaler&) = delete;
    VkImageScaler& operator=(const VkImageScaler&) = delete;

    bool frameToArgb(const AVFrame* frame, int width, int height, uint8_t* pixels);
    bool argbToArgb(const VkFrameImage& source, int width, int height, uint8_t* pixels);

private:
    SwsPtr m_sws;
};

} // namespace vkmedia
