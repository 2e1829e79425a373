// vkscenedetect [--threshold T] [--min-scene-len N] [--json] FILE
// Prints the scenes of a video as [start, end) frame ranges. Exit codes: 0 done, 1 bad usage or a run
// that failed part way, 2 a file that is not a decodable video.

#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kExitUsage = 1;
constexpr int kExitNotVideo = 2;
constexpr int kProgressBarWidth = 40;
constexpr int kPercent = 100;

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

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
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

} // namespace

int main(int argc, char** argv)
{
    VkSceneDetector::Params params;
    bool json = false;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--threshold" && i + 1 < argc) {
            char* end = nullptr;
            params.threshold = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || params.threshold <= 0.0)
                return usage(argv[0]);
        } else if (arg == "--min-scene-len" && i + 1 < argc) {
            char* end = nullptr;
            params.minSceneLength = static_cast<int>(std::strtol(argv[++i], &end, 10));
            if (!end || *end != '\0' || params.minSceneLength < 1)
                return usage(argv[0]);
        } else if (arg == "-h" || arg == "--help") {
            usage(argv[0]);
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
            file = arg;
        } else {
            return usage(argv[0]);
        }
    }
    if (file.empty())
        return usage(argv[0]);

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
    detector.setParams(params);
    detector.setObserver(&collector);
    if (!detector.start(&error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return kExitNotVideo;
    }
    collector.wait();
    detector.release();
    if (collector.failed) {
        std::fprintf(stderr, "%s: %s\n", argv[0], collector.failure.c_str());
        return kExitUsage;
    }

    int64_t frameCount = probe.frameCount;
    if (!collector.scenes.empty())
        frameCount = collector.scenes.back().second;
    if (json) {
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
            std::printf("%s{\"frame\": %lld, \"kind\": \"%s\", \"first\": %lld, \"last\": %lld}",
                        i ? ", " : "", static_cast<long long>(t.frame), VkSceneTransition::kindName(t.kind),
                        static_cast<long long>(t.first), static_cast<long long>(t.last));
        }
        std::printf("]}\n");
    } else {
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
    return 0;
}
