#include "VkScenceDetectPresenter.h"

#include "VkScenceDetectPresenter_p.h"

#include <vkcore/VkConvertUtility.h>
#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerPresenter.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkTimeline.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkTimelineSettings.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kThumbBoxWidth = 100;
constexpr int kThumbBoxHeight = 56;

IVkVideoMediaInfo* videoInfoOf(IVkAbstractMediaItem* media)
{
    return media ? dynamic_cast<IVkVideoMediaInfo*>(media->GetMediaInfo()) : nullptr;
}

} // namespace

VkScenceDetectPresenter::Private::Private(VkScenceDetectPresenter* owner, IVkAbstractMediaItem* item)
    : q(owner)
    , media(item)
{
    detector = IVkScenceDetect::createInstance();

    VkTimelineSettings settings;
    if (IVkVideoMediaInfo* video = videoInfoOf(media)) {
        const VkFrameRate rate = video->GetFrameRate();
        settings.frameRateNum = rate.num;
        settings.frameRateDen = rate.den;
        const int w = video->GetWidth();
        const int h = video->GetHeight();
        settings.ratio = QSize(w, h);
        settings.resolution = QSize(w, h);
        // Fit the thumbnail into the 100 x 56 box keeping the clip's shape; a clip without a size
        // keeps the full box.
        if (w > 0 && h > 0) {
            const double boxRatio = double(kThumbBoxWidth) / double(kThumbBoxHeight);
            const double mediaRatio = double(w) / double(h);
            if (boxRatio > mediaRatio)
                thumbWidth = static_cast<int>(kThumbBoxHeight * mediaRatio);
            else
                thumbHeight = static_cast<int>(kThumbBoxWidth / mediaRatio);
        }
    }

    if (detector) {
        detector->init(media ? media->GetFilePath() : QString(),
                       VkFrameRate{settings.frameRateNum, settings.frameRateDen});
        detector->setObserver(this);
    }
    playerPresenter = new VkMediaPlayerPresenter(q, nullptr);

    if (IVkClip* clip = media ? media->GetClip() : nullptr) {
        timeline = IVkTimeline::createSimpleTimeline(clip);
        if (timeline)
            timeline->applySettings(settings);
        clip->Release();
    }
}

VkScenceDetectPresenter::Private::~Private()
{
    acceptResults = false;
    {
        const std::lock_guard<std::mutex> lock(timelineMutex);
        if (timeline)
            IVkTimeline::releaseInstance(timeline);
        timeline = nullptr;
    }
    // Ends a running detection and joins its thread: no notification follows.
    if (detector)
        detector->release();
    detector = nullptr;
}

bool VkScenceDetectPresenter::Private::onDetectBegin()
{
    return true;
}

void VkScenceDetectPresenter::Private::endDetection(bool finished)
{
    // The flag falls before the signal goes out: a receiver, queued or called directly from inside
    // the detector's start(), reads isDetecting() and must find the run over.
    detecting = false;
    playerPresenter->seek(0, false, false);
    if (finished)
        emit q->signalDetectFinished();
    else
        emit q->signalDetectStop();
}

bool VkScenceDetectPresenter::Private::onDetectFinished()
{
    endDetection(true);
    return true;
}

bool VkScenceDetectPresenter::Private::onDetectStopped()
{
    endDetection(false);
    return true;
}

bool VkScenceDetectPresenter::Private::onDetectFailed()
{
    endDetection(false);
    return true;
}

bool VkScenceDetectPresenter::Private::onSceneDetected(qint64 startFrame, qint64 endFrame)
{
    if (!acceptResults)
        return false;
    playerPresenter->seek(startFrame, false, false);
    const QImage thumbnail = thumbnailOf(startFrame);
    emit q->signalDetectResult(startFrame, endFrame, endFrame - startFrame, thumbnail);
    return true;
}

bool VkScenceDetectPresenter::Private::onDetectProgress(qint64 framesDone, qint64 frameCount)
{
    if (!acceptResults)
        return false;
    emit q->signalDetectProgress(framesDone, frameCount);
    return true;
}

QImage VkScenceDetectPresenter::Private::thumbnailOf(qint64 frame)
{
    const std::lock_guard<std::mutex> lock(timelineMutex);
    if (!timeline || thumbWidth <= 0 || thumbHeight <= 0)
        return QImage();
    std::vector<uchar> pixels(static_cast<size_t>(thumbWidth) * static_cast<size_t>(thumbHeight) * 4, 0);
    timeline->renderFrame(frame, thumbWidth, thumbHeight, pixels.data());
    // The wrapper borrows the buffer; copy() gives the signal an image that owns its pixels.
    const QImage view(pixels.data(), thumbWidth, thumbHeight, thumbWidth * 4, QImage::Format_ARGB32);
    return view.copy();
}

VkScenceDetectPresenter::VkScenceDetectPresenter(IVkAbstractMediaItem* media, QObject* parent)
    : QObject(parent)
    , d(new Private(this, media))
{}

VkScenceDetectPresenter::~VkScenceDetectPresenter()
{
    delete d;
}

VkMediaPlayerPresenter* VkScenceDetectPresenter::playerPresenter() const
{
    return d->playerPresenter;
}

void VkScenceDetectPresenter::openMedia()
{
    d->playerPresenter->openMedia(d->media, VKVBLMODEL::VkMediaSource_Library, 0);
    d->mediaLength = d->playerPresenter->mediaLength();
}

void VkScenceDetectPresenter::startDetect()
{
    d->playerPresenter->pause();
    if (IVkMediaPlayer* player = d->playerPresenter->mediaPlayer())
        player->setPlayRange(0, d->mediaLength - 1);
    if (!d->detector)
        return;
    // The flags go up before the detector's thread exists: a short clip can report its first scene,
    // or even its end, before start() returns. A refused start puts them back as they were.
    const bool wasAccepting = d->acceptResults.exchange(true);
    const bool wasDetecting = d->detecting.exchange(true);
    if (!d->detector->start()) {
        d->acceptResults = wasAccepting;
        d->detecting = wasDetecting;
        return;
    }
    emit signalDetectStart();
}

void VkScenceDetectPresenter::stopDetect()
{
    d->acceptResults = false;
    if (d->detector)
        d->detector->stop();
}

bool VkScenceDetectPresenter::isDetecting() const
{
    return d->detecting;
}

qint64 VkScenceDetectPresenter::mediaLength() const
{
    return d->mediaLength;
}

QString VkScenceDetectPresenter::frameToText(qint64 frame) const
{
    // Without video information there is no frame rate: the text is that of frame 0 at rate 0.
    IVkVideoMediaInfo* video = videoInfoOf(d->media);
    const VkFrameRate rate = video ? video->GetFrameRate() : VkFrameRate{0, 1};
    const double fps = rate.den != 0 ? double(rate.num) / double(rate.den) : 0.0;
    return VkConvertUtility::frame2String(static_cast<int>(frame), static_cast<float>(fps));
}
