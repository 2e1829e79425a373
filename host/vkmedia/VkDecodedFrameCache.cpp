#include "VkDecodedFrameCache.h"

namespace vkmedia {

VkDecodedFrameCache::VkDecodedFrameCache(size_t capacityBytes)
    : m_capacity(capacityBytes)
{}

VkDecodedFrameCache::~VkDecodedFrameCache() = default;

size_t VkDecodedFrameCache::bytesOf(const AVFrame* frame)
{
    size_t total = 0;
    for (const AVBufferRef* buffer : frame->buf) {
        if (buffer)
            total += buffer->size;
    }
    for (int i = 0; i < frame->nb_extended_buf; ++i)
        total += frame->extended_buf[i]->size;
    return total;
}

void VkDecodedFrameCache::put(int64_t number, const AVFrame* frame, int64_t position)
{
    const size_t size = bytesOf(frame);
    if (size == 0 || size > m_capacity)
        return;
    FramePtr copy = makeFrame();
    if (!copy || av_frame_ref(copy.get(), frame) < 0)
        return;
    auto found = m_frames.find(number);
    if (found != m_frames.end()) {
        m_bytes -= bytesOf(found->second.get());
        found->second = std::move(copy);
    } else {
        m_frames.emplace(number, std::move(copy));
    }
    m_bytes += size;
    trim(position);
}

const AVFrame* VkDecodedFrameCache::find(int64_t number) const
{
    const auto found = m_frames.find(number);
    return found == m_frames.end() ? nullptr : found->second.get();
}

void VkDecodedFrameCache::clear()
{
    m_frames.clear();
    m_bytes = 0;
}

void VkDecodedFrameCache::setCapacity(size_t bytes)
{
    m_capacity = bytes;
    trim(m_frames.empty() ? 0 : m_frames.rbegin()->first);
}

void VkDecodedFrameCache::trim(int64_t position)
{
    while (m_bytes > m_capacity && !m_frames.empty()) {
        // The farthest picture is at one end of the ordered map.
        auto first = m_frames.begin();
        auto last = std::prev(m_frames.end());
        const bool dropFirst = position - first->first >= last->first - position;
        auto victim = dropFirst ? first : last;
        m_bytes -= bytesOf(victim->second.get());
        m_frames.erase(victim);
    }
}

} // namespace vkmedia
