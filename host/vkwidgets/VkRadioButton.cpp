#include <vkwidgets/VkRadioButton.h>

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
