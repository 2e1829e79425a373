#include "VkPlayerEngine.h"

#include <vkcore/VkError.h>
#include <vkmedia/VkFrameRenderer.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace vkmediaplayer {

namespace {

using Clock = std::chrono::steady_clock;

// A preview is small: without a view telling its size, frames are drawn no larger than this.
constexpr QSize kDefaultRenderBox(640, 360);
// The rate a clip without a usable rate of its own is played at.
constexpr double kFallbackFramesPerSecond = 25.0;
// Exact seeks are kept in order until shown; a caller that asks faster than frames can be decoded
// loses the oldest of them rather than growing the backlog without end.
constexpr size_t kMaxPendingSeeks = 32;

struct SeekRequest
{
    qint64 frame = 0;
    bool exact = false;
};

Clock::duration intervalFor(double framesPerSecond)
{
    const double rate = framesPerSecond > 0.0 ? framesPerSecond : kFallbackFramesPerSecond;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
}

} // namespace

class VkPlayerEngine::Private
{
public:
    explicit Private(VkPlayerEngine* owner)
        : q(owner)
    {}

    VkPlayerEngine* const q;

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::thread thread;

    // Everything below is guarded by `mutex`.
    bool quit = false;
    std::shared_ptr<VkFrameRenderer> renderer;
    int serial = 0;
    QSize videoSize;
    Clock::duration frameInterval = intervalFor(kFallbackFramesPerSecond);
    qint64 frameCount = 0;
    qint64 first = 0;
    qint64 count = 0;
    std::deque<SeekRequest> seeks;
    bool playing = false;
    // Set by play() until its first frame is drawn: playback starts over from the range's first
    // frame when it had run to the end of the range, or when the player rests on the range's last
    // frame (unless that is the range's only frame: a one-frame range that was just sought is not
    // played twice). Decided by the thread, so that the outcome does not depend on whether a seek
    // asked just before was drawn already.
    bool restartWanted = false;
    // Playback stopped by itself after the range's last frame; any seek ends that.
    bool atEnd = false;
    Clock::time_point due = Clock::now();
    // The frame last emitted for the current serial, -1 before the first.
    qint64 shown = -1;
    // The frame last asked for: by a seek, or by playback moving on. Steps are counted from here, so
    // that they add up while earlier ones are still being decoded.
    qint64 aim = -1;
    QSize box = kDefaultRenderBox;
    bool redraw = false;

    // What the thread has told the receivers so far; it emits when these differ from the state.
    int reportedSerial = -1;
    bool reportedPlaying = false;
    qint64 reportedFirst = -1;
    qint64 reportedCount = -1;

    qint64 last() const { return first + count - 1; }
    qint64 clampToRange(qint64 frame) const { return std::clamp(frame, first, std::max(first, last())); }
    void closeLocked();
    void pushSeekLocked(qint64 frame, bool exact, bool keepPlaying);

    // The player's thread: reports, then pending seeks in order, a redraw at a new size, the next
    // frame of playback; sleeps when there is nothing to do.
    void run();
    bool reportLocked(std::unique_lock<std::mutex>& lock);
    void showSeekLocked(std::unique_lock<std::mutex>& lock);
    void redrawLocked(std::unique_lock<std::mutex>& lock);
    // The frame playback shows next: the one after the shown one, or the range's first when playback
    // starts over or the shown frame lies outside the range.
    qint64 nextPlayedFrame() const;
    void playStepLocked(std::unique_lock<std::mutex>& lock);
    void renderAndEmit(std::unique_lock<std::mutex>& lock, qint64 frame);
};

void VkPlayerEngine::Private::closeLocked()
{
    renderer.reset();
    ++serial;
    videoSize = QSize();
    frameCount = 0;
    first = 0;
    count = 0;
    seeks.clear();
    playing = false;
    restartWanted = false;
    atEnd = false;
    shown = -1;
    aim = -1;
    redraw = false;
}

void VkPlayerEngine::Private::pushSeekLocked(qint64 frame, bool exact, bool keepPlaying)
{
    if (!renderer)
        return;
    if (!keepPlaying)
        playing = false;
    atEnd = false;
    // A newer request makes every inexact one still waiting pointless; exact ones stay in order.
    seeks.erase(std::remove_if(seeks.begin(), seeks.end(), [](const SeekRequest& r) { return !r.exact; }),
                seeks.end());
    if (seeks.size() >= kMaxPendingSeeks)
        seeks.pop_front();
    seeks.push_back({frame, exact});
    aim = frame;
    wake.notify_one();
}

bool VkPlayerEngine::Private::reportLocked(std::unique_lock<std::mutex>& lock)
{
    if (reportedSerial != serial) {
        reportedSerial = serial;
        reportedPlaying = false;
        reportedFirst = -1;
        reportedCount = -1;
    }
    const int s = serial;
    if (renderer && (first != reportedFirst || count != reportedCount)) {
        reportedFirst = first;
        reportedCount = count;
        const qint64 f = first;
        const qint64 c = count;
        lock.unlock();
        emit q->sigRangeChanged(f, c, s);
        lock.lock();
        return true;
    }
    if (playing != reportedPlaying) {
        reportedPlaying = playing;
        const bool p = playing;
        lock.unlock();
        emit q->sigPlayingChanged(p, s);
        lock.lock();
        return true;
    }
    return false;
}

void VkPlayerEngine::Private::renderAndEmit(std::unique_lock<std::mutex>& lock, qint64 frame)
{
    // Decoding happens without the lock, so that no caller ever waits for a frame.
    const std::shared_ptr<VkFrameRenderer> r = renderer;
    const int s = serial;
    const QSize size = fittedSize(videoSize, box);
    lock.unlock();
    QImage image(size, QImage::Format_ARGB32);
    std::string error;
    const bool ok =
        !image.isNull() && r->renderFrame(frame, size.width(), size.height(), image.bits(), &error);
    lock.lock();
    if (quit || s != serial)
        return;
    if (!ok) {
        playing = false;
        lock.unlock();
        emit q->sigRenderFailed(frame, QString::fromStdString(error), s);
        lock.lock();
        return;
    }
    shown = frame;
    lock.unlock();
    emit q->sigFrame(image, frame, s);
    lock.lock();
}

void VkPlayerEngine::Private::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!quit) {
        // Receivers hear of a new range or play state before the frames that follow from it.
        if (reportLocked(lock))
            continue;
        if (renderer && !seeks.empty())
            showSeekLocked(lock);
        else if (renderer && redraw)
            redrawLocked(lock);
        else if (renderer && playing)
            playStepLocked(lock);
        else
            wake.wait(lock);
    }
}

void VkPlayerEngine::Private::showSeekLocked(std::unique_lock<std::mutex>& lock)
{
    const SeekRequest request = seeks.front();
    seeks.pop_front();
    renderAndEmit(lock, clampToRange(request.frame));
    due = Clock::now() + frameInterval;
}

void VkPlayerEngine::Private::redrawLocked(std::unique_lock<std::mutex>& lock)
{
    redraw = false;
    if (shown >= 0)
        renderAndEmit(lock, shown);
}

qint64 VkPlayerEngine::Private::nextPlayedFrame() const
{
    const bool restart = restartWanted && (atEnd || (shown >= last() && count > 1));
    if (shown < first || shown > last() || restart)
        return first;
    return shown + 1;
}

void VkPlayerEngine::Private::playStepLocked(std::unique_lock<std::mutex>& lock)
{
    const qint64 next = nextPlayedFrame();
    if (next > last()) {
        playing = false;
        restartWanted = false;
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now < due) {
        wake.wait_until(lock, due);
        return;
    }
    // A late frame (slow decoding, or the first after a pause) moves the clock instead of hurrying
    // the frames after it: a preview shows every frame.
    if (now - due > frameInterval)
        due = now;
    due += frameInterval;
    restartWanted = false;
    atEnd = false;
    aim = next;
    renderAndEmit(lock, next);
    if (playing && shown >= last()) {
        playing = false;
        atEnd = true;
    }
}

VkPlayerEngine::VkPlayerEngine(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>(this))
{
    d->thread = std::thread([this] { d->run(); });
}

VkPlayerEngine::~VkPlayerEngine()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->quit = true;
    }
    d->wake.notify_all();
    d->thread.join();
}

void VkPlayerEngine::seek(qint64 frame, bool exact, bool keepPlaying)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    // Bounded before the addition, so that no request can overflow it.
    d->pushSeekLocked(d->first + std::clamp<qint64>(frame, 0, d->count), exact, keepPlaying);
}

void VkPlayerEngine::seekAbsolute(qint64 frame, bool exact, bool keepPlaying)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->pushSeekLocked(frame, exact, keepPlaying);
}

void VkPlayerEngine::setPlayRange(qint64 first, qint64 count)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->renderer || d->frameCount <= 0)
        return;
    d->first = std::clamp<qint64>(first, 0, d->frameCount - 1);
    d->count = std::clamp<qint64>(count, 1, d->frameCount - d->first);
    d->wake.notify_one();
}

int VkPlayerEngine::open(const QString& path, const QSize& videoSize, double framesPerSecond,
                         qint64 frameCount, QString* error)
{
    const auto fail = [&](const QString& message) {
        close();
        VkError::set(error, message);
        return -1;
    };
    if (frameCount <= 0)
        return fail(tr("The file has no video frames: %1").arg(path));
    auto renderer = std::make_shared<VkFrameRenderer>();
    std::string message;
    if (!renderer->open(path.toStdString(), &message))
        return fail(QString::fromStdString(message));

    std::lock_guard<std::mutex> lock(d->mutex);
    d->closeLocked();
    d->renderer = std::move(renderer);
    d->videoSize = videoSize;
    d->frameInterval = intervalFor(framesPerSecond);
    d->frameCount = frameCount;
    d->count = frameCount;
    d->wake.notify_one();
    return d->serial;
}

void VkPlayerEngine::close()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->closeLocked();
    d->wake.notify_one();
}

void VkPlayerEngine::play()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->renderer || d->playing)
        return;
    d->playing = true;
    d->restartWanted = true;
    d->due = Clock::now();
    d->wake.notify_one();
}

void VkPlayerEngine::pause()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->playing = false;
    d->wake.notify_one();
}

bool VkPlayerEngine::isPlaying() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->playing;
}

bool VkPlayerEngine::isOpen() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->renderer != nullptr;
}

qint64 VkPlayerEngine::position() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->renderer)
        return -1;
    return d->aim >= 0 ? d->clampToRange(d->aim) : d->first;
}

qint64 VkPlayerEngine::rangeFirst() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->first;
}

qint64 VkPlayerEngine::rangeCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->count;
}

qint64 VkPlayerEngine::frameCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->frameCount;
}

int VkPlayerEngine::serial() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->serial;
}

void VkPlayerEngine::setRenderBox(const QSize& box)
{
    if (box.isEmpty())
        return;
    std::lock_guard<std::mutex> lock(d->mutex);
    const QSize before = fittedSize(d->videoSize, d->box);
    d->box = box;
    // While playing, the next frame comes at the new size anyway.
    if (d->shown >= 0 && !d->playing && fittedSize(d->videoSize, box) != before) {
        d->redraw = true;
        d->wake.notify_one();
    }
}

QSize VkPlayerEngine::renderBox() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->box;
}

QSize VkPlayerEngine::fittedSize(const QSize& videoSize, const QSize& box)
{
    const QSize bounds = box.isEmpty() ? kDefaultRenderBox : box;
    if (videoSize.isEmpty())
        return bounds;
    const double scale = std::min(
        {double(bounds.width()) / videoSize.width(), double(bounds.height()) / videoSize.height(), 1.0});
    return QSize(std::max(1, qRound(videoSize.width() * scale)),
                 std::max(1, qRound(videoSize.height() * scale)));
}

} // namespace vkmediaplayer
