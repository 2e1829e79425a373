#include "VkFocusRing_p.h"

#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QAbstractButton>
#include <QPainter>
#include <QStyle>
#include <QWidget>

namespace VkWidgetsInternal {

namespace {

const int kRingWidth = 2;
const int kInnerLineWidth = 1;
const qreal kCornerRadius = 4.0;
// Below this size a ring of the full width would cover the picture of an icon-only button.
const int kSmallButtonSide = 16;
const int kTextMargin = 8;

} // namespace

void paintFocusRing(QWidget* widget)
{
    paintFocusRing(widget, widget->rect());
}

QRect checkableFocusArea(const QAbstractButton* button, const QString& shownText)
{
    // Indicator, the style's spacing and the text, plus a margin that keeps the ring off the text.
    const int indicator = button->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button);
    const int spacing = button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
    const int textWidth =
        shownText.isEmpty() ? 0 : button->fontMetrics().horizontalAdvance(shownText) + spacing;
    const int width = qMin(button->width(), indicator + textWidth + kTextMargin);
    return QRect(0, 0, width, button->height());
}

void paintFocusRing(QWidget* widget, const QRect& area)
{
    if (!widget->hasFocus())
        return;
    const VkSkinStyle* skin = VkSingleton<VkSkinStyle>::instance();
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    const int ring = qMin(area.width(), area.height()) < kSmallButtonSide ? 1 : kRingWidth;
    const QRectF edge = QRectF(area).adjusted(ring / 2.0, ring / 2.0, -ring / 2.0, -ring / 2.0);
    painter.setPen(QPen(skin->GetColor(VkSkinColor::Accent_Primary()), ring));
    painter.drawRoundedRect(edge, kCornerRadius, kCornerRadius);
    const qreal inset = ring + kInnerLineWidth / 2.0;
    const QRectF inner = QRectF(area).adjusted(inset, inset, -inset, -inset);
    if (inner.width() > 0 && inner.height() > 0 && ring == kRingWidth) {
        painter.setPen(QPen(skin->GetColor(VkSkinColor::Background_Window()), kInnerLineWidth));
        painter.drawRoundedRect(inner, kCornerRadius - ring, kCornerRadius - ring);
    }
}

} // namespace VkWidgetsInternal
