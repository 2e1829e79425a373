#pragma once

#include <vkwidgets/VkWidgetsExport.h>

#include <vkcore/VkSingleton.h>

#include <QColor>
#include <QHash>
#include <QPalette>
#include <QString>

// The product's skin: the named colours of the dark theme, the style sheet that dresses the
// controls by object name, and the palette that matches it.
//
// The theme reaches the application in one of two ways: a host calls ApplyTheme() itself, or the
// first dialog or widget of this library that is constructed calls EnsureThemeApplied(), which
// applies the theme only when the application has no style sheet yet. Either way it is applied
// at most once per process, so a host that sets its own style sheet afterwards keeps it.
class VKWIDGETS_EXPORT VkSkinStyle
{
public:
    // The colour the skin gives a key of VkSkinColor; an invalid QColor for an unknown key.
    QColor GetColor(const QString& key) const;
    bool HasColor(const QString& key) const;

    // The dark theme's style sheet (from the library's resources) and its palette.
    static QString ThemeStyleSheet();
    static QPalette ThemePalette();

    // Sets the style sheet and the palette on the application. Returns false without a
    // QApplication or when the theme was already applied by this library.
    static bool ApplyTheme();
    // Applies the theme when nothing did so yet and the application has no style sheet of its own.
    static void EnsureThemeApplied();
    // Whether this library has applied the theme in this process.
    static bool IsThemeApplied();

private:
    friend class VkSingleton<VkSkinStyle>;
    VkSkinStyle();
    Q_DISABLE_COPY(VkSkinStyle)

    QHash<QString, QColor> m_colors;
};
