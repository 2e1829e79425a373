#include "VkSceneDetector.h"

#include <vkcore/VkError.h>

#include "VkAnalysisPlane.h"
#include "VkCutScorer.h"
#include "VkDecodedFrameQueue.h"
#include "VkFrameCache.h"
#include "VkImageScaler.h"
#include "VkMediaFileKey.h"
#include "VkPacketIndex.h"
#include "VkPictureOrientation.h"
#include "VkPlaneSampler.h"
#include "VkSceneObserver.h"
#include "VkVideoSource.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace {

// 4:2:0 pictures with 8-bit planes, the common case, are sampled directly; others go through swscale.
bool isSampledDirectly(int format)
{
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

// The analysis plane is about an eighth of the picture, but never so small that shapes vanish.
constexpr int kAnalysisDivisor = 8;
constexpr int kMinAnalysisWidth = 48;
constexpr int kMinAnalysisHeight = 16;
// Largest decoder reduction (1/8) for codecs that can decode at a reduced size.
constexpr int kMaxLowres = 3;
// The kept first frame of a scene fits this box: large enough for list thumbnails, small enough to
// keep dozens.
constexpr int kThumbMaxWidth = 256;
constexpr int kThumbMaxHeight = 144;
// Progress goes out about once per percent of the clip, and at least this often, so that a long clip
// (one percent of two hours is over a minute of footage) never looks stalled.
constexpr int kProgressSteps = 100;
constexpr std::chrono::milliseconds kProgressInterval{250};
// Untagged pictures at least this tall are HD (BT.709), as the thumbnail scaler takes them.
constexpr int kHdMinimumHeight = 720;
// Decoded frames waiting for the analysis: enough to keep the decoder busy while one frame is
// analysed, few enough that memory stays small.
constexpr size_t kQueuedFrames = 3;

// Runs the decoding on a thread of its own, feeding `queue`, so that the decoder always has the next
// packets while the detector's thread analyses. The destructor stops it and waits for it: it is
// gone before anything it used is freed.
class DecodingThread
{
public:
    DecodingThread(vkmedia::VkVideoSource& source, vkmedia::VkDecodedFrameQueue& queue)
        : m_queue(queue)
        , m_thread([&source, &queue] {
            for (;;) {
                vkmedia::FramePtr frame = vkmedia::makeFrame();
                const int rc = frame ? source.nextFrame(frame.get()) : AVERROR(ENOMEM);
                if (rc < 0) {
                    queue.push({nullptr, rc});
                    return;
                }
                if (!queue.push({std::move(frame), 0}))
                    return;
            }
        })
    {}
    ~DecodingThread()
    {
        m_queue.close();
        m_thread.join();
    }
    DecodingThread(const DecodingThread&) = delete;
    DecodingThread& operator=(const DecodingThread&) = delete;

private:
    vkmedia::VkDecodedFrameQueue& m_queue;
    std::thread m_thread;
};

int even(int value)
{
    return std::max(2, value & ~1);
}

} // namespace

class VkSceneDetector::Private
{
public:
    std::string path;
    VkRational frameRate{25, 1};
    Params params;
    std::atomic<VkSceneObserver*> observer{nullptr};

    std::atomic<bool> stopRequested{false};
    std::atomic<bool> running{false};
    // The first notifications can run before start() has stored the thread, and a release from one
    // of them (handed to another thread) must still find it: the handle is only touched under this
    // lock, which the detector's own thread never takes.
    std::mutex workerMutex;
    std::thread worker;
    std::unique_ptr<vkmedia::VkVideoSource> source;
    VkMediaFileKey key;

    void run();
    void runDetection(VkSceneObserver* obs);
    void joinWorker();
};

void VkSceneDetector::Private::joinWorker()
{
    std::thread finished;
    {
        const std::lock_guard<std::mutex> lock(workerMutex);
        if (worker.joinable() && worker.get_id() != std::this_thread::get_id())
            finished = std::move(worker);
    }
    if (finished.joinable())
        finished.join();
}

void VkSceneDetector::Private::run()
{
    VkSceneObserver* obs = observer.load();
    runDetection(obs);
    source.reset();
    running.store(false);
}

// TODO(merge): drop these NOLINTs when runDetection is split into its steps, and widen
// recentCapacity's sum after its cast.
// NOLINTBEGIN(bugprone-misplaced-widening-cast)
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void VkSceneDetector::Private::runDetection(VkSceneObserver* obs)
{
    // The decoding thread goes before the queue it feeds, and before the last notification: once the
    // observer hears of the end, nothing of this detection runs any more.
    vkmedia::VkDecodedFrameQueue queue(kQueuedFrames);
    std::optional<DecodingThread> decoding;
    auto notifyEnd = [&](bool failed, const std::string& message) {
        decoding.reset();
        if (!obs)
            return;
        if (stopRequested.load())
            obs->sceneDetectStopped();
        else if (failed)
            obs->sceneDetectFailed(message);
        else
            obs->sceneDetectFinished();
    };
    if (obs)
        obs->sceneDetectBegin();

    std::string error;
    const auto index = VkPacketIndex::get(path, &stopRequested, &error);
    if (!index) {
        notifyEnd(true, error);
        return;
    }
    const int64_t total = index->frameCount();

    const int sourceWidth = source->stream()->codecpar->width;
    const int sourceHeight = source->stream()->codecpar->height;
    const int analysisWidth = even(std::max(kMinAnalysisWidth, sourceWidth / kAnalysisDivisor));
    const int analysisHeight =
        even(std::max(kMinAnalysisHeight,
                      static_cast<int>(int64_t(analysisWidth) * sourceHeight / std::max(1, sourceWidth))));
    // Thumbnails show the picture as displayed: turned as the display matrix says.
    const vkmedia::VkPictureOrientation orientation =
        vkmedia::VkPictureOrientation::ofStream(source->stream());
    const int shownWidth = orientation.swapsSides() ? sourceHeight : sourceWidth;
    const int shownHeight = orientation.swapsSides() ? sourceWidth : sourceHeight;
    vkmedia::FramePtr turned = vkmedia::makeFrame();
    int thumbWidth = kThumbMaxWidth;
    int thumbHeight = static_cast<int>(int64_t(kThumbMaxWidth) * shownHeight / std::max(1, shownWidth));
    if (thumbHeight > kThumbMaxHeight) {
        thumbHeight = kThumbMaxHeight;
        thumbWidth = static_cast<int>(int64_t(kThumbMaxHeight) * shownWidth / std::max(1, shownHeight));
    }
    thumbWidth = std::max(1, thumbWidth);
    thumbHeight = std::max(1, thumbHeight);

    vkmedia::VkCutScorer scorer(params.threshold, params.minSceneLength, frameRate.toDouble());
    vkmedia::VkImageScaler thumbScaler;
    vkmedia::SwsPtr analysisSws;
    std::optional<vkmedia::VkPlaneSampler> lumaSampler;
    std::optional<vkmedia::VkPlaneSampler> chromaSampler;
    // Frames still waiting for the scorer's verdict, so that a confirmed cut can keep its picture.
    std::deque<std::pair<int64_t, vkmedia::FramePtr>> recent;
    const size_t recentCapacity = static_cast<size_t>(vkmedia::VkCutScorer::lookahead() + 2);
    // The colours of the decoded pictures, for a thumbnail made from an analysis plane.
    AVColorSpace colorspace = AVCOL_SPC_UNSPECIFIED;
    AVColorRange colorRange = AVCOL_RANGE_UNSPECIFIED;

    auto keepThumbnail = [&](int64_t number) {
        auto image = std::make_shared<VkFrameImage>();
        image->width = thumbWidth;
        image->height = thumbHeight;
        image->pixels.resize(static_cast<size_t>(thumbWidth) * static_cast<size_t>(thumbHeight) * 4);
        // Scales a picture into the thumbnail as displayed; one that cannot be turned here is left
        // to the renderer.
        auto toThumbnail = [&](const AVFrame* picture) {
            if (!orientation.isIdentity()) {
                if (!orientation.apply(picture, turned.get()))
                    return false;
                picture = turned.get();
            }
            return thumbScaler.frameToArgb(picture, thumbWidth, thumbHeight, image->pixels.data());
        };
        for (const auto& entry : recent) {
            if (entry.first != number)
                continue;
            if (toThumbnail(entry.second.get()))
                VkFrameCache::instance().put(key, number, std::move(image));
            return;
        }
        // The middle of a gradual transition is found long after it was decoded; its analysis plane
        // (an eighth of the picture, about the thumbnail's size) stands in for it.
        const vkmedia::VkAnalysisPlane* plane = scorer.plane(number);
        vkmedia::FramePtr frame = plane ? vkmedia::makeFrame() : nullptr;
        if (!frame)
            return;
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = plane->width;
        frame->height = plane->height;
        frame->colorspace = colorspace;
        frame->color_range = colorRange;
        frame->data[0] = const_cast<uint8_t*>(plane->y.data());
        frame->data[1] = const_cast<uint8_t*>(plane->u.data());
        frame->data[2] = const_cast<uint8_t*>(plane->v.data());
        frame->linesize[0] = plane->width;
        frame->linesize[1] = frame->linesize[2] = plane->width / 2;
        if (toThumbnail(frame.get()))
            VkFrameCache::instance().put(key, number, std::move(image));
    };

    int64_t sceneStart = 0;
    int64_t lastNumber = -1;
    const int64_t progressStep = std::max<int64_t>(1, total / kProgressSteps);
    int64_t nextProgressFrame = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    std::vector<VkSceneTransition> cuts;
    // Sends the scenes that the confirmed boundaries close; false once a stop has been asked for, so
    // that no scene follows the request.
    auto sendScenes = [&]() {
        for (const VkSceneTransition& cut : cuts) {
            if (stopRequested.load())
                return false;
            if (obs) {
                obs->sceneTransition(cut);
                obs->sceneDetected(sceneStart, cut.frame);
            }
            sceneStart = cut.frame;
            keepThumbnail(cut.frame);
        }
        cuts.clear();
        return true;
    };

    decoding.emplace(*source, queue);
    for (;;) {
        if (stopRequested.load()) {
            notifyEnd(false, std::string());
            return;
        }
        vkmedia::VkDecodedFrameQueue::Item item = queue.pop();
        const int rc = item.result;
        if (rc == AVERROR_EOF)
            break;
        if (rc == AVERROR_EXIT) {
            notifyEnd(false, std::string());
            return;
        }
        if (rc < 0) {
            notifyEnd(true, "Decoding failed at frame " + std::to_string(lastNumber + 1) + " of " + path +
                                ": " + vkmedia::errorText(rc));
            return;
        }
        vkmedia::FramePtr frame = std::move(item.frame);
        // Frame N is the N-th picture the decoder hands out, as FFmpeg numbers them; timestamps
        // would misnumber streams that repeat or lack them.
        const int64_t number = lastNumber + 1;

        vkmedia::VkAnalysisPlane plane;
        plane.width = analysisWidth;
        plane.height = analysisHeight;
        plane.y.resize(static_cast<size_t>(analysisWidth) * static_cast<size_t>(analysisHeight));
        plane.u.resize(static_cast<size_t>(analysisWidth / 2) * static_cast<size_t>(analysisHeight / 2));
        plane.v.resize(plane.u.size());
        if (isSampledDirectly(frame->format)) {
            // A stream may change its picture size midway.
            if (!lumaSampler || lumaSampler->srcWidth() != frame->width ||
                lumaSampler->srcHeight() != frame->height) {
                lumaSampler.emplace(frame->width, frame->height, analysisWidth, analysisHeight);
                chromaSampler.emplace((frame->width + 1) / 2, (frame->height + 1) / 2, analysisWidth / 2,
                                      analysisHeight / 2);
            }
            lumaSampler->sample(frame->data[0], frame->linesize[0], plane.y.data());
            chromaSampler->sample(frame->data[1], frame->linesize[1], plane.u.data());
            chromaSampler->sample(frame->data[2], frame->linesize[2], plane.v.data());
        } else {
            analysisSws.reset(sws_getCachedContext(
                analysisSws.release(), frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                analysisWidth, analysisHeight, AV_PIX_FMT_YUV420P, SWS_AREA, nullptr, nullptr, nullptr));
            if (!analysisSws) {
                notifyEnd(true, "Cannot convert the pictures of " + path);
                return;
            }
            uint8_t* dst[4] = {plane.y.data(), plane.u.data(), plane.v.data(), nullptr};
            int dstStride[4] = {analysisWidth, analysisWidth / 2, analysisWidth / 2, 0};
            sws_scale(analysisSws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
        }

        // Untagged pictures are read as players read them: by their own height, not the plane's.
        colorspace = frame->colorspace != AVCOL_SPC_UNSPECIFIED ? frame->colorspace
                     : frame->height >= kHdMinimumHeight        ? AVCOL_SPC_BT709
                                                                : AVCOL_SPC_SMPTE170M;
        colorRange = frame->format == AV_PIX_FMT_YUVJ420P ? AVCOL_RANGE_JPEG : frame->color_range;
        recent.emplace_back(number, std::move(frame));
        while (recent.size() > recentCapacity)
            recent.pop_front();

        if (lastNumber < 0) {
            sceneStart = number;
            keepThumbnail(number);
        }
        lastNumber = number;
        scorer.push(number, std::move(plane), cuts);
        if (!sendScenes()) {
            notifyEnd(false, std::string());
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (obs && (number >= nextProgressFrame || now - lastProgress >= kProgressInterval)) {
            obs->sceneProgress(number + 1, total);
            nextProgressFrame = number + progressStep;
            lastProgress = now;
        }
    }

    if (lastNumber < 0) {
        notifyEnd(true, "No frame of " + path + " could be decoded");
        return;
    }
    // The index counted the frames when the run began: ending short of them means that reading
    // failed, or that the file was cut while it was read. The last scene would end at frames that
    // were never analysed.
    if (lastNumber + 1 < total && !stopRequested.load()) {
        notifyEnd(true, "Reading " + path + " ended at frame " + std::to_string(lastNumber + 1) + " of " +
                            std::to_string(total) + ": the file is damaged or was changed while it was read");
        return;
    }
    scorer.finish(cuts);
    if (!sendScenes()) {
        notifyEnd(false, std::string());
        return;
    }
    if (stopRequested.load()) {
        notifyEnd(false, std::string());
        return;
    }
    const int64_t end = std::max(total, lastNumber + 1);
    if (obs) {
        obs->sceneDetected(sceneStart, end);
        obs->sceneProgress(end, std::max(total, end));
    }
    notifyEnd(false, std::string());
}
// NOLINTEND(bugprone-misplaced-widening-cast)

VkSceneDetector::VkSceneDetector()
    : d(std::make_unique<Private>())
{}

VkSceneDetector::~VkSceneDetector()
{
    release();
}

void VkSceneDetector::init(const std::string& path, VkRational frameRate)
{
    d->path = path;
    if (frameRate.isValid())
        d->frameRate = frameRate;
}

void VkSceneDetector::setParams(const Params& params)
{
    d->params = params;
}

void VkSceneDetector::setObserver(VkSceneObserver* observer)
{
    d->observer.store(observer);
}

const std::string& VkSceneDetector::path() const
{
    return d->path;
}

VkRational VkSceneDetector::frameRate() const
{
    return d->frameRate;
}

VkSceneDetector::Params VkSceneDetector::params() const
{
    return d->params;
}

bool VkSceneDetector::start(std::string* error)
{
    if (d->running.load())
        return VkError::fail(error, "A detection is already running");
    bool onOwnThread = false;
    {
        const std::lock_guard<std::mutex> lock(d->workerMutex);
        onOwnThread = d->worker.joinable() && d->worker.get_id() == std::this_thread::get_id();
    }
    if (onOwnThread)
        return VkError::fail(error, "A detection cannot be restarted from its own notifications");
    // The previous run has sent its last notification; its thread only has to be collected.
    d->joinWorker();
    if (d->path.empty())
        return VkError::fail(error, "No file to analyse");
    if (!VkMediaFileKey::read(d->path, d->key, error))
        return false;
    d->stopRequested.store(false);
    auto source = std::make_unique<vkmedia::VkVideoSource>();
    vkmedia::VkVideoSource::Options options;
    options.fastAnalysis = true;
    options.maxLowres = kMaxLowres;
    // FFmpeg's own choice: a thread per core and one more, bounded as FFmpeg bounds it.
    options.threads = 0;
    options.cancel = &d->stopRequested;
    if (!source->open(d->path, options, error))
        return false;
    d->source = std::move(source);
    d->running.store(true);
    const std::lock_guard<std::mutex> lock(d->workerMutex);
    d->worker = std::thread([this] { d->run(); });
    return true;
}

void VkSceneDetector::stop()
{
    d->stopRequested.store(true);
}

void VkSceneDetector::release()
{
    d->stopRequested.store(true);
    d->joinWorker();
}

bool VkSceneDetector::isRunning() const
{
    return d->running.load();
}
