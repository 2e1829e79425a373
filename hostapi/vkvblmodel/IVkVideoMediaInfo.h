#pragma once

#include <vkvblmodel/IVkMediaInfo.h>

#include <QString>

class VKVBLMODEL_EXPORT IVkVideoMediaInfo : public virtual IVkMediaInfo
{
public:
    ~IVkVideoMediaInfo() override;

    virtual int GetHeight() const = 0;
    virtual int GetWidth() const = 0;
    virtual QString GetCodecName() const = 0;
    // Bits per second of the video stream: the container's figure, else measured from packet sizes.
    virtual int GetBitRate() const = 0;
    // Readable transfer function, e.g. "BT.709", "PQ (SMPTE ST 2084)", "HLG (ARIB STD-B67)".
    virtual QString GetTransferCharacteristics() const = 0;
};
