#pragma once

#include <vkcore/VkCoreExport.h>

#include <QString>

class VKCORE_EXPORT VkConvertUtility
{
public:
    // Non-drop-frame timecode "HH:MM:SS:FF" of a frame count, counted at the nominal rate
    // qRound(framesPerSecond) as editors show it (29.97 counts 30 frames to the second). Hours grow
    // past two digits when they must. A negative frame or a rate that does not round to at least one
    // frame per second gives "00:00:00:00".
    static QString frame2String(int frame, float framesPerSecond);

    VkConvertUtility() = delete;
};
