// vkscenedetect [--threshold T] [--min-scene-len N] [--json] FILE
// Prints the scenes of a video as [start, end) frame ranges. Exit codes: 0 done, 1 bad usage or a run
// that failed part way (a read error, a file cut while it was read), 2 a file without a decodable
// video frame. FILE is always a file name, never an FFmpeg protocol address.

#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitFailed = 1;
constexpr int kExitNotVideo = 2;
constexpr int kProgressBarWidth = 40;
constexpr int kPercent = 100;
// The bounds of a UTF-8 continuation byte, and U+FFFD in UTF-8.
constexpr unsigned char kContinuationLow = 0x80;
constexpr unsigned char kContinuationHigh = 0xBF;
constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";

class Collector : public VkSceneObserver
{
public:
    explicit Collector(bool progressBar)
        : m_progressBar(progressBar)
    {}

    std::vector<std::pair<int64_t, int64_t>> scenes;
    std::vector<VkSceneTransition> transitions;
    std::string failure;
    bool failed = false;
    // The most frames the run reported as analysed: 0 after a failure means none could be decoded.
    int64_t framesAnalysed = 0;

    void wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ended.wait(lock, [this] { return m_done; });
    }

    void sceneDetectBegin() override {}
    void sceneTransition(const VkSceneTransition& transition) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        transitions.push_back(transition);
    }
    void sceneDetected(int64_t start, int64_t end) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        scenes.emplace_back(start, end);
    }
    void sceneProgress(int64_t done, int64_t total) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            framesAnalysed = std::max(framesAnalysed, done);
        }
        if (!m_progressBar || total <= 0)
            return;
        const int percent = static_cast<int>(done * kPercent / total);
        const int filled = percent * kProgressBarWidth / kPercent;
        std::fprintf(stderr, "\r[%-*s] %3d%% (%lld/%lld)", kProgressBarWidth,
                     std::string(filled, '#').c_str(), percent, static_cast<long long>(done),
                     static_cast<long long>(total));
        std::fflush(stderr);
    }
    void sceneDetectFinished() override { end(); }
    void sceneDetectStopped() override { end(); }
    void sceneDetectFailed(const std::string& message) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            failed = true;
            failure = message;
        }
        end();
    }

private:
    void end()
    {
        if (m_progressBar)
            std::fprintf(stderr, "\n");
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
        m_ended.notify_all();
    }

    bool m_progressBar;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
};

// Length of the well-formed UTF-8 sequence at `at` (no overlong forms, surrogates or code points
// above U+10FFFF), 0 when the bytes there are not one.
size_t utf8SequenceLength(const std::string& text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = kContinuationLow;
    unsigned char high = kContinuationHigh;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(at + i) < kContinuationLow || byte(at + i) > kContinuationHigh)
            return 0;
    }
    return length;
}

// A JSON string of `text`. File names are bytes, not always UTF-8 (a Latin-1 name from an old disk):
// each byte that is not part of a well-formed UTF-8 sequence becomes U+FFFD, so that the output is
// always valid UTF-8 and valid JSON.
std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            const size_t length = utf8SequenceLength(text, i);
            if (length == 0) {
                out += kReplacementCharacter;
            } else {
                out.append(text, i, length);
                i += length - 1;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

int usage(const char* program)
{
    std::fprintf(stderr, "usage: %s [--threshold T] [--min-scene-len N] [--json] FILE\n", program);
    return kExitUsage;
}

// What the command line asks for.
struct Options
{
    VkSceneDetector::Params params;
    bool json = false;
    std::string file;
};

// Reads the command line into `options`; the exit code when the program ends here (help, or a
// command line it does not understand), -1 when it goes on.
int parseArguments(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--threshold" && i + 1 < argc) {
            char* end = nullptr;
            options.params.threshold = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || options.params.threshold <= 0.0)
                return usage(argv[0]);
        } else if (arg == "--min-scene-len" && i + 1 < argc) {
            char* end = nullptr;
            options.params.minSceneLength = static_cast<int>(std::strtol(argv[++i], &end, 10));
            if (!end || *end != '\0' || options.params.minSceneLength < 1)
                return usage(argv[0]);
        } else if (arg == "-h" || arg == "--help") {
            usage(argv[0]);
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && options.file.empty()) {
            options.file = arg;
        } else {
            return usage(argv[0]);
        }
    }
    return options.file.empty() ? usage(argv[0]) : -1;
}

void printJson(const std::string& file, const VkMediaProbeResult& probe, int64_t frameCount,
               const Collector& collector)
{
    std::printf("{\"file\": %s, \"frameRate\": \"%lld/%lld\", \"frameCount\": %lld, \"scenes\": [",
                jsonString(file).c_str(), static_cast<long long>(probe.frameRate.num),
                static_cast<long long>(probe.frameRate.den), static_cast<long long>(frameCount));
    for (size_t i = 0; i < collector.scenes.size(); ++i) {
        std::printf("%s[%lld, %lld]", i ? ", " : "", static_cast<long long>(collector.scenes[i].first),
                    static_cast<long long>(collector.scenes[i].second));
    }
    std::printf("], \"transitions\": [");
    for (size_t i = 0; i < collector.transitions.size(); ++i) {
        const VkSceneTransition& t = collector.transitions[i];
        std::printf("%s{\"frame\": %lld, \"kind\": \"%s\", \"first\": %lld, \"last\": %lld}", i ? ", " : "",
                    static_cast<long long>(t.frame), VkSceneTransition::kindName(t.kind),
                    static_cast<long long>(t.first), static_cast<long long>(t.last));
    }
    std::printf("]}\n");
}

void printText(const std::string& file, const VkMediaProbeResult& probe, int64_t frameCount,
               const Collector& collector)
{
    const double fps = probe.frameRate.toDouble();
    std::printf("%s: %lld frames at %lld/%lld fps, %zu scenes\n", file.c_str(),
                static_cast<long long>(frameCount), static_cast<long long>(probe.frameRate.num),
                static_cast<long long>(probe.frameRate.den), collector.scenes.size());
    for (size_t i = 0; i < collector.scenes.size(); ++i) {
        const auto& s = collector.scenes[i];
        std::printf("%4zu  [%lld, %lld)  %.3f s - %.3f s", i + 1, static_cast<long long>(s.first),
                    static_cast<long long>(s.second), fps > 0 ? double(s.first) / fps : 0.0,
                    fps > 0 ? double(s.second) / fps : 0.0);
        // A scene that begins in a gradual transition says so, with the transition's frames.
        for (const VkSceneTransition& t : collector.transitions) {
            if (t.frame == s.first && t.kind != VkSceneTransition::Kind::Cut)
                std::printf("  after a %s over %lld-%lld", VkSceneTransition::kindName(t.kind),
                            static_cast<long long>(t.first), static_cast<long long>(t.last));
        }
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (const int exitCode = parseArguments(argc, argv, options); exitCode >= 0)
        return exitCode;
    const std::string& file = options.file;

    VkMediaProbeResult probe;
    std::string error;
    if (!VkMediaProbe::probe(file, probe, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return kExitNotVideo;
    }
    if (!(probe.streamFlags & VkMediaProbeResult::Video)) {
        std::fprintf(stderr, "%s: %s has no video stream\n", argv[0], file.c_str());
        return kExitNotVideo;
    }

    Collector collector(isatty(STDERR_FILENO) != 0);
    VkSceneDetector detector;
    detector.init(file, probe.frameRate);
    detector.setParams(options.params);
    detector.setObserver(&collector);
    if (!detector.start(&error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return kExitNotVideo;
    }
    collector.wait();
    detector.release();
    if (collector.failed) {
        std::fprintf(stderr, "%s: %s\n", argv[0], collector.failure.c_str());
        return collector.framesAnalysed > 0 ? kExitFailed : kExitNotVideo;
    }

    int64_t frameCount = probe.frameCount;
    if (!collector.scenes.empty())
        frameCount = collector.scenes.back().second;
    if (options.json)
        printJson(file, probe, frameCount, collector);
    else
        printText(file, probe, frameCount, collector);
    return 0;
}
