// The media engine on generated files. Probing: stream kinds, exact frame counts, rates, codecs, colour
// transfer, and what a second probe of the same file reuses (the audio and picture facts are checked
// through the model's media items, tests/vkvblmodelmedia). Rendering beyond exact frames (the format
// matrix compares those with ffmpeg): the decoded pictures it keeps, colour matrices and ranges,
// reduced decoding of large pictures, and what the probe, the renderer and the scene detector each make
// of damaged files and frames out of range. Every picture of the "numbered" clips shows its own frame
// number in eight black/white columns. The threaded scene detector: cuts of a clip with known shots,
// dissolves and fades between filmed shots, what must not start a scene, the thumbnails it keeps, the
// order of notifications, the sampler that shrinks each picture for the analysis, and the queue between
// the detector's decoding and analysing threads. Releasing while a run is under way; stopping is
// checked through the model's detector (tests/vkvblmodelmedia) and under ThreadSanitizer (tsan/).

#include "SceneRecorder.h"
#include "VkMediaTestFiles.h"

#include <vkmedia/VkDecodedFrameCache.h>
#include <vkmedia/VkDecodedFrameQueue.h>
#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaFileRegistry.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkPlaneSampler.h>

#include <QtTest>

#include <cmath>
#include <future>
#include <thread>
#include <tuple>
#include <vector>

namespace {

constexpr int kBytesPerPixel = 4;

std::vector<uint8_t> buffer(int width, int height, uint8_t fill = 0)
{
    return std::vector<uint8_t>(size_t(width) * height * kBytesPerPixel, fill);
}

// Only guards against a hang; no result depends on it.
constexpr auto kDeadlockGuard = std::chrono::seconds(120);

// One join of a clip: "cut FRAME" (the first frame of the new shot) or "KIND FIRST LAST" (the blended
// frames).
struct Join
{
    QString kind;
    qint64 first = 0;
    qint64 last = 0;
};

const QString kTransitionDir = QStringLiteral(VK_TRANSITION_MEDIA_DIR "/");

// Joins one a line or separated by semicolons, and what the shots were filmed from ("source ...").
QVector<Join> readJoins(const QString& text, QString* source)
{
    QVector<Join> joins;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[;\n]")), Qt::SkipEmptyParts)) {
        const QStringList words = line.simplified().split(QLatin1Char(' '));
        if (words[0] == QLatin1String("source"))
            *source = words.value(1);
        else if (words[0] != QLatin1String("frames"))
            joins.append(
                {words[0], words.value(1).toLongLong(), words.value(2, words.value(1)).toLongLong()});
    }
    return joins;
}

// A detection that renders each scene's first frame as the scene list's thumbnail on the detector's
// thread, as the scene window does; counts those drawn and the frame cache's hits they took. run() is
// true for a whole, well-ordered run.
struct ThumbnailRun : SceneRecorder
{
    VkFrameRenderer renderer;
    std::atomic<int> drawn{0};
    int hits = 0;

    bool run(const std::string& file, VkSceneDetector::Params params)
    {
        const uint64_t hitsBefore = VkFrameCache::instance().hits();
        onScene = [this](int64_t start) {
            auto argb = buffer(99, 56);
            drawn += renderer.renderFrame(start, 99, 56, argb.data());
        };
        const bool ran = renderer.open(file, nullptr) && detect(file, VkRational{25, 1}, params) == 'F';
        hits = int(VkFrameCache::instance().hits() - hitsBefore);
        return ran;
    }
};

vkmedia::VkDecodedFrameQueue::Item numberedFrame(int64_t pts)
{
    vkmedia::FramePtr frame = vkmedia::makeFrame();
    frame->pts = pts;
    return {std::move(frame), 0};
}

} // namespace

class tst_VkMediaEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<VkFrameRenderer> renderer;
    std::string error;
    VkMediaProbeResult r;

    bool open(const QString& file) { return renderer->open(VkMediaTestFiles::path(file), &error); }
    bool probe(const QString& file) { return VkMediaProbe::probe(VkMediaTestFiles::path(file), r, &error); }

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        QString message;
        QVERIFY2(VkMediaTestFiles::make(QStringLiteral(VK_TRANSITION_MEDIA_SCRIPT),
                                        QStringLiteral(VK_TRANSITION_MEDIA_DIR), &message),
                 qPrintable(message));
    }
    void init()
    {
        renderer = std::make_unique<VkFrameRenderer>();
        error.clear();
        VkFrameCache::instance().clear();
    }

    void video_data()
    {
        QTest::addColumn<QString>("file");
        // Stream flags (1 video, 2 audio), frames, whether the header held that count, bits per
        // component and transfer. MPEG-TS and Matroska hold no count: the packet index gives it.
        QTest::addColumn<QString>("facts");
        // False for containers that only find their streams while reading packets: each open probes.
        QTest::addColumn<bool>("shared");
        // All 25 fps h264 at 320x180.
        QTest::newRow("mp4, B-frames")
            << QStringLiteral("numbered.mp4") << QStringLiteral("1 75 1 8 BT.709") << true;
        QTest::newRow("mpeg-ts") << QStringLiteral("numbered.ts") << QStringLiteral("1 75 0 8 BT.709")
                                 << false;
        QTest::newRow("mkv with start offset")
            << QStringLiteral("numbered_offset.mkv") << QStringLiteral("1 75 0 8 BT.709") << true;
        QTest::newRow("mp4 with aac")
            << QStringLiteral("av.mp4") << QStringLiteral("3 50 1 8 Unspecified") << true;
        QTest::newRow("10-bit PQ") << QStringLiteral("hdr_pq.mp4")
                                   << QStringLiteral("1 25 1 10 PQ (SMPTE ST 2084)") << true;
        QTest::newRow("10-bit HLG") << QStringLiteral("hdr_hlg.mkv")
                                    << QStringLiteral("1 25 0 10 HLG (ARIB STD-B67)") << true;
    }
    void video()
    {
        QFETCH(QString, file);
        QVERIFY2(probe(file), error.c_str());
        QTEST(QStringLiteral("%1 %2 %3 %4 %5")
                  .arg(r.streamFlags)
                  .arg(r.frameCount)
                  .arg(int(r.frameCountFromHeader))
                  .arg(r.bitsPerComponent)
                  .arg(QString::fromStdString(r.transferCharacteristics)),
              "facts");
        QCOMPARE(QStringLiteral("%1/%2 %3x%4 ")
                         .arg(r.frameRate.num)
                         .arg(r.frameRate.den)
                         .arg(r.width)
                         .arg(r.height) +
                     QString::fromStdString(r.videoCodecName),
                 QStringLiteral("25/1 320x180 h264"));
        // A duration, and from the header or measured from packet sizes, a coded stream has a bit rate.
        QVERIFY2(!r.hasNoDuration && r.videoBitRate > 0, std::to_string(r.videoBitRate).c_str());
        // Probing again reuses what the first open learnt, and reads the same facts.
        const int64_t probes = vkmedia::VkMediaFileRegistry::streamProbeCount();
        VkMediaProbeResult again;
        QVERIFY2(VkMediaProbe::probe(VkMediaTestFiles::path(file), again, &error), error.c_str());
        QFETCH(bool, shared);
        QCOMPARE(vkmedia::VkMediaFileRegistry::streamProbeCount() - probes, shared ? 0 : 1);
        QVERIFY(
            std::tie(again.frameCount, again.durationSeconds, again.videoBitRate, again.pixelFormatName) ==
            std::tie(r.frameCount, r.durationSeconds, r.videoBitRate, r.pixelFormatName));
        if (r.streamFlags & VkMediaProbeResult::Audio)
            QCOMPARE(again.audioStreams.at(0).bitRate, r.audioStreams.at(0).bitRate);
    }

    void rewrittenFileProbedAgain()
    {
        // A clip replaced in place (a new render of the same name) is probed anew, never answered
        // from what its old content taught: the new content is learnt once more, and then shared again.
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("clip.mp4")).toStdString();
        int64_t probes = 0;
        for (const char* content : {"numbered.mp4", "av.mp4"}) {
            QFile::remove(QString::fromStdString(path));
            QVERIFY(QFile::copy(QString::fromStdString(VkMediaTestFiles::path(content)),
                                QString::fromStdString(path)));
            probes = vkmedia::VkMediaFileRegistry::streamProbeCount();
            VkMediaProbeResult again;
            QVERIFY2(VkMediaProbe::probe(path, again, &error) && VkMediaProbe::probe(path, r, &error),
                     error.c_str());
        }
        QCOMPARE(vkmedia::VkMediaFileRegistry::streamProbeCount() - probes, int64_t(1));
        QCOMPARE(r.frameCount, int64_t(50));
        QCOMPARE(r.audioStreams.size(), size_t(1));
    }

    void decodedCacheKeepsTheNearest()
    {
        vkmedia::FramePtr picture = vkmedia::makeFrame();
        picture->format = AV_PIX_FMT_GRAY8;
        picture->width = picture->height = 64;
        QVERIFY(av_frame_get_buffer(picture.get(), 0) >= 0);
        const size_t bytes = vkmedia::VkDecodedFrameCache::bytesOf(picture.get());
        // Room for three and a half: the bound is in bytes, not pictures.
        vkmedia::VkDecodedFrameCache cache(bytes * 7 / 2);
        // Five equal pictures into room for three, around position 2: the farthest on each side go.
        for (int n = 0; n < 5; ++n)
            cache.put(n, picture.get(), 2);
        QList<int> found;
        for (int n = 0; n < 5; ++n)
            found << (cache.find(n) ? n : -1);
        QCOMPARE(found, (QList<int>{-1, 1, 2, 3, -1}));
        QCOMPARE(cache.bytes(), bytes * 3);
        // A budget smaller than one picture keeps none.
        cache.setCapacity(bytes - 1);
        QCOMPARE(cache.bytes(), size_t(0));
    }

    void colours_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<uint>("argb"); // in the middle of column 0 of frame 1
        QTest::addColumn<int>("tolerance");
        // Frame 1 has column 0 white, column 1 black, at video levels 235 and 16: full white and
        // black, or the range conversion was skipped.
        QTest::newRow("video white") << QStringLiteral("numbered.mp4") << 0xffffffffu << 5;
        // Lossless BT.709 fields. With the BT.601 matrix instead, pure red would come out as about
        // (233, 0, 2) and pure green as about (20, 255, 9).
        QTest::newRow("bt709 red") << QStringLiteral("red709.mp4") << 0xffff0000u << 6;
    }
    void colours()
    {
        QFETCH(QString, file);
        QFETCH(uint, argb);
        QFETCH(int, tolerance);
        QVERIFY2(open(file), error.c_str());
        const int w = renderer->displayWidth();
        const int h = renderer->displayHeight();
        auto pixels = buffer(w, h);
        QVERIFY2(renderer->renderFrame(1, w, h, pixels.data(), &error), error.c_str());
        uint32_t got = 0;
        memcpy(&got, pixels.data() + (size_t(h / 2) * w + w / 16) * kBytesPerPixel, sizeof got);
        // Opaque, and each colour within the tolerance.
        for (int shift = 0; shift < 32; shift += 8) {
            QVERIFY2(qAbs(int((got >> shift) & 0xff) - int((argb >> shift) & 0xff)) <=
                         (shift < 24 ? tolerance : 0),
                     qPrintable(QString::number(got, 16)));
        }
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("frame");
        QTest::addColumn<bool>("probes");
        QTest::newRow("empty") << QStringLiteral("empty.mp4") << qint64(0) << false;
        QTest::newRow("random bytes") << QStringLiteral("random.mp4") << qint64(0) << false;
        QTest::newRow("mp4 cut before its index") << QStringLiteral("truncated.mp4") << qint64(0) << false;
        QTest::newRow("missing") << QStringLiteral("no-such-file.mp4") << qint64(0) << false;
        QTest::newRow("audio only") << QStringLiteral("audio.wav") << qint64(0) << true;
        // The clip opens; its 75 frames end at 74.
        QTest::newRow("one past the end") << QStringLiteral("numbered.mp4") << qint64(75) << true;
        QTest::newRow("negative") << QStringLiteral("numbered.mp4") << qint64(-1) << true;
    }
    void damagedFiles()
    {
        QFETCH(QString, file);
        QFETCH(qint64, frame);
        QFETCH(bool, probes);
        // A failed probe says why and leaves no stale facts behind.
        r.streamFlags = -1;
        QCOMPARE(probe(file), probes);
        QVERIFY(error.empty() == probes && (probes || r.streamFlags == 0));
        error.clear();
        const bool opens = file == QLatin1String("numbered.mp4");
        QCOMPARE(open(file), opens);
        QVERIFY(renderer->isOpen() == opens && error.empty() == opens);
        error.clear();
        auto argb = buffer(32, 18, 0x5a);
        QVERIFY(!renderer->renderFrame(frame, 32, 18, argb.data(), &error));
        QVERIFY(!error.empty());
        // The buffer is left as it was.
        QVERIFY(std::all_of(argb.begin(), argb.end(), [](uint8_t b) { return b == 0x5a; }));
        if (opens)
            return;
        // The detector refuses the file without a single notification.
        SceneRecorder recorder;
        error.clear();
        QCOMPARE(recorder.detect(VkMediaTestFiles::path(file), VkRational{25, 1}, {}, &error), char(0));
        QVERIFY(!error.empty());
        QVERIFY(recorder.kinds.empty());
    }

    void cleanupTestCase() { VkFrameCache::instance().clear(); }

    void stillPictureDecodedReduced_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("decodedWidth");
        // A 2400 x 1600 JPEG, halved by its decoder up to three times while it still covers the
        // size asked for. Each row follows a thumbnail of the same picture.
        QTest::newRow("eighth") << QSize(300, 200) << 300;
        QTest::newRow("quarter") << QSize(301, 200) << 600;
        QTest::newRow("whole") << QSize(2400, 1600) << 2400;
    }
    void stillPictureDecodedReduced()
    {
        QFETCH(QSize, size);
        QFETCH(int, decodedWidth);
        QTemporaryDir dir;
        const QString jpeg = dir.filePath(QStringLiteral("large.jpg"));
        const QStringList make =
            VkMediaTestFiles::words("-v error -nostdin -f lavfi -i testsrc2=s=2400x1600 -frames:v 1") << jpeg;
        QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"), make), 0);
        QVERIFY2(renderer->open(jpeg.toStdString(), &error), error.c_str());
        auto thumbnail = buffer(100, 67);
        QVERIFY2(renderer->renderFrame(0, 100, 67, thumbnail.data(), &error), error.c_str());
        QCOMPARE(renderer->decodedWidth(), 300);
        auto argb = buffer(size.width(), size.height());
        QVERIFY2(renderer->renderFrame(0, size.width(), size.height(), argb.data(), &error), error.c_str());
        QCOMPARE(renderer->decodedWidth(), decodedWidth);
    }

    void scenesOfClip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<int>("minSceneLength");
        QTest::addColumn<QString>("joins"); // where scenes begin
        const QString scenes = QString::fromStdString(VkMediaTestFiles::path("scenes.mp4"));
        const QString oneShot = kTransitionDir + QLatin1String("oneshot.mp4");
        // Six shots of 30 frames; the flash at 45, the same-colour cut at 90 and the reframing at 150
        // are the hard parts.
        QTest::newRow("every cut") << scenes << 30.0 << 10
                                   << QStringLiteral("cut 30; cut 60; cut 90; cut 120; cut 150");
        // At least 35 frames: the cuts 30 frames after a kept one (30, 90, 150) are dropped.
        QTest::newRow("min length 35") << scenes << 30.0 << 35 << QStringLiteral("cut 60; cut 120");
        // One filmed shot with a fast pan, a zoom, a slow darkening, grain, a moving subject, one- and
        // two-frame flashes, a title card faded in and out within a second and a dip to black and
        // back: all one scene.
        QTest::newRow("one shot") << oneShot << 30.0 << 10 << QString();
        QTest::newRow("one shot, sensitive") << oneShot << 20.0 << 1 << QString();
        // Filmed shots (moving camera, grain, flicker) joined by cuts, cross-fades, pixel dissolves,
        // fades through black and white and a dip to black, as their maker wrote them beside the clip.
        // Shortest scenes of 1 frame: no boundary is merely hidden by the shortest scene.
        QFile made(kTransitionDir + QLatin1String("transitions.txt"));
        const QString joins =
            made.open(QIODevice::ReadOnly) ? QString::fromLatin1(made.readAll()) : QString();
        const QString transitions = kTransitionDir + QLatin1String("transitions.mp4");
        const double threshold = VkSceneDetectDefaults::kThreshold;
        QTest::newRow("transitions") << transitions << threshold << 10 << joins;
        QTest::newRow("transitions, shortest scene 1") << transitions << threshold << 1 << joins;
    }
    void scenesOfClip()
    {
        // One boundary per join, exactly at a cut, inside a gradual one and near its middle, of the
        // join's kind, and none anywhere else.
        QFETCH(QString, file);
        QFETCH(QString, joins);
        QString source;
        const QVector<Join> expected = readJoins(joins, &source);
        // The detector's gradual tests are tuned on photographed shots; drawn ones blend differently.
        if (source == QLatin1String("synthetic"))
            QSKIP("the shots were drawn, not photographed: install the wallpapers of scripts/deps and "
                  "delete the transitions media folder");
        ThumbnailRun recorder;
        VkSceneDetector::Params params;
        QFETCH(double, threshold);
        QFETCH(int, minSceneLength);
        params.threshold = threshold;
        params.minSceneLength = minSceneLength;
        QVERIFY(recorder.run(file.toStdString(), params));
        QVERIFY(recorder.tiles(recorder.renderer.frameCount()));
        QCOMPARE(recorder.transitions.size(), size_t(expected.size()));
        QCOMPARE(recorder.scenes.size(), expected.size() + 1);
        // Every scene's thumbnail was kept by the detector, also where a scene begins in the middle
        // of a dissolve, long after that frame was decoded; a request larger than those kept pictures
        // is decoded instead.
        QCOMPARE(QPoint(recorder.drawn, recorder.hits),
                 QPoint(recorder.scenes.size(), recorder.scenes.size()));
        // A wrongly used thumbnail would differ from the frame decoded once the thumbnails are gone.
        const int64_t last = recorder.scenes.last().first;
        auto large = buffer(320, 180);
        auto decoded = buffer(320, 180);
        QVERIFY(recorder.renderer.renderFrame(last, 320, 180, large.data()));
        VkFrameCache::instance().clear();
        QVERIFY(recorder.renderer.renderFrame(last, 320, 180, decoded.data()) && large == decoded);
        for (int i = 0; i < expected.size(); ++i) {
            const Join& join = expected[i];
            const VkSceneTransition& found = recorder.transitions[size_t(i)];
            const QByteArray where = join.kind.toLatin1() + ' ' + QByteArray::number(join.first) + ": " +
                                     VkSceneTransition::kindName(found.kind) + " at " +
                                     QByteArray::number(qint64(found.frame));
            QCOMPARE(recorder.scenes[i + 1].first, qint64(found.frame));
            // Near the middle of a gradual one: within a third of its length.
            const bool cut = join.kind == QLatin1String("cut");
            const qint64 length = join.last - join.first + 1;
            QVERIFY2(cut ? found.frame == join.first
                         : std::abs(double(found.frame) - (join.first + join.last) / 2.0) <=
                               length / 3.0 + 1.0,
                     where.constData());
            QVERIFY2(found.frame >= join.first && found.frame <= join.last, where.constData());
            QVERIFY2(found.first <= found.frame && found.frame <= found.last, where.constData());
            // The shortest gradual ones may be taken for a cut; cuts and longer ones say what they are.
            QVERIFY2((!cut && length <= 6) ||
                         QLatin1String(VkSceneTransition::kindName(found.kind)) == join.kind,
                     where.constData());
        }
    }

    void releaseDuringRun_data()
    {
        QTest::addColumn<int>("spins");
        // Before the thread has begun, right after, after some frames.
        for (int spins : {0, 50, 100, 150, 200, 250})
            QTest::addRow("after %d yields", spins) << spins;
    }
    void releaseDuringRun()
    {
        // Release returns with the thread gone, and no notification follows it.
        QFETCH(int, spins);
        SceneRecorder recorder;
        auto detector = std::make_unique<VkSceneDetector>();
        detector->init(VkMediaTestFiles::path("long.mp4"), VkRational{25, 1});
        detector->setObserver(&recorder);
        QVERIFY(detector->start(nullptr));
        for (int spin = 0; spin < spins; ++spin)
            std::this_thread::yield();
        detector->release();
        recorder.released.store(true);
        QVERIFY(!detector->isRunning());
        detector.reset();
        QCOMPARE(recorder.afterRelease.load(), 0);
        // Either nothing started yet, or a begin and exactly one end.
        QVERIFY2(recorder.kinds.empty() || (recorder.kinds.front() == 'b' && recorder.ends() == 1),
                 recorder.kinds.c_str());
    }

    void planeSampler_data()
    {
        QTest::addColumn<QSize>("src");
        QTest::addColumn<QSize>("dst");
        // Cells eight wide are summed whole, sixteen samples at a time, with a tail for an odd count.
        QTest::newRow("1080p luma") << QSize(1920, 1080) << QSize(240, 134);
        QTest::newRow("odd cell count") << QSize(8 * 13, 40) << QSize(13, 5);
        // Other widths take samples spread over each cell.
        QTest::newRow("cells of 8.06") << QSize(1000, 562) << QSize(124, 70);
        QTest::newRow("cells of 3") << QSize(36, 9) << QSize(12, 3);
    }
    void planeSampler()
    {
        // Each source column belongs to one destination cell; its samples are the cell's number plus
        // a ripple of up to 7 along the row: averaging the wrong samples, dropping a cell or crossing
        // into the next one gives a different value.
        QFETCH(QSize, src);
        QFETCH(QSize, dst);
        const int stride = src.width() + 24;
        const bool eightWide = src.width() == 8 * dst.width();
        std::vector<uint8_t> in(size_t(stride) * src.height(), 255);
        for (size_t at = 0; at < in.size(); ++at) {
            const int x = int(at % size_t(stride));
            // Spread samples cannot be told apart from each other, so only whole cells ripple.
            if (x < src.width())
                in[at] =
                    uint8_t(8 * (int(int64_t(x) * dst.width() / src.width()) % 28) + (eightWide ? x % 8 : 0));
        }
        vkmedia::VkPlaneSampler sampler(src.width(), src.height(), dst.width(), dst.height());
        std::vector<uint8_t> out(size_t(dst.width()) * dst.height(), 0);
        sampler.sample(in.data(), stride, out.data());
        // The ripple 0..7 averages to 3.5, which rounds up.
        for (size_t at = 0; at < out.size(); ++at)
            QCOMPARE(int(out[at]), 8 * (int(at % size_t(dst.width())) % 28) + (eightWide ? 4 : 0));
    }

    void frameQueue()
    {
        // A producer far ahead of its consumer: every frame arrives once, in order, then the end.
        constexpr int kFrames = 50;
        vkmedia::VkDecodedFrameQueue queue(2);
        auto producer = std::async(std::launch::async, [&queue] {
            bool pushed = true;
            for (int i = 0; i < kFrames && pushed; ++i)
                pushed = queue.push(numberedFrame(i));
            return pushed && queue.push({nullptr, AVERROR_EOF});
        });
        for (int i = 0; i <= kFrames; ++i) {
            const auto item = queue.pop();
            QCOMPARE(item.frame ? item.frame->pts : int64_t(-1), i < kFrames ? int64_t(i) : int64_t(-1));
            QCOMPARE(item.result, i < kFrames ? 0 : AVERROR_EOF);
        }
        QVERIFY(producer.wait_for(kDeadlockGuard) == std::future_status::ready && producer.get());

        // In a full queue the end still goes in, so it is never the item that waits for room.
        vkmedia::VkDecodedFrameQueue full(1);
        QVERIFY(full.push(numberedFrame(0)));
        auto end = std::async(std::launch::async, [&full] { return full.push({nullptr, AVERROR_EOF}); });
        QVERIFY(end.wait_for(kDeadlockGuard) == std::future_status::ready && end.get());
        // The consumer gives up while a producer waits for room: the producer is let go, its frame
        // and every later one are refused, and a pop sees the queue as stopped.
        std::promise<void> started;
        auto waiting = std::async(std::launch::async, [&full, &started] {
            started.set_value();
            return full.push(numberedFrame(1));
        });
        started.get_future().wait();
        full.close();
        QVERIFY(waiting.wait_for(kDeadlockGuard) == std::future_status::ready && !waiting.get());
        QVERIFY(!full.push({nullptr, AVERROR_EOF}));
        const auto item = full.pop();
        QVERIFY(!item.frame);
        QCOMPARE(item.result, AVERROR_EXIT);
    }
};

QTEST_GUILESS_MAIN(tst_VkMediaEngine)
#include "tst_vkmedia_engine.moc"
