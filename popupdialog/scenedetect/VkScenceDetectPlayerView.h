#pragma once

#include <VkPopupDialogExport.h>
#include <vkwidgets/VkWidget.h>

class VkMediaPlayerPresenter;
class VkMediaPlayerWidget;
class VkScenceDetectPlayerToolBar;

// The preview on the left of the scene detection window: the player picture with its tool bar.
class VKPOPUPDIALOG_EXPORT VkScenceDetectPlayerView : public VkWidget
{
    Q_OBJECT
public:
    explicit VkScenceDetectPlayerView(QWidget* parent);
    ~VkScenceDetectPlayerView() override;

    void setPlayerPresenter(VkMediaPlayerPresenter* presenter);

private:
    VkMediaPlayerWidget* m_playerWidget = nullptr;
    VkScenceDetectPlayerToolBar* m_toolBar = nullptr;
    Q_DISABLE_COPY(VkScenceDetectPlayerView)
};
