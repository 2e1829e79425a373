#pragma once

#include <vkcore/VkCoreExport.h>

#include <QString>

// Home pages of the stock media sites whose items the editor can hold.
class VKCORE_EXPORT VkThirdPartyUrlHelper
{
public:
    static QString pixabayPage();
    static QString unsplashPage();
    static QString giphyPage();
    static QString pexelsPage();

    VkThirdPartyUrlHelper() = delete;
};
