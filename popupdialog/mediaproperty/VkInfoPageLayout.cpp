#include "VkInfoPageLayout.h"

#include <vkcore/VkLocale.h>

#include <QFontMetrics>
#include <QLabel>

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
