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

// The largest picture the engine decodes: 2^27 pixels (16384 x 8192), above the largest camera
// sensors and ordinary panoramas. A damaged or hostile header can declare any size; without a limit
// the first decoded frame would allocate whatever it claims.
constexpr int64_t kMaxPicturePixels = int64_t(1) << 27;

// The most memory one picture may take, decoded or converted: 256 MiB. Pixels alone do not bound
// it: 2^27 pixels are 192 MiB as 8-bit 4:2:0 but 1 GiB as 16-bit RGBA.
constexpr int64_t kMaxPictureBytes = int64_t(256) << 20;

// True when a declared size is one the engine will decode.
bool isPictureSizeAllowed(int width, int height);

// True for FFmpeg's demuxers of single pictures (image2 and the *_pipe family).
bool isStillPictureFormat(const AVInputFormat* format);

// Bytes of one decoded picture of that size and pixel format (AVPixelFormat), counting every plane
// at its bit depth with rows and height rounded up as FFmpeg's decoders allocate them; -1 when the
// format is unknown or the size invalid.
int64_t pictureBytes(int width, int height, int pixelFormat);

// True when the picture stays within both the pixel cap and the byte budget. An unknown format
// (AV_PIX_FMT_NONE) is judged by its size alone; the decoders check again once they know it.
bool isPictureAllowed(int width, int height, int pixelFormat);

// avformat_find_stream_info() with the decoders it opens held to kMaxPicturePixels, so that
// reading a picture's facts never decodes one larger than that.
int findStreamInfo(AVFormatContext* format);

// For still pictures (image2 and the *_pipe formats), whose size is only known once a decoder has
// read the header: reads it without allocating the picture, refuses a picture over the limits with
// a message, and hands the size and format to `format` so that findStreamInfo() need not decode the
// picture at all. True for every other format.
bool checkStillPicture(AVFormatContext* format, const std::string& path, std::string* error);

// The address FFmpeg is given for a file: the name behind the "file:" protocol, so that a name such
// as "concat:a.mp4" or "pipe:0" is that file, never another protocol.
std::string fileUrl(const std::string& path);

// Opens `path` with its streams' facts known: read by findStreamInfo() on the first open of this
// version of the file, taken from VkMediaFileRegistry on every later one. `cancel`, when given,
// aborts a blocking read once it is set. Null, with a message, when the file cannot be opened or
// read.
FormatPtr openInput(const std::string& path, const std::atomic<bool>* cancel, std::string* error);

// Only the demuxer's own header read, with checkStillPicture(): no stream is decoded. `knownFormat`
// (null: probe for it) skips guessing the container of a file opened before.
FormatPtr openDemuxer(const std::string& path, const AVInputFormat* knownFormat,
                      const std::atomic<bool>* cancel, std::string* error);

// Applies the same limits to a decoder before it is opened: the pixel cap, and a frame allocator
// that refuses any picture above kMaxPictureBytes (a later packet may change the size or format).
void limitPictureSize(AVCodecContext* codec);

// Makes FFmpeg's allocator refuse any single block above kMaxPictureBytes, which also holds the
// decoders that avformat_find_stream_info() opens internally. Once per process; every entry point
// above calls it.
void applyAllocationBudget();

// The message for a stream whose picture size is out of bounds or unknown.
std::string pictureSizeError(const std::string& path, int width, int height, int pixelFormat = -1);

} // namespace vkmedia
