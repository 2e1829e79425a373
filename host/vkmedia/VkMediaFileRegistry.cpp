#include "VkMediaFileRegistry.h"

#include "VkPictureLimit.h"

#include <vkcore/VkError.h>

#include <list>
#include <memory>
#include <mutex>
#include <vector>

namespace vkmedia {

namespace {

struct ParametersFreer
{
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
using ParametersPtr = std::unique_ptr<AVCodecParameters, ParametersFreer>;

// The facts of one stream that avformat_find_stream_info() adds to what the header declares.
struct StreamFacts
{
    ParametersPtr parameters;
    AVRational averageRate{0, 1};
    AVRational baseRate{0, 1};
    int64_t startTime = AV_NOPTS_VALUE;
    int64_t duration = AV_NOPTS_VALUE;
    int64_t frames = 0;
};

// Written once by the open that probed the file, read-only afterwards.
struct Facts
{
    const AVInputFormat* format = nullptr;
    int64_t duration = AV_NOPTS_VALUE;
    int64_t startTime = AV_NOPTS_VALUE;
    int64_t bitRate = 0;
    std::vector<StreamFacts> streams;
    VkMediaFileRegistry::VideoKnowledge video = VkMediaFileRegistry::VideoKnowledge::Unknown;
};

struct Entry
{
    explicit Entry(const VkMediaFileKey& fileKey)
        : key(fileKey)
    {}
    const VkMediaFileKey key;
    // Held by the open that probes the file, so that opens racing it wait for its facts instead of
    // probing the same file themselves.
    std::mutex probing;
    std::mutex factsMutex;
    std::shared_ptr<const Facts> facts;

    std::shared_ptr<const Facts> knownFacts()
    {
        std::lock_guard<std::mutex> lock(factsMutex);
        return facts;
    }
};

struct Registry
{
    std::mutex mutex;
    // Most recently used first.
    std::list<std::shared_ptr<Entry>> entries;
    std::atomic<int64_t> streamProbes{0};
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

std::shared_ptr<Entry> entryFor(const VkMediaFileKey& key, bool create)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (auto it = r.entries.begin(); it != r.entries.end(); ++it) {
        if ((*it)->key == key) {
            r.entries.splice(r.entries.begin(), r.entries, it);
            return r.entries.front();
        }
    }
    if (!create)
        return nullptr;
    // The file was rewritten: what was learnt about its old content is of no use any more.
    r.entries.remove_if([&key](const std::shared_ptr<Entry>& e) { return e->key.path == key.path; });
    r.entries.push_front(std::make_shared<Entry>(key));
    // An entry still in use by an open keeps living through its shared pointer.
    if (r.entries.size() > VkMediaFileRegistry::kMaxEntries)
        r.entries.pop_back();
    return r.entries.front();
}

VkMediaFileRegistry::VideoKnowledge judgeVideo(AVFormatContext* format)
{
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder || (format->streams[index]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        return VkMediaFileRegistry::VideoKnowledge::NoDecodableVideo;
    const AVCodecParameters* par = format->streams[index]->codecpar;
    return isPictureAllowed(par->width, par->height, par->format)
               ? VkMediaFileRegistry::VideoKnowledge::DecodableVideo
               : VkMediaFileRegistry::VideoKnowledge::NoDecodableVideo;
}

// Null when the file's facts cannot be reused: a still picture (its size is read from the picture
// itself on every open), or a container that only finds its streams while reading packets.
std::shared_ptr<const Facts> learn(AVFormatContext* format)
{
    if (isStillPictureFormat(format->iformat) || (format->ctx_flags & AVFMTCTX_NOHEADER))
        return nullptr;
    auto facts = std::make_shared<Facts>();
    facts->format = format->iformat;
    facts->duration = format->duration;
    facts->startTime = format->start_time;
    facts->bitRate = format->bit_rate;
    facts->video = judgeVideo(format);
    facts->streams.resize(format->nb_streams);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        StreamFacts& s = facts->streams[i];
        s.parameters.reset(avcodec_parameters_alloc());
        if (!s.parameters || avcodec_parameters_copy(s.parameters.get(), stream->codecpar) < 0)
            return nullptr;
        s.averageRate = stream->avg_frame_rate;
        s.baseRate = stream->r_frame_rate;
        s.startTime = stream->start_time;
        s.duration = stream->duration;
        s.frames = stream->nb_frames;
    }
    return facts;
}

// Fills a freshly opened demuxer's streams from what an earlier open learnt. False, leaving the
// parameters to be probed, when the header no longer lists the same streams.
bool apply(const Facts& facts, AVFormatContext* format)
{
    if (format->iformat != facts.format || (format->ctx_flags & AVFMTCTX_NOHEADER) ||
        format->nb_streams != facts.streams.size())
        return false;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* known = facts.streams[i].parameters.get();
        const AVCodecParameters* declared = format->streams[i]->codecpar;
        if (known->codec_type != declared->codec_type || known->codec_id != declared->codec_id)
            return false;
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        const StreamFacts& s = facts.streams[i];
        if (avcodec_parameters_copy(stream->codecpar, s.parameters.get()) < 0)
            return false;
        stream->avg_frame_rate = s.averageRate;
        stream->r_frame_rate = s.baseRate;
        stream->start_time = s.startTime;
        stream->duration = s.duration;
        stream->nb_frames = s.frames;
    }
    format->duration = facts.duration;
    format->start_time = facts.startTime;
    format->bit_rate = facts.bitRate;
    return true;
}

FormatPtr probeStreams(FormatPtr format, const std::string& path, std::string* error)
{
    ++registry().streamProbes;
    const int rc = findStreamInfo(format.get());
    if (rc < 0) {
        VkError::set(error, "Cannot read the streams of " + path + " (" + errorText(rc) + ")");
        return nullptr;
    }
    return format;
}

} // namespace

FormatPtr VkMediaFileRegistry::open(const std::string& path, const std::atomic<bool>* cancel,
                                    std::string* error)
{
    VkMediaFileKey key;
    if (!VkMediaFileKey::read(path, key, nullptr)) {
        // Nothing identifies what this name holds (not a regular file): read it afresh every time.
        FormatPtr format = openDemuxer(path, nullptr, cancel, error);
        return format ? probeStreams(std::move(format), path, error) : nullptr;
    }
    const std::shared_ptr<Entry> entry = entryFor(key, true);
    if (const auto facts = entry->knownFacts()) {
        // The header read runs without any lock: a long one (the index of a two-hour clip) never
        // holds up another user of the same file.
        FormatPtr format = openDemuxer(path, facts->format, cancel, error);
        if (!format)
            return nullptr;
        if (apply(*facts, format.get()))
            return format;
        return probeStreams(std::move(format), path, error);
    }
    std::lock_guard<std::mutex> probing(entry->probing);
    const auto facts = entry->knownFacts();
    FormatPtr format = openDemuxer(path, facts ? facts->format : nullptr, cancel, error);
    if (!format)
        return nullptr;
    if (facts && apply(*facts, format.get()))
        return format;
    format = probeStreams(std::move(format), path, error);
    if (format) {
        auto learnt = learn(format.get());
        std::lock_guard<std::mutex> lock(entry->factsMutex);
        entry->facts = std::move(learnt);
    }
    return format;
}

VkMediaFileRegistry::VideoKnowledge VkMediaFileRegistry::videoOf(const VkMediaFileKey& key)
{
    const std::shared_ptr<Entry> entry = entryFor(key, false);
    const auto facts = entry ? entry->knownFacts() : nullptr;
    return facts ? facts->video : VideoKnowledge::Unknown;
}

int64_t VkMediaFileRegistry::streamProbeCount()
{
    return registry().streamProbes.load();
}

void VkMediaFileRegistry::clear()
{
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.entries.clear();
}

} // namespace vkmedia
