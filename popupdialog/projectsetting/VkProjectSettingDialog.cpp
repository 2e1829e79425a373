#include "VkProjectSettingDialog.h"

#include "VkProjectSettingPanel.h"

#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

namespace {

constexpr QSize kDialogSize{480, 328};
constexpr int kPanelHeight = 208;
constexpr int kButtonsY = 240;
constexpr int kCancelX = 272;
constexpr QSize kButtonSize{88, 32};
constexpr int kButtonGap = 16;
constexpr int kTitleBarButtons = 32;

} // namespace

VkProjectSettingDialog::VkProjectSettingDialog(QWidget* parent)
    : VkShadowDialog(parent)
{
    initUI();
    initConnects();
    setObjectName(QStringLiteral("Project_Settings_Dialog"));
}

VkProjectSettingDialog::~VkProjectSettingDialog() = default;

void VkProjectSettingDialog::initUI()
{
    setObjectName(QStringLiteral("VkShadowDialog_BackGroundColor_1"));
    setFixedSize(kDialogSize);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_titleBar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_titleBar->SetButtons(kTitleBarButtons);
    m_titleBar->SetTitleName(tr("Project Settings"), false);

    m_panel = new VkProjectSettingPanel(this);
    m_panel->setObjectName(QStringLiteral("VkWidget_Border_BackGroundColor_1"));

    m_okButton = new VkBaseButton(QStringLiteral("Button_Focus_Btn_32"), this);
    m_cancelButton = new VkBaseButton(QStringLiteral("Button_Normal_Btn_32"), this);
    m_okButton->setText(tr("OK"));
    m_cancelButton->setText(tr("CANCEL"));
    m_okButton->setAccessibleDescription(tr("Saves the settings into the project"));
    m_cancelButton->setAccessibleDescription(tr("Closes the window without saving"));
    // CANCEL stands left of OK, so Tab reaches it first.
    setTabOrder(m_cancelButton, m_okButton);
}

void VkProjectSettingDialog::initConnects()
{
    connect(m_okButton, &QPushButton::clicked, this, [this] {
        m_panel->DoAccept();
        done(1);
    });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { done(0); });
}

void VkProjectSettingDialog::RetranslateUi() {}

void VkProjectSettingDialog::resizeEvent(QResizeEvent* /*event*/)
{
    m_titleBar->setGeometry(1, 1, width() - 2, m_titleBarHeight);
    m_panel->setGeometry(1, m_titleBar->geometry().bottom() + 1, width() - 2, kPanelHeight);
    m_cancelButton->setGeometry(QRect(QPoint(kCancelX, kButtonsY), kButtonSize));
    m_okButton->setGeometry(
        QRect(QPoint(m_cancelButton->geometry().right() + kButtonGap, kButtonsY), kButtonSize));
}
