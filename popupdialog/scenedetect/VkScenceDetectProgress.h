#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

class QProgressBar;
class VkLabel;

// How far a running detection has got: the frames analysed against the clip's frame count, as a
// caption over a thin bar in the theme's accent colour. Hidden while no detection runs, so that an
// idle window looks as it always has.
class VKPOPUPDIALOG_EXPORT VkScenceDetectProgress : public VkWidget
{
    Q_OBJECT
public:
    explicit VkScenceDetectProgress(QWidget* parent);
    ~VkScenceDetectProgress() override;

    // A detection began over a clip of `frameCount` frames (0 when not known yet): shown, at 0.
    void begin(qint64 frameCount);
    void setProgress(qint64 frames, qint64 frameCount);
    // The detection ended, either way: hidden.
    void end();

    qint64 frames() const;
    qint64 frameCount() const;
    void TranslateText() override;

private:
    void showValues();

    QProgressBar* m_bar = nullptr;
    VkLabel* m_caption = nullptr;
    qint64 m_frames = 0;
    qint64 m_frameCount = 0;
    Q_DISABLE_COPY(VkScenceDetectProgress)
};
