#include <vkwidgets/VkUIStyle.h>

#include <QStyle>
#include <QVariant>
#include <QWidget>

namespace {

void setStyleCode(QWidget* widget, const char* property, int value)
{
    if (!widget)
        return;
    widget->setProperty(property, value);
    // A widget not styled yet takes the code when it is first polished (as it is shown); styling it
    // twice here would match the whole style sheet for it in vain, for every row of a long list.
    if (widget->testAttribute(Qt::WA_WState_Polished))
        VkUIStyle::RePolish(widget);
}

} // namespace

void VkUIStyle::SetBGColorType(QWidget* widget, int colorType)
{
    if (widget) {
        // A plain QWidget paints no style sheet background unless asked to.
        widget->setAttribute(Qt::WA_StyledBackground, true);
    }
    setStyleCode(widget, "bgColorType", colorType);
}

void VkUIStyle::SetFontType(QWidget* widget, int fontType)
{
    setStyleCode(widget, "fontType", fontType);
}

void VkUIStyle::SetTextColorType(QWidget* widget, int textColorType)
{
    setStyleCode(widget, "textColorType", textColorType);
}

void VkUIStyle::RePolish(QWidget* widget)
{
    if (!widget)
        return;
    QStyle* style = widget->style();
    style->unpolish(widget);
    style->polish(widget);
    widget->update();
}

void VkUIStyle::RePolishStyleAllChild(QWidget* widget)
{
    if (!widget)
        return;
    RePolish(widget);
    const QList<QWidget*> descendants = widget->findChildren<QWidget*>();
    for (QWidget* child : descendants)
        RePolish(child);
}
