#include "VkMediaProbe.h"

#include "VkExifReader.h"
#include "VkFFmpegLog.h"
#include "VkFFmpegPtr.h"
#include "VkMediaFileKey.h"
#include "VkPacketIndex.h"
#include "VkPictureLimit.h"
#include "VkPictureOrientation.h"

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
    VkMediaFileKey key;
    if (!VkMediaFileKey::read(path, key, error))
        return false;
    if (key.size == 0) {
        if (error)
            *error = "The file is empty: " + path;
        return false;
    }

    vkmedia::VkFFmpegLog::install();
    // The first open of a file learns its streams for every later user of it.
    const vkmedia::FormatPtr fmt = vkmedia::openInput(path, nullptr, error);
    if (!fmt)
        return false;
    result.containerName = fmt->iformat->name;
    if (fmt->duration > 0)
        result.durationSeconds = double(fmt->duration) / AV_TIME_BASE;

    int video = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0 && (fmt->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC))
        video = -1;
    const int defaultAudio = av_find_best_stream(fmt.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);

    std::shared_ptr<const VkPacketIndex> index;
    auto packetIndex = [&]() {
        if (!index)
            index = VkPacketIndex::get(path, nullptr, nullptr);
        return index;
    };

    if (video >= 0) {
        const AVStream* st = fmt->streams[video];
        const AVCodecParameters* par = st->codecpar;
        if (!vkmedia::isPictureAllowed(par->width, par->height, par->format)) {
            if (error)
                *error = vkmedia::pictureSizeError(path, par->width, par->height, par->format);
            return false;
        }
        result.videoStreamIndex = video;
        // Reported as displayed: a portrait phone clip is taller than wide.
        const bool turned = vkmedia::VkPictureOrientation::ofStream(st).swapsSides();
        result.width = turned ? par->height : par->width;
        result.height = turned ? par->width : par->height;
        result.videoCodecName = codecName(par->codec_id);
        result.transferCharacteristics = transferName(vkmedia::rawEnumValue(par->color_trc));
        const auto* pixDesc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(par->format));
        if (pixDesc) {
            result.pixelFormatName = pixDesc->name;
            result.bitsPerComponent = pixDesc->comp[0].depth;
            result.hasAlpha = (pixDesc->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
        }
        if (vkmedia::isStillPictureFormat(fmt->iformat)) {
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
            return true;
        }
        result.streamFlags |= VkMediaProbeResult::Video;
        result.frameRate = chooseFrameRate(st);
        if (const int64_t counted = headerFrameCount(fmt.get(), st); counted > 0) {
            result.frameCount = counted;
            result.frameCountFromHeader = true;
        } else if (auto idx = packetIndex()) {
            result.frameCount = idx->frameCount();
        }
        result.videoBitRate = par->bit_rate;
        if (result.videoBitRate <= 0) {
            if (auto idx = packetIndex())
                result.videoBitRate = idx->measuredBitRate(video);
        }
        if (!isPlausibleRate(result.frameRate)) {
            // The header's rate is damaged: the frames over the container's duration are the next
            // best answer, and a common rate the last.
            VkRational measured;
            if (result.frameCount > 0 && result.durationSeconds > 0.0) {
                const AVRational q =
                    av_d2q(double(result.frameCount) / result.durationSeconds, kMeasuredRateMaxDenominator);
                measured = VkRational{q.num, q.den};
            }
            result.frameRate = isPlausibleRate(measured) ? measured : kFallbackFrameRate;
        }
        if (result.durationSeconds <= 0.0 && result.frameRate.isValid())
            result.durationSeconds = double(result.frameCount) / result.frameRate.toDouble();
    }

    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVCodecParameters* par = fmt->streams[i]->codecpar;
        if (par->codec_type != AVMEDIA_TYPE_AUDIO)
            continue;
        VkAudioStreamInfo audio;
        audio.streamIndex = static_cast<int>(i);
        audio.codecName = codecName(par->codec_id);
        audio.channels = par->ch_layout.nb_channels;
        audio.sampleRate = par->sample_rate;
        audio.bitsPerSample = bitsPerSampleOf(par);
        audio.bitRate = par->bit_rate;
        if (audio.bitRate <= 0) {
            if (auto idx = packetIndex())
                audio.bitRate = idx->measuredBitRate(audio.streamIndex);
        }
        result.audioStreams.push_back(audio);
    }
    if (!result.audioStreams.empty()) {
        result.streamFlags |= VkMediaProbeResult::Audio;
        result.defaultAudioStreamIndex =
            defaultAudio >= 0 ? defaultAudio : result.audioStreams.front().streamIndex;
    }

    if (result.streamFlags == 0) {
        if (error)
            *error = "No video or audio stream in " + path;
        return false;
    }
    if (!(result.streamFlags & VkMediaProbeResult::Video)) {
        result.frameRate = kAudioOnlyFrameRate;
        result.frameCount =
            static_cast<int64_t>(std::llround(result.durationSeconds * kAudioOnlyFrameRate.toDouble()));
    }
    result.hasNoDuration = result.durationSeconds <= 0.0 && result.frameCount <= 1;
    return true;
}
