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
        // The decoder hands out a picture for it that FFmpeg presents: false for packets before the
        // first key frame, pictures that lead it but need an earlier one, and packets an edit list
        // drops.
        bool presented = false;
        // A bidirectionally predicted picture, as the codec's parser reads it (only where the index
        // needs it: MPEG-1/2 and MPEG-4 part 2, whose groups may open with such pictures).
        bool bidirectional = false;
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
    // Frames as `ffmpeg -i FILE` presents them: frame N is the N-th picture the decoder hands out.
    int64_t frameCount() const;
    const std::vector<Packet>& packets() const;

    // True when every presented packet carries a presentation timestamp of its own and no two share
    // one: a decoded picture is then numbered by its timestamp. Otherwise (AVI, which stores decode
    // times only; streams with repeated timestamps) pictures are numbered by counting what the
    // decoder hands out after a key frame.
    bool numbersByTimestamp() const;
    // Timestamp of frame `frame`; AV_NOPTS_VALUE for an empty index.
    int64_t ptsOfFrame(int64_t frame) const;
    // The frame whose timestamp is exactly `pts`, -1 when no presented frame has it (pictures the
    // decoder hands out after a seek that belong to an earlier group).
    int64_t frameWithPts(int64_t pts) const;
    // Decode-order index of a key packet from which decoding reaches `frame`: the last one whose
    // own picture is not after it, or `stepsBack` key packets before that one (for pictures that
    // need an earlier group). -1 when there is none.
    int64_t keyPacketFor(int64_t frame, int stepsBack) const;
    // The frame number of key packet `packet`'s own picture; -1 when it is not a usable key packet.
    int64_t keyFrameNumber(int64_t packet) const;
    // The frames before it on screen that follow key packet `packet` in decode order (an open
    // group's leading pictures): a decoder starting at the key may drop them or hand them out first.
    int64_t leadingFrames(int64_t packet) const;
    // Decode-order index of the packet stored at byte `position`; -1 when none starts there.
    int64_t packetAtPosition(int64_t position) const;

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
