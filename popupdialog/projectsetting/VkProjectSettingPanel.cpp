#include "VkProjectSettingPanel.h"

#include "VkProjectSettingPresenter.h"

#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkappsettings/VkPerformanceSettings.h>
#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkMonitorCheck.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkwidgets/VMessageDialog.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkDoubleSpinBox.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkStateButton.h>

#include <QApplication>
#include <QIcon>
#include <QSignalBlocker>

namespace {

constexpr int kUnlockedId = 1;
constexpr int kLockedId = 2;
constexpr int kMinSide = 64;
constexpr int kMaxSide = 10000;

// Help article of the operating system on switching HDR on for a display.
const char kHdrHelpUrl[] =
    "https://support.microsoft.com/windows/hdr-settings-in-windows-2d767185-38ec-7fdc-6f97-bbc6c5ef24e6";

// Geometry of the rows, in pixels.
constexpr int kCaptionX = 38;
constexpr int kFirstRowY = 28;
constexpr int kCaptionWidth = 130;
constexpr int kRowHeight = 24;
constexpr int kRowGap = 16;
constexpr int kBoxWidth = 172;
constexpr int kSpinWidth = 60;
constexpr int kTimesWidth = 32;
constexpr int kLockSide = 12;
constexpr int kLockGap = 8;
constexpr int kRatioTextHeight = 48;

VKVBLMODEL::VkProjectConfig storedConfig()
{
    VKVBLMODEL::VkProjectConfig config;
    IVkProjectManager::getInstance()->currentProject()->getProjectConfig(config);
    return config;
}

int truncated(double value)
{
    return static_cast<int>(value);
}

} // namespace

struct VkProjectSettingPanel::Private
{
    int openWidth = 0;
    int openHeight = 0;
    int openFrameRate = 0;

    VkLabel* ratioCaption = nullptr;
    VkLabel* resolutionCaption = nullptr;
    VkLabel* frameRateCaption = nullptr;
    VkLabel* ratioText = nullptr;
    VkLabel* timesLabel = nullptr;
    VkComboBox* ratioBox = nullptr;
    VkComboBox* resolutionBox = nullptr;
    VkComboBox* frameRateBox = nullptr;
    VkDoubleSpinBox* widthBox = nullptr;
    VkDoubleSpinBox* heightBox = nullptr;
    VkStateButton* lockButton = nullptr;
    VkLabel* colorSpaceCaption = nullptr;
    VkComboBox* colorSpaceBox = nullptr;

    QSize lockRatioPair{1920, 1080};
    VKVBLMODEL::VkProjectConfig openConfig;
    VkProjectSettingPresenter* presenter = nullptr;
};

VkProjectSettingPanel::VkProjectSettingPanel(QWidget* parent)
    : VkWidget(parent)
    , d(std::make_unique<Private>())
{
    d->presenter = new VkProjectSettingPresenter();
    // The drop-down animation would show a stale list while the boxes are rebuilt under it.
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    initUI();
    initAspectRatio();
    initResolution();
    initFrameRate();
    initColorSpace();
    initConnects();
    initData();
    RetranslateUi();
}

VkProjectSettingPanel::~VkProjectSettingPanel()
{
    // A panel that is a window of its own is hidden by the base destructor, after the private part
    // is gone: the focus then leaves a size box, whose end of edit would reach the slots here.
    for (QObject* sender : {static_cast<QObject*>(d->widthBox), static_cast<QObject*>(d->heightBox)})
        disconnect(sender, nullptr, this, nullptr);
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, true);
    delete d->presenter;
}

void VkProjectSettingPanel::initUI()
{
    const auto caption = [this] {
        auto* label = new VkLabel(this, QString());
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setWordWrap(true);
        return label;
    };
    const auto sizeBox = [this](const char* name) {
        VkDoubleSpinBox* box = VkDoubleSpinBox::CreateVkDoubleSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setDecimals(0);
        box->setRange(kMinSide, kMaxSide);
        box->setButtonSymbols(QAbstractSpinBox::NoButtons);
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box->setFocusPolicy(Qt::StrongFocus);
        return box;
    };
    const auto comboBox = [this](const char* name) {
        VkComboBox* box = VkComboBox::CreateComboBox(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };

    d->ratioCaption = caption();
    d->resolutionCaption = caption();
    d->frameRateCaption = caption();

    d->ratioText = new VkLabel(this, QString());
    d->ratioText->setObjectName(QStringLiteral("ProjectSettings_RatioText"));
    d->ratioText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    d->ratioText->setWordWrap(true);
    d->ratioText->resize(100, kRowHeight);

    d->timesLabel = new VkLabel(this, QString());
    d->timesLabel->setAlignment(Qt::AlignCenter);

    d->ratioBox = comboBox("ProjectSettings_AspectRatioBox");
    d->resolutionBox = comboBox("ProjectSettings_ResolutionBox");
    d->frameRateBox = comboBox("ProjectSettings_FrameRateBox");
    d->widthBox = sizeBox("ProjectSettings_WidthBox");
    d->heightBox = sizeBox("ProjectSettings_HeightBox");

    d->lockButton = new VkStateButton(0, QString(), this);
    d->lockButton->AddButton(kUnlockedId, QStringLiteral("ProjectSettings_unlock_btn"));
    d->lockButton->AddButton(kLockedId, QStringLiteral("ProjectSettings_lock_btn"));
    d->lockButton->SetCurrentButtonId(kUnlockedId);

    d->colorSpaceCaption = VkLabel::CreateLabel(this, QString());
    d->colorSpaceCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    d->colorSpaceCaption->setWordWrap(true);
    d->colorSpaceBox = comboBox("ProjectSettings_ColorSpaceBox");

    // Each caption names its control for a screen reader as well.
    d->ratioCaption->setBuddy(d->ratioBox);
    d->resolutionCaption->setBuddy(d->resolutionBox);
    d->frameRateCaption->setBuddy(d->frameRateBox);
    d->colorSpaceCaption->setBuddy(d->colorSpaceBox);

    // The controls were created in the order the code needs them; Tab goes row by row as they
    // stand on the screen.
    setTabOrder(d->ratioBox, d->resolutionBox);
    setTabOrder(d->resolutionBox, d->widthBox);
    setTabOrder(d->widthBox, d->heightBox);
    setTabOrder(d->heightBox, d->lockButton);
    setTabOrder(d->lockButton, d->frameRateBox);
    setTabOrder(d->frameRateBox, d->colorSpaceBox);
    // The window opens with the first setting in hand rather than the title bar's close button.
    d->ratioBox->setFocus(Qt::OtherFocusReason);
}

void VkProjectSettingPanel::initAspectRatio()
{
    for (const auto& [type, name] : d->presenter->GetRatioList())
        d->ratioBox->addItem(QIcon(), name, type);
}

void VkProjectSettingPanel::initResolution()
{
    const QSignalBlocker blocker(d->resolutionBox);
    d->resolutionBox->clear();
    for (const auto& [width, height, name] : d->presenter->GetResolutionList())
        d->resolutionBox->addItem(name, QSize(width, height));
    d->resolutionBox->setCurrentIndex(d->presenter->GetDefaultResolutionIndex());
}

void VkProjectSettingPanel::initFrameRate()
{
    const QSignalBlocker blocker(d->frameRateBox);
    d->frameRateBox->clear();
    for (const auto& [type, name] : d->presenter->GetFramerateList())
        d->frameRateBox->addItem(name, type);
}

void VkProjectSettingPanel::initColorSpace()
{
    const QSignalBlocker blocker(d->colorSpaceBox);
    d->colorSpaceBox->clear();
    for (const auto& [type, name] : d->presenter->GetColorSpaceList())
        d->colorSpaceBox->addItem(name, type);
}

void VkProjectSettingPanel::initConnects()
{
    VkProjectSettingPresenter* p = d->presenter;
    connect(p, &VkProjectSettingPresenter::signalRatioChanged, this,
            &VkProjectSettingPanel::slotRatioChanged);
    connect(p, &VkProjectSettingPresenter::signalResolutionChanged, this,
            &VkProjectSettingPanel::slotResolutionChanged);
    connect(p, &VkProjectSettingPresenter::signalFramerateChanged, this,
            &VkProjectSettingPanel::slotFramerateChanged);

    const auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(d->ratioBox, indexChanged, this, &VkProjectSettingPanel::slotAspectRatioIndexChanged);
    connect(d->resolutionBox, indexChanged, this, &VkProjectSettingPanel::slotResolutionIndexChanged);
    connect(d->frameRateBox, indexChanged, this, &VkProjectSettingPanel::slotFrameRateIndexChanged);

    const auto valueChanged = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    connect(d->widthBox, valueChanged, this, &VkProjectSettingPanel::slotResolutionSpinChanged);
    connect(d->heightBox, valueChanged, this, &VkProjectSettingPanel::slotResolutionSpinChanged);

    // Encoders want even sides: once the user has finished typing or stepping, the box goes up to
    // the next even value, which runs the size slot again through valueChanged.
    const auto evenUp = [](VkDoubleSpinBox* box) {
        box->setValue(VkProjectSettingPresenter::roundUpToEven(qRound(box->value())));
    };
    connect(d->widthBox, &VkDoubleSpinBox::sigEditFinished, this, [this, evenUp] { evenUp(d->widthBox); });
    connect(d->heightBox, &VkDoubleSpinBox::sigEditFinished, this, [this, evenUp] { evenUp(d->heightBox); });
    connect(d->widthBox, &VkDoubleSpinBox::sigEndValueChanged, this, [this, evenUp] { evenUp(d->widthBox); });
    connect(d->heightBox, &VkDoubleSpinBox::sigEndValueChanged, this,
            [this, evenUp] { evenUp(d->heightBox); });

    connect(d->colorSpaceBox, indexChanged, this, &VkProjectSettingPanel::slotColorSpaceIndexChanged);
    connect(d->lockButton, &VkBaseButton::Clicked, this, &VkProjectSettingPanel::slotLockStateBtnClicked);
}

void VkProjectSettingPanel::initData()
{
    slotRatioChanged();
    slotResolutionChanged();
    slotFramerateChanged();
    slotColorSpaceChanged();

    const QSize size = d->presenter->GetResolution();
    ResetResolutionSpinBox(size.width(), size.height());
    d->openWidth = size.width();
    d->openHeight = size.height();
    d->openFrameRate = d->presenter->GetFramerate();
    updateAspectRatioText();
    d->presenter->getData(d->openConfig);
}

void VkProjectSettingPanel::RetranslateUi()
{
    d->ratioCaption->setText(tr("Aspect Ratio:"));
    d->resolutionCaption->setText(tr("Resolution:"));
    d->frameRateCaption->setText(tr("Frame Rate:"));
    d->timesLabel->setText(QStringLiteral("x"));
    d->colorSpaceCaption->SetDisplayText(tr("Color Space:"));
    d->lockButton->setToolTip(tr("lock aspect ratio"));

    d->ratioBox->setAccessibleName(tr("Aspect Ratio"));
    d->resolutionBox->setAccessibleName(tr("Resolution"));
    d->resolutionBox->setAccessibleDescription(tr("Preset frame sizes of the chosen aspect ratio"));
    d->widthBox->setAccessibleName(tr("Width"));
    d->widthBox->setAccessibleDescription(tr("Frame width in pixels"));
    d->heightBox->setAccessibleName(tr("Height"));
    d->heightBox->setAccessibleDescription(tr("Frame height in pixels"));
    d->lockButton->setAccessibleName(tr("Lock aspect ratio"));
    d->lockButton->setAccessibleDescription(tr("Keeps width and height in proportion while you type"));
    d->frameRateBox->setAccessibleName(tr("Frame Rate"));
    d->colorSpaceBox->setAccessibleName(tr("Color Space"));
    d->ratioText->setAccessibleDescription(tr("The aspect ratio of the frame size"));
}

void VkProjectSettingPanel::slotRatioChanged()
{
    if (d->ratioBox->count() == 0)
        return;
    const int ratio = d->presenter->GetRatio();
    for (int i = 0; i < d->ratioBox->count(); ++i) {
        if (d->ratioBox->itemData(i).toInt() == ratio) {
            const QSignalBlocker blocker(d->ratioBox);
            d->ratioBox->setCurrentIndex(i);
        }
    }
    initResolution();
}

void VkProjectSettingPanel::slotResolutionChanged()
{
    const QSize size = d->presenter->GetResolution();
    int row = d->resolutionBox->count() - 1;
    for (int i = 0; i < d->resolutionBox->count(); ++i) {
        if (d->resolutionBox->itemData(i).toSize() == size) {
            row = i;
            break;
        }
    }
    {
        const QSignalBlocker blocker(d->resolutionBox);
        d->resolutionBox->setCurrentIndex(row);
    }
    ResetResolutionSpinBox(size.width(), size.height());
}

void VkProjectSettingPanel::slotFramerateChanged()
{
    const int rate = d->presenter->GetFramerate();
    for (int i = 0; i < d->frameRateBox->count(); ++i) {
        if (d->frameRateBox->itemData(i).toInt() == rate) {
            const QSignalBlocker blocker(d->frameRateBox);
            d->frameRateBox->setCurrentIndex(i);
        }
    }
}

void VkProjectSettingPanel::slotColorSpaceChanged()
{
    const int colorSpace = d->presenter->GetColorSpace();
    for (int i = 0; i < d->colorSpaceBox->count(); ++i) {
        if (d->colorSpaceBox->itemData(i).toInt() == colorSpace) {
            const QSignalBlocker blocker(d->colorSpaceBox);
            d->colorSpaceBox->setCurrentIndex(i);
        }
    }
}

void VkProjectSettingPanel::slotAspectRatioIndexChanged(int index)
{
    const QSignalBlocker blocker(d->ratioBox);
    const auto type = static_cast<VKVBLMODEL::VkProjectAspectRatioType>(d->ratioBox->itemData(index).toInt());
    d->presenter->SetRatio(type);
    updateAspectRatioText(type);
}

void VkProjectSettingPanel::slotResolutionIndexChanged(int /*index*/)
{
    const QSize size = d->resolutionBox->currentData().toSize();
    if (size.width() > 0)
        ResetResolutionSpinBox(size.width(), size.height());
    const QSignalBlocker blocker(d->resolutionBox);
    d->presenter->SetResolution(size);
}

void VkProjectSettingPanel::slotFrameRateIndexChanged(int index)
{
    const QSignalBlocker blocker(d->frameRateBox);
    d->presenter->SetFramerate(d->frameRateBox->itemData(index).toInt());
}

void VkProjectSettingPanel::slotResolutionSpinChanged(double /*value*/)
{
    int width = truncated(d->widthBox->value());
    int height = truncated(d->heightBox->value());
    if (isLockAspectRatio()) {
        // The computed side stays within what its box can show, so that what is saved is what the
        // boxes read; both ends of the range are even.
        const auto side = [](int computed) {
            return qBound(kMinSide, VkProjectSettingPresenter::roundUpToEven(computed), kMaxSide);
        };
        if (sender() == d->widthBox)
            height = side(d->presenter->GetLockHeight(width));
        else
            width = side(d->presenter->GetLockWith(height));
    }
    d->presenter->SetResolution(QSize(width, height));
    updateAspectRatioText();
}

void VkProjectSettingPanel::slotColorSpaceIndexChanged(int index)
{
    const QSignalBlocker blocker(d->colorSpaceBox);
    d->presenter->SetColorSpace(d->colorSpaceBox->itemData(index).toInt());
}

void VkProjectSettingPanel::slotLockStateBtnClicked(int id, QPoint /*pos*/)
{
    if (id == kUnlockedId) {
        d->lockButton->SetCurrentButtonId(kLockedId);
        d->presenter->SetLockResolution(
            QSize(truncated(d->widthBox->value()), truncated(d->heightBox->value())));
        updateAspectRatioText(
            static_cast<VKVBLMODEL::VkProjectAspectRatioType>(d->ratioBox->currentData().toInt()));
    } else if (id == kLockedId) {
        d->lockButton->SetCurrentButtonId(kUnlockedId);
    }
}

void VkProjectSettingPanel::updateAspectRatioText(const VKVBLMODEL::VkProjectAspectRatioType& type)
{
    const QSize pair = VkProjectSettingPresenter::ratioSizeOf(type, truncated(d->widthBox->value()),
                                                              truncated(d->heightBox->value()));
    if (isLockAspectRatio())
        d->lockRatioPair = pair;
    d->ratioText->setText(tr("Aspect Ratio ") +
                          QStringLiteral(" %1:%2").arg(pair.width()).arg(pair.height()));
}

void VkProjectSettingPanel::updateAspectRatioText()
{
    QSize pair = d->lockRatioPair;
    if (!isLockAspectRatio()) {
        pair = VkProjectSettingPresenter::ratioSizeOf(d->ratioBox->currentData().toInt(),
                                                      truncated(d->widthBox->value()),
                                                      truncated(d->heightBox->value()));
    }
    d->ratioText->setText(tr("Aspect Ratio ") +
                          QStringLiteral(" %1:%2").arg(pair.width()).arg(pair.height()));
}

bool VkProjectSettingPanel::isLockAspectRatio() const
{
    return d->lockButton->CurrentButtonId() == kLockedId;
}

void VkProjectSettingPanel::ResetResolutionSpinBox(const int& width, const int& height)
{
    {
        const QSignalBlocker blocker(d->widthBox);
        d->widthBox->setValue(width);
    }
    const QSignalBlocker blocker(d->heightBox);
    d->heightBox->setValue(height);
}

void VkProjectSettingPanel::DoAccept()
{
    // OK does not take the focus, so a value typed or stepped just before it is still being edited:
    // finishing it evens it up and gives it to the presenter before the save.
    d->widthBox->FinishEdit();
    d->heightBox->FinishEdit();
    checkColorSpaceSetting();
    d->presenter->Save();
    const QSize size = d->presenter->GetResolution();
    if (d->presenter->GetFramerate() != d->openFrameRate || size.width() != d->openWidth ||
        size.height() != d->openHeight) {
        VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting()->SetMediaMatchProjShow(true);
    }
}

void VkProjectSettingPanel::checkColorSpaceSetting()
{
    const int chosen = d->presenter->GetColorSpace();
    if (chosen == storedConfig().colorSpace || chosen == VKVBLMODEL::ColorSpaceSDR)
        return;

    VkConfig& config = VkConfig::Instance();
    if (VkAppSettings::GetInstance()->GetSettings()->GetPerformanceSettings()->GetThisTimeEnableOpenCL()) {
        if (IVkMonitorCheck::getInstance()->isHdrEnabled())
            return;
        // The flag is set before the message shows, so a crash or a kill while it is open still
        // counts as shown.
        if (config.IsColorSpaceGpuTipsNoNeedShow())
            return;
        config.SetColorSpaceGpuTipsNoNeedShow(true);
        const QString url = QLatin1String(kHdrHelpUrl);
        const QString link = VMessageDialog::BuildURLMsg(QLatin1Char(' ') + url, url);
        const QString message = tr("It is detected that HDR is not enabled on the current device, and there "
                                   "may be color difference "
                                   "during preview. You can enable it in Start > Settings > System > "
                                   "Display. For details, please "
                                   "check") +
                                link;
        VMessageDialog::Infomation(message, this, VMessageDialog::VStandardButton(1), QString(), QString(),
                                   QString(), true);
    } else {
        if (config.IsColorSpaceHDRTipsNoNeedShow())
            return;
        config.SetColorSpaceHDRTipsNoNeedShow(true);
        VMessageDialog::Infomation(
            tr("It is found that the current device does not satisfy the conditions for "
               "enabling GPU acceleration, and there may be color differences during "
               "preview."),
            this, VMessageDialog::VStandardButton(1), QString(), QString(), QString(), false);
    }
}

bool VkProjectSettingPanel::isDataChanged(VKVBLMODEL::VkProjectConfig& current)
{
    d->presenter->getData(current);
    const VKVBLMODEL::VkProjectConfig& open = d->openConfig;
    return current.aspectRatio != open.aspectRatio || current.colorSpace != open.colorSpace ||
           current.frameRate != open.frameRate || current.resolution.width() != open.resolution.width() ||
           current.resolution.height() != open.resolution.height();
}

void VkProjectSettingPanel::resizeEvent(QResizeEvent* event)
{
    // Each row: caption at the left margin, its box 16 px right of the caption, centred on it.
    const auto placeRow = [](QWidget* caption, QWidget* box, int y) {
        caption->setGeometry(kCaptionX, y, kCaptionWidth, kRowHeight);
        const QRect c = caption->geometry();
        box->setGeometry(c.right() + kRowGap, c.center().y() - kRowHeight / 2, kBoxWidth, kRowHeight);
    };

    placeRow(d->ratioCaption, d->ratioBox, kFirstRowY);
    placeRow(d->resolutionCaption, d->resolutionBox, d->ratioCaption->geometry().bottom() + kRowGap);

    const int sizeRowY = d->resolutionCaption->geometry().bottom() + kRowGap;
    d->widthBox->setGeometry(d->resolutionBox->geometry().x(), sizeRowY, kSpinWidth, kRowHeight);
    d->timesLabel->setGeometry(d->widthBox->geometry().right(), sizeRowY, kTimesWidth, kRowHeight);
    d->heightBox->setGeometry(d->timesLabel->geometry().right(), sizeRowY, kSpinWidth, kRowHeight);
    const QRect h = d->heightBox->geometry();
    d->lockButton->setGeometry(h.right() + kLockGap, h.center().y() - kLockSide / 2, kLockSide, kLockSide);
    d->ratioText->setGeometry(d->lockButton->geometry().right() + kLockGap, h.top() - 14,
                              d->ratioText->width(), kRatioTextHeight);

    placeRow(d->frameRateCaption, d->frameRateBox, d->widthBox->geometry().bottom() + kRowGap);
    placeRow(d->colorSpaceCaption, d->colorSpaceBox, d->frameRateCaption->geometry().bottom() + kRowGap);

    QWidget::resizeEvent(event);
}
