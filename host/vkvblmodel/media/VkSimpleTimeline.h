#pragma once

#include <vkvblmodel/IVkTimeline.h>

#include <memory>

namespace VkVBLModelInternal {

// A timeline with a single clip from its first frame on, drawn by the engine's frame renderer.
class VkSimpleTimeline final : public IVkTimeline
{
public:
    // Null when the clip's file has no picture the engine can decode.
    static VkSimpleTimeline* create(IVkClip* clip);

    bool renderFrame(qint64 frame, int width, int height, uchar* pixels) override;
    void applySettings(const VkTimelineSettings& settings) override;

    // The clip's frame shown at timeline frame `frame`: the last clip frame that has begun by then.
    qint64 clipFrameAt(qint64 frame) const;

    static void destroy(VkSimpleTimeline* timeline);

private:
    explicit VkSimpleTimeline(IVkClip* clip);
    ~VkSimpleTimeline() override;
    Q_DISABLE_COPY(VkSimpleTimeline)

    class Private;
    const std::unique_ptr<Private> d;
};

} // namespace VkVBLModelInternal
