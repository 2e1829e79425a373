#pragma once

#include <vkmediaplayer/VkMediaPlayerExport.h>
#include <vkwidgets/VkWidget.h>

#include <memory>

class VkLabel;
class VkMediaPlayerPresenter;
class VkToolButton;
class VkToolSlider;

// A ready-made transport bar bound to a player presenter: buttons, a position slider and time labels.
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
    enum TimeLabelType : int
    {
        TimeLabel_CurrentAndDuration = 0,
        TimeLabel_Duration = 1,
        TimeLabel_Current = 2,
    };

    // Without a slider of the caller's, the bar makes its own; `compact` lays it out on one line.
    VkPlayerToolBarBase(QWidget* parent, VkToolSlider* slider, bool compact);
    ~VkPlayerToolBarBase() override;

    VkToolButton* button(int index) const;
    VkToolSlider* slider() const;
    VkLabel* currentTimeLabel() const;
    VkLabel* durationTimeLabel() const;
    void setTimeLabelType(TimeLabelType type);
    void setPlayerPresenter(VkMediaPlayerPresenter* presenter);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Private;
    const std::unique_ptr<Private> d;
    Q_DISABLE_COPY(VkPlayerToolBarBase)
};
