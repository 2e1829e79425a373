#pragma once

#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>

#include <QPair>
#include <QVector>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

using SceneRanges = QVector<QPair<qint64, qint64>>;

// Records one run of the engine's detector: each notification as a letter (b begin, s scene, and the
// ends in capitals: F finished, X stopped, E failed), the scenes, the transitions and the failure text.
// The hooks run on the detector's thread: before a scene is recorded, and at each progress report.
class SceneRecorder : public VkSceneObserver
{
public:
    std::mutex mutex;
    std::condition_variable ended;
    std::string kinds;
    SceneRanges scenes;
    std::vector<VkSceneTransition> transitions;
    std::string failure;
    std::function<void(int64_t start)> onScene = [](int64_t) {};
    std::function<void(int64_t done)> onProgress = [](int64_t) {};
    // Set by a test once release() has returned: nothing may arrive after it.
    std::atomic<bool> released{false};
    std::atomic<int> afterRelease{0};

    void sceneDetectBegin() override { record('b'); }
    void sceneTransition(const VkSceneTransition& transition) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        transitions.push_back(transition);
    }
    void sceneDetected(int64_t start, int64_t end) override
    {
        onScene(start);
        record('s', start, end);
    }
    void sceneProgress(int64_t done, int64_t) override { onProgress(done); }
    void sceneDetectFinished() override { record('F'); }
    void sceneDetectStopped() override { record('X'); }
    void sceneDetectFailed(const std::string& message) override { record('E', 0, 0, message); }

    int ends() const { return int(std::count_if(kinds.begin(), kinds.end(), ::isupper)); }
    // Scenes that follow each other without a gap from frame 0 to `frames`.
    bool tiles(qint64 frames) const
    {
        qint64 next = 0;
        for (const auto& scene : scenes)
            next = scene.first == next && scene.second > next ? scene.second : -1;
        return !scenes.isEmpty() && next == frames;
    }
    // Runs a whole detection of `file` and releases the detector: the end letter of a well-ordered run
    // (one begin first, exactly one end last, scenes only in between); 0 when it did not start (`error`
    // says why), did not end, or told its steps out of order.
    char detect(const std::string& file, VkRational rate = VkRational{25, 1},
                VkSceneDetector::Params params = VkSceneDetector::Params(), std::string* error = nullptr)
    {
        VkSceneDetector detector;
        detector.init(file, rate);
        detector.setParams(params);
        detector.setObserver(this);
        std::string ignored;
        if (!detector.start(error ? error : &ignored))
            return 0;
        {
            // The timeout only guards against a hang.
            std::unique_lock<std::mutex> lock(mutex);
            ended.wait_for(lock, std::chrono::seconds(120), [this] { return ends() > 0; });
        }
        detector.release();
        const bool ordered =
            kinds.size() >= 2 && kinds.front() == 'b' && kinds.find_first_not_of('s', 1) == kinds.size() - 1;
        return ordered && ::isupper(kinds.back()) ? kinds.back() : 0;
    }

private:
    void record(char kind, int64_t start = 0, int64_t end = 0, const std::string& message = {})
    {
        if (released.load())
            ++afterRelease;
        std::lock_guard<std::mutex> lock(mutex);
        kinds += kind;
        if (kind == 's')
            scenes.append({start, end});
        if (kind == 'E')
            failure = message;
        ended.notify_all();
    }
};
