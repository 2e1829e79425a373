// The renderer beyond exact frames (the format matrix compares those with ffmpeg): the decoded
// pictures it keeps, colour matrices and ranges, the frame cache, reduced decoding of large pictures, and
// what the probe, the renderer and the scene detector each make of damaged files and frames out of range.
// Every picture of the "numbered" clips shows its own frame number in eight black/white columns.

#include "SceneRecorder.h"
#include "VkMediaTestFiles.h"

#include <vkmedia/VkDecodedFrameCache.h>
#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaFileKey.h>
#include <vkmedia/VkMediaProbe.h>

#include <QtTest>

#include <vector>

namespace {

constexpr int kBytesPerPixel = 4;

std::vector<uint8_t> buffer(int width, int height, uint8_t fill = 0)
{
    return std::vector<uint8_t>(size_t(width) * height * kBytesPerPixel, fill);
}

} // namespace

class tst_VkMediaRender : public QObject
{
    Q_OBJECT

    std::unique_ptr<VkFrameRenderer> renderer;
    std::string error;

    bool open(const QString& file) { return renderer->open(VkMediaTestFiles::path(file), &error); }

private slots:
    void initTestCase() { VK_ENSURE_TEST_MEDIA(); }
    void init()
    {
        renderer = std::make_unique<VkFrameRenderer>();
        error.clear();
        VkFrameCache::instance().clear();
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
        QList<int> found;
        // Five equal pictures into room for three, around position 2: the farthest on each side go.
        for (int n = 0; n < 5; ++n)
            cache.put(n, picture.get(), 2);
        for (int n = 0; n < 5; ++n) {
            if (cache.find(n))
                found << n;
        }
        QCOMPARE(found, (QList<int>{1, 2, 3}));
        QCOMPARE(cache.bytes(), bytes * 3);
        // A budget smaller than one picture keeps none.
        cache.setCapacity(bytes - 1);
        QCOMPARE(cache.bytes(), size_t(0));
    }

    void colours_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<uint>("rgb");
        QTest::addColumn<int>("tolerance");
        // Frame 1 has column 0 white, column 1 black, at video levels 235 and 16: full white and
        // black, or the range conversion was skipped.
        QTest::newRow("video white") << QStringLiteral("numbered.mp4") << QSize(320, 180) << QPoint(20, 90)
                                     << 0xffffffu << 5;
        // Lossless BT.709 fields. With the BT.601 matrix instead, pure red would come out as about
        // (233, 0, 2) and pure green as about (20, 255, 9).
        QTest::newRow("bt709 red") << QStringLiteral("red709.mp4") << QSize(64, 36) << QPoint(32, 18)
                                   << 0xff0000u << 6;
    }
    void colours()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QFETCH(uint, rgb);
        QFETCH(int, tolerance);
        QVERIFY2(open(file), error.c_str());
        auto argb = buffer(size.width(), size.height());
        QVERIFY2(renderer->renderFrame(1, size.width(), size.height(), argb.data(), &error), error.c_str());
        const uint8_t* p = argb.data() + (size_t(at.y()) * size.width() + at.x()) * kBytesPerPixel;
        const QString got = QStringLiteral("%1,%2,%3,%4").arg(p[2]).arg(p[1]).arg(p[0]).arg(p[3]);
        for (int c = 0; c < 3; ++c)
            QVERIFY2(qAbs(int(p[c]) - int((rgb >> (8 * c)) & 0xff)) <= tolerance, qPrintable(got));
        QVERIFY2(p[3] == 255, qPrintable(got)); // opaque
    }

    void cacheServesSmallRequests()
    {
        const std::string path = VkMediaTestFiles::path("numbered.mp4");
        VkMediaFileKey key;
        QVERIFY2(VkMediaFileKey::read(path, key, &error), error.c_str());
        // A cached frame 5 in pure blue, which no frame of the clip has: a hit shows by its pixels.
        auto image = std::make_shared<VkFrameImage>();
        image->width = 80;
        image->height = 45;
        for (int i = 0; i < 80 * 45; ++i)
            image->pixels.insert(image->pixels.end(), {255, 0, 0, 255});
        VkFrameCache::instance().put(key, 5, image);
        QVERIFY2(renderer->open(path, &error), error.c_str());
        const uint64_t hitsBefore = VkFrameCache::instance().hits();
        auto small = buffer(40, 22);
        QVERIFY(renderer->renderFrame(5, 40, 22, small.data(), &error));
        QCOMPARE(VkFrameCache::instance().hits(), hitsBefore + 1);
        QCOMPARE(int(small[(11 * 40 + 20) * kBytesPerPixel]), 255);
        QCOMPARE(int(small[(11 * 40 + 20) * kBytesPerPixel + 2]), 0);
        // Larger than the cached copy: decoded, and the real frame 5 shows its number.
        auto large = buffer(320, 180);
        QVERIFY(renderer->renderFrame(5, 320, 180, large.data(), &error));
        QCOMPARE(VkMediaTestFiles::numberIn(large.data(), 320, 180), 5);
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
        VkMediaProbeResult probed;
        probed.streamFlags = -1;
        QCOMPARE(VkMediaProbe::probe(VkMediaTestFiles::path(file), probed, &error), probes);
        QCOMPARE(error.empty(), probes);
        if (!probes)
            QCOMPARE(probed.streamFlags, 0);
        error.clear();
        const bool opens = file == QLatin1String("numbered.mp4");
        QCOMPARE(open(file), opens);
        QCOMPARE(renderer->isOpen(), opens);
        QCOMPARE(error.empty(), opens);
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
        QCOMPARE(
            QProcess::execute(QStringLiteral("ffmpeg"),
                              VkMediaTestFiles::words("-hide_banner -loglevel error -nostdin -f lavfi -i "
                                                      "testsrc2=s=2400x1600 -frames:v 1")
                                  << jpeg),
            0);
        QVERIFY2(renderer->open(jpeg.toStdString(), &error), error.c_str());
        auto thumbnail = buffer(100, 67);
        QVERIFY2(renderer->renderFrame(0, 100, 67, thumbnail.data(), &error), error.c_str());
        QCOMPARE(renderer->decodedWidth(), 300);
        auto argb = buffer(size.width(), size.height());
        QVERIFY2(renderer->renderFrame(0, size.width(), size.height(), argb.data(), &error), error.c_str());
        QCOMPARE(renderer->decodedWidth(), decodedWidth);
    }
};

QTEST_GUILESS_MAIN(tst_VkMediaRender)
#include "tst_vkmedia_render.moc"
