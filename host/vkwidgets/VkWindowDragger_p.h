#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace VkWidgetsInternal {

// Moves the window of a watched widget while the left mouse button drags on that widget. Used by
// title bars and title areas, which have no native frame to drag.
class VkWindowDragger : public QObject
{
    Q_OBJECT
public:
    // Watches handle; the dragger is a child of handle and dies with it.
    explicit VkWindowDragger(QWidget* handle);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_handle;
    QPoint m_grabOffset;
    bool m_dragging = false;
};

} // namespace VkWidgetsInternal
