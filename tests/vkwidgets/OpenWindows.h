#pragma once

#include <QApplication>
#include <QWidget>

// Top-level windows still open once deferred deletes have run, bar a tool tip left by a hover.
inline QWidgetList openWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidgetList windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->inherits("QTipLabel"))
            windows.append(w);
    }
    return windows;
}
