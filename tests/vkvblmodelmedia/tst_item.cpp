// Media items made from real files: what their media information answers for each kind, which
// interface parts they can be cast to, the record beside the file (stock and library assets, damaged
// records), renaming and the alpha reading of pictures.

#include "VkMediaModelTestSupport.h"

#include <vkvblmodel/IVkAudioMediaInfo.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkVCGMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>

#include <exiv2/exiv2.hpp>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "VkTestMain.h"

using namespace VkMediaModelTest;

namespace {
// The part of the warning that a damaged record beside a media file raises.
const QRegularExpression kDamagedRecordWarning(QStringLiteral("Media record .* is damaged"));
} // namespace

class tst_VkMediaItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void kinds_data();
    void kinds();
    void videoFacts_data();
    void videoFacts();
    void audioFacts_data();
    void audioFacts();
    void pictureSize_data();
    void pictureSize();
    void exposureTime_data();
    void exposureTime();
    void notMedia_data();
    void notMedia();
    void names();
    void rename_data();
    void rename();
    void alphaTypePerItem();
    void stockRecord();
    void stockQualities_data();
    void stockQualities();
    void libraryRecord();
    void damagedRecord_data();
    void damagedRecord();
    void sourcePath_data();
    void sourcePath();
    void clipReferences();

private:
    // A copy of a generated file under a name of the test's choice, with an optional record beside it.
    QString copyOf(const char* name, const QString& as, const QByteArray& record = QByteArray());

    QTemporaryDir m_dir;
};

QString tst_VkMediaItem::copyOf(const char* name, const QString& as, const QByteArray& record)
{
    const QString target = m_dir.filePath(as);
    QFile::remove(target);
    QFile::remove(target + QStringLiteral(".vkmeta.json"));
    if (!QFile::copy(mediaPath(name), target))
        return QString();
    if (!record.isNull()) {
        QFile file(target + QStringLiteral(".vkmeta.json"));
        if (!file.open(QIODevice::WriteOnly) || file.write(record) != record.size())
            return QString();
    }
    return target;
}

void tst_VkMediaItem::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
    QVERIFY(m_dir.isValid());
}

void tst_VkMediaItem::cleanup()
{
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_VkMediaItem::kinds_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("itemType");
    QTest::addColumn<int>("frames");
    QTest::addColumn<bool>("noDuration");
    QTest::addColumn<bool>("video");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<bool>("image");

    // 3 s at 25 fps: 75 frames; the MP4 header has the count.
    QTest::newRow("video only") << "numbered.mp4" << 1 << 1 << 75 << false << true << true << false;
    // Matroska has no count in its header: 75 frames counted from the packet index.
    QTest::newRow("video only, counted")
        << "numbered_offset.mkv" << 1 << 1 << 75 << false << true << true << false;
    // 25 + 25 + 25 frames at three rates: still 75 pictures, not duration x rate.
    QTest::newRow("variable rate") << "numbered_vfr.mkv" << 1 << 1 << 75 << false << true << true << false;
    // 2 s at 25 fps with sound: 50 frames, flags 1 | 2.
    QTest::newRow("video and audio") << "av.mp4" << 3 << 1 << 50 << false << true << true << false;
    // Sound only is told in frames of 25 fps: 2 s give 50; there is no video part to cast to.
    QTest::newRow("audio only") << "audio.wav" << 2 << 2 << 50 << false << false << true << false;
    // A picture is one frame without a running time, and has no audio part.
    QTest::newRow("png") << "alpha.png" << 4 << 3 << 1 << true << false << false << true;
    QTest::newRow("jpeg") << "photo.jpg" << 4 << 3 << 1 << true << false << false << true;
}

void tst_VkMediaItem::kinds()
{
    QFETCH(QString, file);
    QFETCH(int, flags);
    QFETCH(int, itemType);
    QFETCH(int, frames);
    QFETCH(bool, noDuration);
    QFETCH(bool, video);
    QFETCH(bool, audio);
    QFETCH(bool, image);

    const auto media = item(mediaPath(file.toUtf8().constData()));
    QVERIFY(media);
    IVkMediaInfo* info = media->GetMediaInfo();
    QVERIFY(info);
    QCOMPARE(info->GetStreamFlags(), flags);
    QCOMPARE(media->GetItemType(), itemType);
    QCOMPARE(info->GetFrameCount(), frames);
    QCOMPARE(info->HasNoDuration(), noDuration);
    QCOMPARE(dynamic_cast<IVkVideoMediaInfo*>(info) != nullptr, video);
    QCOMPARE(dynamic_cast<IVkAudioMediaInfo*>(info) != nullptr, audio);
    QCOMPARE(dynamic_cast<IVkImageMediaInfo*>(info) != nullptr, image);
    // A plain file is neither a stock download nor a library asset, and says so both ways.
    QVERIFY(!media->IsStockMedia());
    QVERIFY(!media->IsVCGMedia());
    QVERIFY(!dynamic_cast<IVkStockMediaItem*>(media.get()));
    QVERIFY(!dynamic_cast<IVkVCGMediaItem*>(media.get()));
    QCOMPARE(media->GetStockSite(), 0);
    QCOMPARE(media->GetStockSource(), 0);
    // The file path is made absolute, so the detector and the timeline see one spelling of it.
    QVERIFY(QFileInfo(media->GetFilePath()).isAbsolute());
    QCOMPARE(media->GetSourceFilePath(), media->GetFilePath());
}

void tst_VkMediaItem::videoFacts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("rateNum");
    QTest::addColumn<qint64>("rateDen");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("transfer");

    QTest::newRow("bt709") << "numbered.mp4" << qint64(25) << qint64(1) << 320 << 180 << "h264"
                           << "BT.709";
    QTest::newRow("pq") << "hdr_pq.mp4" << qint64(25) << qint64(1) << 320 << 180 << "h264"
                        << "PQ (SMPTE ST 2084)";
    QTest::newRow("hlg") << "hdr_hlg.mkv" << qint64(25) << qint64(1) << 320 << 180 << "h264"
                         << "HLG (ARIB STD-B67)";
    QTest::newRow("untagged") << "av.mp4" << qint64(25) << qint64(1) << 320 << 180 << "h264"
                              << "Unspecified";
}

void tst_VkMediaItem::videoFacts()
{
    QFETCH(QString, file);
    QFETCH(qint64, rateNum);
    QFETCH(qint64, rateDen);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, codec);
    QFETCH(QString, transfer);

    const auto media = item(mediaPath(file.toUtf8().constData()));
    QVERIFY(media);
    auto* video = dynamic_cast<IVkVideoMediaInfo*>(media->GetMediaInfo());
    QVERIFY(video);
    QCOMPARE(video->GetFrameRate().num, rateNum);
    QCOMPARE(video->GetFrameRate().den, rateDen);
    QCOMPARE(video->GetWidth(), width);
    QCOMPARE(video->GetHeight(), height);
    QCOMPARE(video->GetCodecName(), codec);
    QCOMPARE(video->GetTransferCharacteristics(), transfer);
    QVERIFY(video->GetBitRate() > 0);
}

void tst_VkMediaItem::audioFacts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("streamIndex");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("minBitRate");
    QTest::addColumn<int>("maxBitRate");

    // The sound follows the picture in the MP4: stream 1. AAC is lossy, so no bits per sample; its
    // rate was asked for as 128 kb/s and the container's figure lands within a few per cent.
    QTest::newRow("aac in mp4") << "av.mp4" << 1 << "aac" << 2 << 48000 << 0 << 120000 << 136000;
    // FLAC keeps whole 24-bit samples; Matroska has no bit rate, so it is measured from the packets.
    QTest::newRow("flac in mkv") << "av.mkv" << 1 << "flac" << 1 << 44100 << 24 << 1 << 44100 * 24;
    // PCM: 48000 samples x 2 channels x 16 bits = 1 536 000 bits per second exactly.
    QTest::newRow("wav") << "audio.wav" << 0 << "pcm_s16le" << 2 << 48000 << 16 << 1536000 << 1536000;
    QTest::newRow("mp3") << "audio.mp3" << 0 << "mp3" << 1 << 44100 << 0 << 96000 << 96000;
    // No sound at all: the index is -1 and every question about it answers nothing.
    QTest::newRow("silent video") << "numbered.mp4" << -1 << "" << 0 << 0 << 0 << 0 << 0;
}

void tst_VkMediaItem::audioFacts()
{
    QFETCH(QString, file);
    QFETCH(int, streamIndex);
    QFETCH(QString, codec);
    QFETCH(int, channels);
    QFETCH(int, sampleRate);
    QFETCH(int, bits);
    QFETCH(int, minBitRate);
    QFETCH(int, maxBitRate);

    const auto media = item(mediaPath(file.toUtf8().constData()));
    QVERIFY(media);
    auto* audio = dynamic_cast<IVkAudioMediaInfo*>(media->GetMediaInfo());
    QVERIFY(audio);
    QCOMPARE(media->GetAudioStreamIndex(), streamIndex);
    const int index = media->GetAudioStreamIndex();
    QCOMPARE(audio->GetCodecName(index), codec);
    QCOMPARE(audio->GetChannels(index), channels);
    QCOMPARE(audio->GetSampleRate(index), sampleRate);
    QCOMPARE(audio->GetSampleBits(index), bits);
    QVERIFY2(audio->GetBitRate(index) >= minBitRate && audio->GetBitRate(index) <= maxBitRate,
             qPrintable(QString::number(audio->GetBitRate(index))));
    // An index that holds no sound (the picture's stream, or one past the last) answers nothing.
    for (const int other : {index + 1, index == 0 ? 5 : 0}) {
        QCOMPARE(audio->GetChannels(other), 0);
        QCOMPARE(audio->GetSampleRate(other), 0);
        QCOMPARE(audio->GetBitRate(other), 0);
        QVERIFY(audio->GetCodecName(other).isEmpty());
    }
}

void tst_VkMediaItem::pictureSize_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("png") << "alpha.png" << 200 << 100;
    QTest::newRow("jpeg") << "photo.jpg" << 240 << 160;
}

void tst_VkMediaItem::pictureSize()
{
    QFETCH(QString, file);
    QFETCH(int, width);
    QFETCH(int, height);

    const auto media = item(mediaPath(file.toUtf8().constData()));
    QVERIFY(media);
    auto* image = dynamic_cast<IVkImageMediaInfo*>(media->GetMediaInfo());
    QVERIFY(image);
    QCOMPARE(image->GetWidth(), width);
    QCOMPARE(image->GetHeight(), height);
    // The generated pictures carry no camera data.
    QVERIFY(image->GetCameraMaker().isEmpty());
    QVERIFY(image->GetCameraModel().isEmpty());
    QCOMPARE(image->GetExposureTime(), 0);
}

void tst_VkMediaItem::exposureTime_data()
{
    QTest::addColumn<int>("num");
    QTest::addColumn<int>("den");
    QTest::addColumn<int>("seconds");

    // Whole seconds cut toward zero: 5/2 s is 2 (not rounded to 3), 7/2 s is 3, a short exposure 0.
    QTest::newRow("two and a half seconds") << 5 << 2 << 2;
    QTest::newRow("three and a half seconds") << 7 << 2 << 3;
    QTest::newRow("thirty seconds") << 30 << 1 << 30;
    QTest::newRow("1/250 s") << 1 << 250 << 0;
    // A damaged tag with a zero denominator is no exposure at all, not a division by zero.
    QTest::newRow("zero denominator") << 3 << 0 << 0;
}

void tst_VkMediaItem::exposureTime()
{
    QFETCH(int, num);
    QFETCH(int, den);
    QFETCH(int, seconds);

    const QString path = copyOf("photo.jpg", QStringLiteral("camera.jpg"));
    QVERIFY(!path.isEmpty());
    {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        QVERIFY(image.get());
        Exiv2::ExifData exif;
        // Cameras pad their texts to a fixed width; the padding is not part of the name.
        exif["Exif.Image.Make"] = std::string("VkTestCam  ");
        exif["Exif.Image.Model"] = std::string("Model 7");
        exif["Exif.Photo.ExposureTime"] = Exiv2::Rational(num, den);
        image->setExifData(exif);
        image->writeMetadata();
    }
    const auto media = item(path);
    QVERIFY(media);
    auto* photo = dynamic_cast<IVkImageMediaInfo*>(media->GetMediaInfo());
    QVERIFY(photo);
    QCOMPARE(photo->GetCameraMaker(), QStringLiteral("VkTestCam"));
    QCOMPARE(photo->GetCameraModel(), QStringLiteral("Model 7"));
    QCOMPARE(photo->GetExposureTime(), seconds);
}

void tst_VkMediaItem::notMedia_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("named");

    QTest::newRow("empty file") << mediaPath("empty.mp4") << "empty.mp4";
    QTest::newRow("random bytes") << mediaPath("random.mp4") << "random.mp4";
    QTest::newRow("cut before its index") << mediaPath("truncated.mp4") << "truncated.mp4";
    QTest::newRow("missing") << mediaPath("no such file.mp4") << "no such file.mp4";
    QTest::newRow("folder") << VkMediaTestFiles::dir() << QFileInfo(VkMediaTestFiles::dir()).fileName();
    // Nothing to name in the message; it still must not be empty.
    QTest::newRow("no path") << QString() << QString();
}

void tst_VkMediaItem::notMedia()
{
    QFETCH(QString, path);
    QFETCH(QString, named);

    QString error;
    const auto media = VkMediaItemFactory::create(path, &error);
    QVERIFY(!media);
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(named), qPrintable(error));
    // A caller that does not want the message must not crash the factory.
    QVERIFY(!VkMediaItemFactory::create(path, nullptr));
}

void tst_VkMediaItem::names()
{
    // The name is the file's name without its last suffix, so dots inside the name stay.
    const QString path = copyOf("numbered.mp4", QStringLiteral("Holiday 2024.part one.mp4"));
    QVERIFY(!path.isEmpty());
    const auto media = item(path);
    QVERIFY(media);
    QCOMPARE(media->GetName(), QStringLiteral("Holiday 2024.part one"));
    QVERIFY(media->GetAlternateName().isEmpty());
    QVERIFY(media->IsRenameEnabled());

    const QString named = copyOf("numbered.mp4", QStringLiteral("clip.mp4"),
                                 R"({"name": "Beach at dusk", "alternateName": "DSC_0042"})");
    const auto fromRecord = item(named);
    QVERIFY(fromRecord);
    QCOMPARE(fromRecord->GetName(), QStringLiteral("Beach at dusk"));
    QCOMPARE(fromRecord->GetAlternateName(), QStringLiteral("DSC_0042"));
}

void tst_VkMediaItem::rename_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("plain") << QByteArray() << "Sunset"
                           << "Sunset" << true;
    // Blanks around a typed name are not part of it.
    QTest::newRow("trimmed") << QByteArray() << "  Sunset  "
                             << "Sunset" << true;
    // A name of blanks would leave the item nameless: the old name stays.
    QTest::newRow("blank") << QByteArray() << "   "
                           << "clip" << true;
    QTest::newRow("locked by its record") << QByteArray(R"({"renameEnabled": false})") << "Sunset"
                                          << "clip" << false;
    // A library asset keeps its library's name whatever its record says about renaming.
    QTest::newRow("library asset") << QByteArray(R"({"renameEnabled": true, "vcg": {"assetKind": 3}})")
                                   << "Sunset"
                                   << "clip" << false;
}

void tst_VkMediaItem::rename()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, newName);
    QFETCH(QString, expected);
    QFETCH(bool, enabled);

    const QString path = copyOf("numbered.mp4", QStringLiteral("clip.mp4"), record);
    QVERIFY(!path.isEmpty());
    const auto media = item(path);
    QVERIFY(media);
    QCOMPARE(media->IsRenameEnabled(), enabled);
    media->SetName(newName);
    QCOMPARE(media->GetName(), expected);
    // The file on disk keeps its name.
    QVERIFY(QFile::exists(path));
    QCOMPARE(media->GetFilePath(), QFileInfo(path).absoluteFilePath());
}

void tst_VkMediaItem::alphaTypePerItem()
{
    const auto first = item(mediaPath("alpha.png"));
    const auto second = item(mediaPath("alpha.png"));
    QVERIFY(first && second);
    auto* a = dynamic_cast<IVkImageMediaInfo*>(first->GetMediaInfo());
    auto* b = dynamic_cast<IVkImageMediaInfo*>(second->GetMediaInfo());
    QVERIFY(a && b);
    QCOMPARE(a->GetAlphaType(), int(IVkImageMediaInfo::Alpha_Straight));
    a->SetAlphaType(IVkImageMediaInfo::Alpha_Ignore);
    QCOMPARE(a->GetAlphaType(), int(IVkImageMediaInfo::Alpha_Ignore));
    // The choice belongs to the item, not to the file: another item of the same picture is untouched.
    QCOMPARE(b->GetAlphaType(), int(IVkImageMediaInfo::Alpha_Straight));
    // An unknown code is kept as given, so a dialog that read it writes the same value back.
    a->SetAlphaType(7);
    QCOMPARE(a->GetAlphaType(), 7);
}

void tst_VkMediaItem::stockRecord()
{
    const QString path = copyOf("av.mp4", QStringLiteral("stock.mp4"), R"({
        "stock": {"site": 2, "source": 1001, "authorName": "Ana <b>Lima</b>",
                  "authorUrl": "https://pixabay.example/users/ana", "licenseUrl": "https://pixabay.example/license"}
    })");
    QVERIFY(!path.isEmpty());
    const auto media = item(path);
    QVERIFY(media);
    QVERIFY(media->IsStockMedia());
    QVERIFY(!media->IsVCGMedia());
    QCOMPARE(media->GetStockSite(), int(IVkAbstractMedia::StockSite_Pixabay));
    QCOMPARE(media->GetStockSource(), 1001);
    // A stock file is still the video it is.
    QCOMPARE(media->GetItemType(), int(IVkAbstractMedia::ItemType_Video));
    QCOMPARE(media->GetMediaInfo()->GetStreamFlags(), 3);
    auto* stock = dynamic_cast<IVkStockMediaItem*>(media.get());
    QVERIFY(stock);
    QVERIFY(!dynamic_cast<IVkVCGMediaItem*>(media.get()));
    // Texts from the record come back as they were written, markup and all.
    QCOMPARE(stock->GetAuthorName(), QStringLiteral("Ana <b>Lima</b>"));
    QCOMPARE(stock->GetAuthorUrl(), QStringLiteral("https://pixabay.example/users/ana"));
    QCOMPARE(stock->GetLicenseUrl(), QStringLiteral("https://pixabay.example/license"));
}

void tst_VkMediaItem::stockQualities_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("unavailable");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    // Levels 3 and 4 are listed as not offered, 5 is offered; sizes are known for all three. An
    // unlisted level is unavailable and leaves the caller's -1 x -1 untouched.
    QTest::newRow("listed, not offered") << 3 << true << 640 << 360;
    QTest::newRow("listed, not offered either") << 4 << true << 1280 << 720;
    QTest::newRow("offered") << 5 << false << 1920 << 1080;
    QTest::newRow("offered by default") << 6 << false << 3840 << 2160;
    QTest::newRow("not listed") << 2 << true << -1 << -1;
}

void tst_VkMediaItem::stockQualities()
{
    QFETCH(int, level);
    QFETCH(bool, unavailable);
    QFETCH(int, width);
    QFETCH(int, height);

    const QString path = copyOf("numbered.mp4", QStringLiteral("pixabay.mp4"), R"({"stock": {"site": 2,
        "qualities": [{"level": 3, "width": 640, "height": 360, "available": false},
                      {"level": 4, "width": 1280, "height": 720, "available": false},
                      {"level": 5, "width": 1920, "height": 1080, "available": true},
                      {"level": 6, "width": 3840, "height": 2160}]}})");
    QVERIFY(!path.isEmpty());
    const auto media = item(path);
    auto* stock = dynamic_cast<IVkStockMediaItem*>(media.get());
    QVERIFY(stock);
    QCOMPARE(stock->IsQualityUnavailable(level), unavailable);
    int w = -1;
    int h = -1;
    stock->GetQualityResolution(level, w, h);
    QCOMPARE(w, width);
    QCOMPARE(h, height);
}

void tst_VkMediaItem::libraryRecord()
{
    const QString path = copyOf("alpha.png", QStringLiteral("asset.png"), R"({"name": "Glass sphere",
        "vcg": {"keywords": ["glass", "sphere", "3d"], "assetKind": 4, "format": "PNG 200x100",
                "copyright": "(c) Example Images", "fileSize": 5368709120, "title": "Glass sphere"}})");
    QVERIFY(!path.isEmpty());
    const auto media = item(path);
    QVERIFY(media);
    QVERIFY(media->IsVCGMedia());
    QVERIFY(!media->IsStockMedia());
    QVERIFY(!dynamic_cast<IVkStockMediaItem*>(media.get()));
    QCOMPARE(media->GetItemType(), int(IVkAbstractMedia::ItemType_LibraryAsset));
    QCOMPARE(media->GetName(), QStringLiteral("Glass sphere"));
    QVERIFY(!media->IsRenameEnabled());
    // The picture underneath is still a picture.
    QVERIFY(dynamic_cast<IVkImageMediaInfo*>(media->GetMediaInfo()));

    auto* library = dynamic_cast<IVkVCGMediaItem*>(media.get());
    QVERIFY(library);
    QCOMPARE(library->GetKeywords(), (QStringList{"glass", "sphere", "3d"}));
    QCOMPARE(library->GetAssetKind(), 4);
    const VkVCGAssetInfo asset = library->GetAssetInfo(4);
    QCOMPARE(asset.format, QStringLiteral("PNG 200x100"));
    QCOMPARE(asset.copyright, QStringLiteral("(c) Example Images"));
    QCOMPARE(asset.title, QStringLiteral("Glass sphere"));
    // 5 GiB: beyond 32 bits, so a narrowing anywhere on the way shows.
    QCOMPARE(asset.fileSize, Q_INT64_C(5368709120));
    // Only the rendition the item came from is known; any other answers an empty record.
    for (const int other : {3, 5, 6, 0, 7}) {
        const VkVCGAssetInfo none = library->GetAssetInfo(other);
        QVERIFY(none.format.isEmpty() && none.copyright.isEmpty() && none.title.isEmpty());
        QCOMPARE(none.fileSize, qint64(0));
    }
}

void tst_VkMediaItem::damagedRecord_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("warns");

    // A record that cannot be used is left out entirely: the item is the plain file, with its own
    // name, and a warning says why its stock or library data is missing.
    QTest::newRow("not json") << QByteArray("stock=pixabay\n") << true;
    QTest::newRow("cut short") << QByteArray(R"({"stock": {"site": 2)") << true;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4) << true;
    QTest::newRow("array at the top") << QByteArray(R"([{"stock": {"site": 2}}])") << true;
    QTest::newRow("stock is text") << QByteArray(R"({"stock": "pixabay"})") << true;
    QTest::newRow("site is text") << QByteArray(R"({"stock": {"site": "2"}})") << true;
    QTest::newRow("site is a fraction") << QByteArray(R"({"stock": {"site": 2.5}})") << true;
    QTest::newRow("quality without level")
        << QByteArray(R"({"stock": {"qualities": [{"width": 1}]}})") << true;
    QTest::newRow("quality not an object") << QByteArray(R"({"stock": {"qualities": [3]}})") << true;
    QTest::newRow("negative width") << QByteArray(R"({"stock": {"qualities": [{"level": 3, "width": -1}]}})")
                                    << true;
    QTest::newRow("keyword is a number") << QByteArray(R"({"vcg": {"keywords": ["a", 2]}})") << true;
    QTest::newRow("file size is text") << QByteArray(R"({"vcg": {"fileSize": "1 GB"}})") << true;
    QTest::newRow("name is a number") << QByteArray(R"({"name": 5, "stock": {"site": 2}})") << true;
    QTest::newRow("rename flag is text") << QByteArray(R"({"renameEnabled": "no"})") << true;
    // An empty file is no record either.
    QTest::newRow("empty") << QByteArray("") << true;
    // Keys this version does not know are no damage.
    QTest::newRow("unknown keys only") << QByteArray(R"({"rating": 5, "tags": ["x"]})") << false;
}

void tst_VkMediaItem::damagedRecord()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, warns);

    const QString path = copyOf("numbered.mp4", QStringLiteral("damaged.mp4"), record);
    QVERIFY(!path.isEmpty());
    if (warns)
        QTest::ignoreMessage(QtWarningMsg, kDamagedRecordWarning);
    const auto media = item(path);
    QVERIFY(media);
    QVERIFY(!media->IsStockMedia());
    QVERIFY(!media->IsVCGMedia());
    QVERIFY(!dynamic_cast<IVkStockMediaItem*>(media.get()));
    QVERIFY(!dynamic_cast<IVkVCGMediaItem*>(media.get()));
    QCOMPARE(media->GetStockSite(), 0);
    QCOMPARE(media->GetName(), QStringLiteral("damaged"));
    QVERIFY(media->IsRenameEnabled());
    QCOMPARE(media->GetMediaInfo()->GetFrameCount(), 75);
}

void tst_VkMediaItem::sourcePath_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("expected");

    // A relative path is taken from the media file's folder.
    QTest::newRow("relative") << QByteArray(R"({"sourcePath": "originals/clip.mov"})")
                              << "originals/clip.mov";
    QTest::newRow("up and down") << QByteArray(R"({"sourcePath": "../other/clip.mov"})")
                                 << "../other/clip.mov";
    QTest::newRow("none") << QByteArray("{}") << "proxy.mp4";
}

void tst_VkMediaItem::sourcePath()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, expected);

    const QString path = copyOf("numbered.mp4", QStringLiteral("proxy.mp4"), record);
    QVERIFY(!path.isEmpty());
    const auto media = item(path);
    QVERIFY(media);
    QCOMPARE(media->GetSourceFilePath(), QDir::cleanPath(QDir(m_dir.path()).absoluteFilePath(expected)));
    // The item itself is always the file that was probed.
    QCOMPARE(media->GetFilePath(), QFileInfo(path).absoluteFilePath());
}

void tst_VkMediaItem::clipReferences()
{
    const auto media = item(mediaPath("numbered.mp4"));
    QVERIFY(media);
    IVkClip* clip = media->GetClip();
    QVERIFY(clip);
    QCOMPARE(clip->GetFilePath(), media->GetFilePath());
    QCOMPARE(clip->GetFrameCount(), qint64(75));
    QCOMPARE(clip->GetFrameRate(), media->GetMediaInfo()->GetFrameRate());
    // Each call hands out a clip of its own with one reference; the counts go up and back down, and
    // the last Release() ends it (the address sanitizer reports a leak or a second free).
    IVkClip* other = media->GetClip();
    QVERIFY(other && other != clip);
    QCOMPARE(clip->AddRef(), 2L);
    QCOMPARE(clip->Release(), 1L);
    QCOMPARE(clip->Release(), 0L);
    QCOMPARE(other->Release(), 0L);
}

VK_TEST_MAIN(tst_VkMediaItem)
#include "tst_item.moc"
