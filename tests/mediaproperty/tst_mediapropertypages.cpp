#include "MediaPropertyFakes.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>

#include <QTranslator>

using namespace MediaPropertyProbe;

namespace {

// Rows of the video page's grid (row 0 stays empty).
enum VideoRow : int
{
    Video_Codec = 1,
    Video_Resolution = 2,
    Video_FrameRate = 3,
    Video_BitRate = 4,
    Video_Transfer = 5,
};

enum AudioRow : int
{
    Audio_Codec = 1,
    Audio_Channel = 2,
    Audio_SampleRate = 3,
    Audio_BitRate = 4,
};

enum PhotoRow : int
{
    Photo_Maker = 1,
    Photo_Model = 2,
    Photo_Resolution = 3,
    Photo_Exposure = 4,
};

// Media information that is nothing but the common part: no video, audio or image interface.
class BareMediaInfo : public IVkMediaInfo
{
public:
    int streamFlags = 0;
    int GetFrameCount() const override { return 0; }
    bool HasNoDuration() const override { return false; }
    int GetStreamFlags() const override { return streamFlags; }
    VkFrameRate GetFrameRate() const override { return VkFrameRate{25, 1}; }
};

class LongTitleTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (qstrcmp(context, "VkVideoInfoPage") == 0 && qstrcmp(source, "Video Info") == 0)
            return QStringLiteral("Informationen zum Videostrom");
        return QString();
    }
};

} // namespace

// The video, audio, photo and PNG pages: how raw stream facts become the texts of their cells.
class TestMediaPropertyPages : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void bitRate_data();
    void bitRate();
    void frameRate_data();
    void frameRate();
    void videoTexts();
    void stockResolution_data();
    void stockResolution();
    void audio_data();
    void audio();
    void photo_data();
    void photo();
    void titleFollowsTranslation();
};

void TestMediaPropertyPages::bitRate_data()
{
    QTest::addColumn<int>("bps");
    QTest::addColumn<QString>("shown");

    // From 1000 bit/s on: whole kilobits, truncated. Below: bps / 1000 with two decimals, rounded.
    QTest::newRow("0") << 0 << "0.00 kbps";
    QTest::newRow("500 = 0.5 kbit") << 500 << "0.50 kbps";
    QTest::newRow("999 = 0.999, rounds to 1.00") << 999 << "1.00 kbps";
    QTest::newRow("1000 = 1 kbit") << 1000 << "1 kbps";
    QTest::newRow("1999 truncates to 1") << 1999 << "1 kbps";
    QTest::newRow("192000") << 192000 << "192 kbps";
    QTest::newRow("int max truncates") << 2147483647 << "2147483 kbps";
}

void TestMediaPropertyPages::bitRate()
{
    QFETCH(int, bps);
    QFETCH(QString, shown);

    // Both pages format their stream's rate by the same rule.
    FakeMediaInfo info;
    info.streamFlags = 3;
    info.videoBitRate = bps;
    info.audioBitRate = bps;
    FakeItem item;
    item.info = &info;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QCOMPARE(text(page(&dialog, "VkVideoInfoPage"), Video_BitRate), shown);
    QCOMPARE(text(page(&dialog, "VkAudioInfoPage"), Audio_BitRate), shown);
}

void TestMediaPropertyPages::frameRate_data()
{
    QTest::addColumn<qint64>("num");
    QTest::addColumn<qint64>("den");
    QTest::addColumn<QString>("shown");

    // Hundredths, trailing zeros dropped.
    QTest::newRow("25/1") << qint64(25) << qint64(1) << "25 fps";
    // 29.97002997... to hundredths is 29.97.
    QTest::newRow("30000/1001") << qint64(30000) << qint64(1001) << "29.97 fps";
    // 23.976023... would show 23.976; film rate on video is shown as 23.97 by convention.
    QTest::newRow("24000/1001") << qint64(24000) << qint64(1001) << "23.97 fps";
    // 59.94005994... to hundredths is 59.94, the rate's usual name.
    QTest::newRow("60000/1001") << qint64(60000) << qint64(1001) << "59.94 fps";
    // 120000/1001 = 119.88011988...: 119.88.
    QTest::newRow("120000/1001") << qint64(120000) << qint64(1001) << "119.88 fps";
    // 12.5 keeps its one decimal.
    QTest::newRow("25/2") << qint64(25) << qint64(2) << "12.5 fps";
    QTest::newRow("50/2") << qint64(50) << qint64(2) << "25 fps";
    QTest::newRow("zero denominator") << qint64(25) << qint64(0) << "0 fps";
    QTest::newRow("zero numerator") << qint64(0) << qint64(1) << "0 fps";
    QTest::newRow("negative") << qint64(-25) << qint64(-1) << "0 fps";
}

void TestMediaPropertyPages::frameRate()
{
    QFETCH(qint64, num);
    QFETCH(qint64, den);
    QFETCH(QString, shown);

    FakeMediaInfo info;
    info.streamFlags = 1;
    info.frameRate = VkFrameRate{num, den};
    FakeItem item;
    item.info = &info;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QCOMPARE(text(page(&dialog, "VkVideoInfoPage"), Video_FrameRate), shown);
}

void TestMediaPropertyPages::videoTexts()
{
    FakeMediaInfo info;
    info.streamFlags = 1;
    info.width = 3840;
    info.height = 2160;
    info.transfer = QStringLiteral("PQ (SMPTE ST 2084)");
    FakeItem item;
    item.info = &info;
    {
        VkMediaPropertyDialog dialog(&item, nullptr);
        QWidget* video = page(&dialog, "VkVideoInfoPage");
        QCOMPARE(text(video, Video_Codec), QStringLiteral("None"));
        QCOMPARE(text(video, Video_Resolution), QStringLiteral("3840x2160"));
        QCOMPARE(text(video, Video_Transfer), info.transfer);
        QCOMPARE(text(video, Video_Transfer, 0), QStringLiteral("Transfer Characteristics:"));
        QVERIFY(text(video, 0, 0).isNull());
    }
    info.videoCodec = QStringLiteral("<h264>");
    {
        VkMediaPropertyDialog dialog(&item, nullptr);
        auto* codec = qobject_cast<QLabel*>(cell(page(&dialog, "VkVideoInfoPage"), Video_Codec, 1));
        QCOMPARE(codec->text(), QStringLiteral("<h264>"));
        QCOMPARE(codec->textFormat(), Qt::PlainText);
    }
}

void TestMediaPropertyPages::stockResolution_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("site");
    QTest::addColumn<bool>("castable");
    QTest::addColumn<QList<int>>("unavailable");
    QTest::addColumn<bool>("level3HasSize");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QVector<int>>("asked");

    // Level sizes: 3 is 640x360, 4 is 1280x720, 5 is 1920x1080; the media data says 320x180.
    for (const int flags : {1, 4}) {
        const char* kind = flags == 1 ? "video" : "photo";
        QTest::addRow("%s: first level available", kind)
            << flags << 2 << true << QList<int>() << true << "640x360" << QVector<int>{3};
        QTest::addRow("%s: only level 5", kind)
            << flags << 2 << true << QList<int>{3, 4} << true << "1920x1080" << QVector<int>{5};
        // Nothing available: level 3 is asked once, at the end.
        QTest::addRow("%s: none available", kind)
            << flags << 2 << true << QList<int>{3, 4, 5} << true << "640x360" << QVector<int>{3};
        // Level 3 is available but knows no size: asked again, and still 0x0.
        QTest::addRow("%s: level 3 without size", kind)
            << flags << 2 << true << QList<int>() << false << "0x0" << QVector<int>{3, 3};
        QTest::addRow("%s: Pixabay that is no stock item", kind)
            << flags << 2 << false << QList<int>() << true << "None" << QVector<int>();
        // Only Pixabay sizes come from the levels; other sites are measured from the file.
        QTest::addRow("%s: Pexels", kind)
            << flags << 4 << true << QList<int>() << true << "320x180" << QVector<int>();
    }
}

void TestMediaPropertyPages::stockResolution()
{
    QFETCH(int, flags);
    QFETCH(int, site);
    QFETCH(bool, castable);
    QFETCH(QList<int>, unavailable);
    QFETCH(bool, level3HasSize);
    QFETCH(QString, shown);
    QFETCH(QVector<int>, asked);

    FakeMediaInfo info;
    info.streamFlags = flags;
    info.width = 320;
    info.height = 180;
    FakeStockItem stock;
    FakeItem notStock;
    notStock.stock = true;
    FakeItem& item = castable ? static_cast<FakeItem&>(stock) : notStock;
    item.info = &info;
    item.stockSite = site;
    item.sourcePath = QStringLiteral("/m/a.jpg");
    stock.unavailable = QSet<int>(unavailable.begin(), unavailable.end());
    if (level3HasSize)
        stock.sizes.insert(3, QSize(640, 360));
    stock.sizes.insert(4, QSize(1280, 720));
    stock.sizes.insert(5, QSize(1920, 1080));

    VkMediaPropertyDialog dialog(&item, nullptr);
    if (flags == 1)
        QCOMPARE(text(page(&dialog, "VkVideoInfoPage"), Video_Resolution), shown);
    else
        QCOMPARE(text(page(&dialog, "VkPhotoInfoPage"), Photo_Resolution), shown);
    QCOMPARE(stock.askedLevels, asked);
}

void TestMediaPropertyPages::audio_data()
{
    QTest::addColumn<int>("itemStream");
    QTest::addColumn<int>("infoStream");
    QTest::addColumn<bool>("audioInterface");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("stereo 48 kHz 16-bit")
        << 1 << 1 << true << QStringList{"pcm_s16le", "2", "48000 Hz, 16 Bits", "1536 kbps"};
    // Every query takes the item's stream index: stream 3 answers, stream 1 would not.
    QTest::newRow("audio in stream 3")
        << 3 << 3 << true << QStringList{"pcm_s16le", "2", "48000 Hz, 16 Bits", "1536 kbps"};
    QTest::newRow("index without audio")
        << 1 << 3 << true << QStringList{"None", "0", "0 Hz, 0 Bits", "0.00 kbps"};
    QTest::newRow("no audio interface")
        << 1 << 1 << false << QStringList{"None", "0", "0 Hz, 0 Bits", "0 kbps"};
}

void TestMediaPropertyPages::audio()
{
    QFETCH(int, itemStream);
    QFETCH(int, infoStream);
    QFETCH(bool, audioInterface);
    QFETCH(QStringList, shown);

    FakeMediaInfo info;
    info.streamFlags = 2;
    info.audioStream = infoStream;
    info.audioCodec = QStringLiteral("pcm_s16le");
    info.channels = 2;
    info.sampleRate = 48000;
    info.sampleBits = 16;
    info.audioBitRate = 1536000;
    BareMediaInfo bare;
    bare.streamFlags = 2;
    FakeItem item;
    item.info = audioInterface ? static_cast<IVkMediaInfo*>(&info) : &bare;
    item.audioStreamIndex = itemStream;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QWidget* audio = page(&dialog, "VkAudioInfoPage");
    QCOMPARE((QStringList{text(audio, Audio_Codec), text(audio, Audio_Channel), text(audio, Audio_SampleRate),
                          text(audio, Audio_BitRate)}),
             shown);
}

void TestMediaPropertyPages::photo_data()
{
    QTest::addColumn<bool>("stock");
    QTest::addColumn<int>("exposure");
    QTest::addColumn<QString>("shownExposure");
    QTest::addColumn<bool>("exposureRow");

    QTest::newRow("exposure 0") << false << 0 << "0 s" << true;
    QTest::newRow("exposure 2") << false << 2 << "2 s" << true;
    QTest::newRow("stock has no exposure row") << true << 2 << "2 s" << false;
}

void TestMediaPropertyPages::photo()
{
    QFETCH(bool, stock);
    QFETCH(int, exposure);
    QFETCH(QString, shownExposure);
    QFETCH(bool, exposureRow);

    FakeMediaInfo info;
    info.streamFlags = 4;
    info.width = 4000;
    info.height = 3000;
    info.cameraMaker = QStringLiteral("<Canon>");
    info.exposure = exposure;
    FakeStockItem item;
    item.stock = stock;
    item.stockSite = 3;
    item.info = &info;
    item.sourcePath = QStringLiteral("/m/a.jpg");

    VkMediaPropertyDialog dialog(&item, nullptr);
    QWidget* photo = page(&dialog, "VkPhotoInfoPage");
    QCOMPARE(text(photo, Photo_Maker), QStringLiteral("<Canon>"));
    QCOMPARE(qobject_cast<QLabel*>(cell(photo, Photo_Maker, 1))->textFormat(), Qt::PlainText);
    // An empty model stays an empty cell.
    QCOMPARE(text(photo, Photo_Model), QString());
    QCOMPARE(text(photo, Photo_Resolution), QStringLiteral("4000x3000"));
    QCOMPARE(text(photo, Photo_Exposure), shownExposure);
    QCOMPARE(rowShown(photo, Photo_Exposure), exposureRow);
    QVERIFY(rowShown(photo, Photo_Resolution));
}

void TestMediaPropertyPages::titleFollowsTranslation()
{
    FakeMediaInfo info;
    info.streamFlags = 1;
    FakeItem item;
    item.info = &info;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QWidget* video = page(&dialog, "VkVideoInfoPage");
    QLabel* title = nullptr;
    for (QLabel* l : video->findChildren<QLabel*>()) {
        if (l->text() == QLatin1String("Video Info"))
            title = l;
    }
    QVERIFY(title);
    // Never narrower than 60 pixels, and always wide enough for its text.
    QVERIFY(title->width() >= 60);
    QVERIFY(title->width() >= title->fontMetrics().horizontalAdvance(title->text()));

    LongTitleTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(title->text(), QStringLiteral("Informationen zum Videostrom"));
    QVERIFY(title->width() >= title->fontMetrics().horizontalAdvance(title->text()));
    QVERIFY(QCoreApplication::removeTranslator(&translator));
}

VK_TEST_MAIN(TestMediaPropertyPages)
#include "tst_mediapropertypages.moc"
