#include <vkwidgets/VkCheckBox.h>

#include "VkFocusRing_p.h"

#include <QEvent>
#include <QHelpEvent>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolTip>

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

QString VkCheckBox::shownText() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    return fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width());
}

bool VkCheckBox::IsTextElided() const
{
    return shownText() != text();
}

bool VkCheckBox::event(QEvent* event)
{
    // An explicit tool tip wins; otherwise a shortened caption explains itself.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && IsTextElided()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        return true;
    }
    return QCheckBox::event(event);
}

void VkCheckBox::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = shownText();
    painter.drawControl(QStyle::CE_CheckBox, option);
    painter.end();
    VkWidgetsInternal::paintFocusRing(this, VkWidgetsInternal::checkableFocusArea(this, option.text));
}
