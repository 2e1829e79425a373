#include "VkProjectSettingClickEvent.h"

VkProjectSettingClickEvent::VkProjectSettingClickEvent(QString triggerMethod)
    : VkTrackEvent(QStringLiteral("project_set_click"))
{
    setProperty(QStringLiteral("trigger_method"), triggerMethod);
}

VkProjectSettingClickEvent::~VkProjectSettingClickEvent() = default;
