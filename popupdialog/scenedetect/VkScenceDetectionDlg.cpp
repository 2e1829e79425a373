#include "VkScenceDetectionDlg.h"

#include "VkScenceDetectionPanel.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>

VkScenceDetectionDlg::VkScenceDetectionDlg(IVkAbstractMedia* media, QWidget* parent)
    : VkFramelessDialog(parent, false, true)
{
    setAttribute(Qt::WA_StyledBackground, true);
    SetTitleName(tr("Scene Detection"), false);
    SetBottomBarVisible(false);
    VkDialog::resize(1200, 659);
    m_panel = new VkScenceDetectionPanel(dynamic_cast<IVkAbstractMediaItem*>(media), this);
    SetContentWidget(m_panel);
    connect(m_panel, &VkScenceDetectionPanel::sigDone, this, [this](int code) { done(code); });
}

VkScenceDetectionDlg::~VkScenceDetectionDlg() = default;

QList<QPoint> VkScenceDetectionDlg::GetDetectRange()
{
    return m_panel->detectRanges();
}

void VkScenceDetectionDlg::startDetect()
{
    m_panel->startDetect();
}
