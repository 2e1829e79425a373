#include "VkCutScorer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <deque>
#include <optional>
#include <tuple>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Gradual changes. Lengths, in frames between the two unblended ends, of the stretches tried at each
// frame: dense where a frame more or less matters, sparse for the long ones.
constexpr int kSpans[] = {5, 6, 7, 8, 10, 12, 14, 16, 19, 22, 26, 30, 35, 40, 46, 52, 60};
constexpr int kLongestSpan = 60;
static_assert(kSpans[sizeof kSpans / sizeof kSpans[0] - 1] == kLongestSpan,
              "the window holds the longest span");
// Frames after the end of a stretch (and before its start) that show whether the change has settled.
constexpr int kSettle = 2;
// Outside the stretch the pictures change at most this share of the rate inside it.
constexpr double kSettledRate = 0.7;
// Before the stretch, that rate is measured over this fraction of its span (at least kSettle frames).
constexpr int kSettleBaseDivisor = 4;
// No single step inside the stretch is more than this share of the whole change (that is a cut).
constexpr double kLargestStepShare = 0.45;
// Least block-mean change between the ends, as a share of the cut threshold: a quick test that
// spares the full comparison for most stretches.
constexpr double kLeastBlockChange = 0.2;
// Of the spans that pass at one end frame, the shortest with this share of the largest change wins.
constexpr double kWholeChangeShare = 0.9;
// Middle frames must be this close to a mix of the ends: the mean squared distance from the fitted
// mix as a share of the squared distance between the ends.
constexpr double kBlendResidual = 0.12;
// Halfway through a dissolve the variance of the block means is at most this share of the ends' mean.
constexpr double kBlendContrastShare = 0.9;
// Frames mixed less than this share of one end into the other show no visible blend.
constexpr double kVisibleMix = 0.05;
// The mix may fall back this much from one frame to the next (grain, compression, small motion).
constexpr double kMixSlack = 0.12;
// Block means of two pictures correlated at least this much show the same scene (light changed).
constexpr double kSameSceneCorrelation = 0.8;
// A jump between two frames whose block means are correlated this much is the same picture made
// brighter or darker (a step of a quick fade, a light switched on), not a cut.
constexpr double kLightStepCorrelation = 0.9;
// Spread of the luma block means below which a picture is an even field.
constexpr double kEvenFieldSpread = 4.0;
// Going back from an even field, a picture counts as fading out while its spread keeps rising by
// at least this much a frame.
constexpr double kFadeSpreadStep = 0.5;
// A picture has come back out of an even field once it has this share of the contrast (spread of
// its block means) that it had before.
constexpr double kFullContrastShare = 0.8;
// An inserted picture shown for less than this many seconds is not a scene of its own.
constexpr double kShortestInsertSeconds = 1.0;

double meanAbsDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.empty() || a.size() != b.size())
        return 0.0;
    uint64_t sum = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen absolute differences at a time, summed by one instruction into two halves.
    __m128i sums = _mm_setzero_si128();
    for (; i + 16 <= a.size(); i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data() + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data() + i));
        sums = _mm_add_epi64(sums, _mm_sad_epu8(x, y));
    }
    uint64_t halves[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), sums);
    sum = halves[0] + halves[1];
#endif
    for (; i < a.size(); ++i)
        sum += static_cast<uint64_t>(std::abs(int(a[i]) - int(b[i])));
    return double(sum) / double(a.size());
}

using Histograms = std::array<decltype(VkAnalysisPlane::histogram), 4>;
static_assert(kCoarseBlock == 4, "the luma rows are summed four samples at a time");

// Adds one luma row to the block sums of its block row and to the histogram. Blocks are kCoarseBlock
// samples wide, the last one also taking the columns left over. The histogram is counted into four
// tables in turn, so that neighbouring samples of one level do not wait for each other's counts.
void addLumaRow(const uint8_t* row, int width, int blocks, int* sums, Histograms& bins)
{
    const int whole = (blocks - 1) * kCoarseBlock;
    int x = 0;
    for (int b = 0; x < whole; ++b, x += kCoarseBlock) {
        const uint8_t* s = row + x;
        sums[b] += int(s[0]) + int(s[1]) + int(s[2]) + int(s[3]);
        ++bins[0][static_cast<size_t>(s[0] >> kHistogramShift)];
        ++bins[1][static_cast<size_t>(s[1] >> kHistogramShift)];
        ++bins[2][static_cast<size_t>(s[2] >> kHistogramShift)];
        ++bins[3][static_cast<size_t>(s[3] >> kHistogramShift)];
    }
    for (; x < width; ++x) {
        sums[blocks - 1] += row[x];
        ++bins[0][static_cast<size_t>(row[x] >> kHistogramShift)];
    }
}

// How many of `length` positions fall into each of `blocks` cells of `side` positions, the last cell
// taking the rest.
void cellCounts(int length, int blocks, int side, std::vector<int>& counts)
{
    counts.assign(static_cast<size_t>(blocks), 0);
    for (int i = 0; i < length; ++i)
        ++counts[static_cast<size_t>(std::min(blocks - 1, i / side))];
}

// Means of the cells of `sums`, whose sizes are the products of the column and row counts; 0 for an
// empty cell. The cells of `fullSide` by `fullSide` samples, nearly all of them, divide by a shift.
void cellMeans(const std::vector<int>& sums, const std::vector<int>& columns, const std::vector<int>& rows,
               int fullSide, uint8_t* out)
{
    const size_t bw = columns.size();
    // The shift that divides by the full count, when that is a power of two.
    int fullShift = -1;
    for (int shift = 0; shift < 16; ++shift) {
        if (1 << shift == fullSide * fullSide)
            fullShift = shift;
    }
    for (size_t by = 0; by < rows.size(); ++by) {
        for (size_t bx = 0; bx < bw; ++bx) {
            const int sum = sums[by * bw + bx];
            int mean = 0;
            if (columns[bx] == fullSide && rows[by] == fullSide && fullShift >= 0)
                mean = sum >> fullShift;
            else if (const int count = columns[bx] * rows[by])
                mean = sum / count;
            out[by * bw + bx] = static_cast<uint8_t>(mean);
        }
    }
}

// Fills in the plane's summaries. It runs on every frame, so the blocks are summed row by row and the
// sample counts of the blocks come from their sizes, not from counting samples.
void summarise(VkAnalysisPlane& p)
{
    const int bw = std::max(1, p.width / kCoarseBlock);
    const int bh = std::max(1, p.height / kCoarseBlock);
    std::vector<int> sums(static_cast<size_t>(bw * bh), 0);
    std::vector<int> columns;
    std::vector<int> rows;
    Histograms bins{};
    for (int y = 0; y < p.height; ++y) {
        const int by = std::min(bh - 1, y / kCoarseBlock);
        addLumaRow(p.y.data() + static_cast<size_t>(y) * p.width, p.width, bw,
                   sums.data() + static_cast<std::ptrdiff_t>(by) * bw, bins);
    }
    for (size_t i = 0; i < p.histogram.size(); ++i)
        p.histogram[i] = bins[0][i] + bins[1][i] + bins[2][i] + bins[3][i];
    cellCounts(p.width, bw, kCoarseBlock, columns);
    cellCounts(p.height, bh, kCoarseBlock, rows);
    p.blockMeans.resize(sums.size());
    cellMeans(sums, columns, rows, kCoarseBlock, p.blockMeans.data());
    double sum = 0.0;
    double squares = 0.0;
    for (const uint8_t mean : p.blockMeans) {
        sum += mean;
        squares += double(mean) * mean;
    }
    const double n = double(sums.size());
    p.lumaLevel = sum / n;
    p.blockSpread = std::sqrt(std::max(0.0, squares / n - (sum / n) * (sum / n)));

    // Chroma on the same grid: its planes are half the size, so its blocks are half as wide.
    const int cw = p.width / 2;
    const int ch = p.height / 2;
    p.chromaBlockMeans.assign(2 * sums.size(), 0);
    if (p.u.size() < static_cast<size_t>(cw) * ch || p.v.size() < static_cast<size_t>(cw) * ch)
        return;
    const int half = kCoarseBlock / 2;
    cellCounts(cw, bw, half, columns);
    cellCounts(ch, bh, half, rows);
    for (int plane = 0; plane < 2; ++plane) {
        const std::vector<uint8_t>& c = plane == 0 ? p.u : p.v;
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = 0; y < ch; ++y) {
            const uint8_t* row = c.data() + static_cast<size_t>(y) * cw;
            int* rowSums = sums.data() + static_cast<std::ptrdiff_t>(std::min(bh - 1, y / half)) * bw;
            const int whole = std::min(cw, (bw - 1) * half);
            int x = 0;
            for (int b = 0; x + half <= whole; ++b, x += half)
                rowSums[b] += int(row[x]) + int(row[x + 1]);
            for (; x < cw; ++x)
                rowSums[std::min(bw - 1, x / half)] += row[x];
        }
        cellMeans(sums, columns, rows, half, p.chromaBlockMeans.data() + plane * sums.size());
    }
}

// Mean difference of the block means, luma and chroma together, the luma's overall level set aside:
// the view of a change that the gradual tests work on, blind to grain (averaged away), to small
// motion (blocks are coarse) and to flicker (a change of the whole picture's level).
double blockDistance(const VkAnalysisPlane& a, const VkAnalysisPlane& b)
{
    const size_t n = a.blockMeans.size();
    if (n == 0 || n != b.blockMeans.size() || a.chromaBlockMeans.size() != b.chromaBlockMeans.size())
        return 0.0;
    const double shift = b.lumaLevel - a.lumaLevel;
    double luma = 0.0;
    for (size_t i = 0; i < n; ++i)
        luma += std::abs(double(b.blockMeans[i]) - double(a.blockMeans[i]) - shift);
    return luma / double(n) + 2.0 * meanAbsDiff(a.chromaBlockMeans, b.chromaBlockMeans);
}

// Pearson correlation of the luma block means; 0 when either picture is even.
double blockCorrelation(const VkAnalysisPlane& a, const VkAnalysisPlane& b)
{
    const size_t n = a.blockMeans.size();
    if (n == 0 || n != b.blockMeans.size())
        return 0.0;
    double sa = 0.0, sb = 0.0, saa = 0.0, sbb = 0.0, sab = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double x = a.blockMeans[i];
        const double y = b.blockMeans[i];
        sa += x;
        sb += y;
        saa += x * x;
        sbb += y * y;
        sab += x * y;
    }
    const double va = saa - sa * sa / double(n);
    const double vb = sbb - sb * sb / double(n);
    if (va <= 0.0 || vb <= 0.0)
        return 0.0;
    return (sab - sa * sb / double(n)) / std::sqrt(va * vb);
}

// The block means of `to` less those of `from`, luma blocks then chroma blocks, into `out`.
void blockMeanChange(const VkAnalysisPlane& from, const VkAnalysisPlane& to, std::vector<int>& out)
{
    const size_t nl = from.blockMeans.size();
    const size_t nc = from.chromaBlockMeans.size();
    out.resize(nl + nc);
    for (size_t i = 0; i < nl; ++i)
        out[i] = int(to.blockMeans[i]) - int(from.blockMeans[i]);
    for (size_t i = 0; i < nc; ++i)
        out[nl + i] = int(to.chromaBlockMeans[i]) - int(from.chromaBlockMeans[i]);
}

bool isEvenField(const VkAnalysisPlane& p)
{
    return p.blockSpread < kEvenFieldSpread;
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
    // Where a blend passes one half, and its first and last frames that are visibly mixed.
    struct Blend
    {
        int64_t boundary = 0;
        int64_t first = 0;
        int64_t last = 0;
    };

    struct Entry
    {
        int64_t frame = 0;
        VkAnalysisPlane plane;
        // Distance to the previous frame; negative for the first frame.
        double score = -1.0;
        // Block distance to the previous frame, and to the one before it.
        double blockStep = 0.0;
        double blockStep2 = 0.0;
    };

    // A gradual change found but not yet reported: a second one may follow within the shortest
    // insert, and then the two are judged together.
    struct Gradual
    {
        VkSceneTransition transition;
        // The last frame of the change (the first unblended one after it), and the picture before it.
        int64_t end = 0;
        VkAnalysisPlane before;
        // The picture at the boundary, for its thumbnail.
        VkAnalysisPlane picture;
    };

    // A fade out to an even field seen, waiting for a picture to fade in out of it.
    struct Dip
    {
        // The last full picture before the fade out, and the first frame of the even field.
        int64_t start = 0;
        VkAnalysisPlane before;
        int64_t evenFrom = 0;
        int64_t evenTo = 0;
        // Cuts seen since the fade out began, with their pictures: the steps of a quick fade, or
        // real cuts to and from the field if no picture fades in out of it.
        std::vector<std::pair<VkSceneTransition, VkAnalysisPlane>> cuts;
    };

    double threshold = 0.0;
    int minSceneLength = 1;
    int64_t shortestInsert = 25;
    size_t windowCapacity = 0;
    std::deque<Entry> entries;
    // Position in `entries` of the next frame to decide as a cut.
    size_t next = 0;
    int64_t lastBoundary = 0;
    bool seenFrame = false;
    // Stretches ending before this frame have been judged already.
    int64_t gradualFrom = 0;
    // The best stretch found so far, its end still open to a better one.
    struct Stretch
    {
        int64_t start = 0;
        int64_t end = 0;
        double amount = 0.0;
        Blend blend;
    };
    std::optional<Stretch> tentative;
    std::optional<Gradual> pending;
    std::optional<Dip> dip;
    // Pictures of the boundaries reported by the current push() or finish().
    std::vector<std::pair<int64_t, VkAnalysisPlane>> reported;

    void decide(size_t c, std::vector<VkSceneTransition>& out);
    void findGradual(size_t t, std::vector<VkSceneTransition>& out);
    void commitStretch(std::vector<VkSceneTransition>& out);
    bool isBlend(size_t s, size_t t, Blend& blend) const;
    // A change over the `span` frames that end at t which is a gradual transition: a blend whose
    // stretch is steadier inside than after, and starts from a settled picture or an even field.
    struct GradualCandidate
    {
        size_t start = 0;
        double amount = 0.0;
        Blend blend;
    };
    std::optional<GradualCandidate> gradualOver(size_t t, int span, double settledAfter) const;
    void trackDip(size_t n, std::vector<VkSceneTransition>& out);
    void endDip(bool cutsWereReal, std::vector<VkSceneTransition>& out);
    void addGradual(Gradual change, std::vector<VkSceneTransition>& out);
    void flushPending(std::vector<VkSceneTransition>& out);
    void report(const VkSceneTransition& transition, const VkAnalysisPlane& picture,
                std::vector<VkSceneTransition>& out);
    const VkAnalysisPlane* find(int64_t frame) const;
    bool sameScene(const VkAnalysisPlane& a, const VkAnalysisPlane& b) const;
    void dropOld();
};

void VkCutScorer::Private::report(const VkSceneTransition& transition, const VkAnalysisPlane& picture,
                                  std::vector<VkSceneTransition>& out)
{
    if (transition.frame - lastBoundary < minSceneLength)
        return;
    lastBoundary = transition.frame;
    out.push_back(transition);
    reported.emplace_back(transition.frame, picture);
}

const VkAnalysisPlane* VkCutScorer::Private::find(int64_t frame) const
{
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->frame == frame)
            return &it->plane;
    }
    return nullptr;
}

void VkCutScorer::Private::decide(size_t c, std::vector<VkSceneTransition>& out)
{
    const Entry& e = entries[c];
    if (c == 0 || e.score < threshold)
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
    if (!isEvenField(before) && !isEvenField(e.plane) &&
        blockCorrelation(before, e.plane) >= kLightStepCorrelation)
        return;
    for (int j = 1; j <= kLookahead; ++j) {
        // The picture after the change looks like the one before it: a flash, not a cut.
        if (c + j < entries.size() && distance(before, entries[c + j].plane) < same)
            return;
        // This picture looks like one before the change: the change was the flash.
        if (c >= static_cast<size_t>(j) + 1 && distance(entries[c - 1 - j].plane, e.plane) < same)
            return;
    }
    VkSceneTransition cut;
    cut.frame = cut.first = cut.last = e.frame;
    commitStretch(out);
    // The last step of a dissolve just found belongs to it.
    if (pending && e.frame <= pending->end)
        return;
    // Within a fade the steps wait for what comes out of the field.
    if (dip && e.frame > dip->start) {
        dip->cuts.emplace_back(cut, e.plane);
        return;
    }
    // Gradual changes before the cut are final now.
    flushPending(out);
    report(cut, e.plane, out);
    gradualFrom = std::max(gradualFrom, e.frame);
}

bool VkCutScorer::Private::sameScene(const VkAnalysisPlane& a, const VkAnalysisPlane& b) const
{
    return distance(a, b) < threshold || blockCorrelation(a, b) >= kSameSceneCorrelation;
}

// Fits each frame strictly between s and t as a + m * (b - a) on the block means, a and b being the
// pictures at s and t. A blend has small misfits and a mix m that grows from 0 to 1; camera motion
// misfits (a shifted picture is no mix), a flash jumps.
bool VkCutScorer::Private::isBlend(size_t s, size_t t, Blend& blend) const
{
    const VkAnalysisPlane& a = entries[s].plane;
    const VkAnalysisPlane& b = entries[t].plane;
    const size_t nl = a.blockMeans.size();
    const size_t nc = a.chromaBlockMeans.size();
    std::vector<int> delta;
    blockMeanChange(a, b, delta);
    double dd = 0.0;
    for (const int v : delta)
        dd += double(v) * v;
    if (dd <= 0.0)
        return false;
    double previousMix = 0.0;
    double misfit = 0.0;
    blend.boundary = entries[t].frame;
    blend.first = entries[s + 1].frame;
    blend.last = entries[t - 1].frame;
    bool crossed = false;
    bool mixing = false;
    std::vector<int> x;
    for (size_t k = s + 1; k < t; ++k) {
        const VkAnalysisPlane& m = entries[k].plane;
        if (m.blockMeans.size() != nl || m.chromaBlockMeans.size() != nc)
            return false;
        blockMeanChange(a, m, x);
        double xd = 0.0;
        double xx = 0.0;
        for (size_t i = 0; i < x.size(); ++i) {
            xd += double(x[i]) * delta[i];
            xx += double(x[i]) * x[i];
        }
        const double mix = xd / dd;
        // |x - mix * delta|^2 = |x|^2 - mix^2 |delta|^2
        misfit += std::max(0.0, xx - mix * mix * dd) / dd;
        if (mix < previousMix - kMixSlack || mix < -kMixSlack || mix > 1.0 + kMixSlack)
            return false;
        previousMix = std::max(previousMix, mix);
        if (!crossed && mix >= 0.5) {
            crossed = true;
            blend.boundary = entries[k].frame;
            // Half of one picture over half of another has less contrast than either; a pan over
            // smooth content, which the block means can take for a blend, keeps its contrast.
            const double mixed = m.blockSpread * m.blockSpread;
            const double ends = 0.5 * (a.blockSpread * a.blockSpread + b.blockSpread * b.blockSpread);
            if (!isEvenField(a) && mixed > kBlendContrastShare * ends)
                return false;
        }
        if (!mixing && mix > kVisibleMix) {
            mixing = true;
            blend.first = entries[k].frame;
        }
        if (mix < 1.0 - kVisibleMix)
            blend.last = entries[k].frame;
    }
    return misfit / double(t - s - 1) <= kBlendResidual;
}

void VkCutScorer::Private::findGradual(size_t t, std::vector<VkSceneTransition>& out)
{
    const Entry& last = entries[t];
    if (tentative && last.frame - tentative->end > kSettle)
        commitStretch(out);
    if (last.frame < gradualFrom || isEvenField(last.plane))
        return;
    const double settledAfter = blockDistance(last.plane, entries[t + kSettle].plane) / kSettle;
    // Every span that passes ends in the same change; the shortest one that holds (nearly) all of it
    // gives its extent, longer ones only add frames of the shots around it.
    std::vector<GradualCandidate> candidates;
    for (const int span : kSpans) {
        if (t < static_cast<size_t>(span) + std::max(kSettle, span / kSettleBaseDivisor))
            break;
        if (entries[t - static_cast<size_t>(span)].frame < gradualFrom)
            break;
        if (std::optional<GradualCandidate> candidate = gradualOver(t, span, settledAfter))
            candidates.push_back(*candidate);
    }
    if (candidates.empty())
        return;
    double most = 0.0;
    for (const GradualCandidate& c : candidates)
        most = std::max(most, c.amount);
    const GradualCandidate& chosen =
        *std::find_if(candidates.begin(), candidates.end(),
                      [most](const GradualCandidate& c) { return c.amount >= kWholeChangeShare * most; });
    // The same change seen a frame or two later, once its end has settled better, may show more of it.
    if (!tentative || chosen.amount > tentative->amount)
        tentative = Stretch{entries[chosen.start].frame, last.frame, chosen.amount, chosen.blend};
}

std::optional<VkCutScorer::Private::GradualCandidate>
VkCutScorer::Private::gradualOver(size_t t, int span, double settledAfter) const
{
    const size_t s = t - static_cast<size_t>(span);
    const Entry& first = entries[s];
    const Entry& last = entries[t];
    // The tests go from the cheapest to the dearest; each one alone can reject the span. First the
    // steps already measured: after the stretch, two-frame changes against those inside it (grain
    // and small motion are in both alike, a dissolve only inside), which rejects most spans of a
    // moving shot before any picture is compared.
    double inside = 0.0;
    for (size_t k = s + kSettle; k <= t; ++k)
        inside += entries[k].blockStep2;
    inside /= double(kSettle) * double(t + 1 - s - kSettle);
    if (settledAfter > kSettledRate * inside)
        return std::nullopt;
    const double amount = blockDistance(first.plane, last.plane);
    if (amount < kLeastBlockChange * threshold)
        return std::nullopt;
    double largestStep = 0.0;
    for (size_t k = s + 1; k <= t; ++k)
        largestStep = std::max(largestStep, entries[k].blockStep);
    if (largestStep > kLargestStepShare * amount)
        return std::nullopt;
    // An even field is the start of its fade-in, however it came. Before other starts the rate is
    // taken over a quarter of the span: a pan keeps its rate over a longer time, busy content
    // that goes nowhere (leaves, water, crowds) does not.
    const bool fadeIn = isEvenField(first.plane);
    const double rate = amount / span;
    const size_t before = static_cast<size_t>(std::max(kSettle, span / kSettleBaseDivisor));
    if (!fadeIn &&
        blockDistance(entries[s - before].plane, first.plane) / double(before) > kSettledRate * rate)
        return std::nullopt;
    if (distance(first.plane, last.plane) < threshold)
        return std::nullopt;
    if (!fadeIn && blockCorrelation(first.plane, last.plane) >= kSameSceneCorrelation)
        return std::nullopt;
    Blend blend;
    if (!isBlend(s, t, blend))
        return std::nullopt;
    return GradualCandidate{s, amount, blend};
}

void VkCutScorer::Private::commitStretch(std::vector<VkSceneTransition>& out)
{
    if (!tentative)
        return;
    const Stretch stretch = *tentative;
    tentative.reset();
    const VkAnalysisPlane* first = find(stretch.start);
    const VkAnalysisPlane* last = find(stretch.end);
    if (!first || !last)
        return;
    gradualFrom = std::max(gradualFrom, stretch.end);
    Gradual change;
    change.end = stretch.end;
    change.transition.first = stretch.blend.first;
    change.transition.last = stretch.blend.last;
    if (!isEvenField(*first)) {
        change.transition.kind = VkSceneTransition::Kind::Dissolve;
        change.transition.frame = stretch.blend.boundary;
        change.before = *first;
        if (const VkAnalysisPlane* picture = find(stretch.blend.boundary))
            change.picture = *picture;
        addGradual(std::move(change), out);
    } else if (dip) {
        // Out of one picture into an even field and into the next: the boundary is in the middle of
        // the field, unless the picture that comes back is the one that left.
        change.transition.kind = VkSceneTransition::Kind::Fade;
        change.transition.first = dip->start + 1;
        change.transition.frame = (dip->evenFrom + stretch.start + 1) / 2;
        change.before = std::move(dip->before);
        dip.reset();
        // A long field may have left the window; every picture of it looks the same.
        const VkAnalysisPlane* middle = find(change.transition.frame);
        change.picture = middle ? *middle : *first;
        if (!sameScene(change.before, *last))
            addGradual(std::move(change), out);
    }
}

void VkCutScorer::Private::addGradual(Gradual change, std::vector<VkSceneTransition>& out)
{
    if (pending && change.transition.first - pending->end <= shortestInsert) {
        // What lay between the two changes was on screen too briefly to be a scene: one transition
        // from the picture before the first to the picture after the second, if those differ.
        Gradual joined = std::move(*pending);
        pending.reset();
        const VkAnalysisPlane* after = find(change.end);
        if (after && sameScene(joined.before, *after))
            return;
        joined.transition.frame = (joined.end + change.transition.first) / 2;
        if (const VkAnalysisPlane* middle = find(joined.transition.frame))
            joined.picture = *middle;
        joined.transition.last = change.transition.last;
        if (change.transition.kind == VkSceneTransition::Kind::Fade)
            joined.transition.kind = VkSceneTransition::Kind::Fade;
        joined.end = change.end;
        pending = std::move(joined);
        return;
    }
    flushPending(out);
    pending = std::move(change);
}

void VkCutScorer::Private::flushPending(std::vector<VkSceneTransition>& out)
{
    if (!pending)
        return;
    report(pending->transition, pending->picture, out);
    pending.reset();
}

void VkCutScorer::Private::endDip(bool cutsWereReal, std::vector<VkSceneTransition>& out)
{
    if (!dip)
        return;
    if (cutsWereReal) {
        flushPending(out);
        for (const auto& cut : dip->cuts) {
            report(cut.first, cut.second, out);
            gradualFrom = std::max(gradualFrom, cut.first.frame);
        }
    }
    dip.reset();
}

void VkCutScorer::Private::trackDip(size_t n, std::vector<VkSceneTransition>& out)
{
    const Entry& e = entries[n];
    if (!isEvenField(e.plane)) {
        // Once the picture that left is back (a flash, a dip within the shot) the steps on the way
        // were no cuts; when nothing has faded in for a while, they were.
        if (dip && e.plane.blockSpread >= kFullContrastShare * dip->before.blockSpread &&
            sameScene(dip->before, e.plane))
            endDip(false, out);
        else if (dip && e.frame - dip->evenTo > kLongestSpan + 2 * kSettle + kLookahead)
            endDip(true, out);
        return;
    }
    if (dip) {
        dip->evenTo = e.frame;
        return;
    }
    if (n == 0)
        return;
    // Back from the field over the fade out: the pictures before it have more and more contrast.
    size_t k = n - 1;
    while (k > 0 && n - k < static_cast<size_t>(kLongestSpan) &&
           entries[k - 1].plane.blockSpread >= entries[k].plane.blockSpread + kFadeSpreadStep)
        --k;
    if (isEvenField(entries[k].plane))
        return;
    Dip fresh;
    fresh.start = entries[k].frame;
    fresh.before = entries[k].plane;
    fresh.evenFrom = fresh.evenTo = e.frame;
    dip = std::move(fresh);
}

void VkCutScorer::Private::dropOld()
{
    // Cuts look a few frames back, gradual changes a whole span and its settling frames.
    while (entries.size() > windowCapacity && next > static_cast<size_t>(kLookahead) + kNeighbourhood + 2) {
        entries.pop_front();
        --next;
    }
}

VkCutScorer::VkCutScorer(double threshold, int minSceneLength, double framesPerSecond)
    : d(std::make_unique<Private>())
{
    d->threshold = threshold;
    d->minSceneLength = std::max(1, minSceneLength);
    const double fps = framesPerSecond > 0.0 ? framesPerSecond : 25.0;
    d->shortestInsert = std::max<int64_t>(1, std::llround(fps * kShortestInsertSeconds));
    d->windowCapacity = size_t{kLongestSpan} + kLongestSpan / kSettleBaseDivisor + size_t{2} * kSettle + 2;
}

VkCutScorer::~VkCutScorer() = default;

int VkCutScorer::lookahead()
{
    return kLookahead;
}

void VkCutScorer::push(int64_t frame, VkAnalysisPlane plane, std::vector<VkSceneTransition>& boundaries)
{
    d->reported.clear();
    summarise(plane);
    Private::Entry entry;
    entry.frame = frame;
    if (!d->seenFrame) {
        d->seenFrame = true;
        d->lastBoundary = frame;
        d->gradualFrom = frame;
    }
    if (!d->entries.empty()) {
        entry.score = distance(d->entries.back().plane, plane);
        entry.blockStep = blockDistance(d->entries.back().plane, plane);
        if (d->entries.size() >= 2)
            entry.blockStep2 = blockDistance(d->entries[d->entries.size() - 2].plane, plane);
    }
    entry.plane = std::move(plane);
    d->entries.push_back(std::move(entry));
    const size_t newest = d->entries.size() - 1;
    d->trackDip(newest, boundaries);
    if (newest >= static_cast<size_t>(kSettle))
        d->findGradual(newest - kSettle, boundaries);
    while (d->next + kLookahead < d->entries.size()) {
        d->decide(d->next, boundaries);
        ++d->next;
    }
    // A gradual change waits for a second one only as long as a short insert lasts.
    if (d->pending && frame - d->pending->end > d->shortestInsert + kLongestSpan + kSettle)
        d->flushPending(boundaries);
    d->dropOld();
}

void VkCutScorer::finish(std::vector<VkSceneTransition>& boundaries)
{
    d->reported.clear();
    while (d->next < d->entries.size()) {
        d->decide(d->next, boundaries);
        ++d->next;
    }
    d->commitStretch(boundaries);
    d->endDip(true, boundaries);
    d->flushPending(boundaries);
    d->dropOld();
}

bool VkCutScorer::mayBeCut(int64_t frame) const
{
    for (auto it = d->entries.rbegin(); it != d->entries.rend(); ++it) {
        if (it->frame == frame)
            return it->score >= d->threshold;
    }
    return false;
}

const VkAnalysisPlane* VkCutScorer::plane(int64_t frame) const
{
    for (const auto& picture : d->reported) {
        if (picture.first == frame)
            return &picture.second;
    }
    return d->find(frame);
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
