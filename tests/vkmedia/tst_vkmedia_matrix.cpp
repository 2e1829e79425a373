// The engine on the kinds of files people bring to an editor: for each clip of the format matrix
// (tests/media/make_matrix_media.sh), the frame count of the probe, the packet index, the renderer
// and the scene detector against `ffprobe -count_frames`, and rendered frames (first, last, spread,
// each side of key frames, a walk backwards) compared byte for byte with ffmpeg's own decode of the
// same frame number put through the same conversion.

#include "SceneRecorder.h"
#include "VkMediaTestFiles.h"

#include <vkmedia/VkFrameCache.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkImageScaler.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkPacketIndex.h>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <QtTest>

#include <set>

namespace {

constexpr int kBytesPerPixel = 4;
// Only guards against a hang.
constexpr int kProcessTimeoutMs = 60000;
// Frames tried per clip besides the fixed ones, and the length of the backwards walk.
constexpr int kSpreadFrames = 6;
constexpr int kBackwardSteps = 8;
// Key frames whose neighbours are tried.
constexpr int kKeysTried = 4;
// A fixed seed: a failure repeats.
constexpr quint32 kSeed = 14;

const QString kMatrixDir = VkMediaTestFiles::dir() + QStringLiteral("/matrix");

QByteArray run(const QString& program, const QStringList& arguments, QString* failure)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kProcessTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        *failure =
            program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    return process.readAllStandardOutput();
}

// What ffmpeg presents: its frame count, the displayed size and the decoded pictures as raw planes.
struct Reference
{
    qint64 frames = -1;
    int width = 0;
    int height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int colorSpace = AVCOL_SPC_UNSPECIFIED;
    int colorRange = AVCOL_RANGE_UNSPECIFIED;
    QByteArray raw;
    size_t frameBytes = 0;

    bool load(const QString& file, QString* failure)
    {
        const QByteArray out = run(QStringLiteral("ffprobe"),
                                   VkMediaTestFiles::words("-v error -count_frames -select_streams v:0 "
                                                           "-show_entries stream=nb_read_frames,pix_fmt,"
                                                           "color_space,color_range,width,height:"
                                                           "stream_side_data=rotation -of default=nw=1")
                                       << file,
                                   failure);
        QMap<QByteArray, QByteArray> facts;
        for (const QByteArray& line : out.split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                facts.insert(line.left(eq), line.mid(eq + 1).trimmed());
        }
        frames = facts.value("nb_read_frames").toLongLong();
        width = facts.value("width").toInt();
        height = facts.value("height").toInt();
        format = av_get_pix_fmt(facts.value("pix_fmt").constData());
        colorSpace = std::max(int(AVCOL_SPC_UNSPECIFIED),
                              av_color_space_from_name(facts.value("color_space").constData()));
        colorRange = std::max(int(AVCOL_RANGE_UNSPECIFIED),
                              av_color_range_from_name(facts.value("color_range").constData()));
        if (frames <= 0 || width <= 0 || format == AV_PIX_FMT_NONE) {
            *failure += QStringLiteral("ffprobe gave no usable facts: ") + QString::fromLatin1(out);
            return false;
        }
        if (qAbs(facts.value("rotation").toInt()) % 180 == 90)
            std::swap(width, height);
        // Every picture the decoder presents, at its own timestamp, in its own pixel format.
        raw = run(QStringLiteral("ffmpeg"),
                  VkMediaTestFiles::words("-v error -nostdin -i")
                      << file
                      << VkMediaTestFiles::words("-map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt")
                      << QString::fromLatin1(av_get_pix_fmt_name(format)) << QStringLiteral("-"),
                  failure);
        frameBytes = static_cast<size_t>(av_image_get_buffer_size(format, width, height, 1));
        if (frameBytes == 0 || size_t(raw.size()) != frameBytes * size_t(frames)) {
            *failure += QStringLiteral("ffmpeg presented %1 bytes for %2 frames").arg(raw.size()).arg(frames);
            return false;
        }
        return true;
    }

    // Frame `n` as ffmpeg decoded it, through the renderer's conversion to ARGB32.
    std::vector<uint8_t> argb(qint64 n) const
    {
        vkmedia::FramePtr frame = vkmedia::makeFrame();
        frame->format = format;
        frame->width = width;
        frame->height = height;
        frame->colorspace = static_cast<AVColorSpace>(colorSpace);
        frame->color_range = static_cast<AVColorRange>(colorRange);
        const auto* bytes = reinterpret_cast<const uint8_t*>(raw.constData()) + frameBytes * size_t(n);
        av_image_fill_arrays(frame->data, frame->linesize, bytes, format, width, height, 1);
        std::vector<uint8_t> out(size_t(width) * height * kBytesPerPixel);
        vkmedia::VkImageScaler scaler;
        if (!scaler.frameToArgb(frame.get(), width, height, out.data()))
            out.clear();
        return out;
    }
};

// First, last, a spread, each side of the first key frames, then a walk backwards from the middle.
std::vector<qint64> framesToTry(const VkPacketIndex& index)
{
    const qint64 count = index.frameCount();
    std::set<qint64> picked{0, count - 1};
    QRandomGenerator random(kSeed);
    for (int i = 0; i < kSpreadFrames; ++i)
        picked.insert(qint64(random.bounded(quint32(count))));
    int keys = 0;
    for (size_t p = 0; p < index.packets().size() && keys < kKeysTried; ++p) {
        const qint64 first = index.keyFrameNumber(qint64(p));
        if (first <= 0)
            continue;
        ++keys;
        picked.insert({first - 1, first, std::min(first + 1, count - 1)});
    }
    std::vector<qint64> order(picked.begin(), picked.end());
    std::shuffle(order.begin(), order.end(), std::mt19937(kSeed));
    for (qint64 f = count / 2; f > count / 2 - kBackwardSteps && f >= 0; --f)
        order.push_back(f);
    return order;
}

} // namespace

class tst_VkMediaMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        QString message;
        QVERIFY2(VkMediaTestFiles::make(QStringLiteral(VK_TEST_MATRIX_SCRIPT), kMatrixDir, &message),
                 qPrintable(message));
    }

    void clip_data()
    {
        QTest::addColumn<QString>("file");
        // 0: the rate is not checked (repeated or varying timestamps make it meaningless).
        QTest::addColumn<int>("rate");
        QTest::newRow("h264 mp4") << QStringLiteral("h264.mp4") << 25;
        QTest::newRow("h264 mkv gop 250") << QStringLiteral("h264_gop250.mkv") << 25;
        QTest::newRow("h264 ts") << QStringLiteral("h264.ts") << 25;
        QTest::newRow("h264 avi b-frames") << QStringLiteral("h264_bframes.avi") << 25;
        QTest::newRow("hevc mp4") << QStringLiteral("hevc.mp4") << 25;
        QTest::newRow("hevc 10-bit mkv") << QStringLiteral("hevc10.mkv") << 25;
        QTest::newRow("vp9 webm") << QStringLiteral("vp9.webm") << 25;
        if (QFile::exists(kMatrixDir + QStringLiteral("/av1.mkv")))
            QTest::newRow("av1 mkv") << QStringLiteral("av1.mkv") << 25;
        QTest::newRow("mpeg-2 ps") << QStringLiteral("mpeg2.mpg") << 25;
        QTest::newRow("mpeg-4 avi b-frames") << QStringLiteral("mpeg4_bframes.avi") << 25;
        QTest::newRow("prores 4:2:2 10-bit") << QStringLiteral("prores.mov") << 25;
        QTest::newRow("mjpeg avi") << QStringLiteral("mjpeg.avi") << 25;
        QTest::newRow("rotated 90") << QStringLiteral("rotated90.mp4") << 25;
        QTest::newRow("rotated 270") << QStringLiteral("rotated270.mp4") << 25;
        QTest::newRow("trimmed mp4 (edit list)") << QStringLiteral("trimmed.mp4") << 25;
        QTest::newRow("ts cut mid-group") << QStringLiteral("ts_cut_midgop.ts") << 25;
        QTest::newRow("hevc from a cra") << QStringLiteral("hevc_from_cra.ts") << 25;
        QTest::newRow("duplicate timestamps") << QStringLiteral("duplicate_timestamps.mkv") << 0;
        QTest::newRow("late start") << QStringLiteral("late_start.mkv") << 25;
        // 25, then 10, then 50 fps: frame numbers are not time * rate.
        QTest::newRow("variable rate") << QStringLiteral("../numbered_vfr.mkv") << 0;
    }
    void clip()
    {
        QFETCH(QString, file);
        QFETCH(int, rate);
        const QString path = kMatrixDir + QLatin1Char('/') + file;
        QString failure;
        Reference reference;
        QVERIFY2(reference.load(path, &failure), qPrintable(failure));

        // One count everywhere: ffprobe's.
        std::string error;
        VkMediaProbeResult probed;
        QVERIFY2(VkMediaProbe::probe(path.toStdString(), probed, &error), error.c_str());
        QCOMPARE(qint64(probed.frameCount), reference.frames);
        QCOMPARE(QSize(probed.width, probed.height), QSize(reference.width, reference.height));
        if (rate > 0)
            QCOMPARE(probed.frameRate.toDouble(), double(rate));
        const auto index = VkPacketIndex::get(path.toStdString(), nullptr, &error);
        QVERIFY2(index, error.c_str());
        QCOMPARE(qint64(index->frameCount()), reference.frames);

        VkFrameRenderer renderer;
        QVERIFY2(renderer.open(path.toStdString(), &error), error.c_str());
        QCOMPARE(qint64(renderer.frameCount()), reference.frames);
        QCOMPARE(QSize(renderer.displayWidth(), renderer.displayHeight()),
                 QSize(reference.width, reference.height));
        const int w = reference.width;
        const int h = reference.height;
        const std::vector<qint64> order = framesToTry(*index);
        QStringList wrong;
        for (const qint64 n : order) {
            std::vector<uint8_t> got(size_t(w) * h * kBytesPerPixel);
            if (!renderer.renderFrame(n, w, h, got.data(), &error) || got != reference.argb(n))
                wrong << QString::number(n) + QLatin1Char(' ') + QString::fromStdString(error);
            error.clear();
        }
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(QStringLiteral("wrong frames: ") + wrong.join(QStringLiteral(", "))));

        // The detector numbers the same frames: its scenes tile the clip exactly.
        SceneRecorder recorder;
        QCOMPARE(recorder.detect(path.toStdString()), 'F');
        QVERIFY(recorder.tiles(reference.frames));
        // Frees the thumbnails the detector kept.
        VkFrameCache::instance().clear();
    }
};

QTEST_GUILESS_MAIN(tst_VkMediaMatrix)
#include "tst_vkmedia_matrix.moc"
