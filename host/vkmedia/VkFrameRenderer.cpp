#include "VkFrameRenderer.h"

#include <vkcore/VkError.h>

#include "VkDecodedFrameCache.h"
#include "VkFrameCache.h"
#include "VkImageScaler.h"
#include "VkMediaFileKey.h"
#include "VkMediaFileRegistry.h"
#include "VkPacketIndex.h"
#include "VkPictureLimit.h"
#include "VkPictureOrientation.h"
#include "VkVideoSource.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

// Key frames to step back when decoding from the nearest one does not reach the target (pictures
// that refer to the previous group of pictures).
constexpr int kMaxKeyFrameStepsBack = 3;
// numberOf() results besides frame numbers: a picture FFmpeg does not present, and a seek whose
// landing cannot be told (so that counting from it would misnumber every picture).
constexpr int64_t kNotPresented = -1;
constexpr int64_t kUnknownStart = -2;

} // namespace

class VkFrameRenderer::Private
{
public:
    mutable std::mutex mutex;
    std::string path;
    VkMediaFileKey key;
    std::unique_ptr<vkmedia::VkVideoSource> source;
    // The options the source was opened with; a still picture's reduction changes with the size
    // asked for.
    vkmedia::VkVideoSource::Options options;
    bool still = false;
    int decodedWidth = 0;
    std::shared_ptr<const VkPacketIndex> index;
    vkmedia::VkImageScaler scaler;
    vkmedia::VkPictureOrientation orientation;
    vkmedia::FramePtr frame = vkmedia::makeFrame();
    vkmedia::FramePtr turned = vkmedia::makeFrame();
    // The picture last asked for, held even when the kept set has no room for it.
    vkmedia::FramePtr current = vkmedia::makeFrame();
    vkmedia::VkDecodedFrameCache decoded{kDefaultDecodedCacheBytes};
    // The number of the picture the decoder handed out last, -1 when unknown (after a seek, or a
    // failure). Counting numbers the next one from it when timestamps cannot.
    int64_t position = -1;
    // Pictures numbered below this after a seek belong to the group before the key frame (leading
    // pictures a decoder may still hand out) and are not shown.
    int64_t floor = 0;
    // Counting after a seek: the byte position of the key packet aimed at, to check where the
    // demuxer landed.
    int64_t expectedKeyPacket = -1;
    int64_t decodedCount = 0;
    int64_t seekCount = 0;
    int codedWidth = 0;
    int codedHeight = 0;
    // Opened, but the decoder not yet: it opens on the thread that first needs a picture.
    bool sourcePending = false;

    bool ensureIndex(std::string* error)
    {
        if (!index)
            index = VkPacketIndex::get(path, nullptr, error);
        return index != nullptr;
    }
    bool openSource(std::string* error);
    bool ensureSource(std::string* error)
    {
        if (source)
            return true;
        if (!sourcePending)
            return VkError::fail(error, "No file is open");
        sourcePending = false;
        return openSource(error);
    }
    int64_t numberOf(const AVFrame* picture);
    const AVFrame* decodeTo(int64_t target, std::string* error);
    const AVFrame* decodeForward(int64_t target);
    const AVFrame* seekAndDecode(int64_t target);
    void startFrom(int64_t keyPacket);
    bool convert(const AVFrame* picture, int width, int height, uint8_t* pixels);
    bool reduceFor(int width, int height, std::string* error);
};

bool VkFrameRenderer::Private::reduceFor(int width, int height, std::string* error)
{
    // The largest reduction the decoder offers whose picture still covers the request, so that a
    // thumbnail of a 48-megapixel photo never holds the photo at full size.
    const int shownWidth = orientation.swapsSides() ? codedHeight : codedWidth;
    const int shownHeight = orientation.swapsSides() ? codedWidth : codedHeight;
    const int offered = source->codec()->codec ? source->codec()->codec->max_lowres : 0;
    const auto reduced = [](int side, int shift) { return -((-side) >> shift); };
    int wanted = 0;
    while (wanted < offered && reduced(shownWidth, wanted + 1) >= width &&
           reduced(shownHeight, wanted + 1) >= height)
        ++wanted;
    if (wanted == source->lowres())
        return true;
    vkmedia::VkVideoSource::Options reducedOptions = options;
    reducedOptions.maxLowres = wanted;
    auto fresh = std::make_unique<vkmedia::VkVideoSource>();
    if (!fresh->open(path, reducedOptions, error))
        return false;
    source = std::move(fresh);
    options = reducedOptions;
    // Pictures kept from the other size would be shown in place of the new one.
    decoded.clear();
    av_frame_unref(current.get());
    position = -1;
    return true;
}

int64_t VkFrameRenderer::Private::numberOf(const AVFrame* picture)
{
    if (index->numbersByTimestamp()) {
        const int64_t ts = vkmedia::VkVideoSource::frameTimestamp(picture);
        return ts == AV_NOPTS_VALUE ? kNotPresented : index->frameWithPts(ts);
    }
    if (position < 0 && expectedKeyPacket >= 0) {
        // Counting needs to know where it starts: the key packet the demuxer really landed on (it
        // may be another than the one asked for), and whether the decoder hands out that key's
        // leading pictures first or drops them.
        const int64_t landed = index->packetAtPosition(source->firstPacketPosition());
        const int64_t keyNumber = landed >= 0 ? index->keyFrameNumber(landed) : -1;
        if (keyNumber < 0)
            return kUnknownStart;
        const bool isKeyPicture = picture->key_frame || picture->pict_type == AV_PICTURE_TYPE_I;
        floor = keyNumber - index->leadingFrames(landed);
        position = (isKeyPicture ? keyNumber : floor) - 1;
    }
    return position + 1;
}

const AVFrame* VkFrameRenderer::Private::decodeForward(int64_t target)
{
    for (;;) {
        const int rc = source->nextFrame(frame.get());
        if (rc < 0) {
            position = -1;
            return nullptr;
        }
        ++decodedCount;
        decodedWidth = frame->width;
        const int64_t number = numberOf(frame.get());
        expectedKeyPacket = -1;
        if (number == kUnknownStart) {
            av_frame_unref(frame.get());
            position = -1;
            return nullptr;
        }
        if (number < 0 || number < floor) {
            av_frame_unref(frame.get());
            continue;
        }
        position = number;
        // Pictures too far before the target to survive in the kept set are not kept at all: on a
        // long group that spares the memory traffic of pictures that would be dropped at once.
        const uint64_t bytes = vkmedia::VkDecodedFrameCache::bytesOf(frame.get());
        if (number <= target && uint64_t(target - number) * bytes <= decoded.capacity())
            decoded.put(number, frame.get(), target);
        if (number == target) {
            av_frame_unref(current.get());
            av_frame_move_ref(current.get(), frame.get());
            return current.get();
        }
        av_frame_unref(frame.get());
        if (number > target)
            return nullptr;
    }
}

void VkFrameRenderer::Private::startFrom(int64_t keyPacket)
{
    position = -1;
    floor = index->keyFrameNumber(keyPacket) - index->leadingFrames(keyPacket);
    expectedKeyPacket = keyPacket;
}

const AVFrame* VkFrameRenderer::Private::seekAndDecode(int64_t target)
{
    const auto& packets = index->packets();
    for (int step = 0; step <= kMaxKeyFrameStepsBack; ++step) {
        const int64_t keyPacket = index->keyPacketFor(target, step);
        if (keyPacket < 0)
            break;
        const VkPacketIndex::Packet& p = packets[static_cast<size_t>(keyPacket)];
        ++seekCount;
        startFrom(keyPacket);
        if (!source->seekToPacket(p.pts, p.pos, index->prefersByteSeek()))
            continue;
        if (const AVFrame* found = decodeForward(target))
            return found;
    }
    // From the start of the file: the first picture is frame 0.
    const auto fromStart = [this](int64_t wanted) -> const AVFrame* {
        position = -1;
        floor = 0;
        expectedKeyPacket = -1;
        return decodeForward(wanted);
    };
    ++seekCount;
    if (source->rewind()) {
        if (const AVFrame* found = fromStart(target))
            return found;
    }
    // Some demuxers cannot go back at all (a lone JPEG picture ends at once after a seek): start
    // over from a fresh open of the file.
    auto fresh = std::make_unique<vkmedia::VkVideoSource>();
    if (fresh->open(path, options, nullptr)) {
        source = std::move(fresh);
        if (const AVFrame* found = fromStart(target))
            return found;
    }
    position = -1;
    return nullptr;
}

const AVFrame* VkFrameRenderer::Private::decodeTo(int64_t target, std::string* error)
{
    if (const AVFrame* kept = decoded.find(target))
        return kept;
    // Going on from where the decoder stands costs no more than a seek when the target lies ahead
    // in the current group, or when its key frame is the very next picture (playback across a key
    // frame).
    const int64_t keyPacket = index->keyPacketFor(target, 0);
    const int64_t keyFrame = keyPacket >= 0 ? index->keyFrameNumber(keyPacket) : 0;
    if (position >= 0 && position < target && keyFrame <= position + 1) {
        if (const AVFrame* found = decodeForward(target))
            return found;
    }
    if (const AVFrame* found = seekAndDecode(target))
        return found;
    VkError::set(error, "Cannot decode frame " + std::to_string(target) + " of " + path);
    return nullptr;
}

bool VkFrameRenderer::Private::convert(const AVFrame* picture, int width, int height, uint8_t* pixels)
{
    if (orientation.isIdentity())
        return scaler.frameToArgb(picture, width, height, pixels);
    if (orientation.apply(picture, turned.get()))
        return scaler.frameToArgb(turned.get(), width, height, pixels);
    // Planes that cannot be turned as they are (4:2:2 chroma): convert first, then turn the colours.
    vkmedia::FramePtr argb = vkmedia::makeFrame();
    argb->format = AV_PIX_FMT_BGRA;
    argb->width = orientation.swapsSides() ? height : width;
    argb->height = orientation.swapsSides() ? width : height;
    // Alignment 1: rows of exactly width * 4 bytes, as the scaler writes them.
    if (av_frame_get_buffer(argb.get(), 1) < 0 ||
        !scaler.frameToArgb(picture, argb->width, argb->height, argb->data[0]) ||
        !orientation.apply(argb.get(), turned.get()))
        return false;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(turned->data[0] + ptrdiff_t(y) * turned->linesize[0], rowBytes, pixels + y * rowBytes);
    return true;
}

VkFrameRenderer::VkFrameRenderer()
    : d(std::make_unique<Private>())
{}

VkFrameRenderer::~VkFrameRenderer() = default;

bool VkFrameRenderer::Private::openSource(std::string* error)
{
    auto opened = std::make_unique<vkmedia::VkVideoSource>();
    options = vkmedia::VkVideoSource::Options();
    if (!opened->open(path, options, error))
        return false;
    still = vkmedia::isStillPictureFormat(opened->format()->iformat);
    orientation = vkmedia::VkPictureOrientation::ofStream(opened->stream());
    codedWidth = opened->stream()->codecpar->width;
    codedHeight = opened->stream()->codecpar->height;
    source = std::move(opened);
    return true;
}

bool VkFrameRenderer::open(const std::string& path, std::string* error)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->source.reset();
    d->sourcePending = false;
    d->index.reset();
    d->decoded.clear();
    d->position = -1;
    d->decodedWidth = 0;
    if (!VkMediaFileKey::read(path, d->key, error))
        return false;
    d->path = path;
    switch (vkmedia::VkMediaFileRegistry::videoOf(d->key)) {
    case vkmedia::VkMediaFileRegistry::VideoKnowledge::DecodableVideo:
        // An earlier open of this very file version found a video we can decode: the answer is
        // known, and opening the decoder waits for the thread that draws the first picture (the
        // caller may be the GUI thread).
        d->sourcePending = true;
        return true;
    case vkmedia::VkMediaFileRegistry::VideoKnowledge::NoDecodableVideo:
        return VkError::fail(error, "No decodable video stream in " + path);
    case vkmedia::VkMediaFileRegistry::VideoKnowledge::Unknown:
        break;
    }
    return d->openSource(error);
}

bool VkFrameRenderer::isOpen() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->source != nullptr || d->sourcePending;
}

int64_t VkFrameRenderer::frameCount()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->ensureSource(nullptr) || !d->ensureIndex(nullptr))
        return -1;
    return d->index->frameCount();
}

void VkFrameRenderer::setDecodedCacheBytes(size_t bytes)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->decoded.setCapacity(bytes);
}

int VkFrameRenderer::displayWidth() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->ensureSource(nullptr);
    return d->orientation.swapsSides() ? d->codedHeight : d->codedWidth;
}

int VkFrameRenderer::displayHeight() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->ensureSource(nullptr);
    return d->orientation.swapsSides() ? d->codedWidth : d->codedHeight;
}

int64_t VkFrameRenderer::decodedFrames() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->decodedCount;
}

int64_t VkFrameRenderer::seeks() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->seekCount;
}

int VkFrameRenderer::decodedWidth() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->decodedWidth;
}

bool VkFrameRenderer::renderFrame(int64_t frame, int width, int height, uint8_t* pixels, std::string* error)
{
    if (width <= 0 || height <= 0 || !pixels)
        return VkError::fail(error, "Invalid target size or buffer");
    // The converted picture is held once more while it is made: it too stays within the budget.
    if (int64_t(width) * int64_t(height) * 4 > vkmedia::kMaxPictureBytes)
        return VkError::fail(error, "A picture of " + std::to_string(width) + " x " + std::to_string(height) +
                                        " is more than the " +
                                        std::to_string(vkmedia::kMaxPictureBytes >> 20) +
                                        " MB one picture may take");
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->source && !d->sourcePending)
        return VkError::fail(error, "No file is open");
    if (!d->decoded.find(frame)) {
        const auto cached = VkFrameCache::instance().find(d->key, frame);
        if (cached && cached->width >= width && cached->height >= height)
            return d->scaler.argbToArgb(*cached, width, height, pixels);
    }
    if (!d->ensureSource(error) || !d->ensureIndex(error))
        return false;
    if (frame < 0 || frame >= d->index->frameCount())
        return VkError::fail(error, "Frame " + std::to_string(frame) + " is outside the " +
                                        std::to_string(d->index->frameCount()) + " frames of " + d->path);
    if (d->still && !d->reduceFor(width, height, error))
        return false;
    const AVFrame* picture = d->decodeTo(frame, error);
    if (!picture)
        return false;
    // Convert into a scratch picture first so that a failed conversion leaves the caller's buffer as
    // it was.
    std::vector<uint8_t> scratch(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    if (!d->convert(picture, width, height, scratch.data()))
        return VkError::fail(error, "Cannot convert frame " + std::to_string(frame) + " of " + d->path);
    std::copy(scratch.begin(), scratch.end(), pixels);
    return true;
}
