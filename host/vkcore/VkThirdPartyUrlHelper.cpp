#include <vkcore/VkThirdPartyUrlHelper.h>

QString VkThirdPartyUrlHelper::pixabayPage()
{
    return QStringLiteral("https://pixabay.com/");
}

QString VkThirdPartyUrlHelper::unsplashPage()
{
    return QStringLiteral("https://unsplash.com/");
}

QString VkThirdPartyUrlHelper::giphyPage()
{
    return QStringLiteral("https://giphy.com/");
}

QString VkThirdPartyUrlHelper::pexelsPage()
{
    return QStringLiteral("https://www.pexels.com/");
}
