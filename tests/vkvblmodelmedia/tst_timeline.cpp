// The one-clip timeline: frame-accurate pictures equal to the engine's own decode, the mapping of
// timeline frames to clip frames when the rates differ, files it cannot draw, and scene thumbnails
// served from the frame cache that the detector fills, rendered on the detector's thread.

#include "VkMediaModelTestSupport.h"

#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkTimeline.h>
#include <vkvblmodel/VkTimelineSettings.h>

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <map>
#include <vector>

#include "VkTestMain.h"

using namespace VkMediaModelTest;

namespace {
constexpr int kBytesPerPixel = 4;
// What a buffer is filled with before a render that must leave it alone.
constexpr uchar kUntouched = 0x5a;

using Frames = QVector<qint64>;

std::vector<uchar> buffer(int width, int height, uchar fill = 0)
{
    return std::vector<uchar>(size_t(width) * size_t(height) * kBytesPerPixel, fill);
}

// A clip of the file, or null; the caller releases it.
IVkClip* clipOf(const QString& path)
{
    const auto media = item(path);
    return media ? media->GetClip() : nullptr;
}

struct TimelineDeleter
{
    void operator()(IVkTimeline* timeline) const { IVkTimeline::releaseInstance(timeline); }
};
using TimelinePtr = std::unique_ptr<IVkTimeline, TimelineDeleter>;

TimelinePtr timelineOf(const QString& path)
{
    IVkClip* clip = clipOf(path);
    if (!clip)
        return nullptr;
    TimelinePtr timeline(IVkTimeline::createSimpleTimeline(clip));
    clip->Release();
    return timeline;
}
} // namespace

Q_DECLARE_METATYPE(Frames)

class tst_VkSimpleTimeline : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void matchesSequentialDecode_data();
    void matchesSequentialDecode();
    void timelineRate_data();
    void timelineRate();
    void cannotDraw_data();
    void cannotDraw();
    void outsideTheClip_data();
    void outsideTheClip();
    void stillPicture_data();
    void stillPicture();
    void keepsItsClip();
    void fileGone();
    void sceneThumbnailsFromCache();
};

void tst_VkSimpleTimeline::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void tst_VkSimpleTimeline::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_VkSimpleTimeline::matchesSequentialDecode_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<Frames>("frames");

    // 75 frames, a key frame every 12, three B-frames. Jumping back across groups and forward past
    // several key frames are where a seek lands on the wrong picture.
    QTest::newRow("backwards across groups") << "numbered.mp4" << 320 << 180 << Frames{74, 40, 13, 12, 11, 0};
    QTest::newRow("forward past key frames") << "numbered.mp4" << 320 << 180 << Frames{5, 30, 31, 60, 73};
    QTest::newRow("thumbnail size") << "numbered.mp4" << 99 << 56 << Frames{47, 3, 36};
    // 25, then 10, then 50 frames a second: frame numbers are pictures, not time x rate.
    QTest::newRow("variable rate") << "numbered_vfr.mkv" << 320 << 180 << Frames{60, 24, 25, 49, 50};
    // Timestamps start at 1.4 s and seeking goes by byte positions.
    QTest::newRow("mpeg-ts") << "numbered.ts" << 320 << 180 << Frames{70, 12, 36};
}

void tst_VkSimpleTimeline::matchesSequentialDecode()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(Frames, frames);

    const QString path = mediaPath(file.toUtf8().constData());
    // The reference: the engine's renderer walking the clip from its first frame, one after another,
    // which never seeks.
    std::map<qint64, std::vector<uchar>> reference;
    {
        VkFrameRenderer sequential;
        QVERIFY(sequential.open(QFile::encodeName(path).toStdString(), nullptr));
        const qint64 last = *std::max_element(frames.begin(), frames.end());
        for (qint64 f = 0; f <= last; ++f) {
            std::vector<uchar> pixels = buffer(width, height);
            QVERIFY(sequential.renderFrame(f, width, height, pixels.data()));
            reference[f] = std::move(pixels);
        }
    }

    const TimelinePtr timeline = timelineOf(path);
    QVERIFY(timeline);
    for (const qint64 f : frames) {
        std::vector<uchar> pixels = buffer(width, height);
        QVERIFY(timeline->renderFrame(f, width, height, pixels.data()));
        QVERIFY2(pixels == reference[f], qPrintable(QStringLiteral("frame %1").arg(f)));
        // And the picture really is that frame, not a neighbour that both paths got wrong alike.
        if (width >= 320)
            QCOMPARE(numberIn(pixels.data(), width, height), int(f));
    }
}

void tst_VkSimpleTimeline::timelineRate_data()
{
    QTest::addColumn<qint64>("rateNum");
    QTest::addColumn<qint64>("rateDen");
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<int>("clipFrame");

    // The clip runs at 25 fps. A frame of the timeline shows the clip frame that has begun by then:
    // floor(frame / timeline rate * 25).
    // Same rate: frame for frame.
    QTest::newRow("same rate") << qint64(25) << qint64(1) << qint64(37) << 37;
    // 50 fps: frame 41 is at 0.82 s, clip frame floor(20.5) = 20.
    QTest::newRow("double rate") << qint64(50) << qint64(1) << qint64(41) << 20;
    // 30000/1001: frame 30 is at 1.001 s, clip frame floor(25.025) = 25.
    QTest::newRow("ntsc") << qint64(30000) << qint64(1001) << qint64(30) << 25;
    // 24000/1001: frame 23 is at 0.959 s, floor(23.976) = 23; frame 24 at 1.001 s gives 25, so one
    // clip frame is skipped there.
    QTest::newRow("film rate before the skip") << qint64(24000) << qint64(1001) << qint64(23) << 23;
    QTest::newRow("film rate after the skip") << qint64(24000) << qint64(1001) << qint64(24) << 25;
    // 10 fps: frame 7 is at 0.7 s, exactly clip frame 17.5 -> 17.
    QTest::newRow("slower timeline") << qint64(10) << qint64(1) << qint64(7) << 17;
    // A rate with a zero part means nothing; the timeline keeps the clip's own.
    QTest::newRow("zero denominator ignored") << qint64(50) << qint64(0) << qint64(41) << 41;
    QTest::newRow("zero rate ignored") << qint64(0) << qint64(1) << qint64(12) << 12;
}

void tst_VkSimpleTimeline::timelineRate()
{
    QFETCH(qint64, rateNum);
    QFETCH(qint64, rateDen);
    QFETCH(qint64, frame);
    QFETCH(int, clipFrame);

    const TimelinePtr timeline = timelineOf(mediaPath("numbered.mp4"));
    QVERIFY(timeline);
    VkTimelineSettings settings;
    settings.frameRateNum = rateNum;
    settings.frameRateDen = rateDen;
    settings.ratio = QSize(320, 180);
    settings.resolution = QSize(320, 180);
    timeline->applySettings(settings);
    std::vector<uchar> pixels = buffer(320, 180);
    QVERIFY(timeline->renderFrame(frame, 320, 180, pixels.data()));
    QCOMPARE(numberIn(pixels.data(), 320, 180), clipFrame);
}

void tst_VkSimpleTimeline::cannotDraw_data()
{
    QTest::addColumn<QString>("file");

    // Sound has no picture to draw.
    QTest::newRow("audio only") << "audio.wav";
    QTest::newRow("mp3") << "audio.mp3";
}

void tst_VkSimpleTimeline::cannotDraw()
{
    QFETCH(QString, file);

    IVkClip* clip = clipOf(mediaPath(file.toUtf8().constData()));
    QVERIFY(clip);
    QVERIFY(!IVkTimeline::createSimpleTimeline(clip));
    // The failed attempt took no reference it kept: this is the last one.
    QCOMPARE(clip->Release(), 0L);
    QVERIFY(!IVkTimeline::createSimpleTimeline(nullptr));
    // Releasing nothing is harmless, as it is for every other owner that may hold a null timeline.
    IVkTimeline::releaseInstance(nullptr);
}

void tst_VkSimpleTimeline::outsideTheClip_data()
{
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    // 75 frames: 0 to 74.
    QTest::newRow("one past the end") << qint64(75) << 64 << 36;
    QTest::newRow("negative") << qint64(-1) << 64 << 36;
    // A picture of no pixels is not a request the buffer can answer.
    QTest::newRow("zero width") << qint64(1) << 0 << 36;
}

void tst_VkSimpleTimeline::outsideTheClip()
{
    QFETCH(qint64, frame);
    QFETCH(int, width);
    QFETCH(int, height);

    const TimelinePtr timeline = timelineOf(mediaPath("numbered.mp4"));
    QVERIFY(timeline);
    std::vector<uchar> pixels = buffer(64, 36, kUntouched);
    QVERIFY(!timeline->renderFrame(frame, width, height, pixels.data()));
    QVERIFY(std::all_of(pixels.begin(), pixels.end(), [](uchar b) { return b == kUntouched; }));
    // A failed request leaves the timeline usable.
    QVERIFY(timeline->renderFrame(74, 320, 180, buffer(320, 180).data()));
}

void tst_VkSimpleTimeline::stillPicture_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("png") << "alpha.png" << 200 << 100;
    QTest::newRow("jpeg") << "photo.jpg" << 240 << 160;
}

void tst_VkSimpleTimeline::stillPicture()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);

    // A picture placed on a timeline is its one frame: frame 0 draws, frame 1 does not exist.
    const TimelinePtr timeline = timelineOf(mediaPath(file.toUtf8().constData()));
    QVERIFY(timeline);
    std::vector<uchar> pixels = buffer(width, height);
    QVERIFY(timeline->renderFrame(0, width, height, pixels.data()));
    QVERIFY(std::any_of(pixels.begin(), pixels.end(), [](uchar b) { return b != 0; }));
    QVERIFY(!timeline->renderFrame(1, width, height, pixels.data()));
}

void tst_VkSimpleTimeline::keepsItsClip()
{
    // The timeline holds a reference of its own, so the caller may release the clip at once, as the
    // scene presenter does; the timeline's release then ends the clip (the address sanitizer reports
    // a clip that is freed twice or never).
    const auto media = item(mediaPath("numbered.mp4"));
    QVERIFY(media);
    IVkClip* clip = media->GetClip();
    QVERIFY(clip);
    TimelinePtr timeline(IVkTimeline::createSimpleTimeline(clip));
    QVERIFY(timeline);
    QCOMPARE(clip->Release(), 1L);
    std::vector<uchar> pixels = buffer(320, 180);
    QVERIFY(timeline->renderFrame(9, 320, 180, pixels.data()));
    QCOMPARE(numberIn(pixels.data(), 320, 180), 9);
}

void tst_VkSimpleTimeline::fileGone()
{
    // An item outlives its file; a timeline cannot be opened on what is no longer there.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.mp4"));
    QVERIFY(QFile::copy(mediaPath("numbered.mp4"), path));
    const auto media = item(path);
    QVERIFY(media);
    QVERIFY(QFile::remove(path));
    IVkClip* clip = media->GetClip();
    QVERIFY(clip);
    QVERIFY(!IVkTimeline::createSimpleTimeline(clip));
    QCOMPARE(clip->Release(), 0L);
}

void tst_VkSimpleTimeline::sceneThumbnailsFromCache()
{
    // Every scene's first frame is drawn, on the detector's own thread, while the run goes on, at the
    // scene list's thumbnail size. Each must be a cache hit: the detector kept that frame, and the
    // timeline must draw through the engine's renderer, which asks the cache before it decodes.
    VkFrameCache::instance().clear();
    const auto media = item(mediaPath("scenes.mp4"));
    QVERIFY(media);
    IVkClip* clip = media->GetClip();
    QVERIFY(clip);
    TimelinePtr timeline(IVkTimeline::createSimpleTimeline(clip));
    clip->Release();
    QVERIFY(timeline);

    constexpr int kThumbWidth = 99;
    constexpr int kThumbHeight = 56;
    std::atomic<int> rendered{0};
    std::atomic<int> hits{0};
    Recorder recorder;
    recorder.setHook([&](const Event& e) {
        if (e.kind != Event::Scene)
            return;
        std::vector<uchar> pixels = buffer(kThumbWidth, kThumbHeight);
        const uint64_t before = VkFrameCache::instance().hits();
        if (timeline->renderFrame(e.start, kThumbWidth, kThumbHeight, pixels.data()))
            ++rendered;
        hits += int(VkFrameCache::instance().hits() - before);
    });

    IVkScenceDetect* detector = IVkScenceDetect::createInstance();
    detector->init(media->GetFilePath(), media->GetMediaInfo()->GetFrameRate());
    detector->setObserver(&recorder);
    QVERIFY(detector->start());
    QVERIFY(recorder.waitEnd());
    detector->release();

    // Six shots of 30 frames.
    QCOMPARE(recorder.scenes().size(), 6);
    QCOMPARE(rendered.load(), 6);
    QCOMPARE(hits.load(), 6);
}

VK_TEST_MAIN(tst_VkSimpleTimeline)
#include "tst_timeline.moc"
