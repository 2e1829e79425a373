#pragma once

#include "VkMediaExport.h"

namespace vkmedia {

// Sends FFmpeg's own log into the engine's Qt logging category "vk.media.ffmpeg" instead of the
// host's stderr. A damaged stream makes the decoders report hundreds of lines that mean nothing to a
// user, so only FFmpeg's fatal messages are shown by default; its errors and warnings appear with
// QT_LOGGING_RULES="vk.media.ffmpeg.warning=true" (and its notes with ".info", ".debug").
class VKMEDIA_EXPORT VkFFmpegLog
{
public:
    // Installs the routing once per process; every entry into FFmpeg calls it first. Thread-safe.
    static void install();

    VkFFmpegLog() = delete;
};

} // namespace vkmedia
