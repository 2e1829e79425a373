// The media side of the editing model over real files. Media items: the engine's facts mapped onto
// the item interfaces, the record beside the file (stock and library assets, damaged records) and
// naming. Scene detection and the one-clip timeline over the engine's
// (tests/vkmedia covers cuts, refusals and exact frames): notification order and thread, settings read
// at start, stopping and starting again, release during a run (silent, also from its own
// notification), timeline-to-clip frame mapping and clip references.

#include "VkMediaTestFiles.h"
#include "VkTestFiles.h"

#include <vkcore/VkConfig.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkAudioMediaInfo.h>
#include <vkvblmodel/IVkClip.h>
#include <vkvblmodel/IVkImageMediaInfo.h>
#include <vkvblmodel/IVkMediaInfo.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/IVkScenceDetectEventObserver.h>
#include <vkvblmodel/IVkStockMediaItem.h>
#include <vkvblmodel/IVkTimeline.h>
#include <vkvblmodel/IVkVCGMediaItem.h>
#include <vkvblmodel/IVkVideoMediaInfo.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkTimelineSettings.h>

#include <exiv2/exiv2.hpp>

#include <QFileInfo>
#include <QRegularExpression>
#include <QVariant>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "VkTestMain.h"

using namespace VkTestLiterals;

namespace {
using Ranges = QVector<QPair<qint64, qint64>>;

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

// Records the notifications (B begin, S scene, F finished, X stopped, E failed) and the threads they
// came on; the hook runs on that thread afterwards, for progress too. Read the records once the
// detector is released.
class Recorder final : public IVkScenceDetectEventObserver
{
public:
    bool onDetectBegin() override { return record('B'); }
    bool onDetectFinished() override { return record('F'); }
    bool onDetectStopped() override { return record('X'); }
    bool onDetectFailed() override { return record('E'); }
    bool onSceneDetected(qint64 start, qint64 end) override { return record('S', start, end); }
    bool onDetectProgress(qint64 done, qint64) override { return record('p', done); }

    // Called with the notification's kind and its first frame (a scene's, or the frames done).
    std::function<void(char, qint64)> hook;
    QString trace;
    Ranges scenes;
    std::set<std::thread::id> threads;

    // Waits for `kind`, or for any end by default; the timeout only guards against a hang.
    bool waitFor(char kind = 0)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(120), [&] {
            return kind ? trace.contains(QLatin1Char(kind)) : trace.contains(QRegularExpression("[FXE]"_s));
        });
    }

private:
    bool record(char kind, qint64 start = 0, qint64 end = 0)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (kind != 'p') // progress reaches only the hook
                trace += QLatin1Char(kind);
            if (kind == 'S')
                scenes.append({start, end});
            threads.insert(std::this_thread::get_id());
        }
        m_changed.notify_all();
        if (hook)
            hook(kind, start);
        return true;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
};

struct Releaser
{
    void operator()(IVkScenceDetect* detector) const { detector->release(); }
    void operator()(IVkTimeline* timeline) const { IVkTimeline::releaseInstance(timeline); }
};
using DetectorPtr = std::unique_ptr<IVkScenceDetect, Releaser>;
using TimelinePtr = std::unique_ptr<IVkTimeline, Releaser>;

DetectorPtr detectorFor(const QString& name, Recorder* recorder)
{
    DetectorPtr detector(IVkScenceDetect::createInstance());
    detector->init(mediaPath(name), VkFrameRate{25, 1});
    detector->setObserver(recorder);
    return detector;
}

} // namespace

class tst_VkModelMedia : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VK_ENSURE_TEST_MEDIA(); }
    void init()
    {
        IVkScenceDetect::setFactory({});
        VkConfig::Instance().SetSceneDetectThreshold(VkConfig::kDefaultSceneDetectThreshold);
        VkConfig::Instance().SetSceneDetectMinSceneLength(VkConfig::kDefaultSceneDetectMinSceneLength);
    }
    void scenesInOrder_data()
    {
        QTest::addColumn<double>("threshold");
        QTest::addColumn<int>("minSceneLength");
        QTest::addColumn<Ranges>("expected");

        // Six shots of 30 frames. At least 35 frames a scene drops the cuts at 30, 90 and 150.
        QTest::newRow("shortest scene 35")
            << VkConfig::kDefaultSceneDetectThreshold << 35 << Ranges{{0, 60}, {60, 120}, {120, 180}};
        // No content distance reaches 1000: one scene over the whole clip.
        QTest::newRow("threshold out of reach")
            << 1000.0 << VkConfig::kDefaultSceneDetectMinSceneLength << Ranges{{0, 180}};
    }
    void scenesInOrder()
    {
        QFETCH(double, threshold);
        QFETCH(int, minSceneLength);
        QFETCH(Ranges, expected);

        // The settings change after the detector is made: they must be read when it starts.
        Recorder recorder;
        DetectorPtr detector = detectorFor("scenes.mp4"_s, &recorder);
        VkConfig::Instance().SetSceneDetectThreshold(threshold);
        VkConfig::Instance().SetSceneDetectMinSceneLength(minSceneLength);
        QVERIFY(detector->start());
        QVERIFY(recorder.waitFor());
        detector.reset();

        QCOMPARE(recorder.trace, "B"_s + QString(expected.size(), QLatin1Char('S')) + "F"_s);
        QCOMPARE(recorder.scenes, expected);
        // Every notification comes on the detector's own thread, never on the caller's.
        QCOMPARE(recorder.threads.size(), size_t(1));
        QVERIFY(!recorder.threads.count(std::this_thread::get_id()));
    }
    void stopAndStartAgain()
    {
        // 1000 frames. A start while running is refused without disturbing the run; a stop from the
        // detector's own thread, once 200 frames are analysed, ends it with one X before the clip's end.
        Recorder recorder;
        DetectorPtr detector = detectorFor("long.mp4"_s, &recorder);
        recorder.hook = [&detector](char kind, qint64 done) {
            if (kind == 'p' && done >= 200)
                detector->stop();
        };
        QVERIFY(detector->start());
        QVERIFY(recorder.waitFor('B'));
        QVERIFY(!detector->start());
        QVERIFY(recorder.waitFor());
        // Started again at once, it runs the whole clip afresh, without a gap.
        Recorder again;
        detector->setObserver(&again);
        QVERIFY(detector->start());
        QVERIFY(again.waitFor());
        detector.reset();
        QVERIFY2(QRegularExpression("^BS*X$"_s).match(recorder.trace).hasMatch(), qPrintable(recorder.trace));
        for (const auto& range : recorder.scenes)
            QVERIFY(range.second < 1000);
        QVERIFY2(QRegularExpression("^BS+F$"_s).match(again.trace).hasMatch(), qPrintable(again.trace));
        QCOMPARE(again.scenes.first().first, qint64(0));
        QCOMPARE(again.scenes.last().second, qint64(1000));
        for (int i = 1; i < again.scenes.size(); ++i)
            QCOMPARE(again.scenes[i].first, again.scenes[i - 1].second);
    }
    void releaseDuringRun_data()
    {
        QTest::addColumn<QString>("when");
        // Right after start() (the thread may not have run at all), once it is decoding, and on its own
        // thread from the begin notification (a thread that cannot join itself), each a few times, as the
        // moment the release meets the decode loop varies.
        for (int round = 0; round < 4; ++round) {
            for (const char* when : {"after start", "after begin", "from its notification"})
                QTest::addRow("%s %d", when, round) << QString::fromLatin1(when);
        }
    }
    void releaseDuringRun()
    {
        // The observer is deleted as soon as release() returns: a late notification would reach freed
        // memory, and a second destruction would free twice (the sanitizer tells).
        QFETCH(QString, when);
        auto recorder = std::make_unique<Recorder>();
        IVkScenceDetect* detector = detectorFor("long.mp4"_s, recorder.get()).release();
        const bool fromNotification = when == QLatin1String("from its notification");
        if (fromNotification) {
            recorder->hook = [detector](char kind, qint64) {
                if (kind == 'B')
                    detector->release();
            };
        }
        QVERIFY(detector->start());
        if (when != QLatin1String("after start"))
            QVERIFY(recorder->waitFor('B'));
        if (fromNotification) {
            // A full run of another detector meanwhile is neither blocked nor heard by the first observer.
            Recorder next;
            DetectorPtr other = detectorFor("scenes.mp4"_s, &next);
            QVERIFY(other->start());
            QVERIFY(next.waitFor());
            other.reset();
            QVERIFY(next.trace.endsWith(QLatin1Char('F')));
            QCOMPARE(recorder->trace, "B"_s);
            return;
        }
        detector->release();
        // Ending by release is silent: the stop it causes is not reported.
        QVERIFY2(!recorder->trace.contains(QRegularExpression("[XE]"_s)), qPrintable(recorder->trace));
    }
    void timelineRate_data()
    {
        QTest::addColumn<qint64>("rateNum");
        QTest::addColumn<qint64>("rateDen");
        QTest::addColumn<qint64>("frame");
        QTest::addColumn<int>("clipFrame");

        // The clip runs at 25 fps; a timeline frame shows clip frame floor(frame / timeline rate * 25).
        // floor(23.976) = 23, then 1.001 s gives floor(25.025) = 25: one clip frame is skipped there.
        QTest::newRow("film rate before the skip") << qint64(24000) << qint64(1001) << qint64(23) << 23;
        QTest::newRow("film rate after the skip") << qint64(24000) << qint64(1001) << qint64(24) << 25;
        // Exactly 17.5 -> 17.
        QTest::newRow("slower timeline") << qint64(10) << qint64(1) << qint64(7) << 17;
        // A rate with a zero part means nothing; the timeline keeps the clip's own.
        QTest::newRow("zero denominator ignored") << qint64(50) << qint64(0) << qint64(41) << 41;
        QTest::newRow("zero rate ignored") << qint64(0) << qint64(1) << qint64(12) << 12;
    }
    void timelineRate()
    {
        QFETCH(qint64, rateNum);
        QFETCH(qint64, rateDen);
        QFETCH(qint64, frame);

        const auto media = item(mediaPath("numbered.mp4"_s));
        QVERIFY(media);
        IVkClip* clip = media->GetClip();
        const TimelinePtr timeline(IVkTimeline::createSimpleTimeline(clip));
        QVERIFY(timeline);
        QCOMPARE(clip->GetFilePath(), media->GetFilePath());
        QCOMPARE(clip->GetFrameCount(), qint64(75));
        // The timeline holds a reference of its own and its release ends the clip (the sanitizer tells).
        QCOMPARE(clip->Release(), 1L);
        timeline->applySettings(VkTimelineSettings{rateNum, rateDen, QSize(320, 180), QSize(320, 180)});
        std::vector<uchar> pixels(320 * 180 * 4);
        QVERIFY(timeline->renderFrame(frame, 320, 180, pixels.data()));
        QTEST(VkMediaTestFiles::numberIn(pixels.data(), 320, 180), "clipFrame");
    }
    void pictureAndSoundOnTimeline()
    {
        // A picture placed on a timeline is its one frame: frame 0 draws, frame 1 does not exist.
        const auto picture = item(mediaPath("alpha.png"_s));
        IVkClip* picked = picture ? picture->GetClip() : nullptr;
        QVERIFY(picked);
        // The clip it was made from is released at once, as the scene presenter does.
        const TimelinePtr timeline(IVkTimeline::createSimpleTimeline(picked));
        picked->Release();
        QVERIFY(timeline);
        std::vector<uchar> pixels(200 * 100 * 4);
        QVERIFY(timeline->renderFrame(0, 200, 100, pixels.data()));
        QVERIFY(std::any_of(pixels.begin(), pixels.end(), [](uchar b) { return b != 0; }));
        QVERIFY(!timeline->renderFrame(1, 200, 100, pixels.data()));

        // Sound has no picture: the failed attempt keeps no reference to the clip.
        const auto audio = item(mediaPath("audio.wav"_s));
        IVkClip* clip = audio ? audio->GetClip() : nullptr;
        QVERIFY(clip);
        QVERIFY(!IVkTimeline::createSimpleTimeline(clip));
        QCOMPARE(clip->Release(), 0L);
        QVERIFY(!IVkTimeline::createSimpleTimeline(nullptr));
        // Releasing nothing is harmless, as it is for every owner that may hold a null timeline.
        IVkTimeline::releaseInstance(nullptr);
    }
    void kinds_data()
    {
        QTest::addColumn<QString>("facts");
        // Each row is named by its file. Item type, stream flags and frames (sound alone counts in frames
        // of 25 fps, a picture is one frame without running time), then each part the info casts to. The
        // MP4's sound is stream 1; its bit rate is last, "measured" for any positive figure, as AAC's is.
        QTest::newRow("numbered.mp4") << "1 1 75 video 320 180 25 1 h264 BT.709 audio -1  0 0 0 0"_s;
        QTest::newRow("av.mp4")
            << "1 3 50 video 320 180 25 1 h264 Unspecified audio 1 aac 2 48000 0 measured"_s;
        // Lossy audio has no bits per sample; FLAC keeps its 24.
        QTest::newRow("av.mkv")
            << "1 3 50 video 320 180 25 1 h264 Unspecified audio 1 flac 1 44100 24 measured"_s;
        // 48000 * 2 * 16 = 1536000 bit/s.
        QTest::newRow("audio.wav") << "2 2 50 audio 0 pcm_s16le 2 48000 16 1536000"_s;
        // One second of MP3, whose encoder padding adds a frame.
        QTest::newRow("audio.mp3") << "2 2 26 audio 0 mp3 1 44100 0 96000"_s;
        QTest::newRow("alpha.png") << "3 4 1 still image 200 100"_s;
    }
    void kinds()
    {
        QFETCH(QString, facts);
        const auto media = item(mediaPath(QString::fromLatin1(QTest::currentDataTag())));
        QVERIFY(media);
        IVkMediaInfo* info = media->GetMediaInfo();
        QString told = words(media->GetItemType(), info->GetStreamFlags(), info->GetFrameCount());
        if (info->HasNoDuration())
            told += " still"_s;
        if (auto* video = dynamic_cast<IVkVideoMediaInfo*>(info)) {
            told += " video "_s + words(video->GetWidth(), video->GetHeight(), video->GetFrameRate().num,
                                        video->GetFrameRate().den, video->GetCodecName(),
                                        video->GetTransferCharacteristics());
            QVERIFY(video->GetBitRate() > 0);
        }
        if (auto* sound = dynamic_cast<IVkAudioMediaInfo*>(info)) {
            const int index = media->GetAudioStreamIndex();
            const int bitRate = sound->GetBitRate(index);
            const bool measured = facts.endsWith(" measured"_s) && bitRate > 0;
            told += " audio "_s + words(index, sound->GetCodecName(index), sound->GetChannels(index),
                                        sound->GetSampleRate(index), sound->GetSampleBits(index),
                                        measured ? "measured"_s : QString::number(bitRate));
            // An index that holds no sound (the picture's stream, or one past the last) answers nothing.
            for (const int other : {index + 1, index == 0 ? 5 : 0})
                QVERIFY(sound->GetCodecName(other).isEmpty() && sound->GetChannels(other) == 0 &&
                        sound->GetSampleRate(other) == 0 && sound->GetBitRate(other) == 0);
        }
        if (auto* image = dynamic_cast<IVkImageMediaInfo*>(info))
            told += " image "_s + words(image->GetWidth(), image->GetHeight());
        QCOMPARE(told, facts);
        // A plain file is neither a stock download nor a library asset, and says so both ways.
        QVERIFY(isPlainFile(*media));
    }
    void exposureTime_data()
    {
        // Rows are named by the exposure written. Whole seconds cut toward zero, never rounded; a
        // damaged tag with a zero denominator is no exposure at all, not a division by zero.
        QTest::addColumn<int>("seconds");
        QTest::newRow("5/2") << 2;
        QTest::newRow("7/2") << 3;
        QTest::newRow("1/250") << 0;
        QTest::newRow("3/0") << 0;
    }
    void exposureTime()
    {
        QFETCH(int, seconds);
        // Exiv2 writes the block the way a camera would, into a copy of the generated JPEG.
        const QString path = copyOf("photo.jpg"_s, "camera.jpg"_s);
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        QVERIFY(image.get());
        Exiv2::ExifData exif;
        exif["Exif.Image.Make"] = std::string("VkTestCam  ");
        exif["Exif.Image.Model"] = std::string("Model 7");
        exif["Exif.Photo.ExposureTime"] = std::string(QTest::currentDataTag());
        image->setExifData(exif);
        image->writeMetadata();
        const auto media = item(path);
        auto* photo = dynamic_cast<IVkImageMediaInfo*>(media ? media->GetMediaInfo() : nullptr);
        QVERIFY(photo);
        // Trailing padding of the camera's fixed-width field is dropped.
        QCOMPARE(words(photo->GetCameraMaker(), photo->GetCameraModel(), photo->GetExposureTime()),
                 words("VkTestCam"_s, "Model 7"_s, seconds));
    }
    void notMedia_data()
    {
        QTest::addColumn<QString>("path"); // the message names its file
        QTest::newRow("random bytes") << mediaPath("random.mp4"_s);
        QTest::newRow("missing") << mediaPath("no such file.mp4"_s);
        QTest::newRow("folder") << VkMediaTestFiles::dir();
        // Nothing to name in the message; it still must not be empty.
        QTest::newRow("no path") << QString();
    }
    void notMedia()
    {
        QFETCH(QString, path);
        QString error;
        QVERIFY(!VkMediaItemFactory::create(path, &error));
        QVERIFY2(!error.isEmpty() && error.contains(QFileInfo(path).fileName()), qPrintable(error));
        // A caller that does not want the message must not crash the factory.
        QVERIFY(!VkMediaItemFactory::create(path, nullptr));
    }
    void records_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("newName"); // null: no rename
        // Name, rename allowed, the original the item stands for relative to the media file's folder,
        // and whether it is a plain file (neither stock download nor library asset). A library asset adds
        // its alternate name, kind and keywords, then the record of its rendition and that of another
        // kind, which is unknown and empty.
        QTest::addColumn<QString>("expected");

        // Only the last suffix goes; a name of blanks would leave the item nameless, so the old one stays.
        QTest::newRow("dots, blank rename") << "Holiday 2024.part one.mp4"_s << QByteArray() << "   "_s
                                            << "Holiday 2024.part one|1|Holiday 2024.part one.mp4|plain"_s;
        // Keys this version does not know are no damage.
        QTest::newRow("trimmed, unknown keys")
            << "clip.mp4"_s << QByteArray(R"({"rating": 5, "tags": ["x"]})") << "  Sunset  "_s
            << "Sunset|1|clip.mp4|plain"_s;
        QTest::newRow("named by its record")
            << "proxy.mp4"_s << QByteArray(R"({"name": "Beach at dusk", "sourcePath": "originals/clip.mov"})")
            << QString() << "Beach at dusk|1|originals/clip.mov|plain"_s;
        QTest::newRow("locked by its record")
            << "clip.mp4"_s << QByteArray(R"({"renameEnabled": false, "sourcePath": "../other/clip.mov"})")
            << "Sunset"_s
            << "clip|0|../other/clip.mov|plain"_s;
        // A library asset keeps its library's name whatever its record says about renaming. 5 GiB is beyond
        // 32 bits, so a narrowing anywhere on the way shows.
        QTest::newRow("library asset")
            << "asset.mp4"_s << QByteArray(R"({"name": "Glass sphere", "alternateName": "DSC_0042",
            "renameEnabled": true, "vcg": {"keywords": ["glass", "sphere", "3d"], "assetKind": 4, "format": "PNG",
            "copyright": "(c) Example Images", "fileSize": 5368709120, "title": "Glass sphere"}})")
            << "Sunset"_s
            << "Glass sphere|0|asset.mp4|asset|DSC_0042|4|glass sphere 3d|"
               "PNG|(c) Example Images|Glass sphere|5368709120||||0"_s;
        // A record that cannot be used is left out entirely, with a warning saying why: the plain file
        // with its own name.
        const std::pair<const char*, const char*> damaged[] = {
            {"cut short", R"({"stock": {"site": 2)"},
            {"array at the top", R"([{"stock": {"site": 2}}])"},
            {"stock is text", R"({"stock": "pixabay"})"},
            {"site is text", R"({"stock": {"site": "2"}})"},
            {"quality without level", R"({"stock": {"qualities": [{"width": 1}]}})"},
            {"keyword is a number", R"({"vcg": {"keywords": ["a", 2]}})"},
            {"rename flag is text", R"({"renameEnabled": "no"})"}};
        for (const auto& [name, record] : damaged) {
            QTest::addRow("damaged, %s", name)
                << "damaged.mp4"_s << QByteArray(record) << QString() << "damaged|1|damaged.mp4|plain"_s;
        }
    }
    void records()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, record);
        QFETCH(QString, newName);

        const QString path = copyOf("numbered.mp4"_s, file, record);
        if (file == "damaged.mp4"_s)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Media record .* is damaged"_s));
        const auto media = item(path);
        QVERIFY(media);
        if (!newName.isNull())
            media->SetName(newName);
        const QString source = media->GetSourceFilePath();
        QCOMPARE(source, QDir::cleanPath(source));
        QStringList facts{media->GetName(), QString::number(media->IsRenameEnabled()),
                          QDir(m_dir.path()).relativeFilePath(source),
                          isPlainFile(*media) ? "plain"_s : "asset"_s};
        auto* library = dynamic_cast<IVkVCGMediaItem*>(media.get());
        QCOMPARE(library != nullptr, media->IsVCGMedia());
        if (library) {
            QVERIFY(!media->IsStockMedia() && !dynamic_cast<IVkStockMediaItem*>(media.get()));
            QCOMPARE(media->GetItemType(), int(IVkAbstractMedia::ItemType_LibraryAsset));
            facts << media->GetAlternateName() << QString::number(library->GetAssetKind())
                  << library->GetKeywords().join(QLatin1Char(' '));
            for (const int kind : {library->GetAssetKind(), 3}) {
                const VkVCGAssetInfo info = library->GetAssetInfo(kind);
                facts << info.format << info.copyright << info.title << QString::number(info.fileSize);
            }
        }
        QTEST(facts.join(QLatin1Char('|')), "expected");
        // The item itself is always the file that was probed, and the file keeps its name.
        QVERIFY(QFile::exists(path));
        QCOMPARE(media->GetFilePath(), QFileInfo(path).absoluteFilePath());
        QCOMPARE(media->GetMediaInfo()->GetFrameCount(), 75);
    }

private:
    // A copy of a generated file under a name of the test's choice, with an optional record beside it.
    QString copyOf(const QString& name, const QString& as, const QByteArray& record = QByteArray())
    {
        const QString target = m_dir.filePath(as);
        const QString recordPath = target + ".vkmeta.json"_s;
        QFile::remove(recordPath);
        const bool written = writeBytes(target, readBytes(mediaPath(name))) &&
                             (record.isNull() || writeBytes(recordPath, record));
        return written ? target : QString();
    }

    QTemporaryDir m_dir;
};

VK_TEST_MAIN(tst_VkModelMedia)
#include "tst_media.moc"
