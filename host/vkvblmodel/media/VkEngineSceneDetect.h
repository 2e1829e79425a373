#pragma once

#include <vkvblmodel/IVkScenceDetect.h>

#include <memory>

namespace VkVBLModelInternal {

// The built-in detector: the engine's threaded scene detector, with its notifications passed on one
// for one to the model's observer, on the detector's thread.
class VkEngineSceneDetect final : public IVkScenceDetect
{
public:
    VkEngineSceneDetect();

    void release() override;
    void init(QString filePath, VkFrameRate frameRate) override;
    void setObserver(IVkScenceDetectEventObserver* observer) override;
    // Takes the threshold and the shortest scene from VkConfig at each start, so a changed setting
    // applies to the next run without a new detector.
    bool start() override;
    void stop() override;

private:
    ~VkEngineSceneDetect() override;
    Q_DISABLE_COPY(VkEngineSceneDetect)

    class Private;
    const std::unique_ptr<Private> d;
};

} // namespace VkVBLModelInternal
