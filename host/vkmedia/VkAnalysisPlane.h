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

    // Summaries that every comparison of this frame uses, filled in once by the scorer: means of small
    // blocks of the luma and, on the same grid, of the chroma; a coarse luma histogram; the mean and the
    // spread of the luma block means (near 0 for an even field such as black, whatever the grain).
    std::vector<uint8_t> blockMeans;
    std::vector<uint8_t> chromaBlockMeans;
    std::array<int, 32> histogram{};
    double lumaLevel = 0.0;
    double blockSpread = 0.0;
};

} // namespace vkmedia
