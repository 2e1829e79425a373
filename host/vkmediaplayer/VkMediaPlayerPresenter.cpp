#include <vkmediaplayer/VkMediaPlayerPresenter.h>

#include "VkPlayerEngine.h"

#include <vkcore/VkMessage.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

#include <QSize>

#include <atomic>

using vkmediaplayer::VkPlayerEngine;

namespace {

// The rate assumed for a clip whose media information gives none.
constexpr double kFallbackFramesPerSecond = 25.0;

} // namespace

class VkMediaPlayerPresenter::Private
{
public:
    Private(VkMediaPlayerPresenter* owner, IVkMediaPlayer* given)
        : q(owner)
        , ownedPlayer(given ? nullptr : std::make_unique<VkPlayerEngine>())
        , player(given ? given : ownedPlayer.get())
        , engine(dynamic_cast<VkPlayerEngine*>(player))
    {}

    VkMediaPlayerPresenter* const q;
    const std::unique_ptr<VkPlayerEngine> ownedPlayer;
    // Fixed for the presenter's life, so that seek() may read them from any thread.
    IVkMediaPlayer* const player;
    VkPlayerEngine* const engine;

    IVkAbstractMediaItem* media = nullptr;
    VKVBLMODEL::VkMediaSourceType sourceType = VKVBLMODEL::VkMediaSource_Library;
    // Read by callers on other threads (the scene detector asks while it runs).
    std::atomic<int> frameCount{0};
    double framesPerSecond = kFallbackFramesPerSecond;
    // Signals of the player that carry another serial belong to media opened before.
    int serial = -1;
    qint64 current = -1;
    QImage image;
    qint64 rangeFirst = 0;
    qint64 rangeCount = 0;
    bool playingReported = false;
    // From play() until the player's report that playback ended has arrived here (it comes after the
    // last frame), or until a caller here pauses, stops or moves the player. Atomic: seek() comes
    // from any thread.
    std::atomic<bool> awaitingEnd{false};

    void connectEngine();
    void closeMedia();
    qint64 oneSecond() const { return std::max<qint64>(1, qRound64(framesPerSecond)); }
};

void VkMediaPlayerPresenter::Private::connectEngine()
{
    if (!engine)
        return;
    // Queued always: the player's thread emits, and the receivers touch the views.
    QObject::connect(
        engine, &VkPlayerEngine::sigFrame, q,
        [this](const QImage& frame, qlonglong number, int s) {
            if (s != serial)
                return;
            current = number;
            image = frame;
            emit q->sigFrameReady(frame, number);
            emit q->sigPositionChanged(number);
        },
        Qt::QueuedConnection);
    QObject::connect(
        engine, &VkPlayerEngine::sigPlayingChanged, q,
        [this](bool playing, int s) {
            if (s != serial)
                return;
            if (!playing)
                awaitingEnd = false;
            if (playing == playingReported)
                return;
            playingReported = playing;
            emit q->sigPlayStateChanged(playing);
        },
        Qt::QueuedConnection);
    QObject::connect(
        engine, &VkPlayerEngine::sigRangeChanged, q,
        [this](qlonglong first, qlonglong count, int s) {
            if (s != serial || (first == rangeFirst && count == rangeCount))
                return;
            rangeFirst = first;
            rangeCount = count;
            emit q->sigPlayRangeChanged(first, count);
        },
        Qt::QueuedConnection);
    QObject::connect(
        engine, &VkPlayerEngine::sigRenderFailed, q,
        [this](qlonglong, const QString& message, int s) {
            if (s == serial)
                emit q->sigError(message);
        },
        Qt::QueuedConnection);
}

void VkMediaPlayerPresenter::Private::closeMedia()
{
    if (engine) {
        engine->close();
        serial = engine->serial();
    }
    media = nullptr;
    frameCount = 0;
    framesPerSecond = kFallbackFramesPerSecond;
    current = -1;
    image = QImage();
    rangeFirst = 0;
    rangeCount = 0;
    awaitingEnd = false;
    if (playingReported) {
        playingReported = false;
        emit q->sigPlayStateChanged(false);
    }
}

VkMediaPlayerPresenter::VkMediaPlayerPresenter(QObject* parent, IVkMediaPlayer* player)
    : VkPresenter(parent)
    , d(std::make_unique<Private>(this, player))
{
    d->connectEngine();
    if (d->engine)
        d->serial = d->engine->serial();
}

VkMediaPlayerPresenter::~VkMediaPlayerPresenter() = default;

void VkMediaPlayerPresenter::init()
{
    VkPresenter::init();
}

void VkMediaPlayerPresenter::reset()
{
    d->closeMedia();
    clearView();
    VkPresenter::reset();
}

void VkMediaPlayerPresenter::clearView()
{
    d->image = QImage();
    VkPresenter::clearView();
}

void VkMediaPlayerPresenter::dispatchMessage(VkMessage* message)
{
    if (!message)
        return;
    const QVariant& payload = message->payload();
    switch (message->id()) {
    case Message_Play:
        play();
        break;
    case Message_Pause:
        pause();
        break;
    case Message_Stop:
        stop();
        break;
    case Message_PlayOrPause:
        playOrPause();
        break;
    case Message_Forward:
        forward(payload.toBool());
        break;
    case Message_Backward:
        backward(payload.toBool());
        break;
    case Message_Seek:
        if (payload.canConvert<qlonglong>())
            seek(payload.toLongLong(), true, isPlaying());
        break;
    default:
        break;
    }
    VkPresenter::dispatchMessage(message);
}

bool VkMediaPlayerPresenter::openMedia(IVkAbstractMediaItem* media, VKVBLMODEL::VkMediaSourceType sourceType,
                                       int flags)
{
    d->closeMedia();
    if (!media)
        return false;
    IVkMediaInfo* info = media->GetMediaInfo();
    const auto* video = dynamic_cast<const IVkVideoMediaInfo*>(info);
    if (!video || !(info->GetStreamFlags() & IVkMediaInfo::StreamFlag_Video) || info->GetFrameCount() <= 0)
        return false;

    const VkFrameRate rate = info->GetFrameRate();
    const double framesPerSecond = rate.isValid() ? rate.toDouble() : kFallbackFramesPerSecond;
    const int frames = info->GetFrameCount();
    if (d->engine) {
        QString error;
        const int serial = d->engine->open(media->GetFilePath(), QSize(video->GetWidth(), video->GetHeight()),
                                           framesPerSecond, frames, &error);
        d->serial = d->engine->serial();
        if (serial < 0) {
            emit sigError(error);
            return false;
        }
    } else {
        d->player->setPlayRange(0, frames);
    }
    d->media = media;
    d->sourceType = sourceType;
    d->frameCount = frames;
    d->framesPerSecond = framesPerSecond;
    d->rangeFirst = 0;
    d->rangeCount = frames;
    emit sigMediaOpened(frames);
    // The preview starts on the first picture rather than on black.
    seek(0, true, false);
    if (flags & OpenFlag_AutoPlay)
        play();
    return true;
}

bool VkMediaPlayerPresenter::play()
{
    if (!d->engine || !d->engine->isOpen())
        return false;
    // Raised first: a seek from another thread that stops the player must be able to lower it.
    d->awaitingEnd = true;
    d->engine->play();
    return true;
}

void VkMediaPlayerPresenter::pause()
{
    d->awaitingEnd = false;
    if (d->engine)
        d->engine->pause();
}

void VkMediaPlayerPresenter::stop()
{
    // Relative to the play range: its first frame.
    d->awaitingEnd = false;
    d->player->seek(0, true, false);
}

void VkMediaPlayerPresenter::playOrPause()
{
    // What the player does now, not what has reached this thread: a click right after the range ran
    // out plays it again.
    if (d->engine && d->engine->isPlaying())
        pause();
    else
        play();
}

void VkMediaPlayerPresenter::forward(bool oneFrame)
{
    if (!d->engine || !d->engine->isOpen())
        return;
    const qint64 from = d->engine->position();
    if (oneFrame) {
        d->awaitingEnd = false;
        d->engine->seekAbsolute(from + 1, true, false);
    } else {
        d->engine->seekAbsolute(from + d->oneSecond(), false, true);
    }
}

void VkMediaPlayerPresenter::backward(bool oneFrame)
{
    if (!d->engine || !d->engine->isOpen())
        return;
    const qint64 from = d->engine->position();
    if (oneFrame) {
        d->awaitingEnd = false;
        d->engine->seekAbsolute(from - 1, true, false);
    } else {
        d->engine->seekAbsolute(from - d->oneSecond(), false, true);
    }
}

void VkMediaPlayerPresenter::seek(qint64 frame, bool exact, bool keepPlaying)
{
    if (!keepPlaying)
        d->awaitingEnd = false;
    if (d->engine)
        d->engine->seekAbsolute(frame, exact, keepPlaying);
    else
        d->player->seek(frame, exact, keepPlaying);
}

int VkMediaPlayerPresenter::mediaLength() const
{
    return d->frameCount;
}

IVkMediaPlayer* VkMediaPlayerPresenter::mediaPlayer() const
{
    return d->player;
}

bool VkMediaPlayerPresenter::isPlaying() const
{
    // The player's thread stops as soon as it has sent the range's last frame, but that frame reaches
    // this thread later, queued. Playback that ends by itself therefore counts as running until its
    // end is reported here, after the frame: whoever waits for the end finds the last frame shown.
    return d->engine && (d->engine->isPlaying() || d->awaitingEnd);
}

qint64 VkMediaPlayerPresenter::currentFrame() const
{
    return d->current;
}

QImage VkMediaPlayerPresenter::currentImage() const
{
    return d->image;
}

qint64 VkMediaPlayerPresenter::playRangeFirst() const
{
    return d->rangeFirst;
}

qint64 VkMediaPlayerPresenter::playRangeCount() const
{
    return d->rangeCount;
}

double VkMediaPlayerPresenter::frameRate() const
{
    return d->framesPerSecond;
}

VKVBLMODEL::VkMediaSourceType VkMediaPlayerPresenter::sourceType() const
{
    return d->sourceType;
}

void VkMediaPlayerPresenter::setRenderSize(const QSize& devicePixels)
{
    if (d->engine)
        d->engine->setRenderBox(devicePixels);
}
