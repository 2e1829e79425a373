#include <vkmediaplayer/VkPlayerToolBarBase.h>

#include <vkcore/VkConvertUtility.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkToolButton.h>
#include <vkwidgets/VkToolSlider.h>

#include <QPointer>
#include <QResizeEvent>
#include <QStyle>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kButtonSize = 24;
constexpr int kSpacing = 8;
constexpr int kSliderHeight = 12;
// Room around the widest time text, so that a changing digit never moves its neighbours.
constexpr int kTimeLabelPadding = 8;
constexpr int kSizeHintWidth = 480;
const char kWidestTime[] = "00:00:00:00";

const std::array<const char*, VkPlayerToolBarBase::ButtonCount> kButtonNames = {
    "VkPlayerToolBar_StepBack",    "VkPlayerToolBar_PlayPause",  "VkPlayerToolBar_Stop",
    "VkPlayerToolBar_StepForward", "VkPlayerToolBar_Fullscreen", "VkPlayerToolBar_Volume"};

// Hidden by the caller, as opposed to not shown yet because the bar itself is not (layout runs before
// the children are shown).
bool hiddenByCaller(const QWidget* w)
{
    return w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide);
}

} // namespace

class VkPlayerToolBarBase::Private
{
public:
    explicit Private(VkPlayerToolBarBase* owner)
        : q(owner)
    {}

    VkPlayerToolBarBase* const q;
    bool compact = true;
    std::array<VkToolButton*, ButtonCount> buttons{};
    VkToolSlider* slider = nullptr;
    VkLabel* currentLabel = nullptr;
    VkLabel* durationLabel = nullptr;
    TimeLabelType labelType = TimeLabel_CurrentAndDuration;
    QPointer<VkMediaPlayerPresenter> presenter;
    QList<QMetaObject::Connection> connections;

    void setPlaying(bool playing);
    void showPosition();
    void refresh();
    int timeLabelWidth() const;
};

void VkPlayerToolBarBase::Private::setPlaying(bool playing)
{
    VkToolButton* playPause = buttons[Button_PlayPause];
    if (playPause->property("playing").toBool() == playing)
        return;
    playPause->setProperty("playing", playing);
    // The style sheet keys the picture on the property; it is read again only on a new polish.
    playPause->style()->unpolish(playPause);
    playPause->style()->polish(playPause);
    playPause->update();
    q->TranslateText();
}

void VkPlayerToolBarBase::Private::showPosition()
{
    const bool open = presenter && presenter->mediaLength() > 0;
    const double rate = open ? presenter->frameRate() : 0.0;
    const qint64 count = open ? presenter->playRangeCount() : 0;
    const qint64 current = open ? presenter->currentFrame() : -1;
    const qint64 offset =
        current < 0 ? 0 : std::clamp<qint64>(current - presenter->playRangeFirst(), 0, count - 1);
    // While the user drags, the handle stays where the hand put it.
    if (!slider->isSliderDown())
        slider->setValue(int(offset));
    currentLabel->setText(VkConvertUtility::frame2String(int(offset), float(rate)));
    durationLabel->setText(VkConvertUtility::frame2String(int(count), float(rate)));
}

void VkPlayerToolBarBase::Private::refresh()
{
    const bool open = presenter && presenter->mediaLength() > 0;
    const qint64 count = open ? presenter->playRangeCount() : 0;
    slider->setRange(0, int(std::max<qint64>(0, count - 1)));
    // The slider counts frames: a key press steps one of them, a page is about a second.
    slider->setSingleStep(1);
    slider->setPageStep(open ? std::max(1, int(std::lround(presenter->frameRate()))) : 1);
    slider->setEnabled(open);
    for (VkToolButton* b : buttons)
        b->setEnabled(open || b == buttons[Button_Fullscreen] || b == buttons[Button_Volume]);
    setPlaying(open && presenter->isPlaying());
    showPosition();
}

int VkPlayerToolBarBase::Private::timeLabelWidth() const
{
    return currentLabel->fontMetrics().horizontalAdvance(QLatin1String(kWidestTime)) + kTimeLabelPadding;
}

VkPlayerToolBarBase::VkPlayerToolBarBase(QWidget* parent, VkToolSlider* slider, bool compact)
    : VkWidget(parent)
    , d(std::make_unique<Private>(this))
{
    setObjectName(QStringLiteral("VkPlayerToolBar"));
    d->compact = compact;
    for (int i = 0; i < ButtonCount; ++i) {
        d->buttons[i] = VkToolButton::CreateToolButton(this, QLatin1String(kButtonNames[i]));
        d->buttons[i]->setFixedSize(kButtonSize, kButtonSize);
    }
    d->buttons[Button_PlayPause]->setProperty("playing", false);
    // The theme draws the transport buttons; these two fall back on the platform's pictures.
    d->buttons[Button_Fullscreen]->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
    d->buttons[Button_Volume]->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));

    d->slider = slider ? slider : new VkToolSlider(Qt::Horizontal, this);
    d->currentLabel = VkLabel::CreateLabel(this, QStringLiteral("VkPlayerToolBar_Time"));
    d->durationLabel = VkLabel::CreateLabel(this, QStringLiteral("VkPlayerToolBar_Time"));
    for (VkLabel* label : {d->currentLabel, d->durationLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

    connect(d->buttons[Button_StepBackward], &QToolButton::clicked, this, [this] {
        if (d->presenter)
            d->presenter->backward(true);
    });
    connect(d->buttons[Button_PlayPause], &QToolButton::clicked, this, [this] {
        if (d->presenter)
            d->presenter->playOrPause();
    });
    connect(d->buttons[Button_Stop], &QToolButton::clicked, this, [this] {
        if (d->presenter)
            d->presenter->stop();
    });
    connect(d->buttons[Button_StepForward], &QToolButton::clicked, this, [this] {
        if (d->presenter)
            d->presenter->forward(true);
    });
    connect(d->buttons[Button_Fullscreen], &QToolButton::clicked, this,
            &VkPlayerToolBarBase::sigFullscreenClicked);
    connect(d->buttons[Button_Volume], &QToolButton::clicked, this, &VkPlayerToolBarBase::sigVolumeClicked);
    connect(d->slider, &VkToolSlider::sigUserSeek, this, [this](int value) {
        if (d->presenter)
            d->presenter->seek(d->presenter->playRangeFirst() + value, false, d->presenter->isPlaying());
    });

    setTimeLabelType(TimeLabel_CurrentAndDuration);
    d->refresh();
    TranslateText();
}

VkPlayerToolBarBase::~VkPlayerToolBarBase() = default;

VkToolButton* VkPlayerToolBarBase::button(int index) const
{
    if (index < 0 || index >= ButtonCount)
        return nullptr;
    return d->buttons[index];
}

VkToolSlider* VkPlayerToolBarBase::slider() const
{
    return d->slider;
}

VkLabel* VkPlayerToolBarBase::currentTimeLabel() const
{
    return d->currentLabel;
}

VkLabel* VkPlayerToolBarBase::durationTimeLabel() const
{
    return d->durationLabel;
}

void VkPlayerToolBarBase::setTimeLabelType(TimeLabelType type)
{
    if (type < TimeLabel_CurrentAndDuration || type > TimeLabel_Current)
        type = TimeLabel_CurrentAndDuration;
    d->labelType = type;
    d->currentLabel->setVisible(type != TimeLabel_Duration);
    d->durationLabel->setVisible(type != TimeLabel_Current);
    if (!size().isEmpty()) {
        QResizeEvent relayout(size(), size());
        resizeEvent(&relayout);
    }
}

VkPlayerToolBarBase::TimeLabelType VkPlayerToolBarBase::timeLabelType() const
{
    return d->labelType;
}

void VkPlayerToolBarBase::setPlayerPresenter(VkMediaPlayerPresenter* presenter)
{
    for (const QMetaObject::Connection& c : qAsConst(d->connections))
        disconnect(c);
    d->connections.clear();
    d->presenter = presenter;
    if (presenter) {
        const auto refresh = [this] { d->refresh(); };
        d->connections << connect(presenter, &VkMediaPlayerPresenter::sigPositionChanged, this,
                                  [this] { d->showPosition(); })
                       << connect(presenter, &VkMediaPlayerPresenter::sigPlayStateChanged, this,
                                  [this](bool playing) { d->setPlaying(playing); })
                       << connect(presenter, &VkMediaPlayerPresenter::sigMediaOpened, this, refresh)
                       << connect(presenter, &VkMediaPlayerPresenter::sigPlayRangeChanged, this, refresh)
                       << connect(presenter, &VkPresenter::sigReset, this, refresh)
                       << connect(presenter, &QObject::destroyed, this, refresh);
    }
    d->refresh();
}

VkMediaPlayerPresenter* VkPlayerToolBarBase::playerPresenter() const
{
    return d->presenter;
}

QSize VkPlayerToolBarBase::sizeHint() const
{
    const int height = d->compact ? kButtonSize : kSliderHeight + kSpacing + kButtonSize;
    return QSize(kSizeHintWidth, height);
}

void VkPlayerToolBarBase::TranslateText()
{
    const bool playing = d->buttons[Button_PlayPause]->property("playing").toBool();
    d->buttons[Button_StepBackward]->SetToolTipText(tr("Previous Frame"));
    d->buttons[Button_PlayPause]->SetToolTipText(playing ? tr("Pause", "verb: pause playback")
                                                         : tr("Play", "verb: start playback"));
    d->buttons[Button_Stop]->SetToolTipText(tr("Stop", "verb: stop playback"));
    d->buttons[Button_StepForward]->SetToolTipText(tr("Next Frame"));
    d->buttons[Button_Fullscreen]->SetToolTipText(tr("Full Screen"));
    d->buttons[Button_Volume]->SetToolTipText(tr("Volume", "noun: loudness of the sound"));
    // The transport buttons take their accessible names from the tips above.
    d->slider->setAccessibleName(tr("Playback position"));
    d->currentLabel->setAccessibleDescription(tr("Current time"));
    d->durationLabel->setAccessibleDescription(tr("Duration", "noun: length of the clip"));
}

void VkPlayerToolBarBase::resizeEvent(QResizeEvent* event)
{
    VkWidget::resizeEvent(event);
    const int w = width();
    const bool ownSlider = d->slider->parentWidget() == this;
    // Compact: one line, the slider taking what the buttons and labels leave. Otherwise the slider
    // spans the top and the controls sit on a line below it.
    const int rowTop = d->compact || !ownSlider ? (height() - kButtonSize) / 2 : kSliderHeight + kSpacing;

    int left = 0;
    for (int i = Button_StepBackward; i <= Button_StepForward; ++i) {
        VkToolButton* b = d->buttons[i];
        if (hiddenByCaller(b))
            continue;
        b->setGeometry(left, rowTop, kButtonSize, kButtonSize);
        left += kButtonSize + kSpacing;
    }
    int right = w;
    for (int i : {Button_Fullscreen, Button_Volume}) {
        VkToolButton* b = d->buttons[i];
        if (hiddenByCaller(b))
            continue;
        right -= kButtonSize;
        b->setGeometry(right, rowTop, kButtonSize, kButtonSize);
        right -= kSpacing;
    }
    const int labelWidth = d->timeLabelWidth();
    for (VkLabel* label : {d->durationLabel, d->currentLabel}) {
        if (hiddenByCaller(label))
            continue;
        right -= labelWidth;
        label->setGeometry(right, rowTop, labelWidth, kButtonSize);
        right -= kSpacing;
    }
    if (!ownSlider)
        return;
    if (d->compact)
        d->slider->setGeometry(left, (height() - kSliderHeight) / 2, std::max(0, right - left),
                               kSliderHeight);
    else
        d->slider->setGeometry(0, 0, w, kSliderHeight);
}
