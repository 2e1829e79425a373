#include <vkwidgets/VkComboBox.h>

#include "VkWindowPlacement_p.h"

#include <QStyledItemDelegate>

VkComboBox* VkComboBox::CreateComboBox(QWidget* parent)
{
    return new VkComboBox(parent);
}

VkComboBox::VkComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("VkComboBox"));
    setCursor(Qt::PointingHandCursor);
    // The default delegate ignores the style sheet's item rules; the styled one follows them.
    setItemDelegate(new QStyledItemDelegate(this));
    setMaxVisibleItems(12);
    setFocusPolicy(Qt::TabFocus);
}

VkComboBox::~VkComboBox() = default;

void VkComboBox::showPopup()
{
    // The list is placed from the window's cached position; make sure it is the real one.
    VkWidgetsInternal::VkWindowPlacement::syncWithServer(window());
    QComboBox::showPopup();
}
