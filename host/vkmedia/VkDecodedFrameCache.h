#pragma once

#include "VkFFmpegPtr.h"
#include "VkMediaExport.h"

#include <cstddef>
#include <cstdint>
#include <map>

namespace vkmedia {

// Decoded pictures of one stream around the position a renderer works at, keyed by frame number and
// bounded by the bytes they hold. The pictures are references to the decoder's own buffers, so
// keeping one costs no copy; stepping back through a group of pictures then costs a conversion per
// step instead of a decode from the key frame. When full, the pictures farthest from the latest
// request go first. Not thread-safe: its renderer serialises the calls.
class VKMEDIA_EXPORT VkDecodedFrameCache
{
public:
    explicit VkDecodedFrameCache(size_t capacityBytes);
    ~VkDecodedFrameCache();
    VkDecodedFrameCache(const VkDecodedFrameCache&) = delete;
    VkDecodedFrameCache& operator=(const VkDecodedFrameCache&) = delete;

    // Keeps a reference to `frame` as frame `number`; `position` is the frame asked for now, which
    // decides what goes when the bytes run out. A picture larger than the whole budget is not kept.
    void put(int64_t number, const AVFrame* frame, int64_t position);
    // The kept picture, or null.
    const AVFrame* find(int64_t number) const;
    void clear();
    void setCapacity(size_t bytes);
    size_t capacity() const { return m_capacity; }
    size_t bytes() const { return m_bytes; }
    size_t count() const { return m_frames.size(); }

    // The bytes a decoded picture holds in its buffers.
    static size_t bytesOf(const AVFrame* frame);

private:
    void trim(int64_t position);

    std::map<int64_t, FramePtr> m_frames;
    size_t m_capacity;
    size_t m_bytes = 0;
};

} // namespace vkmedia
