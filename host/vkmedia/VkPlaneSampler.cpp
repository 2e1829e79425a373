#include "VkPlaneSampler.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vkmedia {

namespace {

constexpr int kSamplesPerCell = 4;
constexpr int kCacheLine = 64;

// First and last source position of destination cell `i` along one axis: the positions p with
// p * dstLength / srcLength rounded down equal to i, so that the cells share no sample. A
// destination longer than its source repeats samples.
std::pair<int, int> cellSpan(int i, int srcLength, int dstLength)
{
    auto start = [&](int cell) {
        return static_cast<int>((int64_t(cell) * srcLength + dstLength - 1) / dstLength);
    };
    const int first = std::min(start(i), srcLength - 1);
    const int last = std::max(first, start(i + 1) - 1);
    return {first, last};
}

// Mean of each run of eight samples of `row`, for `count` runs: the whole middle row of each cell
// when the cells are exactly eight samples wide, as they are for the usual picture widths.
void meansOfEight(const uint8_t* row, int count, uint8_t* out)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; x + 2 <= count; x += 2) {
        // One instruction sums each half of the sixteen bytes.
        const __m128i sums = _mm_sad_epu8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + std::ptrdiff_t{8} * x)), zero);
        out[x] = static_cast<uint8_t>((_mm_cvtsi128_si32(sums) + 4) >> 3);
        out[x + 1] = static_cast<uint8_t>((_mm_extract_epi16(sums, 4) + 4) >> 3);
    }
#endif
    for (; x < count; ++x) {
        const uint8_t* cell = row + std::ptrdiff_t{8} * x;
        int sum = 0;
        for (int k = 0; k < 8; ++k)
            sum += cell[k];
        out[x] = static_cast<uint8_t>((sum + 4) >> 3);
    }
}

// The rows read lie far apart, in a picture that has mostly left the caches since it was decoded:
// asking for the next row while this one is summed hides much of the wait for memory.
void prefetchRow(const uint8_t* row, int bytes)
{
#if defined(__GNUC__)
    for (int i = 0; i < bytes; i += kCacheLine)
        __builtin_prefetch(row + i);
#else
    (void)row;
    (void)bytes;
#endif
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
    m_cellsOfEight = m_dstWidth > 0 && srcWidth == 8 * m_dstWidth;
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
    const int* columns = m_columns.data();
    for (int y = 0; y < m_dstHeight; ++y) {
        const uint8_t* row = src + int64_t(m_rows[static_cast<size_t>(y)]) * srcStride;
        if (y + 1 < m_dstHeight)
            prefetchRow(src + int64_t(m_rows[static_cast<size_t>(y) + 1]) * srcStride, m_srcWidth);
        uint8_t* out = dst + int64_t(y) * m_dstWidth;
        if (m_cellsOfEight) {
            meansOfEight(row, m_dstWidth, out);
            continue;
        }
        for (int x = 0; x < m_dstWidth; ++x) {
            const int* c = columns + static_cast<std::ptrdiff_t>(kSamplesPerCell) * x;
            out[x] = static_cast<uint8_t>((row[c[0]] + row[c[1]] + row[c[2]] + row[c[3]] + 2) >> 2);
        }
    }
}

} // namespace vkmedia
