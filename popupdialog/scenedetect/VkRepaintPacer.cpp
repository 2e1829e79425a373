#include "VkRepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace {

constexpr int kMillisecondsPerSecond = 1000;

} // namespace

VkRepaintPacer::VkRepaintPacer(QWidget* widget, int framesPerSecond)
    : QObject(widget)
    , m_widget(widget)
    , m_frameMs(kMillisecondsPerSecond / qMax(1, framesPerSecond))
{
    m_nextFrame.setSingleShot(true);
    m_nextFrame.setTimerType(Qt::PreciseTimer);
    connect(&m_nextFrame, &QTimer::timeout, this, &VkRepaintPacer::release);
}

VkRepaintPacer::~VkRepaintPacer()
{
    setActive(false);
}

bool VkRepaintPacer::isActive() const
{
    return !m_window.isNull();
}

void VkRepaintPacer::setActive(bool on)
{
    if (on == isActive())
        return;
    if (on) {
        m_window = m_widget->window();
        m_window->installEventFilter(this);
        m_lastFrame.start();
        return;
    }
    m_nextFrame.stop();
    m_window->removeEventFilter(this);
    release();
    m_window.clear();
}

bool VkRepaintPacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest)
        return false;
    const qint64 sinceFrame = m_lastFrame.elapsed();
    if (m_frameDue || sinceFrame >= m_frameMs) {
        m_frameDue = false;
        m_held = false;
        m_lastFrame.start();
        return false;
    }
    // Qt asks again only after the window has been painted: the request held here stands for every
    // change made until the frame is due.
    m_held = true;
    if (!m_nextFrame.isActive())
        m_nextFrame.start(static_cast<int>(m_frameMs - sinceFrame));
    return true;
}

void VkRepaintPacer::release()
{
    if (!m_held || !m_window)
        return;
    m_frameDue = true;
    QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
