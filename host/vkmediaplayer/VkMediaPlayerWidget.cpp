#include <vkmediaplayer/VkMediaPlayerWidget.h>

#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QPainter>
#include <QPointer>
#include <QResizeEvent>

class VkMediaPlayerWidget::Private
{
public:
    QPointer<VkMediaPlayerPresenter> presenter;
    QList<QMetaObject::Connection> connections;
    QImage frame;
};

VkMediaPlayerWidget::VkMediaPlayerWidget(QWidget* parent)
    : VkWidget(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VkMediaPlayerWidget"));
    // Every pixel is painted here (the picture and its black bars).
    setAttribute(Qt::WA_OpaquePaintEvent);
}

VkMediaPlayerWidget::~VkMediaPlayerWidget() = default;

void VkMediaPlayerWidget::setPresenter(VkMediaPlayerPresenter* presenter)
{
    if (d->presenter == presenter)
        return;
    for (const QMetaObject::Connection& c : qAsConst(d->connections))
        disconnect(c);
    d->connections.clear();
    d->presenter = presenter;
    d->frame = presenter ? presenter->currentImage() : QImage();
    if (presenter) {
        d->connections << connect(presenter, &VkMediaPlayerPresenter::sigFrameReady, this,
                                  [this](const QImage& frame) {
                                      d->frame = frame;
                                      update();
                                  })
                       << connect(presenter, &VkPresenter::sigClearView, this, [this] {
                              d->frame = QImage();
                              update();
                          });
        updateRenderSize();
    }
    update();
}

VkMediaPlayerPresenter* VkMediaPlayerWidget::presenter() const
{
    return d->presenter;
}

QImage VkMediaPlayerWidget::currentFrame() const
{
    return d->frame;
}

QRect VkMediaPlayerWidget::pictureRect() const
{
    if (d->frame.isNull())
        return QRect();
    QSize fitted = d->frame.size();
    fitted.scale(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void VkMediaPlayerWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(),
                     VkSingleton<VkSkinStyle>::instance()->GetColor(QStringLiteral("Background_Video")));
    if (d->frame.isNull())
        return;
    // The frame was rendered at the device size of this box, so on a high-DPI screen it maps onto
    // the device pixels one to one; smoothing only matters while a resize is on its way.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), d->frame);
}

void VkMediaPlayerWidget::resizeEvent(QResizeEvent* event)
{
    VkWidget::resizeEvent(event);
    updateRenderSize();
}

void VkMediaPlayerWidget::updateRenderSize()
{
    if (d->presenter)
        d->presenter->setRenderSize(size() * devicePixelRatioF());
}
