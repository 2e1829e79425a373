#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

#include <memory>

class IVkAbstractMediaItem;

class VKVBLMODEL_EXPORT VkMediaItemFactory
{
public:
    // Probes the file and returns an item for a video, audio or image file; null with a message in
    // `error` for a file that is not media (or cannot be read).
    static std::unique_ptr<IVkAbstractMediaItem> create(const QString& path, QString* error);

    VkMediaItemFactory() = delete;
};
