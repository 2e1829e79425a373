#pragma once

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkVBLModelExport.h>

#include <QString>

// A reference-counted clip of one media file. A clip dies with its last Release().
class VKVBLMODEL_EXPORT IVkClip
{
public:
    virtual long AddRef() = 0;
    virtual long Release() = 0;

    virtual QString GetFilePath() const = 0;
    virtual VkFrameRate GetFrameRate() const = 0;
    virtual qint64 GetFrameCount() const = 0;

protected:
    virtual ~IVkClip();
};
