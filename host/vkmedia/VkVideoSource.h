#pragma once

#include "VkFFmpegPtr.h"
#include "VkMediaExport.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace vkmedia {

// The video stream of one file, opened for decoding: a demuxer, a decoder and the loop that turns
// packets into frames. The renderer and the scene detector each own one; it is not shared between
// threads.
class VKMEDIA_EXPORT VkVideoSource
{
public:
    struct Options
    {
        // 0 lets FFmpeg choose (one thread per core and one more, at most kMaxDecoderThreads); larger
        // requests are held to the same bound.
        int threads = 0;
        // Pictures of fewer pixels decode on one thread whatever `threads` says: a frame thread's
        // hand-over costs more than such a picture's decoding. 0: no such bound.
        int64_t singleThreadBelowPixels = 0;
        // Analysis may skip work that only the look of a picture needs (deblocking, exact IDCT) and
        // decode at a reduced size where the codec can.
        bool fastAnalysis = false;
        // Largest reduction (as a power of two) the decoder may apply where the codec can (JPEG:
        // 1/2, 1/4 or 1/8 of each side, in its DCT): for analysis, and for pictures shown smaller.
        int maxLowres = 0;
        // When given, reading and decoding end as soon as it becomes true.
        const std::atomic<bool>* cancel = nullptr;
    };

    // FFmpeg's own bound on the threads it picks by itself: beyond it the decoders gain nothing and
    // some (H.264 slice threads) misbehave.
    static constexpr int kMaxDecoderThreads = 16;

    VkVideoSource();
    ~VkVideoSource();
    VkVideoSource(const VkVideoSource&) = delete;
    VkVideoSource& operator=(const VkVideoSource&) = delete;

    bool open(const std::string& path, const Options& options, std::string* error);

    AVFormatContext* format() const;
    AVCodecContext* codec() const;
    AVStream* stream() const;
    // Reduction applied by the decoder (0: full size).
    int lowres() const;

    // Positions the demuxer so that the next packet read is the key packet with presentation time
    // `pts` (or an earlier key packet); by its byte position instead when `byByte` is set.
    bool seekToPacket(int64_t pts, int64_t bytePosition, bool byByte);
    // Byte position of the first video packet read since the last seek or rewind; -1 before it.
    int64_t firstPacketPosition() const;
    // Back to the first packet of the file.
    bool rewind();
    // The next decoded frame into `frame`: 0, AVERROR_EOF at the end, AVERROR_EXIT when cancelled,
    // another negative code when the file cannot be read further. `lastPacketTs` receives the
    // timestamp of the last packet fed to the decoder.
    int nextFrame(AVFrame* frame, int64_t* lastPacketTs = nullptr);
    // Timestamp of a decoded frame, in the stream's time base.
    static int64_t frameTimestamp(const AVFrame* frame);

private:
    class Private;
    const std::unique_ptr<Private> d;
};

} // namespace vkmedia
