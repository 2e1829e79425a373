#include "VkPhotoInfoPage.h"

#include "VkInfoPageLayout.h"
#include "VkPhotoInfoPageManager.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kDividerGap = 10;

} // namespace

struct VkPhotoInfoPage::Private
{
    VkPhotoInfoPageManager* manager = nullptr;
    VkLabel* title = nullptr;
    VkLabel* makerCaption = nullptr;
    VkLabel* makerValue = nullptr;
    VkLabel* modelCaption = nullptr;
    VkLabel* modelValue = nullptr;
    VkLabel* resolutionCaption = nullptr;
    VkLabel* resolutionValue = nullptr;
    VkLabel* exposureCaption = nullptr;
    VkLabel* exposureValue = nullptr;
};

VkPhotoInfoPage::VkPhotoInfoPage(VkPhotoInfoPageManager* manager, QWidget* parent)
    : VkWidget(parent)
    , d(new Private)
{
    d->manager = manager;
    InitUI();
    RetranslateUi();
    InitData();
}

VkPhotoInfoPage::~VkPhotoInfoPage() = default;

void VkPhotoInfoPage::InitUI()
{
    d->title = VkInfoPageLayout::CreateLabel(this, Qt::AlignLeft);
    d->title->setFixedHeight(VkInfoPageLayout::kRowHeight);
    // Sized before it has a text, so every language gets the same short title cell.
    VkInfoPageLayout::FitTitleWidth(d->title, d->title->text());

    VkInfoPageLayout::CreateRow(this, d->makerCaption, d->makerValue);
    VkInfoPageLayout::CreateRow(this, d->modelCaption, d->modelValue);
    VkInfoPageLayout::CreateRow(this, d->resolutionCaption, d->resolutionValue);
    VkInfoPageLayout::CreateRow(this, d->exposureCaption, d->exposureValue);

    QHBoxLayout* titleRow = VkInfoPageLayout::CreateTitleRow();
    titleRow->addWidget(d->title);
    titleRow->addStretch();

    // Row 0 of the grid stays empty: the rows start one spacing below the title.
    QGridLayout* grid = VkInfoPageLayout::CreateGrid({{d->makerCaption, d->makerValue},
                                                      {d->modelCaption, d->modelValue},
                                                      {d->resolutionCaption, d->resolutionValue},
                                                      {d->exposureCaption, d->exposureValue}},
                                                     1);
    VkInfoPageLayout::StackPage(this, titleRow, grid);
}

void VkPhotoInfoPage::RetranslateUi()
{
    // Short enough for the fixed 60-pixel title cell.
    d->title->setText(tr("Photo"));
    d->makerCaption->setText(tr("Camera Maker:"));
    d->modelCaption->setText(tr("Camera Model:"));
    d->resolutionCaption->setText(tr("Resolution:"));
    d->exposureCaption->setText(tr("Exposure Time:"));
    NameRows();
}

void VkPhotoInfoPage::InitData()
{
    d->makerValue->setText(d->manager->GetCameraMaker());
    d->modelValue->setText(d->manager->GetCameraModel());
    d->resolutionValue->setText(d->manager->GetResolution());
    d->exposureValue->setText(d->manager->GetExposureTime());
    // A picture without camera data (a PNG, a screenshot, an edited export) shows no camera rows
    // rather than blank ones. The exposure is known in whole seconds only: 0 means unknown or
    // shorter than a second, and "0 s" would be wrong either way. Stock sites re-encode their
    // pictures, so the exposure left in a download says nothing true.
    const bool showExposure = d->manager->HasExposureTime() && !d->manager->GetMediaItem()->IsStockMedia();
    const auto hideRowUnless = [](bool shown, VkLabel* caption, VkLabel* value) {
        if (shown)
            return;
        caption->hide();
        value->hide();
    };
    hideRowUnless(!d->makerValue->text().isEmpty(), d->makerCaption, d->makerValue);
    hideRowUnless(!d->modelValue->text().isEmpty(), d->modelCaption, d->modelValue);
    hideRowUnless(showExposure, d->exposureCaption, d->exposureValue);
    NameRows();
}

void VkPhotoInfoPage::paintEvent(QPaintEvent* event)
{
    VkWidget::paintEvent(event);
    const QRect title = d->title->geometry();
    const int y = (title.top() + title.bottom()) / 2;
    QPainter painter(this);
    painter.setPen(
        VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Component_Divider_Secondary()));
    painter.drawLine(title.right() + kDividerGap, y, width() - VkInfoPageLayout::kTitleMarginRight, y);
}

void VkPhotoInfoPage::slotAspectRatioStateChanged(int state)
{
    Q_UNUSED(state)
}

void VkPhotoInfoPage::NameRows()
{
    VkInfoPageLayout::NameRow(d->makerCaption, d->makerValue);
    VkInfoPageLayout::NameRow(d->modelCaption, d->modelValue);
    VkInfoPageLayout::NameRow(d->resolutionCaption, d->resolutionValue);
    VkInfoPageLayout::NameRow(d->exposureCaption, d->exposureValue);
}
