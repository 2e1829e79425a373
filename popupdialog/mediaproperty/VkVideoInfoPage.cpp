#include "VkVideoInfoPage.h"

#include "VkInfoPageLayout.h"
#include "VkVideoInfoPageManager.h"

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineWidget.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

enum Row : int
{
    Row_Codec = 1,
    Row_Resolution = 2,
    Row_FrameRate = 3,
    Row_BitRate = 4,
    Row_Transfer = 5,
};

constexpr int kTitleDividerGap = 8;

} // namespace

struct VkVideoInfoPage::Private
{
    VkVideoInfoPageManager* manager = nullptr;
    VkLabel* title = nullptr;
    VkLabel* codecCaption = nullptr;
    VkLabel* codecValue = nullptr;
    VkLabel* resolutionCaption = nullptr;
    VkLabel* resolutionValue = nullptr;
    VkLabel* frameRateCaption = nullptr;
    VkLabel* frameRateValue = nullptr;
    VkLabel* bitRateCaption = nullptr;
    VkLabel* bitRateValue = nullptr;
    VkLabel* transferCaption = nullptr;
    VkLabel* transferValue = nullptr;
};

VkVideoInfoPage::VkVideoInfoPage(VkVideoInfoPageManager* manager, QWidget* parent)
    : VkWidget(parent)
    , d(new Private)
{
    d->manager = manager;
    InitUI();
    RetranslateUi();
    InitData();
}

VkVideoInfoPage::~VkVideoInfoPage() = default;

void VkVideoInfoPage::InitUI()
{
    VkLineWidget* divider =
        VkLineWidget::CreateLineWidget(this, Qt::Horizontal, VkLineWidget::Line_Secondary);
    divider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    divider->setFixedHeight(1);

    auto makeLabel = [this](Qt::Alignment alignment) {
        VkLabel* label = VkLabel::CreateLabel(this, QString());
        label->setAlignment(alignment);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    d->title = makeLabel(Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignVCenter);
    d->title->setFixedHeight(VkInfoPageLayout::kRowHeight);

    const int captionWidth = VkInfoPageLayout::CaptionWidth();
    auto makeRow = [&](VkLabel*& caption, VkLabel*& value) {
        caption = makeLabel(Qt::AlignRight | Qt::AlignVCenter);
        caption->setFixedSize(captionWidth, VkInfoPageLayout::kRowHeight);
        value = makeLabel(Qt::AlignLeft | Qt::AlignVCenter);
        value->setFixedSize(VkInfoPageLayout::kValueWidth, VkInfoPageLayout::kRowHeight);
    };
    makeRow(d->codecCaption, d->codecValue);
    makeRow(d->resolutionCaption, d->resolutionValue);
    makeRow(d->frameRateCaption, d->frameRateValue);
    makeRow(d->bitRateCaption, d->bitRateValue);
    makeRow(d->transferCaption, d->transferValue);
    d->transferCaption->setWordWrap(true);

    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(VkInfoPageLayout::kTitleMarginLeft, 0, VkInfoPageLayout::kTitleMarginRight,
                                 0);
    titleRow->setSpacing(0);
    titleRow->addWidget(d->title);
    titleRow->addSpacing(kTitleDividerGap);
    titleRow->addWidget(divider);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(VkInfoPageLayout::kGridMarginLeft, 0, VkInfoPageLayout::kGridMarginRight, 0);
    grid->setHorizontalSpacing(VkInfoPageLayout::kSpacing);
    grid->setVerticalSpacing(VkInfoPageLayout::kSpacing);
    grid->addWidget(d->codecCaption, Row_Codec, 0);
    grid->addWidget(d->codecValue, Row_Codec, 1);
    grid->addWidget(d->resolutionCaption, Row_Resolution, 0);
    grid->addWidget(d->resolutionValue, Row_Resolution, 1);
    grid->addWidget(d->frameRateCaption, Row_FrameRate, 0);
    grid->addWidget(d->frameRateValue, Row_FrameRate, 1);
    grid->addWidget(d->bitRateCaption, Row_BitRate, 0);
    grid->addWidget(d->bitRateValue, Row_BitRate, 1);
    grid->addWidget(d->transferCaption, Row_Transfer, 0);
    grid->addWidget(d->transferValue, Row_Transfer, 1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(VkInfoPageLayout::kSpacing);
    page->addLayout(titleRow);
    page->addLayout(grid);
}

void VkVideoInfoPage::RetranslateUi()
{
    const QString title = tr("Video Info");
    VkInfoPageLayout::FitTitleWidth(d->title, title);
    d->title->setText(title);
    d->codecCaption->setText(tr("Codec:"));
    d->resolutionCaption->setText(tr("Resolution:"));
    d->frameRateCaption->setText(tr("Frame Rate:"));
    d->bitRateCaption->setText(tr("Bit Rate:"));
    d->transferCaption->setText(tr("Transfer Characteristics:"));
    NameRows();
}

void VkVideoInfoPage::InitData()
{
    d->codecValue->setText(d->manager->GetCodecName());
    d->resolutionValue->setText(d->manager->GetResolution());
    d->bitRateValue->setText(d->manager->GetBitRate());
    // Broadcast rates are named by two decimals (59.94, 29.97, 119.88), whole rates without any:
    // round to hundredths first, then the shortest text without trailing zeros.
    const double rate = qRound(double(d->manager->GetFrameRate()) * 100.0) / 100.0;
    d->frameRateValue->setText(tr("%1 fps").arg(rate, 0, 'g', -1));
    d->transferValue->setText(d->manager->GetTransferCharacteristics());
    NameRows();
}

void VkVideoInfoPage::slotFrameRateStateChanged(int state)
{
    Q_UNUSED(state)
}

void VkVideoInfoPage::slotAspectRatioStateChanged(int state)
{
    Q_UNUSED(state)
}

void VkVideoInfoPage::NameRows()
{
    VkInfoPageLayout::NameRow(d->codecCaption, d->codecValue);
    VkInfoPageLayout::NameRow(d->resolutionCaption, d->resolutionValue);
    VkInfoPageLayout::NameRow(d->frameRateCaption, d->frameRateValue);
    VkInfoPageLayout::NameRow(d->bitRateCaption, d->bitRateValue);
    VkInfoPageLayout::NameRow(d->transferCaption, d->transferValue);
}
