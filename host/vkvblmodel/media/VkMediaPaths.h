#pragma once

#include <QString>

#include <string>

namespace VkVBLModelInternal {

// One spelling of a media path for the whole model: absolute and clean, so an item's paths stay right
// when the host changes its working folder and compare equal for the same file, and handed to the
// engine in the file system's own encoding rather than as UTF-8 by chance.
class VkMediaPaths
{
public:
    // Absolute and clean, with the platform's separators turned into '/'.
    static QString canonical(const QString& path);
    // The canonical path in the file system's own encoding, as the engine opens files.
    static std::string toEngine(const QString& path);
    static QString fromEngine(const std::string& text);

    VkMediaPaths() = delete;
};

} // namespace VkVBLModelInternal
