#pragma once

#include <vkcore/VkPresenter.h>
#include <vkmediaplayer/VkMediaPlayerExport.h>
#include <vkvblmodel/VkMediaSourceType.h>

#include <memory>

class IVkAbstractMediaItem;
class IVkMediaPlayer;

// Drives one player for a preview: opens a media item, plays, pauses, seeks; the player widget and
// the tool bar follow it through its signals.
class VKMEDIAPLAYER_EXPORT VkMediaPlayerPresenter : public VkPresenter
{
    Q_OBJECT
public:
    // With a null player the presenter makes and owns a player of its own.
    VkMediaPlayerPresenter(QObject* parent, IVkMediaPlayer* player);
    ~VkMediaPlayerPresenter() override;

    void init() override;
    void reset() override;
    void clearView() override;
    void dispatchMessage(VkMessage* message) override;

    virtual bool openMedia(IVkAbstractMediaItem* media, VKVBLMODEL::VkMediaSourceType sourceType, int flags);
    virtual bool play();
    virtual void pause();
    virtual void stop();
    virtual void playOrPause();
    virtual void forward(bool oneFrame);
    virtual void backward(bool oneFrame);
    virtual void seek(qint64 frame, bool exact, bool keepPlaying);

    // Length of the opened media in frames (0 when nothing is open).
    int mediaLength() const;
    IVkMediaPlayer* mediaPlayer() const;
    bool isPlaying() const;
    qint64 currentFrame() const;

signals:
    void sigFrameReady(const QImage& frame, qlonglong frameNumber);
    void sigPlayStateChanged(bool playing);
    void sigPositionChanged(qlonglong frameNumber);
    void sigMediaOpened(int frameCount);

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkMediaPlayerPresenter)
};
