#include <vkwidgets/VkFramelessDialog.h>

#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include "VkWindowEdge_p.h"

#include <QPointer>
#include <QResizeEvent>
#include <QSizeGrip>
#include <QVBoxLayout>

namespace {

// The border is painted in this margin, so children never cover it.
const int kBorderWidth = 1;
const int kTitleBarHeight = 32;

} // namespace

class VkFramelessDialog::Private
{
public:
    QVBoxLayout* layout = nullptr;
    VkTopLevelWindowTitleBar* titleBar = nullptr;
    QPointer<QWidget> content;
    VkPushButtonBar* buttonBar = nullptr;
    QSizeGrip* sizeGrip = nullptr;
};

VkFramelessDialog::VkFramelessDialog(QWidget* parent, bool fixedSize, bool showTitleBar)
    : VkDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , d(new Private)
{
    d->titleBar = new VkTopLevelWindowTitleBar(this);
    d->titleBar->setObjectName(QStringLiteral("VkFramelessDialog_TitleBar"));
    d->titleBar->setFixedHeight(kTitleBarHeight);
    d->titleBar->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    d->titleBar->setVisible(showTitleBar);
    connect(d->titleBar, &VkTopLevelWindowTitleBar::sigClose, this, [this] { CloseByFrame(); });
    connect(d->titleBar, &VkTopLevelWindowTitleBar::sigMinimize, this, &QWidget::showMinimized);
    connect(d->titleBar, &VkTopLevelWindowTitleBar::sigMaximize, this, [this] {
        if (isMaximized())
            showNormal();
        else
            showMaximized();
    });

    d->buttonBar = new VkPushButtonBar(this);

    d->layout = new QVBoxLayout(this);
    d->layout->setContentsMargins(kBorderWidth, kBorderWidth, kBorderWidth, kBorderWidth);
    d->layout->setSpacing(0);
    d->layout->addWidget(d->titleBar);
    d->layout->addStretch(1);
    d->layout->addWidget(d->buttonBar);

    if (!fixedSize) {
        d->sizeGrip = new QSizeGrip(this);
        d->sizeGrip->setObjectName(QStringLiteral("VkFramelessDialog_SizeGrip"));
        d->sizeGrip->resize(d->sizeGrip->sizeHint());
    }
}

VkFramelessDialog::~VkFramelessDialog() = default;

void VkFramelessDialog::SetTitleName(const QString& title, bool centred)
{
    d->titleBar->SetTitleName(title, centred);
    setWindowTitle(title);
}

VkTopLevelWindowTitleBar* VkFramelessDialog::GetTitleBar() const
{
    return d->titleBar;
}

void VkFramelessDialog::SetContentWidget(QWidget* widget)
{
    if (widget == d->content)
        return;
    const int index = d->layout->indexOf(d->titleBar) + 1;
    if (d->content) {
        d->layout->removeWidget(d->content);
        delete d->content;
    } else {
        // The placeholder stretch.
        delete d->layout->takeAt(index);
    }
    d->content = widget;
    if (widget) {
        if (widget->parentWidget() != this)
            widget->setParent(this);
        d->layout->insertWidget(index, widget, 1);
        widget->show();
    } else {
        d->layout->insertStretch(index, 1);
    }
    if (d->sizeGrip)
        d->sizeGrip->raise();
}

QWidget* VkFramelessDialog::ContentWidget() const
{
    return d->content;
}

void VkFramelessDialog::SetBottomBarVisible(bool visible)
{
    d->buttonBar->setVisible(visible);
}

VkPushButtonBar* VkFramelessDialog::ButtonBar() const
{
    return d->buttonBar;
}

void VkFramelessDialog::SetFixedSize(const VkDialog::VWidthKind& kind, int maxHeight)
{
    setFixedWidth(WidthOf(kind));
    setFixedHeight(qMin(height(), maxHeight));
}

void VkFramelessDialog::SetFixedSize(int kind, int maxHeight)
{
    // Unknown kinds get the narrowest width rather than an out-of-range enum value.
    const bool known = kind >= Width_Small && kind <= Width_Huge;
    SetFixedSize(known ? static_cast<VkDialog::VWidthKind>(kind) : Width_Small, maxHeight);
}

void VkFramelessDialog::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    VkWidgetsInternal::paintWindowWithEdge(this);
}

void VkFramelessDialog::resizeEvent(QResizeEvent* event)
{
    VkDialog::resizeEvent(event);
    if (d->sizeGrip) {
        const QSize grip = d->sizeGrip->size();
        d->sizeGrip->move(width() - grip.width() - kBorderWidth, height() - grip.height() - kBorderWidth);
        d->sizeGrip->raise();
    }
}
