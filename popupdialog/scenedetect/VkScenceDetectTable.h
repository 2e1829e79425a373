#pragma once

#include <QTableWidget>

// The scene list's table, built for thousands of rows that arrive one by one, as fast as the detector
// finds scenes, each with a row widget. QAbstractItemView places every row widget again on each
// inserted row, and its layout and painting walk every row widget on every pass: with n rows that
// is work in n for each new row, seconds of the GUI thread for a long clip. Here an insertion only
// asks for one layout pass at the next turn of the event loop, and only the rows in sight are shown
// and placed; the others stay hidden until they are scrolled into view.
class VkScenceDetectTable : public QTableWidget
{
    Q_OBJECT
public:
    VkScenceDetectTable(int rows, int columns, QWidget* parent);
    ~VkScenceDetectTable() override;

    // Puts a new row's widget where its row is, shown only when the row is in sight.
    void placeRowWidget(int row);
    void doItemsLayout() override;

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect rowRect(int row) const;

    // The rows shown by the last pass; every other row widget is hidden.
    int m_firstShown = 0;
    int m_lastShown = -1;
    // After a removal the rows have moved: the next pass looks at every row once.
    bool m_checkAllRows = true;
    // The first row inserted since the last pass, -1 when none.
    int m_firstInserted = -1;
    Q_DISABLE_COPY(VkScenceDetectTable)
};
