#pragma once

#include "VkMediaExport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Draws single frames of a video file, frame-accurately, into caller-owned ARGB32 buffers. Calls may
// come from any thread; they are served one at a time.
class VKMEDIA_EXPORT VkFrameRenderer
{
public:
    VkFrameRenderer();
    ~VkFrameRenderer();
    VkFrameRenderer(const VkFrameRenderer&) = delete;
    VkFrameRenderer& operator=(const VkFrameRenderer&) = delete;

    // Opens the file's video stream for decoding. Bounded: the packet index is built on first use,
    // and so is the decoder when this process has already opened the file (its answer is known).
    bool open(const std::string& path, std::string* error);
    bool isOpen() const;
    // Exact frame count from the packet index (builds it when needed); -1 when it cannot be read.
    int64_t frameCount();

    // Frame `frame` (presentation order, 0-based) scaled to exactly width x height into `pixels`:
    // width * height * 4 bytes, QImage::Format_ARGB32 layout (little-endian: B, G, R, A), stride
    // width * 4. A small copy left in the shared frame cache serves the request when it is at least
    // as large as asked. False with a message, and the buffer untouched, when the frame cannot be
    // decoded.
    bool renderFrame(int64_t frame, int width, int height, uint8_t* pixels, std::string* error = nullptr);

    // Bytes of decoded pictures kept around the latest request (kDefaultDecodedCacheBytes unless
    // set), which makes stepping backwards cheap.
    void setDecodedCacheBytes(size_t bytes);
    // About 80 pictures at 1080p, 1000 at 480p.
    static constexpr size_t kDefaultDecodedCacheBytes = size_t(256) << 20;
    // The size a frame is shown at: the coded size, turned as the file's display matrix says.
    int displayWidth() const;
    int displayHeight() const;
    // Decodes and seeks made so far, for measurements and tests of the seeking strategy.
    int64_t decodedFrames() const;
    int64_t seeks() const;
    // Width of the picture the decoder handed out last, after any reduction; 0 before the first.
    int decodedWidth() const;

private:
    class Private;
    const std::unique_ptr<Private> d;
};
