#include <vkwidgets/VkBaseShadowDialog.h>

#include <vkwidgets/VkSkinStyle.h>

#include "VkDialogCloser_p.h"
#include "VkWindowEdge_p.h"
#include "VkWindowPlacement_p.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>

VkBaseShadowDialog::VkBaseShadowDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    VkSkinStyle::EnsureThemeApplied();
}

VkBaseShadowDialog::~VkBaseShadowDialog() = default;

int VkBaseShadowDialog::DoModal()
{
    return exec();
}

bool VkBaseShadowDialog::InLoginSeriesPage()
{
    return false;
}

bool VkBaseShadowDialog::InNPSPage()
{
    return false;
}

void VkBaseShadowDialog::RetranslateUi() {}

void VkBaseShadowDialog::TranslateText() {}

void VkBaseShadowDialog::CloseByFrame()
{
    reject();
}

void VkBaseShadowDialog::keyPressEvent(QKeyEvent* event)
{
    if (!VkWidgetsInternal::VkDialogCloser::keyPress(this, event, [this] { CloseByFrame(); }))
        QDialog::keyPressEvent(event);
}

void VkBaseShadowDialog::closeEvent(QCloseEvent* event)
{
    VkWidgetsInternal::VkDialogCloser::close(this, event, [this] { CloseByFrame(); });
}

bool VkBaseShadowDialog::event(QEvent* event)
{
    VkWidgetsInternal::VkWindowPlacement::windowEvent(this, event);
    return QDialog::event(event);
}

void VkBaseShadowDialog::showEvent(QShowEvent* event)
{
    const bool placeIt = VkWidgetsInternal::VkWindowPlacement::needsPlacing(this, event);
    QDialog::showEvent(event);
    VkWidgetsInternal::VkWindowPlacement::afterShow(this, placeIt);
}

void VkBaseShadowDialog::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    VkWidgetsInternal::paintWindowWithEdge(this);
}

void VkBaseShadowDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        TranslateText();
    }
}

bool VkBaseShadowDialog::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    return QDialog::nativeEvent(eventType, message, result);
}
