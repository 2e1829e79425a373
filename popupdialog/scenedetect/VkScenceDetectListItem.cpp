#include "VkScenceDetectListItem.h"

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkUIStyle.h>

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QVBoxLayout>
#include <QVariant>

namespace {

constexpr QSize kThumbnailSize{100, 56};
constexpr QSize kRowSize{287, 56};
constexpr int kTitleHeight = 18;
constexpr int kContextHeight = 16;
constexpr int kButtonSide = 24;
constexpr int kRemoveIconSide = 16;
constexpr int kColumnSpacing = 3;
constexpr int kRowSpacing = 16;
constexpr int kPanelColorType = 1;

QIcon* g_removeIcon = nullptr;

// One icon for every row's remove button, made on first use. Every copy shares its engine, so the
// SVGs are read once and drawn once per size and state, however many rows there are; as a style
// sheet image instead, the style would read the SVG again for every button it styles. Released with
// the application, while the icon engine's plugin is still loaded.
const QIcon& removeIcon()
{
    if (!g_removeIcon) {
        g_removeIcon = new QIcon(QStringLiteral(":/vkwidgets/icons/remove.svg"));
        g_removeIcon->addFile(QStringLiteral(":/vkwidgets/icons/remove_disabled.svg"), QSize(),
                              QIcon::Disabled);
        qAddPostRoutine([] {
            delete g_removeIcon;
            g_removeIcon = nullptr;
        });
    }
    return *g_removeIcon;
}

} // namespace

VkScenceDetectListItem::VkScenceDetectListItem(QWidget* parent)
    : VkWidget(parent)
{
    // First, while the row has no children: restyling it then has no font or palette to hand down.
    SetBGColorType(kPanelColorType);
    const auto label = [this](const char* name) {
        auto* l = new VkLabel(this, QString());
        l->setText(QString());
        l->setObjectName(QLatin1String(name));
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    m_thumbnailLabel = label("thumbnailPic");
    m_thumbnailLabel->setFixedSize(kThumbnailSize);
    m_thumbnailLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel = label("SceneDetectionListItem_Title");
    m_titleLabel->setFixedHeight(kTitleHeight);
    m_titleLabel->setAlignment(Qt::AlignVCenter);
    m_durationLabel = label("SceneDetectionListItem_Context");
    m_durationLabel->setFixedHeight(kContextHeight);
    m_rangeLabel = label("SceneDetectionListItem_Context");
    m_rangeLabel->setFixedHeight(kContextHeight);

    m_removeButton = new VkToolButton(this, QString());
    m_removeButton->setObjectName(QStringLiteral("SceneDetectionListItem_Remove"));
    m_removeButton->setFixedSize(kButtonSide, kButtonSide);
    m_removeButton->setIcon(removeIcon());
    m_removeButton->setIconSize(QSize(kRemoveIconSide, kRemoveIconSide));
    // Rows that arrive during a detection cannot be removed until it ends.
    m_removeButton->setEnabled(false);
    // The list's Delete key stands in for the button, so Tab does not stop in every row.
    m_removeButton->setFocusPolicy(Qt::NoFocus);

    auto* topLine = new QHBoxLayout();
    topLine->setContentsMargins(0, 0, 0, 0);
    topLine->addWidget(m_titleLabel, 1);
    topLine->addWidget(m_removeButton);
    auto* column = new QVBoxLayout();
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(kColumnSpacing);
    column->addLayout(topLine);
    column->addWidget(m_durationLabel);
    column->addWidget(m_rangeLabel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kRowSpacing);
    row->addWidget(m_thumbnailLabel);
    row->addLayout(column, 1);
    row->addStretch();

    // Every new widget asks to be styled at the next turn of the event loop; a row out of sight
    // waits instead, since showing it styles it and its children then.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->installEventFilter(this);

    setFixedSize(kRowSize);
    connect(m_removeButton, &QToolButton::clicked, this, &VkScenceDetectListItem::sigRemoveItem);
    TranslateText();
}

VkScenceDetectListItem::~VkScenceDetectListItem() = default;

void VkScenceDetectListItem::setData(int start, int end, const QPixmap& thumbnail, const QString& startText,
                                     const QString& endText, const QString& durationText)
{
    m_range = QPoint(start, end);
    m_thumbnailLabel->setPixmap(thumbnail);
    m_durationLabel->setText(QStringLiteral("%1 %2").arg(tr("Duration:"), durationText));
    m_rangeLabel->setText(QStringLiteral("%1-%2").arg(startText, endText));
    updateAccessibleNames();
}

void VkScenceDetectListItem::updateAccessibleNames()
{
    m_removeButton->setAccessibleName(tr("Remove %1").arg(m_titleLabel->text()));
    m_rangeLabel->setAccessibleName(tr("Time range: %1").arg(m_rangeLabel->text()));
}

void VkScenceDetectListItem::TranslateText()
{
    m_removeButton->setToolTip(tr("Remove this scene"));
    updateAccessibleNames();
}

void VkScenceDetectListItem::setShowHeld(bool held)
{
    m_showHeld = held;
}

void VkScenceDetectListItem::setVisible(bool visible)
{
    if (visible && m_showHeld)
        return;
    VkWidget::setVisible(visible);
}

bool VkScenceDetectListItem::event(QEvent* event)
{
    if (event->type() == QEvent::PolishRequest && !isVisible())
        return true;
    return VkWidget::event(event);
}

bool VkScenceDetectListItem::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::PolishRequest && !isVisible())
        return true;
    return VkWidget::eventFilter(watched, event);
}

void VkScenceDetectListItem::setSelected(bool on)
{
    for (VkLabel* label : {m_thumbnailLabel, m_titleLabel, m_durationLabel, m_rangeLabel})
        label->setProperty("selected", QVariant(on));
    VkUIStyle::RePolishStyleAllChild(this);
}

QPoint VkScenceDetectListItem::range() const
{
    return m_range;
}

VkLabel* VkScenceDetectListItem::titleLabel() const
{
    return m_titleLabel;
}

VkToolButton* VkScenceDetectListItem::removeButton() const
{
    return m_removeButton;
}
