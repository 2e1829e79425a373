#pragma once

#include <QObject>

class QListWidget;
class QListWidgetItem;

// Keyboard handling of the startup window's project list, kept out of the dialog so that the
// dialog's own event filter stays what it is. Enter and Return open the current project as a
// double-click does; the current row shows an outline while the list has the focus, so that a
// keyboard user sees which project Enter would open before anything is selected.
class VkStartupListKeys : public QObject
{
    Q_OBJECT
public:
    // Watches list; list is also the Qt parent.
    explicit VkStartupListKeys(QListWidget* list);
    ~VkStartupListKeys() override;

signals:
    void sigOpenItem(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCurrent();

    QListWidget* const m_list;
    Q_DISABLE_COPY(VkStartupListKeys)
};
