#include "VkX11Probe.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// A desktop tool that does not answer within this time has hung; the test fails instead of waiting.
const int kToolTimeoutMs = 10000;

struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};

bool runTool(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

xcb_window_t xidOf(const QWidget* window)
{
    return static_cast<xcb_window_t>(window->window()->winId());
}

} // namespace

struct VkX11Probe::Private
{
    xcb_connection_t* connection = nullptr;
};

VkX11Probe::VkX11Probe()
    : d(new Private)
{
    d->connection = xcb_connect(nullptr, nullptr);
}

VkX11Probe::~VkX11Probe()
{
    xcb_disconnect(d->connection);
    delete d;
}

bool VkX11Probe::isValid() const
{
    return d->connection && !xcb_connection_has_error(d->connection);
}

QRect VkX11Probe::serverGeometry(const QWidget* window) const
{
    const xcb_window_t xid = xidOf(window);
    std::unique_ptr<xcb_get_geometry_reply_t, FreeReply> geometry(
        xcb_get_geometry_reply(d->connection, xcb_get_geometry(d->connection, xid), nullptr));
    if (!geometry)
        return QRect();
    std::unique_ptr<xcb_translate_coordinates_reply_t, FreeReply> origin(xcb_translate_coordinates_reply(
        d->connection, xcb_translate_coordinates(d->connection, xid, geometry->root, 0, 0), nullptr));
    if (!origin)
        return QRect();
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

void VkX11Probe::sendStalePosition(const QWidget* window, const QPoint& devicePos) const
{
    const QRect real = serverGeometry(window);
    // A synthetic ConfigureNotify is how ICCCM lets a window manager report a client's position
    // in root coordinates; toolkits take it as the truth.
    xcb_configure_notify_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CONFIGURE_NOTIFY;
    event.event = xidOf(window);
    event.window = xidOf(window);
    event.above_sibling = XCB_NONE;
    event.x = static_cast<int16_t>(devicePos.x());
    event.y = static_cast<int16_t>(devicePos.y());
    event.width = static_cast<uint16_t>(real.width());
    event.height = static_cast<uint16_t>(real.height());
    xcb_send_event(d->connection, false, xidOf(window), XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(d->connection);
}

QString VkX11Probe::windowManagerName(const QWidget* window)
{
    QByteArray output;
    const QString id = QString::number(xidOf(window));
    if (!runTool(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_NAME")},
                 &output))
        return QString();
    // _NET_WM_NAME(UTF8_STRING) = "Project Settings"
    QRegularExpression quoted(QStringLiteral("= \"(.*)\"\\s*$"));
    QRegularExpressionMatch match = quoted.match(QString::fromUtf8(output));
    if (match.hasMatch())
        return match.captured(1);
    if (!runTool(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_NAME")}, &output))
        return QString();
    match = quoted.match(QString::fromUtf8(output));
    return match.hasMatch() ? match.captured(1) : QString();
}

bool VkX11Probe::mouseMove(const QPoint& devicePos)
{
    // Not xdotool's --sync: it waits for a motion, and there is none when the pointer is there.
    if (!runTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(devicePos.x()),
                                             QString::number(devicePos.y())}))
        return false;
    // Qt reports the pointer in its own pixels; at a scale of 2 an odd device position rounds.
    const int slack = toDevice(1) - 1;
    return QTest::qWaitFor(
        [&] {
            const QPoint off = toDevice(QCursor::pos()) - devicePos;
            return qAbs(off.x()) <= slack && qAbs(off.y()) <= slack;
        },
        kToolTimeoutMs);
}

bool VkX11Probe::click(const QPoint& devicePos)
{
    return mouseMove(devicePos) && xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

bool VkX11Probe::xdotool(const QStringList& arguments)
{
    return runTool(QStringLiteral("xdotool"), arguments);
}

int VkX11Probe::toDevice(int logical)
{
    return qRound(logical * qGuiApp->devicePixelRatio());
}

QPoint VkX11Probe::toDevice(const QPoint& logical)
{
    return QPoint(toDevice(logical.x()), toDevice(logical.y()));
}
