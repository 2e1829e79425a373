// The threaded scene detector: cuts of a clip with known shots, dissolves and fades between filmed
// shots, what must not start a scene, the order of notifications, the sampler that shrinks each
// picture for the analysis, and the queue between the detector's decoding and analysing threads.
// Releasing while a run is under way; stopping is checked through the model's detector
// (tests/vkvblmodelmedia) and under ThreadSanitizer (tsan/), damaged files with the renderer's.

#include "SceneRecorder.h"
#include "VkMediaTestFiles.h"

#include <vkmedia/VkDecodedFrameQueue.h>
#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkPlaneSampler.h>

#include <QFile>
#include <QtTest>

#include <cmath>
#include <future>
#include <thread>

Q_DECLARE_METATYPE(SceneRanges)

namespace {

// Only guards against a hang; no result depends on it.
constexpr auto kDeadlockGuard = std::chrono::seconds(120);

// One join of the transition clip, as its maker wrote it: "cut FRAME" or "KIND FIRST LAST".
struct Join
{
    QString kind;
    qint64 first = 0;
    qint64 last = 0;
};

std::string transitionMedia(const char* name)
{
    return (QStringLiteral(VK_TRANSITION_MEDIA_DIR "/") + QLatin1String(name)).toStdString();
}

// The joins of a clip, its frame count and what its shots were filmed from, from the text file
// beside it.
QVector<Join> readJoins(const char* name, qint64* frames, QString* source = nullptr)
{
    QVector<Join> joins;
    QFile file(QString::fromStdString(transitionMedia(name)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return joins;
    while (!file.atEnd()) {
        const QStringList words = QString::fromLatin1(file.readLine()).simplified().split(QLatin1Char(' '));
        if (words.size() == 2 && words[0] == QLatin1String("frames"))
            *frames = words[1].toLongLong();
        else if (words.size() == 2 && words[0] == QLatin1String("source") && source)
            *source = words[1];
        else if (words.size() >= 2 && words[0] != QLatin1String("source"))
            joins.append({words[0], words[1].toLongLong(), words.value(2, words[1]).toLongLong()});
    }
    return joins;
}

// A detection that renders each scene's first frame as the scene list's thumbnail on the detector's
// thread, as the scene window does; counts those drawn and the frame cache's hits they took.
struct ThumbnailRun : SceneRecorder
{
    VkFrameRenderer renderer;
    std::atomic<int> drawn{0};
    int hits = 0;

    bool run(const std::string& file, VkSceneDetector::Params params)
    {
        VkFrameCache::instance().clear();
        if (!renderer.open(file, nullptr))
            return false;
        const uint64_t hitsBefore = VkFrameCache::instance().hits();
        onScene = [this](int64_t start) {
            std::vector<uint8_t> argb(99 * 56 * 4);
            drawn += renderer.renderFrame(start, 99, 56, argb.data());
        };
        const bool ran = detect(file, VkRational{25, 1}, params) != 0;
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

class tst_VkMediaScenes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        QString message;
        QVERIFY2(VkMediaTestFiles::make(QStringLiteral(VK_TRANSITION_MEDIA_SCRIPT),
                                        QStringLiteral(VK_TRANSITION_MEDIA_DIR), &message),
                 qPrintable(message));
    }

    void gradualTransitions_data()
    {
        QTest::addColumn<int>("minSceneLength");
        // Shortest scenes of 1 frame: no boundary is merely hidden by the shortest scene.
        QTest::newRow("shortest scene 10") << 10;
        QTest::newRow("shortest scene 1") << 1;
    }
    void gradualTransitions()
    {
        // Filmed shots (moving camera, grain, flicker) joined by cuts, cross-fades, pixel dissolves,
        // fades through black and white and a dip to black: one boundary per join, inside a gradual
        // one and near its middle, of the join's kind, and none anywhere else.
        qint64 frames = 0;
        QString source;
        const QVector<Join> joins = readJoins("transitions.txt", &frames, &source);
        QVERIFY(joins.size() >= 9);
        // The detector's gradual tests are tuned on photographed shots; drawn ones blend differently.
        if (source != QLatin1String("photographs"))
            QSKIP("the shots were drawn, not photographed: install the wallpapers of scripts/deps and "
                  "delete the transitions media folder");
        ThumbnailRun recorder;
        VkSceneDetector::Params params;
        QFETCH(int, minSceneLength);
        params.minSceneLength = minSceneLength;
        QVERIFY(recorder.run(transitionMedia("transitions.mp4"), params));
        QVERIFY(recorder.wellOrdered('F') && recorder.tiles(frames));
        QCOMPARE(recorder.transitions.size(), size_t(joins.size()));
        QCOMPARE(recorder.scenes.size(), joins.size() + 1);
        // Every scene's thumbnail was kept by the detector, also where a scene begins in the middle
        // of a dissolve, long after that frame was decoded.
        QCOMPARE(QPoint(recorder.drawn, recorder.hits),
                 QPoint(recorder.scenes.size(), recorder.scenes.size()));
        for (int i = 0; i < joins.size(); ++i) {
            const Join& join = joins[i];
            const VkSceneTransition& found = recorder.transitions[size_t(i)];
            const QByteArray where =
                QString::asprintf("%s %lld-%lld: boundary at %lld (%s over %lld-%lld)", qPrintable(join.kind),
                                  join.first, join.last, qint64(found.frame),
                                  VkSceneTransition::kindName(found.kind), qint64(found.first),
                                  qint64(found.last))
                    .toUtf8();
            QCOMPARE(recorder.scenes[i + 1].first, qint64(found.frame));
            if (join.kind == QLatin1String("cut")) {
                QVERIFY2(std::abs(found.frame - join.first) <= 1, where.constData());
                QVERIFY2(found.kind == VkSceneTransition::Kind::Cut, where.constData());
                continue;
            }
            // Near the middle: within a third of the transition's length of it.
            const qint64 length = join.last - join.first + 1;
            const double middle = (join.first + join.last) / 2.0;
            QVERIFY2(found.frame >= join.first && found.frame <= join.last, where.constData());
            QVERIFY2(std::abs(double(found.frame) - middle) <= length / 3.0 + 1.0, where.constData());
            QVERIFY2(found.first <= found.frame && found.frame <= found.last, where.constData());
            // The shortest ones may be taken for a cut; longer ones say what they are.
            if (length > 6)
                QVERIFY2(QLatin1String(VkSceneTransition::kindName(found.kind)) == join.kind,
                         where.constData());
        }
    }

    void scenesOfClip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<int>("minSceneLength");
        // Empty: one scene over the whole clip.
        QTest::addColumn<SceneRanges>("expected");
        const QString scenes = QString::fromStdString(VkMediaTestFiles::path("scenes.mp4"));
        const QString oneShot = QString::fromStdString(transitionMedia("oneshot.mp4"));
        // Six shots of 30 frames; the flash at 45, the same-colour cut at 90 and the reframing at 150
        // are the hard parts.
        QTest::newRow("every cut") << scenes << 30.0 << 10 << SceneRanges{{0, 30},   {30, 60},   {60, 90},
                                                                          {90, 120}, {120, 150}, {150, 180}};
        // At least 35 frames: the cuts 30 frames after a kept one (30, 90, 150) are dropped.
        QTest::newRow("min length 35") << scenes << 30.0 << 35 << SceneRanges{{0, 60}, {60, 120}, {120, 180}};
        // One filmed shot with a fast pan, a zoom, a slow darkening, grain, a moving subject, one- and
        // two-frame flashes, a title card faded in and out within a second and a dip to black and
        // back: all one scene.
        QTest::newRow("one shot") << oneShot << 30.0 << 10 << SceneRanges();
        QTest::newRow("one shot, sensitive") << oneShot << 20.0 << 1 << SceneRanges();
    }
    void scenesOfClip()
    {
        QFETCH(QString, file);
        QFETCH(SceneRanges, expected);
        if (expected.isEmpty()) {
            qint64 frames = 0;
            readJoins("oneshot.txt", &frames);
            QVERIFY(frames > 0);
            expected = {{0, frames}};
        }
        ThumbnailRun recorder;
        VkSceneDetector::Params params;
        QFETCH(double, threshold);
        QFETCH(int, minSceneLength);
        params.threshold = threshold;
        params.minSceneLength = minSceneLength;
        QVERIFY(recorder.run(file.toStdString(), params));
        QVERIFY(recorder.wellOrdered('F'));
        QCOMPARE(recorder.scenes, expected);
        QCOMPARE(recorder.transitions.size(), size_t(expected.size() - 1));
        // Every thumbnail came from the detector's kept first frames, without a decode.
        QCOMPARE(QPoint(recorder.drawn, recorder.hits), QPoint(expected.size(), expected.size()));
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
        std::lock_guard<std::mutex> lock(recorder.mutex);
        // Either nothing started yet, or a begin and exactly one end.
        if (!recorder.kinds.empty()) {
            QCOMPARE(recorder.kinds.front(), 'b');
            QCOMPARE(recorder.ends(), 1);
        }
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
        for (int y = 0; y < src.height(); ++y) {
            for (int x = 0; x < src.width(); ++x) {
                const int cell = int(int64_t(x) * dst.width() / src.width());
                // Spread samples cannot be told apart from each other, so only whole cells ripple.
                in[size_t(y) * stride + size_t(x)] = uint8_t(8 * (cell % 28) + (eightWide ? x % 8 : 0));
            }
        }
        vkmedia::VkPlaneSampler sampler(src.width(), src.height(), dst.width(), dst.height());
        std::vector<uint8_t> out(size_t(dst.width()) * dst.height(), 0);
        sampler.sample(in.data(), stride, out.data());
        // The ripple 0..7 averages to 3.5, which rounds up.
        for (int y = 0; y < dst.height(); ++y) {
            for (int x = 0; x < dst.width(); ++x)
                QCOMPARE(int(out[size_t(y) * dst.width() + size_t(x)]), 8 * (x % 28) + (eightWide ? 4 : 0));
        }
    }

    void frameQueueHandOver()
    {
        // A producer far ahead of its consumer: every frame arrives once, in order, then the end. The
        // end goes in even when the queue is full, so it is never the item that waits for room.
        constexpr int kFrames = 50;
        vkmedia::VkDecodedFrameQueue queue(2);
        auto producer = std::async(std::launch::async, [&queue] {
            for (int i = 0; i < kFrames; ++i) {
                if (!queue.push(numberedFrame(i)))
                    return false;
            }
            return queue.push({nullptr, AVERROR_EOF});
        });
        for (int i = 0; i < kFrames; ++i) {
            const auto item = queue.pop();
            QVERIFY(item.frame);
            QCOMPARE(item.result, 0);
            QCOMPARE(item.frame->pts, int64_t(i));
        }
        QVERIFY(producer.wait_for(kDeadlockGuard) == std::future_status::ready);
        QVERIFY(producer.get());
        const auto end = queue.pop();
        QVERIFY(!end.frame);
        QCOMPARE(end.result, AVERROR_EOF);

        vkmedia::VkDecodedFrameQueue full(1);
        QVERIFY(full.push(numberedFrame(0)));
        auto endOfFull = std::async(std::launch::async, [&full] {
            return full.push({nullptr, AVERROR_EOF});
        });
        QVERIFY(endOfFull.wait_for(kDeadlockGuard) == std::future_status::ready);
        QVERIFY(endOfFull.get());
    }

    void frameQueueClose()
    {
        // The consumer gives up while the producer waits for room: the producer is let go, its frame
        // and every later one are refused, and a pop sees the queue as stopped.
        vkmedia::VkDecodedFrameQueue queue(1);
        QVERIFY(queue.push(numberedFrame(0)));
        std::promise<void> started;
        auto producer = std::async(std::launch::async, [&queue, &started] {
            started.set_value();
            return queue.push(numberedFrame(1));
        });
        started.get_future().wait();
        queue.close();
        QVERIFY(producer.wait_for(kDeadlockGuard) == std::future_status::ready);
        QVERIFY(!producer.get());
        QVERIFY(!queue.push({nullptr, AVERROR_EOF}));
        const auto item = queue.pop();
        QVERIFY(!item.frame);
        QCOMPARE(item.result, AVERROR_EXIT);
    }
};

QTEST_GUILESS_MAIN(tst_VkMediaScenes)
#include "tst_vkmedia_scenes.moc"
