#pragma once

#include <functional>

class QCloseEvent;
class QDialog;
class QKeyEvent;

namespace VkWidgetsInternal {

// The keyboard and close handling that both dialog bases share, so that a frame closes every
// dialog the same way whichever base it derives from.
class VkDialogCloser
{
public:
    // Escape runs closeDialog. Enter and Return press the focused push or tool button; with any
    // other focus they go to QDialog's default-button handling. Returns false for keys it leaves
    // to QDialog.
    static bool keyPress(QDialog* dialog, QKeyEvent* event, const std::function<void()>& closeDialog);
    // A close request of the window system runs closeDialog; the window stays open when that does
    // not end the dialog.
    static void close(QDialog* dialog, QCloseEvent* event, const std::function<void()>& closeDialog);

    VkDialogCloser() = delete;
};

} // namespace VkWidgetsInternal
