#include "VkScenceDetectTable.h"

VkScenceDetectTable::VkScenceDetectTable(int rows, int columns, QWidget* parent)
    : QTableWidget(rows, columns, parent)
{}

VkScenceDetectTable::~VkScenceDetectTable() = default;

void VkScenceDetectTable::rowsInserted(const QModelIndex& /*parent*/, int /*start*/, int /*end*/)
{
    scheduleDelayedItemsLayout();
}
