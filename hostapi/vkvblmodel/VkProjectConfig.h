#pragma once

#include <QSize>

namespace VKVBLMODEL {

enum VkProjectAspectRatioType : int
{
    AspectRatioCustom = 0,
    AspectRatio16x9 = 1,
    AspectRatio1x1 = 2,
    AspectRatio9x16 = 3,
    AspectRatio4x3 = 4,
    AspectRatio3x4 = 5,
    AspectRatio21x9 = 6,
    AspectRatio4x5 = 7,
};

enum VkProjectFrameRateType : int
{
    FrameRate23_976 = 0,
    FrameRate24 = 1,
    FrameRate25 = 2,
    FrameRate29_97 = 3,
    FrameRate30 = 4,
    FrameRate50 = 5,
    FrameRate59_94 = 6,
    FrameRate60 = 7,
};

enum VkProjectColorSpaceType : int
{
    ColorSpaceSDR = 0,
    ColorSpacePQ = 1,
    ColorSpaceHLG = 2,
};

// A project's configuration. The first four fields are the ones the project settings edit; the
// ones behind them belong to the rest of the model and must survive a read-change-write unchanged.
struct VkProjectConfig
{
    VkProjectAspectRatioType aspectRatio = AspectRatio16x9;
    VkProjectFrameRateType frameRate = FrameRate25;
    QSize resolution{1920, 1080};
    VkProjectColorSpaceType colorSpace = ColorSpaceSDR;

    int audioSampleRate = 48000;
    int audioChannels = 2;
    int videoBitDepth = 8;
};

} // namespace VKVBLMODEL
