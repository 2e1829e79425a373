#include "VkSimpleTimeline.h"

#include "VkMediaPaths.h"

#include <vkmedia/VkFrameRenderer.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/VkTimelineSettings.h>

#include <cmath>
#include <mutex>

namespace VkVBLModelInternal {

namespace {
// The clip frame on screen at timeline frame `frame`: floor(frame / timeline rate * clip rate). Exact
// in 64-bit integers for every real frame number and rate; a long double takes over for absurd ones.
qint64 clipFrameFor(qint64 frame, const VkFrameRate& timeline, const VkFrameRate& clip)
{
    qint64 factor = 0;
    qint64 divisor = 0;
    qint64 product = 0;
    if (!__builtin_mul_overflow(clip.num, timeline.den, &factor) &&
        !__builtin_mul_overflow(timeline.num, clip.den, &divisor) &&
        !__builtin_mul_overflow(frame, factor, &product)) {
        const qint64 quotient = product / divisor;
        return (product % divisor != 0 && product < 0) ? quotient - 1 : quotient;
    }
    const long double exact = static_cast<long double>(frame) * clip.num * timeline.den /
                              (static_cast<long double>(timeline.num) * clip.den);
    return static_cast<qint64>(std::floor(exact));
}
} // namespace

class VkSimpleTimeline::Private
{
public:
    IVkClip* clip = nullptr;
    VkFrameRenderer renderer;
    // The timeline's rate, written by the GUI thread and read by whichever thread renders.
    mutable std::mutex settingsMutex;
    VkFrameRate timelineRate;
    VkFrameRate clipRate;
};

VkSimpleTimeline::VkSimpleTimeline(IVkClip* clip)
    : d(std::make_unique<Private>())
{
    d->clip = clip;
    d->clip->AddRef();
    d->clipRate = clip->GetFrameRate();
    // Until the host says otherwise the timeline runs at the clip's own rate, frame for frame.
    d->timelineRate = d->clipRate;
}

VkSimpleTimeline::~VkSimpleTimeline()
{
    d->clip->Release();
}

VkSimpleTimeline* VkSimpleTimeline::create(IVkClip* clip)
{
    if (!clip)
        return nullptr;
    auto* timeline = new VkSimpleTimeline(clip);
    if (!timeline->d->renderer.open(VkMediaPaths::toEngine(clip->GetFilePath()), nullptr)) {
        delete timeline;
        return nullptr;
    }
    return timeline;
}

void VkSimpleTimeline::destroy(VkSimpleTimeline* timeline)
{
    delete timeline;
}

qint64 VkSimpleTimeline::clipFrameAt(qint64 frame) const
{
    std::lock_guard<std::mutex> lock(d->settingsMutex);
    const VkFrameRate tl = d->timelineRate;
    const VkFrameRate clip = d->clipRate;
    if (!tl.isValid() || !clip.isValid() || tl == clip)
        return frame;
    return clipFrameFor(frame, tl, clip);
}

bool VkSimpleTimeline::renderFrame(qint64 frame, int width, int height, uchar* pixels)
{
    // The renderer looks in the shared frame cache first: a scene's first frame that the detector kept
    // is scaled from there instead of being decoded again.
    return d->renderer.renderFrame(clipFrameAt(frame), width, height, pixels);
}

void VkSimpleTimeline::applySettings(const VkTimelineSettings& settings)
{
    // Only the rate changes what a frame number means here; every picture is drawn at the size the
    // caller asks for.
    VkFrameRate rate;
    rate.num = settings.frameRateNum;
    rate.den = settings.frameRateDen;
    if (!rate.isValid())
        return;
    std::lock_guard<std::mutex> lock(d->settingsMutex);
    d->timelineRate = rate;
}

} // namespace VkVBLModelInternal
