#include <vkwidgets/VkBaseButton.h>

#include "VkFocusRing_p.h"

#include <QMouseEvent>

VkBaseButton::VkBaseButton(const QString& objectName, QWidget* parent)
    : QPushButton(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    // Reached by Tab, pressed by Space or Enter (the dialog bases), but never a dialog's default
    // button: Enter typed into a field must not press OK or CANCEL behind the user's back.
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, &VkBaseButton::emitClicked);
}

VkBaseButton::VkBaseButton(QWidget* parent)
    : VkBaseButton(QString(), parent)
{}

VkBaseButton::~VkBaseButton() = default;

int VkBaseButton::ButtonId() const
{
    return 0;
}

void VkBaseButton::mouseReleaseEvent(QMouseEvent* event)
{
    // clicked() is emitted from inside the base handler; remember where the mouse was for it.
    m_releasePos = event->globalPos();
    m_releasedByMouse = true;
    QPushButton::mouseReleaseEvent(event);
    m_releasedByMouse = false;
}

void VkBaseButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    VkWidgetsInternal::paintFocusRing(this);
}

void VkBaseButton::emitClicked()
{
    const QPoint pos = m_releasedByMouse ? m_releasePos : mapToGlobal(rect().center());
    emit Clicked(ButtonId(), pos);
}
