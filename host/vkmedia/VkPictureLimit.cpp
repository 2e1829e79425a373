#include "VkPictureLimit.h"

#include "VkMediaFileRegistry.h"
#include <vkcore/VkError.h>

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>
#include <mutex>
#include <vector>

namespace vkmedia {

namespace {

// Decoders allocate rows and heights rounded up (to SIMD widths and macroblock edges); counting
// with these margins keeps the estimate at or above what they really take.
constexpr int kRowAlign = 64;
constexpr int kHeightAlign = 32;
constexpr int kBytesPerMiB = 1 << 20;
// Packets read while looking for a still picture's first one.
constexpr int kMaxPeekPackets = 16;

int interruptCallback(void* opaque)
{
    const auto* cancel = static_cast<const std::atomic<bool>*>(opaque);
    return cancel && cancel->load(std::memory_order_relaxed) ? 1 : 0;
}

int roundUp(int value, int step)
{
    return (value + step - 1) / step * step;
}

int boundedGetBuffer(AVCodecContext* codec, AVFrame* frame, int flags)
{
    if (codec->codec_type == AVMEDIA_TYPE_VIDEO &&
        !isPictureAllowed(frame->width, frame->height, frame->format))
        return AVERROR(ENOMEM);
    return avcodec_default_get_buffer2(codec, frame, flags);
}

// Our frame allocators keep no state between calls and may run on FFmpeg's decoder threads. Before
// libavcodec 60 a decoder that is not told so hands every allocation to one thread, which slows frame
// threading down.
void installGetBuffer(AVCodecContext* codec, int (*getBuffer)(AVCodecContext*, AVFrame*, int))
{
    codec->get_buffer2 = getBuffer;
#if LIBAVCODEC_VERSION_MAJOR < 60
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    codec->thread_safe_callbacks = 1;
#pragma GCC diagnostic pop
#endif
}

struct PictureShape
{
    int width = 0;
    int height = 0;
    int format = AV_PIX_FMT_NONE;
};

// Learns the shape of the picture the decoder is about to allocate, and refuses it: the header has
// been read, the pixels are not wanted.
int recordAndRefuse(AVCodecContext* codec, AVFrame* frame, int /*flags*/)
{
    auto* shape = static_cast<PictureShape*>(codec->opaque);
    shape->width = frame->width;
    shape->height = frame->height;
    shape->format = frame->format;
    return AVERROR(ENOMEM);
}

// The shape a still picture declares, from a second, short-lived reader of the same file whose
// decoder stops at the frame allocation. False when nothing could be learnt.
bool peekStillPicture(AVFormatContext* format, int streamIndex, PictureShape& shape)
{
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return false;
    raw->interrupt_callback = format->interrupt_callback;
    if (avformat_open_input(&raw, format->url, format->iformat, nullptr) < 0)
        return false;
    FormatPtr peek(raw);
    if (streamIndex >= static_cast<int>(peek->nb_streams))
        return false;
    const AVCodec* decoder = avcodec_find_decoder(peek->streams[streamIndex]->codecpar->codec_id);
    CodecPtr codec(decoder ? avcodec_alloc_context3(decoder) : nullptr);
    if (!codec || avcodec_parameters_to_context(codec.get(), peek->streams[streamIndex]->codecpar) < 0)
        return false;
    codec->opaque = &shape;
    installGetBuffer(codec.get(), recordAndRefuse);
    codec->thread_count = 1;
    codec->thread_type = 0;
    codec->max_pixels = kMaxPicturePixels;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return false;
    PacketPtr packet = makePacket();
    for (int i = 0; i < kMaxPeekPackets && shape.width <= 0; ++i) {
        if (av_read_frame(peek.get(), packet.get()) < 0)
            break;
        PacketUnref unref(packet.get());
        if (packet->stream_index != streamIndex)
            continue;
        avcodec_send_packet(codec.get(), packet.get());
        // A decoder that stopped before its allocation (a size it refuses itself) still says what
        // the header declared.
        if (shape.width <= 0 && codec->width > 0 && codec->height > 0) {
            shape.width = codec->width;
            shape.height = codec->height;
            shape.format = codec->pix_fmt;
        }
    }
    return shape.width > 0 && shape.height > 0;
}

} // namespace

bool isStillPictureFormat(const AVInputFormat* format)
{
    const char* name = format->name;
    const size_t length = std::strlen(name);
    const char* pipe = "_pipe";
    const size_t pipeLength = std::strlen(pipe);
    return std::strcmp(name, "image2") == 0 ||
           (length > pipeLength && std::strcmp(name + length - pipeLength, pipe) == 0);
}

bool isPictureSizeAllowed(int width, int height)
{
    return width > 0 && height > 0 && int64_t(width) * int64_t(height) <= kMaxPicturePixels;
}

int64_t pictureBytes(int width, int height, int pixelFormat)
{
    if (width <= 0 || height <= 0 || !av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pixelFormat)))
        return -1;
    const int paddedWidth = roundUp(width, kRowAlign);
    const int paddedHeight = roundUp(height, kHeightAlign);
    // av_image_get_buffer_size() works in int: count each plane in 64 bits instead.
    int linesizes[4] = {};
    if (av_image_fill_linesizes(linesizes, static_cast<AVPixelFormat>(pixelFormat), paddedWidth) < 0)
        return -1;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pixelFormat));
    int64_t bytes = 0;
    for (int plane = 0; plane < 4; ++plane) {
        if (linesizes[plane] <= 0)
            continue;
        const bool chroma = plane == 1 || plane == 2;
        const int64_t rows = chroma ? -((-int64_t(paddedHeight)) >> desc->log2_chroma_h) : paddedHeight;
        // One row more per plane: decoders pad each plane's buffer for their SIMD reads past the end.
        bytes += int64_t(linesizes[plane]) * (rows + 1);
    }
    return bytes;
}

bool isPictureAllowed(int width, int height, int pixelFormat)
{
    if (!isPictureSizeAllowed(width, height))
        return false;
    if (pixelFormat == AV_PIX_FMT_NONE)
        return true;
    const int64_t bytes = pictureBytes(width, height, pixelFormat);
    return bytes > 0 && bytes <= kMaxPictureBytes;
}

void applyAllocationBudget()
{
    static std::once_flag once;
    std::call_once(once, [] { av_max_alloc(static_cast<size_t>(kMaxPictureBytes)); });
}

int findStreamInfo(AVFormatContext* format)
{
    applyAllocationBudget();
    // One option set per stream, as avformat_find_stream_info() expects; each holds max_pixels for
    // the decoder it opens to find the stream's parameters.
    std::vector<AVDictionary*> options(format->nb_streams, nullptr);
    for (AVDictionary*& o : options)
        av_dict_set_int(&o, "max_pixels", kMaxPicturePixels, 0);
    const int rc = avformat_find_stream_info(format, options.empty() ? nullptr : options.data());
    for (AVDictionary*& o : options)
        av_dict_free(&o);
    return rc;
}

bool checkStillPicture(AVFormatContext* format, const std::string& path, std::string* error)
{
    applyAllocationBudget();
    if (!isStillPictureFormat(format->iformat))
        return true;
    const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0)
        return true;
    PictureShape shape;
    if (!peekStillPicture(format, stream, shape))
        return true;
    if (!isPictureAllowed(shape.width, shape.height, shape.format))
        return VkError::fail(error, pictureSizeError(path, shape.width, shape.height, shape.format));
    AVCodecParameters* par = format->streams[stream]->codecpar;
    par->width = shape.width;
    par->height = shape.height;
    if (shape.format != AV_PIX_FMT_NONE)
        par->format = shape.format;
    return true;
}

std::string fileUrl(const std::string& path)
{
    return "file:" + path;
}

FormatPtr openDemuxer(const std::string& path, const AVInputFormat* knownFormat,
                      const std::atomic<bool>* cancel, std::string* error)
{
    applyAllocationBudget();
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        VkError::set(error, "Out of memory");
        return nullptr;
    }
    raw->interrupt_callback.callback = interruptCallback;
    raw->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(cancel);
    const int rc = avformat_open_input(&raw, fileUrl(path).c_str(), knownFormat, nullptr);
    if (rc < 0) {
        VkError::set(error, "Not a media file we can read: " + path + " (" + errorText(rc) + ")");
        return nullptr;
    }
    FormatPtr format(raw);
    if (!checkStillPicture(format.get(), path, error))
        return nullptr;
    return format;
}

FormatPtr openInput(const std::string& path, const std::atomic<bool>* cancel, std::string* error)
{
    return VkMediaFileRegistry::open(path, cancel, error);
}

void limitPictureSize(AVCodecContext* codec)
{
    applyAllocationBudget();
    codec->max_pixels = kMaxPicturePixels;
    installGetBuffer(codec, boundedGetBuffer);
}

std::string pictureSizeError(const std::string& path, int width, int height, int pixelFormat)
{
    if (width <= 0 || height <= 0)
        return "The picture size of " + path +
               " cannot be read (a damaged header, or a picture larger than " +
               std::to_string(kMaxPicturePixels) + " pixels)";
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (!isPictureSizeAllowed(width, height))
        return "The picture of " + path + " is " + size + ", larger than the " +
               std::to_string(kMaxPicturePixels) + " pixels that can be decoded";
    const char* formatName = av_get_pix_fmt_name(static_cast<AVPixelFormat>(pixelFormat));
    const int64_t bytes = pictureBytes(width, height, pixelFormat);
    return "The picture of " + path + " is " + size + (formatName ? std::string(" ") + formatName : "") +
           ", " + std::to_string((bytes + kBytesPerMiB - 1) / kBytesPerMiB) +
           " MB once decoded, more than the " + std::to_string(kMaxPictureBytes / kBytesPerMiB) +
           " MB one picture may take";
}

} // namespace vkmedia
