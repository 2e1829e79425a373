#include "VkInfoPageLayout.h"

#include <vkcore/VkLocale.h>

#include <QFontMetrics>
#include <QLabel>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {

constexpr int kCaptionWidth = 100;
constexpr int kWideCaptionWidth = 145;
constexpr int kTitleAir = 2;
constexpr int kMinTitleWidth = 60;

} // namespace

int VkInfoPageLayout::CaptionWidth()
{
    switch (VkSingleton<VkLocale>::instance()->languageType()) {
    case VkLocale::LanguageGerman:
    case VkLocale::LanguageFrench:
    case VkLocale::LanguageRussian:
        return kWideCaptionWidth;
    default:
        return kCaptionWidth;
    }
}

void VkInfoPageLayout::FitTitleWidth(QLabel* title, const QString& text)
{
    // Measured in the font the style sheet gives the label, not the one it was created with.
    title->ensurePolished();
    const int textWidth = title->fontMetrics().horizontalAdvance(text) + kTitleAir;
    title->setFixedWidth(qMax(textWidth, kMinTitleWidth));
}

void VkInfoPageLayout::NameRow(QLabel* caption, QWidget* value)
{
    caption->setBuddy(value);
    QString name = caption->text().trimmed();
    auto* label = qobject_cast<QLabel*>(value);
    if (!label) {
        // "Name:" names the field "Name"; the colon belongs to the screen, not to the name.
        while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
            name.chop(1);
        value->setAccessibleName(name);
        return;
    }
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    const QString shown =
        rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText().simplified() : label->text();
    label->setAccessibleName(name.isEmpty() ? shown : name + QLatin1Char(' ') + shown);
}
