#include "VkScenceDetectPlayerToolBar.h"

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>

namespace {

constexpr int kSliderHeight = 12;
constexpr int kButtonSide = 24;
constexpr int kButtonTopGap = 8;
constexpr int kButtonGap = 16;
constexpr int kTimeWidth = 80;
constexpr int kStepBackButton = 0;
constexpr int kPlayButton = 1;
constexpr int kStopButton = 2;
constexpr int kStepForwardButton = 3;
constexpr int kFullscreenButton = 4;
constexpr int kVolumeButton = 5;
constexpr auto kCurrentTimeOnly = VkPlayerToolBarBase::TimeLabelType(2);

} // namespace

VkScenceDetectPlayerToolBar::VkScenceDetectPlayerToolBar(QWidget* parent)
    : VkPlayerToolBarBase(parent, nullptr, true)
{
    if (VkToolButton* b = button(kFullscreenButton))
        b->hide();
    if (VkToolButton* b = button(kVolumeButton))
        b->hide();
    // This bar places only play and step forward; left visible, the other two would lie on the
    // slider where the base once put them, and Tab would stop at buttons no one can see whole.
    if (VkToolButton* b = button(kStepBackButton))
        b->hide();
    if (VkToolButton* b = button(kStopButton))
        b->hide();
    setTimeLabelType(kCurrentTimeOnly);
    if (VkLabel* duration = durationTimeLabel())
        duration->hide();
    if (VkLabel* current = currentTimeLabel())
        current->setAlignment(Qt::AlignRight | Qt::AlignHCenter | Qt::AlignVCenter);
}

VkScenceDetectPlayerToolBar::~VkScenceDetectPlayerToolBar() = default;

void VkScenceDetectPlayerToolBar::resizeEvent(QResizeEvent* /*event*/)
{
    const int w = width();
    VkToolSlider* bar = slider();
    if (!bar)
        return;
    bar->setGeometry(0, 0, w, kSliderHeight);
    const int y = bar->geometry().bottom() + kButtonTopGap;
    VkToolButton* play = button(kPlayButton);
    VkToolButton* step = button(kStepForwardButton);
    if (play)
        play->setGeometry(0, y, kButtonSide, kButtonSide);
    if (play && step)
        step->setGeometry(play->geometry().right() + kButtonGap, y, kButtonSide, kButtonSide);
    if (VkLabel* current = currentTimeLabel())
        current->setGeometry(w - kTimeWidth, y, kTimeWidth, kButtonSide);
}
