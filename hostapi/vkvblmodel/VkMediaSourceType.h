#pragma once

namespace VKVBLMODEL {

// Where a media item handed to a player comes from.
enum VkMediaSourceType : int
{
    VkMediaSource_Library = 0,
    VkMediaSource_Timeline = 1,
    VkMediaSource_Capture = 2,
};

} // namespace VKVBLMODEL
