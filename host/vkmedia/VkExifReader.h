#pragma once

#include "VkRational.h"

#include <string>

namespace vkmedia {

// Camera facts of a picture's EXIF block, read with Exiv2.
class VkExifReader
{
public:
    struct Facts
    {
        std::string maker;
        std::string model;
        VkRational exposureTime;
    };

    // False when the file has no readable EXIF block; `facts` is then left empty.
    static bool read(const std::string& path, Facts& facts);

    VkExifReader() = delete;
};

} // namespace vkmedia
