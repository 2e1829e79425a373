#pragma once

#include "VkMediaExport.h"

#include <cstdint>
#include <string>

// Identifies one version of a file: a file rewritten in place gets a new key, so nothing cached
// for its old content is ever served for the new one.
struct VKMEDIA_EXPORT VkMediaFileKey
{
    std::string path;
    int64_t size = -1;
    int64_t modifiedNs = 0;

    // False when the file cannot be read (missing, not a regular file).
    static bool read(const std::string& path, VkMediaFileKey& key, std::string* error);

    friend bool operator==(const VkMediaFileKey& a, const VkMediaFileKey& b)
    {
        return a.path == b.path && a.size == b.size && a.modifiedNs == b.modifiedNs;
    }
    friend bool operator<(const VkMediaFileKey& a, const VkMediaFileKey& b)
    {
        if (a.path != b.path)
            return a.path < b.path;
        if (a.size != b.size)
            return a.size < b.size;
        return a.modifiedNs < b.modifiedNs;
    }
};
