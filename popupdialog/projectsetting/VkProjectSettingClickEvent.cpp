#include "VkProjectSettingClickEvent.h"

// The exported constructor takes the method by value.
VkProjectSettingClickEvent::VkProjectSettingClickEvent(
    QString triggerMethod) // NOLINT(performance-unnecessary-value-param)
    : VkTrackEvent(QStringLiteral("project_set_click"))
{
    setProperty(QStringLiteral("trigger_method"), triggerMethod);
}

VkProjectSettingClickEvent::~VkProjectSettingClickEvent() = default;
