#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QGridLayout;
class QHBoxLayout;
class QLayout;
class VkLabel;

class QLabel;
class QWidget;

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
    // Tells assistive technology what a row shows. A value label is named by its caption and its
    // text together ("File Size: 1.00 MB"), since a label's name is all a screen reader says of
    // it; an edit field is named by the caption alone and reads out its own text as its value.
    // Runs again whenever the caption or the value changes.
    static void NameRow(QLabel* caption, QWidget* value);

    // A plain-text label of the page: data shown as typed, never as markup.
    static VkLabel* CreateLabel(QWidget* page, Qt::Alignment alignment);
    // A caption (right-aligned, caption width) and its value (left-aligned, value width).
    static void CreateRow(QWidget* page, VkLabel*& caption, VkLabel*& value);
    // The row that holds a page's title, inset like the other pages' titles.
    static QHBoxLayout* CreateTitleRow();
    // A title row whose divider line runs from just after the title to the page's right edge.
    static QHBoxLayout* CreateDividedTitleRow(QWidget* page, QLabel* title);
    // The caption/value grid, one row per pair from `firstRow` on, set on `owner` when given.
    static QGridLayout* CreateGrid(const QList<QPair<QWidget*, QWidget*>>& rows, int firstRow,
                                   QWidget* owner = nullptr);
    // The page's own column: the title row above the grid.
    static void StackPage(QWidget* page, QLayout* titleRow, QLayout* grid);

    VkInfoPageLayout() = delete;
};
