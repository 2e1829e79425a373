// libFuzzer entry for the media engine: every input is written to a file and read the way the
// dialogs read a user's file: probed, then, when it has video, opened for rendering and its first
// frames (and its last) decoded at a small size.

#include "VkFrameCache.h"
#include "VkFrameRenderer.h"
#include "VkMediaFileRegistry.h"
#include "VkMediaProbe.h"
#include "VkPacketIndex.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A thumbnail-sized target keeps each input's scaling cheap; the decoder still works at full size.
constexpr int kTargetWidth = 32;
constexpr int kTargetHeight = 18;
// The first frames exercise the decoder's start-up, the last one the seek through the index.
constexpr int64_t kLeadingFrames = 3;

std::string& inputPath()
{
    static std::string path;
    return path;
}

bool writeInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(inputPath().c_str(), "wb");
    if (!file)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Damaged input makes FFmpeg talk a lot; only crashes and sanitizer reports matter here.
    av_log_set_level(AV_LOG_QUIET);
    const char* tmp = std::getenv("TMPDIR");
    inputPath() = std::string(tmp && *tmp ? tmp : "/tmp") + "/vkmedia_fuzz_" + std::to_string(getpid());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!writeInput(data, size))
        return 0;
    // Each input rewrites the same file, possibly within one tick of the file system's clock and at
    // the same size: cached indexes and pictures of the previous input must not be served for it.
    VkPacketIndex::clearCache();
    vkmedia::VkMediaFileRegistry::clear();
    VkFrameCache::instance().clear();

    VkMediaProbeResult facts;
    std::string error;
    if (!VkMediaProbe::probe(inputPath(), facts, &error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    if (!(facts.streamFlags & (VkMediaProbeResult::Video | VkMediaProbeResult::Image)))
        return 0;

    VkFrameRenderer renderer;
    if (!renderer.open(inputPath(), &error))
        return 0;
    std::vector<uint8_t> pixels(static_cast<size_t>(kTargetWidth) * kTargetHeight * 4);
    const int64_t frames = renderer.frameCount();
    for (int64_t frame = 0; frame < frames && frame < kLeadingFrames; ++frame)
        renderer.renderFrame(frame, kTargetWidth, kTargetHeight, pixels.data(), nullptr);
    if (frames > kLeadingFrames)
        renderer.renderFrame(frames - 1, kTargetWidth, kTargetHeight, pixels.data(), nullptr);
    return 0;
}
