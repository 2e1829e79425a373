#pragma once

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkVBLModelExport.h>

// The timeline settings of a sequence: what takes a frame rate pair once the project changed.
class VKVBLMODEL_EXPORT IVkPairTarget
{
public:
    virtual ~IVkPairTarget();

    // Stores num/den as the timeline's frame rate (written into the project file at once when the
    // project has one). A pair with a side that is not positive is ignored.
    virtual void applyPair(int num, int den) = 0;
    // The timeline's frame rate: the last pair applied, or the project's own rate before any.
    virtual VkFrameRate appliedPair() const = 0;

protected:
    IVkPairTarget() = default;

private:
    Q_DISABLE_COPY(IVkPairTarget)
};
