#pragma once

#include <vkcore/VkPresenter.h>
#include <vkmediaplayer/VkMediaPlayerExport.h>
#include <vkvblmodel/VkMediaSourceType.h>

#include <QImage>

#include <memory>

class IVkAbstractMediaItem;
class IVkMediaPlayer;
class QSize;

// Drives one player for a preview: opens a media item, plays, pauses, seeks; the player widget and
// the tool bar follow it through its signals.
//
// Frame numbers are frames of the opened media, counted from 0 at the clip's own rate. The operations
// run on the GUI thread, except seek(), which may be called from any thread (a scene detector calls
// it from its own): it only hands the request to the player's thread and never waits.
class VKMEDIAPLAYER_EXPORT VkMediaPlayerPresenter : public VkPresenter
{
    Q_OBJECT
public:
    // Bits of openMedia()'s `flags`.
    enum OpenFlag : int
    {
        OpenFlag_None = 0,
        // Start playing as soon as the media is open.
        OpenFlag_AutoPlay = 1,
    };

    // Ids of the messages dispatchMessage() acts on (payloads in brackets); every message is also
    // passed on as sigMessage.
    enum MessageId : int
    {
        Message_Play = 1,
        Message_Pause = 2,
        Message_Stop = 3,
        Message_PlayOrPause = 4,
        Message_Forward = 5,  // [bool oneFrame]
        Message_Backward = 6, // [bool oneFrame]
        Message_Seek = 7,     // [qlonglong frame]
    };

    // With a null player the presenter makes and owns a player of its own. A player that is given
    // stays the caller's and must outlive the presenter; only a player of this library (see
    // VkMediaPlayerFactory::createPlayer) renders frames for the presenter, any other one is only
    // handed the play range and the seeks.
    VkMediaPlayerPresenter(QObject* parent, IVkMediaPlayer* player);
    ~VkMediaPlayerPresenter() override;

    void init() override;
    // Closes the media.
    void reset() override;
    // Tells the views to drop the picture they show.
    void clearView() override;
    void dispatchMessage(VkMessage* message) override;

    // Opens the item's video for preview and shows its first frame. False, with nothing open, for a
    // null item, an item without video information or a file that cannot be decoded.
    virtual bool openMedia(IVkAbstractMediaItem* media, VKVBLMODEL::VkMediaSourceType sourceType, int flags);
    // Plays on from the frame shown to the end of the play range; from the range's first frame when
    // the player stands on the range's last frame. False when nothing is open.
    virtual bool play();
    virtual void pause();
    // Pauses and goes back to the first frame of the play range.
    virtual void stop();
    virtual void playOrPause();
    // One frame on (and paused), or one second on with the play state kept.
    virtual void forward(bool oneFrame);
    virtual void backward(bool oneFrame);
    // `frame` is a frame of the media, clamped into the play range. `exact`: this very frame is shown
    // even when further seeks follow at once; otherwise a newer seek may replace it before it is
    // drawn (scrubbing). `keepPlaying`: a running playback goes on from there; otherwise the player
    // pauses on that frame.
    virtual void seek(qint64 frame, bool exact, bool keepPlaying);

    // Length of the opened media in frames (0 when nothing is open).
    int mediaLength() const;
    IVkMediaPlayer* mediaPlayer() const;
    bool isPlaying() const;
    // The frame last shown; -1 before the first.
    qint64 currentFrame() const;

    // The picture last shown (null before the first), so that a view attached later starts with it.
    QImage currentImage() const;
    // The play range as the player last reported it: its first frame and its length in frames.
    qint64 playRangeFirst() const;
    qint64 playRangeCount() const;
    // Frames per second of the opened media (25 when it does not say).
    double frameRate() const;
    VKVBLMODEL::VkMediaSourceType sourceType() const;
    // The view's size in device pixels: frames are rendered to fit it rather than at full size.
    void setRenderSize(const QSize& devicePixels);

signals:
    void sigFrameReady(const QImage& frame, qlonglong frameNumber);
    void sigPlayStateChanged(bool playing);
    void sigPositionChanged(qlonglong frameNumber);
    void sigMediaOpened(int frameCount);
    void sigPlayRangeChanged(qlonglong first, qlonglong count);
    // A frame could not be decoded; playback has stopped.
    void sigError(const QString& message);

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkMediaPlayerPresenter)
};
