#include "MediaPropertyFakes.h"
#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkvblmodel/VkMediaItemFactory.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <memory>

using namespace MediaPropertyProbe;

namespace {

QString mediaPath(const char* name)
{
    return QString::fromStdString(VkMediaTestFiles::path(name));
}

// Shows the window so that its layouts run, saves a picture when VK_SCREENSHOT_DIR names a folder,
// and lists the plain labels whose ink reaches past their room (cut off on screen).
QStringList showAndFindClipped(QWidget* window, const char* fileName)
{
    window->show();
    QCoreApplication::processEvents();
    QStringList clipped;
    const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
    if (!folder.isEmpty() && !window->grab().save(QDir(folder).filePath(QLatin1String(fileName))))
        clipped << QStringLiteral("no screenshot saved in %1").arg(folder);
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->wordWrap() || label->textFormat() != Qt::PlainText)
            continue;
        // The ink, not the advance: a last glyph's side bearing may stick out harmlessly.
        const int needed = label->fontMetrics().tightBoundingRect(label->text()).right() + 1;
        if (needed > label->contentsRect().width())
            clipped << QStringLiteral("%1 (%2 px in %3)")
                           .arg(label->text())
                           .arg(needed)
                           .arg(label->contentsRect().width());
    }
    return clipped;
}

} // namespace

// The properties window over real files made by the ffmpeg CLI and probed by the media library.
class TestMediaPropertyFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    void videoWithAudio();
    void stockPhoto();
    void sampleSizeByCodec_data();
    void sampleSizeByCodec();
    void pngWithoutExif();
};

void TestMediaPropertyFiles::videoWithAudio()
{
    // 2 s of 320x180 H.264 at 25 fps with 48 kHz stereo AAC.
    const QString path = mediaPath("av.mp4");
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    QVERIFY2(item, qPrintable(error));

    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog), (QStringList{"VkCommonInfoPage", "VkVideoInfoPage", "VkAudioInfoPage"}));
    // The cells other suites check on fakes, here filled from what the media library probed.
    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QCOMPARE(text(common, 3),
             QString::number(QFileInfo(path).size() / 1024.0, 'f', 2) + QStringLiteral(" KB"));
    QCOMPARE(text(common, 4), QStringLiteral("00:00:02:00"));
    QVERIFY(!text(common, 5).isEmpty());
    QCOMPARE(text(page(&dialog, "VkVideoInfoPage"), 3), QStringLiteral("25 fps"));
    // AAC has no fixed sample size (ffprobe: bits_per_sample 0, sample_fmt fltp): no "0 Bits".
    QCOMPARE(text(page(&dialog, "VkAudioInfoPage"), 3), QStringLiteral("48000 Hz"));

    const QStringList clipped = showAndFindClipped(&dialog, "media-properties-video.png");
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String(" | "))));
}

void TestMediaPropertyFiles::stockPhoto()
{
    // A picture downloaded from Pixabay: the library keeps the site's record beside the file.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("mountain-lake.jpg"));
    QVERIFY(QFile::copy(mediaPath("photo.jpg"), path));
    const QJsonObject stock{
        {"site", 2},
        {"source", 1000},
        {"authorName", "Anna <Berg>"},
        {"authorUrl", "https://pixabay.com/users/anna-berg-1234/"},
        {"licenseUrl", "https://pixabay.com/service/license-summary/"},
        {"qualities",
         QJsonArray{QJsonObject{{"level", 3}, {"width", 640}, {"height", 427}, {"available", false}},
                    QJsonObject{{"level", 4}, {"width", 1280}, {"height", 853}},
                    QJsonObject{{"level", 5}, {"width", 1920}, {"height", 1280}}}}};
    QFile record(path + QStringLiteral(".vkmeta.json"));
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write(QJsonDocument(QJsonObject{{"name", "Mountain lake"}, {"stock", stock}}).toJson());
    record.close();

    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    QVERIFY2(item, qPrintable(error));
    QVERIFY(item->IsStockMedia());
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog), (QStringList{"VkCommonInfoPage", "VkPhotoInfoPage"}));
    QCOMPARE(dialog.height(), 545);
    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QCOMPARE(text(common, 0), QStringLiteral("Mountain lake"));
    QVERIFY(rowShown(common, 7) && rowShown(common, 8) && !rowShown(common, 1));
    QVERIFY(text(common, 8).contains(QLatin1String("Anna &lt;Berg&gt;")));
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    // Level 3 is not offered, so the size is level 4's, not the file's 240x160.
    QCOMPARE(text(photo, 3), QStringLiteral("1280x853"));
    QVERIFY(!rowShown(photo, 4));

    const QStringList clipped = showAndFindClipped(&dialog, "media-properties-stock.png");
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String(" | "))));
}

void TestMediaPropertyFiles::sampleSizeByCodec_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("shown");
    // PCM carries its sample size, FLAC the source's bit depth (bits_per_raw_sample), lossy codecs
    // none at all.
    QTest::newRow("PCM 16-bit WAV") << "audio.wav"
                                    << "48000 Hz, 16 Bits";
    QTest::newRow("FLAC 24-bit in Matroska") << "av.mkv"
                                             << "44100 Hz, 24 Bits";
    QTest::newRow("AAC in MP4") << "av.mp4"
                                << "48000 Hz";
    QTest::newRow("MP3") << "audio.mp3"
                         << "44100 Hz";
}

void TestMediaPropertyFiles::sampleSizeByCodec()
{
    QFETCH(QString, file);
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item =
        VkMediaItemFactory::create(mediaPath(qPrintable(file)), &error);
    QVERIFY2(item, qPrintable(error));
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QTEST(text(page(&dialog, "VkAudioInfoPage"), 3), "shown");
}

// A PNG carries no camera data: no blank maker and model rows, no "Exposure Time: 0 s".
void TestMediaPropertyFiles::pngWithoutExif()
{
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(mediaPath("alpha.png"), &error);
    QVERIFY2(item, qPrintable(error));
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    QVERIFY(photo);
    QCOMPARE(text(photo, 3), QStringLiteral("200x100"));
    QVERIFY(rowShown(photo, 3));
    for (int row : {1, 2, 4})
        QVERIFY2(!rowShown(photo, row),
                 qPrintable(QStringLiteral("row %1: %2").arg(row).arg(text(photo, row))));
    const QStringList clipped = showAndFindClipped(&dialog, "media-properties-png.png");
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String(" | "))));
}

VK_TEST_MAIN(TestMediaPropertyFiles)
#include "tst_mediapropertyfiles.moc"
