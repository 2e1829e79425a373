#include <vkwidgets/VkButtonBar.h>

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyleOption>

class VkButtonBar::Private
{
public:
    QHBoxLayout* layout = nullptr;
    QHBoxLayout* left = nullptr;
    QHBoxLayout* right = nullptr;
};

VkButtonBar::VkButtonBar(QWidget* parent)
    : QWidget(parent)
    , d(new Private)
{
    d->layout = new QHBoxLayout(this);
    d->layout->setContentsMargins(0, 0, 0, 0);
    d->left = new QHBoxLayout;
    d->right = new QHBoxLayout;
    for (QHBoxLayout* group : {d->left, d->right})
        group->setContentsMargins(0, 0, 0, 0);
    d->layout->addLayout(d->left);
    d->layout->addStretch(1);
    d->layout->addLayout(d->right);
}

VkButtonBar::~VkButtonBar() = default;

void VkButtonBar::AddButton(VkButtonBar::VButtonPosition position, QAbstractButton* button, int index)
{
    if (!button)
        return;
    RemoveButton(button);
    QHBoxLayout* group = position == Position_Left ? d->left : d->right;
    if (index < 0 || index > group->count())
        index = group->count();
    if (button->parentWidget() != this)
        button->setParent(this);
    group->insertWidget(index, button);
    button->show();
}

void VkButtonBar::AddButton(int position, QAbstractButton* button, int index)
{
    AddButton(position == Position_Left ? Position_Left : Position_Right, button, index);
}

void VkButtonBar::RemoveButton(QAbstractButton* button)
{
    d->left->removeWidget(button);
    d->right->removeWidget(button);
}

QList<QAbstractButton*> VkButtonBar::Buttons(VkButtonBar::VButtonPosition position) const
{
    QHBoxLayout* group = position == Position_Left ? d->left : d->right;
    QList<QAbstractButton*> buttons;
    for (int i = 0; i < group->count(); ++i) {
        if (auto* button = qobject_cast<QAbstractButton*>(group->itemAt(i)->widget()))
            buttons.append(button);
    }
    return buttons;
}

void VkButtonBar::SetSpacing(int spacing)
{
    d->layout->setSpacing(spacing);
    d->left->setSpacing(spacing);
    d->right->setSpacing(spacing);
}

void VkButtonBar::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
