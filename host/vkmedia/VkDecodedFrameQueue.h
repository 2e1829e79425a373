#pragma once

#include "VkFFmpegPtr.h"
#include "VkMediaExport.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace vkmedia {

// Hands decoded frames from a decoding thread to an analysing one.
//
// Bounded, so that memory stays flat in the length of the clip: the decoder waits while the analysis
// is behind. The stream ends with one item without a frame that carries the decoder's last result
// (AVERROR_EOF, AVERROR_EXIT for a stop, or an error). The consumer closes the queue when it gives
// up early, which releases a waiting producer and makes every later push fail.
class VKMEDIA_EXPORT VkDecodedFrameQueue
{
public:
    struct Item
    {
        FramePtr frame;
        // 0 with a frame; the decoder's final result without one.
        int result = 0;
    };

    explicit VkDecodedFrameQueue(size_t capacity);

    // Waits for room; false once the queue is closed (the item is dropped).
    bool push(Item item);
    // Waits for an item. A closed, empty queue gives an item with AVERROR_EXIT.
    Item pop();
    void close();

private:
    const size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    bool m_closed = false;
};

} // namespace vkmedia
