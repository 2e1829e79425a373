#pragma once

#include "VkMediaTestFiles.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QPair>
#include <QString>
#include <QVector>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Helpers shared by the media model suites: the generated files, the frame number the "numbered"
// clips draw into their pictures, and an observer that records what a detector tells it.
namespace VkMediaModelTest {

// Only guards against a hang; no result depends on it.
constexpr auto kDeadlockGuard = std::chrono::seconds(120);

inline QString mediaPath(const char* name)
{
    return VkMediaTestFiles::dir() + QLatin1Char('/') + QLatin1String(name);
}

inline std::unique_ptr<IVkAbstractMediaItem> item(const QString& path)
{
    QString error;
    auto created = VkMediaItemFactory::create(path, &error);
    if (!created)
        qWarning("%s", qPrintable(error));
    return created;
}

// Bit k of the frame number is the brightness in the middle of column k (an eighth of the width
// each). Pixels are B, G, R, A in memory.
inline int numberIn(const uchar* argb, int width, int height)
{
    constexpr int kBits = 8;
    constexpr int kBytesPerPixel = 4;
    constexpr int kMidGrey = 128;
    int number = 0;
    for (int k = 0; k < kBits; ++k) {
        const int x = (2 * k + 1) * width / (2 * kBits);
        const size_t at = (size_t(height / 2) * size_t(width) + size_t(x)) * kBytesPerPixel;
        if (argb[at + 1] > kMidGrey)
            number |= 1 << k;
    }
    return number;
}

struct Event
{
    enum Kind
    {
        Begin,
        Scene,
        Finished,
        Stopped,
        Failed,
    };
    Kind kind = Begin;
    qint64 start = 0;
    qint64 end = 0;
    std::thread::id thread;
};

// Records every notification with the thread it came on; can act on the detector thread.
class Recorder final : public IVkScenceDetectEventObserver
{
public:
    using Hook = std::function<void(const Event&)>;

    bool onDetectBegin() override { return record({Event::Begin, 0, 0, {}}); }
    bool onDetectFinished() override { return record({Event::Finished, 0, 0, {}}); }
    bool onDetectStopped() override { return record({Event::Stopped, 0, 0, {}}); }
    bool onDetectFailed() override { return record({Event::Failed, 0, 0, {}}); }
    bool onSceneDetected(qint64 startFrame, qint64 endFrame) override
    {
        return record({Event::Scene, startFrame, endFrame, {}});
    }

    // Runs on the detector thread after each notification has been recorded.
    void setHook(Hook hook) { m_hook = std::move(hook); }

    QVector<Event> events() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }

    bool waitFor(Event::Kind kind)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kDeadlockGuard, [&] {
            for (const Event& e : m_events) {
                if (e.kind == kind)
                    return true;
            }
            return false;
        });
    }

    bool waitEnd()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, kDeadlockGuard, [&] {
            return !m_events.isEmpty() && m_events.last().kind != Event::Begin &&
                   m_events.last().kind != Event::Scene;
        });
    }

    QVector<QPair<qint64, qint64>> scenes() const
    {
        QVector<QPair<qint64, qint64>> ranges;
        for (const Event& e : events()) {
            if (e.kind == Event::Scene)
                ranges.append({e.start, e.end});
        }
        return ranges;
    }

    int count(Event::Kind kind) const
    {
        int n = 0;
        for (const Event& e : events())
            n += e.kind == kind ? 1 : 0;
        return n;
    }

private:
    bool record(Event e)
    {
        e.thread = std::this_thread::get_id();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.append(e);
        }
        m_changed.notify_all();
        if (m_hook)
            m_hook(e);
        return true;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QVector<Event> m_events;
    Hook m_hook;
};

} // namespace VkMediaModelTest
