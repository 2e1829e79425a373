#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

// What assistive technology would be told about the controls of one window.
namespace AccessibilityWalk {

// The name a screen reader announces: an explicit accessible name, or what Qt derives from the
// control's own text or its buddy label.
inline QString spokenName(QWidget* w)
{
    // Qt on Linux reports a combo box's current entry as its name and hands the name itself over
    // through the label relation; what was given is the widget's accessible name.
    if (qobject_cast<QComboBox*>(w))
        return w->accessibleName().trimmed();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name).trimmed() : QString();
}

inline QString describe(const QWidget* w)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
}

// A part of a compound control (the edit inside a spin box; a scroll area's viewport, headers,
// scroll bar containers and corner button) speaks through that control and needs no name of its
// own. Content of a scroll area lives in its viewport, never directly under the area.
inline bool isInnerPart(const QWidget* w)
{
    if (w->focusProxy())
        return true;
    const QWidget* parent = w->parentWidget();
    if (qobject_cast<const QAbstractSpinBox*>(parent) || qobject_cast<const QComboBox*>(parent))
        return true;
    return qobject_cast<const QAbstractScrollArea*>(parent) != nullptr;
}

inline bool isIconOnly(const QWidget* w)
{
    auto* button = qobject_cast<const QAbstractButton*>(w);
    return button && button->text().trimmed().isEmpty();
}

// Every control of root that a keyboard reaches (shown, Tab stops at it) or that is an icon-only
// button (shown or not): those without a spoken name, and icon-only buttons without a tool tip.
inline QStringList unnamedControls(QWidget* root)
{
    QStringList faults;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (isInnerPart(w))
            continue;
        const bool keyboard = w->isVisibleTo(root) && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        const bool iconOnly = isIconOnly(w);
        if (!keyboard && !iconOnly)
            continue;
        if (spokenName(w).isEmpty())
            faults << describe(w) + QStringLiteral(" has no accessible name");
        if (iconOnly && w->toolTip().isEmpty())
            faults << describe(w) + QStringLiteral(" has no tool tip");
    }
    return faults;
}

} // namespace AccessibilityWalk
