#include <vkvblmodel/IVkTimeline.h>

#include "VkSimpleTimeline.h"

IVkTimeline* IVkTimeline::createSimpleTimeline(IVkClip* clip)
{
    return VkVBLModelInternal::VkSimpleTimeline::create(clip);
}

void IVkTimeline::releaseInstance(IVkTimeline* timeline)
{
    // Every timeline this library hands out is a simple one; anything else was never ours to end.
    VkVBLModelInternal::VkSimpleTimeline::destroy(
        dynamic_cast<VkVBLModelInternal::VkSimpleTimeline*>(timeline));
}
