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
    std::function<void(int64_t start)> onScene;
    std::function<void(int64_t done)> onProgress;
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
        if (onScene)
            onScene(start);
        record('s', start, end);
    }
    void sceneProgress(int64_t done, int64_t) override
    {
        if (onProgress)
            onProgress(done);
    }
    void sceneDetectFinished() override { record('F'); }
    void sceneDetectStopped() override { record('X'); }
    void sceneDetectFailed(const std::string& message) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            failure = message;
        }
        record('E');
    }

    int ends() const { return int(std::count_if(kinds.begin(), kinds.end(), ::isupper)); }
    // The timeout only guards against a hang.
    bool waitEnd()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return ended.wait_for(lock, std::chrono::seconds(120), [this] { return ends() > 0; });
    }
    // The end letter of the run, 0 when none came.
    char end() const { return ends() > 0 ? kinds.back() : 0; }
    // One begin first, exactly one end (the expected one) last, scenes only in between.
    bool wellOrdered(char last) const
    {
        return kinds.size() >= 2 && kinds.front() == 'b' && kinds.back() == last &&
               kinds.find_first_not_of('s', 1) == kinds.size() - 1;
    }
    // Scenes that follow each other without a gap from frame 0 to `frames`.
    bool tiles(qint64 frames) const
    {
        if (scenes.isEmpty() || scenes.first().first != 0 || scenes.last().second != frames)
            return false;
        for (int i = 0; i < scenes.size(); ++i) {
            if (scenes[i].first >= scenes[i].second || (i > 0 && scenes[i].first != scenes[i - 1].second))
                return false;
        }
        return true;
    }
    // Runs a whole detection of `file` and releases the detector: the end letter, 0 when it did not
    // start (`error` says why) or did not end.
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
        waitEnd();
        detector.release();
        return end();
    }

private:
    void record(char kind, int64_t start = 0, int64_t end = 0)
    {
        if (released.load())
            ++afterRelease;
        std::lock_guard<std::mutex> lock(mutex);
        kinds += kind;
        if (kind == 's')
            scenes.append({start, end});
        ended.notify_all();
    }
};
