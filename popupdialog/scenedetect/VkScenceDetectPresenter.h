#pragma once

#include <VkPopupDialogExport.h>

#include <QImage>
#include <QObject>

class IVkAbstractMediaItem;
class VkMediaPlayerPresenter;

// Drives the host's scene detector over one clip and reports what it finds as Qt signals: start,
// stop, finish, and one signal per scene with its half-open frame range [start, end) and a
// thumbnail of its first frame. The detector notifies on its own thread; the signals carry values
// only, so receivers connected automatically get them queued on their own thread.
class VKPOPUPDIALOG_EXPORT VkScenceDetectPresenter : public QObject
{
    Q_OBJECT
public:
    VkScenceDetectPresenter(IVkAbstractMediaItem* media, QObject* parent);
    ~VkScenceDetectPresenter() override;

    VkMediaPlayerPresenter* playerPresenter() const;
    // Opens the clip in the preview player; called once the view shows the player.
    void openMedia();
    void startDetect();
    void stopDetect();
    bool isDetecting() const;
    // The clip's length in frames, known once openMedia() has run.
    qint64 mediaLength() const;
    // The time text of a frame of the clip, at the clip's own frame rate.
    QString frameToText(qint64 frame) const;

    class Private;

signals:
    void signalDetectStart();
    void signalDetectStop();
    void signalDetectFinished();
    void signalDetectResult(qlonglong start, qlonglong end, qlonglong duration, QImage img);
    // Frames analysed so far out of the clip's frame count, a few times a second while a detection
    // runs; the whole count once more when it finishes.
    void signalDetectProgress(qlonglong frames, qlonglong frameCount);

private:
    Private* const d;
    Q_DISABLE_COPY(VkScenceDetectPresenter)
};
