#include "VkCommonInfoPage.h"

#include "VkCommonInfoPageManager.h"
#include "VkInfoPageLayout.h"

#include <vkcore/VkDesktopService.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineEdit.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>

#include <QGridLayout>
#include <QTextDocument>
#include <QUrl>

namespace {

enum Row : int
{
    Row_Name = 0,
    Row_Format = 1,
    Row_Location = 2,
    Row_FileSize = 3,
    Row_Duration = 4,
    Row_DateCreated = 5,
    Row_Keyword = 6,
    Row_Copyright = 7,
    Row_Credit = 8,
};

constexpr int kCaptionColumn = 0;
constexpr int kValueColumn = 1;

const char kCopyrightTemplate[] = " <a style=\"color:%1;\" href=\"%2\">%3</a>";

} // namespace

struct VkCommonInfoPage::Private
{
    VkCommonInfoPageManager* manager = nullptr;
    VkLabel* nameCaption = nullptr;
    VkLineEdit* nameEdit = nullptr;
    VkLabel* locationCaption = nullptr;
    VkLineEdit* locationEdit = nullptr;
    VkLabel* fileSizeCaption = nullptr;
    VkLabel* fileSizeValue = nullptr;
    VkLabel* durationCaption = nullptr;
    VkLabel* durationValue = nullptr;
    VkLabel* dateCaption = nullptr;
    VkLabel* dateValue = nullptr;
    VkLabel* copyrightCaption = nullptr;
    VkLabel* copyrightValue = nullptr;
    VkLabel* creditCaption = nullptr;
    VkLabel* creditValue = nullptr;
    VkLabel* formatCaption = nullptr;
    VkLabel* formatValue = nullptr;
    VkLabel* keywordCaption = nullptr;
    VkLabel* keywordValue = nullptr;
};

VkCommonInfoPage::VkCommonInfoPage(VkCommonInfoPageManager* manager, QWidget* parent)
    : VkWidget(parent)
    , d(new Private)
{
    d->manager = manager;
    InitUI();
    RetranslateUi();
    InitData();
}

VkCommonInfoPage::~VkCommonInfoPage() = default;

void VkCommonInfoPage::InitUI()
{
    const int captionWidth = VkInfoPageLayout::CaptionWidth();
    auto makeCaption = [this, captionWidth] {
        VkLabel* label = VkLabel::CreateLabel(this, QString());
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFixedSize(captionWidth, VkInfoPageLayout::kRowHeight);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    // Values come from files and users: plain text unless the cell is a link built here.
    auto makeValue = [this] {
        VkLabel* label = VkLabel::CreateLabel(this, QString());
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setFixedSize(VkInfoPageLayout::kValueWidth, VkInfoPageLayout::kRowHeight);
        label->setTextFormat(Qt::PlainText);
        return label;
    };

    d->nameCaption = makeCaption();
    d->locationCaption = makeCaption();
    d->fileSizeCaption = makeCaption();
    d->durationCaption = makeCaption();
    d->dateCaption = makeCaption();
    d->copyrightCaption = makeCaption();
    d->creditCaption = makeCaption();
    d->formatCaption = makeCaption();
    d->keywordCaption = makeCaption();

    d->fileSizeValue = makeValue();
    d->durationValue = makeValue();
    d->dateValue = makeValue();
    d->copyrightValue = makeValue();
    d->creditValue = makeValue();
    d->formatValue = makeValue();
    d->keywordValue = makeValue();
    d->keywordValue->setWordWrap(true);

    // The copyright and credit cells carry links; they go to the browser through the desktop
    // service, which refuses anything but web and mail addresses a stock site might have sent.
    for (VkLabel* link : {d->copyrightValue, d->creditValue}) {
        link->setTextFormat(Qt::RichText);
        link->setOpenExternalLinks(false);
        // Tab reaches the links too, and Enter follows the one in focus.
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(link, &QLabel::linkActivated, this,
                [](const QString& url) { VkDesktopService::openURL(url); });
    }

    d->nameEdit = VkLineEdit::creartNormalLineEdit(this, VkLineEdit::LineEdit_Size24);
    d->nameEdit->setObjectName(QStringLiteral("VkCommonInfoPage_NameLineEdit"));
    if (d->manager->GetMediaItem()->GetItemType() == IVkAbstractMedia::ItemType_LibraryAsset)
        d->nameEdit->setReadOnly(true);
    d->locationEdit = VkLineEdit::creartNormalLineEdit(this, VkLineEdit::LineEdit_Size24);
    d->locationEdit->setReadOnly(true);
    for (VkLineEdit* edit : {d->nameEdit, d->locationEdit})
        edit->setFixedSize(VkInfoPageLayout::kValueWidth, VkInfoPageLayout::kRowHeight);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(VkInfoPageLayout::kGridMarginLeft, 0, VkInfoPageLayout::kGridMarginRight, 0);
    grid->setHorizontalSpacing(VkInfoPageLayout::kSpacing);
    grid->setVerticalSpacing(VkInfoPageLayout::kSpacing);
    auto addRow = [grid](int row, QWidget* caption, QWidget* value) {
        grid->addWidget(caption, row, kCaptionColumn);
        grid->addWidget(value, row, kValueColumn);
    };
    addRow(Row_Name, d->nameCaption, d->nameEdit);
    addRow(Row_Format, d->formatCaption, d->formatValue);
    addRow(Row_Location, d->locationCaption, d->locationEdit);
    addRow(Row_FileSize, d->fileSizeCaption, d->fileSizeValue);
    addRow(Row_Duration, d->durationCaption, d->durationValue);
    addRow(Row_DateCreated, d->dateCaption, d->dateValue);
    addRow(Row_Keyword, d->keywordCaption, d->keywordValue);
    addRow(Row_Copyright, d->copyrightCaption, d->copyrightValue);
    addRow(Row_Credit, d->creditCaption, d->creditValue);
}

void VkCommonInfoPage::RetranslateUi()
{
    d->nameCaption->setText(tr("Name:"));
    d->formatCaption->setText(tr("Format:"));
    d->locationCaption->setText(tr("Location:"));
    d->fileSizeCaption->setText(tr("File Size:"));
    d->durationCaption->setText(tr("Duration:"));
    d->dateCaption->setText(tr("Date Created:"));
    d->keywordCaption->setText(tr("Keyword:"));
    d->copyrightCaption->setText(tr("Copyright:"));
    NameRows();
}

void VkCommonInfoPage::InitData()
{
    const IVkAbstractMediaItem* item = d->manager->GetMediaItem();
    d->nameEdit->setText(d->manager->GetName());
    d->nameEdit->setEnabled(item->IsRenameEnabled());

    auto hideRow = [](QWidget* caption, QWidget* value) {
        caption->hide();
        value->hide();
    };
    const bool stock = item->IsStockMedia();
    const bool vcg = !stock && item->IsVCGMedia();
    if (stock) {
        hideRow(d->formatCaption, d->formatValue);
        hideRow(d->keywordCaption, d->keywordValue);
    } else if (!vcg) {
        hideRow(d->formatCaption, d->formatValue);
        hideRow(d->keywordCaption, d->keywordValue);
        hideRow(d->copyrightCaption, d->copyrightValue);
        hideRow(d->creditCaption, d->creditValue);
    } else {
        hideRow(d->locationCaption, d->locationEdit);
        hideRow(d->dateCaption, d->dateValue);
        d->nameEdit->setReadOnly(true);
        d->formatValue->setText(d->manager->GetFormat());
        d->keywordValue->setText(d->manager->GetKeyword());
    }
    // A plain file always has a running time to show; only downloaded and library assets may
    // be stills without one.
    if (stock || vcg) {
        const IVkMediaInfo* info = item->GetMediaInfo();
        if (info && info->HasNoDuration())
            hideRow(d->durationCaption, d->durationValue);
    }

    const QString location = d->manager->GetLocation();
    d->locationEdit->setText(location);
    d->fileSizeValue->setText(d->manager->GetFileSize());
    d->durationValue->setText(d->manager->GetDuration());
    d->dateValue->setText(d->manager->GetDateCreated());

    if (vcg) {
        // A library's copyright is a statement, not a link: shown exactly as recorded.
        d->copyrightValue->setTextFormat(Qt::PlainText);
        d->copyrightValue->setText(d->manager->GetLicensePage());
    } else {
        const QString url = QUrl(d->manager->GetLicenseUrl(), QUrl::TolerantMode).toString();
        d->copyrightValue->setText(
            QLatin1String(kCopyrightTemplate)
                .arg(VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Primary()).name(),
                     url.toHtmlEscaped(), d->manager->GetLicensePage().toHtmlEscaped()));
    }
    d->creditValue->setText(d->manager->GetCredit());

    // Tool tips decide by themselves whether a text is markup; a path that looks like markup is
    // handed over escaped so that it still shows as typed.
    d->locationEdit->setToolTip(Qt::mightBeRichText(location) ? Qt::convertFromPlainText(location)
                                                              : location);
    d->nameEdit->setCursorPosition(0);
    d->locationEdit->setCursorPosition(0);
    NameRows();
}

void VkCommonInfoPage::CheckNameChanged()
{
    const QString newName = d->nameEdit->text().trimmed();
    if (!newName.isEmpty() && newName != d->manager->GetName())
        emit sigNameChanged(newName);
}

void VkCommonInfoPage::NameRows()
{
    VkInfoPageLayout::NameRow(d->nameCaption, d->nameEdit);
    VkInfoPageLayout::NameRow(d->formatCaption, d->formatValue);
    VkInfoPageLayout::NameRow(d->locationCaption, d->locationEdit);
    VkInfoPageLayout::NameRow(d->fileSizeCaption, d->fileSizeValue);
    VkInfoPageLayout::NameRow(d->durationCaption, d->durationValue);
    VkInfoPageLayout::NameRow(d->dateCaption, d->dateValue);
    VkInfoPageLayout::NameRow(d->keywordCaption, d->keywordValue);
    VkInfoPageLayout::NameRow(d->copyrightCaption, d->copyrightValue);
    VkInfoPageLayout::NameRow(d->creditCaption, d->creditValue);
}
