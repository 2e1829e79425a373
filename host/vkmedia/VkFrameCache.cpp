#include "VkFrameCache.h"

#include <atomic>
#include <list>
#include <map>
#include <mutex>
#include <utility>

namespace {

// A scene list shows a few dozen thumbnails; at the detector's thumbnail size this stays below 10 MB.
constexpr size_t kDefaultCapacity = 64;

} // namespace

class VkFrameCache::Private
{
public:
    using Key = std::pair<VkMediaFileKey, int64_t>;
    struct Entry
    {
        Key key;
        std::shared_ptr<const VkFrameImage> image;
    };

    mutable std::mutex mutex;
    // Most recently used first; the map points into it.
    mutable std::list<Entry> order;
    std::map<Key, std::list<Entry>::iterator> lookup;
    size_t capacity = kDefaultCapacity;
    mutable std::atomic<uint64_t> hits{0};
    mutable std::atomic<uint64_t> misses{0};

    void trim()
    {
        while (order.size() > capacity) {
            lookup.erase(order.back().key);
            order.pop_back();
        }
    }
};

VkFrameCache& VkFrameCache::instance()
{
    static VkFrameCache cache;
    return cache;
}

VkFrameCache::VkFrameCache()
    : d(std::make_unique<Private>())
{}

VkFrameCache::~VkFrameCache() = default;

void VkFrameCache::put(const VkMediaFileKey& file, int64_t frame, std::shared_ptr<const VkFrameImage> image)
{
    if (!image || image->width <= 0 || image->height <= 0)
        return;
    Private::Key key(file, frame);
    std::lock_guard<std::mutex> lock(d->mutex);
    const auto found = d->lookup.find(key);
    if (found != d->lookup.end()) {
        found->second->image = std::move(image);
        d->order.splice(d->order.begin(), d->order, found->second);
        return;
    }
    d->order.push_front(Private::Entry{key, std::move(image)});
    d->lookup.emplace(std::move(key), d->order.begin());
    d->trim();
}

std::shared_ptr<const VkFrameImage> VkFrameCache::find(const VkMediaFileKey& file, int64_t frame) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const auto found = d->lookup.find(Private::Key(file, frame));
    if (found == d->lookup.end()) {
        ++d->misses;
        return nullptr;
    }
    ++d->hits;
    d->order.splice(d->order.begin(), d->order, found->second);
    return found->second->image;
}

void VkFrameCache::setCapacity(size_t pictures)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->capacity = pictures;
    d->trim();
}

size_t VkFrameCache::size() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->order.size();
}

void VkFrameCache::clear()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->order.clear();
    d->lookup.clear();
}

uint64_t VkFrameCache::hits() const
{
    return d->hits.load();
}

uint64_t VkFrameCache::misses() const
{
    return d->misses.load();
}
