#include <vkwidgets/VMessageDialog.h>

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <vkcore/VkDesktopService.h>

#include <QAccessible>
#include <QMap>
#include <QPointer>
#include <QTextDocumentFragment>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const int kButtonWidth = 104;
const int kContentMargin = 24;
const int kMinimumMessageHeight = 48;

} // namespace

class VMessageDialog::Private
{
public:
    VkLabel* message = nullptr;
    QMap<int, VkPushButton*> buttons;
    int buttonFlags = Ok;
    QString title;
    QString acceptText;
    QString rejectText;
};

VMessageDialog::VMessageDialog(const QString& text, QWidget* parent, int buttons, const QString& title,
                               const QString& acceptText, const QString& rejectText, bool richText)
    : VkFramelessDialog(parent, true, true)
    , d(new Private)
{
    setObjectName(QStringLiteral("VMessageDialog"));
    setAttribute(Qt::WA_StyledBackground, true);
    d->buttonFlags = (buttons & (Ok | Cancel | Yes | No)) ? buttons : int(Ok);
    d->title = title;
    d->acceptText = acceptText;
    d->rejectText = rejectText;

    d->message = VkLabel::CreateLabel(this, QStringLiteral("VMessageDialog_Message"));
    d->message->setWordWrap(true);
    d->message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    d->message->setMinimumHeight(kMinimumMessageHeight);
    d->message->setTextFormat(richText ? Qt::RichText : Qt::PlainText);
    if (richText) {
        // Links are opened by us, not by the label: through the product's one opener, which a host
        // may replace and which lets only web and mail addresses through.
        d->message->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        d->message->setOpenExternalLinks(false);
        connect(d->message, &QLabel::linkActivated, this,
                [](const QString& link) { VkDesktopService::openURL(link); });
    }
    d->message->setText(text);
    // A screen reader reads the alert's description; markup would be spelt out.
    setAccessibleDescription(richText ? QTextDocumentFragment::fromHtml(text).toPlainText() : text);

    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("VMessageDialog_Body"));
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(kContentMargin, kContentMargin / 2, kContentMargin, 0);
    layout->addWidget(d->message);
    SetContentWidget(body);

    // Rejecting buttons go left of accepting ones, as on the product's other dialogs.
    for (int flag : {Cancel, No, Ok, Yes}) {
        if (!(d->buttonFlags & flag))
            continue;
        const bool accepts = flag == Ok || flag == Yes;
        VkPushButton* button = accepts ? VkPushButton::CreatePrimaryButton(this, VkPushButton::Size_32)
                                       : VkPushButton::CreateSecondaryButton(this, VkPushButton::Size_32);
        button->setObjectName(QStringLiteral("VMessageDialog_Button_%1").arg(flag));
        button->setFixedWidth(kButtonWidth);
        connect(button, &QAbstractButton::clicked, this, accepts ? &QDialog::accept : &QDialog::reject);
        ButtonBar()->AddButton(VkButtonBar::Position_Right, button, -1);
        d->buttons.insert(flag, button);
        if (accepts) {
            button->setDefault(true);
            button->setFocus();
        }
    }
    RetranslateUi();

    setFixedWidth(WidthOf(Width_Small));
    setFixedHeight(qMax(minimumSizeHint().height(), heightForWidth(WidthOf(Width_Small))));
}

VMessageDialog::~VMessageDialog() = default;

QString VMessageDialog::Text() const
{
    return d->message->text();
}

QLabel* VMessageDialog::MessageLabel() const
{
    return d->message;
}

QAbstractButton* VMessageDialog::Button(VStandardButton which) const
{
    return d->buttons.value(which, nullptr);
}

void VMessageDialog::RetranslateUi()
{
    const QString title = d->title.isEmpty() ? tr("Information") : d->title;
    SetTitleName(title, false);
    setAccessibleName(title);
    const auto textOf = [this](int flag) {
        switch (flag) {
        case Ok:
            return d->acceptText.isEmpty() ? tr("OK") : d->acceptText;
        case Yes:
            return d->acceptText.isEmpty() ? tr("Yes") : d->acceptText;
        case Cancel:
            return d->rejectText.isEmpty() ? tr("Cancel") : d->rejectText;
        default:
            return d->rejectText.isEmpty() ? tr("No") : d->rejectText;
        }
    };
    for (auto it = d->buttons.cbegin(); it != d->buttons.cend(); ++it)
        it.value()->setText(textOf(it.key()));
}

void VMessageDialog::showEvent(QShowEvent* event)
{
    VkFramelessDialog::showEvent(event);
    // As QMessageBox does: the alert makes a screen reader speak the message at once, wherever the
    // focus is.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

bool VMessageDialog::Infomation(const QString& text, QWidget* parent,
                                const VMessageDialog::VStandardButton& buttons, const QString& title,
                                const QString& acceptText, const QString& rejectText, bool richText)
{
    return Infomation(text, parent, static_cast<int>(buttons), title, acceptText, rejectText, richText);
}

bool VMessageDialog::Infomation(const QString& text, QWidget* parent, int buttons, const QString& title,
                                const QString& acceptText, const QString& rejectText, bool richText)
{
    // The parent may go away while the box runs (its owner closing); then so does the box.
    QPointer<VMessageDialog> dialog =
        new VMessageDialog(text, parent, buttons, title, acceptText, rejectText, richText);
    const int result = dialog->exec();
    delete dialog.data();
    return result == QDialog::Accepted;
}

QString VMessageDialog::BuildURLMsg(const QString& text, const QString& url)
{
    // The colour is written in capitals, the form in which the product's messages always carried it.
    const QString link =
        VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Link()).name().toUpper();
    return QStringLiteral("<a style=\"color:%1;\" href=\"%2\">%3</a>")
        .arg(link, url.toHtmlEscaped(), text.toHtmlEscaped());
}

bool VMessageDialog::IsOpenableLink(const QUrl& url)
{
    // One rule for every link of the product: the opener's.
    return VkDesktopService::isOpenableUrl(url.toString(QUrl::FullyEncoded));
}
