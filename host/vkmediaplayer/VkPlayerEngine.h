#pragma once

#include <vkmediaplayer/IVkMediaPlayer.h>

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

namespace vkmediaplayer {

// The player behind a presenter: a thread of its own renders the frames of one video file with the
// engine's frame renderer, at the clip's rate, within the play range.
//
// Every operation may be called from any thread and returns without waiting for the player's thread:
// requests are written into state guarded by a mutex that the player's thread never holds while it
// decodes, and the thread is woken. Only the player's thread emits, always after it has released the
// mutex, and every signal carries the serial of the media it belongs to, so that a receiver can drop
// what was already on its way when another file was opened. The destructor joins the thread: no
// signal follows it.
class VkPlayerEngine : public QObject, public IVkMediaPlayer
{
    Q_OBJECT
public:
    explicit VkPlayerEngine(QObject* parent = nullptr);
    ~VkPlayerEngine() override;

    // Relative to the play range: frame 0 is the range's first frame. Positions past either end are
    // clamped into the range.
    void seek(qint64 frame, bool exact, bool keepPlaying) override;
    void setPlayRange(qint64 first, qint64 count) override;

    // Opens a video for playback. A file this process has opened before (the media item probed it)
    // costs the calling thread no decoding: its decoder opens on the player's thread with the first
    // frame. Otherwise the file's video stream is opened on the calling thread (bounded). The play
    // range becomes the whole file and nothing is shown until a seek or play. Returns the new media
    // serial, or -1 with a message when the file cannot be decoded (the player is then closed).
    int open(const QString& path, const QSize& videoSize, double framesPerSecond, qint64 frameCount,
             QString* error);
    // Forgets the media; the serial moves on so that frames still on their way are recognised.
    void close();

    // Plays from the frame after the one shown and stops after the range's last frame. Playback that
    // had run to the end, or a player resting on the last frame of a longer range, starts over from
    // the range's first frame.
    void play();
    void pause();
    bool isPlaying() const;
    bool isOpen() const;
    // The same as seek() with a frame of the media instead of one of the range.
    void seekAbsolute(qint64 frame, bool exact, bool keepPlaying);

    // The frame last asked for (by the latest seek, or by playback moving on), as a frame of the
    // media, even when it is not drawn yet; -1 when nothing is open.
    qint64 position() const;
    qint64 rangeFirst() const;
    qint64 rangeCount() const;
    qint64 frameCount() const;
    int serial() const;

    // Frames are rendered to fit this box (device pixels), keeping the video's aspect and never
    // larger than the video itself. A frame already shown is drawn again at the new size.
    void setRenderBox(const QSize& box);
    QSize renderBox() const;

    // The size a frame of a video of `videoSize` is rendered at for a box of `box`.
    static QSize fittedSize(const QSize& videoSize, const QSize& box);

signals:
    void sigFrame(const QImage& image, qlonglong frame, int serial);
    void sigPlayingChanged(bool playing, int serial);
    void sigRangeChanged(qlonglong first, qlonglong count, int serial);
    void sigRenderFailed(qlonglong frame, const QString& message, int serial);

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkPlayerEngine)
};

} // namespace vkmediaplayer
