#pragma once

#include "VkMediaExport.h"

#include <cstdint>
#include <vector>

namespace vkmedia {

// Reduces an 8-bit picture plane to a small one for analysis: each destination sample is the mean of
// the middle row of its cell, all eight samples of it when the cells are eight wide (the usual
// widths, summed eight at a time), else four samples spread along it.
//
// Reading one row in eight instead of the whole plane keeps the analysis much cheaper than the
// decoding it follows; a cut changes the whole picture, so the sparse mean still sees it. The sample
// positions depend only on the sizes, so they are worked out once.
class VKMEDIA_EXPORT VkPlaneSampler
{
public:
    VkPlaneSampler(int srcWidth, int srcHeight, int dstWidth, int dstHeight);

    int srcWidth() const { return m_srcWidth; }
    int srcHeight() const { return m_srcHeight; }

    // `dst` holds dstWidth * dstHeight samples, row after row.
    void sample(const uint8_t* src, int srcStride, uint8_t* dst) const;

private:
    int m_srcWidth;
    int m_srcHeight;
    int m_dstWidth;
    int m_dstHeight;
    // Four source columns per destination column, and one source row per destination row.
    std::vector<int> m_columns;
    std::vector<int> m_rows;
    bool m_cellsOfEight = false;
};

} // namespace vkmedia
