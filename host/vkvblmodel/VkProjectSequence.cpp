#include "VkProjectSequence.h"

#include "VkProject.h"
#include "VkSequenceTimeline.h"

#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkProjectConfig.h>

namespace VkVBLModelInternal {

namespace {
// NTSC rates are 1000/1001 of the whole rate; keeping them as fractions stops drift over long timelines.
constexpr qint64 kNtscDenominator = 1001;
struct RatePair
{
    qint64 num;
    qint64 den;
};
constexpr RatePair kProjectRates[] = {
    {24000, kNtscDenominator}, {24, 1}, {25, 1}, {30000, kNtscDenominator}, {30, 1}, {50, 1},
    {60000, kNtscDenominator}, {60, 1},
};
constexpr int kProjectRateCount = int(sizeof(kProjectRates) / sizeof(kProjectRates[0]));
} // namespace

VkProjectSequence::VkProjectSequence(VkProject& project)
    : m_project(project)
    , m_timeline(std::make_unique<VkSequenceTimeline>(project))
{}

VkProjectSequence::~VkProjectSequence() = default;

bool VkProjectSequence::pairOf(int frameRateType, VkFrameRate* rate)
{
    if (frameRateType < 0 || frameRateType >= kProjectRateCount)
        return false;
    rate->num = kProjectRates[frameRateType].num;
    rate->den = kProjectRates[frameRateType].den;
    return true;
}

void VkProjectSequence::readPair(VkFrameRate& rate)
{
    VKVBLMODEL::VkProjectConfig config;
    m_project.getProjectConfig(config);
    // A stored value outside the list still yields a usable rate: the default project's.
    if (!pairOf(config.frameRate, &rate))
        pairOf(VKVBLMODEL::VkProjectConfig().frameRate, &rate);
}

IVkPairTarget* VkProjectSequence::pairTarget()
{
    return m_timeline.get();
}

} // namespace VkVBLModelInternal
