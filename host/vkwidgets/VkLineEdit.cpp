#include <vkwidgets/VkLineEdit.h>

#include <QVariant>
namespace {

const int kDefaultHeight = 24;

} // namespace

VkLineEdit* VkLineEdit::CreateLineEdit(QWidget* parent)
{
    auto* edit = new VkLineEdit(parent);
    edit->setObjectName(QStringLiteral("VkLineEdit"));
    edit->setFixedHeight(kDefaultHeight);
    return edit;
}

VkLineEdit* VkLineEdit::creartNormalLineEdit(QWidget* parent, const VkLineEdit::VkLineEditSizeType& size)
{
    return creartNormalLineEdit(parent, static_cast<int>(size));
}

VkLineEdit* VkLineEdit::creartNormalLineEdit(QWidget* parent, int size)
{
    auto* edit = new VkLineEdit(parent);
    edit->setObjectName(QStringLiteral("VkLineEdit_Normal"));
    edit->setProperty("sizeType", size);
    edit->setFixedHeight(size > 0 ? size : kDefaultHeight);
    return edit;
}

VkLineEdit::VkLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

VkLineEdit::~VkLineEdit() = default;
