#include <vkmediaplayer/VkMediaPlayerWidget.h>

#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkwidgets/VkSkinStyle.h>

#include <algorithm>

#include <QElapsedTimer>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

namespace {

// Refresh rate assumed when the widget's screen does not tell.
constexpr qreal kDefaultRefreshHz = 60.0;
// Pictures shown for seeks while the player stands, at most: the rate of common video, smooth to the
// eye while a scrub or a search moves the picture.
constexpr qint64 kSeekFrameIntervalMs = 40;

} // namespace

class VkMediaPlayerWidget::Private
{
public:
    QPointer<VkMediaPlayerPresenter> presenter;
    QList<QMetaObject::Connection> connections;
    QImage frame;
    // When the picture was last painted, and the repaint put off until the screen can show it.
    QElapsedTimer lastPaint;
    QTimer deferredPaint;
};

VkMediaPlayerWidget::VkMediaPlayerWidget(QWidget* parent)
    : VkWidget(parent)
    , d(std::make_unique<Private>())
{
    setObjectName(QStringLiteral("VkMediaPlayerWidget"));
    // Every pixel is painted here (the picture and its black bars).
    setAttribute(Qt::WA_OpaquePaintEvent);
    d->deferredPaint.setSingleShot(true);
    connect(&d->deferredPaint, &QTimer::timeout, this, [this] { update(); });
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
                                      updateFrame();
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

void VkMediaPlayerWidget::updateFrame()
{
    // Seeks in a quick row (a scrub, or a scene search that shows each scene it finds) can bring
    // frames far faster than anyone can follow them, each a full paint of the scaled picture. The
    // newest frame is painted once per interval; playback is held back only to the screen's rate.
    if (d->deferredPaint.isActive())
        return;
    const qreal hz = screen() && screen()->refreshRate() > 0 ? screen()->refreshRate() : kDefaultRefreshHz;
    const qint64 refresh = qRound64(1000.0 / hz);
    const qint64 interval =
        d->presenter && d->presenter->isPlaying() ? refresh : std::max(refresh, kSeekFrameIntervalMs);
    const qint64 since = d->lastPaint.isValid() ? d->lastPaint.elapsed() : interval;
    if (since >= interval)
        update();
    else
        d->deferredPaint.start(int(interval - since));
}

void VkMediaPlayerWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    d->lastPaint.start();
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
