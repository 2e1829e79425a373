#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "VkFFmpegPtr.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace vkmedia {

// The largest picture the engine decodes: 2^27 pixels (16384 x 8192, 512 MiB as ARGB), above the
// largest camera sensors and ordinary panoramas. A damaged or hostile header can declare any size;
// without a limit the first decoded frame would allocate whatever it claims.
constexpr int64_t kMaxPicturePixels = int64_t(1) << 27;

// True when a declared size is one the engine will decode.
bool isPictureSizeAllowed(int width, int height);

// avformat_find_stream_info() with the decoders it opens held to kMaxPicturePixels, so that
// reading a picture's facts never decodes one larger than that.
int findStreamInfo(AVFormatContext* format);

// Opens `path` and reads its streams' facts through findStreamInfo(). `cancel`, when given, aborts a
// blocking read once it is set. Null, with a message, when the file cannot be opened or read.
FormatPtr openInput(const std::string& path, const std::atomic<bool>* cancel, std::string* error);

// Applies the same limit to a decoder before it is opened.
void limitPictureSize(AVCodecContext* codec);

// The message for a stream whose picture size is out of bounds or unknown.
std::string pictureSizeError(const std::string& path, int width, int height);

} // namespace vkmedia
