#include <vkwidgets/VkLabel.h>

VkLabel* VkLabel::CreateLabel(QWidget* parent, const QString& objectName)
{
    return new VkLabel(parent, objectName);
}

VkLabel::VkLabel(QWidget* parent, const QString& objectName)
    : QLabel(parent)
{
    setObjectName(objectName);
}

VkLabel::~VkLabel() = default;

void VkLabel::SetDisplayText(const QString& text)
{
    setText(text);
}
