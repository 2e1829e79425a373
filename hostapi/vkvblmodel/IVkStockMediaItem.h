#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

// The stock-site side of a media item that was downloaded from a stock site; reached from the item
// by dynamic_cast.
class VKVBLMODEL_EXPORT IVkStockMediaItem
{
public:
    virtual ~IVkStockMediaItem();

    // Quality levels the site offers, lowest first; not every asset has every level.
    virtual bool IsQualityUnavailable(int quality) const = 0;
    // Leaves width and height untouched when the level is unknown.
    virtual void GetQualityResolution(int quality, int& width, int& height) const = 0;
    virtual QString GetAuthorUrl() const = 0;
    virtual QString GetAuthorName() const = 0;
    virtual QString GetLicenseUrl() const = 0;
};
