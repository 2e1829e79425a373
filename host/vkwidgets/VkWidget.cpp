#include <vkwidgets/VkWidget.h>

#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkUIStyle.h>

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

VkWidget::VkWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    VkSkinStyle::EnsureThemeApplied();
}

VkWidget::~VkWidget() = default;

void VkWidget::SetBGColorType(const VkSkinColor::VkColorType& type)
{
    VkUIStyle::SetBGColorType(this, type);
}

void VkWidget::SetBGColorType(int type)
{
    VkUIStyle::SetBGColorType(this, type);
}

void VkWidget::RetranslateUi() {}

void VkWidget::TranslateText() {}

void VkWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        TranslateText();
    }
}

void VkWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    // The documented way for a QWidget subclass to honour the style sheet's background and border.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
