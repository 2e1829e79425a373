#include <vkwidgets/VkDialog.h>

#include <vkwidgets/VkSkinStyle.h>

#include "VkDialogCloser_p.h"
#include "VkWindowPlacement_p.h"

#include <QCloseEvent>
#include <QEvent>
#include <QKeyEvent>

namespace {

const int kSmallWidth = 480;
const int kMediumWidth = 640;
const int kLargeWidth = 800;
const int kHugeWidth = 1200;

} // namespace

int VkDialog::WidthOf(VWidthKind kind)
{
    switch (kind) {
    case Width_Medium:
        return kMediumWidth;
    case Width_Large:
        return kLargeWidth;
    case Width_Huge:
        return kHugeWidth;
    case Width_Small:
        break;
    }
    return kSmallWidth;
}

VkDialog::VkDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    VkSkinStyle::EnsureThemeApplied();
}

VkDialog::~VkDialog() = default;

int VkDialog::DoModal()
{
    return exec();
}

bool VkDialog::InLoginSeriesPage()
{
    return false;
}

bool VkDialog::InNPSPage()
{
    return false;
}

void VkDialog::RetranslateUi() {}

void VkDialog::TranslateText() {}

void VkDialog::CloseByFrame()
{
    reject();
}

void VkDialog::keyPressEvent(QKeyEvent* event)
{
    if (!VkWidgetsInternal::VkDialogCloser::keyPress(this, event, [this] { CloseByFrame(); }))
        QDialog::keyPressEvent(event);
}

void VkDialog::closeEvent(QCloseEvent* event)
{
    VkWidgetsInternal::VkDialogCloser::close(this, event, [this] { CloseByFrame(); });
}

void VkDialog::resize(int width, int height)
{
    QDialog::resize(width, height);
}

void VkDialog::resize(const QSize& size)
{
    QDialog::resize(size);
}

bool VkDialog::event(QEvent* event)
{
    VkWidgetsInternal::VkWindowPlacement::windowEvent(this, event);
    return QDialog::event(event);
}

void VkDialog::showEvent(QShowEvent* event)
{
    const bool placeIt = VkWidgetsInternal::VkWindowPlacement::needsPlacing(this, event);
    QDialog::showEvent(event);
    VkWidgetsInternal::VkWindowPlacement::afterShow(this, placeIt);
}

void VkDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        RetranslateUi();
        TranslateText();
    }
}
