#include "VkSequenceTimeline.h"

#include "VkProject.h"

namespace VkVBLModelInternal {

VkSequenceTimeline::VkSequenceTimeline(VkProject& project)
    : m_project(project)
{}

void VkSequenceTimeline::applyPair(int num, int den)
{
    if (num <= 0 || den <= 0)
        return;
    VkFrameRate rate;
    rate.num = num;
    rate.den = den;
    m_project.setTimelineRate(rate);
}

VkFrameRate VkSequenceTimeline::appliedPair() const
{
    return m_project.timelineRate();
}

} // namespace VkVBLModelInternal
