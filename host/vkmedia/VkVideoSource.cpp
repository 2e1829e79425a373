#include "VkVideoSource.h"

#include <vkcore/VkError.h>

#include "VkFFmpegLog.h"
#include "VkPictureLimit.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>

namespace vkmedia {

class VkVideoSource::Private
{
public:
    FormatPtr fmt;
    CodecPtr codec;
    PacketPtr packet = makePacket();
    AVStream* stream = nullptr;
    int streamIndex = -1;
    int lowres = 0;
    bool draining = false;
    bool drained = false;
    int64_t firstPacketPos = -1;
    bool firstPacketSeen = false;
    const std::atomic<bool>* cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    // Reads the next packet and gives it to the decoder when it is one of the video stream's (at the
    // end, starts draining); 0, or the error that ends decoding.
    int feedDecoder(int64_t* lastPacketTs);
    void resetDecoder()
    {
        avcodec_flush_buffers(codec.get());
        draining = false;
        drained = false;
        firstPacketPos = -1;
        firstPacketSeen = false;
    }
};

VkVideoSource::VkVideoSource()
    : d(std::make_unique<Private>())
{}

VkVideoSource::~VkVideoSource() = default;

bool VkVideoSource::open(const std::string& path, const Options& options, std::string* error)
{
    VkFFmpegLog::install();
    d->cancel = options.cancel;
    d->fmt = openInput(path, options.cancel, error);
    if (!d->fmt)
        return false;
    const AVCodec* decoder = nullptr;
    d->streamIndex = av_find_best_stream(d->fmt.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (d->streamIndex < 0 || !decoder ||
        (d->fmt->streams[d->streamIndex]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
        return VkError::fail(error, "No decodable video stream in " + path);
    }
    d->stream = d->fmt->streams[d->streamIndex];
    const AVCodecParameters* par = d->stream->codecpar;
    if (!isPictureAllowed(par->width, par->height, par->format))
        return VkError::fail(error, pictureSizeError(path, par->width, par->height, par->format));
    // Demux only the video: the other streams' packets are dropped before they are read where the
    // container allows it.
    for (unsigned i = 0; i < d->fmt->nb_streams; ++i) {
        if (static_cast<int>(i) != d->streamIndex)
            d->fmt->streams[i]->discard = AVDISCARD_ALL;
    }

    d->codec.reset(avcodec_alloc_context3(decoder));
    if (!d->codec)
        return VkError::fail(error, "Out of memory");
    int rc = avcodec_parameters_to_context(d->codec.get(), d->stream->codecpar);
    if (rc < 0)
        return VkError::fail(error, "Unusable codec parameters in " + path + ": " + errorText(rc));
    d->codec->pkt_timebase = d->stream->time_base;
    // A later packet may change the size that the header declared.
    limitPictureSize(d->codec.get());
    const bool small = int64_t(par->width) * par->height < options.singleThreadBelowPixels;
    d->codec->thread_count = small ? 1 : std::clamp(options.threads, 0, kMaxDecoderThreads);
    d->codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (options.fastAnalysis) {
        d->codec->skip_loop_filter = AVDISCARD_ALL;
        d->codec->flags2 |= AV_CODEC_FLAG2_FAST;
    }
    d->lowres = std::clamp(options.maxLowres, 0, static_cast<int>(decoder->max_lowres));
    d->codec->lowres = d->lowres;
    // Hardware decoding would be set up here, before the decoder opens: a hw_device_ctx and a
    // get_format callback on d->codec, and a transfer of each frame to system memory in nextFrame().
    rc = avcodec_open2(d->codec.get(), decoder, nullptr);
    if (rc < 0)
        return VkError::fail(error, "Cannot open the " + std::string(decoder->name) + " decoder for " + path +
                                        ": " + errorText(rc));
    return true;
}

AVFormatContext* VkVideoSource::format() const
{
    return d->fmt.get();
}

AVCodecContext* VkVideoSource::codec() const
{
    return d->codec.get();
}

AVStream* VkVideoSource::stream() const
{
    return d->stream;
}

int VkVideoSource::lowres() const
{
    return d->lowres;
}

bool VkVideoSource::seekToPacket(int64_t pts, int64_t bytePosition, bool byByte)
{
    int rc = -1;
    if (byByte && bytePosition >= 0)
        rc = av_seek_frame(d->fmt.get(), -1, bytePosition, AVSEEK_FLAG_BYTE);
    // The demuxers look key frames up by presentation time: a key packet's decode time lies before
    // it when B-frames follow, and would land on the key frame before.
    if (rc < 0)
        rc = av_seek_frame(d->fmt.get(), d->streamIndex, pts, AVSEEK_FLAG_BACKWARD);
    d->resetDecoder();
    return rc >= 0;
}

bool VkVideoSource::rewind()
{
    int rc = avformat_seek_file(d->fmt.get(), -1, INT64_MIN, INT64_MIN, INT64_MIN, 0);
    if (rc < 0 && !(d->fmt->iformat->flags & AVFMT_NO_BYTE_SEEK))
        rc = av_seek_frame(d->fmt.get(), -1, 0, AVSEEK_FLAG_BYTE);
    d->resetDecoder();
    return rc >= 0;
}

int64_t VkVideoSource::firstPacketPosition() const
{
    return d->firstPacketPos;
}

int VkVideoSource::nextFrame(AVFrame* frame, int64_t* lastPacketTs)
{
    for (;;) {
        if (d->cancelled())
            return AVERROR_EXIT;
        const int rc = avcodec_receive_frame(d->codec.get(), frame);
        if (rc == 0)
            return 0;
        if (rc == AVERROR_EOF) {
            d->drained = true;
            return AVERROR_EOF;
        }
        if (rc != AVERROR(EAGAIN))
            return rc;
        if (d->draining)
            return AVERROR_EOF;
        if (const int fed = d->feedDecoder(lastPacketTs); fed < 0)
            return fed;
    }
}

int VkVideoSource::Private::feedDecoder(int64_t* lastPacketTs)
{
    const int rc = av_read_frame(fmt.get(), packet.get());
    if (rc < 0) {
        if (rc == AVERROR_EXIT || cancelled())
            return AVERROR_EXIT;
        // End of the file, or a damaged tail: hand out what the decoder still holds.
        avcodec_send_packet(codec.get(), nullptr);
        draining = true;
        return 0;
    }
    PacketUnref unref(packet.get());
    if (packet->stream_index != streamIndex)
        return 0;
    if (!firstPacketSeen) {
        firstPacketSeen = true;
        firstPacketPos = packet->pos;
    }
    if (lastPacketTs)
        *lastPacketTs = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    const int sent = avcodec_send_packet(codec.get(), packet.get());
    // A broken packet costs one picture, not the rest of the file.
    if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA)
        return sent;
    return 0;
}

int64_t VkVideoSource::frameTimestamp(const AVFrame* frame)
{
    if (frame->pts != AV_NOPTS_VALUE)
        return frame->pts;
    return frame->best_effort_timestamp;
}

} // namespace vkmedia
