// Out-of-line destructors anchor each interface's vtable and type information in this library, so
// that dynamic_cast between the parts of a media item works the same in every module.

#include <vkvblmodel/IVkAbstractMedia.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkAudioMediaInfo.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkTimeline.h>
#include <vkvblmodel/IVkVCGMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

IVkAbstractMedia::~IVkAbstractMedia() = default;
IVkAbstractMediaItem::~IVkAbstractMediaItem() = default;
IVkMediaInfo::~IVkMediaInfo() = default;
IVkVideoMediaInfo::~IVkVideoMediaInfo() = default;
IVkAudioMediaInfo::~IVkAudioMediaInfo() = default;
IVkImageMediaInfo::~IVkImageMediaInfo() = default;
IVkStockMediaItem::~IVkStockMediaItem() = default;
IVkVCGMediaItem::~IVkVCGMediaItem() = default;
IVkClip::~IVkClip() = default;
IVkTimeline::~IVkTimeline() = default;
IVkScenceDetect::~IVkScenceDetect() = default;
IVkScenceDetectEventObserver::IVkScenceDetectEventObserver() = default;

bool IVkScenceDetectEventObserver::onDetectProgress(qint64 /*framesDone*/, qint64 /*frameCount*/)
{
    return true;
}
