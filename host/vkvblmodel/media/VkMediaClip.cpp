#include "VkMediaClip.h"

namespace VkVBLModelInternal {

VkMediaClip::VkMediaClip(const QString& filePath, const VkFrameRate& frameRate, qint64 frameCount)
    : m_filePath(filePath)
    , m_frameRate(frameRate)
    , m_frameCount(frameCount)
{}

VkMediaClip::~VkMediaClip() = default;

long VkMediaClip::AddRef()
{
    return m_references.fetch_add(1) + 1;
}

long VkMediaClip::Release()
{
    const long left = m_references.fetch_sub(1) - 1;
    if (left == 0)
        delete this;
    return left;
}

QString VkMediaClip::GetFilePath() const
{
    return m_filePath;
}

VkFrameRate VkMediaClip::GetFrameRate() const
{
    return m_frameRate;
}

qint64 VkMediaClip::GetFrameCount() const
{
    return m_frameCount;
}

} // namespace VkVBLModelInternal
