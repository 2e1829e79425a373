#pragma once

#include <QTest>
#include <QWidget>

// Shows a window and waits until the platform has exposed it and made it the active window, so that
// key presses reach it. A window manager on a loaded machine may take seconds; the caller may allow more.
inline bool vkShowActive(QWidget* window, int timeoutMs = 5000)
{
    window->show();
    return QTest::qWaitForWindowExposed(window, timeoutMs) && QTest::qWaitForWindowActive(window, timeoutMs);
}
