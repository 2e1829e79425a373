#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkFramelessDialog.h>

#include <QList>
#include <QPoint>

class IVkAbstractMedia;
class VkScenceDetectionPanel;

// Scene detection for one clip. The host may start the detection before running the dialog; after
// "Add To Timeline" (result 1) it reads the remaining scenes as frame ranges.
class VKPOPUPDIALOG_EXPORT VkScenceDetectionDlg : public VkFramelessDialog
{
    Q_OBJECT
public:
    VkScenceDetectionDlg(IVkAbstractMedia* media, QWidget* parent);
    ~VkScenceDetectionDlg() override;

    // One point per scene in display order: x the first frame, y the first frame after it.
    QList<QPoint> GetDetectRange();
    void startDetect();

private:
    VkScenceDetectionPanel* m_panel = nullptr;
    Q_DISABLE_COPY(VkScenceDetectionDlg)
};
