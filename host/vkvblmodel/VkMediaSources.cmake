# The media side of the editing model: items, media information, clips, the one-clip timeline and the
# scene detector, all over the engine VkMedia, which stays a private dependency (no host sees it).
set(VK_VBLMODEL_MEDIA_SOURCES
    VkMediaInterfaces.cpp
    media/IVkScenceDetect.cpp
    media/IVkTimeline.cpp
    media/VkAudioFileMediaInfo.cpp
    media/VkAudioFileMediaInfo.h
    media/VkEngineSceneDetect.cpp
    media/VkEngineSceneDetect.h
    media/VkImageFileMediaInfo.cpp
    media/VkImageFileMediaInfo.h
    media/VkMediaClip.cpp
    media/VkMediaClip.h
    media/VkMediaItem.cpp
    media/VkMediaItem.h
    media/VkMediaItemFactory.cpp
    media/VkMediaPaths.cpp
    media/VkMediaPaths.h
    media/VkMediaSidecar.cpp
    media/VkMediaSidecar.h
    media/VkProbedMediaInfo.cpp
    media/VkProbedMediaInfo.h
    media/VkSimpleTimeline.cpp
    media/VkSimpleTimeline.h
    media/VkStockMediaItem.cpp
    media/VkStockMediaItem.h
    media/VkVCGMediaItem.cpp
    media/VkVCGMediaItem.h
    media/VkVideoFileMediaInfo.cpp
    media/VkVideoFileMediaInfo.h)
set(VK_VBLMODEL_MEDIA_PUBLIC_DEPS "")
set(VK_VBLMODEL_MEDIA_PRIVATE_DEPS VkMedia)
