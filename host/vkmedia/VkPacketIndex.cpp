#include "VkPacketIndex.h"

#include "VkFFmpegLog.h"
#include "VkFFmpegPtr.h"
#include "VkPictureLimit.h"

#include <vkcore/VkError.h>

#include <algorithm>
#include <cmath>
#include <list>
#include <map>
#include <mutex>

namespace {

// Enough for the files a dialog, the player and the detector have open at once; an index costs about
// 40 bytes per frame.
constexpr size_t kMaxCachedIndexes = 16;

struct StreamBytes
{
    int64_t bytes = 0;
    int64_t firstTs = AV_NOPTS_VALUE;
    int64_t endTs = AV_NOPTS_VALUE;
    AVRational timeBase{0, 1};
};

struct Cache
{
    std::mutex mutex;
    // Most recently used first.
    std::list<std::shared_ptr<const VkPacketIndex>> entries;
};

Cache& cache()
{
    static Cache instance;
    return instance;
}

// Reads picture types with the codec's parser, for the codecs whose groups of pictures may open
// with B-pictures that a decoder starting at the key frame drops (MPEG-1/2, MPEG-4 part 2 in AVI
// and program streams, which carry no timestamps to tell them by).
class PictureTypeReader
{
public:
    explicit PictureTypeReader(const AVCodecParameters* parameters)
    {
        if (!parameters ||
            (parameters->codec_id != AV_CODEC_ID_MPEG1VIDEO &&
             parameters->codec_id != AV_CODEC_ID_MPEG2VIDEO && parameters->codec_id != AV_CODEC_ID_MPEG4))
            return;
        m_parser = av_parser_init(parameters->codec_id);
        m_codec.reset(avcodec_alloc_context3(nullptr));
        if (!m_parser || !m_codec || avcodec_parameters_to_context(m_codec.get(), parameters) < 0) {
            close();
            return;
        }
        // Packets are whole pictures already: the parser only reads their headers.
        m_parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
    }
    ~PictureTypeReader() { close(); }
    PictureTypeReader(const PictureTypeReader&) = delete;
    PictureTypeReader& operator=(const PictureTypeReader&) = delete;

    bool isBidirectional(const AVPacket* packet)
    {
        if (!m_parser || packet->size <= 0)
            return false;
        uint8_t* out = nullptr;
        int outSize = 0;
        av_parser_parse2(m_parser, m_codec.get(), &out, &outSize, packet->data, packet->size, packet->pts,
                         packet->dts, packet->pos);
        return m_parser->pict_type == AV_PICTURE_TYPE_B;
    }

private:
    void close()
    {
        if (m_parser)
            av_parser_close(m_parser);
        m_parser = nullptr;
        m_codec.reset();
    }
    AVCodecParserContext* m_parser = nullptr;
    vkmedia::CodecPtr m_codec;
};

// Bytes and time span of one stream, for its measured bit rate.
void countBytes(StreamBytes& sb, const AVPacket& packet)
{
    sb.bytes += packet.size;
    const int64_t ts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (ts == AV_NOPTS_VALUE)
        return;
    if (sb.firstTs == AV_NOPTS_VALUE || ts < sb.firstTs)
        sb.firstTs = ts;
    const int64_t end = ts + std::max<int64_t>(packet.duration, 0);
    if (sb.endTs == AV_NOPTS_VALUE || end > sb.endTs)
        sb.endTs = end;
}

} // namespace

class VkPacketIndex::Private
{
public:
    VkMediaFileKey key;
    int videoStream = -1;
    AVRational timeBase{0, 1};
    std::vector<Packet> packets;
    // Presented frames in presentation order: (timestamp, decode index).
    std::vector<std::pair<int64_t, int64_t>> frames;
    struct Key
    {
        // The number of the key's own picture.
        int64_t number = 0;
        int64_t packet = 0;
        int64_t leading = 0;
    };
    // Key packets a seek can aim at, in decode order.
    std::vector<Key> keys;
    // (byte position, decode index), sorted by position.
    std::vector<std::pair<int64_t, int64_t>> byPosition;
    std::vector<StreamBytes> streams;
    bool byteSeek = false;
    bool byTimestamp = true;

    // What the packet pass learns beside the packets themselves, for the steps after it.
    struct ScanNotes
    {
        // Per video packet: it carries a presentation timestamp of its own; an edit list drops it.
        std::vector<bool> hasOwnPts;
        std::vector<bool> discarded;
        int64_t lastPts = AV_NOPTS_VALUE;
    };

    bool scan(const std::string& path, const std::atomic<bool>* cancel, std::string* error);
    // The video stream, its time base, the seek method and the time base of every stream.
    void readLayout(AVFormatContext* fmt);
    // One demux pass over the whole file; false only when cancelled.
    bool readPackets(AVFormatContext* fmt, const std::atomic<bool>* cancel, std::string* error,
                     ScanNotes& notes);
    void addVideoPacket(const AVPacket& packet, bool bidirectional, ScanNotes& notes);
    void markPresented(const std::vector<bool>& hasOwnPts);
    void numberFrames();
};

bool VkPacketIndex::Private::scan(const std::string& path, const std::atomic<bool>* cancel,
                                  std::string* error)
{
    vkmedia::VkFFmpegLog::install();
    const vkmedia::FormatPtr fmt = vkmedia::openInput(path, cancel, error);
    if (!fmt)
        return false;
    readLayout(fmt.get());
    ScanNotes notes;
    if (!readPackets(fmt.get(), cancel, error, notes))
        return false;
    for (size_t i = 0; i < packets.size(); ++i)
        packets[i].presented = !notes.discarded[i];
    markPresented(notes.hasOwnPts);
    numberFrames();
    return true;
}

void VkPacketIndex::Private::readLayout(AVFormatContext* fmt)
{
    videoStream = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (videoStream >= 0 && (fmt->streams[videoStream]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        videoStream = -1;
    if (videoStream < 0)
        videoStream = -1;
    else
        timeBase = fmt->streams[videoStream]->time_base;
    byteSeek = (fmt->iformat->flags & AVFMT_TS_DISCONT) && !(fmt->iformat->flags & AVFMT_NO_BYTE_SEEK);

    streams.resize(fmt->nb_streams);
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
        streams[i].timeBase = fmt->streams[i]->time_base;
}

bool VkPacketIndex::Private::readPackets(AVFormatContext* fmt, const std::atomic<bool>* cancel,
                                         std::string* error, ScanNotes& notes)
{
    PictureTypeReader pictureTypes(videoStream >= 0 ? fmt->streams[videoStream]->codecpar : nullptr);
    vkmedia::PacketPtr packet = vkmedia::makePacket();
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return VkError::fail(error, "Cancelled");
        const int rc = av_read_frame(fmt, packet.get());
        if (rc == AVERROR_EXIT)
            return VkError::fail(error, "Cancelled");
        // The end, or a damaged tail: the index ends where the readable packets end.
        if (rc < 0)
            return true;
        vkmedia::PacketUnref unref(packet.get());
        const int si = packet->stream_index;
        if (si < 0 || si >= static_cast<int>(streams.size()))
            continue;
        countBytes(streams[si], *packet);
        if (si == videoStream)
            addVideoPacket(*packet, pictureTypes.isBidirectional(packet.get()), notes);
    }
}

void VkPacketIndex::Private::addVideoPacket(const AVPacket& packet, bool bidirectional, ScanNotes& notes)
{
    Packet p;
    p.pts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (p.pts == AV_NOPTS_VALUE)
        p.pts = notes.lastPts == AV_NOPTS_VALUE ? 0 : notes.lastPts + std::max<int64_t>(packet.duration, 1);
    p.dts = packet.dts != AV_NOPTS_VALUE ? packet.dts : p.pts;
    p.pos = packet.pos;
    p.size = packet.size;
    p.key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    p.bidirectional = bidirectional;
    notes.lastPts = p.pts;
    packets.push_back(p);
    notes.hasOwnPts.push_back(packet.pts != AV_NOPTS_VALUE);
    // An edit list that starts after a key frame keeps the packets before its start for decoding
    // and has the decoder drop their pictures.
    notes.discarded.push_back((packet.flags & AV_PKT_FLAG_DISCARD) != 0);
}

void VkPacketIndex::Private::markPresented(const std::vector<bool>& hasOwnPts)
{
    // The decoder hands out nothing before the first key frame of a stream that starts mid-group
    // (a recording cut anywhere), nor the pictures after it in decode order that come before it on
    // screen: those refer to the group that was cut away (HEVC RASL pictures after a CRA). Streams
    // without any key flag (some raw streams) are pictures throughout.
    const auto firstKey = std::find_if(packets.begin(), packets.end(), [](const Packet& p) { return p.key; });
    if (firstKey != packets.end()) {
        const size_t first = static_cast<size_t>(firstKey - packets.begin());
        for (size_t i = 0; i < first; ++i)
            packets[i].presented = false;
        for (size_t i = first + 1; i < packets.size(); ++i) {
            if (hasOwnPts[first] && hasOwnPts[i] && packets[i].pts < firstKey->pts && !packets[i].key)
                packets[i].presented = false;
        }
    }
    std::vector<int64_t> seen;
    for (size_t i = 0; i < packets.size(); ++i) {
        if (!packets[i].presented)
            continue;
        if (!hasOwnPts[i]) {
            byTimestamp = false;
            return;
        }
        seen.push_back(packets[i].pts);
    }
    std::sort(seen.begin(), seen.end());
    byTimestamp = std::adjacent_find(seen.begin(), seen.end()) == seen.end();
}

void VkPacketIndex::Private::numberFrames()
{
    for (size_t i = 0; i < packets.size(); ++i) {
        if (packets[i].presented)
            frames.emplace_back(packets[i].pts, static_cast<int64_t>(i));
    }
    if (byTimestamp)
        std::sort(frames.begin(), frames.end());
    // A key packet's picture is numbered by its timestamp; without trustworthy timestamps, by the
    // pictures before it in decode order and the leading B-pictures right after it, which are shown
    // before it.
    int64_t presentedBefore = 0;
    for (size_t i = 0; i < packets.size(); ++i) {
        const Packet& p = packets[i];
        if (p.key && (p.pos >= 0 || !byteSeek)) {
            Key key;
            key.packet = static_cast<int64_t>(i);
            for (size_t j = i + 1; j < packets.size() && packets[j].bidirectional; ++j)
                key.leading += packets[j].presented ? 1 : 0;
            key.number = presentedBefore + key.leading;
            if (byTimestamp) {
                const auto at =
                    std::lower_bound(frames.begin(), frames.end(), std::make_pair(p.pts, INT64_MIN));
                key.number = static_cast<int64_t>(at - frames.begin());
                key.leading = 0;
            }
            keys.push_back(key);
        }
        if (p.presented)
            ++presentedBefore;
    }
    for (size_t i = 0; i < packets.size(); ++i) {
        if (packets[i].pos >= 0)
            byPosition.emplace_back(packets[i].pos, static_cast<int64_t>(i));
    }
    std::sort(byPosition.begin(), byPosition.end());
}

VkPacketIndex::VkPacketIndex()
    : d(std::make_unique<Private>())
{}

VkPacketIndex::~VkPacketIndex() = default;

std::shared_ptr<const VkPacketIndex> VkPacketIndex::get(const std::string& path,
                                                        const std::atomic<bool>* cancel, std::string* error)
{
    VkMediaFileKey key;
    if (!VkMediaFileKey::read(path, key, error))
        return nullptr;
    Cache& c = cache();
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        for (auto it = c.entries.begin(); it != c.entries.end(); ++it) {
            if ((*it)->fileKey() == key) {
                auto found = *it;
                c.entries.splice(c.entries.begin(), c.entries, it);
                return found;
            }
        }
    }
    // The scan runs unlocked: two threads asking for a new file at once both scan, and the first
    // result stays cached.
    std::shared_ptr<VkPacketIndex> index(new VkPacketIndex());
    index->d->key = key;
    if (!index->d->scan(path, cancel, error))
        return nullptr;
    std::lock_guard<std::mutex> lock(c.mutex);
    for (const auto& existing : c.entries) {
        if (existing->fileKey() == key)
            return existing;
    }
    c.entries.push_front(index);
    if (c.entries.size() > kMaxCachedIndexes)
        c.entries.pop_back();
    return index;
}

void VkPacketIndex::clearCache()
{
    Cache& c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.entries.clear();
}

const VkMediaFileKey& VkPacketIndex::fileKey() const
{
    return d->key;
}

int VkPacketIndex::videoStreamIndex() const
{
    return d->videoStream;
}

VkRational VkPacketIndex::timeBase() const
{
    return VkRational{d->timeBase.num, d->timeBase.den};
}

int64_t VkPacketIndex::frameCount() const
{
    return static_cast<int64_t>(d->frames.size());
}

const std::vector<VkPacketIndex::Packet>& VkPacketIndex::packets() const
{
    return d->packets;
}

bool VkPacketIndex::numbersByTimestamp() const
{
    return d->byTimestamp;
}

int64_t VkPacketIndex::ptsOfFrame(int64_t frame) const
{
    if (d->frames.empty())
        return AV_NOPTS_VALUE;
    frame = std::clamp<int64_t>(frame, 0, frameCount() - 1);
    return d->frames[static_cast<size_t>(frame)].first;
}

int64_t VkPacketIndex::frameWithPts(int64_t pts) const
{
    if (!d->byTimestamp)
        return -1;
    const auto at = std::lower_bound(d->frames.begin(), d->frames.end(), std::make_pair(pts, INT64_MIN));
    if (at == d->frames.end() || at->first != pts)
        return -1;
    return static_cast<int64_t>(at - d->frames.begin());
}

int64_t VkPacketIndex::keyPacketFor(int64_t frame, int stepsBack) const
{
    if (frame < 0 || frame >= frameCount())
        return -1;
    // Keys are in decode order and so, but for leading pictures dropped at the start, are their
    // numbers: the last key not after the frame, scanning back.
    int64_t found = -1;
    for (size_t i = d->keys.size(); i-- > 0;) {
        if (d->keys[i].number <= frame) {
            found = static_cast<int64_t>(i);
            break;
        }
    }
    if (found < 0 || found < stepsBack)
        return -1;
    return d->keys[static_cast<size_t>(found - stepsBack)].packet;
}

int64_t VkPacketIndex::keyFrameNumber(int64_t packet) const
{
    const auto at = std::find_if(d->keys.begin(), d->keys.end(),
                                 [packet](const auto& key) { return key.packet == packet; });
    return at == d->keys.end() ? -1 : at->number;
}

int64_t VkPacketIndex::leadingFrames(int64_t packet) const
{
    const auto at = std::find_if(d->keys.begin(), d->keys.end(),
                                 [packet](const auto& key) { return key.packet == packet; });
    return at == d->keys.end() ? 0 : at->leading;
}

int64_t VkPacketIndex::packetAtPosition(int64_t position) const
{
    const auto at =
        std::lower_bound(d->byPosition.begin(), d->byPosition.end(), std::make_pair(position, INT64_MIN));
    if (at == d->byPosition.end() || at->first != position)
        return -1;
    return at->second;
}

int64_t VkPacketIndex::measuredBitRate(int streamIndex) const
{
    if (streamIndex < 0 || streamIndex >= static_cast<int>(d->streams.size()))
        return 0;
    const StreamBytes& sb = d->streams[static_cast<size_t>(streamIndex)];
    if (sb.firstTs == AV_NOPTS_VALUE || sb.endTs <= sb.firstTs || sb.timeBase.den == 0)
        return 0;
    const double seconds = double(sb.endTs - sb.firstTs) * av_q2d(sb.timeBase);
    if (seconds <= 0.0)
        return 0;
    return std::llround(double(sb.bytes) * 8.0 / seconds);
}

bool VkPacketIndex::prefersByteSeek() const
{
    return d->byteSeek;
}
