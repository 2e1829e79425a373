#include "VkDialogCloser_p.h"

#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

namespace VkWidgetsInternal {

bool VkDialogCloser::keyPress(QDialog* dialog, QKeyEvent* event, const std::function<void()>& closeDialog)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        closeDialog();
        return true;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (!enter || !plain)
        return false;
    // Tool buttons ignore Enter, and our push buttons are never a dialog's default: without this a
    // keyboard user could reach a button and still not press it with Enter.
    QWidget* focus = dialog->focusWidget();
    const bool button = qobject_cast<QPushButton*>(focus) || qobject_cast<QToolButton*>(focus);
    if (!button || !focus->isEnabled() || !focus->isVisible())
        return false;
    event->accept();
    static_cast<QAbstractButton*>(focus)->click();
    return true;
}

void VkDialogCloser::close(QDialog* dialog, QCloseEvent* event, const std::function<void()>& closeDialog)
{
    if (!dialog->isVisible()) {
        event->accept();
        return;
    }
    const QPointer<QDialog> alive(dialog);
    closeDialog();
    if (alive && alive->isVisible())
        event->ignore();
    else
        event->accept();
}

} // namespace VkWidgetsInternal
