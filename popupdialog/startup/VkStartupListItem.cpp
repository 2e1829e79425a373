#include "VkStartupListItem.h"

#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkSkinColor.h>
#include <vkwidgets/VkSkinStyle.h>
#include <vkwidgets/VkToolButton.h>

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr QSize kThumbSize{VkProjectLibrary::kThumbnailWidth, VkProjectLibrary::kThumbnailHeight};

} // namespace

VkStartupListItem::VkStartupListItem(const ProjectLibraryRecord& record, QWidget* parent)
    : VkWidget(parent)
    , m_recentInfo(record.info)
    , m_fullName(record.name)
    , m_thumbnailSource(record.thumbnailSource)
{
    setObjectName(QStringLiteral("VkStartupDlg_VkStartupListItem"));
    m_thumbLabel = new VkLabel(this, QString());
    m_nameLabel = new VkLabel(this, QStringLiteral("VkStartupListItem_Name"));
    m_timeLabel = new VkLabel(this, QStringLiteral("VkStartupListItem_Time"));
    m_sizeLabel = new VkLabel(this, QStringLiteral("VkStartupListItem_Size"));
    m_thumbLabel->installEventFilter(this);

    setThumbnail(record.thumbnail);

    // Names, times and sizes are data: shown as typed, never read as markup.
    for (VkLabel* label : {m_nameLabel, m_timeLabel, m_sizeLabel})
        label->setTextFormat(Qt::PlainText);
    QFont font;
    font.setPixelSize(kNamePixelSize);
    const QFontMetrics metrics(font);
    const QString shown = metrics.horizontalAdvance(record.name) > kNameWidth
                              ? metrics.elidedText(record.name, Qt::ElideRight, kNameWidth)
                              : record.name;
    m_nameLabel->setText(shown);
    m_timeLabel->setText(record.time);
    m_sizeLabel->setText(record.size);

    m_deleteButton = VkToolButton::CreateToolButton(this, QStringLiteral("VkStartupListItem_Delete"));
    m_deleteButton->setVisible(true);
    // The Delete key removes the selected rows, so Tab need not stop at fifteen delete buttons.
    m_deleteButton->setFocusPolicy(Qt::NoFocus);
    connect(m_deleteButton, &QToolButton::clicked, this, &VkStartupListItem::sigRemoveItem);
    TranslateText();
}

void VkStartupListItem::TranslateText()
{
    m_deleteButton->setToolTip(tr("Remove from the list"));
    m_deleteButton->setAccessibleName(tr("Remove project %1").arg(m_fullName));
}

VkStartupListItem::~VkStartupListItem() = default;

void VkStartupListItem::setSelected(bool selected)
{
    m_selected = selected;
}

bool VkStartupListItem::isSelected() const
{
    return m_selected;
}

void VkStartupListItem::setCurrent(bool current)
{
    if (m_current == current)
        return;
    m_current = current;
    update();
}

bool VkStartupListItem::isCurrent() const
{
    return m_current;
}

QString VkStartupListItem::projectName() const
{
    return m_nameLabel->text();
}

VkProjectRecentInfo* VkStartupListItem::recentInfo() const
{
    return m_recentInfo;
}

QString VkStartupListItem::thumbnailSource() const
{
    return m_thumbnailSource;
}

void VkStartupListItem::setThumbnail(const QPixmap& thumbnail)
{
    m_thumbnail = thumbnail;
    if (m_thumbnail.isNull())
        m_thumbLabel->clear();
    else
        m_thumbLabel->setPixmap(
            m_thumbnail.scaled(kThumbSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_thumbLabel->update();
}

bool VkStartupListItem::eventFilter(QObject* watched, QEvent* event)
{
    // A project without a picture shows a black frame, as a video editor shows an empty clip.
    if (watched == m_thumbLabel && event->type() == QEvent::Paint) {
        QPainter painter(m_thumbLabel);
        const QRect r = m_thumbLabel->rect();
        painter.fillRect(r,
                         VkSingleton<VkSkinStyle>::instance()->GetColor(QStringLiteral("Background_Video")));
        if (!m_thumbnail.isNull())
            painter.drawPixmap(r, m_thumbnail);
    }
    return false;
}

void VkStartupListItem::paintEvent(QPaintEvent* event)
{
    VkWidget::paintEvent(event);
    if (m_selected) {
        QPainter painter(this);
        painter.fillRect(rect(),
                         VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Background_Selected()));
    }
    if (m_current) {
        QPainter painter(this);
        // The list's focus mark: the accent colour, as on every other keyboard stop.
        painter.setPen(VkSingleton<VkSkinStyle>::instance()->GetColor(VkSkinColor::Accent_Primary()));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void VkStartupListItem::resizeEvent(QResizeEvent* /*event*/)
{
    const int h = height();
    m_thumbLabel->setGeometry(0, static_cast<int>((h - kThumbSize.height()) * 0.5), kThumbSize.width(),
                              kThumbSize.height());
    m_nameLabel->setGeometry(112, 6, 190, 36);
    m_timeLabel->setGeometry(112, 46, 130, 16);
    m_sizeLabel->setGeometry(m_timeLabel->geometry().right() + 5, 46, 75, 16);
    m_deleteButton->setGeometry(300, 20, 24, 24);
}
