#include "VkDecodedFrameQueue.h"

#include <algorithm>

namespace vkmedia {

VkDecodedFrameQueue::VkDecodedFrameQueue(size_t capacity)
    : m_capacity(std::max<size_t>(1, capacity))
{}

bool VkDecodedFrameQueue::push(Item item)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    // The final item always finds room, so that a consumer never waits for an end that cannot come.
    m_changed.wait(lock, [&] { return m_closed || m_items.size() < m_capacity || !item.frame; });
    if (m_closed)
        return false;
    m_items.push_back(std::move(item));
    lock.unlock();
    m_changed.notify_all();
    return true;
}

VkDecodedFrameQueue::Item VkDecodedFrameQueue::pop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_closed || !m_items.empty(); });
    if (m_items.empty())
        return Item{nullptr, AVERROR_EXIT};
    Item item = std::move(m_items.front());
    m_items.pop_front();
    lock.unlock();
    m_changed.notify_all();
    return item;
}

void VkDecodedFrameQueue::close()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_items.clear();
    }
    m_changed.notify_all();
}

} // namespace vkmedia
