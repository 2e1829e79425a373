#include <vkwidgets/VkToolButton.h>

#include "VkFocusRing_p.h"

#include <QEvent>

VkToolButton* VkToolButton::CreateToolButton(QWidget* parent, const QString& objectName)
{
    return new VkToolButton(parent, objectName);
}

VkToolButton::VkToolButton(QWidget* parent, const QString& objectName)
    : QToolButton(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
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

bool VkToolButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTipChange &&
        (accessibleName().isEmpty() || accessibleName() == m_nameFromToolTip)) {
        m_nameFromToolTip = toolTip();
        setAccessibleName(m_nameFromToolTip);
    }
    return QToolButton::event(event);
}

void VkToolButton::paintEvent(QPaintEvent* event)
{
    QToolButton::paintEvent(event);
    VkWidgetsInternal::paintFocusRing(this);
}
