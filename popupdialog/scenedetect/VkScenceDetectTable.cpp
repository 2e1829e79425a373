#include "VkScenceDetectTable.h"

#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QPaintEvent>
#include <QPainter>

VkScenceDetectTable::VkScenceDetectTable(int rows, int columns, QWidget* parent)
    : QTableWidget(rows, columns, parent)
{
    // Painted whole here, in the list's own colour. A see-through view makes every paint anywhere
    // in the window look for opaque widgets behind and below it, and this view has a child for
    // every row: thousands to walk on each paint, once a row has been added since the last one.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

VkScenceDetectTable::~VkScenceDetectTable() = default;

QRect VkScenceDetectTable::rowRect(int row) const
{
    // From the headers: the table's own visualRect() would run a pending layout pass first.
    return QRect(columnViewportPosition(0), rowViewportPosition(row), columnWidth(0), rowHeight(row));
}

void VkScenceDetectTable::placeRowWidget(int row)
{
    QWidget* widget = cellWidget(row, 0);
    if (!widget)
        return;
    const QRect rect = rowRect(row);
    widget->setGeometry(rect);
    widget->setVisible(rect.intersects(viewport()->rect()));
}

void VkScenceDetectTable::rowsInserted(const QModelIndex& /*parent*/, int start, int /*end*/)
{
    m_firstInserted = m_firstInserted < 0 ? start : qMin(m_firstInserted, start);
    scheduleDelayedItemsLayout();
}

void VkScenceDetectTable::doItemsLayout()
{
    // Rows that arrived below the view change nothing in it: the pass only has the scroll bar to
    // move. The view's own repaint after every pass would redraw each row in sight, once for every
    // turn of the event loop that brought new scenes.
    const bool belowView = m_firstInserted >= 0 && !m_checkAllRows &&
                           rowViewportPosition(m_firstInserted) >= viewport()->height();
    m_firstInserted = -1;
    if (!belowView) {
        QTableWidget::doItemsLayout();
        return;
    }
    // The attribute rather than setUpdatesEnabled(), which repaints the whole view when it is
    // turned back on.
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, true);
    QTableWidget::doItemsLayout();
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, false);
}

void VkScenceDetectTable::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    QTableWidget::rowsAboutToBeRemoved(parent, start, end);
    m_checkAllRows = true;
}

void VkScenceDetectTable::updateEditorGeometries()
{
    const int rows = rowCount();
    if (rows == 0) {
        m_firstShown = 0;
        m_lastShown = -1;
        return;
    }
    const int first = qMax(0, rowAt(0));
    const int bottom = rowAt(viewport()->height() - 1);
    const int last = bottom < 0 ? rows - 1 : bottom;
    const int hideFrom = m_checkAllRows ? 0 : qMin(m_firstShown, rows);
    const int hideTo = m_checkAllRows ? rows - 1 : qMin(m_lastShown, rows - 1);
    for (int row = hideFrom; row <= hideTo; ++row) {
        if (row >= first && row <= last)
            continue;
        if (QWidget* widget = cellWidget(row, 0))
            widget->hide();
    }
    for (int row = first; row <= last; ++row) {
        if (QWidget* widget = cellWidget(row, 0)) {
            widget->setGeometry(rowRect(row));
            widget->show();
        }
    }
    m_firstShown = first;
    m_lastShown = last;
    m_checkAllRows = false;
}

void VkScenceDetectTable::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(),
                         VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Background_Window()));
    }
    QTableWidget::paintEvent(event);
}

void VkScenceDetectTable::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    updateEditorGeometries();
}
