#include "VkMediaProbe.h"

#include "VkExifReader.h"
#include "VkFFmpegLog.h"
#include "VkFFmpegPtr.h"
#include "VkMediaFileKey.h"
#include "VkPacketIndex.h"
#include "VkPictureLimit.h"
#include "VkPictureOrientation.h"

#include <vkcore/VkError.h>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <cmath>
#include <cstring>

namespace {

// Audio-only media has no frames of its own; its length is told in frames of this rate.
constexpr VkRational kAudioOnlyFrameRate{25, 1};
// The rate assumed for video whose header gives none that can be believed.
constexpr VkRational kFallbackFrameRate{25, 1};
// Rates within this relative distance of the stream's base rate are the base rate itself: the
// average of a constant-rate stream is often a rounded fraction of the exact one.
constexpr double kSameRateTolerance = 0.01;
// Rates outside this range come from damaged headers, not from footage: a media header time scale of
// 0, which FFmpeg replaces by 1, turns a 25 fps clip into one frame every 512 s.
constexpr double kMinPlausibleFrameRate = 0.1;
constexpr double kMaxPlausibleFrameRate = 1000.0;
// Denominator bound when a rate is measured from a frame count and a duration.
constexpr int kMeasuredRateMaxDenominator = 1001000;

bool isPlausibleRate(const VkRational& rate)
{
    return rate.isValid() && rate.toDouble() >= kMinPlausibleFrameRate &&
           rate.toDouble() <= kMaxPlausibleFrameRate;
}

// Containers whose header lists every sample, so the count needs no scan: the samples the edit list
// keeps. HEVC may start at a CRA picture whose leading pictures the decoder drops, which only the
// packets show. -1 when the header cannot tell.
int64_t headerFrameCount(const AVFormatContext* format, const AVStream* stream)
{
    if (std::strstr(format->iformat->name, "mov") == nullptr ||
        stream->codecpar->codec_id == AV_CODEC_ID_HEVC)
        return -1;
    const int entries = avformat_index_get_entries_count(stream);
    int64_t kept = 0;
    bool keySeen = false;
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(const_cast<AVStream*>(stream), i);
        keySeen = keySeen || (entry->flags & AVINDEX_KEYFRAME);
        if (keySeen && !(entry->flags & AVINDEX_DISCARD_FRAME))
            ++kept;
    }
    return kept > 0 ? kept : -1;
}

VkRational chooseFrameRate(const AVStream* stream)
{
    const AVRational base = stream->r_frame_rate;
    const AVRational average = stream->avg_frame_rate;
    const bool baseValid = base.num > 0 && base.den > 0;
    const bool averageValid = average.num > 0 && average.den > 0;
    AVRational chosen{0, 1};
    if (baseValid && averageValid) {
        const double ratio = av_q2d(average) / av_q2d(base);
        chosen = std::fabs(ratio - 1.0) < kSameRateTolerance ? base : average;
    } else if (averageValid) {
        chosen = average;
    } else if (baseValid) {
        chosen = base;
    } else {
        return VkRational{25, 1};
    }
    int num = 0;
    int den = 0;
    av_reduce(&num, &den, chosen.num, chosen.den, INT32_MAX);
    return VkRational{num, den};
}

int bitsPerSampleOf(const AVCodecParameters* par)
{
    const int pcmBits = av_get_bits_per_sample(par->codec_id);
    if (pcmBits > 0)
        return pcmBits;
    const AVCodecDescriptor* desc = avcodec_descriptor_get(par->codec_id);
    if (desc && (desc->props & AV_CODEC_PROP_LOSSLESS) && par->bits_per_raw_sample > 0)
        return par->bits_per_raw_sample;
    return 0;
}

std::string codecName(AVCodecID id)
{
    const AVCodecDescriptor* desc = avcodec_descriptor_get(id);
    return desc ? desc->name : std::string();
}

// What the steps of one probe share: the open file, and the packet index, which is only built (a
// full demux pass) when a step needs what the header does not tell.
struct ProbeRun
{
    const std::string& path;
    AVFormatContext* fmt;
    std::shared_ptr<const VkPacketIndex> index;

    std::shared_ptr<const VkPacketIndex> packetIndex()
    {
        if (!index)
            index = VkPacketIndex::get(path, nullptr, nullptr);
        return index;
    }
};

// Opens a non-empty file as media and reads its stream headers; null with a message otherwise.
vkmedia::FormatPtr openMedia(const std::string& path, std::string* error)
{
    VkMediaFileKey key;
    if (!VkMediaFileKey::read(path, key, error))
        return nullptr;
    if (key.size == 0) {
        VkError::set(error, "The file is empty: " + path);
        return nullptr;
    }
    vkmedia::VkFFmpegLog::install();
    // The first open of a file learns its streams for every later user of it.
    return vkmedia::openInput(path, nullptr, error);
}

// The video stream the file is shown by, -1 when there is none; cover art is not one.
int mainVideoStream(AVFormatContext* fmt)
{
    const int video = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0 && (fmt->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        return -1;
    return video;
}

// The facts of the video stream that its header tells: picture size as displayed, codec, colour
// transfer and pixel format. False with a message for a picture too large to decode.
bool readVideoStream(const ProbeRun& run, int video, VkMediaProbeResult& result, std::string* error)
{
    const AVStream* st = run.fmt->streams[video];
    const AVCodecParameters* par = st->codecpar;
    if (!vkmedia::isPictureAllowed(par->width, par->height, par->format))
        return VkError::fail(error,
                             vkmedia::pictureSizeError(run.path, par->width, par->height, par->format));
    result.videoStreamIndex = video;
    // Reported as displayed: a portrait phone clip is taller than wide.
    const bool turned = vkmedia::VkPictureOrientation::ofStream(st).swapsSides();
    result.width = turned ? par->height : par->width;
    result.height = turned ? par->width : par->height;
    result.videoCodecName = codecName(par->codec_id);
    result.transferCharacteristics = VkMediaProbe::transferName(vkmedia::rawEnumValue(par->color_trc));
    const auto* pixDesc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(par->format));
    if (pixDesc) {
        result.pixelFormatName = pixDesc->name;
        result.bitsPerComponent = pixDesc->comp[0].depth;
        result.hasAlpha = (pixDesc->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
    }
    return true;
}

// A still picture is one frame without a duration, with the camera facts of its EXIF block.
void readStillPicture(const std::string& path, VkMediaProbeResult& result)
{
    result.streamFlags = VkMediaProbeResult::Image;
    result.hasNoDuration = true;
    result.frameCount = 1;
    result.frameCountFromHeader = true;
    result.frameRate = kAudioOnlyFrameRate;
    vkmedia::VkExifReader::Facts facts;
    if (vkmedia::VkExifReader::read(path, facts)) {
        result.cameraMaker = facts.maker;
        result.cameraModel = facts.model;
        result.exposureTime = facts.exposureTime;
    }
}

// The header's rate is damaged: the frames over the container's duration are the next best answer,
// and a common rate the last.
VkRational measuredOrFallbackRate(const VkMediaProbeResult& result)
{
    VkRational measured;
    if (result.frameCount > 0 && result.durationSeconds > 0.0) {
        const AVRational q =
            av_d2q(double(result.frameCount) / result.durationSeconds, kMeasuredRateMaxDenominator);
        measured = VkRational{q.num, q.den};
    }
    return isPlausibleRate(measured) ? measured : kFallbackFrameRate;
}

// Rate, exact frame count, bit rate and duration of a moving-picture stream.
void readVideoTiming(ProbeRun& run, int video, VkMediaProbeResult& result)
{
    const AVStream* st = run.fmt->streams[video];
    result.streamFlags |= VkMediaProbeResult::Video;
    result.frameRate = chooseFrameRate(st);
    if (const int64_t counted = headerFrameCount(run.fmt, st); counted > 0) {
        result.frameCount = counted;
        result.frameCountFromHeader = true;
    } else if (auto idx = run.packetIndex()) {
        result.frameCount = idx->frameCount();
    }
    result.videoBitRate = st->codecpar->bit_rate;
    if (result.videoBitRate <= 0) {
        if (auto idx = run.packetIndex())
            result.videoBitRate = idx->measuredBitRate(video);
    }
    if (!isPlausibleRate(result.frameRate))
        result.frameRate = measuredOrFallbackRate(result);
    if (result.durationSeconds <= 0.0 && result.frameRate.isValid())
        result.durationSeconds = double(result.frameCount) / result.frameRate.toDouble();
}

VkAudioStreamInfo audioStreamInfo(ProbeRun& run, int stream)
{
    const AVCodecParameters* par = run.fmt->streams[stream]->codecpar;
    VkAudioStreamInfo audio;
    audio.streamIndex = stream;
    audio.codecName = codecName(par->codec_id);
    audio.channels = par->ch_layout.nb_channels;
    audio.sampleRate = par->sample_rate;
    audio.bitsPerSample = bitsPerSampleOf(par);
    audio.bitRate = par->bit_rate;
    if (audio.bitRate <= 0) {
        if (auto idx = run.packetIndex())
            audio.bitRate = idx->measuredBitRate(audio.streamIndex);
    }
    return audio;
}

// Every audio stream, and the one played by default: the best by FFmpeg's choice, else the first.
void readAudioStreams(ProbeRun& run, VkMediaProbeResult& result)
{
    const int defaultAudio = av_find_best_stream(run.fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    for (unsigned i = 0; i < run.fmt->nb_streams; ++i) {
        if (run.fmt->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            result.audioStreams.push_back(audioStreamInfo(run, static_cast<int>(i)));
    }
    if (!result.audioStreams.empty()) {
        result.streamFlags |= VkMediaProbeResult::Audio;
        result.defaultAudioStreamIndex =
            defaultAudio >= 0 ? defaultAudio : result.audioStreams.front().streamIndex;
    }
}

} // namespace

std::string VkMediaProbe::transferName(int transfer)
{
    switch (static_cast<AVColorTransferCharacteristic>(transfer)) {
    case AVCOL_TRC_BT709:
        return "BT.709";
    case AVCOL_TRC_GAMMA22:
        return "Gamma 2.2 (BT.470 M)";
    case AVCOL_TRC_GAMMA28:
        return "Gamma 2.8 (BT.470 BG)";
    case AVCOL_TRC_SMPTE170M:
        return "BT.601 (SMPTE 170M)";
    case AVCOL_TRC_SMPTE240M:
        return "SMPTE 240M";
    case AVCOL_TRC_LINEAR:
        return "Linear";
    case AVCOL_TRC_LOG:
        return "Logarithmic 100:1";
    case AVCOL_TRC_LOG_SQRT:
        return "Logarithmic 316:1";
    case AVCOL_TRC_IEC61966_2_4:
        return "xvYCC (IEC 61966-2-4)";
    case AVCOL_TRC_BT1361_ECG:
        return "BT.1361";
    case AVCOL_TRC_IEC61966_2_1:
        return "sRGB (IEC 61966-2-1)";
    case AVCOL_TRC_BT2020_10:
        return "BT.2020 10-bit";
    case AVCOL_TRC_BT2020_12:
        return "BT.2020 12-bit";
    case AVCOL_TRC_SMPTE2084:
        return "PQ (SMPTE ST 2084)";
    case AVCOL_TRC_SMPTE428:
        return "SMPTE ST 428-1";
    case AVCOL_TRC_ARIB_STD_B67:
        return "HLG (ARIB STD-B67)";
    default:
        return "Unspecified";
    }
}

bool VkMediaProbe::probe(const std::string& path, VkMediaProbeResult& result, std::string* error)
{
    result = VkMediaProbeResult();
    result.path = path;
    const vkmedia::FormatPtr fmt = openMedia(path, error);
    if (!fmt)
        return false;
    result.containerName = fmt->iformat->name;
    if (fmt->duration > 0)
        result.durationSeconds = double(fmt->duration) / AV_TIME_BASE;

    ProbeRun run{path, fmt.get(), nullptr};
    const int video = mainVideoStream(fmt.get());
    if (video >= 0) {
        if (!readVideoStream(run, video, result, error))
            return false;
        if (vkmedia::isStillPictureFormat(fmt->iformat)) {
            readStillPicture(path, result);
            return true;
        }
        readVideoTiming(run, video, result);
    }
    readAudioStreams(run, result);
    if (result.streamFlags == 0)
        return VkError::fail(error, "No video or audio stream in " + path);
    if (!(result.streamFlags & VkMediaProbeResult::Video)) {
        result.frameRate = kAudioOnlyFrameRate;
        result.frameCount =
            static_cast<int64_t>(std::llround(result.durationSeconds * kAudioOnlyFrameRate.toDouble()));
    }
    result.hasNoDuration = result.durationSeconds <= 0.0 && result.frameCount <= 1;
    return true;
}
