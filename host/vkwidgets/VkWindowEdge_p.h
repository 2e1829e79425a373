#pragma once

#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace VkWidgetsInternal {

// Paints a frameless window: its style-sheet background, then a one-pixel edge, which a window
// without a native frame needs against dark desktops.
inline void paintWindowWithEdge(QWidget* window)
{
    QPainter painter(window);
    QStyleOption option;
    option.initFrom(window);
    window->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, window);
    painter.setPen(VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Component_Border()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(window->rect().adjusted(0, 0, -1, -1));
}

} // namespace VkWidgetsInternal
