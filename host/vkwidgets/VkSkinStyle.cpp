#include <vkwidgets/VkSkinStyle.h>

#include <vkwidgets/VkSkinColor.h>

#include <QApplication>
#include <QFile>

namespace {

const char kThemeResource[] = ":/vkwidgets/theme/dark.qss";

// The theme is applied at most once per process; a host's later style sheet is never overridden.
bool g_themeApplied = false;

} // namespace

VkSkinStyle::VkSkinStyle()
{
    // The dark skin. The style sheet uses the same values; keep the two in step.
    m_colors = {
        {VkSkinColor::Background_Window(), QColor(0x1f, 0x23, 0x29)},
        {VkSkinColor::Background_Panel(), QColor(0x26, 0x2b, 0x33)},
        {VkSkinColor::Background_Raised(), QColor(0x2d, 0x33, 0x3c)},
        {VkSkinColor::Background_Input(), QColor(0x17, 0x1a, 0x1f)},
        {VkSkinColor::Background_Selected(), QColor(0x34, 0x40, 0x4d)},
        {VkSkinColor::Component_Border(), QColor(0x3a, 0x41, 0x4b)},
        {VkSkinColor::Component_Divider_Primary(), QColor(0x3a, 0x41, 0x4b)},
        {VkSkinColor::Component_Divider_Secondary(), QColor(0x31, 0x37, 0x40)},
        {VkSkinColor::Text_Primary(), QColor(0xcd, 0xd5, 0xdd)},
        {VkSkinColor::Text_Secondary(), QColor(0x8d, 0x96, 0xa0)},
        {VkSkinColor::Text_Disabled(), QColor(0x5c, 0x64, 0x6e)},
        {VkSkinColor::Accent_Primary(), QColor(0x55, 0xe5, 0xc5)},
        {VkSkinColor::Accent_Link(), QColor(0x3c, 0xa9, 0xf8)},
        {VkSkinColor::Status_Warning(), QColor(0xf5, 0xa6, 0x23)},
        {VkSkinColor::Status_Error(), QColor(0xf2, 0x5c, 0x54)},
    };
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
    QFile file(QString::fromLatin1(kThemeResource));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
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
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, window);
    palette.setColor(QPalette::Link, link);
    palette.setColor(QPalette::LinkVisited, link);
    palette.setColor(QPalette::Light, panel.lighter(130));
    palette.setColor(QPalette::Midlight, panel.lighter(115));
    palette.setColor(QPalette::Mid, panel.darker(120));
    palette.setColor(QPalette::Dark, window.darker(130));
    palette.setColor(QPalette::Shadow, Qt::black);
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
