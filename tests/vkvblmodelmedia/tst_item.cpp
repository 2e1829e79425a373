// Media items over real files: the engine's facts mapped onto the item interfaces, the record beside
// the file (stock and library assets, damaged records), naming and the per-item alpha choice.

#include "VkMediaTestFiles.h"

#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkAudioMediaInfo.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkVCGMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <exiv2/exiv2.hpp>

#include <QFileInfo>
#include <QRegularExpression>
#include <QVariant>

#include "VkTestMain.h"

namespace {
QString mediaPath(const QString& name)
{
    return VkMediaTestFiles::dir() + QLatin1Char('/') + name;
}

std::unique_ptr<IVkAbstractMediaItem> item(const QString& path)
{
    QString error;
    auto created = VkMediaItemFactory::create(path, &error);
    if (!created)
        qWarning("%s", qPrintable(error));
    return created;
}

// The parts separated by blanks, to compare many facts in one line.
template <typename... Parts>
QString words(const Parts&... parts)
{
    return QStringList{QVariant(parts).toString()...}.join(QLatin1Char(' '));
}

bool isPlainFile(const IVkAbstractMediaItem& media)
{
    return !media.IsStockMedia() && !media.IsVCGMedia() && media.GetStockSite() == 0 &&
           !dynamic_cast<const IVkStockMediaItem*>(&media) && !dynamic_cast<const IVkVCGMediaItem*>(&media);
}
} // namespace

class tst_VkMediaItem : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VK_ENSURE_TEST_MEDIA(); }
    void kinds_data();
    void kinds();
    void exposureTime_data();
    void exposureTime();
    void notMedia_data();
    void notMedia();
    void names_data();
    void names();
    void alphaTypePerItem();
    void libraryRecord();
    void damagedRecord_data();
    void damagedRecord();
    void clipReferences();

private:
    // A copy of a generated file under a name of the test's choice, with an optional record beside it.
    QString copyOf(const QString& name, const QString& as, const QByteArray& record = QByteArray());

    QTemporaryDir m_dir;
};

QString tst_VkMediaItem::copyOf(const QString& name, const QString& as, const QByteArray& record)
{
    const QString target = m_dir.filePath(as);
    QFile file(target + QStringLiteral(".vkmeta.json"));
    QFile::remove(target);
    file.remove();
    if (!QFile::copy(mediaPath(name), target))
        return QString();
    if (!record.isNull() && (!file.open(QIODevice::WriteOnly) || file.write(record) != record.size()))
        return QString();
    return target;
}

void tst_VkMediaItem::kinds_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("facts");
    // -1: any positive figure, as AAC's is measured.
    QTest::addColumn<int>("audioBitRate");

    // Item type, stream flags and frames (sound alone counts in frames of 25 fps, a picture is one
    // frame without running time), then each part the info casts to. The MP4's sound is stream 1.
    QTest::newRow("video") << "numbered.mp4"
                           << "1 1 75 video 320 180 25 1 h264 BT.709 audio -1  0 0 0" << 0;
    QTest::newRow("video and audio") << "av.mp4"
                                     << "1 3 50 video 320 180 25 1 h264 Unspecified audio 1 aac 2 48000 0"
                                     << -1;
    QTest::newRow("audio") << "audio.wav"
                           << "2 2 50 audio 0 pcm_s16le 2 48000 16" << 1536000;
    QTest::newRow("picture") << "alpha.png"
                             << "3 4 1 still image 200 100" << 0;
}

void tst_VkMediaItem::kinds()
{
    QFETCH(QString, file);
    QFETCH(QString, facts);
    QFETCH(int, audioBitRate);

    const auto media = item(mediaPath(file));
    QVERIFY(media);
    IVkMediaInfo* info = media->GetMediaInfo();
    QString told = words(media->GetItemType(), info->GetStreamFlags(), info->GetFrameCount());
    if (info->HasNoDuration())
        told += QStringLiteral(" still");
    if (auto* video = dynamic_cast<IVkVideoMediaInfo*>(info)) {
        told += QStringLiteral(" video ") + words(video->GetWidth(), video->GetHeight(),
                                                  video->GetFrameRate().num, video->GetFrameRate().den,
                                                  video->GetCodecName(), video->GetTransferCharacteristics());
        QVERIFY(video->GetBitRate() > 0);
    }
    if (auto* sound = dynamic_cast<IVkAudioMediaInfo*>(info)) {
        const int index = media->GetAudioStreamIndex();
        told +=
            QStringLiteral(" audio ") + words(index, sound->GetCodecName(index), sound->GetChannels(index),
                                              sound->GetSampleRate(index), sound->GetSampleBits(index));
        if (audioBitRate < 0)
            QVERIFY(sound->GetBitRate(index) > 0);
        else
            QCOMPARE(sound->GetBitRate(index), audioBitRate);
        // An index that holds no sound (the picture's stream, or one past the last) answers nothing.
        for (const int other : {index + 1, index == 0 ? 5 : 0})
            QVERIFY(sound->GetCodecName(other).isEmpty() && sound->GetChannels(other) == 0 &&
                    sound->GetSampleRate(other) == 0 && sound->GetBitRate(other) == 0);
    }
    if (auto* image = dynamic_cast<IVkImageMediaInfo*>(info))
        told += QStringLiteral(" image ") + words(image->GetWidth(), image->GetHeight());
    QCOMPARE(told, facts);
    // A plain file is neither a stock download nor a library asset, and says so both ways.
    QVERIFY(isPlainFile(*media));
    // Made absolute, so the detector and the timeline see one spelling of the path.
    QVERIFY(QFileInfo(media->GetFilePath()).isAbsolute());
    QCOMPARE(media->GetSourceFilePath(), media->GetFilePath());
}

void tst_VkMediaItem::exposureTime_data()
{
    QTest::addColumn<int>("num");
    QTest::addColumn<int>("den");
    QTest::addColumn<int>("seconds");
    // Whole seconds cut toward zero, never rounded; a damaged tag with a zero denominator is no
    // exposure at all, not a division by zero.
    QTest::newRow("5/2 s") << 5 << 2 << 2;
    QTest::newRow("7/2 s") << 7 << 2 << 3;
    QTest::newRow("1/250 s") << 1 << 250 << 0;
    QTest::newRow("3/0") << 3 << 0 << 0;
}

void tst_VkMediaItem::exposureTime()
{
    QFETCH(int, num);
    QFETCH(int, den);
    // Exiv2 writes the block the way a camera would, into a copy of the generated JPEG.
    const QString path = copyOf(QStringLiteral("photo.jpg"), QStringLiteral("camera.jpg"));
    auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
    QVERIFY(image.get());
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = std::string("VkTestCam  ");
    exif["Exif.Image.Model"] = std::string("Model 7");
    exif["Exif.Photo.ExposureTime"] = Exiv2::Rational(num, den);
    image->setExifData(exif);
    image->writeMetadata();
    const auto media = item(path);
    auto* photo = dynamic_cast<IVkImageMediaInfo*>(media ? media->GetMediaInfo() : nullptr);
    QVERIFY(photo);
    // Trailing padding of the camera's fixed-width field is dropped.
    QCOMPARE(photo->GetCameraMaker(), QStringLiteral("VkTestCam"));
    QCOMPARE(photo->GetCameraModel(), QStringLiteral("Model 7"));
    QTEST(photo->GetExposureTime(), "seconds");
}

void tst_VkMediaItem::notMedia_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("named");

    QTest::newRow("random bytes") << mediaPath("random.mp4") << "random.mp4";
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
    QVERIFY(!VkMediaItemFactory::create(path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(named), qPrintable(error));
    // A caller that does not want the message must not crash the factory.
    QVERIFY(!VkMediaItemFactory::create(path, nullptr));
}

void tst_VkMediaItem::names_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("enabled");
    // The original the item stands for, relative to the media file's folder.
    QTest::addColumn<QString>("source");

    // Only the last suffix goes; a name of blanks would leave the item nameless, so the old one stays.
    QTest::newRow("dots, blank rename") << "Holiday 2024.part one.mp4" << QByteArray() << "   "
                                        << "Holiday 2024.part one" << true << "Holiday 2024.part one.mp4";
    // Keys this version does not know are no damage.
    QTest::newRow("trimmed, unknown keys")
        << "clip.mp4" << QByteArray(R"({"rating": 5, "tags": ["x"]})") << "  Sunset  "
        << "Sunset" << true << "clip.mp4";
    QTest::newRow("named by its record")
        << "proxy.mp4" << QByteArray(R"({"name": "Beach at dusk", "sourcePath": "originals/clip.mov"})") << ""
        << "Beach at dusk" << true << "originals/clip.mov";
    QTest::newRow("locked by its record")
        << "clip.mp4" << QByteArray(R"({"renameEnabled": false, "sourcePath": "../other/clip.mov"})")
        << "Sunset"
        << "clip" << false << "../other/clip.mov";
    // A library asset keeps its library's name whatever its record says about renaming.
    QTest::newRow("library asset") << "clip.mp4"
                                   << QByteArray(R"({"renameEnabled": true, "vcg": {"assetKind": 3}})")
                                   << "Sunset"
                                   << "clip" << false << "clip.mp4";
}

void tst_VkMediaItem::names()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, record);
    QFETCH(QString, newName);
    QFETCH(QString, expected);
    QFETCH(bool, enabled);
    QFETCH(QString, source);

    const QString path = copyOf(QStringLiteral("numbered.mp4"), file, record);
    const auto media = item(path);
    QVERIFY(media);
    QCOMPARE(media->IsRenameEnabled(), enabled);
    media->SetName(newName);
    QCOMPARE(media->GetName(), expected);
    QCOMPARE(media->GetSourceFilePath(), QDir::cleanPath(QDir(m_dir.path()).absoluteFilePath(source)));
    // The item itself is always the file that was probed, and the file keeps its name.
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
    // The choice belongs to the item, not to the file.
    QCOMPARE(b->GetAlphaType(), int(IVkImageMediaInfo::Alpha_Straight));
    // An unknown code is kept as given, so a dialog that read it writes the same value back.
    a->SetAlphaType(7);
    QCOMPARE(a->GetAlphaType(), 7);
}

void tst_VkMediaItem::libraryRecord()
{
    const auto media =
        item(copyOf(QStringLiteral("alpha.png"), QStringLiteral("asset.png"), R"({"name": "Glass sphere",
        "alternateName": "DSC_0042",
        "vcg": {"keywords": ["glass", "sphere", "3d"], "assetKind": 4, "format": "PNG 200x100",
                "copyright": "(c) Example Images", "fileSize": 5368709120, "title": "Glass sphere"}})"));
    QVERIFY(media && media->IsVCGMedia() && !media->IsStockMedia());
    QVERIFY(!dynamic_cast<IVkStockMediaItem*>(media.get()));
    QCOMPARE(media->GetItemType(), int(IVkAbstractMedia::ItemType_LibraryAsset));
    QCOMPARE(media->GetName(), QStringLiteral("Glass sphere"));
    QCOMPARE(media->GetAlternateName(), QStringLiteral("DSC_0042"));
    // The picture underneath is still a picture.
    QVERIFY(dynamic_cast<IVkImageMediaInfo*>(media->GetMediaInfo()));

    auto* library = dynamic_cast<IVkVCGMediaItem*>(media.get());
    QVERIFY(library);
    QCOMPARE(library->GetKeywords(), (QStringList{"glass", "sphere", "3d"}));
    QCOMPARE(library->GetAssetKind(), 4);
    // 5 GiB: beyond 32 bits, so a narrowing anywhere on the way shows.
    const auto asset = [library](int kind) {
        const VkVCGAssetInfo info = library->GetAssetInfo(kind);
        return QStringList{info.format, info.copyright, info.title, QString::number(info.fileSize)};
    };
    QCOMPARE(asset(4), (QStringList{"PNG 200x100", "(c) Example Images", "Glass sphere", "5368709120"}));
    // Only the rendition the item came from is known; any other answers an empty record.
    QCOMPARE(asset(3), (QStringList{"", "", "", "0"}));
    QCOMPARE(asset(0), asset(3));
}

void tst_VkMediaItem::damagedRecord_data()
{
    QTest::addColumn<QByteArray>("record");

    // A record that cannot be used is left out entirely, with a warning saying why.
    QTest::newRow("cut short") << QByteArray(R"({"stock": {"site": 2)");
    QTest::newRow("array at the top") << QByteArray(R"([{"stock": {"site": 2}}])");
    QTest::newRow("stock is text") << QByteArray(R"({"stock": "pixabay"})");
    QTest::newRow("site is text") << QByteArray(R"({"stock": {"site": "2"}})");
    QTest::newRow("quality without level") << QByteArray(R"({"stock": {"qualities": [{"width": 1}]}})");
    QTest::newRow("negative width") << QByteArray(R"({"stock": {"qualities": [{"level": 3, "width": -1}]}})");
    QTest::newRow("keyword is a number") << QByteArray(R"({"vcg": {"keywords": ["a", 2]}})");
    QTest::newRow("rename flag is text") << QByteArray(R"({"renameEnabled": "no"})");
}

void tst_VkMediaItem::damagedRecord()
{
    QFETCH(QByteArray, record);

    const QString path = copyOf(QStringLiteral("numbered.mp4"), QStringLiteral("damaged.mp4"), record);
    QVERIFY(!path.isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Media record .* is damaged")));
    const auto media = item(path);
    QVERIFY(media);
    // The plain file, with its own name.
    QVERIFY(isPlainFile(*media));
    QCOMPARE(media->GetName(), QStringLiteral("damaged"));
    QVERIFY(media->IsRenameEnabled());
    QCOMPARE(media->GetMediaInfo()->GetFrameCount(), 75);
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
    // Each call hands out a clip of its own with one reference; the last Release() ends it (the
    // address sanitizer reports a leak or a second free).
    IVkClip* other = media->GetClip();
    QVERIFY(other && other != clip);
    QCOMPARE(clip->AddRef(), 2L);
    QCOMPARE(clip->Release(), 1L);
    QCOMPARE(clip->Release(), 0L);
    QCOMPARE(other->Release(), 0L);
}

VK_TEST_MAIN(tst_VkMediaItem)
#include "tst_item.moc"
