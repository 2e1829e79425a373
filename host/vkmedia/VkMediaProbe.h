#pragma once

#include "VkMediaExport.h"
#include "VkMediaProbeResult.h"

#include <string>

// Reads the facts of a media file: streams, exact frame count, rates, codecs, colour transfer and,
// for still images, their EXIF camera data. Bounded in time for containers whose header holds the
// frame count; the others are scanned once (demux only) and the scan is shared through the packet
// index cache.
class VKMEDIA_EXPORT VkMediaProbe
{
public:
    // False with a message in `error` when the file is not media we can read.
    static bool probe(const std::string& path, VkMediaProbeResult& result, std::string* error);

    // Readable name of an FFmpeg transfer characteristic (AVColorTransferCharacteristic value).
    static std::string transferName(int transfer);

    VkMediaProbe() = delete;
};
