#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Paces the repaints of a window fed by a stream of changes. While the scene list fills, every
// event-loop turn brings a new row, a new scroll range, a preview frame and a new time: the window
// would be painted again on each turn, hundreds of times a second, with the thumbnails, the dialog
// and its frames behind each changed widget. While the pacer is active, the window's backing store is
// brought up to date at most `framesPerSecond` times a second; the changes in between are gathered
// and painted together in the next frame, a few milliseconds later, which no one sees.
//
// It holds back Qt's update requests to the window and sends one of its own when the frame is due;
// nothing is lost, and turning it off delivers a held update at once.
class VkRepaintPacer : public QObject
{
    Q_OBJECT
public:
    VkRepaintPacer(QWidget* widget, int framesPerSecond);
    ~VkRepaintPacer() override;

    // On: paces the window that `widget` is in now. Off: lets a held update through at once.
    void setActive(bool on);
    bool isActive() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void release();

    QWidget* m_widget = nullptr;
    QPointer<QWidget> m_window;
    QElapsedTimer m_lastFrame;
    QTimer m_nextFrame;
    int m_frameMs = 0;
    // An update request is being held back.
    bool m_held = false;
    // The request the pacer sent itself: it passes.
    bool m_frameDue = false;
    Q_DISABLE_COPY(VkRepaintPacer)
};
