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

enum Row : int
{
    Row_CameraMaker = 1,
    Row_CameraModel = 2,
    Row_Resolution = 3,
    Row_Exposure = 4,
};

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
    auto makeLabel = [this](Qt::Alignment alignment) {
        VkLabel* label = VkLabel::CreateLabel(this, QString());
        label->setAlignment(alignment);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    d->title = makeLabel(Qt::AlignLeft);
    d->title->setFixedHeight(VkInfoPageLayout::kRowHeight);
    // Sized before it has a text, so every language gets the same short title cell.
    VkInfoPageLayout::FitTitleWidth(d->title, d->title->text());

    const int captionWidth = VkInfoPageLayout::CaptionWidth();
    auto makeRow = [&](VkLabel*& caption, VkLabel*& value) {
        caption = makeLabel(Qt::AlignRight | Qt::AlignVCenter);
        caption->setFixedSize(captionWidth, VkInfoPageLayout::kRowHeight);
        value = makeLabel(Qt::AlignLeft | Qt::AlignVCenter);
        value->setFixedSize(VkInfoPageLayout::kValueWidth, VkInfoPageLayout::kRowHeight);
    };
    makeRow(d->makerCaption, d->makerValue);
    makeRow(d->modelCaption, d->modelValue);
    makeRow(d->resolutionCaption, d->resolutionValue);
    makeRow(d->exposureCaption, d->exposureValue);

    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(VkInfoPageLayout::kTitleMarginLeft, 0, VkInfoPageLayout::kTitleMarginRight,
                                 0);
    titleRow->addWidget(d->title);
    titleRow->addStretch();

    auto* grid = new QGridLayout;
    grid->setContentsMargins(VkInfoPageLayout::kGridMarginLeft, 0, VkInfoPageLayout::kGridMarginRight, 0);
    grid->setHorizontalSpacing(VkInfoPageLayout::kSpacing);
    grid->setVerticalSpacing(VkInfoPageLayout::kSpacing);
    grid->addWidget(d->makerCaption, Row_CameraMaker, 0);
    grid->addWidget(d->makerValue, Row_CameraMaker, 1);
    grid->addWidget(d->modelCaption, Row_CameraModel, 0);
    grid->addWidget(d->modelValue, Row_CameraModel, 1);
    grid->addWidget(d->resolutionCaption, Row_Resolution, 0);
    grid->addWidget(d->resolutionValue, Row_Resolution, 1);
    grid->addWidget(d->exposureCaption, Row_Exposure, 0);
    grid->addWidget(d->exposureValue, Row_Exposure, 1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(VkInfoPageLayout::kSpacing);
    page->addLayout(titleRow);
    page->addLayout(grid);
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
    // Stock sites re-encode their pictures, so the exposure left in a download says nothing true.
    if (d->manager->GetMediaItem()->IsStockMedia()) {
        d->exposureCaption->hide();
        d->exposureValue->hide();
    }
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
