#include "MediaPropertyFakes.h"
#include "SceneRecorder.h"
#include "StartupFixtures.h"
#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkProjectLibrary.h>
#include <startup/VkStartupDlg.h>
#include <startup/VkStartupListItem.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkappsettings/VSettings.h>
#include <vkappsettings/VkAppSettings.h>
#include <vkappsettings/VkGeneralSetting.h>
#include <vkcore/VkConfig.h>
#include <vkmedia/VkFrameRenderer.h>
#include <vkmedia/VkMediaProbe.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/IVkScenceDetect.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkvblmodel/VkProjectRecentInfo.h>
#include <vkwidgets/VkBaseButton.h>
#include <vkwidgets/VkComboBox.h>
#include <vkwidgets/VkPushButton.h>

#include <QBuffer>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtEndian>

#include <unistd.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace MediaPropertyProbe;

namespace {

QString mediaFile(const QString& name)
{
    return VkMediaTestFiles::dir() + QLatin1Char('/') + name;
}

QByteArray readFile(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The PNG with its IHDR declaring width x height (and, when given, the bit depth and colour type:
// 0 grey, 2 RGB, 6 RGBA) under a matching CRC-32 (reflected 0xEDB88320), so decoders take the header
// as intact; the pixels stay the small original's. Empty without an IHDR.
QByteArray pngDeclaring(QByteArray png, quint32 width, quint32 height, int depth = 0, int colourType = -1)
{
    const int type = png.indexOf("IHDR");
    constexpr int kChunk = 4 + 13; // type and data, which the CRC after them covers
    if (type < 0 || png.size() < type + kChunk + 4)
        return QByteArray();
    qToBigEndian(width, png.data() + type + 4);
    qToBigEndian(height, png.data() + type + 8);
    if (depth > 0)
        png[type + 12] = char(depth);
    if (colourType >= 0)
        png[type + 13] = char(colourType);
    quint32 crc = 0xFFFFFFFFu;
    for (int i = type; i < type + kChunk; ++i) {
        crc ^= quint8(png.at(i));
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    qToBigEndian(~crc, png.data() + type + kChunk);
    return png;
}

// The MP4 with its media header's time scale set to 0: a clock that never ticks.
QByteArray mp4WithZeroTimescale(QByteArray mp4)
{
    const int box = mp4.indexOf("mdhd");
    // Version 0: type, version and flags, creation and modification times, then the time scale.
    if (box < 0 || mp4.at(box + 4) != 0)
        return QByteArray();
    qToBigEndian(quint32(0), mp4.data() + box + 16);
    return mp4;
}

// The MP4 with every sample-to-time entry (count, delta after type, version, entries) lasting 0.
QByteArray mp4WithZeroSampleDurations(QByteArray mp4)
{
    const int box = mp4.indexOf("stts");
    if (box < 0)
        return QByteArray();
    const quint32 entries = qFromBigEndian<quint32>(mp4.constData() + box + 8);
    for (quint32 i = 0; i < entries; ++i) {
        const int delta = box + 12 + int(i) * 8 + 4;
        if (delta + 4 > mp4.size())
            return QByteArray();
        qToBigEndian(quint32(0), mp4.data() + delta);
    }
    return mp4;
}

// The media properties window of a file as the model's factory reads it, shown and laid out; no
// dialog (and `error` saying why) when the factory refuses the file.
struct Properties
{
    explicit Properties(const QString& file)
        : item(VkMediaItemFactory::create(file, &error))
    {
        if (item) {
            dialog = std::make_unique<VkMediaPropertyDialog>(item.get(), nullptr);
            dialog->show();
            QCoreApplication::processEvents();
        }
    }
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item;
    std::unique_ptr<VkMediaPropertyDialog> dialog;
};

// Little-endian TIFF bytes after the "II*\0" mark, from (value, byte count) pairs.
QByteArray tiff(std::initializer_list<std::pair<quint32, int>> fields)
{
    QByteArray t("II*\0", 4);
    for (const auto& [value, bytes] : fields) {
        for (int i = 0; i < bytes; ++i)
            t.append(char((value >> (8 * i)) & 0xFF));
    }
    return t;
}

// The JPEG with an APP1 EXIF segment holding `tiff` right after its start-of-image marker.
QByteArray jpegWithExif(const QByteArray& jpeg, const QByteArray& tiff)
{
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    // The segment length counts its own two bytes and the payload.
    const int length = payload.size() + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + payload + jpeg.mid(2);
}

// What a label puts on screen: its text itself when plain, the text of the markup otherwise.
QString shownText(const QLabel* label)
{
    if (label->textFormat() == Qt::PlainText)
        return label->text();
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

// Lists the one project `path` as recent and has the model read the list again.
bool listOnly(const QString& path, const QString& name = QStringLiteral("Listed"))
{
    const bool written = RecentFixture::write({{name, path, 1700000000, 1700000000}});
    IVkProjectRecentManager::getInstance()->reload();
    return written;
}

// The rows the startup window lists, from opening to closing it.
int startupRows()
{
    VkStartupDlg dialog(nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    return list ? list->count() : -1;
}

// Accepts the project settings window, after choosing another frame rate when asked to (which
// makes OK write the settings store as well); its result code, -1 without a rate to choose.
int acceptProjectSettings(bool otherRate)
{
    VkProjectSettingDialog dialog(nullptr);
    auto* rate = dialog.findChild<VkComboBox*>(QStringLiteral("ProjectSettings_FrameRateBox"));
    if (!rate)
        return -1;
    if (otherRate)
        rate->setCurrentIndex((rate->currentIndex() + 1) % rate->count());
    for (VkBaseButton* b : dialog.findChildren<VkBaseButton*>()) {
        if (b->text() == QLatin1String("OK"))
            b->click();
    }
    return dialog.result();
}

// Every store of the process reads VK_HOME again.
void reloadStores()
{
    VkConfig::Instance().Reload();
    VkAppSettings::GetInstance()->Reload();
    IVkProjectRecentManager::getInstance()->reload();
}

// Every file under `root`, with its contents, to tell that nothing was added or changed.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readFile(path));
    }
    return files;
}

enum Kind
{
    Startup,
    ProjectSettings,
    MediaProperties,
    SceneDetection,
    UnsupportedImage
};

QWidget* makeDialog(int kind, IVkAbstractMediaItem* item)
{
    switch (kind) {
    case Startup:
        return new VkStartupDlg(nullptr);
    case ProjectSettings:
        return new VkProjectSettingDialog(nullptr);
    case MediaProperties:
        return new VkMediaPropertyDialog(item, nullptr);
    case SceneDetection:
        return new VkScenceDetectionDlg(item, nullptr);
    default:
        return new VkUnsupportedImgFileDialog(
            {QStringLiteral("/photos/a.jpg"), QStringLiteral("/photos/b.png")}, nullptr);
    }
}

std::unique_ptr<IVkAbstractMediaItem> itemOf(const QString& media)
{
    QString error;
    auto item = VkMediaItemFactory::create(mediaFile(media), &error);
    if (!item)
        qWarning("%s", qPrintable(error));
    return item;
}

// Threads of this process: the detector's own and its decoder's must all be gone once a window
// that ran a detection is destroyed.
int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

VkPushButton* detectButton(QWidget* dialog)
{
    for (VkPushButton* b : dialog->findChildren<VkPushButton*>()) {
        if (b->text() != QLatin1String("Add To Timeline"))
            return b;
    }
    return nullptr;
}

} // namespace

// Damaged and edge-case media through every layer that reads it (engine, model, properties window):
// each file gives a clear answer, a refusal with a message or sane facts, without crashing, hanging
// or allocating what a damaged header claims. Hostile names show as typed. Every dialog is built and
// destroyed over and over, the scene window also while its real detector decodes: LeakSanitizer
// fails the run on any block of ours left behind (tests/lsan.supp names only system libraries) and
// the thread count tells a detector that outlives its window. The stores under VK_HOME, damaged or
// unwritable, are never overwritten and keep nothing.
class tst_Reliability : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void onePixelVideo();
    void zeroRate_data();
    void zeroRate();
    void hugePicture_data();
    void hugePicture();
    void truncatedDuringDetection();
    void brokenExif_data();
    void brokenExif();
    void hostileNames_data();
    void hostileNames();
    void buildAndDestroy_data();
    void buildAndDestroy();
    void destroyedDuringDetection();
    void thumbnailsClaimingHugeSizes_data();
    void thumbnailsClaimingHugeSizes();
    void readOnlyHome();

private:
    QTemporaryDir m_work;
};

void tst_Reliability::initTestCase()
{
    VK_ENSURE_TEST_MEDIA();
    QVERIFY(m_work.isValid());
    // The model's own detector over the engine, not a stand-in.
    IVkScenceDetect::setFactory({});
}

void tst_Reliability::init()
{
    QFile::remove(RecentFixture::storePath());
    reloadStores();
}

void tst_Reliability::onePixelVideo()
{
    const std::string path = mediaFile("one_pixel.mp4").toStdString();
    VkMediaProbeResult facts;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
    QCOMPARE(facts.width, 1);
    QCOMPARE(facts.height, 1);
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
    SceneRecorder recorder;
    QCOMPARE(recorder.detect(path, facts.frameRate), 'F');
    QCOMPARE(recorder.scenes, (SceneRanges{{0, 25}}));

    Properties shown(mediaFile("one_pixel.mp4"));
    QVERIFY2(shown.dialog, qPrintable(shown.error));
    QCOMPARE(text(page(shown.dialog.get(), "VkVideoInfoPage"), 2), QStringLiteral("1x1"));
}

void tst_Reliability::zeroRate_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<qint64>("frames");
    // FFmpeg replaces a zero time scale by 1, which makes each 512-tick frame last 512 s; zero sample
    // durations leave only the average rate. Either way the facts must stay finite and non-zero.
    // The frames are the ones `ffprobe -count_frames` counts: the edit list, now far shorter or
    // longer than the samples' times, has FFmpeg drop all but 1, 13 and 7 of the 25 samples.
    QTest::newRow("media header time scale 0") << 1 << qint64(1);
    QTest::newRow("every frame lasting 0") << 2 << qint64(13);
    QTest::newRow("both") << 3 << qint64(7);
}

void tst_Reliability::zeroRate()
{
    QFETCH(int, damage);
    QByteArray bytes = readFile(mediaFile("small.mp4"));
    if (damage & 1)
        bytes = mp4WithZeroTimescale(bytes);
    if (damage & 2)
        bytes = mp4WithZeroSampleDurations(bytes);
    QVERIFY(!bytes.isEmpty());
    const QString file = m_work.filePath(QStringLiteral("zero_rate_%1.mp4").arg(damage));
    QVERIFY(writeFile(file, bytes));
    const std::string path = file.toStdString();

    VkMediaProbeResult facts;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
    QVERIFY2(facts.frameRate.isValid(),
             qPrintable(QStringLiteral("%1/%2").arg(facts.frameRate.num).arg(facts.frameRate.den)));
    QVERIFY(std::isfinite(facts.frameRate.toDouble()));
    QVERIFY(std::isfinite(facts.durationSeconds) && facts.durationSeconds >= 0.0);
    QTEST(qint64(facts.frameCount), "frames");

    // With every duration 0 the frames' timestamps collide: the renderer counts the decoder's
    // pictures instead, and a frame it cannot reach must say why.
    VkFrameRenderer renderer;
    QVERIFY2(renderer.open(path, &error), error.c_str());
    std::vector<uint8_t> argb(16 * 9 * 4, 0);
    for (const int64_t frame : {int64_t(0), facts.frameCount - 1}) {
        error.clear();
        QVERIFY2(renderer.renderFrame(frame, 16, 9, argb.data(), &error) || !error.empty(),
                 "a failed render must say why");
    }

    // A detection ends with exactly one end notification, and what it found covers whole frames.
    SceneRecorder recorder;
    error.clear();
    const char end = recorder.detect(path, facts.frameRate, {}, &error);
    QVERIFY(end == 'F' || end == 'E' || (end == 0 && !error.empty() && recorder.kinds.empty()));
    for (const auto& scene : recorder.scenes)
        QVERIFY(scene.first >= 0 && scene.first < scene.second);

    Properties shown(file);
    QVERIFY2(shown.dialog, qPrintable(shown.error));
    const QString rate = text(page(shown.dialog.get(), "VkVideoInfoPage"), 3);
    QVERIFY2(rate.endsWith(QLatin1String(" fps")) && !rate.contains(QLatin1String("inf")) &&
                 !rate.contains(QLatin1String("nan")) && !rate.startsWith(QLatin1String("0 ")),
             qPrintable(rate));
    const QString duration = text(page(shown.dialog.get(), "VkCommonInfoPage"), 4);
    QVERIFY2(!duration.contains(QLatin1Char('-')), qPrintable(duration));
}

void tst_Reliability::hugePicture_data()
{
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("height");
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("colourType"); // 0 grey, 2 RGB, 6 RGBA; -1: the original's
    QTest::addColumn<QString>("reason"); // in the refusal; empty: a picture the engine must read
    // 9e8 pixels, 3.6 GB as ARGB: FFmpeg's own size check refuses it too.
    QTest::newRow("30000 x 30000") << quint32(30000) << quint32(30000) << 0 << -1 << "pixels";
    // 2.56e8 pixels pass FFmpeg's check ((w + 128) * (h + 128) < 2^28) and would be a 1 GB frame:
    // only the engine's own limit of 2^27 pixels stops it.
    QTest::newRow("16000 x 16000") << quint32(16000) << quint32(16000) << 0 << -1 << "pixels";
    QTest::newRow("2^27 + 1 pixels in one row") << quint32(134217729) << quint32(1) << 0 << -1 << "pixels";
    // Exactly the pixel cap, but 8 bytes a pixel: 1 GiB decoded, four times the budget.
    QTest::newRow("16384 x 8192, 16-bit RGBA") << quint32(16384) << quint32(8192) << 16 << 6 << "MB";
    // 3 bytes a pixel: 384 MiB.
    QTest::newRow("16384 x 8192, 8-bit RGB") << quint32(16384) << quint32(8192) << 8 << 2 << "MB";
    // 8192 x 8192 at 4 bytes is exactly 256 MiB of pixels; the padding a decoder adds takes it over.
    QTest::newRow("8192 x 8192, 8-bit RGBA") << quint32(8192) << quint32(8192) << 8 << 6 << "MB";
    // 16-bit grey: 256 MiB once rows are rounded up, above the budget.
    QTest::newRow("16384 x 8192, 16-bit grey")
        << quint32(16384) << quint32(8192) << 16 << 0 << "MB one picture may take";
    // The pixel cap at one byte a pixel: 128 MiB decoded, within the budget, so it is a picture the
    // engine must still read, probe and draw small (its data is the tiny original's, so the drawing
    // may fail, but with a message and within the budget).
    QTest::newRow("16384 x 8192, 8-bit grey") << quint32(16384) << quint32(8192) << 8 << 0 << QString();
}

void tst_Reliability::hugePicture()
{
    QFETCH(quint32, width);
    QFETCH(quint32, height);
    QFETCH(int, depth);
    QFETCH(int, colourType);
    QFETCH(QString, reason);
    const QByteArray png = pngDeclaring(readFile(mediaFile("small.png")), width, height, depth, colourType);
    QVERIFY(!png.isEmpty());
    const QString file = m_work.filePath(
        QStringLiteral("huge_%1x%2_%3_%4.png").arg(width).arg(height).arg(depth).arg(colourType));
    QVERIFY(writeFile(file, png));
    const std::string path = file.toStdString();

    // The sanitizer build makes allocations above 256 MB fatal, so reaching the checks below also
    // proves that nothing of the declared size was allocated.
    VkMediaProbeResult facts;
    std::string error;
    VkFrameRenderer renderer;
    if (reason.isEmpty()) {
        QVERIFY2(VkMediaProbe::probe(path, facts, &error), error.c_str());
        QCOMPARE(QSize(facts.width, facts.height), QSize(int(width), int(height)));
        QVERIFY2(renderer.open(path, &error), error.c_str());
        std::vector<uint8_t> argb(160 * 80 * 4, 0);
        QVERIFY2(renderer.renderFrame(0, 160, 80, argb.data(), &error) || !error.empty(),
                 "a failed drawing must say why");
        // Drawn large, the ARGB copy alone would be 512 MiB: refused before it is allocated.
        error.clear();
        std::vector<uint8_t> one(4, 0);
        QVERIFY(!renderer.renderFrame(0, int(width), int(height), one.data(), &error));
        QVERIFY2(QString::fromStdString(error).contains(QLatin1String("MB")), error.c_str());
        return;
    }
    QVERIFY(!VkMediaProbe::probe(path, facts, &error));
    QVERIFY2(QString::fromStdString(error).contains(file), error.c_str());
    QVERIFY2(QString::fromStdString(error).contains(reason), error.c_str());
    QCOMPARE(facts.width, 0);
    error.clear();
    QVERIFY(!renderer.open(path, &error));
    QVERIFY(!error.empty());
    SceneRecorder recorder;
    error.clear();
    QCOMPARE(recorder.detect(path, VkRational{25, 1}, {}, &error), char(0));
    QVERIFY(!error.empty() && recorder.kinds.empty());
    QString itemError;
    QVERIFY(!VkMediaItemFactory::create(file, &itemError));
    QVERIFY(!itemError.isEmpty());
}

void tst_Reliability::truncatedDuringDetection()
{
    const QString file = m_work.filePath(QStringLiteral("cut_while_read.mp4"));
    QFile::remove(file);
    QVERIFY(QFile::copy(mediaFile("long.mp4"), file));
    const std::string path = file.toStdString();
    const off_t quarter = off_t(QFileInfo(file).size() / 4);

    // The detector counted 750 frames when it began; at its first progress report (frame 0) the
    // file loses its last three quarters, long before the decoder gets there.
    bool truncated = false;
    SceneRecorder recorder;
    bool cut = false;
    recorder.onProgress = [&](int64_t) {
        if (!std::exchange(truncated, true))
            cut = ::truncate(path.c_str(), quarter) == 0;
    };
    QCOMPARE(recorder.detect(path), 'E');
    QVERIFY(cut);
    QVERIFY2(QString::fromStdString(recorder.failure).contains(file), recorder.failure.c_str());
    // What was reported lies in what was read: no scene reaches the 750th frame.
    for (const auto& scene : recorder.scenes)
        QVERIFY2(scene.second < 750, qPrintable(QString::number(scene.second)));
}

void tst_Reliability::brokenExif_data()
{
    QTest::addColumn<QByteArray>("exif");
    // Fields: first directory's offset (8 is right after the header), entry count, then entries of
    // tag, type, count and value, then the next directory's offset.
    QTest::newRow("directory beyond the block") << tiff({{0xFFFFFF00u, 4}});
    QTest::newRow("entry count past the end") << tiff({{8, 4}, {0xFFFF, 2}});
    // Make (0x010F) as ASCII (2), 2 GB long at an offset far beyond the block.
    QTest::newRow("maker text past the end")
        << tiff({{8, 4}, {1, 2}, {0x010F, 2}, {2, 2}, {0x7FFFFFFFu, 4}, {0x7FFFFFF0u, 4}, {0, 4}});
    // The EXIF sub-directory (0x8769, LONG) and the next-directory link both point back at itself.
    QTest::newRow("directory loop") << tiff({{8, 4}, {1, 2}, {0x8769, 2}, {4, 2}, {1, 4}, {8, 4}, {8, 4}});
    QTest::newRow("cut inside the header") << QByteArray("II*\0\x08", 5);
    QTest::newRow("not TIFF") << QByteArray(64, '\x5A');
}

void tst_Reliability::brokenExif()
{
    QFETCH(QByteArray, exif);
    const QString file = m_work.filePath(QStringLiteral("broken_exif_%1.jpg").arg(QTest::currentDataTag()));
    QVERIFY(writeFile(file, jpegWithExif(readFile(mediaFile("small.jpg")), exif)));

    // The picture itself is intact: it is still a 64 x 48 image, only without camera facts.
    VkMediaProbeResult facts;
    std::string error;
    QVERIFY2(VkMediaProbe::probe(file.toStdString(), facts, &error), error.c_str());
    QCOMPARE(facts.streamFlags, int(VkMediaProbeResult::Image));
    QCOMPARE(facts.width, 64);
    QCOMPARE(facts.height, 48);
    QVERIFY2(facts.cameraMaker.empty(), facts.cameraMaker.c_str());
    QVERIFY(!facts.exposureTime.isValid());

    Properties shown(file);
    QVERIFY2(shown.dialog, qPrintable(shown.error));
    QWidget* photo = page(shown.dialog.get(), "VkPhotoInfoPage");
    QVERIFY(photo);
    QCOMPARE(text(photo, 3), QStringLiteral("64x48"));
    QCOMPARE(text(photo, 1), QString());
}

void tst_Reliability::hostileNames_data()
{
    QTest::addColumn<QString>("name");
    // Names chosen by users reach the dialogs as they are. Each must show as typed (or elided), never
    // as formatting, and never break the window. As file names: no "/" and at most 255 bytes.
    QTest::newRow("markup") << QStringLiteral("<b>bold <i>&amp; <img src=x> <font color=red>link");
    QTest::newRow("newlines") << QStringLiteral("first line\nsecond line\r\nthird");
    // U+202E turns the rest around on screen ("gpj.exe" shown as "exe.jpg"); U+200F is a bare mark.
    QTest::newRow("right-to-left marks")
        << QStringLiteral("holiday\u202Egpj.exe\u200F \u05E9\u05DC\u05D5\u05DD");
    QTest::newRow("placeholders") << QStringLiteral("50%1 off %2 %%3");
    QString digits;
    for (int i = 0; i < 200; ++i)
        digits += QChar('0' + i % 10);
    QTest::newRow("long") << digits;
}

void tst_Reliability::hostileNames()
{
    QFETCH(QString, name);
    // As a file's name: the name edit holds it without its suffix, character for character, and no
    // label turned any of it into formatting.
    const QString path = m_work.filePath(name + QStringLiteral(".jpg"));
    QFile::remove(path);
    QVERIFY(QFile::copy(mediaFile("small.jpg"), path));
    {
        Properties shown(path);
        QVERIFY2(shown.dialog, qPrintable(shown.error));
        QWidget* common = page(shown.dialog.get(), "VkCommonInfoPage");
        QCOMPARE(text(common, 0), name);
        QCOMPARE(text(common, 2), QFileInfo(path).absoluteFilePath());
        for (const QLabel* label : shown.dialog->findChildren<QLabel*>())
            QVERIFY2(!shownText(label).contains(QLatin1String("bold & ")), qPrintable(label->text()));
        QVERIFY(shown.dialog->width() <= 1000);
    }

    // As a listed project's name: plain text, whole or elided at the right, in a row of fixed height.
    const QString project = RecentFixture::makeProject(QDir(m_work.path()), QStringLiteral("listed"));
    QVERIFY(listOnly(project, name));
    VkStartupDlg dialog(nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("VkStartupDlg_ProjectListWidget"));
    QVERIFY(list);
    QCOMPARE(list->count(), 1);
    auto* row = qobject_cast<VkStartupListItem*>(list->itemWidget(list->item(0)));
    QVERIFY(row);
    auto* label = row->findChild<QLabel*>(QStringLiteral("VkStartupListItem_Name"));
    QVERIFY(label);
    QCOMPARE(label->textFormat(), Qt::PlainText);
    const QString shown = label->text();
    const QString stem = shown.endsWith(QChar(0x2026)) ? shown.chopped(1) : shown;
    QVERIFY2(!stem.isEmpty() && name.startsWith(stem), qPrintable(shown));
    QCOMPARE(list->visualItemRect(list->item(0)).height(), list->item(0)->sizeHint().height());
}

void tst_Reliability::buildAndDestroy_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("media");
    QTest::newRow("startup") << int(Startup) << QString();
    QTest::newRow("project settings") << int(ProjectSettings) << QString();
    QTest::newRow("media properties, video") << int(MediaProperties) << "small.mp4";
    QTest::newRow("media properties, png") << int(MediaProperties) << "small.png";
    QTest::newRow("media properties, audio") << int(MediaProperties) << "tone.wav";
    QTest::newRow("scene detection") << int(SceneDetection) << "small.mp4";
    QTest::newRow("unsupported image") << int(UnsupportedImage) << QString();
}

void tst_Reliability::buildAndDestroy()
{
    QFETCH(int, kind);
    QFETCH(QString, media);
    std::unique_ptr<IVkAbstractMediaItem> item;
    if (!media.isEmpty()) {
        item = itemOf(media);
        QVERIFY(item);
    }
    // Enough rounds that a per-dialog leak stands out from anything a library keeps once per process.
    for (int round = 0; round < 10; ++round) {
        std::unique_ptr<QWidget> dialog(makeDialog(kind, item.get()));
        dialog->show();
        QCoreApplication::processEvents();
        QVERIFY(!dialog->grab().isNull());
        dialog.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
}

void tst_Reliability::destroyedDuringDetection()
{
    const std::unique_ptr<IVkAbstractMediaItem> item = itemOf(QStringLiteral("long.mp4"));
    QVERIFY(item);
    const int threadsBefore = threadCount();
    for (int round = 0; round < 100; ++round) {
        auto dialog = std::make_unique<VkScenceDetectionDlg>(item.get(), nullptr);
        dialog->show();
        dialog->startDetect();
        VkPushButton* detect = detectButton(dialog.get());
        QVERIFY(detect);
        // 750 frames are far from analysed yet: the window goes while the detector decodes.
        QCOMPARE(detect->text(), QStringLiteral("Stop"));
        // From no event at all to a few rounds of queued scenes and progress reaching the window.
        for (int i = 0; i < round % 5; ++i)
            QCoreApplication::processEvents();
        dialog.reset();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
    // Queued notifications of destroyed windows are dropped, not delivered.
    QCoreApplication::processEvents();
    QCOMPARE(threadCount(), threadsBefore);
}

void tst_Reliability::thumbnailsClaimingHugeSizes_data()
{
    QTest::addColumn<bool>("beside");
    QTest::addColumn<quint32>("side");
    // 16000 x 16000 as 32-bit pixels is 1 GB, under Qt 5's 2 GB image ceiling: only a size check
    // before decoding keeps it from being allocated. 30000 x 30000 (3.6 GB) passes no ceiling at all.
    QTest::newRow(".kqthumb of 16000 x 16000") << true << quint32(16000);
    QTest::newRow(".kqthumb of 30000 x 30000") << true << quint32(30000);
    QTest::newRow("kept in the project, 16000 x 16000") << false << quint32(16000);
}

void tst_Reliability::thumbnailsClaimingHugeSizes()
{
    QFETCH(bool, beside);
    QFETCH(quint32, side);
    QImage image(16, 9, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray small;
    QBuffer buffer(&small);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    const QByteArray png = pngDeclaring(small, side, side);
    QVERIFY(!png.isEmpty());
    const QString base = QStringLiteral("huge_%1_%2").arg(side).arg(beside);
    const QString project = RecentFixture::makeProject(QDir(m_work.path()), base);
    if (beside) {
        QVERIFY(writeFile(QDir(m_work.path()).filePath(base + QStringLiteral(".kqthumb")), png));
    } else {
        QJsonObject root = QJsonDocument::fromJson(readFile(project)).object();
        root.insert(QStringLiteral("thumbnail"), QString::fromLatin1(png.toBase64()));
        QVERIFY(writeFile(project, QJsonDocument(root).toJson()));
    }
    QVERIFY(listOnly(project));

    // The sanitizer build runs this test with allocations above 256 MB made fatal: getting here at
    // all means the claimed size was never allocated.
    QList<ProjectLibraryRecord> records;
    VkProjectLibrary library;
    library.recentProjects(records, 15);
    QCOMPARE(records.size(), 1);
    QVERIFY(records.front().thumbnail.isNull() || records.front().thumbnail.width() <= 4096);
    QCOMPARE(startupRows(), 1);
}

void tst_Reliability::readOnlyHome()
{
    // Running as root, permission bits stop no write. A home below a regular file cannot be created
    // or written by anyone: every open fails with "not a directory".
    QTemporaryDir outer;
    QVERIFY(outer.isValid());
    const QString blocker = QDir(outer.path()).filePath(QStringLiteral("not-a-folder"));
    QVERIFY(writeFile(blocker, "a file where the home's parent should be"));
    const QByteArray savedHome = qgetenv("VK_HOME");
    qputenv("VK_HOME", QDir(blocker).filePath(QStringLiteral("home")).toLocal8Bit());
    reloadStores();
    const QMap<QString, QByteArray> before = snapshot(outer.path());

    VkConfig& config = VkConfig::Instance();
    const bool hdrTips = config.IsColorSpaceHDRTipsNoNeedShow();
    config.SetColorSpaceHDRTipsNoNeedShow(!hdrTips);
    QVERIFY(!config.IsWritable());
    VkGeneralSetting* general = VkAppSettings::GetInstance()->GetSettings()->GetGeneralSetting();
    const bool matchShow = general->IsMediaMatchProjShow();
    general->SetMediaMatchProjShow(!matchShow);

    QString error;
    const QString elsewhere = RecentFixture::makeProject(QDir(m_work.path()), QStringLiteral("elsewhere"));
    QVERIFY(
        !IVkProjectRecentManager::getInstance()->addProject(elsewhere, QStringLiteral("Elsewhere"), &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    const QString inHome =
        QDir(qEnvironmentVariable("VK_HOME"))
            .filePath(QStringLiteral("Projects/new.") + VkProjectSuffixHelper::projectFileSuffix());
    QVERIFY(!IVkProjectManager::getInstance()->saveProjectAs(inHome, &error));
    QVERIFY(!error.isEmpty());

    // The windows that read and write these stores open, run and close.
    QCOMPARE(startupRows(), 0);
    QCOMPARE(acceptProjectSettings(true), 1);

    // Nothing persisted: read again from disk, every store holds its defaults and no file appeared.
    reloadStores();
    QCOMPARE(config.IsColorSpaceHDRTipsNoNeedShow(), hdrTips);
    QCOMPARE(general->IsMediaMatchProjShow(), matchShow);
    QVERIFY(IVkProjectRecentManager::getInstance()
                ->getRecentProjects(IVkProjectRecentManager::RecentAll)
                .isEmpty());
    QCOMPARE(snapshot(outer.path()), before);

    qputenv("VK_HOME", savedHome);
    reloadStores();
}

VK_TEST_MAIN(tst_Reliability)
#include "tst_reliability.moc"
