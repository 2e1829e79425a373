#pragma once

#include "VkFFmpegPtr.h"
#include "VkMediaExport.h"
#include "VkMediaFileKey.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vkmedia {

// What opening a file taught us, kept once per process for each file version: the demuxer that
// reads it and every stream's codec parameters, rates and timings as avformat_find_stream_info()
// found them. That call decodes frames of every stream (several 1080p pictures for a camera clip),
// and the media item, the timeline, the player and the scene detector all open the same clip: only
// the first open pays for it. Every later open gets a demuxer of its own (demuxer state is never
// shared between threads) with its streams filled from what was learnt.
//
// Thread-safe. Opens of the same file version that race are served one after the other, so that
// the file is still probed once. A file rewritten in place has a new key and is probed again; the
// least recently used versions are forgotten beyond kMaxEntries.
class VKMEDIA_EXPORT VkMediaFileRegistry
{
public:
    // Enough for the clips an editor's open dialogs, player and detectors work on at once; an entry
    // holds codec parameters only (a few hundred bytes per stream).
    static constexpr size_t kMaxEntries = 64;

    // A demuxer for `path` whose streams' facts are known, reading from the first packet. `cancel`,
    // when given, aborts a blocking read once set. Null with a message when the file cannot be
    // opened or read.
    static FormatPtr open(const std::string& path, const std::atomic<bool>* cancel, std::string* error);

    // What the registry knows about the video of one file version.
    enum class VideoKnowledge
    {
        Unknown,
        NoDecodableVideo,
        DecodableVideo,
    };
    static VideoKnowledge videoOf(const VkMediaFileKey& key);

    // How many times this process ran the full stream probe (avformat_find_stream_info) on a file.
    static int64_t streamProbeCount();
    // Forgets every file (for callers that rewrite one file faster than its time stamp moves).
    static void clear();

    VkMediaFileRegistry() = delete;
};

} // namespace vkmedia
