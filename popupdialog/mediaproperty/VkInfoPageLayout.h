#pragma once

#include <QString>

class QLabel;

// Measures shared by the information pages of the properties dialog, so that captions and titles
// line up from one page to the next.
class VkInfoPageLayout
{
public:
    static constexpr int kRowHeight = 24;
    static constexpr int kValueWidth = 220;
    static constexpr int kGridMarginLeft = 62;
    static constexpr int kGridMarginRight = 83;
    static constexpr int kTitleMarginLeft = 24;
    static constexpr int kTitleMarginRight = 16;
    static constexpr int kSpacing = 16;

    // Captions are wider in the languages whose words run long (German, French, Russian).
    static int CaptionWidth();
    // Gives the title label the width of text in its own font plus a little air, never below the
    // minimum, so that short titles still leave the divider a fixed start.
    static void FitTitleWidth(QLabel* title, const QString& text);

    VkInfoPageLayout() = delete;
};
