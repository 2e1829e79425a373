#pragma once

#include <VkPopupDialogExport.h>
#include <vkvblmodel/VkTrackEvent.h>

// "project_set": the current project's aspect ratio, size, frame rate and colour space as the model
// holds them when the event is created (after an accepted settings dialog, the saved values).
class VKPOPUPDIALOG_EXPORT VkProjectSettingAcceptEvent : public VkTrackEvent
{
public:
    VkProjectSettingAcceptEvent();
    ~VkProjectSettingAcceptEvent() override;
};
