// vkmedia_seek_bench FILE WIDTH HEIGHT [TARGET...]: times the frame renderer as the player uses it, at
// the player's preview size, and prints one JSON line. With targets, "seeks": the milliseconds each
// TARGET takes in a player session resting half the clip away (a random seek: neither the decoder's
// position nor the kept pictures help), and "plain": what FFmpeg's own libraries take to decode
// from the key frame before the target until the target comes out, without the engine (one open
// decoder with FFmpeg's automatic threads, as ffmpeg uses it; the seek itself is not counted).
// Without targets, "forward": single steps forward (playback, the arrow key) and "backward": single
// steps back from the end of the clip, deep in a group.

#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkPacketIndex.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Steps timed in each direction; more than a 1080p picture budget of the decoded-frame cache holds,
// so that the backward figure includes the re-decodes.
constexpr int kSteps = 100;

double millisecondsOf(VkFrameRenderer& renderer, int64_t frame, int width, int height,
                      std::vector<uint8_t>& pixels, bool* ok)
{
    const auto begin = std::chrono::steady_clock::now();
    std::string error;
    if (!renderer.renderFrame(frame, width, height, pixels.data(), &error)) {
        std::fprintf(stderr, "frame %lld: %s\n", static_cast<long long>(frame), error.c_str());
        *ok = false;
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

// A decoder on plain FFmpeg, without the engine: the yardstick for a seek.
class PlainDecoder
{
public:
    ~PlainDecoder()
    {
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_codec);
        avformat_close_input(&m_format);
    }
    bool open(const char* path)
    {
        const AVCodec* decoder = nullptr;
        if (avformat_open_input(&m_format, path, nullptr, nullptr) < 0 ||
            avformat_find_stream_info(m_format, nullptr) < 0)
            return false;
        m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
        if (m_stream < 0 || !decoder)
            return false;
        m_codec = avcodec_alloc_context3(decoder);
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        if (!m_codec || !m_frame || !m_packet ||
            avcodec_parameters_to_context(m_codec, m_format->streams[m_stream]->codecpar) < 0)
            return false;
        m_codec->thread_count = 0;
        m_codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        return avcodec_open2(m_codec, decoder, nullptr) >= 0;
    }
    // Milliseconds to decode `frames` pictures from the key packet at byte `keyPos`. The demuxer is
    // put on that packet first, untimed: FFmpeg's own seek lands a group early in some containers,
    // and the yardstick is the decode from the key frame itself.
    double decodeFromKey(int64_t keyPts, int64_t keyPos, int64_t frames)
    {
        // By time first; by byte position where a transport stream's timestamp search lands past it.
        bool found = av_seek_frame(m_format, m_stream, keyPts, AVSEEK_FLAG_BACKWARD) >= 0 && readUpTo(keyPos);
        if (!found)
            found = av_seek_frame(m_format, -1, keyPos, AVSEEK_FLAG_BYTE) >= 0 && readUpTo(keyPos);
        if (!found)
            return -1.0;
        const auto begin = std::chrono::steady_clock::now();
        avcodec_flush_buffers(m_codec);
        avcodec_send_packet(m_codec, m_packet);
        av_packet_unref(m_packet);
        int64_t out = 0;
        bool draining = false;
        while (out < frames) {
            const int rc = avcodec_receive_frame(m_codec, m_frame);
            if (rc == 0) {
                ++out;
                av_frame_unref(m_frame);
                continue;
            }
            if (rc != AVERROR(EAGAIN) || draining)
                break;
            if (av_read_frame(m_format, m_packet) < 0) {
                avcodec_send_packet(m_codec, nullptr);
                draining = true;
                continue;
            }
            if (m_packet->stream_index == m_stream)
                avcodec_send_packet(m_codec, m_packet);
            av_packet_unref(m_packet);
        }
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    }

private:
    // Reads packets until the one at byte `position`, which is left in m_packet.
    bool readUpTo(int64_t position)
    {
        while (av_read_frame(m_format, m_packet) >= 0) {
            if (m_packet->stream_index == m_stream && m_packet->pos == position)
                return true;
            av_packet_unref(m_packet);
        }
        return false;
    }

    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    int m_stream = -1;
};

void printList(const char* name, const std::vector<double>& values, bool last)
{
    std::printf("\"%s\": [", name);
    for (size_t i = 0; i < values.size(); ++i)
        std::printf("%s%.2f", i ? ", " : "", values[i]);
    std::printf("]%s", last ? "" : ", ");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FILE WIDTH HEIGHT [TARGET...]\n", argv[0]);
        return 1;
    }
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    VkFrameRenderer renderer;
    std::string error;
    if (!renderer.open(argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const int64_t count = renderer.frameCount();
    if (count < 2 * kSteps || width <= 0 || height <= 0) {
        std::fprintf(stderr, "need a clip of at least %d frames and a size\n", 2 * kSteps);
        return 1;
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    bool ok = true;
    if (argc > 4) {
        const auto index = VkPacketIndex::get(argv[1], nullptr, &error);
        PlainDecoder plain;
        if (!index || !plain.open(argv[1])) {
            std::fprintf(stderr, "cannot decode %s with plain FFmpeg\n", argv[1]);
            return 2;
        }
        std::vector<double> seeks;
        std::vector<double> plainSeeks;
        for (int i = 4; i < argc; ++i) {
            const int64_t target = std::atoll(argv[i]);
            millisecondsOf(renderer, (target + count / 2) % count, width, height, pixels, &ok);
            seeks.push_back(millisecondsOf(renderer, target, width, height, pixels, &ok));
            const int64_t key = index->keyPacketFor(target, 0);
            const int64_t keyFrame = index->keyFrameNumber(key);
            const VkPacketIndex::Packet& keyPacket = index->packets()[static_cast<size_t>(key)];
            const double plainMs = plain.decodeFromKey(keyPacket.pts, keyPacket.pos, target - keyFrame + 1);
            if (plainMs < 0) {
                std::fprintf(stderr, "plain FFmpeg did not reach the key packet of %lld\n",
                             static_cast<long long>(target));
                return 2;
            }
            plainSeeks.push_back(plainMs);
        }
        std::printf("{");
        printList("seeks", seeks, false);
        printList("plain", plainSeeks, true);
        std::printf("}\n");
        return ok ? 0 : 1;
    }
    // Forward from a seek, then back down over the same frames and beyond.
    std::vector<double> forward;
    std::vector<double> backward;
    const int64_t start = count / 2 - kSteps;
    millisecondsOf(renderer, start, width, height, pixels, &ok);
    for (int64_t f = start + 1; f <= start + kSteps; ++f)
        forward.push_back(millisecondsOf(renderer, f, width, height, pixels, &ok));
    // A fresh position deep in a group, reached by a seek, then steps back from it.
    const int64_t deep = count - 1;
    millisecondsOf(renderer, deep, width, height, pixels, &ok);
    for (int64_t f = deep - 1; f >= deep - kSteps; --f)
        backward.push_back(millisecondsOf(renderer, f, width, height, pixels, &ok));
    std::printf("{");
    printList("forward", forward, false);
    printList("backward", backward, true);
    std::printf("}\n");
    return ok ? 0 : 1;
}
