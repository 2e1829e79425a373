// Probing real files: stream kinds, exact frame counts, rates, codecs, colour transfer, audio facts,
// picture facts with EXIF, and clear failures for files that are not media.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkMediaFileRegistry.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkPacketIndex.h>

#include <QLoggingCategory>
#include <QtTest>

extern "C" {
#include <libavutil/log.h>
}

namespace {

// The engine's FFmpeg lines that reached Qt's message handler.
QStringList ffmpegLines;
QtMessageHandler previousHandler = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (context.category && qstrcmp(context.category, "vk.media.ffmpeg") == 0) {
        ffmpegLines << QString::number(int(type)) + QLatin1Char(' ') + message;
        return;
    }
    previousHandler(type, context, message);
}

} // namespace

class tst_VkMediaProbe : public QObject
{
    Q_OBJECT

    VkMediaProbeResult r;
    std::string error;

    bool probe(const QString& file) { return VkMediaProbe::probe(VkMediaTestFiles::path(file), r, &error); }

private slots:
    void initTestCase() { VK_ENSURE_TEST_MEDIA(); }
    void init()
    {
        r = {};
        error.clear();
    }

    void video_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("flags");
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<bool>("fromHeader");
        QTest::addColumn<QString>("transfer");
        QTest::addColumn<int>("bits");
        // False for containers that only find their streams while reading packets: each open probes.
        QTest::addColumn<bool>("shared");
        // All 25 fps h264 at 320x180. MPEG-TS and Matroska hold no frame count: the packet index gives it.
        QTest::newRow("mp4, B-frames") << "numbered.mp4" << 1 << qint64(75) << true << "BT.709" << 8 << true;
        QTest::newRow("mpeg-ts") << "numbered.ts" << 1 << qint64(75) << false << "BT.709" << 8 << false;
        QTest::newRow("mkv with start offset")
            << "numbered_offset.mkv" << 1 << qint64(75) << false << "BT.709" << 8 << true;
        // Flags 1 | 2: video and audio.
        QTest::newRow("mp4 with aac") << "av.mp4" << 3 << qint64(50) << true << "Unspecified" << 8 << true;
        QTest::newRow("mkv with flac") << "av.mkv" << 3 << qint64(50) << false << "Unspecified" << 8 << true;
        QTest::newRow("10-bit PQ") << "hdr_pq.mp4" << 1 << qint64(25) << true << "PQ (SMPTE ST 2084)" << 10
                                   << true;
        QTest::newRow("10-bit HLG") << "hdr_hlg.mkv" << 1 << qint64(25) << false << "HLG (ARIB STD-B67)" << 10
                                    << true;
    }
    void video()
    {
        QFETCH(QString, file);
        QFETCH(qint64, frames);
        QVERIFY2(probe(file), error.c_str());
        QTEST(r.streamFlags, "flags");
        QCOMPARE(qint64(r.frameCount), frames);
        QTEST(r.frameCountFromHeader, "fromHeader");
        QCOMPARE(qint64(r.frameRate.num), qint64(25));
        QCOMPARE(qint64(r.frameRate.den), qint64(1));
        QCOMPARE(QSize(r.width, r.height), QSize(320, 180));
        QCOMPARE(QString::fromStdString(r.videoCodecName), QStringLiteral("h264"));
        QTEST(QString::fromStdString(r.transferCharacteristics), "transfer");
        QTEST(r.bitsPerComponent, "bits");
        QVERIFY(!r.hasNoDuration);
        // From the header or measured from packet sizes, a coded stream has a bit rate.
        QVERIFY2(r.videoBitRate > 0, std::to_string(r.videoBitRate).c_str());
        // The renderer and the detector count the same frames as the properties dialog shows.
        const auto index = VkPacketIndex::get(VkMediaTestFiles::path(file), nullptr, &error);
        QVERIFY2(index, error.c_str());
        QCOMPARE(qint64(index->frameCount()), frames);

        // Probing again reuses what the first open learnt, and reads the same facts.
        const int64_t probes = vkmedia::VkMediaFileRegistry::streamProbeCount();
        VkMediaProbeResult again;
        QVERIFY2(VkMediaProbe::probe(VkMediaTestFiles::path(file), again, &error), error.c_str());
        QFETCH(bool, shared);
        QCOMPARE(vkmedia::VkMediaFileRegistry::streamProbeCount() - probes, shared ? 0 : 1);
        QCOMPARE(again.frameCount, r.frameCount);
        QCOMPARE(again.durationSeconds, r.durationSeconds);
        QCOMPARE(again.videoBitRate, r.videoBitRate);
        QCOMPARE(again.pixelFormatName, r.pixelFormatName);
        QCOMPARE(again.audioStreams.size(), r.audioStreams.size());
        for (size_t i = 0; i < r.audioStreams.size(); ++i)
            QCOMPARE(again.audioStreams[i].bitRate, r.audioStreams[i].bitRate);
    }

    void rewrittenFileProbedAgain()
    {
        // A clip replaced in place (a new render of the same name) is probed anew, never answered
        // from what its old content taught.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clip.mp4"));
        QVERIFY(QFile::copy(QString::fromStdString(VkMediaTestFiles::path("numbered.mp4")), path));
        QVERIFY(VkMediaProbe::probe(path.toStdString(), r, &error));
        QCOMPARE(r.frameCount, int64_t(75));
        const int64_t probes = vkmedia::VkMediaFileRegistry::streamProbeCount();
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(QString::fromStdString(VkMediaTestFiles::path("av.mp4")), path));
        QVERIFY2(VkMediaProbe::probe(path.toStdString(), r, &error), error.c_str());
        // The new content is learnt once more, and then shared again.
        VkMediaProbeResult again;
        QVERIFY(VkMediaProbe::probe(path.toStdString(), again, &error));
        QCOMPARE(vkmedia::VkMediaFileRegistry::streamProbeCount() - probes, int64_t(1));
        QCOMPARE(r.frameCount, int64_t(50));
        QCOMPARE(r.audioStreams.size(), size_t(1));
    }

    void audio_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("facts"); // codec, channels, sample rate, bits per sample
        QTest::addColumn<int>("bitRate");   // -1: measured, any positive value
        QTest::addColumn<int>("frames");    // at 25 fps for audio-only media; MP3 padding may add one
        // 48000 * 2 * 16 = 1536000 bit/s. Lossy audio has no bits per sample; FLAC keeps its 24.
        QTest::newRow("wav pcm") << "audio.wav" << 2 << "pcm_s16le 2 48000 16" << 1536000 << 50;
        QTest::newRow("aac in mp4") << "av.mp4" << 3 << "aac 2 48000 0" << -1 << 50;
        QTest::newRow("flac in mkv") << "av.mkv" << 3 << "flac 1 44100 24" << -1 << 50;
        QTest::newRow("mp3") << "audio.mp3" << 2 << "mp3 1 44100 0" << 96000 << 25;
    }
    void audio()
    {
        QFETCH(QString, file);
        QFETCH(int, bitRate);
        QFETCH(int, frames);
        QVERIFY2(probe(file), error.c_str());
        QTEST(r.streamFlags, "flags");
        const VkAudioStreamInfo* a = r.audioStream(r.defaultAudioStreamIndex);
        QVERIFY(a);
        QTEST(QStringLiteral("%1 %2 %3 %4")
                  .arg(QString::fromStdString(a->codecName))
                  .arg(a->channels)
                  .arg(a->sampleRate)
                  .arg(a->bitsPerSample),
              "facts");
        if (bitRate > 0)
            QCOMPARE(qint64(a->bitRate), qint64(bitRate));
        else
            QVERIFY(a->bitRate > 0);
        QVERIFY2(qAbs(qint64(r.frameCount) - frames) <= 1, std::to_string(r.frameCount).c_str());
        // An index that is not an audio stream answers nothing.
        QVERIFY(!r.audioStream(r.videoStreamIndex));
    }

    void stills_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("png with alpha") << "alpha.png" << QSize(200, 100) << true;
        QTest::newRow("jpeg") << "photo.jpg" << QSize(240, 160) << false;
    }
    void stills()
    {
        QFETCH(QString, file);
        QVERIFY2(probe(file), error.c_str());
        QCOMPARE(r.streamFlags, int(VkMediaProbeResult::Image));
        QVERIFY(r.hasNoDuration);
        QTEST(QSize(r.width, r.height), "size");
        QTEST(r.hasAlpha, "alpha");
        // The generated pictures carry no EXIF block.
        QVERIFY(r.cameraMaker.empty());
        QVERIFY(!r.exposureTime.isValid());
    }

    void notMedia_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("empty") << "empty.mp4";
        QTest::newRow("random bytes") << "random.mp4";
        QTest::newRow("mp4 cut before its index") << "truncated.mp4";
        QTest::newRow("missing") << "no-such-file.mp4";
    }
    void notMedia()
    {
        QFETCH(QString, file);
        r.streamFlags = -1;
        QVERIFY(!probe(file));
        QVERIFY(!error.empty());
        // A failed probe leaves no stale facts behind.
        QCOMPARE(r.streamFlags, 0);
    }

    void ffmpegLog_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("expected");
        // Quiet by default: a decoder's complaint about a damaged stream stays out of the host's log.
        QTest::newRow("error, default rules") << QString() << int(AV_LOG_ERROR) << QStringList();
        // Only what ends FFmpeg's work is shown unasked (2: a critical message).
        QTest::newRow("fatal, default rules")
            << QString() << int(AV_LOG_FATAL) << QStringList{QStringLiteral("2 marker 14")};
        // 1: a warning; 4: an info message.
        QTest::newRow("error, warnings on")
            << QStringLiteral("vk.media.ffmpeg.warning=true") << int(AV_LOG_ERROR)
            << QStringList{QStringLiteral("1 marker 14")};
        QTest::newRow("info, info on") << QStringLiteral("vk.media.ffmpeg.info=true") << int(AV_LOG_INFO)
                                       << QStringList{QStringLiteral("4 marker 14")};
    }
    void ffmpegLog()
    {
        QFETCH(QString, rules);
        QFETCH(int, level);
        // Probing is one of the ways into FFmpeg that route its log.
        QVERIFY2(probe(QStringLiteral("numbered.mp4")), error.c_str());
        QLoggingCategory::setFilterRules(rules);
        ffmpegLines.clear();
        previousHandler = qInstallMessageHandler(collect);
        av_log(nullptr, level, "marker %d\n", 14);
        qInstallMessageHandler(previousHandler);
        QLoggingCategory::setFilterRules(QString());
        QTEST(ffmpegLines, "expected");
    }
};

QTEST_GUILESS_MAIN(tst_VkMediaProbe)
#include "tst_vkmedia_probe.moc"
