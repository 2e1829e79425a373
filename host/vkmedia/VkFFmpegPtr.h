#pragma once

#include <cstring>

// Owning handles for the FFmpeg objects the engine uses, so that every early return frees them.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace vkmedia {

struct FormatCloser
{
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct CodecCloser
{
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameFreer
{
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct SwsFreer
{
    void operator()(SwsContext* ctx) const { sws_freeContext(ctx); }
};

using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFreer>;

inline FramePtr makeFrame()
{
    return FramePtr(av_frame_alloc());
}
inline PacketPtr makePacket()
{
    return PacketPtr(av_packet_alloc());
}

inline std::string errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Keeps a packet's payload only until the next read.
class PacketUnref
{
public:
    explicit PacketUnref(AVPacket* packet)
        : m_packet(packet)
    {}
    ~PacketUnref() { av_packet_unref(m_packet); }
    PacketUnref(const PacketUnref&) = delete;
    PacketUnref& operator=(const PacketUnref&) = delete;

private:
    AVPacket* m_packet;
};

// The value of an FFmpeg enum field as the file gave it. A damaged stream can store numbers the
// enum does not name, and reading those through the enum type is undefined: read the bytes instead.
template <class Enum>
int rawEnumValue(const Enum& field)
{
    static_assert(sizeof(Enum) == sizeof(int), "FFmpeg's enums are int-sized");
    int value = 0;
    std::memcpy(&value, &field, sizeof value);
    return value;
}

} // namespace vkmedia
