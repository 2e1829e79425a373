#include "VkDemoWindow.h"

#include <projectsetting/VkProjectSettingAcceptEvent.h>
#include <projectsetting/VkProjectSettingClickEvent.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <projectsetting/VkProjectSettingPresenter.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkwidgets/VkLabel.h>
#include <vkwidgets/VkPushButton.h>
#include <vkwidgets/VkPushButtonBar.h>

#include <QFormLayout>

VkDemoWindow::VkDemoWindow(QWidget* parent)
    : VkFramelessDialog(parent, false, true)
{
    setObjectName(QStringLiteral("VkDemoWindow"));
    auto* body = new QWidget(this);
    auto* form = new QFormLayout(body);
    form->setContentsMargins(32, 24, 32, 24);
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(12);

    const auto addRow = [&](VkLabel*& value) {
        auto* caption = VkLabel::CreateLabel(body, QString());
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value = VkLabel::CreateLabel(body, QString());
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, value);
        m_captions << caption;
    };
    addRow(m_projectValue);
    addRow(m_ratioValue);
    addRow(m_resolutionValue);
    addRow(m_frameRateValue);
    addRow(m_colorSpaceValue);

    SetContentWidget(body);
    m_projectSettingsButton = VkPushButton::CreatePrimaryButton(this, VkPushButton::VButtonSizeKind(32));
    m_projectSettingsButton->setObjectName(QStringLiteral("VkDemoWindow_ProjectSettings"));
    ButtonBar()->AddButton(VkButtonBar::VButtonPosition(1), m_projectSettingsButton, -1);
    connect(m_projectSettingsButton, &QPushButton::clicked, this, &VkDemoWindow::openProjectSettings);
    resize(560, 330);
    RetranslateUi();
    refresh();
}

void VkDemoWindow::RetranslateUi()
{
    SetTitleName(tr("VkPopupDialog Demo"), false);
    const QStringList captions{tr("Project:"), tr("Aspect Ratio:"), tr("Resolution:"), tr("Frame Rate:"),
                               tr("Color Space:")};
    for (int i = 0; i < m_captions.size(); ++i)
        m_captions.at(i)->setText(captions.value(i));
    m_projectSettingsButton->setText(tr("Project Settings..."));
}

void VkDemoWindow::openProjectSettings()
{
    VkProjectSettingClickEvent(QStringLiteral("demo_button")).sendEvent();
    VkProjectSettingDialog dialog(this);
    if (dialog.DoModal() == 1)
        VkProjectSettingAcceptEvent().sendEvent();
    refresh();
}

void VkDemoWindow::refresh()
{
    IVkProject* project = IVkProjectManager::getInstance()->currentProject();
    const QString path = project->filePath();
    m_projectValue->setText(path.isEmpty() ? tr("New project (not saved)") : path);

    // The presenter is the library's own reading of the project, so the demo shows what the
    // project settings dialog will start from.
    VkProjectSettingPresenter presenter;
    const int ratio = presenter.GetRatio();
    m_ratioValue->setText(ratio == 0 ? QObject::tr("Custom") : VkProjectSettingPresenter::getRatioStr(ratio));
    const QSize size = presenter.GetResolution();
    m_resolutionValue->setText(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()));
    m_frameRateValue->setText(
        presenter.getFramerateStr(static_cast<VKVBLMODEL::VkProjectFrameRateType>(presenter.GetFramerate())));
    m_colorSpaceValue->setText(presenter.getColorSpaceStr(
        static_cast<VKVBLMODEL::VkProjectColorSpaceType>(presenter.GetColorSpace())));
}
