#include "VkWindowDragger_p.h"

#include "VkWindowPlacement_p.h"

#include <QMouseEvent>
#include <QWidget>

namespace VkWidgetsInternal {

VkWindowDragger::VkWindowDragger(QWidget* handle)
    : QObject(handle)
    , m_handle(handle)
{
    handle->installEventFilter(this);
}

bool VkWindowDragger::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_handle)
        return false;
    QWidget* window = m_handle->window();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A maximised or full-screen window stays where the system put it.
        if (mouse->button() != Qt::LeftButton || window->isMaximized() || window->isFullScreen())
            return false;
        m_dragging = true;
        // The press says exactly where the window is; the cached position may not know yet.
        VkWindowPlacement::syncFromMouse(window, mouse->screenPos(), mouse->windowPos());
        m_grabOffset = mouse->globalPos() - window->frameGeometry().topLeft();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_dragging || !(mouse->buttons() & Qt::LeftButton))
            return false;
        window->move(mouse->globalPos() - m_grabOffset);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_dragging)
            return false;
        m_dragging = false;
        return true;
    default:
        return false;
    }
}

} // namespace VkWidgetsInternal
