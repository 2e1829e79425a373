#include "VkMediaPropertyDialog.h"

#include "VkAudioInfoPage.h"
#include "VkAudioInfoPageManager.h"
#include "VkCommonInfoPage.h"
#include "VkCommonInfoPageManager.h"
#include "VkPhotoInfoPage.h"
#include "VkPhotoInfoPageManager.h"
#include "VkPngPhotoInfoPage.h"
#include "VkVideoInfoPage.h"
#include "VkVideoInfoPageManager.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>
#include <vkwidgets/VkUIStyle.h>
#include <vkwidgets/VkWidget.h>

#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// Media kinds by the stream flags of the item's media information.
enum MediaKind : int
{
    Kind_VideoOnly = 1,
    Kind_AudioOnly = 2,
    Kind_VideoAndAudio = 3,
    Kind_StillImage = 4,
};

constexpr int kTitleBarHeight = 32;
constexpr QSize kOkButtonSize{104, 32};
constexpr int kPageSpacing = 40;
constexpr int kBodyMarginTop = 24;
constexpr int kBodyMarginBottom = 24;
constexpr int kWindowWidth = 480;
// What the window adds to the heights of its pages to open at a comfortable size.
constexpr int kFrameHeight = 82;
// The tallest the window may open; a taller stack of pages scrolls.
constexpr int kMaxHeight = 690;

} // namespace

struct VkMediaPropertyDialog::Private
{
    VkCommonInfoPage* commonPage = nullptr;
    VkVideoInfoPage* videoPage = nullptr;
    VkAudioInfoPage* audioPage = nullptr;
    VkPhotoInfoPage* photoPage = nullptr;
    VkPngPhotoInfoPage* pngPage = nullptr;
    VkCommonInfoPageManager* commonManager = nullptr;
    VkVideoInfoPageManager* videoManager = nullptr;
    VkAudioInfoPageManager* audioManager = nullptr;
    VkPhotoInfoPageManager* photoManager = nullptr;
    VkPushButton* okButton = nullptr;
    QScrollArea* scrollArea = nullptr;
    const int commonHeight = 252;
    const int videoHeight = 180;
    const int audioHeight = 260;
    const int photoHeight = 211;
    const int pngHeight = 175;
    IVkAbstractMediaItem* item = nullptr;
};

VkMediaPropertyDialog::VkMediaPropertyDialog(IVkAbstractMediaItem* item, QWidget* parent)
    : VkFramelessDialog(parent, true, true)
    , d(new Private)
{
    d->item = item;
    setAttribute(Qt::WA_StyledBackground);
    InitUI();
    RetranslateUi();
    ConnectSignals();
}

VkMediaPropertyDialog::~VkMediaPropertyDialog() = default;

void VkMediaPropertyDialog::InitUI()
{
    VkTopLevelWindowTitleBar* titleBar = GetTitleBar();
    titleBar->setObjectName(QStringLiteral("VMediaPropertyDialog_TitleBar"));
    titleBar->SetButtons(VkTopLevelWindowTitleBar::Button_Close);
    titleBar->setFixedHeight(kTitleBarHeight);

    d->scrollArea = new QScrollArea(this);
    d->scrollArea->setFrameShape(QFrame::NoFrame);
    d->scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->scrollArea->setWidgetResizable(true);

    d->commonManager = new VkCommonInfoPageManager(d->item, this);
    d->commonPage = new VkCommonInfoPage(d->commonManager, this);

    d->okButton = VkPushButton::CreatePrimaryButton(this, VkPushButton::Size_32);
    d->okButton->setObjectName(QStringLiteral("PropertyDialog_Ok"));
    d->okButton->setFixedSize(kOkButtonSize);

    auto* bodyLayout = new QVBoxLayout;
    bodyLayout->setSpacing(kPageSpacing);
    bodyLayout->setContentsMargins(0, kBodyMarginTop, 0, kBodyMarginBottom);
    bodyLayout->addWidget(d->commonPage);

    // An item the media library could not probe still gets a working window: the common page
    // alone, as for a kind of media that has no page of its own.
    const IVkMediaInfo* info = d->item->GetMediaInfo();
    switch (info ? info->GetStreamFlags() : 0) {
    case Kind_VideoOnly:
        d->videoManager = new VkVideoInfoPageManager(d->item, this);
        d->videoPage = new VkVideoInfoPage(d->videoManager, this);
        bodyLayout->addWidget(d->videoPage);
        resize(kWindowWidth, d->commonHeight + d->videoHeight + kFrameHeight);
        break;
    case Kind_AudioOnly:
        d->audioManager = new VkAudioInfoPageManager(d->item, this);
        d->audioPage = new VkAudioInfoPage(d->audioManager, this);
        bodyLayout->addWidget(d->audioPage);
        resize(kWindowWidth, d->commonHeight + d->audioHeight + kFrameHeight);
        break;
    case Kind_VideoAndAudio:
        d->videoManager = new VkVideoInfoPageManager(d->item, this);
        d->videoPage = new VkVideoInfoPage(d->videoManager, this);
        bodyLayout->addWidget(d->videoPage);
        if (d->item->IsStockMedia()) {
            resize(kWindowWidth, d->commonHeight + d->videoHeight + kFrameHeight);
        } else {
            d->audioManager = new VkAudioInfoPageManager(d->item, this);
            d->audioPage = new VkAudioInfoPage(d->audioManager, this);
            bodyLayout->addWidget(d->audioPage);
            resize(kWindowWidth, d->commonHeight + kFrameHeight + d->audioHeight + d->videoHeight);
        }
        break;
    case Kind_StillImage:
        d->photoManager = new VkPhotoInfoPageManager(d->item, this);
        d->photoPage = new VkPhotoInfoPage(d->photoManager, this);
        bodyLayout->addWidget(d->photoPage);
        if (d->photoManager->IsPng()) {
            d->pngPage = new VkPngPhotoInfoPage(d->photoManager, this);
            bodyLayout->addWidget(d->pngPage);
            resize(kWindowWidth, d->photoHeight + kFrameHeight + d->commonHeight + d->pngHeight);
        } else {
            resize(kWindowWidth, d->photoHeight + kFrameHeight + d->commonHeight);
        }
        break;
    default:
        break;
    }

    auto* body = new VkWidget(this);
    body->setLayout(bodyLayout);
    d->scrollArea->setWidget(body);
    VkUIStyle::SetBGColorType(body, VkSkinColor::BackGround_Panel);
    SetContentWidget(d->scrollArea);

    ButtonBar()->AddButton(VkButtonBar::Position_Right, d->okButton, -1);
    SetFixedSize(VkDialog::Width_Small, kMaxHeight);
}

void VkMediaPropertyDialog::RetranslateUi()
{
    SetTitleName(tr("Properties"), false);
    d->okButton->setText(tr("OK"));
    // The body scrolls under the keyboard as well; it is announced by the window's title.
    d->scrollArea->setAccessibleName(tr("Properties"));
    d->okButton->setAccessibleDescription(tr("Keeps the new name and the alpha choice"));
}

void VkMediaPropertyDialog::ConnectSignals()
{
    connect(d->commonPage, &VkCommonInfoPage::sigNameChanged, this, &VkMediaPropertyDialog::sigNameChanged);
    connect(d->okButton, &QPushButton::clicked, this, &VkMediaPropertyDialog::slotOk);
}

void VkMediaPropertyDialog::slotOk()
{
    if (d->commonPage)
        d->commonPage->CheckNameChanged();
    // Written on every OK, changed or not, so the image always holds what the window showed.
    if (d->pngPage)
        d->photoManager->SetAlphaType(d->pngPage->AlphaType());
    done(1);
}

void VkMediaPropertyDialog::CloseByFrame()
{
    slotCancel();
}

void VkMediaPropertyDialog::slotCancel()
{
    done(0);
}
