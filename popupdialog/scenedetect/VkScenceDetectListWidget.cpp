#include "VkScenceDetectListWidget.h"

#include "VkScenceDetectListItem.h"
#include "VkScenceDetectPresenter.h"
#include "VkScenceDetectTable.h"

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkToolButton.h>

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kRowHeight = 66;
constexpr int kTableWidth = 287;
// Rows that one press of Page Up or Page Down skips.
constexpr int kPageRows = 4;
// Time the list spends making rows in one turn of the event loop, well under the 100 ms at which a
// window starts to feel stuck.
constexpr qint64 kRowMillisecondsPerTurn = 40;

VkScenceDetectListItem* rowWidget(QTableWidget* table, int row, int column = 0)
{
    return qobject_cast<VkScenceDetectListItem*>(table->cellWidget(row, column));
}

} // namespace

VkScenceDetectListWidget::VkScenceDetectListWidget(QWidget* parent)
    : VkWidget(parent)
{
    setObjectName(QStringLiteral("SceneDetectionList"));
    m_table = new VkScenceDetectTable(0, 1, this);
    // One whole row at a time, nothing editable, no grid: the rows draw themselves.
    m_table->setShowGrid(false);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->hide();
    m_table->setFixedWidth(kTableWidth);

    // The table stays out of the focus chain, so that a click on a row never moves the keyboard
    // away from where the user left it; the list takes Tab and clicks in its place.
    setFocusPolicy(Qt::StrongFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(26, 24, 16, 16);
    layout->addWidget(m_table);

    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int /*column*/) {
        if (VkScenceDetectListItem* item = rowWidget(m_table, row))
            emit sigPlaySceneRange(item->range().x(), item->range().y(), true);
    });
    connect(m_table, &QTableWidget::currentCellChanged, this,
            [this](int currentRow, int currentColumn, int previousRow, int previousColumn) {
                VkScenceDetectListItem* current = rowWidget(m_table, currentRow, currentColumn);
                VkScenceDetectListItem* previous = rowWidget(m_table, previousRow, previousColumn);
                if (current)
                    current->setSelected(true);
                if (previous)
                    previous->setSelected(false);
            });
    TranslateText();
}

void VkScenceDetectListWidget::TranslateText()
{
    setAccessibleName(tr("Scenes"));
    setAccessibleDescription(tr("Arrow keys choose a scene, Enter previews it, Delete removes it"));
}

void VkScenceDetectListWidget::keyPressEvent(QKeyEvent* event)
{
    const int count = m_table->rowCount();
    const int current = m_table->currentRow();
    const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (!plain || count == 0) {
        VkWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        moveCurrentRow(current < 0 ? 0 : current - 1);
        break;
    case Qt::Key_Down:
        moveCurrentRow(current + 1);
        break;
    case Qt::Key_PageUp:
        moveCurrentRow(current - kPageRows);
        break;
    case Qt::Key_PageDown:
        moveCurrentRow(current < 0 ? kPageRows - 1 : current + kPageRows);
        break;
    case Qt::Key_Home:
        moveCurrentRow(0);
        break;
    case Qt::Key_End:
        moveCurrentRow(count - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The same request as a click on the row; accepted either way, so that Enter never reaches
        // the dialog's default button.
        if (VkScenceDetectListItem* item = rowWidget(m_table, current))
            emit sigPlaySceneRange(item->range().x(), item->range().y(), true);
        break;
    case Qt::Key_Delete:
        // Through the row's own button, so a row that cannot be removed yet stays.
        if (VkScenceDetectListItem* item = rowWidget(m_table, current)) {
            if (item->removeButton()->isEnabled())
                item->removeButton()->click();
        }
        break;
    default:
        VkWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void VkScenceDetectListWidget::moveCurrentRow(int row)
{
    const int target = qBound(0, row, m_table->rowCount() - 1);
    if (target == m_table->currentRow())
        return;
    m_table->setCurrentCell(target, 0);
    m_table->scrollTo(m_table->model()->index(target, 0));
}

void VkScenceDetectListWidget::focusInEvent(QFocusEvent* event)
{
    VkWidget::focusInEvent(event);
    update();
}

void VkScenceDetectListWidget::focusOutEvent(QFocusEvent* event)
{
    VkWidget::focusOutEvent(event);
    update();
}

void VkScenceDetectListWidget::paintEvent(QPaintEvent* event)
{
    VkWidget::paintEvent(event);
    if (!hasFocus())
        return;
    // The table draws no focus frame of its own; the list outlines it while it has the keyboard.
    QPainter painter(this);
    painter.setPen(VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Link()));
    painter.drawRect(m_table->geometry().adjusted(-1, -1, 0, 0));
}

VkScenceDetectListWidget::~VkScenceDetectListWidget() = default;

void VkScenceDetectListWidget::setPresenter(VkScenceDetectPresenter* presenter)
{
    m_presenter = presenter;
}

void VkScenceDetectListWidget::clear()
{
    m_pending.clear();
    m_table->setRowCount(0);
}

bool VkScenceDetectListWidget::hasItems() const
{
    return m_table->rowCount() > 0 || !m_pending.isEmpty();
}

QList<QPoint> VkScenceDetectListWidget::detectRanges() const
{
    QList<QPoint> ranges;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (VkScenceDetectListItem* item = rowWidget(m_table, row))
            ranges.append(item->range());
    }
    for (const PendingScene& scene : m_pending)
        ranges.append(QPoint(static_cast<int>(scene.start), static_cast<int>(scene.end)));
    return ranges;
}

void VkScenceDetectListWidget::setDetecting(bool on)
{
    m_detecting = on;
    if (!on) {
        // The detection is over: every scene gets its row now, and every row its remove button.
        addAllPendingRows();
        for (int row = 0; row < m_table->rowCount(); ++row) {
            if (VkScenceDetectListItem* item = rowWidget(m_table, row))
                item->removeButton()->setEnabled(true);
        }
    }
    emit sigStartDetect(m_detecting);
}

QTableWidget* VkScenceDetectListWidget::table() const
{
    return m_table;
}

// The slot's signature, with the image by value, is part of the exported interface.
void VkScenceDetectListWidget::slotDetectResult(qlonglong start, qlonglong end, qlonglong duration,
                                                QImage img) // NOLINT(performance-unnecessary-value-param)
{
    if (!m_pending.isEmpty() || rowTimeSpent()) {
        m_pending.append({start, end, duration, img});
        return;
    }
    addRow(start, end, duration, img);
}

bool VkScenceDetectListWidget::rowTimeSpent()
{
    if (!m_turnOpen) {
        m_turnOpen = true;
        m_turnClock.start();
        // Runs once the event loop has come back: the turn is over.
        QTimer::singleShot(0, this, &VkScenceDetectListWidget::addPendingRows);
    }
    return m_turnClock.elapsed() >= kRowMillisecondsPerTurn;
}

void VkScenceDetectListWidget::addPendingRows()
{
    m_turnOpen = false;
    while (!m_pending.isEmpty() && !rowTimeSpent()) {
        const PendingScene scene = m_pending.takeFirst();
        addRow(scene.start, scene.end, scene.duration, scene.img);
    }
}

void VkScenceDetectListWidget::addAllPendingRows()
{
    while (!m_pending.isEmpty()) {
        const PendingScene scene = m_pending.takeFirst();
        addRow(scene.start, scene.end, scene.duration, scene.img);
    }
}

void VkScenceDetectListWidget::addRow(qlonglong start, qlonglong end, qlonglong duration, const QImage& img)
{
    auto* item = new VkScenceDetectListItem(m_table);
    connect(item, &VkScenceDetectListItem::sigRemoveItem, this, &VkScenceDetectListWidget::removeItem);

    QString durationText;
    QString endText;
    QString startText;
    if (m_presenter) {
        durationText = m_presenter->frameToText(duration);
        endText = m_presenter->frameToText(end - 1);
        startText = m_presenter->frameToText(start);
    }
    const QPixmap thumbnail = QPixmap::fromImage(img);
    item->setData(static_cast<int>(start), static_cast<int>(end), thumbnail, startText, endText,
                  durationText);

    const int n = m_table->rowCount();
    item->titleLabel()->setText(tr("Scene") + QStringLiteral(" %1").arg(n + 1));
    item->updateAccessibleNames();
    m_table->insertRow(n);
    item->setShowHeld(true);
    m_table->setCellWidget(n, 0, item);
    item->setShowHeld(false);
    // In place at once, and shown only when in sight; the table lays out the new rows together at
    // the next turn of the event loop.
    m_table->placeRowWidget(n);
}

void VkScenceDetectListWidget::removeItem()
{
    int found = -1;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->cellWidget(row, 0) == sender()) {
            found = row;
            break;
        }
    }
    if (found < 0)
        return;
    m_table->cellWidget(found, 0)->deleteLater();
    m_table->removeRow(found);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (VkScenceDetectListItem* item = rowWidget(m_table, row)) {
            item->titleLabel()->setText(QObject::tr("Scene") + QStringLiteral(" %1").arg(row + 1));
            item->updateAccessibleNames();
        }
    }
    if (m_table->rowCount() == 0)
        emit sigAllItemDeleted();
    emit sigDeleteRange();
}
