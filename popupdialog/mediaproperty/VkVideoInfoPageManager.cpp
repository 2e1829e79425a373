#include "VkVideoInfoPageManager.h"

#include "VkCommonInfoPageManager.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

#include <array>

namespace {

constexpr int kBitsPerKilobit = 1000;
constexpr int kBitRateDecimals = 2;

// Pixabay's quality levels that carry a picture size, tried from the smallest up; the first of
// them is asked again when none is available.
constexpr std::array<int, 3> kStockQualityLevels{3, 4, 5};

const IVkVideoMediaInfo* videoInfoOf(const IVkAbstractMediaItem* item)
{
    return item ? dynamic_cast<const IVkVideoMediaInfo*>(item->GetMediaInfo()) : nullptr;
}

QString sizeText(int width, int height)
{
    return QStringLiteral("%1x%2").arg(width).arg(height);
}

} // namespace

VkVideoInfoPageManager::VkVideoInfoPageManager(IVkAbstractMediaItem* item, QObject* parent)
    : QObject(parent)
    , m_item(item)
{}

VkVideoInfoPageManager::~VkVideoInfoPageManager() = default;

QString VkVideoInfoPageManager::GetCodecName() const
{
    const IVkVideoMediaInfo* video = videoInfoOf(m_item);
    const QString codec = video ? video->GetCodecName() : QString();
    return codec.isEmpty() ? tr("None", "shown where a value is unknown") : codec;
}

QString VkVideoInfoPageManager::GetResolution() const
{
    if (m_item && m_item->GetStockSite() == IVkAbstractMedia::StockSite_Pixabay)
        return StockResolution(m_item);
    const IVkVideoMediaInfo* video = videoInfoOf(m_item);
    return video ? sizeText(video->GetWidth(), video->GetHeight()) : sizeText(0, 0);
}

QString VkVideoInfoPageManager::GetBitRate() const
{
    const IVkVideoMediaInfo* video = videoInfoOf(m_item);
    return tr("%1 kbps").arg(FormatBitRate(video ? video->GetBitRate() : 0));
}

float VkVideoInfoPageManager::GetFrameRate() const
{
    const IVkMediaInfo* info = m_item ? m_item->GetMediaInfo() : nullptr;
    if (!info || !(info->GetStreamFlags() & IVkMediaInfo::StreamFlag_Video))
        return 0.0f;
    const VkFrameRate rate = info->GetFrameRate();
    return static_cast<float>(VkCommonInfoPageManager::FrameRateToDouble(rate.num, rate.den));
}

QString VkVideoInfoPageManager::GetTransferCharacteristics() const
{
    const IVkVideoMediaInfo* video = videoInfoOf(m_item);
    return video ? video->GetTransferCharacteristics() : QString();
}

QString VkVideoInfoPageManager::FormatBitRate(int bitsPerSecond)
{
    if (bitsPerSecond >= kBitsPerKilobit)
        return QString::number(bitsPerSecond / kBitsPerKilobit);
    return QString::number(double(bitsPerSecond) / kBitsPerKilobit, 'f', kBitRateDecimals);
}

QString VkVideoInfoPageManager::StockResolution(const IVkAbstractMediaItem* item)
{
    const auto* stock = dynamic_cast<const IVkStockMediaItem*>(item);
    if (!stock)
        return tr("None", "shown where a value is unknown");
    int width = 0;
    int height = 0;
    for (const int level : kStockQualityLevels) {
        if (!stock->IsQualityUnavailable(level)) {
            stock->GetQualityResolution(level, width, height);
            break;
        }
    }
    if (width == 0 && height == 0)
        stock->GetQualityResolution(kStockQualityLevels.front(), width, height);
    return sizeText(width, height);
}
