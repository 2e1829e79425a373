// Frame-accurate rendering: every picture of the "numbered" clips shows its own frame number in
// eight black/white columns, so a rendered buffer says which frame it holds.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaFileKey.h>

#include <QtTest>

#include <vector>

namespace {

constexpr int kBits = 8;
constexpr int kBytesPerPixel = 4;

// Bit k of the frame number is the brightness at the middle of column k (each an eighth of the
// width). Pixels are B, G, R, A in memory.
int numberIn(const std::vector<uint8_t>& argb, int width, int height)
{
    int number = 0;
    for (int k = 0; k < kBits; ++k) {
        const int x = (2 * k + 1) * width / (2 * kBits);
        const size_t at = (static_cast<size_t>(height / 2) * width + x) * kBytesPerPixel;
        if (argb[at + 1] > 128)
            number |= 1 << k;
    }
    return number;
}

} // namespace

class tst_VkMediaRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exactFrames_data();
    void exactFrames();
    void fullRangeLevels();
    void bt709Colours_data();
    void bt709Colours();
    void outOfRangeLeavesBuffer();
    void cacheServesSmallRequests();
    void notVideo_data();
    void notVideo();
};

void tst_VkMediaRender::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void tst_VkMediaRender::exactFrames_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    // 75 frames, key frames every 12, three B-frames: every request below crosses groups backwards
    // and forwards.
    QTest::newRow("mp4 with B-frames") << "numbered.mp4" << 320 << 180;
    QTest::newRow("mp4 scaled to half") << "numbered.mp4" << 160 << 90;
    // Byte seeking: MPEG-TS timestamps start at 1.4 s and are not used to seek.
    QTest::newRow("mpeg-ts") << "numbered.ts" << 320 << 180;
    QTest::newRow("mkv starting at 10 s") << "numbered_offset.mkv" << 320 << 180;
    // 25 fps, then 10 fps, then 50 fps: frame numbers are not time * rate.
    QTest::newRow("variable rate") << "numbered_vfr.mkv" << 320 << 180;
}

void tst_VkMediaRender::exactFrames()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);

    VkFrameCache::instance().clear();
    VkFrameRenderer renderer;
    std::string error;
    QVERIFY2(renderer.open(VkMediaTestFiles::path(file.toUtf8().constData()), &error), error.c_str());
    QCOMPARE(qint64(renderer.frameCount()), qint64(75));

    // Random access first (last, first, around key frames 12/24/36, backwards), then the whole clip
    // in order, which takes the decode-forward path.
    std::vector<int> order = {74, 0, 37, 12, 11, 13, 36, 1, 60, 59, 24, 2, 73, 48, 47};
    for (int f = 0; f < 75; ++f)
        order.push_back(f);
    std::vector<uint8_t> argb(static_cast<size_t>(width) * height * kBytesPerPixel);
    for (const int frame : order) {
        std::fill(argb.begin(), argb.end(), 0);
        QVERIFY2(renderer.renderFrame(frame, width, height, argb.data(), &error), error.c_str());
        QCOMPARE(numberIn(argb, width, height), frame);
    }
}

void tst_VkMediaRender::fullRangeLevels()
{
    // The clip's white and black are video levels 235 and 16; rendered they must be full white and
    // black, or the range conversion was skipped.
    VkFrameRenderer renderer;
    std::string error;
    QVERIFY2(renderer.open(VkMediaTestFiles::path("numbered.mp4"), &error), error.c_str());
    std::vector<uint8_t> argb(320 * 180 * kBytesPerPixel);
    // Frame 1: column 0 white, column 1 black.
    QVERIFY(renderer.renderFrame(1, 320, 180, argb.data(), &error));
    const size_t white = (90 * 320 + 20) * kBytesPerPixel;
    const size_t black = (90 * 320 + 60) * kBytesPerPixel;
    for (int c = 0; c < 3; ++c) {
        QVERIFY2(argb[white + c] >= 250, std::to_string(argb[white + c]).c_str());
        QVERIFY2(argb[black + c] <= 5, std::to_string(argb[black + c]).c_str());
    }
    // Opaque.
    QCOMPARE(int(argb[white + 3]), 255);
}

void tst_VkMediaRender::bt709Colours_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");

    // Lossless BT.709 fields. Decoded with the BT.601 matrix instead, pure red (Y 63, Cb 102, Cr 240)
    // would come out as about (233, 0, 2) and pure green (Y 173, Cb 42, Cr 26) as about (20, 255, 9):
    // far outside the tolerance. ("lime" is the 0x00ff00 of the colour names.)
    QTest::newRow("red") << "red709.mp4" << 255 << 0 << 0;
    QTest::newRow("green") << "lime709.mp4" << 0 << 255 << 0;
}

void tst_VkMediaRender::bt709Colours()
{
    QFETCH(QString, file);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    constexpr int kTolerance = 6;

    VkFrameRenderer renderer;
    std::string error;
    QVERIFY2(renderer.open(VkMediaTestFiles::path(file.toUtf8().constData()), &error), error.c_str());
    std::vector<uint8_t> argb(64 * 36 * kBytesPerPixel);
    QVERIFY2(renderer.renderFrame(0, 64, 36, argb.data(), &error), error.c_str());
    const size_t centre = (18 * 64 + 32) * kBytesPerPixel;
    const QString got =
        QStringLiteral("%1,%2,%3").arg(argb[centre + 2]).arg(argb[centre + 1]).arg(argb[centre]);
    QVERIFY2(qAbs(argb[centre + 2] - red) <= kTolerance, qPrintable(got));
    QVERIFY2(qAbs(argb[centre + 1] - green) <= kTolerance, qPrintable(got));
    QVERIFY2(qAbs(argb[centre] - blue) <= kTolerance, qPrintable(got));
}

void tst_VkMediaRender::outOfRangeLeavesBuffer()
{
    VkFrameRenderer renderer;
    std::string error;
    QVERIFY2(renderer.open(VkMediaTestFiles::path("numbered.mp4"), &error), error.c_str());
    std::vector<uint8_t> argb(32 * 18 * kBytesPerPixel, 0x5a);
    // 75 frames: 75 is one past the end.
    for (const qint64 frame : {qint64(75), qint64(-1), qint64(1000000)}) {
        error.clear();
        QVERIFY(!renderer.renderFrame(frame, 32, 18, argb.data(), &error));
        QVERIFY(!error.empty());
        QVERIFY(std::all_of(argb.begin(), argb.end(), [](uint8_t b) { return b == 0x5a; }));
    }
}

void tst_VkMediaRender::cacheServesSmallRequests()
{
    const std::string path = VkMediaTestFiles::path("numbered.mp4");
    VkMediaFileKey key;
    std::string error;
    QVERIFY2(VkMediaFileKey::read(path, key, &error), error.c_str());

    // A cached copy of frame 5 painted a colour no frame of the clip has (pure blue): a hit is told
    // apart from a decode by its pixels.
    auto image = std::make_shared<VkFrameImage>();
    image->width = 80;
    image->height = 45;
    image->pixels.resize(80 * 45 * kBytesPerPixel);
    for (size_t i = 0; i < image->pixels.size(); i += kBytesPerPixel) {
        image->pixels[i] = 255;
        image->pixels[i + 3] = 255;
    }
    VkFrameCache::instance().clear();
    VkFrameCache::instance().put(key, 5, image);

    VkFrameRenderer renderer;
    QVERIFY2(renderer.open(path, &error), error.c_str());
    const uint64_t hitsBefore = VkFrameCache::instance().hits();
    std::vector<uint8_t> small(40 * 22 * kBytesPerPixel);
    QVERIFY(renderer.renderFrame(5, 40, 22, small.data(), &error));
    QCOMPARE(VkFrameCache::instance().hits(), hitsBefore + 1);
    QCOMPARE(int(small[(11 * 40 + 20) * kBytesPerPixel]), 255);
    QCOMPARE(int(small[(11 * 40 + 20) * kBytesPerPixel + 2]), 0);

    // Larger than the cached copy: decoded, and the real frame 5 shows its number.
    std::vector<uint8_t> large(320 * 180 * kBytesPerPixel);
    QVERIFY(renderer.renderFrame(5, 320, 180, large.data(), &error));
    QCOMPARE(numberIn(large, 320, 180), 5);
    VkFrameCache::instance().clear();
}

void tst_VkMediaRender::notVideo_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("empty") << "empty.mp4";
    QTest::newRow("random bytes") << "random.mp4";
    QTest::newRow("truncated mp4") << "truncated.mp4";
    QTest::newRow("audio only") << "audio.wav";
}

void tst_VkMediaRender::notVideo()
{
    QFETCH(QString, file);
    VkFrameRenderer renderer;
    std::string error;
    QVERIFY(!renderer.open(VkMediaTestFiles::path(file.toUtf8().constData()), &error));
    QVERIFY(!error.empty());
    QVERIFY(!renderer.isOpen());
    std::vector<uint8_t> argb(16 * 9 * kBytesPerPixel);
    QVERIFY(!renderer.renderFrame(0, 16, 9, argb.data(), &error));
}

QTEST_GUILESS_MAIN(tst_VkMediaRender)
#include "tst_vkmedia_render.moc"
