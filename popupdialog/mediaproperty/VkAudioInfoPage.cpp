#include "VkAudioInfoPage.h"

#include "VkAudioInfoPageManager.h"
#include "VkInfoPageLayout.h"

#include <vkwidgets/VkLabel.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

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
    d->title = VkInfoPageLayout::CreateLabel(this, Qt::AlignLeft | Qt::AlignVCenter);
    d->title->setFixedHeight(VkInfoPageLayout::kRowHeight);

    VkInfoPageLayout::CreateRow(this, d->codecCaption, d->codecValue);
    VkInfoPageLayout::CreateRow(this, d->channelCaption, d->channelValue);
    VkInfoPageLayout::CreateRow(this, d->sampleRateCaption, d->sampleRateValue);
    VkInfoPageLayout::CreateRow(this, d->bitRateCaption, d->bitRateValue);

    QHBoxLayout* titleRow = VkInfoPageLayout::CreateDividedTitleRow(this, d->title);

    // Row 0 of the grid stays empty: the rows start one spacing below the title.
    QGridLayout* grid = VkInfoPageLayout::CreateGrid({{d->codecCaption, d->codecValue},
                                                      {d->channelCaption, d->channelValue},
                                                      {d->sampleRateCaption, d->sampleRateValue},
                                                      {d->bitRateCaption, d->bitRateValue}},
                                                     1);
    VkInfoPageLayout::StackPage(this, titleRow, grid);
}

void VkAudioInfoPage::RetranslateUi()
{
    const QString title = tr("Audio Info");
    VkInfoPageLayout::FitTitleWidth(d->title, title);
    d->title->setText(title);
    d->codecCaption->setText(tr("Codec:"));
    d->channelCaption->setText(tr("Channel:", "number of audio channels"));
    d->sampleRateCaption->setText(tr("Sample Rate:"));
    d->bitRateCaption->setText(tr("Bit Rate:"));
    NameRows();
}

void VkAudioInfoPage::InitData()
{
    d->codecValue->setText(d->manager->GetCodecName());
    d->channelValue->setText(QString::number(d->manager->GetChannels()));
    // Lossy codecs (AAC, MP3, Opus, Vorbis, AC-3) store no samples of a fixed size: the decoder's
    // float output says nothing about the source, and FFmpeg reports no bit depth for them. Only PCM
    // and lossless streams have one to show.
    const int bits = d->manager->GetSampleBits();
    d->sampleRateValue->setText(bits > 0 ? tr("%1 Hz, %2 Bits").arg(d->manager->GetSampleRate()).arg(bits)
                                         : tr("%1 Hz").arg(d->manager->GetSampleRate()));
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
