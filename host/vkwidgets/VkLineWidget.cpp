#include <vkwidgets/VkLineWidget.h>

#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QPainter>

namespace {

const int kThickness = 1;

} // namespace

VkLineWidget* VkLineWidget::CreateLineWidget(QWidget* parent, Qt::Orientation orientation, int lineType)
{
    return new VkLineWidget(parent, orientation, lineType);
}

VkLineWidget::VkLineWidget(QWidget* parent, Qt::Orientation orientation, int lineType)
    : QWidget(parent)
    , m_orientation(orientation)
    , m_lineType(lineType == Line_Primary ? Line_Primary : Line_Secondary)
{
    setObjectName(QStringLiteral("VkLineWidget"));
    if (orientation == Qt::Horizontal) {
        setFixedHeight(kThickness);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        setFixedWidth(kThickness);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
}

VkLineWidget::~VkLineWidget() = default;

Qt::Orientation VkLineWidget::Orientation() const
{
    return m_orientation;
}

int VkLineWidget::LineType() const
{
    return m_lineType;
}

void VkLineWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    const QString key = m_lineType == Line_Primary ? VkSkinColor::Component_Divider_Primary()
                                                   : VkSkinColor::Component_Divider_Secondary();
    QPainter painter(this);
    painter.fillRect(rect(), VkSingleton<VkSkinStyle>::instance()->GetColor(key));
}
