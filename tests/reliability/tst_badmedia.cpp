#include "BadMediaFiles.h"
#include "MediaPropertyFakes.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkSceneDetector.h>
#include <vkmedia/VkSceneObserver.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

using namespace MediaPropertyProbe;

namespace {

// Far beyond any detection of these one-second files; reaching it means the detector hung.
constexpr auto kHangGuard = std::chrono::seconds(120);

// Collects one detection's scenes and its single end notification.
class EndRecorder : public VkSceneObserver
{
public:
    enum class End
    {
        None,
        Finished,
        Stopped,
        Failed
    };

    void sceneDetectBegin() override {}
    void sceneDetected(int64_t start, int64_t end) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        scenes.push_back({start, end});
    }
    void sceneDetectFinished() override { finish(End::Finished); }
    void sceneDetectStopped() override { finish(End::Stopped); }
    void sceneDetectFailed(const std::string&) override { finish(End::Failed); }

    End waitEnd()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_ended.wait_for(lock, kHangGuard, [this] { return end != End::None; });
        return end;
    }

    std::vector<std::pair<int64_t, int64_t>> scenes;
    End end = End::None;

private:
    void finish(End how)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        end = how;
        m_ended.notify_all();
    }
    std::mutex m_mutex;
    std::condition_variable m_ended;
};

void appendLe16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

void appendLe32(QByteArray& out, quint32 v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((v >> shift) & 0xFF));
}

// A little-endian TIFF header whose first directory lies at `ifdOffset`.
QByteArray tiffHeader(quint32 ifdOffset)
{
    QByteArray t("II*\0", 4);
    appendLe32(t, ifdOffset);
    return t;
}

// One directory entry: tag, type, count, value or offset.
void appendEntry(QByteArray& out, quint16 tag, quint16 type, quint32 count, quint32 value)
{
    appendLe16(out, tag);
    appendLe16(out, type);
    appendLe32(out, count);
    appendLe32(out, value);
}

constexpr quint16 kTagMake = 0x010F;
constexpr quint16 kTagExifIfd = 0x8769;
constexpr quint16 kTypeAscii = 2;
constexpr quint16 kTypeLong = 4;
// The first directory right after the eight-byte header.
constexpr quint32 kFirstIfd = 8;

} // namespace

// Damaged and edge-case media through every layer that reads it: the engine (probe, frame renderer,
// scene detector), the model's media items and the media properties window. Each file must give a
// clear answer, a refusal with a message or sane facts, without crashing, hanging or allocating
// what a damaged header claims.
class tst_BadMedia : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void onePixelVideo();
    void zeroRate_data();
    void zeroRate();
    void hugePicture_data();
    void hugePicture();
    void brokenExif_data();
    void brokenExif();

private:
    QTemporaryDir m_work;
};

void tst_BadMedia::initTestCase()
{
    QString message;
    QVERIFY2(BadMediaFiles::ensure(&message), qPrintable(message));
    QVERIFY(m_work.isValid());
}

void tst_BadMedia::onePixelVideo()
{
    const std::string path = BadMediaFiles::path("one_pixel.mp4").toStdString();
    VkMediaProbeResult facts;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
    QCOMPARE(facts.width, 1);
    QCOMPARE(facts.height, 1);
    // One second at 25 fps.
    QCOMPARE(facts.frameCount, int64_t(25));

    // The single red pixel scaled up fills the whole 8 x 8 picture with red (ARGB32 bytes B, G, R, A).
    VkFrameRenderer renderer;
    QVERIFY2(renderer.open(path, &error), error.c_str());
    std::vector<uint8_t> argb(8 * 8 * 4, 0);
    QVERIFY2(renderer.renderFrame(24, 8, 8, argb.data(), &error), error.c_str());
    for (size_t i = 0; i < argb.size(); i += 4) {
        QVERIFY2(argb[i + 2] > 200 && argb[i + 1] < 60 && argb[i] < 60, qPrintable(QString::number(i)));
        QCOMPARE(argb[i + 3], uint8_t(255));
    }

    // The analysis plane has a floor size, so a one-pixel source still gives one whole scene.
    EndRecorder recorder;
    VkSceneDetector detector;
    detector.init(path, facts.frameRate);
    detector.setObserver(&recorder);
    QVERIFY2(detector.start(&error), error.c_str());
    QCOMPARE(recorder.waitEnd(), EndRecorder::End::Finished);
    detector.release();
    QCOMPARE(recorder.scenes.size(), size_t(1));
    QCOMPARE(recorder.scenes.front(), std::make_pair(int64_t(0), int64_t(25)));

    QString itemError;
    std::unique_ptr<IVkAbstractMediaItem> item =
        VkMediaItemFactory::create(QString::fromStdString(path), &itemError);
    QVERIFY2(item, qPrintable(itemError));
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    QCOMPARE(text(page(&dialog, "VkVideoInfoPage"), 2), QStringLiteral("1x1"));
}

void tst_BadMedia::zeroRate_data()
{
    QTest::addColumn<int>("damage");
    // FFmpeg replaces a zero time scale by 1, which makes each 512-tick frame last 512 s; zero sample
    // durations leave only the average rate. Either way the facts must stay finite and non-zero.
    QTest::newRow("media header time scale 0") << 1;
    QTest::newRow("every frame lasting 0") << 2;
    QTest::newRow("both") << 3;
}

void tst_BadMedia::zeroRate()
{
    QFETCH(int, damage);
    QByteArray bytes = BadMediaFiles::read(BadMediaFiles::path("small.mp4"));
    if (damage & 1)
        bytes = BadMediaFiles::mp4WithZeroTimescale(bytes);
    if (damage & 2)
        bytes = BadMediaFiles::mp4WithZeroSampleDurations(bytes);
    QVERIFY(!bytes.isEmpty());
    const QString file = m_work.filePath(QStringLiteral("zero_rate_%1.mp4").arg(damage));
    QVERIFY(BadMediaFiles::write(file, bytes));
    const std::string path = file.toStdString();

    VkMediaProbeResult facts;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
    QVERIFY2(facts.frameRate.isValid(),
             qPrintable(QStringLiteral("%1/%2").arg(facts.frameRate.num).arg(facts.frameRate.den)));
    QVERIFY(std::isfinite(facts.frameRate.toDouble()));
    QVERIFY(std::isfinite(facts.durationSeconds) && facts.durationSeconds >= 0.0);
    // The sample table still lists the 25 frames, whatever their durations.
    QCOMPARE(facts.frameCount, int64_t(25));

    VkFrameRenderer renderer;
    QVERIFY2(renderer.open(path, &error), error.c_str());
    std::vector<uint8_t> argb(16 * 9 * 4, 0);
    // The first and the last frame. With every duration 0 the frames' timestamps collide and the
    // renderer, which finds frames by timestamp, may not reach them: then it must say so.
    const bool first = renderer.renderFrame(0, 16, 9, argb.data(), &error);
    QVERIFY2(first || !error.empty(), "a failed render must say why");
    error.clear();
    const bool last = renderer.renderFrame(24, 16, 9, argb.data(), &error);
    QVERIFY2(last || !error.empty(), "a failed render must say why");

    // A detection ends with exactly one end notification, and what it found covers whole frames.
    EndRecorder recorder;
    VkSceneDetector detector;
    detector.init(path, facts.frameRate);
    detector.setObserver(&recorder);
    if (detector.start(&error)) {
        const EndRecorder::End end = recorder.waitEnd();
        detector.release();
        QVERIFY(end == EndRecorder::End::Finished || end == EndRecorder::End::Failed);
        for (const auto& scene : recorder.scenes)
            QVERIFY(scene.first >= 0 && scene.first < scene.second);
    } else {
        QVERIFY(!error.empty());
    }

    QString itemError;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(file, &itemError);
    QVERIFY2(item, qPrintable(itemError));
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    const QString rate = text(page(&dialog, "VkVideoInfoPage"), 3);
    QVERIFY2(rate.endsWith(QLatin1String(" fps")) && !rate.contains(QLatin1String("inf")) &&
                 !rate.contains(QLatin1String("nan")) && !rate.startsWith(QLatin1String("0 ")),
             qPrintable(rate));
    const QString duration = text(page(&dialog, "VkCommonInfoPage"), 4);
    QVERIFY2(!duration.contains(QLatin1Char('-')), qPrintable(duration));
}

void tst_BadMedia::hugePicture_data()
{
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("height");
    // 30000 x 30000 = 9e8 pixels, 3.6 GB as ARGB: FFmpeg's own size check refuses it too.
    QTest::newRow("30000 x 30000") << quint32(30000) << quint32(30000);
    // 16000 x 16000 = 2.56e8 pixels passes FFmpeg's check ((w + 128) * (h + 128) < 2^28) and would be
    // a 1 GB frame: only the engine's own limit of 2^27 pixels stops it.
    QTest::newRow("16000 x 16000") << quint32(16000) << quint32(16000);
    // 2^27 + 1 pixels in one row: just over the limit.
    QTest::newRow("one pixel over the limit") << quint32(134217729) << quint32(1);
}

void tst_BadMedia::hugePicture()
{
    QFETCH(quint32, width);
    QFETCH(quint32, height);
    const QByteArray png =
        BadMediaFiles::pngDeclaring(BadMediaFiles::read(BadMediaFiles::path("small.png")), width, height);
    QVERIFY(!png.isEmpty());
    const QString file = m_work.filePath(QStringLiteral("huge_%1x%2.png").arg(width).arg(height));
    QVERIFY(BadMediaFiles::write(file, png));
    const std::string path = file.toStdString();

    // Under the sanitizer build the test runs with allocations above 256 MB made fatal, so reaching
    // the checks below also proves that nothing of the declared size was allocated.
    VkMediaProbeResult facts;
    std::string error;
    QVERIFY(!VkMediaProbe::probe(path, facts, &error));
    QVERIFY2(QString::fromStdString(error).contains(file), error.c_str());
    QCOMPARE(facts.width, 0);

    VkFrameRenderer renderer;
    error.clear();
    QVERIFY(!renderer.open(path, &error));
    QVERIFY(!error.empty());

    VkSceneDetector detector;
    EndRecorder recorder;
    detector.init(path, VkRational{25, 1});
    detector.setObserver(&recorder);
    error.clear();
    QVERIFY(!detector.start(&error));
    QVERIFY(!error.empty());
    QCOMPARE(recorder.end, EndRecorder::End::None);

    QString itemError;
    QVERIFY(!VkMediaItemFactory::create(file, &itemError));
    QVERIFY(!itemError.isEmpty());
}

void tst_BadMedia::brokenExif_data()
{
    QTest::addColumn<QByteArray>("tiff");

    QTest::newRow("directory beyond the block") << tiffHeader(0xFFFFFF00u);

    QByteArray countPastEnd = tiffHeader(kFirstIfd);
    appendLe16(countPastEnd, 0xFFFF);
    QTest::newRow("entry count past the end") << countPastEnd;

    QByteArray valuePastEnd = tiffHeader(kFirstIfd);
    appendLe16(valuePastEnd, 1);
    appendEntry(valuePastEnd, kTagMake, kTypeAscii, 0x7FFFFFFFu, 0x7FFFFFF0u);
    appendLe32(valuePastEnd, 0);
    QTest::newRow("maker text past the end") << valuePastEnd;

    // The EXIF sub-directory and the next-directory link both point back at the same directory.
    QByteArray loop = tiffHeader(kFirstIfd);
    appendLe16(loop, 1);
    appendEntry(loop, kTagExifIfd, kTypeLong, 1, kFirstIfd);
    appendLe32(loop, kFirstIfd);
    QTest::newRow("directory loop") << loop;

    QTest::newRow("cut inside the header") << QByteArray("II*\0\x08", 5);
    QTest::newRow("not TIFF") << QByteArray(64, '\x5A');
}

void tst_BadMedia::brokenExif()
{
    QFETCH(QByteArray, tiff);
    const QByteArray jpeg =
        BadMediaFiles::jpegWithExif(BadMediaFiles::read(BadMediaFiles::path("small.jpg")), tiff);
    QVERIFY(!jpeg.isEmpty());
    const QString file = m_work.filePath(QStringLiteral("broken_exif_%1.jpg").arg(QTest::currentDataTag()));
    QVERIFY(BadMediaFiles::write(file, jpeg));

    // The picture itself is intact: it is still a 64 x 48 image, only without camera facts.
    VkMediaProbeResult facts;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(file.toStdString(), facts, &error), error.c_str());
    QCOMPARE(facts.streamFlags, int(VkMediaProbeResult::Image));
    QCOMPARE(facts.width, 64);
    QCOMPARE(facts.height, 48);
    QVERIFY2(facts.cameraMaker.empty(), facts.cameraMaker.c_str());
    QVERIFY(!facts.exposureTime.isValid());

    QString itemError;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(file, &itemError);
    QVERIFY2(item, qPrintable(itemError));
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    QVERIFY(photo);
    QCOMPARE(text(photo, 3), QStringLiteral("64x48"));
    QCOMPARE(text(photo, 1), QString());
}

VK_TEST_MAIN(tst_BadMedia)
#include "tst_badmedia.moc"
