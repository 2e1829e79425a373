#include "VkScenceDetectProgress.h"

#include <vkwidgets/VkLabel.h>

#include <QLocale>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr int kBarHeight = 4;
constexpr int kCaptionBarSpacing = 6;
constexpr int kPercent = 100;

} // namespace

VkScenceDetectProgress::VkScenceDetectProgress(QWidget* parent)
    : VkWidget(parent)
{
    setObjectName(QStringLiteral("SceneDetection_Progress"));
    m_caption = VkLabel::CreateLabel(this, QStringLiteral("SceneDetection_ProgressText"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("SceneDetection_ProgressBar"));
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(kBarHeight);
    m_bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kCaptionBarSpacing);
    layout->addStretch();
    layout->addWidget(m_caption);
    layout->addWidget(m_bar);
    layout->addStretch();

    // Keeps its place in the button row while hidden, so that the buttons never move.
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    policy.setHorizontalPolicy(QSizePolicy::Expanding);
    setSizePolicy(policy);
    hide();
    TranslateText();
}

VkScenceDetectProgress::~VkScenceDetectProgress() = default;

void VkScenceDetectProgress::begin(qint64 frameCount)
{
    m_frames = 0;
    m_frameCount = std::max<qint64>(0, frameCount);
    showValues();
    show();
}

void VkScenceDetectProgress::setProgress(qint64 frames, qint64 frameCount)
{
    if (frameCount > 0)
        m_frameCount = frameCount;
    m_frames = std::clamp<qint64>(frames, 0, m_frameCount > 0 ? m_frameCount : frames);
    showValues();
}

void VkScenceDetectProgress::end()
{
    hide();
}

qint64 VkScenceDetectProgress::frames() const
{
    return m_frames;
}

qint64 VkScenceDetectProgress::frameCount() const
{
    return m_frameCount;
}

void VkScenceDetectProgress::TranslateText()
{
    m_bar->setAccessibleName(tr("Detection progress"));
    showValues();
}

void VkScenceDetectProgress::showValues()
{
    // QProgressBar counts in int; a clip of more frames is shown in proportion.
    const qint64 limit = std::numeric_limits<int>::max();
    const qint64 scale = m_frameCount > limit ? m_frameCount / limit + 1 : 1;
    m_bar->setRange(0, static_cast<int>(std::max<qint64>(1, m_frameCount / scale)));
    m_bar->setValue(static_cast<int>(m_frames / scale));

    const QLocale locale;
    QString text;
    if (m_frameCount > 0) {
        text = tr("Analysed %1 of %2 frames (%3%)")
                   .arg(locale.toString(m_frames), locale.toString(m_frameCount),
                        locale.toString(m_frames * kPercent / m_frameCount));
    } else {
        text = tr("Analysed %1 frames").arg(locale.toString(m_frames));
    }
    m_caption->setText(text);
    m_bar->setAccessibleDescription(text);
}
