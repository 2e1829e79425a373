// The engine's shared state hammered from several threads at once, for ThreadSanitizer: the packet
// index cache, the frame cache, one renderer shared by several callers, renderers of their own over
// the same file, and scene detectors stopped, released and destroyed at every stage of their run.
// Plain C++ (no Qt, which is not instrumented): a failed check prints where and exits non-zero.

#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkPacketIndex.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

int g_failures = 0;

#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            ++g_failures;                                                                                    \
        }                                                                                                    \
    } while (false)

// Far beyond a detection of the test clips even under ThreadSanitizer's slowdown; reaching it means
// a detector never sent its end notification.
constexpr auto kHangGuard = std::chrono::minutes(5);
constexpr int kThumbWidth = 48;
constexpr int kThumbHeight = 27;

std::string media(const char* name)
{
    return std::string(VK_TEST_MEDIA_DIR) + "/" + name;
}

// Counts notifications; renders each new scene's first frame on the detector thread through a
// renderer that the main thread uses at the same time, as the scene list's thumbnails do.
class Observer : public VkSceneObserver
{
public:
    explicit Observer(VkFrameRenderer* shared)
        : m_shared(shared)
    {}

    void sceneDetectBegin() override { ++begins; }
    void sceneDetected(int64_t start, int64_t) override
    {
        ++scenes;
        if (m_shared) {
            std::vector<uint8_t> argb(kThumbWidth * kThumbHeight * 4);
            m_shared->renderFrame(start, kThumbWidth, kThumbHeight, argb.data());
        }
    }
    void sceneProgress(int64_t done, int64_t) override { lastProgress.store(done); }
    void sceneDetectFinished() override { end(); }
    void sceneDetectStopped() override { end(); }
    void sceneDetectFailed(const std::string&) override { end(); }

    bool waitEnd()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_ended.wait_for(lock, kHangGuard, [this] { return ends.load() > 0; });
    }

    std::atomic<int> begins{0};
    std::atomic<int> scenes{0};
    std::atomic<int> ends{0};
    std::atomic<int64_t> lastProgress{0};

private:
    void end()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++ends;
        m_ended.notify_all();
    }
    VkFrameRenderer* m_shared;
    std::mutex m_mutex;
    std::condition_variable m_ended;
};

// Four threads ask for the index of a file nobody has indexed yet while a fifth clears the cache.
void packetIndexCache()
{
    VkPacketIndex::clearCache();
    std::vector<std::thread> threads;
    std::atomic<int> built{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 3; ++round) {
                auto index = VkPacketIndex::get(media("numbered.ts"), nullptr, nullptr);
                if (index && index->frameCount() == 75)
                    ++built;
            }
        });
    }
    threads.emplace_back([] {
        for (int round = 0; round < 3; ++round)
            VkPacketIndex::clearCache();
    });
    for (std::thread& t : threads)
        t.join();
    // 4 threads x 3 rounds, each an index of the 75-frame clip however the cache was cleared.
    CHECK(built.load() == 12);
}

// Pictures put, found, evicted and cleared from four threads.
void frameCache()
{
    VkMediaFileKey key;
    CHECK(VkMediaFileKey::read(media("numbered.mp4"), key, nullptr));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                auto image = std::make_shared<VkFrameImage>();
                image->width = 2;
                image->height = 2;
                image->pixels.assign(16, uint8_t(i));
                VkFrameCache::instance().put(key, t * 1000 + i, image);
                auto found = VkFrameCache::instance().find(key, t * 1000 + i / 2);
                if (found)
                    CHECK(found->pixels.size() == 16);
                if (i % 50 == 0)
                    VkFrameCache::instance().setCapacity(64 + size_t(t));
            }
        });
    }
    threads.emplace_back([] {
        for (int i = 0; i < 20; ++i)
            VkFrameCache::instance().clear();
    });
    for (std::thread& t : threads)
        t.join();
    VkFrameCache::instance().clear();
}

// One renderer serving three threads, and three renderers of their own over the same file.
void renderers()
{
    VkFrameCache::instance().clear();
    VkFrameRenderer shared;
    CHECK(shared.open(media("numbered.mp4"), nullptr));
    std::atomic<int> rendered{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            std::vector<uint8_t> argb(kThumbWidth * kThumbHeight * 4);
            for (int i = 0; i < 8; ++i) {
                if (shared.renderFrame((t * 23 + i * 9) % 75, kThumbWidth, kThumbHeight, argb.data()))
                    ++rendered;
            }
        });
        threads.emplace_back([&, t] {
            VkFrameRenderer own;
            if (!own.open(media("numbered.mp4"), nullptr))
                return;
            std::vector<uint8_t> argb(kThumbWidth * kThumbHeight * 4);
            for (int i = 0; i < 8; ++i) {
                if (own.renderFrame((t * 31 + i * 7) % 75, kThumbWidth, kThumbHeight, argb.data()))
                    ++rendered;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    // 6 threads x 8 frames, every one inside the 75 frames of the clip.
    CHECK(rendered.load() == 48);
}

// Detections run to the end while the main thread renders through the renderer the observer uses.
void detectionWithSharedRenderer()
{
    VkFrameRenderer shared;
    CHECK(shared.open(media("scenes.mp4"), nullptr));
    Observer observer(&shared);
    VkSceneDetector detector;
    detector.init(media("scenes.mp4"), VkRational{25, 1});
    detector.setObserver(&observer);
    std::string error;
    CHECK(detector.start(&error));
    std::vector<uint8_t> argb(kThumbWidth * kThumbHeight * 4);
    for (int i = 0; i < 10; ++i)
        shared.renderFrame(i * 17, kThumbWidth, kThumbHeight, argb.data());
    CHECK(observer.waitEnd());
    detector.release();
    CHECK(observer.begins.load() == 1);
    CHECK(observer.ends.load() == 1);
    // The clip has six shots.
    CHECK(observer.scenes.load() == 6);
}

// Stops from another thread at different moments of the run, restarts the same detector, and
// destroys detectors that are still running: every run ends with exactly one end notification, and
// none arrives after release() or the destructor returned.
void stopReleaseAndDestroy()
{
    VkSceneDetector detector;
    detector.init(media("long.mp4"), VkRational{25, 1});
    for (int round = 0; round < 6; ++round) {
        Observer observer(nullptr);
        detector.setObserver(&observer);
        std::string error;
        CHECK(detector.start(&error));
        std::thread stopper([&detector, round] {
            std::this_thread::sleep_for(std::chrono::milliseconds(round * 15));
            detector.stop();
        });
        stopper.join();
        CHECK(observer.waitEnd());
        detector.release();
        CHECK(observer.ends.load() == 1);
        CHECK(!detector.isRunning());
    }
    for (int round = 0; round < 6; ++round) {
        Observer observer(nullptr);
        {
            VkSceneDetector running;
            running.init(media("long.mp4"), VkRational{25, 1});
            running.setObserver(&observer);
            CHECK(running.start(nullptr));
            std::this_thread::sleep_for(std::chrono::milliseconds(round * 10));
        }
        const int ends = observer.ends.load();
        CHECK(ends <= 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        CHECK(observer.ends.load() == ends);
    }
}

} // namespace

int main()
{
    VkMediaProbeResult facts;
    if (!VkMediaProbe::probe(media("long.mp4"), facts, nullptr)) {
        std::fprintf(stderr, "test media missing in %s\n", VK_TEST_MEDIA_DIR);
        return 2;
    }
    packetIndexCache();
    frameCache();
    renderers();
    detectionWithSharedRenderer();
    stopReleaseAndDestroy();
    std::printf("tsan_engine_threads: %s\n", g_failures == 0 ? "all checks passed" : "FAILED");
    return g_failures == 0 ? 0 : 1;
}
