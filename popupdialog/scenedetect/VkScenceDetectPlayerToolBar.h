#pragma once

#include <VkPopupDialogExport.h>
#include <vkmediaplayer/VkPlayerToolBarBase.h>

// The preview's transport bar: a position slider on top, play/pause and step buttons below it and
// the current time at the right.
class VKPOPUPDIALOG_EXPORT VkScenceDetectPlayerToolBar : public VkPlayerToolBarBase
{
    Q_OBJECT
public:
    explicit VkScenceDetectPlayerToolBar(QWidget* parent);
    ~VkScenceDetectPlayerToolBar() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Q_DISABLE_COPY(VkScenceDetectPlayerToolBar)
};
