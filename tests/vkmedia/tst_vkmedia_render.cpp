// Frame-accurate rendering: every picture of the "numbered" clips shows its own frame number in
// eight black/white columns, so a rendered buffer says which frame it holds.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkDecodedFrameCache.h>
#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaFileKey.h>

#include <QtTest>

#include <vector>

namespace {

constexpr int kBytesPerPixel = 4;

int numberIn(const std::vector<uint8_t>& argb, int width, int height)
{
    return VkMediaTestFiles::numberIn(argb.data(), width, height);
}

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

    void exactFrames_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        // 75 frames, key frames every 12, three B-frames: the requests cross groups both ways.
        QTest::newRow("mp4 with B-frames") << "numbered.mp4" << QSize(320, 180);
        QTest::newRow("mp4 scaled to half") << "numbered.mp4" << QSize(160, 90);
        // Byte seeking: MPEG-TS timestamps start at 1.4 s and are not used to seek.
        QTest::newRow("mpeg-ts") << "numbered.ts" << QSize(320, 180);
        QTest::newRow("mkv starting at 10 s") << "numbered_offset.mkv" << QSize(320, 180);
        // 25 fps, then 10 fps, then 50 fps: frame numbers are not time * rate.
        QTest::newRow("variable rate") << "numbered_vfr.mkv" << QSize(320, 180);
    }
    void exactFrames()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QVERIFY2(open(file), error.c_str());
        QCOMPARE(qint64(renderer->frameCount()), qint64(75));
        // Random access first, then the whole clip in order, which takes the decode-forward path.
        std::vector<int> order = {74, 0, 37, 12, 11, 13, 36, 1, 60, 59, 24, 2, 73, 48, 47};
        for (int f = 0; f < 75; ++f)
            order.push_back(f);
        for (const int frame : order) {
            auto argb = buffer(size.width(), size.height());
            QVERIFY2(renderer->renderFrame(frame, size.width(), size.height(), argb.data(), &error),
                     error.c_str());
            QCOMPARE(numberIn(argb, size.width(), size.height()), frame);
        }
    }

    void seekStrategy_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("requests");
        QTest::addColumn<int>("seeks");
        QTest::addColumn<int>("decoded");
        // numbered.mp4 and numbered_offset.mkv: key frames at 0, 12, 24, ... with three B-frames.
        QList<int> playback;
        for (int f = 0; f <= 40; ++f)
            playback << f;
        // One seek for frame 0, then decoding simply goes on through the key frames at 12, 24 and 36.
        QTest::newRow("playback across key frames") << "numbered.mp4" << playback << 1 << 41;
        // 23 decodes 12..23 from the key frame at 12; the steps back are then served from the decoded
        // pictures kept, without a decode.
        QList<int> backwards;
        for (int f = 23; f >= 12; --f)
            backwards << f;
        QTest::newRow("steps backwards") << "numbered.mp4" << backwards << 1 << 12;
        // A seek by presentation time lands on the key frame at 24: pictures 24, 25 and 26. Landing
        // one key frame early (the decode time of the key packet) would decode 15.
        QTest::newRow("seek lands on its key frame, mp4") << "numbered.mp4" << QList<int>{26} << 1 << 3;
        QTest::newRow("seek lands on its key frame, mkv")
            << "numbered_offset.mkv" << QList<int>{26} << 1 << 3;
        // Ahead within the group: no seek for 30 after 26.
        QTest::newRow("ahead in the group") << "numbered.mp4" << QList<int>{26, 30} << 1 << 7;
    }
    void seekStrategy()
    {
        QFETCH(QString, file);
        QFETCH(QList<int>, requests);
        QVERIFY2(open(file), error.c_str());
        for (const int frame : requests) {
            auto argb = buffer(320, 180);
            QVERIFY2(renderer->renderFrame(frame, 320, 180, argb.data(), &error), error.c_str());
            QCOMPARE(numberIn(argb, 320, 180), frame);
        }
        QTEST(int(renderer->seeks()), "seeks");
        QTEST(int(renderer->decodedFrames()), "decoded");
    }

    void decodedCacheKeepsTheNearest_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("kept");
        // Five equal pictures into room for three: the two farthest from the position go.
        QTest::newRow("at the end") << 4 << QList<int>{2, 3, 4};
        QTest::newRow("at the start") << 0 << QList<int>{0, 1, 2};
        QTest::newRow("in the middle") << 2 << QList<int>{1, 2, 3};
    }
    void decodedCacheKeepsTheNearest()
    {
        QFETCH(int, position);
        QFETCH(QList<int>, kept);
        vkmedia::FramePtr picture = vkmedia::makeFrame();
        picture->format = AV_PIX_FMT_GRAY8;
        picture->width = 64;
        picture->height = 64;
        QVERIFY(av_frame_get_buffer(picture.get(), 0) >= 0);
        const size_t bytes = vkmedia::VkDecodedFrameCache::bytesOf(picture.get());
        QVERIFY(bytes >= 64 * 64);
        // Room for three and a half: the bound is in bytes, not pictures.
        vkmedia::VkDecodedFrameCache cache(bytes * 7 / 2);
        for (int n = 0; n < 5; ++n)
            cache.put(n, picture.get(), position);
        QList<int> found;
        for (int n = 0; n < 5; ++n) {
            if (cache.find(n))
                found << n;
        }
        QCOMPARE(found, kept);
        QCOMPARE(cache.bytes(), bytes * 3);
        // A budget smaller than one picture keeps none.
        cache.setCapacity(bytes - 1);
        QCOMPARE(cache.count(), size_t(0));
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
        QTest::newRow("video white") << "numbered.mp4" << QSize(320, 180) << QPoint(20, 90) << 0xffffffu << 5;
        QTest::newRow("video black") << "numbered.mp4" << QSize(320, 180) << QPoint(60, 90) << 0x000000u << 5;
        // Lossless BT.709 fields. With the BT.601 matrix instead, pure red would come out as about
        // (233, 0, 2) and pure green as about (20, 255, 9).
        QTest::newRow("bt709 red") << "red709.mp4" << QSize(64, 36) << QPoint(32, 18) << 0xff0000u << 6;
        QTest::newRow("bt709 green") << "lime709.mp4" << QSize(64, 36) << QPoint(32, 18) << 0x00ff00u << 6;
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
        image->pixels = buffer(80, 45);
        for (size_t i = 0; i < image->pixels.size(); i += kBytesPerPixel)
            image->pixels[i] = image->pixels[i + 3] = 255;
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
        QCOMPARE(numberIn(large, 320, 180), 5);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("frame");
        QTest::newRow("empty") << "empty.mp4" << qint64(0);
        QTest::newRow("random bytes") << "random.mp4" << qint64(0);
        QTest::newRow("truncated mp4") << "truncated.mp4" << qint64(0);
        QTest::newRow("audio only") << "audio.wav" << qint64(0);
        // The clip opens; its 75 frames end at 74.
        QTest::newRow("one past the end") << "numbered.mp4" << qint64(75);
        QTest::newRow("negative") << "numbered.mp4" << qint64(-1);
        QTest::newRow("far past the end") << "numbered.mp4" << qint64(1000000);
    }
    void failures()
    {
        QFETCH(QString, file);
        QFETCH(qint64, frame);
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
        QCOMPARE(QProcess::execute(QStringLiteral("ffmpeg"),
                                   {"-hide_banner", "-loglevel", "error", "-nostdin", "-f", "lavfi", "-i",
                                    "testsrc2=s=2400x1600", "-frames:v", "1", jpeg}),
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
