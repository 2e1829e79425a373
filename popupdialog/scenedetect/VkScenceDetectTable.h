#pragma once

#include <QTableWidget>

// The scene list's table. Rows arrive one by one, as fast as the detector finds scenes, each with a
// row widget. QAbstractItemView places every row widget again on each inserted row (and runs any
// layout pass that is due first), so a list of n rows costs n passes over all of them: seconds of
// the GUI thread for thousands of scenes. Here an insertion only asks for the one layout pass that
// the next turn of the event loop runs for every row that came in the meantime.
class VkScenceDetectTable : public QTableWidget
{
    Q_OBJECT
public:
    VkScenceDetectTable(int rows, int columns, QWidget* parent);
    ~VkScenceDetectTable() override;

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

private:
    Q_DISABLE_COPY(VkScenceDetectTable)
};
