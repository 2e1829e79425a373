#include "VkInfoPageLayout.h"

#include <vkcore/VkLocale.h>

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkLineWidget.h>

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace {

constexpr int kCaptionWidth = 100;
constexpr int kWideCaptionWidth = 145;
constexpr int kTitleAir = 2;
constexpr int kMinTitleWidth = 60;
constexpr int kTitleDividerGap = 8;

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
    // Rows are named whenever their texts are set, so a language chosen while the window is open
    // also gets its caption width ("Kamerahersteller:" needs the wide one).
    caption->setFixedWidth(CaptionWidth());
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

VkLabel* VkInfoPageLayout::CreateLabel(QWidget* page, Qt::Alignment alignment)
{
    VkLabel* label = VkLabel::CreateLabel(page, QString());
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void VkInfoPageLayout::CreateRow(QWidget* page, VkLabel*& caption, VkLabel*& value)
{
    caption = CreateLabel(page, Qt::AlignRight | Qt::AlignVCenter);
    caption->setFixedSize(CaptionWidth(), kRowHeight);
    value = CreateLabel(page, Qt::AlignLeft | Qt::AlignVCenter);
    value->setFixedSize(kValueWidth, kRowHeight);
}

QHBoxLayout* VkInfoPageLayout::CreateTitleRow()
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(kTitleMarginLeft, 0, kTitleMarginRight, 0);
    return row;
}

QHBoxLayout* VkInfoPageLayout::CreateDividedTitleRow(QWidget* page, QLabel* title)
{
    VkLineWidget* divider =
        VkLineWidget::CreateLineWidget(page, Qt::Horizontal, VkLineWidget::Line_Secondary);
    divider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    divider->setFixedHeight(1);
    QHBoxLayout* row = CreateTitleRow();
    row->setSpacing(0);
    row->addWidget(title);
    row->addSpacing(kTitleDividerGap);
    row->addWidget(divider);
    return row;
}

QGridLayout* VkInfoPageLayout::CreateGrid(const QList<QPair<QWidget*, QWidget*>>& rows, int firstRow,
                                          QWidget* owner)
{
    auto* grid = owner ? new QGridLayout(owner) : new QGridLayout;
    grid->setContentsMargins(kGridMarginLeft, 0, kGridMarginRight, 0);
    grid->setHorizontalSpacing(kSpacing);
    grid->setVerticalSpacing(kSpacing);
    int row = firstRow;
    for (const auto& pair : rows) {
        grid->addWidget(pair.first, row, 0);
        grid->addWidget(pair.second, row, 1);
        ++row;
    }
    return grid;
}

void VkInfoPageLayout::StackPage(QWidget* page, QLayout* titleRow, QLayout* grid)
{
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kSpacing);
    column->addLayout(titleRow);
    column->addLayout(grid);
}
