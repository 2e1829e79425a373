#include <vkvblmodel/VkProjectSuffixHelper.h>

QString VkProjectSuffixHelper::projectFileSuffix()
{
    return QStringLiteral("vkproj");
}
