// vkmedia_scene_bench FILE: detects the scenes of FILE the way the scene dialog does (each finished
// scene's thumbnail rendered at 99x56 from the detector thread) and prints one JSON line with the
// wall time, the scene boundaries with their kinds, and the thumbnails served by the frame cache.

#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

constexpr int kThumbWidth = 99;
constexpr int kThumbHeight = 56;

class Observer : public VkSceneObserver
{
public:
    explicit Observer(VkFrameRenderer& renderer)
        : m_renderer(renderer)
        , m_pixels(kThumbWidth * kThumbHeight * 4)
    {}
    std::vector<int64_t> cuts;
    std::vector<VkSceneTransition> transitions;
    int thumbnails = 0;
    bool ok = false;

    void wait()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [this] { return m_done; });
    }
    void sceneDetectBegin() override {}
    void sceneTransition(const VkSceneTransition& transition) override { transitions.push_back(transition); }
    void sceneDetected(int64_t start, int64_t) override
    {
        if (start > 0)
            cuts.push_back(start);
        if (m_renderer.renderFrame(start, kThumbWidth, kThumbHeight, m_pixels.data()))
            ++thumbnails;
    }
    void sceneDetectFinished() override { end(true); }
    void sceneDetectStopped() override { end(false); }
    void sceneDetectFailed(const std::string&) override { end(false); }

private:
    void end(bool success)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ok = success;
        m_done = true;
        m_cv.notify_all();
    }
    VkFrameRenderer& m_renderer;
    std::vector<uint8_t> m_pixels;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 1;
    }
    const auto begin = std::chrono::steady_clock::now();
    VkFrameRenderer renderer;
    std::string error;
    if (!renderer.open(argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    Observer observer(renderer);
    VkSceneDetector detector;
    detector.init(argv[1], VkRational{25, 1});
    detector.setObserver(&observer);
    if (!detector.start(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    observer.wait();
    detector.release();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf("{\"seconds\": %.3f, \"thumbnails\": %d, \"cacheHits\": %llu, \"cuts\": [", seconds,
                observer.thumbnails, static_cast<unsigned long long>(VkFrameCache::instance().hits()));
    for (size_t i = 0; i < observer.cuts.size(); ++i)
        std::printf("%s%lld", i ? ", " : "", static_cast<long long>(observer.cuts[i]));
    std::printf("], \"kinds\": [");
    for (size_t i = 0; i < observer.transitions.size(); ++i)
        std::printf("%s\"%s\"", i ? ", " : "", VkSceneTransition::kindName(observer.transitions[i].kind));
    std::printf("]}\n");
    return observer.ok ? 0 : 1;
}
