#include "VkPlaneSampler.h"

#include <algorithm>
#include <utility>

namespace vkmedia {

namespace {

constexpr int kSamplesPerCell = 4;
// Rows requested ahead of the one being summed: enough to keep several misses in flight.
constexpr int kRowsAhead = 4;
constexpr int kCacheLine = 64;

// First and last source position of destination cell `i` along one axis.
std::pair<int, int> cellSpan(int i, int srcLength, int dstLength)
{
    const int first = static_cast<int>(int64_t(i) * srcLength / dstLength);
    const int last = std::max(first, static_cast<int>(int64_t(i + 1) * srcLength / dstLength) - 1);
    return {first, last};
}

} // namespace

VkPlaneSampler::VkPlaneSampler(int srcWidth, int srcHeight, int dstWidth, int dstHeight)
    : m_srcWidth(srcWidth)
    , m_srcHeight(srcHeight)
    , m_dstWidth(std::max(0, dstWidth))
    , m_dstHeight(std::max(0, dstHeight))
{
    if (srcWidth <= 0 || srcHeight <= 0) {
        m_dstWidth = 0;
        m_dstHeight = 0;
    }
    m_columns.reserve(static_cast<size_t>(m_dstWidth) * kSamplesPerCell);
    for (int x = 0; x < m_dstWidth; ++x) {
        const auto [first, last] = cellSpan(x, srcWidth, m_dstWidth);
        for (int k = 0; k < kSamplesPerCell; ++k)
            m_columns.push_back(first + (last - first) * (2 * k + 1) / (2 * kSamplesPerCell));
    }
    m_rows.reserve(static_cast<size_t>(m_dstHeight));
    for (int y = 0; y < m_dstHeight; ++y) {
        const auto [first, last] = cellSpan(y, srcHeight, m_dstHeight);
        m_rows.push_back(first + (last - first) / 2);
    }
}

void VkPlaneSampler::sample(const uint8_t* src, int srcStride, uint8_t* dst) const
{
    if (m_columns.empty())
        return;
    const int rowBytes = m_columns.back() + 1;
    auto rowStart = [&](int y) { return src + int64_t(m_rows[static_cast<size_t>(y)]) * srcStride; };
    auto prefetchRow = [&](int y) {
        const uint8_t* row = rowStart(y);
        for (int offset = 0; offset < rowBytes; offset += kCacheLine)
            __builtin_prefetch(row + offset);
    };
    for (int y = 0; y < std::min(kRowsAhead, m_dstHeight); ++y)
        prefetchRow(y);
    const int* columns = m_columns.data();
    for (int y = 0; y < m_dstHeight; ++y) {
        if (y + kRowsAhead < m_dstHeight)
            prefetchRow(y + kRowsAhead);
        const uint8_t* row = rowStart(y);
        uint8_t* out = dst + int64_t(y) * m_dstWidth;
        for (int x = 0; x < m_dstWidth; ++x) {
            const int* c = columns + kSamplesPerCell * x;
            out[x] = static_cast<uint8_t>((row[c[0]] + row[c[1]] + row[c[2]] + row[c[3]] + 2) >> 2);
        }
    }
}

} // namespace vkmedia
