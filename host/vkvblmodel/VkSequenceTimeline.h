#pragma once

#include <vkvblmodel/IVkPairTarget.h>

namespace VkVBLModelInternal {

class VkProject;

// The timeline settings of a project's main sequence, kept in the project under "timeline".
class VkSequenceTimeline final : public IVkPairTarget
{
public:
    explicit VkSequenceTimeline(VkProject& project);

    void applyPair(int num, int den) override;
    VkFrameRate appliedPair() const override;

private:
    Q_DISABLE_COPY(VkSequenceTimeline)

    VkProject& m_project;
};

} // namespace VkVBLModelInternal
