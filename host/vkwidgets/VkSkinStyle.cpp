#include <vkwidgets/VkSkinStyle.h>

#include <vkwidgets/VkSkinColor.h>

#include "VkWidgetsLog_p.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>

namespace {

const char kThemeResource[] = ":/vkwidgets/theme/dark.qss";

// The theme is applied at most once per process; a host's later style sheet is never overridden.
bool g_themeApplied = false;

struct SkinEntry
{
    const char* key;
    QRgb rgb;
};

// The dark skin: the one place where the theme's colours are written. The style sheet names these
// keys as tokens and code asks GetColor, so a change here reaches every window.
constexpr SkinEntry kDarkSkin[] = {
    {"Background_Window", 0x1f2329},
    {"Background_Panel", 0x262b33},
    {"Background_Raised", 0x2d333c},
    {"Background_Input", 0x171a1f},
    {"Background_Selected", 0x34404d},
    {"Background_ReadOnly", 0x22262d},
    {"Background_Alternate", 0x1c2026},
    // Where a picture is missing or does not fill its frame, as a video editor shows an empty clip.
    {"Background_Video", 0x000000},
    {"Component_Border", 0x3a414b},
    {"Component_Border_Hover", 0x4a525d},
    {"Component_Divider_Primary", 0x3a414b},
    {"Component_Divider_Secondary", 0x31373f},
    {"Component_Shadow", 0x000000},
    {"Text_Primary", 0xcdd5dd},
    {"Text_Secondary", 0x8d96a0},
    {"Text_Disabled", 0x5c646e},
    {"Text_List", 0xa8b1bb},
    {"Text_Bright", 0xffffff},
    {"Text_OnAccent", 0x12161b},
    {"Text_OnAccent_Disabled", 0x6f807c},
    {"Accent_Primary", 0x55e5c5},
    {"Accent_Hover", 0x73ecd2},
    {"Accent_Pressed", 0x3fcfae},
    {"Accent_Disabled", 0x2c4f49},
    {"Accent_Link", 0x3ca9f8},
    {"Status_Warning", 0xf5a623},
    {"Status_Error", 0xf25c54},
    {"Button_Hover", 0x363d47},
    {"Button_Close_Hover", 0xe5484d},
    {"ToolButton_Hover", 0x343b45},
    {"ToolButton_Pressed", 0x2a3038},
    {"ToolButton_Remove_Hover", 0x3f4652},
    {"ScrollBar_Hover", 0x4f5763},
};

// Replaces every ${Key} of the style sheet with the table's colour. An unknown key stays as written:
// Qt then drops that one rule, and the warning names the key.
QString fillColourTokens(const QString& text, const VkSkinStyle& skin)
{
    static const QRegularExpression token(QStringLiteral("\\$\\{([A-Za-z_]+)\\}"));
    QString filled;
    filled.reserve(text.size());
    int copied = 0;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        filled += text.midRef(copied, match.capturedStart() - copied);
        const QString key = match.captured(1);
        if (skin.HasColor(key)) {
            filled += skin.GetColor(key).name();
        } else {
            qCWarning(lcVkWidgets, "the style sheet names %s, which the skin has no colour for",
                      qUtf8Printable(key));
            filled += match.capturedRef(0);
        }
        copied = match.capturedEnd();
    }
    filled += text.midRef(copied);
    return filled;
}

} // namespace

VkSkinStyle::VkSkinStyle()
{
    for (const SkinEntry& entry : kDarkSkin)
        m_colors.insert(QLatin1String(entry.key), QColor(entry.rgb));
}

QColor VkSkinStyle::GetColor(const QString& key) const
{
    return m_colors.value(key);
}

bool VkSkinStyle::HasColor(const QString& key) const
{
    return m_colors.contains(key);
}

QString VkSkinStyle::ThemeStyleSheet()
{
    // Filled once per process: the table cannot change while it runs.
    static const QString filled = [] {
        QFile file(QString::fromLatin1(kThemeResource));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return QString();
        return fillColourTokens(QString::fromUtf8(file.readAll()), *VkSingleton<VkSkinStyle>::instance());
    }();
    return filled;
}

QPalette VkSkinStyle::ThemePalette()
{
    const VkSkinStyle* skin = VkSingleton<VkSkinStyle>::instance();
    const QColor window = skin->GetColor(VkSkinColor::Background_Window());
    const QColor panel = skin->GetColor(VkSkinColor::Background_Panel());
    const QColor input = skin->GetColor(VkSkinColor::Background_Input());
    const QColor text = skin->GetColor(VkSkinColor::Text_Primary());
    const QColor disabledText = skin->GetColor(VkSkinColor::Text_Disabled());
    const QColor accent = skin->GetColor(VkSkinColor::Accent_Primary());
    const QColor link = skin->GetColor(VkSkinColor::Accent_Link());

    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, input);
    palette.setColor(QPalette::AlternateBase, panel);
    palette.setColor(QPalette::ToolTipBase, panel);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabledText);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, panel);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, skin->GetColor(QStringLiteral("Text_Bright")));
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, window);
    palette.setColor(QPalette::Link, link);
    palette.setColor(QPalette::LinkVisited, link);
    palette.setColor(QPalette::Light, panel.lighter(130));
    palette.setColor(QPalette::Midlight, panel.lighter(115));
    palette.setColor(QPalette::Mid, panel.darker(120));
    palette.setColor(QPalette::Dark, window.darker(130));
    palette.setColor(QPalette::Shadow, skin->GetColor(QStringLiteral("Component_Shadow")));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    return palette;
}

bool VkSkinStyle::ApplyTheme()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || g_themeApplied)
        return false;
    const QString styleSheet = ThemeStyleSheet();
    if (styleSheet.isEmpty())
        return false;
    g_themeApplied = true;
    QApplication::setPalette(ThemePalette());
    app->setStyleSheet(styleSheet);
    return true;
}

void VkSkinStyle::EnsureThemeApplied()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || g_themeApplied || !app->styleSheet().isEmpty())
        return;
    ApplyTheme();
}

bool VkSkinStyle::IsThemeApplied()
{
    return g_themeApplied;
}
