#pragma once

#include <array>
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

    // Summaries of the luma that every comparison of this frame uses, filled in once by the scorer:
    // means of small blocks, and a coarse histogram.
    std::vector<uint8_t> blockMeans;
    std::array<int, 32> histogram{};
};

} // namespace vkmedia
