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
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <memory>

using namespace MediaPropertyProbe;

namespace {

QString mediaPath(const char* name)
{
    return QString::fromStdString(VkMediaTestFiles::path(name));
}

std::unique_ptr<IVkAbstractMediaItem> open(const QString& path)
{
    QString error;
    std::unique_ptr<IVkAbstractMediaItem> item = VkMediaItemFactory::create(path, &error);
    if (!item)
        qWarning("cannot open %s: %s", qPrintable(path), qPrintable(error));
    return item;
}

// The whole kilobits of a "<n> kbps" text; -1 when the text is not of that form.
int kbps(const QString& shown)
{
    if (!shown.endsWith(QLatin1String(" kbps")))
        return -1;
    bool ok = false;
    const int value = shown.chopped(5).toInt(&ok);
    return ok ? value : -1;
}

// Labels whose single line of ink reaches past the room they have are cut off on screen. The ink,
// not the advance, counts: a last glyph's side bearing may stick out without anything being lost.
QStringList clippedTexts(const QWidget* window)
{
    QStringList clipped;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->wordWrap() || label->textFormat() != Qt::PlainText)
            continue;
        const int needed = label->fontMetrics().tightBoundingRect(label->text()).right() + 1;
        if (needed > label->contentsRect().width())
            clipped << QStringLiteral("%1 (%2 px in %3)")
                           .arg(label->text())
                           .arg(needed)
                           .arg(label->contentsRect().width());
    }
    return clipped;
}

// Shows the window offscreen so that its layouts run; saves a picture of it when the environment
// names a folder for screenshots. A window that scrolls is first scrolled to show `scrollTo`.
void showAndCapture(QWidget* window, const char* fileName, QWidget* scrollTo = nullptr)
{
    window->show();
    QCoreApplication::processEvents();
    if (scrollTo) {
        window->findChild<QScrollArea*>()->ensureWidgetVisible(scrollTo);
        QCoreApplication::processEvents();
    }
    const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        QVERIFY(window->grab().save(QDir(folder).filePath(QLatin1String(fileName))));
}

} // namespace

// The properties window over real files made by the ffmpeg CLI and probed by the media library:
// what a user sees for a clip with sound, a WAV, a PNG with alpha, a JPEG and a stock download.
class TestMediaPropertyFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void videoWithAudio();
    void wav();
    void pngAlphaChoice_data();
    void pngAlphaChoice();
    void jpeg();
    void stockPhoto();
};

void TestMediaPropertyFiles::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
}

void TestMediaPropertyFiles::videoWithAudio()
{
    // 2 s of 320x180 H.264 at 25 fps with 48 kHz stereo AAC at 128 kbit/s.
    const QString path = mediaPath("av.mp4");
    std::unique_ptr<IVkAbstractMediaItem> item = open(path);
    QVERIFY(item);

    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog), (QStringList{"VkCommonInfoPage", "VkVideoInfoPage", "VkAudioInfoPage"}));

    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QCOMPARE(text(common, 0), QStringLiteral("av"));
    QCOMPARE(text(common, 2), QFileInfo(path).absoluteFilePath());
    // 50 frames at 25 fps.
    QCOMPARE(text(common, 4), QStringLiteral("00:00:02:00"));
    const qint64 bytes = QFileInfo(path).size();
    QVERIFY(bytes > 0 && bytes < 1024 * 1024);
    QCOMPARE(text(common, 3), QString::number(double(bytes) / 1024.0, 'f', 2) + QStringLiteral(" KB"));
    QVERIFY(!text(common, 5).isEmpty());

    QWidget* video = page(&dialog, "VkVideoInfoPage");
    QCOMPARE(text(video, 1), QStringLiteral("h264"));
    QCOMPARE(text(video, 2), QStringLiteral("320x180"));
    QCOMPARE(text(video, 3), QStringLiteral("25 fps"));
    QVERIFY2(kbps(text(video, 4)) > 0, qPrintable(text(video, 4)));

    QWidget* audio = page(&dialog, "VkAudioInfoPage");
    QCOMPARE(text(audio, 1), QStringLiteral("aac"));
    QCOMPARE(text(audio, 2), QStringLiteral("2"));
    // AAC has no fixed sample size.
    QCOMPARE(text(audio, 3), QStringLiteral("48000 Hz, 0 Bits"));
    const int audioKbps = kbps(text(audio, 4));
    QVERIFY2(audioKbps >= 100 && audioKbps <= 160, qPrintable(text(audio, 4)));

    showAndCapture(&dialog, "media-properties-video.png");
    const QStringList clipped = clippedTexts(&dialog);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String(" | "))));
}

void TestMediaPropertyFiles::wav()
{
    // 16-bit PCM, 48 kHz stereo: 48000 * 16 * 2 = 1 536 000 bit/s.
    std::unique_ptr<IVkAbstractMediaItem> item = open(mediaPath("audio.wav"));
    QVERIFY(item);
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog), (QStringList{"VkCommonInfoPage", "VkAudioInfoPage"}));
    QCOMPARE(dialog.height(), 594);
    QWidget* audio = page(&dialog, "VkAudioInfoPage");
    QCOMPARE(text(audio, 1), QStringLiteral("pcm_s16le"));
    QCOMPARE(text(audio, 2), QStringLiteral("2"));
    QCOMPARE(text(audio, 3), QStringLiteral("48000 Hz, 16 Bits"));
    QCOMPARE(text(audio, 4), QStringLiteral("1536 kbps"));
    QCOMPARE(text(page(&dialog, "VkCommonInfoPage"), 4), QStringLiteral("00:00:02:00"));
}

void TestMediaPropertyFiles::pngAlphaChoice_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("stored");

    QTest::newRow("OK stores the choice") << true << 2;
    QTest::newRow("closing keeps the old one") << false << 0;
}

void TestMediaPropertyFiles::pngAlphaChoice()
{
    QFETCH(bool, accept);
    QFETCH(int, stored);

    std::unique_ptr<IVkAbstractMediaItem> item = open(mediaPath("alpha.png"));
    QVERIFY(item);
    auto* image = dynamic_cast<IVkImageMediaInfo*>(item->GetMediaInfo());
    QVERIFY(image);
    QCOMPARE(image->GetAlphaType(), 0);

    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog),
             (QStringList{"VkCommonInfoPage", "VkPhotoInfoPage", "VkPngPhotoInfoPage"}));
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    QCOMPARE(text(photo, 3), QStringLiteral("200x100"));
    QCOMPARE(text(photo, 4), QStringLiteral("0 s"));
    QCOMPARE(text(page(&dialog, "VkCommonInfoPage"), 4), QStringLiteral("None"));

    QRadioButton* ignore = nullptr;
    for (QRadioButton* button : dialog.findChildren<QRadioButton*>()) {
        if (button->text() == QLatin1String("Ignore Alpha"))
            ignore = button;
    }
    QVERIFY(ignore);
    if (accept)
        showAndCapture(&dialog, "media-properties-png.png", ignore);
    ignore->click();
    QCOMPARE(image->GetAlphaType(), 0);
    if (accept)
        dialog.findChild<QPushButton*>(QStringLiteral("PropertyDialog_Ok"))->click();
    else
        dialog.reject();
    QCOMPARE(image->GetAlphaType(), stored);
}

void TestMediaPropertyFiles::jpeg()
{
    std::unique_ptr<IVkAbstractMediaItem> item = open(mediaPath("photo.jpg"));
    QVERIFY(item);
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog), (QStringList{"VkCommonInfoPage", "VkPhotoInfoPage"}));
    QCOMPARE(dialog.height(), 545);
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    QCOMPARE(text(photo, 3), QStringLiteral("240x160"));
    QVERIFY(rowShown(photo, 4));
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

    std::unique_ptr<IVkAbstractMediaItem> item = open(path);
    QVERIFY(item);
    QVERIFY(item->IsStockMedia());
    VkMediaPropertyDialog dialog(item.get(), nullptr);
    QCOMPARE(pageClasses(&dialog), (QStringList{"VkCommonInfoPage", "VkPhotoInfoPage"}));

    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QCOMPARE(text(common, 0), QStringLiteral("Mountain lake"));
    QVERIFY(rowShown(common, 7));
    QVERIFY(rowShown(common, 8));
    QVERIFY(!rowShown(common, 1));
    QVERIFY(text(common, 8).contains(QLatin1String("Anna &lt;Berg&gt;")));
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    // Level 3 is not offered, so the size is level 4's, not the file's 240x160.
    QCOMPARE(text(photo, 3), QStringLiteral("1280x853"));
    QVERIFY(!rowShown(photo, 4));

    showAndCapture(&dialog, "media-properties-stock.png");
    const QStringList clipped = clippedTexts(&dialog);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1String(" | "))));
}

VK_TEST_MAIN(TestMediaPropertyFiles)
#include "tst_mediapropertyfiles.moc"
