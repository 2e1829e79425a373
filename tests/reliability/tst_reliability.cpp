#include "MediaPropertyFakes.h"
#include "SceneRecorder.h"
#include "VkMediaTestFiles.h"
#include "VkTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkcore/VkConfig.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>
#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkPushButton.h>

#include <QListWidget>
#include <QTextDocument>
#include <QtEndian>

#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace MediaPropertyProbe;

using namespace VkTestLiterals;

namespace {

QString mediaFile(const QString& name)
{
    return VkMediaTestFiles::dir() + QLatin1Char('/') + name;
}

// A minimal project file `base` in `dir`, keeping the PNG `thumbnail` when given.
QString makeProject(const QString& dir, const QString& base, const QByteArray& thumbnail = QByteArray())
{
    const QString path =
        QDir(dir).filePath(base + QLatin1Char('.') + VkProjectSuffixHelper::projectFileSuffix());
    QJsonObject root{{"format"_s, "vkproject"_s}, {"version"_s, 1}};
    if (!thumbnail.isNull())
        root.insert("thumbnail"_s, QString::fromLatin1(thumbnail.toBase64()));
    return writeBytes(path, QJsonDocument(root).toJson()) ? path : QString();
}

// The PNG with its IHDR declaring width x height, bit depth and colour type (0 grey, 2 RGB, 6 RGBA,
// which the small original is) under a matching CRC-32, so decoders take the header as intact; the
// pixels stay the small original's. Empty without an IHDR.
QByteArray pngDeclaring(QByteArray png, quint32 width, quint32 height, int depth = 8, int colourType = 6)
{
    const int type = png.indexOf("IHDR");
    constexpr int kChunk = 4 + 13; // type and data, which the CRC after them covers
    if (type < 0 || png.size() < type + kChunk + 4)
        return QByteArray();
    qToBigEndian(width, png.data() + type + 4);
    qToBigEndian(height, png.data() + type + 8);
    png[type + 12] = char(depth);
    png[type + 13] = char(colourType);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.constData() + type), kChunk);
    qToBigEndian(quint32(crc), png.data() + type + kChunk);
    return png;
}

// The MP4 with its media header's time scale set to 0 (a clock that never ticks) when `damage` has
// bit 1, and every sample-to-time entry (count, delta) lasting 0 when it has bit 2. Empty when the
// boxes are not where version 0 puts them.
QByteArray mp4WithZeroTimes(QByteArray mp4, int damage)
{
    const int mdhd = mp4.indexOf("mdhd");
    const int stts = mp4.indexOf("stts");
    if (mdhd < 0 || mp4.at(mdhd + 4) != 0 || stts < 0)
        return QByteArray();
    // Type, version and flags, creation and modification times, then the time scale.
    if (damage & 1)
        qToBigEndian(quint32(0), mp4.data() + mdhd + 16);
    const quint32 entries = (damage & 2) ? qFromBigEndian<quint32>(mp4.constData() + stts + 8) : 0;
    for (quint32 i = 0; i < entries; ++i) {
        const int delta = stts + 12 + int(i) * 8 + 4;
        if (delta + 4 > mp4.size())
            return QByteArray();
        qToBigEndian(quint32(0), mp4.data() + delta);
    }
    return mp4;
}

// The JPEG with an APP1 EXIF segment holding little-endian TIFF bytes made of (value, byte count)
// pairs after the "II*\0" mark.
QByteArray jpegWithExif(std::initializer_list<std::pair<quint32, int>> fields)
{
    QByteArray tiff("II*\0", 4);
    for (const auto& [value, bytes] : fields) {
        for (int i = 0; i < bytes; ++i)
            tiff.append(char((value >> (8 * i)) & 0xFF));
    }
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = payload.size() + 2; // the segment length counts its own two bytes
    const QByteArray jpeg = readBytes(mediaFile("small.jpg"_s));
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + payload + jpeg.mid(2);
}

// The rows the startup window lists once shown.
int startupRows(VkStartupDlg& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
    return dialog.findChild<QListWidget*>("VkStartupDlg_ProjectListWidget"_s)->count();
}

// Every store of the process reads VK_HOME again.
void reloadStores()
{
    VkConfig::Instance().Reload();
    VkAppSettings::GetInstance()->Reload();
    IVkProjectRecentManager::getInstance()->reload();
}

} // namespace

// Damaged and edge-case media through every layer that reads it (engine, model, properties window):
// each file gives a clear answer, a refusal with a message or sane facts, without crashing, hanging
// or allocating what a damaged header claims. Hostile names show as typed. The scene window is
// destroyed over and over while its real detector decodes: LeakSanitizer fails the run on any block
// of ours left behind (tests/lsan.supp names only system libraries) and the thread count tells a
// detector that outlives its window. The stores under VK_HOME, damaged or
// unwritable, are never overwritten and keep nothing.
class tst_Reliability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VK_ENSURE_TEST_MEDIA();
        QVERIFY(m_work.isValid());
        // The model's own detector over the engine, not a stand-in.
        IVkScenceDetect::setFactory({});
    }
    void init()
    {
        QFile::remove(vkHomeFile("recent.json"_s));
        reloadStores();
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void edgeVideos_data()
    {
        QTest::addColumn<int>("damage"); // see mp4WithZeroTimes; 0 is the one-pixel video, whole
        QTest::addColumn<qint64>("frames");
        QTest::addColumn<SceneRanges>("scenes"); // empty: any, as long as they cover whole frames
        // The analysis plane has a floor size, so a one-pixel source still gives one whole scene.
        QTest::newRow("one pixel") << 0 << qint64(25) << SceneRanges{{0, 25}};
        // FFmpeg replaces a zero time scale by 1, which makes each 512-tick frame last 512 s; zero sample
        // durations leave only the average rate. Either way the facts must stay finite and non-zero.
        // The frames are the ones `ffprobe -count_frames` counts: the edit list, now far shorter or
        // longer than the samples' times, has FFmpeg drop all but 1, 13 and 7 of the 25 samples.
        QTest::newRow("media header time scale 0") << 1 << qint64(1) << SceneRanges();
        QTest::newRow("every frame lasting 0") << 2 << qint64(13) << SceneRanges();
        QTest::newRow("both") << 3 << qint64(7) << SceneRanges();
    }
    void edgeVideos()
    {
        QFETCH(int, damage);
        QFETCH(SceneRanges, scenes);
        const QString source = mediaFile(damage ? "small.mp4"_s : "one_pixel.mp4"_s);
        const QByteArray bytes = mp4WithZeroTimes(readBytes(source), damage);
        const QString file = m_work.filePath(QStringLiteral("edge_%1.mp4").arg(damage));
        QVERIFY(!bytes.isEmpty() && writeBytes(file, bytes));
        const std::string path = file.toStdString();

        VkMediaProbeResult facts;
        std::string error;
        QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
        QVERIFY(facts.frameRate.isValid() && std::isfinite(facts.frameRate.toDouble()));
        QVERIFY(std::isfinite(facts.durationSeconds) && facts.durationSeconds >= 0.0);
        QTEST(qint64(facts.frameCount), "frames");

        // With every duration 0 the frames' timestamps collide: the renderer counts the decoder's
        // pictures instead, and a frame it cannot reach must say why.
        VkFrameRenderer renderer;
        QVERIFY2(renderer.open(path, &error), error.c_str());
        std::vector<uint8_t> argb(8 * 8 * 4, 0);
        for (const int64_t frame : {int64_t(0), facts.frameCount - 1}) {
            error.clear();
            QVERIFY2(renderer.renderFrame(frame, 8, 8, argb.data(), &error) || !error.empty(),
                     "a failed render must say why");
        }
        // The single red pixel scaled up fills the whole 8 x 8 picture with red (ARGB32 bytes B, G, R, A).
        for (size_t i = 0; facts.width == 1 && i < argb.size(); i += 4)
            QVERIFY2(argb[i + 2] > 200 && argb[i + 1] < 60 && argb[i] < 60 && argb[i + 3] == 255,
                     qPrintable(QString::number(i)));

        // A detection ends with exactly one end notification, and what it found covers whole frames.
        SceneRecorder recorder;
        error.clear();
        const char end = recorder.detect(path, facts.frameRate, {}, &error);
        QVERIFY(end == 'F' || end == 'E' || (end == 0 && !error.empty() && recorder.kinds.empty()));
        for (const auto& scene : recorder.scenes)
            QVERIFY(scene.first >= 0 && scene.first < scene.second);
        QVERIFY(scenes.isEmpty() || (end == 'F' && recorder.scenes == scenes));

        // The media properties window of the file as the model's factory reads it, shown and laid out.
        QString refusal;
        const auto item = VkMediaItemFactory::create(file, &refusal);
        QVERIFY2(item, qPrintable(refusal));
        VkMediaPropertyDialog shown(item.get(), nullptr);
        shown.show();
        QCoreApplication::processEvents();
        const QString rate = text(page(&shown, "VkVideoInfoPage"), 3);
        QVERIFY2(rate.endsWith(" fps"_s) && !rate.contains("inf"_s) && !rate.contains("nan"_s) &&
                     !rate.startsWith("0 "_s),
                 qPrintable(rate));
        const QString duration = text(page(&shown, "VkCommonInfoPage"), 4);
        QVERIFY2(!duration.contains(QLatin1Char('-')), qPrintable(duration));
    }
    void damagedPictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("reason"); // in the refusal; empty: a picture the engine must read
        const QByteArray png = readBytes(mediaFile("small.png"_s));
        // 2.56e8 pixels pass FFmpeg's check ((w + 128) * (h + 128) < 2^28) and would be a 1 GB frame:
        // only the engine's own limit of 2^27 pixels stops it.
        QTest::newRow("16000 x 16000") << pngDeclaring(png, 16000, 16000) << QSize() << "pixels"_s;
        // 8192 x 8192 at 4 bytes is exactly 256 MiB of pixels; the padding a decoder adds takes it over.
        QTest::newRow("8192 x 8192, 8-bit RGBA") << pngDeclaring(png, 8192, 8192, 8, 6) << QSize() << "MB"_s;
        // 16-bit grey: 256 MiB once rows are rounded up, above the budget.
        QTest::newRow("16384 x 8192, 16-bit grey")
            << pngDeclaring(png, 16384, 8192, 16, 0) << QSize() << "MB one picture may take"_s;
        // The pixel cap at one byte a pixel: 128 MiB decoded, within the budget, so it is a picture the
        // engine must still read, probe and draw small (its data is the tiny original's, so the drawing
        // may fail, but with a message and within the budget).
        QTest::newRow("16384 x 8192, 8-bit grey")
            << pngDeclaring(png, 16384, 8192, 8, 0) << QSize(16384, 8192) << QString();
        // A broken EXIF block leaves an intact 64 x 48 picture without camera facts. Fields: first
        // directory's offset (8 is right after the header), entry count, then entries of tag, type,
        // count and value, then the next directory's offset.
        const QSize jpeg(64, 48);
        QTest::newRow("EXIF directory beyond the block")
            << jpegWithExif({{0xFFFFFF00u, 4}}) << jpeg << QString();
        // Make (0x010F) as ASCII (2), 2 GB long at an offset far beyond the block.
        QTest::newRow("EXIF maker text past the end")
            << jpegWithExif({{8, 4}, {1, 2}, {0x010F, 2}, {2, 2}, {0x7FFFFFFFu, 4}, {0x7FFFFFF0u, 4}, {0, 4}})
            << jpeg << QString();
        // The EXIF sub-directory (0x8769, LONG) and the next-directory link both point back at itself.
        QTest::newRow("EXIF directory loop")
            << jpegWithExif({{8, 4}, {1, 2}, {0x8769, 2}, {4, 2}, {1, 4}, {8, 4}, {8, 4}}) << jpeg
            << QString();
        QTest::newRow("EXIF cut inside the header") << jpegWithExif({{8, 1}}) << jpeg << QString();
    }
    void damagedPictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QString, reason);
        const QString file = m_work.filePath(QStringLiteral("picture_%1.%2")
                                                 .arg(QLatin1String(QTest::currentDataTag()),
                                                      bytes.startsWith("\x89PNG") ? "png"_s : "jpg"_s));
        QVERIFY(!bytes.isEmpty() && writeBytes(file, bytes));
        const std::string path = file.toStdString();

        // The sanitizer build makes allocations above 256 MB fatal, so reaching the checks below also
        // proves that nothing of the declared size was allocated.
        VkMediaProbeResult facts;
        std::string error;
        VkFrameRenderer renderer;
        if (!reason.isEmpty()) {
            QVERIFY(!VkMediaProbe::probe(path, facts, &error));
            QVERIFY2(QString::fromStdString(error).contains(file) &&
                         QString::fromStdString(error).contains(reason),
                     error.c_str());
            QCOMPARE(facts.width, 0);
            error.clear();
            QVERIFY(!renderer.open(path, &error) && !error.empty());
            SceneRecorder recorder;
            error.clear();
            QCOMPARE(recorder.detect(path, VkRational{25, 1}, {}, &error), char(0));
            QVERIFY(!error.empty() && recorder.kinds.empty());
            return;
        }
        QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
        QCOMPARE(facts.streamFlags, int(VkMediaProbeResult::Image));
        QCOMPARE(QSize(facts.width, facts.height), size);
        QVERIFY2(facts.cameraMaker.empty() && !facts.exposureTime.isValid(), facts.cameraMaker.c_str());
        QVERIFY2(renderer.open(path, &error), error.c_str());
        std::vector<uint8_t> argb(160 * 80 * 4, 0);
        QVERIFY2(renderer.renderFrame(0, 160, 80, argb.data(), &error) || !error.empty(),
                 "a failed drawing must say why");
        // Drawn large, the ARGB copy alone would be 512 MiB: refused before it is allocated.
        error.clear();
        QVERIFY(size.width() < 8192 ||
                !renderer.renderFrame(0, size.width(), size.height(), argb.data(), &error));
        QVERIFY2(size.width() < 8192 || QString::fromStdString(error).contains("MB"_s), error.c_str());
    }
    void truncatedDuringDetection()
    {
        const QString file = m_work.filePath("cut_while_read.mp4"_s);
        QVERIFY(writeBytes(file, readBytes(mediaFile("long.mp4"_s))));
        const std::string path = file.toStdString();
        const off_t quarter = off_t(QFileInfo(file).size() / 4);

        // The detector counted 750 frames when it began; at its first progress report (frame 0) the
        // file loses its last three quarters, long before the decoder gets there.
        int truncated = 1; // then what the one truncate() call returned
        SceneRecorder recorder;
        recorder.onProgress = [&](int64_t) {
            if (truncated == 1)
                truncated = ::truncate(path.c_str(), quarter);
        };
        QCOMPARE(recorder.detect(path), 'E');
        QCOMPARE(truncated, 0);
        QVERIFY2(QString::fromStdString(recorder.failure).contains(file), recorder.failure.c_str());
        // What was reported lies in what was read: no scene reaches the 750th frame.
        for (const auto& scene : recorder.scenes)
            QVERIFY2(scene.second < 750, qPrintable(QString::number(scene.second)));
    }
    void hostileNames_data()
    {
        QTest::addColumn<QString>("name");
        // File names chosen by users (no "/", at most 255 bytes) reach the window as they are: shown as
        // typed, never as formatting, and never breaking the window.
        QTest::newRow("markup") << "<b>bold <i>&amp; <img src=x> <font color=red>link"_s;
        QTest::newRow("newlines") << "first line\nsecond line\r\nthird"_s;
        // U+202E turns the rest around on screen ("gpj.exe" shown as "exe.jpg"); U+200F is a bare mark.
        QTest::newRow("right-to-left marks")
            << QStringLiteral("holiday\u202Egpj.exe\u200F \u05E9\u05DC\u05D5\u05DD");
        QTest::newRow("placeholders") << "50%1 off %2 %%3"_s;
        QTest::newRow("long") << "0123456789"_s.repeated(20);
    }
    void hostileNames()
    {
        QFETCH(QString, name);
        // The name edit holds it without its suffix, character for character.
        const QString path = m_work.filePath(name + ".jpg"_s);
        QVERIFY(writeBytes(path, readBytes(mediaFile("small.jpg"_s))));
        QString error;
        const auto item = VkMediaItemFactory::create(path, &error);
        QVERIFY2(item, qPrintable(error));
        VkMediaPropertyDialog shown(item.get(), nullptr);
        shown.show();
        QCoreApplication::processEvents();
        QWidget* common = page(&shown, "VkCommonInfoPage");
        QCOMPARE(text(common, 0), name);
        QCOMPARE(text(common, 2), QFileInfo(path).absoluteFilePath());
        for (const QLabel* label : shown.findChildren<QLabel*>()) {
            QTextDocument doc; // what a label puts on screen when its text is markup
            doc.setHtml(label->text());
            const QString onScreen = label->textFormat() == Qt::PlainText ? label->text() : doc.toPlainText();
            QVERIFY2(!onScreen.contains("bold & "_s), qPrintable(label->text()));
        }
        QVERIFY(shown.width() <= 1000);
    }
    void destroyedDuringDetection()
    {
        QString error;
        const std::unique_ptr<IVkAbstractMediaItem> item =
            VkMediaItemFactory::create(mediaFile("long.mp4"_s), &error);
        QVERIFY2(item, qPrintable(error));
        // Threads of this process: the detector's own and its decoder's must all be gone once a window
        // that ran a detection is destroyed.
        const auto threadCount = [] {
            return QDir("/proc/self/task"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        };
        const int threadsBefore = threadCount().size();
        for (int round = 0; round < 100; ++round) {
            auto dialog = std::make_unique<VkScenceDetectionDlg>(item.get(), nullptr);
            dialog->show();
            dialog->startDetect();
            // 750 frames are far from analysed yet: the window goes while the detector decodes.
            const auto buttons = dialog->findChildren<VkPushButton*>();
            QVERIFY(
                std::any_of(buttons.begin(), buttons.end(), [](auto* b) { return b->text() == "Stop"_s; }));
            // From no event at all to a few rounds of queued scenes and progress reaching the window.
            for (int i = 0; i < round % 5; ++i)
                QCoreApplication::processEvents();
            dialog.reset();
            QCOMPARE(QApplication::topLevelWidgets().size(), 0);
        }
        // Queued notifications of destroyed windows are dropped, not delivered.
        QCoreApplication::processEvents();
        QCOMPARE(threadCount().size(), threadsBefore);
    }
    void thumbnailsClaimingHugeSizes()
    {
        // 16000 x 16000 as 32-bit pixels is 1 GB, under Qt 5's 2 GB image ceiling: only a size check
        // before decoding keeps it from being allocated. One project has it beside it as a .kqthumb,
        // the other keeps it inside.
        const QByteArray png = pngDeclaring(readBytes(mediaFile("small.png"_s)), 16000, 16000);
        QVERIFY(!png.isEmpty() && writeBytes(m_work.filePath("beside.kqthumb"_s), png));
        QString error;
        for (const QString& project :
             {makeProject(m_work.path(), "beside"_s), makeProject(m_work.path(), "inside"_s, png)})
            QVERIFY2(IVkProjectRecentManager::getInstance()->addProject(project, QString(), &error),
                     qPrintable(error));

        // The sanitizer build runs this test with allocations above 256 MB made fatal: getting here at
        // all means the claimed size was never allocated.
        QList<ProjectLibraryRecord> records;
        VkProjectLibrary().recentProjects(records, 15);
        QCOMPARE(records.size(), 2);
        for (const ProjectLibraryRecord& record : records)
            QVERIFY(record.thumbnail.isNull() || record.thumbnail.width() <= 4096);
        VkStartupDlg dialog(nullptr);
        QCOMPARE(startupRows(dialog), 2);
    }
    void readOnlyHome()
    {
        // Running as root, permission bits stop no write. A home below a regular file cannot be created
        // or written by anyone: every open fails with "not a directory".
        QTemporaryDir outer;
        const QString blocker = QDir(outer.path()).filePath("not-a-folder"_s);
        const QByteArray blockerBytes("a file where the home's parent should be");
        QVERIFY(writeBytes(blocker, blockerBytes));
        const QByteArray savedHome = qgetenv("VK_HOME");
        qputenv("VK_HOME", QDir(blocker).filePath("home"_s).toLocal8Bit());
        reloadStores();

        // The user's choices (both off by default) still stick for this run.
        VkConfig& config = VkConfig::Instance();
        VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
        config.SetColorSpaceHDRTipsNoNeedShow(true);
        general->SetMediaMatchProjShow(true);
        QVERIFY(!config.IsWritable());
        QVERIFY(config.IsColorSpaceHDRTipsNoNeedShow() && general->IsMediaMatchProjShow());

        IVkProjectRecentManager* recent = IVkProjectRecentManager::getInstance();
        QString error;
        const QString elsewhere = makeProject(m_work.path(), "elsewhere"_s);
        QVERIFY(!recent->addProject(elsewhere, "Elsewhere"_s, &error) && !error.isEmpty());
        error.clear();
        const QString inHome = vkHomeFile("Projects/new."_s + VkProjectSuffixHelper::projectFileSuffix());
        QVERIFY(!IVkProjectManager::getInstance()->saveProjectAs(inHome, &error) && !error.isEmpty());

        // The windows that read and write these stores open, run and close; another frame rate makes
        // OK of the project settings write the settings store as well.
        VkStartupDlg startup(nullptr);
        QCOMPARE(startupRows(startup), 0);
        VkProjectSettingDialog settings(nullptr);
        auto* rate = settings.findChild<VkComboBox*>("ProjectSettings_FrameRateBox"_s);
        QVERIFY(rate);
        rate->setCurrentIndex((rate->currentIndex() + 1) % rate->count());
        for (VkBaseButton* b : settings.findChildren<VkBaseButton*>()) {
            if (b->text() == "OK"_s)
                b->click();
        }
        QCOMPARE(settings.result(), 1);

        // Nothing persisted: read again from disk, every store holds its defaults and no file appeared.
        reloadStores();
        QVERIFY(!config.IsColorSpaceHDRTipsNoNeedShow() && !general->IsMediaMatchProjShow());
        QVERIFY(recent->getRecentProjects(IVkProjectRecentManager::RecentAll).isEmpty());
        QCOMPARE(QDir(outer.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"not-a-folder"_s});
        QCOMPARE(readBytes(blocker), blockerBytes);
        qputenv("VK_HOME", savedHome);
        reloadStores();
    }

private:
    QTemporaryDir m_work;
};

VK_TEST_MAIN(tst_Reliability)
#include "tst_reliability.moc"
