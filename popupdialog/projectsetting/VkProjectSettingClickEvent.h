#pragma once

#include <VkPopupDialogExport.h>
#include <vkvblmodel/VkTrackEvent.h>

// "project_set_click": how the user reached the project settings (menu, shortcut, ...), as the
// host names it.
class VKPOPUPDIALOG_EXPORT VkProjectSettingClickEvent : public VkTrackEvent
{
public:
    explicit VkProjectSettingClickEvent(QString triggerMethod);
    ~VkProjectSettingClickEvent() override;
};
