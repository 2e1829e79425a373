#include <vkwidgets/VkCheckBox.h>

VkCheckBox* VkCheckBox::CreateCheckBox(QWidget* parent)
{
    return new VkCheckBox(parent);
}

VkCheckBox::VkCheckBox(QWidget* parent)
    : QCheckBox(parent)
{
    setCursor(Qt::PointingHandCursor);
}

VkCheckBox::~VkCheckBox() = default;
