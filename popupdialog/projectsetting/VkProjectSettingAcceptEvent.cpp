#include "VkProjectSettingAcceptEvent.h"

#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/VkProjectConfig.h>

namespace {

// The analytics names differ from the list texts: no blank before "fps", and custom is a word.
QString ratioName(int ratio)
{
    static const char* const names[] = {"custom", "16:9", "1:1", "9:16", "4:3", "3:4", "21:9", "4:5"};
    return ratio >= 1 && ratio <= 7 ? QLatin1String(names[ratio]) : QStringLiteral("custom");
}

QString frameRateName(int rate)
{
    static const char* const names[] = {"23.97fps", "24fps", "25fps",    "29.97fps",
                                        "30fps",    "50fps", "59.94fps", "60fps"};
    return rate >= 0 && rate <= 7 ? QLatin1String(names[rate]) : QString();
}

QString colorSpaceName(int colorSpace)
{
    static const char* const names[] = {"SDR - Rec.709", "HDR - Rec.2100PQ", "HDR - Rec.2100HLG"};
    return colorSpace >= 0 && colorSpace <= 2 ? QLatin1String(names[colorSpace]) : QString();
}

} // namespace

VkProjectSettingAcceptEvent::VkProjectSettingAcceptEvent()
    : VkTrackEvent(QStringLiteral("project_set"))
{
    VKVBLMODEL::VkProjectConfig config;
    IVkProjectManager::getInstance()->currentProject()->getProjectConfig(config);
    setProperty(QStringLiteral("aspect_ratio"), ratioName(config.aspectRatio));
    setProperty(QStringLiteral("resolution"),
                QStringLiteral("%1*%2").arg(config.resolution.width()).arg(config.resolution.height()));
    setProperty(QStringLiteral("frame_rate"), frameRateName(config.frameRate));
    setProperty(QStringLiteral("color_space"), colorSpaceName(config.colorSpace));
}

VkProjectSettingAcceptEvent::~VkProjectSettingAcceptEvent() = default;
