#pragma once

#include <vkmediaplayer/VkMediaPlayerExport.h>
#include <vkwidgets/VkWidget.h>

#include <memory>

class VkLabel;
class VkMediaPlayerPresenter;
class VkToolButton;
class VkToolSlider;

// A ready-made transport bar bound to a player presenter: buttons, a position slider and time labels.
//
// The slider and the labels count within the presenter's play range: the slider runs from 0 to the
// range's last frame, the current time is the position less the range's first frame and the
// duration is the range's length.
class VKMEDIAPLAYER_EXPORT VkPlayerToolBarBase : public VkWidget
{
    Q_OBJECT
public:
    // Indices of button().
    enum Button : int
    {
        Button_StepBackward = 0,
        Button_PlayPause = 1,
        Button_Stop = 2,
        Button_StepForward = 3,
        Button_Fullscreen = 4,
        Button_Volume = 5,
        ButtonCount = 6,
    };
    // Which time labels are shown: both, only the duration, or only the current time.
    enum TimeLabelType : int
    {
        TimeLabel_CurrentAndDuration = 0,
        TimeLabel_Duration = 1,
        TimeLabel_Current = 2,
    };

    // Without a slider of the caller's, the bar makes its own; `compact` lays it out on one line.
    // A slider that is given is only laid out by the bar when it is the bar's child.
    VkPlayerToolBarBase(QWidget* parent, VkToolSlider* slider, bool compact);
    ~VkPlayerToolBarBase() override;

    // Null for an index outside 0..ButtonCount - 1.
    VkToolButton* button(int index) const;
    VkToolSlider* slider() const;
    VkLabel* currentTimeLabel() const;
    VkLabel* durationTimeLabel() const;
    void setTimeLabelType(TimeLabelType type);
    TimeLabelType timeLabelType() const;
    // Binds the buttons and the slider to the presenter and follows its signals; null unbinds.
    void setPlayerPresenter(VkMediaPlayerPresenter* presenter);
    VkMediaPlayerPresenter* playerPresenter() const;

    QSize sizeHint() const override;
    void TranslateText() override;

signals:
    // The bar has no window or sound of its own to act on: these two buttons are the host's.
    void sigFullscreenClicked();
    void sigVolumeClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkPlayerToolBarBase)
};
