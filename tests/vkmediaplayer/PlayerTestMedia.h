#pragma once

// A media item over the engine's probe for the player tests, and readers for the frame numbers that
// the generated "numbered" clips carry in their pixels.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkMediaProbe.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

#include <QImage>
#include <QList>
#include <QObject>

#include <memory>

namespace PlayerTestMedia {

// Facts every kind of media answers; enough for an item whose file has no video.
class ProbedInfo : public virtual IVkMediaInfo
{
public:
    explicit ProbedInfo(const VkMediaProbeResult& facts)
        : m_facts(facts)
    {}

    int GetFrameCount() const override { return int(m_facts.frameCount); }
    bool HasNoDuration() const override { return m_facts.hasNoDuration; }
    int GetStreamFlags() const override { return m_facts.streamFlags; }
    VkFrameRate GetFrameRate() const override
    {
        VkFrameRate rate;
        if (m_facts.frameRate.isValid()) {
            rate.num = m_facts.frameRate.num;
            rate.den = m_facts.frameRate.den;
        }
        return rate;
    }

protected:
    const VkMediaProbeResult m_facts;
};

class ProbedVideoInfo : public ProbedInfo, public IVkVideoMediaInfo
{
public:
    using ProbedInfo::ProbedInfo;

    int GetHeight() const override { return m_facts.height; }
    int GetWidth() const override { return m_facts.width; }
    QString GetCodecName() const override { return QString::fromStdString(m_facts.videoCodecName); }
    int GetBitRate() const override { return int(m_facts.videoBitRate); }
    QString GetTransferCharacteristics() const override
    {
        return QString::fromStdString(m_facts.transferCharacteristics);
    }
};

// A library item of one probed file. Still images get plain media information (no video part), as
// the model gives them.
class ProbedItem : public IVkAbstractMediaItem
{
public:
    static std::unique_ptr<ProbedItem> open(const char* name)
    {
        VkMediaProbeResult facts;
        std::string error;
        if (!VkMediaProbe::probe(VkMediaTestFiles::path(name), facts, &error))
            return nullptr;
        return std::unique_ptr<ProbedItem>(new ProbedItem(facts));
    }

    int GetItemType() const override { return ItemType_Video; }
    int GetStockSite() const override { return StockSite_None; }
    int GetStockSource() const override { return 0; }
    QString GetName() const override { return m_path.section(QLatin1Char('/'), -1); }
    bool IsRenameEnabled() const override { return false; }
    IVkMediaInfo* GetMediaInfo() const override { return m_info.get(); }
    int GetAudioStreamIndex() const override { return -1; }
    IVkClip* GetClip() const override { return nullptr; }
    QString GetSourceFilePath() const override { return m_path; }
    QString GetFilePath() const override { return m_path; }
    QString GetAlternateName() const override { return QString(); }
    bool IsStockMedia() const override { return false; }
    bool IsVCGMedia() const override { return false; }
    void SetName(const QString&) override {}

private:
    explicit ProbedItem(const VkMediaProbeResult& facts)
        : m_path(QString::fromStdString(facts.path))
    {
        if (facts.streamFlags & VkMediaProbeResult::Video)
            m_info = std::make_unique<ProbedVideoInfo>(facts);
        else
            m_info = std::make_unique<ProbedInfo>(facts);
    }

    const QString m_path;
    std::unique_ptr<IVkMediaInfo> m_info;
};

// Bit k of the frame number is the brightness at the middle of column k (each an eighth of the
// width); -1 for a null image.
inline int numberIn(const QImage& image)
{
    constexpr int kBits = 8;
    if (image.isNull())
        return -1;
    int number = 0;
    for (int k = 0; k < kBits; ++k) {
        const int x = (2 * k + 1) * image.width() / (2 * kBits);
        if (qGreen(image.pixel(x, image.height() / 2)) > 128)
            number |= 1 << k;
    }
    return number;
}

// Records every frame a presenter emits: the number it reports and the number its pixels show.
class FrameLog : public QObject
{
public:
    explicit FrameLog(VkMediaPlayerPresenter* presenter)
    {
        connect(presenter, &VkMediaPlayerPresenter::sigFrameReady, this,
                [this](const QImage& image, qlonglong n) {
                    reported << n;
                    shown << numberIn(image);
                    sizes << image.size();
                });
    }

    void clear()
    {
        reported.clear();
        shown.clear();
        sizes.clear();
    }

    QList<qlonglong> reported;
    QList<int> shown;
    QList<QSize> sizes;
};

} // namespace PlayerTestMedia
