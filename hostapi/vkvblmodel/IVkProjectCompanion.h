#pragma once

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkVBLModelExport.h>

class IVkPairTarget;

// The project's main sequence.
class VKVBLMODEL_EXPORT IVkProjectCompanion
{
public:
    virtual ~IVkProjectCompanion();

    // The project's frame rate as an exact rational (29.97 is 30000/1001).
    virtual void readPair(VkFrameRate& rate) = 0;
    // The sequence's timeline settings; owned by the project, never null.
    virtual IVkPairTarget* pairTarget() = 0;

protected:
    IVkProjectCompanion() = default;

private:
    Q_DISABLE_COPY(IVkProjectCompanion)
};
