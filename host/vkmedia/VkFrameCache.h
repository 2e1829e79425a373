#pragma once

#include "VkFrameImage.h"
#include "VkMediaExport.h"
#include "VkMediaFileKey.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Small copies of single frames, shared by every renderer and scene detector in the process. The
// detector leaves the first frame of each scene here while it decodes, so that the thumbnail of a
// finished scene is a lookup and a scale instead of a second seek and decode. Thread-safe; the lock
// is only held for the map operations.
class VKMEDIA_EXPORT VkFrameCache
{
public:
    static VkFrameCache& instance();

    ~VkFrameCache();
    VkFrameCache(const VkFrameCache&) = delete;
    VkFrameCache& operator=(const VkFrameCache&) = delete;

    void put(const VkMediaFileKey& file, int64_t frame, std::shared_ptr<const VkFrameImage> image);
    // The cached copy, or null. Counts a hit or a miss.
    std::shared_ptr<const VkFrameImage> find(const VkMediaFileKey& file, int64_t frame) const;
    // The most pictures kept; the least recently used go first.
    void setCapacity(size_t pictures);
    size_t size() const;
    void clear();
    uint64_t hits() const;
    uint64_t misses() const;

private:
    VkFrameCache();
    class Private;
    const std::unique_ptr<Private> d;
};
