#pragma once

#include "VkMediaExport.h"
#include "VkMediaFileKey.h"
#include "VkRational.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The packets of a file's video stream as the demuxer sees them (no decoding): timestamps, byte
// positions and key flags, in decode order, plus byte totals of every stream. One index per file
// version, built once and shared by the probe, the renderer and the scene detector.
class VKMEDIA_EXPORT VkPacketIndex
{
public:
    struct Packet
    {
        // Presentation timestamp in the stream's time base (the decode timestamp when the container
        // gives no other).
        int64_t pts = 0;
        int64_t dts = 0;
        int64_t pos = -1;
        int size = 0;
        bool key = false;
    };

    // The cached index of the file, building it (a full demux pass) on first use. `cancel`, when
    // given, aborts the scan as soon as it becomes true. Null with a message on failure.
    static std::shared_ptr<const VkPacketIndex> get(const std::string& path, const std::atomic<bool>* cancel,
                                                    std::string* error);
    // Drops every cached index (tests that rewrite files use it; the key already covers edits).
    static void clearCache();

    ~VkPacketIndex();
    VkPacketIndex(const VkPacketIndex&) = delete;
    VkPacketIndex& operator=(const VkPacketIndex&) = delete;

    const VkMediaFileKey& fileKey() const;
    // Container index of the video stream, -1 for files without video.
    int videoStreamIndex() const;
    VkRational timeBase() const;
    int64_t frameCount() const;
    const std::vector<Packet>& packets() const;

    // Timestamp of frame `frame` in presentation order.
    int64_t ptsOfFrame(int64_t frame) const;
    // The frame shown at `pts`: the last frame whose timestamp is not after it (0 before the first).
    int64_t frameAtPts(int64_t pts) const;
    // Decode-order index of the key packet from which decoding reaches `frame`; `stepsBack` asks for
    // an earlier key packet (for streams whose pictures before the key frame need the previous group).
    // -1 when decoding has to begin at the start of the file.
    int64_t keyPacketFor(int64_t frame, int stepsBack) const;
    // Presentation-order frame number of a decode-order packet.
    int64_t frameOfPacket(int64_t packet) const;

    // Bits per second of stream `streamIndex` measured from its packet sizes and time span; 0 when
    // unknown.
    int64_t measuredBitRate(int streamIndex) const;
    // True when the container's timestamps cannot be trusted for seeking (MPEG-TS, MPEG-PS) and byte
    // positions should be used instead.
    bool prefersByteSeek() const;

private:
    VkPacketIndex();
    class Private;
    const std::unique_ptr<Private> d;
};
