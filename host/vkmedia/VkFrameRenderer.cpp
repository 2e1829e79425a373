#include "VkFrameRenderer.h"

#include "VkFrameCache.h"
#include "VkImageScaler.h"
#include "VkMediaFileKey.h"
#include "VkPacketIndex.h"
#include "VkPictureLimit.h"
#include "VkVideoSource.h"

#include <mutex>
#include <vector>

namespace {

// Key frames to step back when decoding from the nearest one does not reach the target (pictures
// that refer to the previous group of pictures).
constexpr int kMaxKeyFrameStepsBack = 3;

} // namespace

class VkFrameRenderer::Private
{
public:
    std::mutex mutex;
    std::string path;
    VkMediaFileKey key;
    std::unique_ptr<vkmedia::VkVideoSource> source;
    std::shared_ptr<const VkPacketIndex> index;
    vkmedia::VkImageScaler scaler;
    vkmedia::FramePtr frame = vkmedia::makeFrame();
    // The frame the decoder last handed out, kept so that asking again (at another size) is free.
    vkmedia::FramePtr current = vkmedia::makeFrame();
    int64_t currentFrame = -1;

    bool ensureIndex(std::string* error)
    {
        if (!index)
            index = VkPacketIndex::get(path, nullptr, error);
        return index != nullptr;
    }
    bool decodeTo(int64_t target, std::string* error);
    bool decodeForward(int64_t target);
};

bool VkFrameRenderer::Private::decodeForward(int64_t target)
{
    for (;;) {
        const int rc = source->nextFrame(frame.get());
        if (rc < 0)
            return false;
        const int64_t ts = vkmedia::VkVideoSource::frameTimestamp(frame.get());
        const int64_t number = ts == AV_NOPTS_VALUE ? -1 : index->frameAtPts(ts);
        if (ts == AV_NOPTS_VALUE || ts < index->ptsOfFrame(0))
            continue;
        av_frame_unref(current.get());
        av_frame_move_ref(current.get(), frame.get());
        currentFrame = number;
        if (number == target)
            return true;
        if (number > target)
            return false;
    }
}

bool VkFrameRenderer::Private::decodeTo(int64_t target, std::string* error)
{
    if (currentFrame == target)
        return true;
    const int64_t nearestKey = index->keyPacketFor(target, 0);
    const int64_t keyFrame = nearestKey >= 0 ? index->frameOfPacket(nearestKey) : 0;
    // Going on from where the decoder stands is never slower than seeking when no key frame lies
    // between it and the target.
    if (currentFrame >= 0 && currentFrame < target && keyFrame <= currentFrame) {
        if (decodeForward(target))
            return true;
    }
    const auto& packets = index->packets();
    for (int step = 0; step <= kMaxKeyFrameStepsBack; ++step) {
        const int64_t key = index->keyPacketFor(target, step);
        if (key < 0)
            break;
        const VkPacketIndex::Packet& p = packets[static_cast<size_t>(key)];
        currentFrame = -1;
        if (!source->seekToPacket(p.dts, p.pos, index->prefersByteSeek()))
            continue;
        if (decodeForward(target))
            return true;
    }
    currentFrame = -1;
    if (source->rewind() && decodeForward(target))
        return true;
    // Some demuxers cannot go back at all (a lone JPEG picture ends at once after a seek): start
    // over from a fresh open of the file.
    currentFrame = -1;
    auto fresh = std::make_unique<vkmedia::VkVideoSource>();
    if (fresh->open(path, vkmedia::VkVideoSource::Options(), nullptr)) {
        source = std::move(fresh);
        if (decodeForward(target))
            return true;
    }
    currentFrame = -1;
    if (error)
        *error = "Cannot decode frame " + std::to_string(target) + " of " + path;
    return false;
}

VkFrameRenderer::VkFrameRenderer()
    : d(std::make_unique<Private>())
{}

VkFrameRenderer::~VkFrameRenderer() = default;

bool VkFrameRenderer::open(const std::string& path, std::string* error)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->source.reset();
    d->index.reset();
    d->currentFrame = -1;
    if (!VkMediaFileKey::read(path, d->key, error))
        return false;
    auto source = std::make_unique<vkmedia::VkVideoSource>();
    if (!source->open(path, vkmedia::VkVideoSource::Options(), error))
        return false;
    d->path = path;
    d->source = std::move(source);
    return true;
}

bool VkFrameRenderer::isOpen() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->source != nullptr;
}

int64_t VkFrameRenderer::frameCount()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->source || !d->ensureIndex(nullptr))
        return -1;
    return d->index->frameCount();
}

bool VkFrameRenderer::renderFrame(int64_t frame, int width, int height, uint8_t* pixels, std::string* error)
{
    if (width <= 0 || height <= 0 || !pixels) {
        if (error)
            *error = "Invalid target size or buffer";
        return false;
    }
    // The converted picture is held once more while it is made: it too stays within the budget.
    if (int64_t(width) * int64_t(height) * 4 > vkmedia::kMaxPictureBytes) {
        if (error)
            *error = "A picture of " + std::to_string(width) + " x " + std::to_string(height) +
                     " is more than the " + std::to_string(vkmedia::kMaxPictureBytes >> 20) +
                     " MB one picture may take";
        return false;
    }
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->source) {
        if (error)
            *error = "No file is open";
        return false;
    }
    if (frame != d->currentFrame) {
        const auto cached = VkFrameCache::instance().find(d->key, frame);
        if (cached && cached->width >= width && cached->height >= height)
            return d->scaler.argbToArgb(*cached, width, height, pixels);
    }
    if (!d->ensureIndex(error))
        return false;
    if (frame < 0 || frame >= d->index->frameCount()) {
        if (error)
            *error = "Frame " + std::to_string(frame) + " is outside the " +
                     std::to_string(d->index->frameCount()) + " frames of " + d->path;
        return false;
    }
    if (!d->decodeTo(frame, error))
        return false;
    // Convert into a scratch picture first so that a failed conversion leaves the caller's buffer as
    // it was.
    std::vector<uint8_t> scratch(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    if (!d->scaler.frameToArgb(d->current.get(), width, height, scratch.data())) {
        if (error)
            *error = "Cannot convert frame " + std::to_string(frame) + " of " + d->path;
        return false;
    }
    std::copy(scratch.begin(), scratch.end(), pixels);
    return true;
}
