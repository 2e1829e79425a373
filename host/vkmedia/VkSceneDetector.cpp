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
// Below this many pixels (320 x 180) a picture decodes faster on one thread than on a frame thread
// per core: with H.264 on two cores, a 128 x 72 clip with a cut every 2 s took 4.0 to 5.0 s on one
// thread against 6.5 to 7.4 s on two, 256 x 144 0.55 s against 0.67 s; from 320 x 180 up two win.
// The detector's own thread still analyses beside the decoding one.
constexpr int64_t kSingleDecoderThreadBelowPixels = int64_t(320) * 180;
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

// Counts the clip's frames (a demux pass, no decoding) on a thread of its own while the decoding
// runs, instead of before it: the count is only needed for the progress and for the check at the end
// that every frame was analysed. The destructor cancels the pass and waits for it.
class IndexingThread
{
public:
    explicit IndexingThread(const std::string& path)
        : m_thread([this, path] {
            std::string error;
            auto index = VkPacketIndex::get(path, &m_cancel, &error);
            m_error = std::move(error);
            m_index = std::move(index);
            m_frames.store(m_index ? m_index->frameCount() : 0);
        })
    {}
    ~IndexingThread() { cancel(); }
    IndexingThread(const IndexingThread&) = delete;
    IndexingThread& operator=(const IndexingThread&) = delete;

    // The frame count once the pass is done, else -1; for any thread.
    int64_t framesIfKnown() const { return m_frames.load(); }
    // Waits for the pass: its index, or null with the reason.
    std::shared_ptr<const VkPacketIndex> wait(std::string* error)
    {
        if (m_thread.joinable())
            m_thread.join();
        if (!m_index && error)
            *error = m_error;
        return m_index;
    }
    void cancel()
    {
        m_cancel.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::atomic<bool> m_cancel{false};
    std::atomic<int64_t> m_frames{-1};
    std::shared_ptr<const VkPacketIndex> m_index;
    std::string m_error;
    // Started last, when everything it writes exists.
    std::thread m_thread;
};

// The frame count the container declares, or reckons from its duration; 0 when it says neither. It
// stands in for the exact count until the indexing thread has it.
int64_t declaredFrames(const AVFormatContext* format, const AVStream* stream)
{
    if (stream->nb_frames > 0)
        return stream->nb_frames;
    const AVRational rate = stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return 0;
    if (stream->duration > 0)
        return av_rescale_q(stream->duration, stream->time_base, av_inv_q(rate));
    if (format->duration > 0)
        return av_rescale_q(format->duration, AVRational{1, AV_TIME_BASE}, av_inv_q(rate));
    return 0;
}

int even(int value)
{
    return std::max(2, value & ~1);
}

struct AnalysisSize
{
    int width = 0;
    int height = 0;
};

// The analysis plane keeps the picture's proportions at about an eighth of its width.
AnalysisSize analysisSizeOf(int sourceWidth, int sourceHeight)
{
    AnalysisSize size;
    size.width = even(std::max(kMinAnalysisWidth, sourceWidth / kAnalysisDivisor));
    size.height = even(std::max(
        kMinAnalysisHeight, static_cast<int>(int64_t(size.width) * sourceHeight / std::max(1, sourceWidth))));
    return size;
}

struct ThumbnailSize
{
    int width = kThumbMaxWidth;
    int height = kThumbMaxHeight;
};

// The largest size of the displayed picture's proportions that fits the thumbnail box.
ThumbnailSize thumbnailSizeOf(int shownWidth, int shownHeight)
{
    ThumbnailSize size;
    size.height = static_cast<int>(int64_t(kThumbMaxWidth) * shownHeight / std::max(1, shownWidth));
    if (size.height > kThumbMaxHeight) {
        size.height = kThumbMaxHeight;
        size.width = static_cast<int>(int64_t(kThumbMaxHeight) * shownWidth / std::max(1, shownHeight));
    }
    size.width = std::max(1, size.width);
    size.height = std::max(1, size.height);
    return size;
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

    class Pass;

    void run();
    void joinWorker();
};

// One detection over the whole clip, on the detector's thread: the state that lives as long as the
// pass, and its steps. Every step that ends the pass sends the last notification itself and returns
// false.
class VkSceneDetector::Private::Pass
{
public:
    Pass(Private& owner, VkSceneObserver* observer);
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;

    void run();

private:
    bool prepare();
    bool analyseFrames();
    bool analyse(vkmedia::FramePtr frame);
    bool reduce(const AVFrame& frame, vkmedia::VkAnalysisPlane& plane);
    void rememberColours(const AVFrame& frame);
    bool sendScenes();
    void reportProgress(int64_t number);
    int64_t totalSoFar(int64_t analysed) const;
    void finishClip();
    void keepThumbnail(int64_t number);
    bool toThumbnail(const AVFrame* picture, vkmedia::VkImageScaler& scaler, VkFrameImage& image);
    vkmedia::FramePtr wrapPlane(const vkmedia::VkAnalysisPlane& plane) const;
    bool stopped() const { return d.stopRequested.load(); }
    bool fail(const std::string& message);
    bool endQuietly();
    void end(bool failed, const std::string& message);

    Private& d;
    VkSceneObserver* const obs;
    // The decoding thread goes before the queue it feeds, and before the last notification: once the
    // observer hears of the end, nothing of this detection runs any more.
    vkmedia::VkDecodedFrameQueue queue{kQueuedFrames};
    std::optional<DecodingThread> decoding;
    std::optional<IndexingThread> indexing;

    // The container's own frame count, for the progress until the exact one is known.
    int64_t declared = 0;
    AnalysisSize analysisSize;
    vkmedia::VkPictureOrientation orientation;
    ThumbnailSize thumbSize;
    vkmedia::FramePtr turned = vkmedia::makeFrame();
    std::optional<vkmedia::VkCutScorer> scorer;
    // Thumbnails come from decoded pictures and, for gradual transitions, from analysis planes: a
    // scaler for each keeps both set up for their sizes.
    vkmedia::VkImageScaler thumbScaler;
    vkmedia::VkImageScaler standInScaler;
    vkmedia::SwsPtr analysisSws;
    std::optional<vkmedia::VkPlaneSampler> lumaSampler;
    std::optional<vkmedia::VkPlaneSampler> chromaSampler;
    // Frames that may be cuts, still waiting for the scorer's verdict, so that a confirmed cut can
    // keep its picture; a cut is confirmed as soon as the scorer has seen the frames after it.
    std::deque<std::pair<int64_t, vkmedia::FramePtr>> recent;
    // The colours of the decoded pictures, for a thumbnail made from an analysis plane.
    AVColorSpace colorspace = AVCOL_SPC_UNSPECIFIED;
    AVColorRange colorRange = AVCOL_RANGE_UNSPECIFIED;

    int64_t sceneStart = 0;
    int64_t lastNumber = -1;
    int64_t progressStep = 1;
    int64_t nextProgressFrame = 0;
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
    // Boundaries confirmed by the scorer and not yet sent.
    std::vector<VkSceneTransition> cuts;
};

VkSceneDetector::Private::Pass::Pass(Private& owner, VkSceneObserver* observer)
    : d(owner)
    , obs(observer)
{}

void VkSceneDetector::Private::Pass::run()
{
    if (obs)
        obs->sceneDetectBegin();
    if (prepare() && analyseFrames())
        finishClip();
}

bool VkSceneDetector::Private::Pass::prepare()
{
    const AVStream* stream = d.source->stream();
    indexing.emplace(d.path);
    declared = declaredFrames(d.source->format(), stream);
    progressStep = std::max<int64_t>(1, declared / kProgressSteps);
    const int sourceWidth = stream->codecpar->width;
    const int sourceHeight = stream->codecpar->height;
    analysisSize = analysisSizeOf(sourceWidth, sourceHeight);
    // Thumbnails show the picture as displayed: turned as the display matrix says.
    orientation = vkmedia::VkPictureOrientation::ofStream(stream);
    thumbSize = orientation.swapsSides() ? thumbnailSizeOf(sourceHeight, sourceWidth)
                                         : thumbnailSizeOf(sourceWidth, sourceHeight);
    scorer.emplace(d.params.threshold, d.params.minSceneLength, d.frameRate.toDouble());
    return true;
}

bool VkSceneDetector::Private::Pass::analyseFrames()
{
    decoding.emplace(*d.source, queue);
    for (;;) {
        if (stopped())
            return endQuietly();
        vkmedia::VkDecodedFrameQueue::Item item = queue.pop();
        const int rc = item.result;
        if (rc == AVERROR_EOF)
            return true;
        if (rc == AVERROR_EXIT)
            return endQuietly();
        if (rc < 0)
            return fail("Decoding failed at frame " + std::to_string(lastNumber + 1) + " of " + d.path +
                        ": " + vkmedia::errorText(rc));
        if (!analyse(std::move(item.frame)))
            return false;
    }
}

bool VkSceneDetector::Private::Pass::analyse(vkmedia::FramePtr frame)
{
    // Frame N is the N-th picture the decoder hands out, as FFmpeg numbers them; timestamps would
    // misnumber streams that repeat or lack them.
    const int64_t number = lastNumber + 1;
    vkmedia::VkAnalysisPlane plane;
    if (!reduce(*frame, plane))
        return fail("Cannot convert the pictures of " + d.path);
    rememberColours(*frame);
    const bool first = lastNumber < 0;
    lastNumber = number;
    scorer->push(number, std::move(plane), cuts);
    // Only the first frame and those that may be cuts keep their pictures: the decoder's buffers
    // go back to it at once, as they do in a plain decode.
    while (!recent.empty() && recent.front().first < number - vkmedia::VkCutScorer::lookahead())
        recent.pop_front();
    if (first || scorer->mayBeCut(number))
        recent.emplace_back(number, std::move(frame));
    if (first) {
        sceneStart = number;
        keepThumbnail(number);
    }
    if (!sendScenes())
        return endQuietly();
    reportProgress(number);
    return true;
}

bool VkSceneDetector::Private::Pass::reduce(const AVFrame& frame, vkmedia::VkAnalysisPlane& plane)
{
    const int width = analysisSize.width;
    const int height = analysisSize.height;
    plane.width = width;
    plane.height = height;
    plane.y.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    plane.u.resize(static_cast<size_t>(width / 2) * static_cast<size_t>(height / 2));
    plane.v.resize(plane.u.size());
    if (isSampledDirectly(frame.format)) {
        // A stream may change its picture size midway.
        if (!lumaSampler || lumaSampler->srcWidth() != frame.width ||
            lumaSampler->srcHeight() != frame.height) {
            lumaSampler.emplace(frame.width, frame.height, width, height);
            chromaSampler.emplace((frame.width + 1) / 2, (frame.height + 1) / 2, width / 2, height / 2);
        }
        lumaSampler->sample(frame.data[0], frame.linesize[0], plane.y.data());
        chromaSampler->sample(frame.data[1], frame.linesize[1], plane.u.data());
        chromaSampler->sample(frame.data[2], frame.linesize[2], plane.v.data());
        return true;
    }
    analysisSws.reset(sws_getCachedContext(analysisSws.release(), frame.width, frame.height,
                                           static_cast<AVPixelFormat>(frame.format), width, height,
                                           AV_PIX_FMT_YUV420P, SWS_AREA, nullptr, nullptr, nullptr));
    if (!analysisSws)
        return false;
    uint8_t* dst[4] = {plane.y.data(), plane.u.data(), plane.v.data(), nullptr};
    int dstStride[4] = {width, width / 2, width / 2, 0};
    sws_scale(analysisSws.get(), frame.data, frame.linesize, 0, frame.height, dst, dstStride);
    return true;
}

void VkSceneDetector::Private::Pass::rememberColours(const AVFrame& frame)
{
    // Untagged pictures are read as players read them: by their own height, not the plane's.
    if (frame.colorspace != AVCOL_SPC_UNSPECIFIED)
        colorspace = frame.colorspace;
    else
        colorspace = frame.height >= kHdMinimumHeight ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
    colorRange = frame.format == AV_PIX_FMT_YUVJ420P ? AVCOL_RANGE_JPEG : frame.color_range;
}

// Sends the scenes that the confirmed boundaries close; false once a stop has been asked for, so that
// no scene follows the request.
bool VkSceneDetector::Private::Pass::sendScenes()
{
    for (const VkSceneTransition& cut : cuts) {
        if (stopped())
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
}

void VkSceneDetector::Private::Pass::reportProgress(int64_t number)
{
    const auto now = std::chrono::steady_clock::now();
    if (obs && (number >= nextProgressFrame || now - lastProgress >= kProgressInterval)) {
        obs->sceneProgress(number + 1, totalSoFar(number + 1));
        nextProgressFrame = number + progressStep;
        lastProgress = now;
    }
}

// The exact frame count once the indexing thread has it, else the declared one; never fewer than
// the frames analysed already.
int64_t VkSceneDetector::Private::Pass::totalSoFar(int64_t analysed) const
{
    const int64_t indexed = indexing ? indexing->framesIfKnown() : -1;
    return std::max(indexed >= 0 ? indexed : declared, analysed);
}

void VkSceneDetector::Private::Pass::finishClip()
{
    if (lastNumber < 0) {
        fail("No frame of " + d.path + " could be decoded");
        return;
    }
    std::string error;
    const auto index = indexing->wait(&error);
    if (!index) {
        if (stopped())
            endQuietly();
        else
            fail(error);
        return;
    }
    const int64_t total = index->frameCount();
    // The index counted the frames as the run began: ending short of them means that reading
    // failed, or that the file was cut while it was read. The last scene would end at frames that
    // were never analysed.
    if (lastNumber + 1 < total && !stopped()) {
        fail("Reading " + d.path + " ended at frame " + std::to_string(lastNumber + 1) + " of " +
             std::to_string(total) + ": the file is damaged or was changed while it was read");
        return;
    }
    scorer->finish(cuts);
    if (!sendScenes() || stopped()) {
        endQuietly();
        return;
    }
    const int64_t endFrame = std::max(total, lastNumber + 1);
    if (obs) {
        obs->sceneDetected(sceneStart, endFrame);
        obs->sceneProgress(endFrame, std::max(total, endFrame));
    }
    end(false, std::string());
}

// Leaves the first frame of a scene in the frame cache, scaled into the thumbnail box as displayed.
void VkSceneDetector::Private::Pass::keepThumbnail(int64_t number)
{
    auto image = std::make_shared<VkFrameImage>();
    image->width = thumbSize.width;
    image->height = thumbSize.height;
    image->pixels.resize(static_cast<size_t>(thumbSize.width) * static_cast<size_t>(thumbSize.height) * 4);
    const auto kept = std::find_if(recent.begin(), recent.end(),
                                   [number](const auto& entry) { return entry.first == number; });
    vkmedia::FramePtr standIn;
    const AVFrame* picture = nullptr;
    vkmedia::VkImageScaler* scaler = &thumbScaler;
    if (kept != recent.end()) {
        picture = kept->second.get();
    } else if (const vkmedia::VkAnalysisPlane* plane = scorer->plane(number)) {
        // The middle of a gradual transition is found long after it was decoded; its analysis plane
        // (an eighth of the picture, about the thumbnail's size) stands in for it.
        standIn = wrapPlane(*plane);
        picture = standIn.get();
        scaler = &standInScaler;
    }
    if (picture && toThumbnail(picture, *scaler, *image))
        VkFrameCache::instance().put(d.key, number, std::move(image));
}

// Scales a picture into the thumbnail as displayed; one that cannot be turned here is left to the
// renderer.
bool VkSceneDetector::Private::Pass::toThumbnail(const AVFrame* picture, vkmedia::VkImageScaler& scaler,
                                                 VkFrameImage& image)
{
    if (!orientation.isIdentity()) {
        if (!orientation.apply(picture, turned.get()))
            return false;
        picture = turned.get();
    }
    return scaler.frameToArgb(picture, image.width, image.height, image.pixels.data());
}

// A frame that shows an analysis plane without copying it; it must not outlive the plane.
vkmedia::FramePtr VkSceneDetector::Private::Pass::wrapPlane(const vkmedia::VkAnalysisPlane& plane) const
{
    vkmedia::FramePtr frame = vkmedia::makeFrame();
    if (!frame)
        return nullptr;
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = plane.width;
    frame->height = plane.height;
    frame->colorspace = colorspace;
    frame->color_range = colorRange;
    frame->data[0] = const_cast<uint8_t*>(plane.y.data());
    frame->data[1] = const_cast<uint8_t*>(plane.u.data());
    frame->data[2] = const_cast<uint8_t*>(plane.v.data());
    frame->linesize[0] = plane.width;
    frame->linesize[1] = frame->linesize[2] = plane.width / 2;
    return frame;
}

bool VkSceneDetector::Private::Pass::fail(const std::string& message)
{
    end(true, message);
    return false;
}

bool VkSceneDetector::Private::Pass::endQuietly()
{
    end(false, std::string());
    return false;
}

void VkSceneDetector::Private::Pass::end(bool failed, const std::string& message)
{
    decoding.reset();
    indexing.reset();
    if (!obs)
        return;
    if (stopped())
        obs->sceneDetectStopped();
    else if (failed)
        obs->sceneDetectFailed(message);
    else
        obs->sceneDetectFinished();
}

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
    {
        Pass pass(*this, observer.load());
        pass.run();
    }
    source.reset();
    running.store(false);
}

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
    // A decoder thread per core, bounded as FFmpeg bounds its own choice. FFmpeg would add one more,
    // but the detector's own thread analyses beside them: a third frame thread on two cores costs
    // CPU time and a frame buffer of its own, and the cores are busy anyway.
    options.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    options.singleThreadBelowPixels = kSingleDecoderThreadBelowPixels;
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
