#pragma once

#include <vkcore/VkCoreExport.h>

#include <QString>

// The application's folders, all under VK_HOME (the platform's application data folder when VK_HOME
// is not set). Each folder is created when it is asked for.
class VKCORE_EXPORT IVkAppInfo
{
public:
    enum FolderKind : int
    {
        FolderHome = 0,        // VK_HOME itself: config.ini, settings.ini, recent.json, events.jsonl
        FolderCache = 1,       // VK_HOME/Cache: anything that may be thrown away
        FolderThumbnails = 2,  // VK_HOME/Cache/Thumbnails
        FolderSampleMedia = 3, // VK_HOME/SampleMedia: media the application ships for new users
        FolderProjects = 16,   // VK_HOME/Projects: where projects are opened from and saved to
    };

    static IVkAppInfo* getInstance();

    virtual ~IVkAppInfo();
    // The absolute folder of kind (a FolderKind value); an empty string for any other value.
    virtual QString getFolderPath(int kind) const = 0;

protected:
    IVkAppInfo() = default;

private:
    Q_DISABLE_COPY(IVkAppInfo)
};
