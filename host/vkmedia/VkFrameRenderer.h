#pragma once

#include "VkMediaExport.h"

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

    // Opens the file's video stream for decoding. Bounded: the packet index is built on first use.
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

private:
    class Private;
    const std::unique_ptr<Private> d;
};
