#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>

#include "VkWindowDragger_p.h"

#include <QHBoxLayout>

namespace {

const int kButtonSize = 24;
const int kSideMargin = 16;
const int kRightMargin = 8;
const int kButtonSpacing = 4;

} // namespace

class VkTopLevelWindowTitleBar::Private
{
public:
    VkLabel* title = nullptr;
    VkToolButton* minimize = nullptr;
    VkToolButton* maximize = nullptr;
    VkToolButton* close = nullptr;
    int buttons = Button_None;
};

VkTopLevelWindowTitleBar::VkTopLevelWindowTitleBar(QWidget* parent)
    : VkWidget(parent)
    , d(new Private)
{
    setAttribute(Qt::WA_StyledBackground, true);
    d->title = VkLabel::CreateLabel(this, QStringLiteral("VkTopLevelWindowTitleBar_Title"));
    d->title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The title must not swallow the presses that drag the window.
    d->title->setAttribute(Qt::WA_TransparentForMouseEvents, true);

    d->minimize = VkToolButton::CreateToolButton(this, QStringLiteral("VkTopLevelWindowTitleBar_Min"));
    d->maximize = VkToolButton::CreateToolButton(this, QStringLiteral("VkTopLevelWindowTitleBar_Max"));
    d->close = VkToolButton::CreateToolButton(this, QStringLiteral("VkTopLevelWindowTitleBar_Close"));
    for (VkToolButton* button : {d->minimize, d->maximize, d->close})
        button->setFixedSize(kButtonSize, kButtonSize);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kSideMargin, 0, kRightMargin, 0);
    layout->setSpacing(kButtonSpacing);
    layout->addWidget(d->title, 1);
    layout->addWidget(d->minimize);
    layout->addWidget(d->maximize);
    layout->addWidget(d->close);

    connect(d->minimize, &QToolButton::clicked, this, &VkTopLevelWindowTitleBar::sigMinimize);
    connect(d->maximize, &QToolButton::clicked, this, &VkTopLevelWindowTitleBar::sigMaximize);
    connect(d->close, &QToolButton::clicked, this, &VkTopLevelWindowTitleBar::sigClose);

    new VkWidgetsInternal::VkWindowDragger(this);
    SetButtons(Button_Close);
    TranslateText();
}

VkTopLevelWindowTitleBar::~VkTopLevelWindowTitleBar() = default;

// The toolkit contract passes the title by value.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void VkTopLevelWindowTitleBar::SetTitleName(QString title, bool centred)
{
    d->title->setText(title);
    d->title->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    // The window manager shows the same name in task bars and window lists.
    if (QWidget* top = window(); top != this)
        top->setWindowTitle(title);
}

QString VkTopLevelWindowTitleBar::TitleName() const
{
    return d->title->text();
}

void VkTopLevelWindowTitleBar::SetButtons(int buttons)
{
    d->buttons = buttons;
    d->minimize->setVisible(buttons & Button_Minimize);
    d->maximize->setVisible(buttons & Button_Maximize);
    d->close->setVisible(buttons & Button_Close);
}

int VkTopLevelWindowTitleBar::Buttons() const
{
    return d->buttons;
}

void VkTopLevelWindowTitleBar::TranslateText()
{
    d->minimize->SetToolTipText(tr("Minimize"));
    d->maximize->SetToolTipText(tr("Maximize"));
    d->close->SetToolTipText(tr("Close", "verb: close the window"));
    d->close->setAccessibleDescription(tr("Closes the window"));
}

void VkTopLevelWindowTitleBar::resizeEvent(QResizeEvent* event)
{
    VkWidget::resizeEvent(event);
}
