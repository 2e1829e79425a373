#include "VkVideoInfoPage.h"

#include "VkInfoPageLayout.h"
#include "VkVideoInfoPageManager.h"

#include <vkwidgets/VkLabel.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

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
    d->title = VkInfoPageLayout::CreateLabel(this, Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignVCenter);
    d->title->setFixedHeight(VkInfoPageLayout::kRowHeight);

    VkInfoPageLayout::CreateRow(this, d->codecCaption, d->codecValue);
    VkInfoPageLayout::CreateRow(this, d->resolutionCaption, d->resolutionValue);
    VkInfoPageLayout::CreateRow(this, d->frameRateCaption, d->frameRateValue);
    VkInfoPageLayout::CreateRow(this, d->bitRateCaption, d->bitRateValue);
    VkInfoPageLayout::CreateRow(this, d->transferCaption, d->transferValue);
    d->transferCaption->setWordWrap(true);

    QHBoxLayout* titleRow = VkInfoPageLayout::CreateDividedTitleRow(this, d->title);

    // Row 0 of the grid stays empty: the rows start one spacing below the title.
    QGridLayout* grid = VkInfoPageLayout::CreateGrid({{d->codecCaption, d->codecValue},
                                                      {d->resolutionCaption, d->resolutionValue},
                                                      {d->frameRateCaption, d->frameRateValue},
                                                      {d->bitRateCaption, d->bitRateValue},
                                                      {d->transferCaption, d->transferValue}},
                                                     1);
    VkInfoPageLayout::StackPage(this, titleRow, grid);
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
