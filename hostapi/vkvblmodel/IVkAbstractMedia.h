#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

// What every media object of the model answers, whether it is an item of the media library or a
// clip placed on a timeline. Media items derive from it virtually, so that an item that is also a
// stock or library asset still has exactly one of these parts.
class VKVBLMODEL_EXPORT IVkAbstractMedia
{
public:
    // Kinds of GetItemType(); a library asset (7) keeps the name its library gave it.
    enum ItemType : int
    {
        ItemType_Unknown = 0,
        ItemType_Video = 1,
        ItemType_Audio = 2,
        ItemType_Image = 3,
        ItemType_LibraryAsset = 7,
    };

    // Stock sites of GetStockSite().
    enum StockSite : int
    {
        StockSite_None = 0,
        StockSite_Giphy = 1,
        StockSite_Pixabay = 2,
        StockSite_Unsplash = 3,
        StockSite_Pexels = 4,
    };

    virtual ~IVkAbstractMedia();

    virtual int GetItemType() const = 0;
    virtual int GetStockSite() const = 0;
    virtual int GetStockSource() const = 0;
    virtual QString GetName() const = 0;
    virtual bool IsRenameEnabled() const = 0;
};
