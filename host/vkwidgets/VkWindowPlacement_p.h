#pragma once

#include <QPointF>

class QEvent;
class QShowEvent;
class QWidget;

namespace VkWidgetsInternal {

// Where top-level windows really are, and where a dialog opens.
//
// Under a reparenting X11 window manager a window's cached position can be wrong: the position the
// platform plugin asks for while the manager is still building the frame comes back as the frame's
// temporary origin, often (0, 0), and no later notification corrects it. Everything computed from
// it then goes astray: a drag takes its offset from it, popups open at the window-relative
// position, dialogs centre on a parent "at" the corner. These helpers ask the X server itself and
// put the cached position right; on other platforms they change nothing.
class VkWindowPlacement
{
public:
    // Brings window's cached position in line with the server's. Returns true when it had to.
    static bool syncWithServer(QWidget* window);
    // Corrects window's cached position from a mouse event received by one of its widgets: the
    // event carries both the position on the screen and the position in the window, which is
    // exact and costs no round trip. Returns true when the position had to be corrected.
    static bool syncFromMouse(QWidget* window, const QPointF& screenPos, const QPointF& windowPos);
    // Moves dialog so that it is centred on its parent's window, or on the parent's screen when the
    // parent is hidden (on the screen under the mouse when there is no parent), and kept inside that
    // screen's available area. Leaves Qt::WA_Moved as it found it: this is no explicit position.
    static void centreOnParent(QWidget* dialog);

    // The dialog bases' share, called from their event(): once the window manager has shown and
    // activated the window, its cached position is checked against the server's.
    static void windowEvent(QWidget* window, QEvent* event);
    // Whether a show event is one at which the dialog is to be placed: shown by the program, not
    // given a position by its owner. Asked before QDialog::showEvent, which changes the answer.
    static bool needsPlacing(QWidget* dialog, QShowEvent* event);
    // Run after QDialog::showEvent: centres the dialog when it needs placing (QDialog's own
    // placement assumes a native frame of 10 x 40 pixels, which a frameless window does not have)
    // and names the window for the window manager when it has no title of its own.
    static void afterShow(QWidget* dialog, bool needsPlacing);
    // Gives the first control of the dialog's body the focus, unless the dialog chose one itself.
    static void focusFirstControl(QWidget* dialog);

    VkWindowPlacement() = delete;
};

} // namespace VkWidgetsInternal
