#include "VkTitleArea_p.h"

#include <QChildEvent>
#include <QRegion>

namespace VkWidgetsInternal {

VkTitleArea::VkTitleArea(QWidget* parent)
    : QWidget(parent)
{
    updateMask();
}

bool VkTitleArea::event(QEvent* event)
{
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
        auto* childEvent = static_cast<QChildEvent*>(event);
        if (childEvent->child()->isWidgetType()) {
            if (event->type() == QEvent::ChildAdded)
                childEvent->child()->installEventFilter(this);
            else
                childEvent->child()->removeEventFilter(this);
            updateMask();
        }
    }
    return QWidget::event(event);
}

bool VkTitleArea::eventFilter(QObject* watched, QEvent* event)
{
    if (watched->parent() == this) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            updateMask();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VkTitleArea::updateMask()
{
    QRegion region;
    for (QObject* object : children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isHidden())
            region += child->geometry();
    }
    // An empty region would mean "no mask", which takes every click; let them all pass instead.
    setAttribute(Qt::WA_TransparentForMouseEvents, region.isEmpty());
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
}

} // namespace VkWidgetsInternal
