#include "VkCutScorer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <tuple>

namespace vkmedia {

namespace {

// A flash or an odd frame lasts at most this many frames.
constexpr int kLookahead = 2;
// Distances of this many frames on each side of a candidate tell how busy the shot is.
constexpr int kNeighbourhood = 2;
// A cut must be this many times the average distance around it.
constexpr double kStandOutRatio = 2.0;
// Pictures closer than this share of the candidate's distance are the same shot.
constexpr double kSameShotShare = 0.5;
// Side of the blocks averaged for the motion-tolerant part of the distance.
constexpr int kCoarseBlock = 4;
constexpr int kHistogramShift = 3;
static_assert((255 >> kHistogramShift) < int(std::tuple_size<decltype(VkAnalysisPlane::histogram)>::value),
              "every luma level needs a histogram bin");
// Weights that bring the parts of the distance to one scale: pixel differences in levels, the
// histogram difference as a share.
constexpr double kFineWeight = 0.5;
constexpr double kCoarseWeight = 1.0;
constexpr double kChromaWeight = 1.0;
constexpr double kHistogramWeight = 50.0;

double meanAbsDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.empty() || a.size() != b.size())
        return 0.0;
    uint64_t sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += static_cast<uint64_t>(std::abs(int(a[i]) - int(b[i])));
    return double(sum) / double(a.size());
}

void summarise(VkAnalysisPlane& p)
{
    const int bw = std::max(1, p.width / kCoarseBlock);
    const int bh = std::max(1, p.height / kCoarseBlock);
    std::vector<int> sums(static_cast<size_t>(bw * bh), 0);
    std::vector<int> counts(sums.size(), 0);
    p.histogram.fill(0);
    for (int y = 0; y < p.height; ++y) {
        const int by = std::min(bh - 1, y / kCoarseBlock);
        const uint8_t* row = p.y.data() + static_cast<size_t>(y * p.width);
        int* rowSums = sums.data() + by * bw;
        int* rowCounts = counts.data() + by * bw;
        for (int x = 0; x < p.width; ++x) {
            const int bx = std::min(bw - 1, x / kCoarseBlock);
            rowSums[bx] += row[x];
            ++rowCounts[bx];
            ++p.histogram[static_cast<size_t>(row[x] >> kHistogramShift)];
        }
    }
    p.blockMeans.resize(sums.size());
    for (size_t i = 0; i < sums.size(); ++i)
        p.blockMeans[i] = static_cast<uint8_t>(counts[i] ? sums[i] / counts[i] : 0);
}

double histogramDistance(const VkAnalysisPlane& a, const VkAnalysisPlane& b)
{
    if (a.y.empty())
        return 0.0;
    int64_t diff = 0;
    for (size_t i = 0; i < a.histogram.size(); ++i)
        diff += std::abs(a.histogram[i] - b.histogram[i]);
    return double(diff) / (2.0 * double(a.y.size()));
}

} // namespace

class VkCutScorer::Private
{
public:
    struct Entry
    {
        int64_t frame = 0;
        VkAnalysisPlane plane;
        // Distance to the previous frame; negative for the first frame.
        double score = -1.0;
    };

    double threshold = 0.0;
    int minSceneLength = 1;
    std::deque<Entry> entries;
    // Position in `entries` of the next frame to decide.
    size_t next = 0;
    int64_t lastCut = 0;

    void decide(size_t c, std::vector<int64_t>& cuts);
    void dropOld();
};

void VkCutScorer::Private::decide(size_t c, std::vector<int64_t>& cuts)
{
    const Entry& e = entries[c];
    if (c == 0 || e.score < threshold || e.frame - lastCut < minSceneLength)
        return;
    double sum = 0.0;
    int count = 0;
    for (int k = 1; k <= kNeighbourhood; ++k) {
        if (c >= static_cast<size_t>(k) && entries[c - k].score >= 0.0) {
            sum += entries[c - k].score;
            ++count;
        }
        if (c + k < entries.size()) {
            sum += entries[c + k].score;
            ++count;
        }
    }
    const double around = count ? sum / count : 0.0;
    if (e.score < kStandOutRatio * around)
        return;
    const double same = kSameShotShare * e.score;
    const VkAnalysisPlane& before = entries[c - 1].plane;
    for (int j = 1; j <= kLookahead; ++j) {
        // The picture after the change looks like the one before it: a flash, not a cut.
        if (c + j < entries.size() && distance(before, entries[c + j].plane) < same)
            return;
        // This picture looks like one before the change: the change was the flash.
        if (c >= static_cast<size_t>(j + 1) && distance(entries[c - 1 - j].plane, e.plane) < same)
            return;
    }
    lastCut = e.frame;
    cuts.push_back(e.frame);
}

void VkCutScorer::Private::dropOld()
{
    const size_t keep = static_cast<size_t>(kLookahead + kNeighbourhood + 2);
    while (next > keep) {
        entries.pop_front();
        --next;
    }
}

VkCutScorer::VkCutScorer(double threshold, int minSceneLength)
    : d(std::make_unique<Private>())
{
    d->threshold = threshold;
    d->minSceneLength = std::max(1, minSceneLength);
}

VkCutScorer::~VkCutScorer() = default;

int VkCutScorer::lookahead()
{
    return kLookahead;
}

void VkCutScorer::push(int64_t frame, VkAnalysisPlane plane, std::vector<int64_t>& cuts)
{
    summarise(plane);
    Private::Entry entry;
    entry.frame = frame;
    if (!d->entries.empty())
        entry.score = distance(d->entries.back().plane, plane);
    entry.plane = std::move(plane);
    d->entries.push_back(std::move(entry));
    while (d->next + kLookahead < d->entries.size()) {
        d->decide(d->next, cuts);
        ++d->next;
    }
    d->dropOld();
}

void VkCutScorer::finish(std::vector<int64_t>& cuts)
{
    while (d->next < d->entries.size()) {
        d->decide(d->next, cuts);
        ++d->next;
    }
    d->dropOld();
}

double VkCutScorer::distance(const VkAnalysisPlane& a, const VkAnalysisPlane& b)
{
    if (a.width != b.width || a.height != b.height)
        return 0.0;
    const double fine = meanAbsDiff(a.y, b.y);
    const double coarse = meanAbsDiff(a.blockMeans, b.blockMeans);
    const double chroma = 0.5 * (meanAbsDiff(a.u, b.u) + meanAbsDiff(a.v, b.v));
    const double histogram = histogramDistance(a, b);
    return kFineWeight * fine + kCoarseWeight * coarse + kChromaWeight * chroma +
           kHistogramWeight * histogram;
}

} // namespace vkmedia
