#pragma once

#include <vkvblmodel/IVkClip.h>

#include <atomic>

namespace VkVBLModelInternal {

// The whole of one media file as a clip. Born with one reference, which belongs to its creator.
class VkMediaClip final : public IVkClip
{
public:
    VkMediaClip(const QString& filePath, const VkFrameRate& frameRate, qint64 frameCount);

    long AddRef() override;
    long Release() override;

    QString GetFilePath() const override;
    VkFrameRate GetFrameRate() const override;
    qint64 GetFrameCount() const override;

private:
    ~VkMediaClip() override;
    Q_DISABLE_COPY(VkMediaClip)

    std::atomic<long> m_references{1};
    const QString m_filePath;
    const VkFrameRate m_frameRate;
    const qint64 m_frameCount;
};

} // namespace VkVBLModelInternal
