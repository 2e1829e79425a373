#include "VkScenceDetectionPanel.h"

#include "VkRepaintPacer.h"
#include "VkScenceDetectListWidget.h"
#include "VkScenceDetectPlayerView.h"
#include "VkScenceDetectPresenter.h"
#include "VkScenceDetectProgress.h"

#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr auto kButtonSize = VkPushButton::VButtonSizeKind(32);
constexpr int kAddButtonWidth = 135;
constexpr int kDetectButtonWidth = 98;
constexpr int kButtonRowMargin = 16;
// While a detection runs, the window is painted at most this often.
constexpr int kPacedFramesPerSecond = 30;

} // namespace

VkScenceDetectionPanel::VkScenceDetectionPanel(IVkAbstractMediaItem* media, QWidget* parent)
    : VkWidget(parent)
{
    m_playerView = new VkScenceDetectPlayerView(this);
    m_list = new VkScenceDetectListWidget(this);
    m_presenter = new VkScenceDetectPresenter(media, nullptr);

    m_addButton = VkPushButton::CreatePrimaryButton(this, kButtonSize);
    m_addButton->setObjectName(QStringLiteral("VCommonLib_Normal_Btn"));
    // At least this wide, wider where the caption needs it (bold text, long translations).
    m_addButton->setMinimumWidth(kAddButtonWidth);
    m_addButton->setEnabled(false);
    m_detectButton = VkPushButton::CreateSecondaryButton(this, kButtonSize);
    m_detectButton->setObjectName(QStringLiteral("VCommonLib_Normal_Btn"));
    m_detectButton->setMinimumWidth(kDetectButtonWidth);
    // "Detect" stands left of "Add To Timeline"; Tab follows the screen, not the creation order.
    setTabOrder(m_detectButton, m_addButton);
    m_progress = new VkScenceDetectProgress(this);
    m_pacer = new VkRepaintPacer(this, kPacedFramesPerSecond);

    VkLabel* verticalLine = VkLabel::CreateLabel(this, QStringLiteral("LineWid"));
    verticalLine->setFixedWidth(1);
    verticalLine->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    VkLabel* horizontalLine = VkLabel::CreateLabel(this, QStringLiteral("LineWid"));
    horizontalLine->setFixedHeight(1);
    horizontalLine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    auto* top = new QHBoxLayout();
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);
    top->addWidget(m_playerView, 1);
    top->addWidget(verticalLine);
    top->addWidget(m_list);
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(kButtonRowMargin, kButtonRowMargin, kButtonRowMargin, kButtonRowMargin);
    buttons->setSpacing(kButtonRowMargin);
    buttons->addWidget(m_progress, 1);
    buttons->addStretch();
    buttons->addWidget(m_detectButton);
    buttons->addWidget(m_addButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top, 1);
    layout->addWidget(horizontalLine);
    layout->addLayout(buttons);

    connect(m_addButton, &QPushButton::clicked, this, &VkScenceDetectionPanel::slotAddToTimeline);
    connect(m_detectButton, &QPushButton::clicked, this, &VkScenceDetectionPanel::slotDetect);
    connect(m_list, &VkScenceDetectListWidget::sigPlaySceneRange, this,
            &VkScenceDetectionPanel::slotPlaySceneRange);
    connect(m_list, &VkScenceDetectListWidget::sigDeleteRange, this,
            &VkScenceDetectionPanel::slotDeleteRange);
    connect(m_list, &VkScenceDetectListWidget::sigAllItemDeleted, this,
            &VkScenceDetectionPanel::slotAllItemDeleted);
    connect(m_list, &VkScenceDetectListWidget::sigDetectProgress, this,
            &VkScenceDetectionPanel::slotDetectProgress);

    m_list->setPresenter(m_presenter);

    // The presenter's signals come from the detector's thread: automatic connections queue them here.
    connect(m_presenter, &VkScenceDetectPresenter::signalDetectResult, m_list,
            &VkScenceDetectListWidget::slotDetectResult);
    connect(m_presenter, &VkScenceDetectPresenter::signalDetectStart, this,
            &VkScenceDetectionPanel::slotStartDetect);
    connect(m_presenter, &VkScenceDetectPresenter::signalDetectFinished, this,
            &VkScenceDetectionPanel::slotFinishDetect);
    connect(m_presenter, &VkScenceDetectPresenter::signalDetectStop, this,
            &VkScenceDetectionPanel::slotStopDetect);
    connect(m_presenter, &VkScenceDetectPresenter::signalDetectProgress, m_progress,
            &VkScenceDetectProgress::setProgress);

    m_playerView->setPlayerPresenter(m_presenter->playerPresenter());
    m_presenter->openMedia();

    m_addButton->setText(tr("Add To Timeline"));
    m_detectButton->setText(tr("Detect", "verb: find the scenes of the clip"));
}

VkScenceDetectionPanel::~VkScenceDetectionPanel()
{
    // First the presenter, which ends the detection and its thread, then the widgets it reports to.
    delete m_presenter;
    m_presenter = nullptr;
}

void VkScenceDetectionPanel::startDetect()
{
    slotDetect();
}

QList<QPoint> VkScenceDetectionPanel::detectRanges() const
{
    return m_list->detectRanges();
}

void VkScenceDetectionPanel::RetranslateUi() {}

void VkScenceDetectionPanel::TranslateText()
{
    m_addButton->setText(tr("Add To Timeline"));
    // The caption names what a click does next: "Stop" as long as a run is shown.
    m_detectButton->setText(m_showsRunning ? tr("Stop", "verb: stop finding scenes")
                                           : tr("Detect", "verb: find the scenes of the clip"));
}

void VkScenceDetectionPanel::slotAddToTimeline()
{
    emit sigDone(1);
}

void VkScenceDetectionPanel::slotDetect()
{
    // A click does what the button said when it was clicked.
    if (m_showsRunning) {
        m_presenter->stopDetect();
        return;
    }
    m_list->clear();
    m_presenter->startDetect();
    // A refused start sends nothing, and the list it cleared has nothing left to add.
    showDetectState();
}

void VkScenceDetectionPanel::slotPlaySceneRange(int start, int end, bool play)
{
    if (m_presenter->isDetecting())
        return;
    VkMediaPlayerPresenter* player = m_presenter->playerPresenter();
    if (IVkMediaPlayer* engine = player->mediaPlayer()) {
        engine->setPlayRange(qint64(start), qint64(end - start));
        engine->seek(0, false, false);
    }
    if (play)
        player->play();
    else
        player->stop();
}

void VkScenceDetectionPanel::slotStartDetect()
{
    showDetectState();
    if (m_showsRunning)
        m_progress->begin(m_presenter->mediaLength());
}

void VkScenceDetectionPanel::slotDetectProgress(int frames)
{
    m_progress->setProgress(frames, 0);
}

void VkScenceDetectionPanel::slotFinishDetect()
{
    showDetectState();
    if (!m_showsRunning) {
        m_progress->end();
        m_list->setDetecting(false);
    }
}

void VkScenceDetectionPanel::showDetectState()
{
    // The detector's own state decides, not the order in which its notifications arrive: a detector
    // may end a run inside start(), before the start signal, and a queued end may pass a start.
    m_showsRunning = m_presenter->isDetecting();
    m_pacer->setActive(m_showsRunning);
    // The preview is disabled while a run goes on; a focus inside it would be dropped, and the window
    // would hand it to the first stop it has, the title bar's close button. "Stop" is what the user
    // may want next.
    const QWidget* focused = window()->focusWidget();
    if (m_showsRunning && (!focused || m_playerView->isAncestorOf(focused)))
        m_detectButton->setFocus(Qt::OtherFocusReason);
    m_playerView->setEnabled(!m_showsRunning);
    m_detectButton->setText(m_showsRunning ? tr("Stop", "verb: stop finding scenes")
                                           : tr("Detect", "verb: find the scenes of the clip"));
    m_addButton->setEnabled(!m_showsRunning && m_list->hasItems());
}

void VkScenceDetectionPanel::slotStopDetect()
{
    slotFinishDetect();
}

void VkScenceDetectionPanel::slotDeleteRange() {}

void VkScenceDetectionPanel::slotAllItemDeleted()
{
    m_addButton->setEnabled(m_list->hasItems());
}
