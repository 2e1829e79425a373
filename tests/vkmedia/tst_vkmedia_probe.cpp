// Probing real video files: stream kinds, exact frame counts, rates, codecs, colour transfer, and what
// a second probe of the same file reuses. The audio and picture facts are checked through the
// model's media items (tests/vkvblmodelmedia), damaged files with the renderer's.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkMediaFileRegistry.h>
#include <vkmedia/VkMediaProbe.h>

#include <QtTest>

#include <tuple>

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
        QCOMPARE(qint64(r.frameRate.num), qint64(25));
        QCOMPARE(qint64(r.frameRate.den), qint64(1));
        QCOMPARE(QSize(r.width, r.height), QSize(320, 180));
        QCOMPARE(QString::fromStdString(r.videoCodecName), QStringLiteral("h264"));
        QVERIFY(!r.hasNoDuration);
        // From the header or measured from packet sizes, a coded stream has a bit rate.
        QVERIFY2(r.videoBitRate > 0, std::to_string(r.videoBitRate).c_str());
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
};

QTEST_GUILESS_MAIN(tst_VkMediaProbe)
#include "tst_vkmedia_probe.moc"
