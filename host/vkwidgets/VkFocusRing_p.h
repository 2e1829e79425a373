#pragma once

class QAbstractButton;
class QRect;
class QString;
class QWidget;

namespace VkWidgetsInternal {

// Draws the keyboard focus mark of a button over what its style painted: a ring in the accent
// colour along the edge with a thin line of the window colour inside it. The inner line is what
// shows on a button that is itself filled with the accent colour, the outer ring on every other
// one, so the same mark works on both. Does nothing unless the widget has the focus.
void paintFocusRing(QWidget* widget);
// The same mark around part of the widget only.
void paintFocusRing(QWidget* widget, const QRect& area);
// The part of a check box or radio button that the mark goes around: its indicator and its text,
// not the empty rest of a wide widget.
QRect checkableFocusArea(const QAbstractButton* button, const QString& shownText);

} // namespace VkWidgetsInternal
