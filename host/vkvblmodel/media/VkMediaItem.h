#pragma once

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkMediaInfo.h>

#include <QString>

#include <memory>

struct VkMediaProbeResult;

namespace VkVBLModelInternal {

struct VkMediaSidecar;

// A file of the media library: its probed information, its names and where it came from. Stock and
// library assets extend it with their own interface parts.
class VkMediaItem : public IVkAbstractMediaItem
{
public:
    // `filePath` is canonical (VkMediaPaths); `info` is the information made for the probed facts.
    VkMediaItem(const QString& filePath, const VkMediaProbeResult& facts, std::unique_ptr<IVkMediaInfo> info,
                const VkMediaSidecar& sidecar);
    ~VkMediaItem() override;

    int GetItemType() const override;
    int GetStockSite() const override;
    int GetStockSource() const override;
    QString GetName() const override;
    bool IsRenameEnabled() const override;

    IVkMediaInfo* GetMediaInfo() const override;
    int GetAudioStreamIndex() const override;
    IVkClip* GetClip() const override;
    QString GetSourceFilePath() const override;
    QString GetFilePath() const override;
    QString GetAlternateName() const override;
    bool IsStockMedia() const override;
    bool IsVCGMedia() const override;

    void SetName(const QString& name) override;

private:
    Q_DISABLE_COPY(VkMediaItem)

    class Private;
    const std::unique_ptr<Private> d;
};

} // namespace VkVBLModelInternal
