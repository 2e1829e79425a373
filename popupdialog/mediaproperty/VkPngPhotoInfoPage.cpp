#include "VkPngPhotoInfoPage.h"

#include "VkInfoPageLayout.h"
#include "VkPhotoInfoPageManager.h"

#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkRadioButton.h>

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int kTitleSpacing = 8;
constexpr int kDividerStretch = 128;
constexpr int kButtonMargin = 76;

} // namespace

struct VkPngPhotoInfoPage::Private
{
    VkLabel* title = nullptr;
    VkLabel* divider = nullptr;
    VkRadioButton* straight = nullptr;
    VkRadioButton* premultiplied = nullptr;
    VkRadioButton* ignore = nullptr;
    QButtonGroup* group = nullptr;
    VkPhotoInfoPageManager* manager = nullptr;
    int alphaType = VkPhotoInfoPageManager::kNoAlphaType;
};

VkPngPhotoInfoPage::VkPngPhotoInfoPage(VkPhotoInfoPageManager* manager, QWidget* parent)
    : VkWidget(parent)
    , d(new Private)
{
    d->manager = manager;
    d->alphaType = manager->GetAlphaType();
    InitUI();
    RetranslateUi();
}

VkPngPhotoInfoPage::~VkPngPhotoInfoPage() = default;

int VkPngPhotoInfoPage::AlphaType() const
{
    return d->alphaType;
}

void VkPngPhotoInfoPage::InitUI()
{
    d->title = VkLabel::CreateLabel(this, QString());
    d->title->setTextFormat(Qt::PlainText);
    d->divider = VkLabel::CreateLabel(this, QStringLiteral("LineWid"));
    d->divider->setFixedHeight(1);
    d->divider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    d->straight = VkRadioButton::creatRadioButton(this);
    d->premultiplied = VkRadioButton::creatRadioButton(this);
    d->ignore = VkRadioButton::creatRadioButton(this);
    d->group = new QButtonGroup(this);
    d->group->addButton(d->straight, IVkImageMediaInfo::Alpha_Straight);
    d->group->addButton(d->premultiplied, IVkImageMediaInfo::Alpha_Premultiplied);
    d->group->addButton(d->ignore, IVkImageMediaInfo::Alpha_Ignore);
    for (QAbstractButton* button : d->group->buttons())
        button->setFixedHeight(VkInfoPageLayout::kRowHeight);
    // A stored code that names no button leaves all three open; OK then hands it back untouched.
    if (QAbstractButton* current = d->group->button(d->alphaType))
        current->setChecked(true);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(kTitleSpacing);
    titleRow->setContentsMargins(VkInfoPageLayout::kTitleMarginLeft, 0, VkInfoPageLayout::kTitleMarginRight,
                                 0);
    titleRow->addWidget(d->title);
    titleRow->addWidget(d->divider, kDividerStretch);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(VkInfoPageLayout::kSpacing);
    page->addLayout(titleRow);
    for (QAbstractButton* button : {d->straight, d->premultiplied, d->ignore}) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(kButtonMargin, 0, kButtonMargin, 0);
        row->addWidget(button);
        row->addStretch();
        page->addLayout(row);
    }

    // Connected only now, so the initial check above is not taken for a choice; the group's
    // (id, checked) signal is overloaded, hence the connection by signature.
    connect(d->group, SIGNAL(buttonToggled(int, bool)), this, SLOT(slotOnButtonToggled(int, bool)));
}

void VkPngPhotoInfoPage::RetranslateUi()
{
    d->title->setText(tr("Alpha Channel"));
    d->straight->setText(tr("Straight Alpha"));
    d->premultiplied->setText(tr("Premultiplied Alpha"));
    d->ignore->setText(tr("Ignore Alpha"));
}

void VkPngPhotoInfoPage::slotOnButtonToggled(int id, bool bChecked)
{
    // Switching buttons toggles two of them; only the one being checked carries the choice.
    if (bChecked)
        d->alphaType = id;
}
