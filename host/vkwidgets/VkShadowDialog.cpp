#include <vkwidgets/VkShadowDialog.h>

#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include "VkTitleArea_p.h"

#include <QEvent>

VkShadowDialog::VkShadowDialog(QWidget* parent)
    : VkBaseShadowDialog(parent)
{
    m_titleBar = new VkTopLevelWindowTitleBar(this);
    m_titleBar->setObjectName(QStringLiteral("VkShadowDialog_TitleBar"));
    m_titleBar->SetButtons(VkTopLevelWindowTitleBar::Button_None);
    connect(m_titleBar, &VkTopLevelWindowTitleBar::sigClose, this, [this] { CloseByFrame(); });
    connect(m_titleBar, &VkTopLevelWindowTitleBar::sigMinimize, this, &QWidget::showMinimized);

    // Created after the title bar so that it lies above it.
    auto* titleArea = new VkWidgetsInternal::VkTitleArea(this);
    titleArea->setObjectName(QStringLiteral("VkShadowDialog_TitleArea"));
    m_titleArea = titleArea;
    placeTitle();
}

VkShadowDialog::~VkShadowDialog() = default;

bool VkShadowDialog::event(QEvent* event)
{
    // Before the derived resizeEvent, which may move either strip to where it wants it.
    if (event->type() == QEvent::Resize)
        placeTitle();
    return VkBaseShadowDialog::event(event);
}

void VkShadowDialog::placeTitle()
{
    m_titleBar->setGeometry(0, 0, width(), m_titleBarHeight);
    m_titleArea->setGeometry(0, 0, width(), m_titleBarHeight);
    m_titleArea->raise();
}
