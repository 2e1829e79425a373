#include "VkWindowPlacement_p.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <optional>

namespace VkWidgetsInternal {

namespace {

bool isInTitleBar(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* w = widget; w && w != window; w = w->parentWidget()) {
        if (w->inherits("VkTopLevelWindowTitleBar"))
            return true;
    }
    return false;
}

} // namespace

namespace {

const char kXcbPlatform[] = "xcb";

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};

// A connection of our own to the display the application uses. Qt's connection is not reachable
// without its private headers; a second one sees the same windows. Opened on first use and kept for
// the process: one socket, no per-call cost.
xcb_connection_t* serverConnection()
{
    static xcb_connection_t* connection = [] {
        xcb_connection_t* opened = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(opened)) {
            xcb_disconnect(opened);
            return static_cast<xcb_connection_t*>(nullptr);
        }
        return opened;
    }();
    return connection;
}

// The top-left corner of window's client area on the server, in device pixels.
std::optional<QPoint> nativeClientOrigin(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String(kXcbPlatform))
        return std::nullopt;
    // Never create a native window just to ask where it is.
    const WId id = window->internalWinId();
    xcb_connection_t* connection = id ? serverConnection() : nullptr;
    if (!connection)
        return std::nullopt;
    const auto xid = static_cast<xcb_window_t>(id);
    std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xid), nullptr));
    if (!geometry)
        return std::nullopt;
    std::unique_ptr<xcb_translate_coordinates_reply_t, FreeReply> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, xid, geometry->root, 0, 0), nullptr));
    if (!origin)
        return std::nullopt;
    return QPoint(origin->dst_x, origin->dst_y);
}

// Device pixels to Qt's device-independent ones. Each screen keeps its origin and scales what lies
// beyond it by its own factor.
QPoint fromDevicePixels(const QPoint& native)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        const QRect device(logical.topLeft(), logical.size() * ratio);
        if (device.contains(native)) {
            const QPointF beyond = QPointF(native - logical.topLeft()) / ratio;
            return logical.topLeft() + beyond.toPoint();
        }
    }
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    return (QPointF(native) / ratio).toPoint();
}

// Moves a window whose client area is truly at trueOrigin, without touching Qt::WA_Moved.
bool correctCachedOrigin(QWidget* window, const QPoint& trueOrigin)
{
    const QPoint cached = window->geometry().topLeft();
    if (cached == trueOrigin)
        return false;
    // move() takes the frame's corner; the frame margins themselves are right even when the cached
    // position is not.
    const bool moved = window->testAttribute(Qt::WA_Moved);
    window->move(window->pos() + (trueOrigin - cached));
    window->setAttribute(Qt::WA_Moved, moved);
    return true;
}

} // namespace

bool VkWindowPlacement::syncWithServer(QWidget* window)
{
    if (!window || !window->isWindow() || !window->isVisible())
        return false;
    const std::optional<QPoint> native = nativeClientOrigin(window);
    return native && correctCachedOrigin(window, fromDevicePixels(*native));
}

bool VkWindowPlacement::syncFromMouse(QWidget* window, const QPointF& screenPos, const QPointF& windowPos)
{
    if (!window || !window->isWindow())
        return false;
    return correctCachedOrigin(window, (screenPos - windowPos).toPoint());
}

void VkWindowPlacement::centreOnParent(QWidget* dialog)
{
    QWidget* parent = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    QScreen* screen = nullptr;
    QPoint centre;
    if (parent && parent->isVisible()) {
        syncWithServer(parent);
        const QRect frame = parent->frameGeometry();
        centre = frame.center();
        screen = QGuiApplication::screenAt(centre);
        if (!screen)
            screen = parent->screen();
    } else {
        screen = parent ? parent->screen() : QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (!screen)
            return;
        centre = screen->availableGeometry().center();
    }

    // The frame is not known before the window is shown; a frameless dialog has none, and a framed
    // one is off by the frame's few pixels at most.
    const QSize size = dialog->frameGeometry().size();
    QRect placed(QPoint(centre.x() - size.width() / 2, centre.y() - size.height() / 2), size);
    if (screen) {
        const QRect area = screen->availableGeometry();
        // Keep the title bar reachable: a dialog larger than the screen sticks to its top-left.
        placed.moveRight(qMin(placed.right(), area.right()));
        placed.moveBottom(qMin(placed.bottom(), area.bottom()));
        placed.moveLeft(qMax(placed.left(), area.left()));
        placed.moveTop(qMax(placed.top(), area.top()));
    }
    // The screen first: a window that changes screens may change its scale with it.
    if (QWindow* handle = dialog->windowHandle()) {
        if (screen && handle->screen() != screen)
            handle->setScreen(screen);
    }
    const bool moved = dialog->testAttribute(Qt::WA_Moved);
    dialog->move(placed.topLeft());
    dialog->setAttribute(Qt::WA_Moved, moved);
}

void VkWindowPlacement::windowEvent(QWidget* window, QEvent* event)
{
    // Activation comes after the window manager has framed and placed the window; by then the
    // server's answer is final.
    if (event->type() == QEvent::WindowActivate)
        syncWithServer(window);
}

bool VkWindowPlacement::needsPlacing(QWidget* dialog, QShowEvent* event)
{
    return dialog->isWindow() && !event->spontaneous() && !dialog->testAttribute(Qt::WA_Moved);
}

void VkWindowPlacement::afterShow(QWidget* dialog, bool needsPlacing)
{
    if (needsPlacing)
        centreOnParent(dialog);
    // Task bars, window lists and screen readers show this; an untitled window is named after the
    // application, as its main window would be.
    if (dialog->windowTitle().isEmpty())
        dialog->setWindowTitle(QGuiApplication::applicationDisplayName());
    focusFirstControl(dialog);
}

void VkWindowPlacement::focusFirstControl(QWidget* dialog)
{
    // Left to itself, activation focuses the first stop of the tab chain, which is a button of the
    // title bar: a dialog would open with its close button marked, and Enter would close it.
    if (QWidget* current = dialog->focusWidget(); current && !isInTitleBar(current, dialog))
        return;
    for (QWidget* w = dialog->nextInFocusChain(); w && w != dialog; w = w->nextInFocusChain()) {
        if (w->window() == dialog && w->isVisibleTo(dialog) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !isInTitleBar(w, dialog)) {
            w->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

} // namespace VkWidgetsInternal
