#pragma once

#include <vkvblmodel/IVkProjectCompanion.h>

#include <memory>

namespace VkVBLModelInternal {

class VkProject;
class VkSequenceTimeline;

// The main sequence of a project: it runs at the project's frame rate.
class VkProjectSequence final : public IVkProjectCompanion
{
public:
    explicit VkProjectSequence(VkProject& project);
    ~VkProjectSequence() override;

    void readPair(VkFrameRate& rate) override;
    IVkPairTarget* pairTarget() override;

    // The exact rational of a project frame rate value; false for a value outside the list.
    static bool pairOf(int frameRateType, VkFrameRate* rate);

private:
    Q_DISABLE_COPY(VkProjectSequence)

    VkProject& m_project;
    const std::unique_ptr<VkSequenceTimeline> m_timeline;
};

} // namespace VkVBLModelInternal
