#pragma once

#include <cstdint>
#include <vector>

namespace vkmedia {

// A frame reduced for analysis: luma at about an eighth of the picture size, chroma at half of that.
struct VkAnalysisPlane
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> y;
    std::vector<uint8_t> u;
    std::vector<uint8_t> v;
};

} // namespace vkmedia
