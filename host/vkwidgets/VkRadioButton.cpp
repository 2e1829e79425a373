#include <vkwidgets/VkRadioButton.h>

#include "VkFocusRing_p.h"

VkRadioButton* VkRadioButton::creatRadioButton(QWidget* parent)
{
    return new VkRadioButton(parent);
}

VkRadioButton::VkRadioButton(QWidget* parent)
    : QRadioButton(parent)
{
    setCursor(Qt::PointingHandCursor);
}

VkRadioButton::~VkRadioButton() = default;

void VkRadioButton::paintEvent(QPaintEvent* event)
{
    QRadioButton::paintEvent(event);
    VkWidgetsInternal::paintFocusRing(this, VkWidgetsInternal::checkableFocusArea(this, text()));
}
