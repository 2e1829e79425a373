// Probing real files: stream kinds, exact frame counts, rates, codecs, colour transfer, audio facts,
// picture facts with EXIF, and clear failures for files that are not media.

#include "VkMediaTestFiles.h"

#include <vkmedia/VkMediaProbe.h>
#include <vkmedia/VkPacketIndex.h>

#include <QTemporaryDir>
#include <QtTest>

#include <exiv2/exiv2.hpp>

class tst_VkMediaProbe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void video_data();
    void video();
    void audio_data();
    void audio();
    void stills_data();
    void stills();
    void exifFromCamera();
    void notMedia_data();
    void notMedia();
};

void tst_VkMediaProbe::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void tst_VkMediaProbe::video_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("flags");
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<bool>("fromHeader");
    QTest::addColumn<qint64>("rateNum");
    QTest::addColumn<qint64>("rateDen");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("transfer");
    QTest::addColumn<int>("bits");

    // 3 s at 25 fps = 75 frames; MP4's sample table holds the count, so no scan is needed.
    QTest::newRow("mp4, B-frames") << "numbered.mp4" << 1 << qint64(75) << true << qint64(25) << qint64(1)
                                   << "h264"
                                   << "BT.709" << 8;
    // The same 75 frames remuxed: MPEG-TS and Matroska have no count in the header, it comes from
    // the packet index.
    QTest::newRow("mpeg-ts") << "numbered.ts" << 1 << qint64(75) << false << qint64(25) << qint64(1) << "h264"
                             << "BT.709" << 8;
    QTest::newRow("mkv with start offset")
        << "numbered_offset.mkv" << 1 << qint64(75) << false << qint64(25) << qint64(1) << "h264"
        << "BT.709" << 8;
    // 2 s of 25 fps video with an audio track: flags 1 | 2 = 3, 50 frames.
    QTest::newRow("mp4 with aac") << "av.mp4" << 3 << qint64(50) << true << qint64(25) << qint64(1) << "h264"
                                  << "Unspecified" << 8;
    QTest::newRow("mkv with flac") << "av.mkv" << 3 << qint64(50) << false << qint64(25) << qint64(1)
                                   << "h264"
                                   << "Unspecified" << 8;
    // 1 s at 25 fps, 10-bit, tagged with the HDR transfer functions.
    QTest::newRow("10-bit PQ") << "hdr_pq.mp4" << 1 << qint64(25) << true << qint64(25) << qint64(1) << "h264"
                               << "PQ (SMPTE ST 2084)" << 10;
    QTest::newRow("10-bit HLG") << "hdr_hlg.mkv" << 1 << qint64(25) << false << qint64(25) << qint64(1)
                                << "h264"
                                << "HLG (ARIB STD-B67)" << 10;
}

void tst_VkMediaProbe::video()
{
    QFETCH(QString, file);
    QFETCH(int, flags);
    QFETCH(qint64, frames);
    QFETCH(bool, fromHeader);
    QFETCH(qint64, rateNum);
    QFETCH(qint64, rateDen);
    QFETCH(QString, codec);
    QFETCH(QString, transfer);
    QFETCH(int, bits);

    const std::string path = VkMediaTestFiles::path(file.toUtf8().constData());
    VkMediaProbeResult r;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(path, r, &error), error.c_str());
    QCOMPARE(r.streamFlags, flags);
    QCOMPARE(qint64(r.frameCount), frames);
    QCOMPARE(r.frameCountFromHeader, fromHeader);
    QCOMPARE(qint64(r.frameRate.num), rateNum);
    QCOMPARE(qint64(r.frameRate.den), rateDen);
    // Every clip is made at 320x180.
    QCOMPARE(r.width, 320);
    QCOMPARE(r.height, 180);
    QCOMPARE(QString::fromStdString(r.videoCodecName), codec);
    QCOMPARE(QString::fromStdString(r.transferCharacteristics), transfer);
    QCOMPARE(r.bitsPerComponent, bits);
    QVERIFY(!r.hasNoDuration);
    // Whether from the header or measured from packet sizes, a coded stream has a bit rate.
    QVERIFY2(r.videoBitRate > 0, std::to_string(r.videoBitRate).c_str());

    // The header's count and the scanned index agree: the renderer and the detector count the same
    // frames as the properties dialog shows.
    const auto index = VkPacketIndex::get(path, nullptr, &error);
    QVERIFY2(index, error.c_str());
    QCOMPARE(qint64(index->frameCount()), frames);
}

void tst_VkMediaProbe::audio_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<qint64>("bitRate");
    QTest::addColumn<qint64>("frames");

    // 16-bit stereo PCM at 48 kHz: 48000 * 2 * 16 = 1536000 bit/s; 2 s at the 25 fps of audio-only
    // media = 50 frames.
    QTest::newRow("wav pcm") << "audio.wav" << 2 << "pcm_s16le" << 2 << 48000 << 16 << qint64(1536000)
                             << qint64(50);
    // Lossy audio has no bits per sample; the bit rate asked of the encoder was 128k.
    QTest::newRow("aac in mp4") << "av.mp4" << 3 << "aac" << 2 << 48000 << 0 << qint64(-1) << qint64(50);
    // FLAC keeps the 24 bits it was given; Matroska stores no bit rate, so it is measured (-1: any
    // positive value).
    QTest::newRow("flac in mkv") << "av.mkv" << 3 << "flac" << 1 << 44100 << 24 << qint64(-1) << qint64(50);
    // MP3 at 96k: one second, 25 frames (the encoder's padding can add one).
    QTest::newRow("mp3") << "audio.mp3" << 2 << "mp3" << 1 << 44100 << 0 << qint64(96000) << qint64(25);
}

void tst_VkMediaProbe::audio()
{
    QFETCH(QString, file);
    QFETCH(int, flags);
    QFETCH(QString, codec);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(qint64, bitRate);
    QFETCH(qint64, frames);

    VkMediaProbeResult r;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(VkMediaTestFiles::path(file.toUtf8().constData()), r, &error),
             error.c_str());
    QCOMPARE(r.streamFlags, flags);
    const VkAudioStreamInfo* a = r.audioStream(r.defaultAudioStreamIndex);
    QVERIFY(a);
    QCOMPARE(QString::fromStdString(a->codecName), codec);
    QCOMPARE(a->channels, channels);
    QCOMPARE(a->sampleRate, rate);
    QCOMPARE(a->bitsPerSample, bits);
    if (bitRate > 0)
        QCOMPARE(qint64(a->bitRate), bitRate);
    else
        QVERIFY(a->bitRate > 0);
    QVERIFY2(qAbs(qint64(r.frameCount) - frames) <= 1, std::to_string(r.frameCount).c_str());
    // An index that is not an audio stream answers nothing.
    QVERIFY(!r.audioStream(r.videoStreamIndex));
}

void tst_VkMediaProbe::stills_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("alpha");

    // Sizes as generated; the PNG was made with an alpha ramp, the JPEG cannot hold one.
    QTest::newRow("png with alpha") << "alpha.png" << 200 << 100 << true;
    QTest::newRow("jpeg") << "photo.jpg" << 240 << 160 << false;
}

void tst_VkMediaProbe::stills()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, alpha);

    VkMediaProbeResult r;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(VkMediaTestFiles::path(file.toUtf8().constData()), r, &error),
             error.c_str());
    QCOMPARE(r.streamFlags, int(VkMediaProbeResult::Image));
    QVERIFY(r.hasNoDuration);
    QCOMPARE(r.width, width);
    QCOMPARE(r.height, height);
    QCOMPARE(r.hasAlpha, alpha);
    // The generated pictures carry no EXIF block.
    QVERIFY(r.cameraMaker.empty());
    QVERIFY(!r.exposureTime.isValid());
}

void tst_VkMediaProbe::exifFromCamera()
{
    // Exiv2 writes the block the way a camera would, into a copy of the generated JPEG.
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString copy = tmp.filePath(QStringLiteral("camera.jpg"));
    QVERIFY(QFile::copy(QString::fromStdString(VkMediaTestFiles::path("photo.jpg")), copy));
    {
        auto image = Exiv2::ImageFactory::open(copy.toStdString());
        QVERIFY(image.get());
        image->readMetadata();
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = std::string("VkTestCam  ");
        exif["Exif.Image.Model"] = std::string("Model 7");
        exif["Exif.Photo.ExposureTime"] = Exiv2::Rational(5, 2);
        image->setExifData(exif);
        image->writeMetadata();
    }
    VkMediaProbeResult r;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(copy.toStdString(), r, &error), error.c_str());
    QCOMPARE(r.streamFlags, int(VkMediaProbeResult::Image));
    // Trailing padding of the camera's fixed-width field is dropped.
    QCOMPARE(QString::fromStdString(r.cameraMaker), QStringLiteral("VkTestCam"));
    QCOMPARE(QString::fromStdString(r.cameraModel), QStringLiteral("Model 7"));
    // 5/2 s stays an exact ratio; whole seconds are the caller's rounding.
    QCOMPARE(qint64(r.exposureTime.num), qint64(5));
    QCOMPARE(qint64(r.exposureTime.den), qint64(2));
    QCOMPARE(r.width, 240);
}

void tst_VkMediaProbe::notMedia_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("empty") << "empty.mp4";
    QTest::newRow("random bytes") << "random.mp4";
    QTest::newRow("mp4 cut before its index") << "truncated.mp4";
    QTest::newRow("missing") << "no-such-file.mp4";
}

void tst_VkMediaProbe::notMedia()
{
    QFETCH(QString, file);
    VkMediaProbeResult r;
    r.streamFlags = -1;
    std::string error;
    QVERIFY(!VkMediaProbe::probe(VkMediaTestFiles::path(file.toUtf8().constData()), r, &error));
    QVERIFY(!error.empty());
    // A failed probe leaves no stale facts behind.
    QCOMPARE(r.streamFlags, 0);
}

QTEST_GUILESS_MAIN(tst_VkMediaProbe)
#include "tst_vkmedia_probe.moc"
