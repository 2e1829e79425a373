#include "VkPacketIndex.h"

#include "VkFFmpegPtr.h"
#include "VkPictureLimit.h"

#include <algorithm>
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

} // namespace

class VkPacketIndex::Private
{
public:
    VkMediaFileKey key;
    int videoStream = -1;
    AVRational timeBase{0, 1};
    std::vector<Packet> packets;
    // Presentation order: (pts, decode index).
    std::vector<std::pair<int64_t, int64_t>> byPts;
    // Decode index -> presentation frame.
    std::vector<int64_t> frameOfPacket;
    std::vector<StreamBytes> streams;
    bool byteSeek = false;

    bool scan(const std::string& path, const std::atomic<bool>* cancel, std::string* error);
};

bool VkPacketIndex::Private::scan(const std::string& path, const std::atomic<bool>* cancel,
                                  std::string* error)
{
    const vkmedia::FormatPtr fmt = vkmedia::openInput(path, cancel, error);
    if (!fmt)
        return false;
    videoStream = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
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

    vkmedia::PacketPtr packet = vkmedia::makePacket();
    int64_t lastPts = AV_NOPTS_VALUE;
    for (;;) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            if (error)
                *error = "Cancelled";
            return false;
        }
        const int rc = av_read_frame(fmt.get(), packet.get());
        if (rc == AVERROR_EOF)
            break;
        if (rc < 0) {
            if (rc == AVERROR_EXIT) {
                if (error)
                    *error = "Cancelled";
                return false;
            }
            // A damaged tail ends the index where the readable packets end.
            break;
        }
        vkmedia::PacketUnref unref(packet.get());
        const int si = packet->stream_index;
        if (si < 0 || si >= static_cast<int>(streams.size()))
            continue;
        StreamBytes& sb = streams[si];
        sb.bytes += packet->size;
        const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (ts != AV_NOPTS_VALUE) {
            if (sb.firstTs == AV_NOPTS_VALUE || ts < sb.firstTs)
                sb.firstTs = ts;
            const int64_t end = ts + std::max<int64_t>(packet->duration, 0);
            if (sb.endTs == AV_NOPTS_VALUE || end > sb.endTs)
                sb.endTs = end;
        }
        if (si != videoStream || (packet->flags & AV_PKT_FLAG_DISCARD))
            continue;
        Packet p;
        p.pts = ts;
        if (p.pts == AV_NOPTS_VALUE)
            p.pts = lastPts == AV_NOPTS_VALUE ? 0 : lastPts + std::max<int64_t>(packet->duration, 1);
        p.dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : p.pts;
        p.pos = packet->pos;
        p.size = packet->size;
        p.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        lastPts = p.pts;
        packets.push_back(p);
    }

    byPts.reserve(packets.size());
    for (size_t i = 0; i < packets.size(); ++i)
        byPts.emplace_back(packets[i].pts, static_cast<int64_t>(i));
    std::stable_sort(byPts.begin(), byPts.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    frameOfPacket.assign(packets.size(), 0);
    for (size_t f = 0; f < byPts.size(); ++f)
        frameOfPacket[static_cast<size_t>(byPts[f].second)] = static_cast<int64_t>(f);
    return true;
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
    return static_cast<int64_t>(d->packets.size());
}

const std::vector<VkPacketIndex::Packet>& VkPacketIndex::packets() const
{
    return d->packets;
}

int64_t VkPacketIndex::ptsOfFrame(int64_t frame) const
{
    if (d->byPts.empty())
        return AV_NOPTS_VALUE;
    frame = std::clamp<int64_t>(frame, 0, frameCount() - 1);
    return d->byPts[static_cast<size_t>(frame)].first;
}

int64_t VkPacketIndex::frameAtPts(int64_t pts) const
{
    const auto it = std::upper_bound(d->byPts.begin(), d->byPts.end(), pts,
                                     [](int64_t value, const auto& entry) { return value < entry.first; });
    if (it == d->byPts.begin())
        return 0;
    return static_cast<int64_t>(it - d->byPts.begin()) - 1;
}

int64_t VkPacketIndex::keyPacketFor(int64_t frame, int stepsBack) const
{
    if (frame < 0 || frame >= frameCount())
        return -1;
    const auto& entry = d->byPts[static_cast<size_t>(frame)];
    const int64_t target = entry.first;
    for (int64_t i = entry.second; i >= 0; --i) {
        const Packet& p = d->packets[static_cast<size_t>(i)];
        if (p.key && p.pts <= target) {
            if (stepsBack == 0)
                return i;
            --stepsBack;
        }
    }
    return -1;
}

int64_t VkPacketIndex::frameOfPacket(int64_t packet) const
{
    if (packet < 0 || packet >= frameCount())
        return -1;
    return d->frameOfPacket[static_cast<size_t>(packet)];
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
    return static_cast<int64_t>(double(sb.bytes) * 8.0 / seconds + 0.5);
}

bool VkPacketIndex::prefersByteSeek() const
{
    return d->byteSeek;
}
