#include "VkPictureLimit.h"

extern "C" {
#include <libavutil/dict.h>
}

#include <vector>

namespace vkmedia {

namespace {

int interruptCallback(void* opaque)
{
    const auto* cancel = static_cast<const std::atomic<bool>*>(opaque);
    return cancel && cancel->load(std::memory_order_relaxed) ? 1 : 0;
}

} // namespace

bool isPictureSizeAllowed(int width, int height)
{
    return width > 0 && height > 0 && int64_t(width) * int64_t(height) <= kMaxPicturePixels;
}

int findStreamInfo(AVFormatContext* format)
{
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

FormatPtr openInput(const std::string& path, const std::atomic<bool>* cancel, std::string* error)
{
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        if (error)
            *error = "Out of memory";
        return nullptr;
    }
    raw->interrupt_callback.callback = interruptCallback;
    raw->interrupt_callback.opaque = const_cast<std::atomic<bool>*>(cancel);
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        if (error)
            *error = "Cannot open " + path + ": " + errorText(rc);
        return nullptr;
    }
    FormatPtr format(raw);
    rc = findStreamInfo(format.get());
    if (rc < 0) {
        if (error)
            *error = "Cannot read the streams of " + path + ": " + errorText(rc);
        return nullptr;
    }
    return format;
}

void limitPictureSize(AVCodecContext* codec)
{
    codec->max_pixels = kMaxPicturePixels;
}

std::string pictureSizeError(const std::string& path, int width, int height)
{
    if (width <= 0 || height <= 0)
        return "The picture size of " + path +
               " cannot be read (a damaged header, or a picture larger than " +
               std::to_string(kMaxPicturePixels) + " pixels)";
    return "The picture of " + path + " is " + std::to_string(width) + " x " + std::to_string(height) +
           ", larger than the " + std::to_string(kMaxPicturePixels) + " pixels that can be decoded";
}

} // namespace vkmedia
