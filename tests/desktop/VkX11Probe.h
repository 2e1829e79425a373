#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

// What the X server and its window manager see of our windows, asked from outside the toolkit: a
// connection of the test's own, and the desktop tools a user's session would have (xprop,
// xdotool). Positions are device pixels on the server; toDevice/fromDevice convert Qt's.
class VkX11Probe
{
public:
    VkX11Probe();
    ~VkX11Probe();
    bool isValid() const;

    // The client area of widget's window on the server, in device pixels.
    QRect serverGeometry(const QWidget* window) const;
    // Tells the window, as a window manager does after moving its frame, that it now stands at
    // devicePos, without moving it: the state a window is left in when the position it was told
    // while the manager framed it was the frame's temporary origin.
    void sendStalePosition(const QWidget* window, const QPoint& devicePos) const;
    // The window's name as the window manager reads it (_NET_WM_NAME, else WM_NAME), through xprop.
    static QString windowManagerName(const QWidget* window);

    // Real pointer input through the XTEST extension (xdotool), in device pixels.
    static bool mouseMove(const QPoint& devicePos);
    static bool click(const QPoint& devicePos);
    // Any other xdotool command: {"mousedown", "1"}, {"key", "Tab"}.
    static bool xdotool(const QStringList& arguments);

    // Qt's device-independent pixels to the server's and back (QT_SCALE_FACTOR).
    static int toDevice(int logical);
    static QPoint toDevice(const QPoint& logical);

private:
    struct Private;
    Private* d;
};
