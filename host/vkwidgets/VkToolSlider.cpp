#include <vkwidgets/VkToolSlider.h>

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

VkToolSlider::VkToolSlider(QWidget* parent)
    : VkToolSlider(Qt::Horizontal, parent)
{}

VkToolSlider::VkToolSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent)
{
    setObjectName(QStringLiteral("VkToolSlider"));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
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
