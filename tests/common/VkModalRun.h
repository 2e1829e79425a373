#pragma once

#include <vkwidgets/VkBaseShadowDialog.h>
#include <vkwidgets/VkDialog.h>

#include <QTimer>

#include <functional>

// Runs a dialog modally as a host does, performs `action` once its loop is up, and returns the
// result. A dialog that the action did not end is ended with -1, which no test expects, so no run
// can hang.
inline int runModal(QDialog* dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, dialog, action);
    QTimer::singleShot(0, dialog, [dialog] {
        if (dialog->isVisible())
            dialog->done(-1);
    });
    if (auto* shadow = qobject_cast<VkBaseShadowDialog*>(dialog))
        return shadow->DoModal();
    if (auto* frameless = qobject_cast<VkDialog*>(dialog))
        return frameless->DoModal();
    return dialog->exec();
}
