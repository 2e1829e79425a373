#pragma once

#include <cstdint>
#include <vector>

// A picture in the ARGB32 layout of the renderer's output: on a little-endian machine the bytes of a
// pixel are blue, green, red, alpha; rows follow each other without padding (stride width * 4).
struct VkFrameImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};
