#pragma once

#include "VkFFmpegPtr.h"
#include "VkFrameImage.h"
#include "VkMediaExport.h"

#include <cstdint>
#include <vector>

namespace vkmedia {

// Converts decoded frames to ARGB32 at any size with the colour matrix and range the source declares,
// and rescales ARGB32 pictures. Keeps the scalers of the last few shapes it was asked for: one
// renderer serves the preview and the list's thumbnails in turn, and setting a scaler up costs more
// than a small picture's scaling.
class VKMEDIA_EXPORT VkImageScaler
{
public:
    VkImageScaler() = default;
    VkImageScaler(const VkImageScaler&) = delete;
    VkImageScaler& operator=(const VkImageScaler&) = delete;

    bool frameToArgb(const AVFrame* frame, int width, int height, uint8_t* pixels);
    bool argbToArgb(const VkFrameImage& source, int width, int height, uint8_t* pixels);

private:
    struct Shape
    {
        int sourceWidth = 0;
        int sourceHeight = 0;
        int sourceFormat = 0;
        int width = 0;
        int height = 0;
        int flags = 0;
        bool operator==(const Shape& other) const;
    };
    struct Kept
    {
        Shape shape;
        SwsPtr sws;
        // The colour matrix and range last set on a YUV source's scaler, -1 when none.
        int colorspace = -1;
        int fullRange = -1;
    };
    // The scaler of `shape`, made when it is not among the kept ones; null when it cannot be made.
    Kept* scalerFor(const Shape& shape);

    // Most recently used first.
    std::vector<Kept> m_kept;
};

} // namespace vkmedia
