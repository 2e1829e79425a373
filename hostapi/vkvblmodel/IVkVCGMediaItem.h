#pragma once

#include <vkvblmodel/VkVBLModelExport.h>
#include <vkvblmodel/VkVCGAssetInfo.h>

#include <QStringList>

// The licensed-library side of a media item; reached from the item by dynamic_cast.
class VKVBLMODEL_EXPORT IVkVCGMediaItem
{
public:
    virtual ~IVkVCGMediaItem();

    virtual QStringList GetKeywords() const = 0;
    // The rendition the item was taken from (3 to 6 are the library's video, image, music and
    // effect renditions); GetAssetInfo of any other kind is empty.
    virtual int GetAssetKind() const = 0;
    virtual VkVCGAssetInfo GetAssetInfo(int kind) const = 0;
};
