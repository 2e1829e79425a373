#include <vkvblmodel/VkMediaItemFactory.h>

#include <vkcore/VkError.h>

#include "VkAudioFileMediaInfo.h"
#include "VkImageFileMediaInfo.h"
#include "VkMediaItem.h"
#include "VkMediaPaths.h"
#include "VkMediaSidecar.h"
#include "VkStockMediaItem.h"
#include "VkVCGMediaItem.h"
#include "VkVideoFileMediaInfo.h"

#include <vkmedia/VkMediaProbe.h>

#include <QCoreApplication>
#include <QDir>

using namespace VkVBLModelInternal;

namespace {
std::unique_ptr<IVkMediaInfo> infoFor(const VkMediaProbeResult& facts)
{
    if (facts.streamFlags & VkMediaProbeResult::Image)
        return std::make_unique<VkImageFileMediaInfo>(facts);
    if (facts.streamFlags & VkMediaProbeResult::Video)
        return std::make_unique<VkVideoFileMediaInfo>(facts);
    return std::make_unique<VkAudioFileMediaInfo>(facts);
}
} // namespace

std::unique_ptr<IVkAbstractMediaItem> VkMediaItemFactory::create(const QString& path, QString* error)
{
    if (path.trimmed().isEmpty()) {
        VkError::set(error, QCoreApplication::translate("VkMediaItemFactory", "No media file was given."));
        return nullptr;
    }
    const QString filePath = VkMediaPaths::canonical(path);
    VkMediaProbeResult facts;
    std::string reason;
    if (!VkMediaProbe::probe(VkMediaPaths::toEngine(filePath), facts, &reason)) {
        VkError::set(error, QCoreApplication::translate("VkMediaItemFactory",
                                                        "%1 is not a video, audio or image file that can be "
                                                        "opened: %2")
                                .arg(QDir::toNativeSeparators(filePath), VkMediaPaths::fromEngine(reason)));
        return nullptr;
    }
    const VkMediaSidecar sidecar = VkMediaSidecar::read(filePath);
    // A record naming both origins is read as a stock download: the site's credit must stay visible.
    if (sidecar.stock)
        return std::make_unique<VkStockMediaItem>(filePath, facts, infoFor(facts), sidecar);
    if (sidecar.library)
        return std::make_unique<VkVCGMediaItem>(filePath, facts, infoFor(facts), sidecar);
    return std::make_unique<VkMediaItem>(filePath, facts, infoFor(facts), sidecar);
}
