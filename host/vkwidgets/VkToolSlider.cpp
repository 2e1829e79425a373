#include <vkwidgets/VkToolSlider.h>

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStylePainter>

VkToolSlider::VkToolSlider(QWidget* parent)
    : VkToolSlider(Qt::Horizontal, parent)
{}

VkToolSlider::VkToolSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent)
{
    setObjectName(QStringLiteral("VkToolSlider"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractSlider::sliderMoved, this, &VkToolSlider::sigUserSeek);
}

VkToolSlider::~VkToolSlider() = default;

void VkToolSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || maximum() == minimum()) {
        QSlider::mousePressEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (handle.contains(event->pos())) {
        // A press on the handle starts an ordinary drag.
        QSlider::mousePressEvent(event);
        return;
    }
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    int target = 0;
    if (orientation() == Qt::Horizontal) {
        const int span = qMax(1, groove.width() - handle.width());
        const int pos = event->pos().x() - groove.x() - handle.width() / 2;
        target = QStyle::sliderValueFromPosition(minimum(), maximum(), pos, span, option.upsideDown);
    } else {
        const int span = qMax(1, groove.height() - handle.height());
        const int pos = event->pos().y() - groove.y() - handle.height() / 2;
        target = QStyle::sliderValueFromPosition(minimum(), maximum(), pos, span, option.upsideDown);
    }
    setValue(target);
    emit sigUserSeek(value());
    // Let the handle follow a drag that continues from here.
    QSlider::mousePressEvent(event);
}

void VkToolSlider::keyPressEvent(QKeyEvent* event)
{
    const int before = value();
    QSlider::keyPressEvent(event);
    if (value() != before)
        emit sigUserSeek(value());
}

QStyle::SubControl VkToolSlider::hoveredControl(const QStyleOptionSlider& option) const
{
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    return style()->hitTestComplexControl(QStyle::CC_Slider, &option, cursor, this);
}

void VkToolSlider::paintEvent(QPaintEvent*)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    // What QSlider's own painting adds to the option (this slider has no tick marks).
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (isSliderDown()) {
        option.activeSubControls = QStyle::SC_SliderHandle;
        option.state |= QStyle::State_Sunken;
    } else if (underMouse()) {
        option.activeSubControls = hoveredControl(option);
    }
    const bool focused = option.state & QStyle::State_HasFocus;
    // The style's own focus frame would box the whole strip; the ring on the handle says the same
    // where the eye already is.
    option.state &= ~QStyle::State_HasFocus;
    QStylePainter painter(this);
    painter.drawComplexControl(QStyle::CC_Slider, option);
    if (!focused)
        return;
    const QRectF handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(handle.adjusted(1.0, 1.0, -1.0, -1.0));
}
