#include <vkwidgets/VkToolButton.h>

VkToolButton* VkToolButton::CreateToolButton(QWidget* parent, const QString& objectName)
{
    return new VkToolButton(parent, objectName);
}

VkToolButton::VkToolButton(QWidget* parent, const QString& objectName)
    : QToolButton(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

VkToolButton::~VkToolButton() = default;

void VkToolButton::SetToolTipText(const QString& text)
{
    setToolTip(text);
}

QString VkToolButton::ToolTipText() const
{
    return toolTip();
}
