#include <vkwidgets/VkComboBox.h>

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
}

VkComboBox::~VkComboBox() = default;
