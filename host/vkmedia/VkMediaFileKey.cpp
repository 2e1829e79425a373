#include "VkMediaFileKey.h"

#include <vkcore/VkError.h>

#include <chrono>
#include <filesystem>
#include <system_error>

bool VkMediaFileKey::read(const std::string& path, VkMediaFileKey& key, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(path);
    const fs::file_status status = fs::status(p, ec);
    if (ec || !fs::is_regular_file(status))
        return VkError::fail(error, "Not a readable file: " + path);
    const auto size = fs::file_size(p, ec);
    if (ec)
        return VkError::fail(error, "Cannot read the size of " + path + ": " + ec.message());
    const auto modified = fs::last_write_time(p, ec);
    if (ec)
        return VkError::fail(error, "Cannot read the modification time of " + path + ": " + ec.message());
    const fs::path canonical = fs::weakly_canonical(p, ec);
    key.path = ec ? path : canonical.string();
    key.size = static_cast<int64_t>(size);
    key.modifiedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return true;
}
