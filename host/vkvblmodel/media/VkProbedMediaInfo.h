#pragma once

#include <vkmedia/VkMediaProbeResult.h>
#include <vkvblmodel/IVkMediaInfo.h>

#include <QString>

namespace VkVBLModelInternal {

// The facts every probed file answers, kept as the engine read them. The kinds of media derive from
// it together with their own interface parts, so that a failed dynamic_cast tells the caller that
// the file has no such part.
class VkProbedMediaInfo : public virtual IVkMediaInfo
{
public:
    explicit VkProbedMediaInfo(const VkMediaProbeResult& facts);
    ~VkProbedMediaInfo() override;

    int GetFrameCount() const override;
    bool HasNoDuration() const override;
    int GetStreamFlags() const override;
    VkFrameRate GetFrameRate() const override;

    const VkMediaProbeResult& facts() const;

    // Engine figures are 64-bit; the interface answers int, so large ones stop at the int range.
    static int clampToInt(qint64 value);
    static QString text(const std::string& engineText);

protected:
    // Answers of the audio part, shared by every kind that has one.
    int audioSampleRate(int streamIndex) const;
    int audioSampleBits(int streamIndex) const;
    int audioChannels(int streamIndex) const;
    QString audioCodecName(int streamIndex) const;
    int audioBitRate(int streamIndex) const;

private:
    Q_DISABLE_COPY(VkProbedMediaInfo)

    const VkMediaProbeResult m_facts;
};

} // namespace VkVBLModelInternal
