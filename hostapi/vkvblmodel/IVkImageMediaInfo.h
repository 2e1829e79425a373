#pragma once

#include <vkvblmodel/IVkMediaInfo.h>

#include <QString>

class VKVBLMODEL_EXPORT IVkImageMediaInfo : public virtual IVkMediaInfo
{
public:
    // How the alpha channel of the picture is read when it is rendered.
    enum AlphaType : int
    {
        Alpha_Straight = 0,
        Alpha_Premultiplied = 1,
        Alpha_Ignore = 2,
    };

    ~IVkImageMediaInfo() override;

    virtual int GetHeight() const = 0;
    virtual int GetWidth() const = 0;
    virtual QString GetCameraMaker() const = 0;
    virtual QString GetCameraModel() const = 0;
    // Whole seconds of exposure from the picture's EXIF data (0 when unknown or shorter than 1 s).
    virtual int GetExposureTime() const = 0;
    virtual void SetAlphaType(int alphaType) = 0;
    virtual int GetAlphaType() const = 0;
};
