#include "VkUnsupportedImgFileDialog.h"

#include <vkcore/VkConfig.h>
#include <vkcore/VkDesktopService.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkUIStyle.h>
#include <vkwidgets/VkWidget.h>

#include <QScrollBar>
#include <QStringList>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr int kTipHeight = 64;
constexpr int kLinkHeight = 16;
constexpr int kListHeight = 80;
constexpr QSize kOkButtonSize{104, 32};
constexpr int kBodyMargin = 24;
constexpr int kGap = 8;
constexpr QSize kDialogSize{480, 312};

const char kSupportPageKey[] = "SupportPage";
const char kListParagraph[] = "<p style=\"margin: 0; white-space: pre-wrap;\">%1</p>";
const char kLinkTemplate[] = "<a style=\"color: %1;\" href=\"%2\">%3</a>";

} // namespace

struct VkUnsupportedImgFileDialog::Private
{
    VkLabel* tipLabel = nullptr;
    VkLabel* linkLabel = nullptr;
    QTextBrowser* fileBrowser = nullptr;
    VkPushButton* okButton = nullptr;
};

VkUnsupportedImgFileDialog::VkUnsupportedImgFileDialog(const QStringList& files, QWidget* parent)
    : VkFramelessDialog(parent, true, true)
    , d(new Private)
{
    setObjectName(QStringLiteral("VBaseDialog_BackGroundColor_1"));
    InitUI();
    // One paragraph per file. The name goes in escaped, with its blanks kept, so that a file called
    // "<b>x.png" is listed with its angle brackets.
    int number = 0;
    for (const QString& file : files) {
        ++number;
        const QString line = QString::number(number) + QLatin1String(". ") + file;
        d->fileBrowser->append(QLatin1String(kListParagraph).arg(line.toHtmlEscaped()));
    }
    // append() keeps the view on the last line it added; the list is read from its first.
    d->fileBrowser->moveCursor(QTextCursor::Start);
    d->fileBrowser->verticalScrollBar()->setValue(0);
    Connect();
    RetranslateUi();
    resize(kDialogSize);
}

VkUnsupportedImgFileDialog::~VkUnsupportedImgFileDialog() = default;

void VkUnsupportedImgFileDialog::InitUI()
{
    d->tipLabel = VkLabel::CreateLabel(this, QString());
    d->tipLabel->setObjectName(QStringLiteral("VUnsupportedFileDialog_TipLabel"));
    d->linkLabel = VkLabel::CreateLabel(this, QString());
    d->fileBrowser = new QTextBrowser(this);
    d->fileBrowser->setObjectName(QStringLiteral("VUnsupportedFileDialog_TextBrowser"));
    VkUIStyle::SetTextColorType(d->fileBrowser, VkUIStyle::Text_List);
    VkUIStyle::SetFontType(d->fileBrowser, VkUIStyle::Font_List);
    d->okButton = VkPushButton::CreatePrimaryButton(this, VkPushButton::Size_32);
    d->okButton->setObjectName(QStringLiteral("VCommonLib_Normal_Btn"));

    d->tipLabel->setWordWrap(true);
    d->tipLabel->setTextFormat(Qt::PlainText);
    d->tipLabel->setFixedHeight(kTipHeight);
    // The support link is not offered yet; hidden, the label takes no room in the layout.
    d->linkLabel->hide();
    d->linkLabel->setFixedHeight(kLinkHeight);
    d->linkLabel->setTextFormat(Qt::RichText);
    d->linkLabel->setOpenExternalLinks(false);
    d->fileBrowser->setFixedHeight(kListHeight);
    d->okButton->setFixedSize(kOkButtonSize);

    ButtonBar()->AddButton(VkButtonBar::Position_Right, d->okButton, -1);

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(kBodyMargin, kBodyMargin, kBodyMargin, kBodyMargin);
    layout->addWidget(d->tipLabel);
    layout->addSpacing(kGap);
    layout->addWidget(d->fileBrowser);
    layout->addSpacing(kGap);
    layout->addWidget(d->linkLabel);

    auto* body = new VkWidget(this, Qt::WindowFlags());
    body->setLayout(layout);
    SetContentWidget(body);
}

void VkUnsupportedImgFileDialog::Connect()
{
    connect(d->okButton, &QPushButton::clicked, this, &VkUnsupportedImgFileDialog::slotClose);
    connect(d->linkLabel, &QLabel::linkActivated, this, &VkUnsupportedImgFileDialog::slotCustomerService);
}

void VkUnsupportedImgFileDialog::RetranslateUi()
{
    SetTitleName(tr("Information"), false);
    d->tipLabel->setText(
        tr("The image is too large, please compress the image first for better editing experience"));
    const QString supportPage = VkConfig::Instance().GetCBSUrl(QLatin1String(kSupportPageKey));
    // The link colour in capitals, as the product's link texts always carried it.
    const QString linkColour =
        VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Link()).name().toUpper();
    d->linkLabel->setText(
        QString::fromLatin1(kLinkTemplate)
            .arg(linkColour, supportPage.toHtmlEscaped(), tr("Please contact support.").toHtmlEscaped()));
    d->okButton->setText(tr("OK"));
    d->fileBrowser->setAccessibleName(tr("Images too large to edit"));
    d->fileBrowser->setAccessibleDescription(tr("One image file per line"));
}

void VkUnsupportedImgFileDialog::slotClose()
{
    done(0);
}

void VkUnsupportedImgFileDialog::slotCustomerService(const QString& url)
{
    VkDesktopService::openURL(url);
}
