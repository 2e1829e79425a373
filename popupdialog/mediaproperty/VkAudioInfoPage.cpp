#include "VkAudioInfoPage.h"

#include "VkAudioInfoPageManager.h"
#include "VkInfoPageLayout.h"

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineWidget.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

enum Row : int
{
    Row_Codec = 1,
    Row_Channel = 2,
    Row_SampleRate = 3,
    Row_BitRate = 4,
};

constexpr int kTitleDividerGap = 8;

} // namespace

struct VkAudioInfoPage::Private
{
    VkAudioInfoPageManager* manager = nullptr;
    VkLabel* title = nullptr;
    VkLabel* codecCaption = nullptr;
    VkLabel* codecValue = nullptr;
    VkLabel* channelCaption = nullptr;
    VkLabel* channelValue = nullptr;
    VkLabel* sampleRateCaption = nullptr;
    VkLabel* sampleRateValue = nullptr;
    VkLabel* bitRateCaption = nullptr;
    VkLabel* bitRateValue = nullptr;
};

VkAudioInfoPage::VkAudioInfoPage(VkAudioInfoPageManager* manager, QWidget* parent)
    : VkWidget(parent)
    , d(new Private)
{
    d->manager = manager;
    InitUI();
    InitData();
    RetranslateUi();
}

VkAudioInfoPage::~VkAudioInfoPage() = default;

void VkAudioInfoPage::InitUI()
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
    d->title = makeLabel(Qt::AlignLeft | Qt::AlignVCenter);
    d->title->setFixedHeight(VkInfoPageLayout::kRowHeight);

    const int captionWidth = VkInfoPageLayout::CaptionWidth();
    auto makeRow = [&](VkLabel*& caption, VkLabel*& value) {
        caption = makeLabel(Qt::AlignRight | Qt::AlignVCenter);
        caption->setFixedSize(captionWidth, VkInfoPageLayout::kRowHeight);
        value = makeLabel(Qt::AlignLeft | Qt::AlignVCenter);
        value->setFixedSize(VkInfoPageLayout::kValueWidth, VkInfoPageLayout::kRowHeight);
    };
    makeRow(d->codecCaption, d->codecValue);
    makeRow(d->channelCaption, d->channelValue);
    makeRow(d->sampleRateCaption, d->sampleRateValue);
    makeRow(d->bitRateCaption, d->bitRateValue);

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
    grid->addWidget(d->channelCaption, Row_Channel, 0);
    grid->addWidget(d->channelValue, Row_Channel, 1);
    grid->addWidget(d->sampleRateCaption, Row_SampleRate, 0);
    grid->addWidget(d->sampleRateValue, Row_SampleRate, 1);
    grid->addWidget(d->bitRateCaption, Row_BitRate, 0);
    grid->addWidget(d->bitRateValue, Row_BitRate, 1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(VkInfoPageLayout::kSpacing);
    page->addLayout(titleRow);
    page->addLayout(grid);
}

void VkAudioInfoPage::RetranslateUi()
{
    const QString title = tr("Audio Info");
    VkInfoPageLayout::FitTitleWidth(d->title, title);
    d->title->setText(title);
    d->codecCaption->setText(tr("Codec:"));
    d->channelCaption->setText(tr("Channel:"));
    d->sampleRateCaption->setText(tr("Sample Rate:"));
    d->bitRateCaption->setText(tr("Bit Rate:"));
    NameRows();
}

void VkAudioInfoPage::InitData()
{
    d->codecValue->setText(d->manager->GetCodecName());
    d->channelValue->setText(QString::number(d->manager->GetChannels()));
    d->sampleRateValue->setText(
        tr("%1 Hz, %2 Bits").arg(d->manager->GetSampleRate()).arg(d->manager->GetSampleBits()));
    d->bitRateValue->setText(d->manager->GetBitRate());
    NameRows();
}

void VkAudioInfoPage::NameRows()
{
    VkInfoPageLayout::NameRow(d->codecCaption, d->codecValue);
    VkInfoPageLayout::NameRow(d->channelCaption, d->channelValue);
    VkInfoPageLayout::NameRow(d->sampleRateCaption, d->sampleRateValue);
    VkInfoPageLayout::NameRow(d->bitRateCaption, d->bitRateValue);
}
