#include "VkStartupListKeys_p.h"

#include "VkStartupListItem.h"

#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>

VkStartupListKeys::VkStartupListKeys(QListWidget* list)
    : QObject(list)
    , m_list(list)
{
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::currentItemChanged, this, &VkStartupListKeys::showCurrent);
}

VkStartupListKeys::~VkStartupListKeys() = default;

bool VkStartupListKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_list)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (!enter || !plain)
            return false;
        // Taken here, or the list would pass Enter on to the dialog, whose default handling knows
        // nothing of projects.
        QListWidgetItem* item = m_list->currentItem();
        if (item && !item->isHidden())
            emit sigOpenItem(item);
        return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        showCurrent();
        return false;
    default:
        return false;
    }
}

void VkStartupListKeys::showCurrent()
{
    const bool focused = m_list->hasFocus();
    QListWidgetItem* current = m_list->currentItem();
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        if (auto* row = qobject_cast<VkStartupListItem*>(m_list->itemWidget(item)))
            row->setCurrent(focused && item == current);
    }
}
