#include "MediaPropertyFakes.h"
#include "VkMediaTestFiles.h"
#include "VkModalRun.h"
#include "VkTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkcore/VkDesktopService.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkFramelessDialog.h>

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <functional>
#include <memory>

using namespace MediaPropertyProbe;
using namespace VkTestLiterals;

namespace {

const char kCommon[] = "VkCommonInfoPage";
const char kVideo[] = "VkVideoInfoPage";
const char kAudio[] = "VkAudioInfoPage";
const char kPhoto[] = "VkPhotoInfoPage";

// Rows of the pages' grids.
constexpr int Row_Name = 0, Row_Format = 1, Row_Location = 2, Row_FileSize = 3, Row_Duration = 4,
              Row_DateCreated = 5, Row_Keyword = 6, Row_Copyright = 7, Row_Credit = 8;
constexpr int Video_Codec = 1, Video_Resolution = 2, Video_FrameRate = 3, Video_BitRate = 4;
constexpr int Audio_SampleRate = 3, Audio_BitRate = 4;
constexpr int Photo_Maker = 1, Photo_Model = 2, Photo_Resolution = 3, Photo_Exposure = 4;

constexpr qint64 kGiB = qint64(1) << 30;
// The tallest the frame lets the properties window open; taller page stacks scroll.
constexpr int kMaxHeight = 690;

// One of each kind of item over one information object; `item` is the one the dialog shows.
struct Media
{
    Media() { plain.info = stock.info = vcg.info = &info; }
    FakeMediaInfo info;
    FakeItem plain;
    FakeStockItem stock;
    FakeVCGItem vcg;
    FakeItem* item = &plain;
    std::unique_ptr<IVkAbstractMediaItem> file; // shown in place of `item` when set
    IVkAbstractMediaItem* shown() const { return file ? file.get() : item; }
};
using Setup = std::function<void(Media&)>;

// Setups compose: `a + b` applies a, then b.
Setup operator+(const Setup& a, const Setup& b)
{
    return [a, b](Media& m) {
        a(m);
        b(m);
    };
}

// Sets a field of the media information, or of the item the dialog will show.
template <typename T, typename V>
Setup info(T FakeMediaInfo::*field, const V& v)
{
    return [field, value = T(v)](Media& m) { m.info.*field = value; };
}
template <typename T, typename V>
Setup item(T FakeItem::*field, const V& v)
{
    return [field, value = T(v)](Media& m) { m.item->*field = value; };
}

Setup flags(int streamFlags)
{
    return info(&FakeMediaInfo::streamFlags, streamFlags);
}

const Setup asStock = [](Media& m) { m.item = &m.stock; };
const Setup asLibrary = [](Media& m) { m.item = &m.vcg; };

// A stock photo of `site` from `source`, credited to an author whose name holds markup characters.
Setup stock(int site, int source)
{
    return [site, source](Media& m) {
        m.info.streamFlags = 4;
        m.item = &m.stock;
        m.stock.stockSite = site;
        m.stock.stockSource = source;
        m.stock.authorName = "Ann <b>&amp;"_s;
        m.stock.licenseUrl = "https://example.com/license?a=1&b=2"_s;
    };
}

// One of the generated test files, probed by the media library.
Setup file(const char* name)
{
    return [name](Media& m) {
        QString error;
        m.file =
            VkMediaItemFactory::create(QDir(VkMediaTestFiles::dir()).filePath(QLatin1String(name)), &error);
        QVERIFY2(m.file, qPrintable(error));
    };
}

// What a cell shows: an edit's or a plain label's text, or the text of a label's markup (blanks
// collapsed) followed by the targets of its links.
QStringList onScreen(const QWidget* cell)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(cell))
        return {edit->text()};
    auto* label = qobject_cast<const QLabel*>(cell);
    if (!label || label->textFormat() == Qt::PlainText)
        return {label ? label->text() : QString()};
    QTextDocument doc;
    doc.setHtml(label->text());
    QStringList shown{doc.toPlainText().simplified()};
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.isEmpty() && (shown.size() == 1 || shown.last() != href))
                shown << href;
        }
    }
    return shown;
}

// The classes of the pages a window stacks: the common page, then one for each kind named.
QStringList pagesOf(const QString& kinds)
{
    QStringList classes{QLatin1String(kCommon)};
    for (const QString& kind : kinds.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        classes << "Vk%1InfoPage"_s.arg(kind);
    return classes;
}

// Media information that is nothing but the common part: no video, audio or image interface.
class BareMediaInfo : public IVkMediaInfo
{
public:
    int GetFrameCount() const override { return 0; }
    bool HasNoDuration() const override { return false; }
    int GetStreamFlags() const override { return 2; }
    VkFrameRate GetFrameRate() const override { return VkFrameRate{25, 1}; }
};

} // namespace

Q_DECLARE_METATYPE(Setup)

// The properties window over fake items: the texts its pages make from raw facts, which pages and
// rows a kind of media gets, and what OK and cancel hand back to the host and the item; some of it
// over real files made by the ffmpeg CLI and probed by the media library.
class TestMediaPropertyDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
    }
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void cells_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QByteArray>("pageClass");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("visible");
        // The links of a label with markup follow its text.
        const auto add = [](const char* name, const char* pageClass, int row, const char* shown,
                            const Setup& setup, const QStringList& links = {}, bool visible = true) {
            QTest::newRow(name) << setup << QByteArray(pageClass) << row
                                << QStringList(QString::fromUtf8(shown)) + links << visible;
        };

        using I = FakeMediaInfo;
        // File size: a plain item reads its file; a library record carries the size and wins over the file.
        const auto onDisk = [this](int bytes) {
            const QString path = m_dir.filePath(QString::number(bytes));
            return item(&FakeItem::filePath, writeBytes(path, QByteArray(bytes, '\0')) ? path : QString());
        };
        const auto inRecord = [onDisk](qint64 bytes) {
            return asLibrary + onDisk(700) + [bytes](Media& m) { m.vcg.asset.fileSize = bytes; };
        };
        // The page's own notation, two decimals, kept below the next unit.
        add("size: 0 bytes, empty cell", kCommon, Row_FileSize, "", onDisk(0));
        add("size: 500 B = 0.488 KB", kCommon, Row_FileSize, "0.49 KB", onDisk(500));
        add("size: 1 MiB - 1 is 1024.00 KB", kCommon, Row_FileSize, "1024.00 KB", onDisk((1 << 20) - 1));
        add("size: record of 3 GiB", kCommon, Row_FileSize, "3.00 GB", inRecord(3 * kGiB));
        add("size: negative record", kCommon, Row_FileSize, "", inRecord(-1));

        const auto timed = [](int streamFlags, int frames, qint64 num, qint64 den) {
            return flags(streamFlags) + info(&I::frameCount, frames) +
                   info(&I::frameRate, VkFrameRate{num, den});
        };
        // 23.97 counts 24 frames to the second: 1441 frames are 60 s and 1 frame.
        add("duration: 24000/1001", kCommon, Row_Duration, "00:01:00:01", timed(3, 1441, 24000, 1001));
        add("duration: still image", kCommon, Row_Duration, "None", timed(4, 1, 25, 1));

        add("name: alternate", kCommon, Row_Name, "alt",
            item(&FakeItem::name, ""_s) + item(&FakeItem::alternateName, "alt"_s));
        add("name: unnamed", kCommon, Row_Name, "unnamed", item(&FakeItem::name, ""_s));

        // The credit follows the stock source, the licence page the site; the author's name is text.
        const QString ann = "https://pixabay.com/users/ann-1/"_s, site = "https://pixabay.com/"_s;
        add("credit: 1000 Pixabay photo", kCommon, Row_Credit, "Photo by Ann <b>&amp; on Pixabay",
            stock(2, 1000), {ann, site});
        add("credit: 1006 uncredited", kCommon, Row_Credit, "Ann <b>&amp; on", stock(2, 1006), {ann});
        // Quotes and angle brackets in an address neither end the link nor become markup.
        const QString odd = "https://pixabay.com/users/?q=\"x\"&y=<1>"_s;
        add("credit: odd author address", kCommon, Row_Credit, "Photo by Ann <b>&amp; on Pixabay",
            stock(2, 1000) + [odd](Media& m) { m.stock.authorUrl = odd; }, {odd, site});
        const QString local = "file:///etc/passwd"_s;
        add("credit: local author address", kCommon, Row_Credit, "Photo by Ann <b>&amp; on Pixabay",
            stock(2, 1000) + [local](Media& m) { m.stock.authorUrl = local; }, {local, site});
        add("licence: Pixabay", kCommon, Row_Copyright, "pixabay.com/license", stock(2, 1000),
            {"https://example.com/license?a=1&b=2"_s});
        add("licence: unknown site, nothing to click", kCommon, Row_Copyright, "", stock(9, 1000));

        // The library record's texts are data, never markup.
        const char evil[] = "<a href=\"https://evil.example/\">© Studio</a>";
        const Setup library = [evil](Media& m) {
            asLibrary(m);
            m.vcg.keywords = QStringList{"<b>sea</b>"_s, "a&amp;b"_s};
            m.vcg.asset.copyright = QString::fromUtf8(evil);
        };
        add("library: keywords", kCommon, Row_Keyword, "<b>sea</b>,a&amp;b", library);
        add("library: copyright", kCommon, Row_Copyright, evil, library);

        add("codec is text", kVideo, Video_Codec, "<h264>", flags(1) + info(&I::videoCodec, "<h264>"_s));

        // Hundredths, trailing zeros dropped.
        const auto rate = [](qint64 num, qint64 den) {
            return flags(1) + info(&I::frameRate, VkFrameRate{num, den});
        };
        // 23.976... would round to 23.98; film rate on video is shown as 23.97 by convention.
        add("fps: 24000/1001", kVideo, Video_FrameRate, "23.97 fps", rate(24000, 1001));
        add("fps: zero denominator", kVideo, Video_FrameRate, "0 fps", rate(25, 0));

        // From 1000 bit/s on: whole kilobits, truncated. Below: bps / 1000 with two decimals, rounded.
        // Both pages format their stream's rate by the same rule.
        const auto bits = [](int rate) {
            return flags(3) + info(&I::videoBitRate, rate) + info(&I::audioBitRate, rate);
        };
        add("video bit rate 999", kVideo, Video_BitRate, "1.00 kbps", bits(999));
        add("audio bit rate 1999", kAudio, Audio_BitRate, "1 kbps", bits(1999));

        // Every query takes the item's stream index: stream 3 answers, stream 1 would not.
        const Setup sound = flags(2) + item(&FakeItem::audioStreamIndex, 3) + info(&I::audioStream, 3) +
                            info(&I::channels, 2) + info(&I::sampleRate, 48000) + info(&I::sampleBits, 16);
        static BareMediaInfo bareInfo;
        add("audio: stream 3", kAudio, Audio_SampleRate, "48000 Hz, 16 Bits", sound);
        // Generated files as the media library probes them: 2 s of 320x180 H.264 at 25 fps with
        // 48 kHz stereo AAC, which has no fixed sample size (ffprobe: bits_per_sample 0): "0 Bits"
        // would read as a broken file.
        add("av.mp4: duration", kCommon, Row_Duration, "00:00:02:00", file("av.mp4"));
        add("av.mp4: frame rate", kVideo, Video_FrameRate, "25 fps", file("av.mp4"));
        add("av.mp4: aac, no sample size", kAudio, Audio_SampleRate, "48000 Hz", file("av.mp4"));
        add("alpha.png: size", kPhoto, Photo_Resolution, "200x100", file("alpha.png"));
        add("audio: no audio interface", kAudio, Audio_SampleRate, "0 Hz", item(&FakeItem::info, &bareInfo));

        // Pixabay sizes come from the first offered of the quality levels 3 (640x360), 4 (1280x720) and
        // 5 (1920x1080); other sites and items that are no stock items show the media data's 320x180.
        const auto levels = [](int streamFlags, bool castable, QSet<int> unavailable) {
            return flags(streamFlags) + info(&I::width, 320) + info(&I::height, 180) + [=](Media& m) {
                m.item = castable ? &m.stock : &m.plain;
                m.item->stock = true;
                m.item->stockSite = 2;
                m.stock.unavailable = unavailable;
                m.stock.sizes = {{3, QSize(640, 360)}, {4, QSize(1280, 720)}, {5, QSize(1920, 1080)}};
            };
        };
        // The video and photo pages ask the same way.
        add("video size: first level", kVideo, Video_Resolution, "640x360", levels(1, true, {}));
        add("video size: none offered", kVideo, Video_Resolution, "640x360", levels(1, true, {3, 4, 5}));
        add("video size: Pixabay, no stock item", kVideo, Video_Resolution, "None", levels(1, false, {}));
        add("photo size: only level 5", kPhoto, Photo_Resolution, "1920x1080", levels(4, true, {3, 4}));

        const Setup photo =
            flags(4) + info(&I::cameraMaker, "<Canon>"_s) + [](Media& m) { m.stock.stockSite = 3; };
        const Setup exposed = photo + info(&I::exposure, 2);
        // Rows of camera data the picture does not carry are left out, not shown blank or as "0 s"
        // (whole seconds: 0 is unknown or shorter than a second).
        add("photo: empty model, no row", kPhoto, Photo_Model, "", photo, {}, false);
        add("photo: exposure 0, no row", kPhoto, Photo_Exposure, "0 s", photo, {}, false);
        add("photo: exposure 2", kPhoto, Photo_Exposure, "2 s", exposed);
        add("photo: stock has no exposure row", kPhoto, Photo_Exposure, "2 s", asStock + exposed, {}, false);
    }
    void cells()
    {
        QFETCH(Setup, setup);
        QFETCH(QByteArray, pageClass);
        QFETCH(int, row);
        Media media;
        setup(media);
        VkMediaPropertyDialog dialog(media.shown(), nullptr);
        QWidget* shownPage = page(&dialog, pageClass.constData());
        QVERIFY(shownPage);
        QTEST(onScreen(cell(shownPage, row, 1)), "shown");
        QTEST(rowShown(shownPage, row), "visible");

        // Every link goes through the desktop service, which opens well-formed web addresses only: a
        // stock record could name a local file or program, or an address with raw quotes in it.
        auto* label = qobject_cast<QLabel*>(cell(shownPage, row, 1));
        const QStringList links = onScreen(label).mid(1);
        QStringList opened;
        VkDesktopService::SetUrlOpener([&opened](const QUrl& url) {
            opened << url.toString();
            return true;
        });
        for (const QString& link : links)
            emit label->linkActivated(link);
        VkDesktopService::SetUrlOpener(VkDesktopService::UrlOpener());
        QCOMPARE(opened, links.filter(QRegularExpression("^https?://[^\"<>]+$"_s)));
        QVERIFY(links.isEmpty() || !label->openExternalLinks());
    }

    // Which pages a kind of media gets and how tall the window opens; which rows of the common page the
    // item's origin shows, and how its name can be edited.
    void layoutByKindAndOrigin_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("pages"); // after the common page
        QTest::addColumn<int>("height");    // -1: a bare frame's height, i.e. never resized
        // The common page's rows shown, by number: 0 name, 1 format, 2 location, 3 size, 4 duration,
        // 5 date created, 6 keywords, 7 copyright, 8 credit.
        QTest::addColumn<QString>("shownRows");
        QTest::addColumn<QString>("name");

        const char *plain = "02345", *stock = "0234578", *stockTimeless = "023578", *vcg = "0134678";
        const Setup timeless = info(&FakeMediaInfo::noDuration, true);
        // The file the item plays may differ from its source; the PNG page goes by the source.
        const auto kind = [](int streamFlags, const char* source) {
            return flags(streamFlags) + item(&FakeItem::sourcePath, QString::fromLatin1(source)) +
                   item(&FakeItem::filePath, "/cache/proxy.bin"_s);
        };
        const auto row = [](const char* name, const Setup& setup, const char* pages, int height,
                            const char* rows, const char* nameEdit) {
            QTest::newRow(name) << setup << pages << height << rows << nameEdit;
        };
        // Page heights plus the frame's 82: common 252, video 180, audio 260, photo 211, PNG 175; sums
        // above 690 are clamped by the frame's fixed size.
        // A plain item keeps its Duration row even when the media has no running time.
        row("video, no running time", kind(1, "a.mp4") + timeless, "Video", 514, plain, "editable");
        row("audio: 252+260+82, rename disabled", kind(2, "a.wav") + item(&FakeItem::renameEnabled, false),
            "Audio", 594, plain, "disabled");
        row("video+audio: 774, clamped; library asset type", kind(3, "a.mp4") + item(&FakeItem::itemType, 7),
            "Video Audio", kMaxHeight, plain, "read-only");
        row("stock video+audio drops audio", asStock + kind(3, "a.mp4"), "Video", 514, stock, "editable");
        row("stock without duration", asStock + kind(1, "a.mp4") + timeless, "Video", 514, stockTimeless,
            "editable");
        row("library", asLibrary + kind(1, "a.mp4") + item(&FakeItem::itemType, 1), "Video", 514, vcg,
            "read-only");
        row("stock and library: stock wins", asLibrary + kind(1, "a.mp4") + item(&FakeItem::stock, true),
            "Video", 514, stock, "read-only");
        row("png: 720, clamped", kind(4, "/m/a.png"), "Photo PngPhoto", kMaxHeight, plain, "editable");
        // The suffix is the part after the last dot: "png.jpg" is a JPEG.
        row("a.png.jpg is a jpg", kind(4, "/m/a.png.jpg"), "Photo", 545, plain, "editable");
        // Generated files as the media library probes them.
        row("av.mp4", file("av.mp4"), "Video Audio", kMaxHeight, plain, "editable");
        row("alpha.png", file("alpha.png"), "Photo PngPhoto", kMaxHeight, plain, "editable");
        row("unlisted flags 5", kind(5, "a.bin"), "", -1, plain, "editable");
        row("no media information", kind(0, "a.bin") + item(&FakeItem::info, nullptr), "", -1, plain,
            "editable");
    }
    void layoutByKindAndOrigin()
    {
        QFETCH(Setup, setup);
        QFETCH(QString, pages);
        QFETCH(int, height);
        Media m;
        setup(m);
        VkMediaPropertyDialog dialog(m.shown(), nullptr);
        QCOMPARE(pageClasses(&dialog), pagesOf(pages));
        VkFramelessDialog bare(nullptr, true, true);
        bare.SetFixedSize(VkDialog::Width_Small, kMaxHeight);
        QCOMPARE(dialog.height(), height < 0 ? bare.height() : height);

        QWidget* common = page(&dialog, kCommon);
        QString shown;
        for (int row = Row_Name; row <= Row_Credit; ++row) {
            if (rowShown(common, row))
                shown += QString::number(row);
        }
        QTEST(shown, "shownRows");
        QVERIFY(text(common, Row_Credit, 0).isEmpty()); // the credit row has no caption
        auto* name = dialog.findChild<QLineEdit*>("VkCommonInfoPage_NameLineEdit"_s);
        QTEST(QString::fromLatin1(!name->isEnabled()   ? "disabled"
                                  : name->isReadOnly() ? "read-only"
                                                       : "editable"),
              "name");

        // Shown so that its layouts run. No plain label's ink reaches past its room (the ink, not the
        // advance: a side bearing may stick out).
        dialog.show();
        QCoreApplication::processEvents();
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->wordWrap() || label->textFormat() != Qt::PlainText)
                continue;
            const int needed = label->fontMetrics().tightBoundingRect(label->text()).right() + 1;
            const int room = label->contentsRect().width();
            QVERIFY2(needed <= room,
                     qPrintable("%1 (%2 px in %3)"_s.arg(label->text()).arg(needed).arg(room)));
        }
    }

    void okAndCancel_data()
    {
        QTest::addColumn<QString>("name");   // of the item, then its alternate name after a "|"
        QTest::addColumn<QString>("typed");  // into the name edit; null: left alone
        QTest::addColumn<int>("stored");     // alpha code of the PNG
        QTest::addColumn<QString>("clicks"); // alpha buttons, in order, separated by ","
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("emitted"); // the names reported, separated by ","
        QTest::addColumn<QVector<int>>("writes");
        const auto row = [](const char* tag, const char* name, const char* typed, const char* emitted) {
            QTest::newRow(tag) << name << typed << 1 << QString() << true << emitted << QVector<int>{1};
        };
        const auto alpha = [](const char* tag, int stored, const char* clicks, bool accept,
                              QVector<int> writes) {
            QTest::newRow(tag) << "clip" << QString() << stored << clicks << accept << QString() << writes;
        };
        row("blanks around a new name are trimmed", "clip", "  Holiday  ", "Holiday");
        row("only blanks", "clip", "   \t ", "");
        row("same name with a trailing blank", "clip", "clip ", "");
        // The shown name was the alternate one; leaving it as it is renames nothing.
        row("alternate name untouched", "|alt", "alt", "");
        // The unchanged choice is written back all the same.
        alpha("unchanged, OK", 1, "", true, {1});
        alpha("ignore, then OK", 1, "Ignore Alpha", true, {2});
        alpha("ignore, then cancel", 1, "Ignore Alpha", false, {});
        // Switching away and back: only the toggle of the button being checked counts.
        alpha("ignore, back to premultiplied", 1, "Ignore Alpha,Premultiplied Alpha", true, {1});
        // A code no button stands for stays as it was unless the user picks one.
        alpha("unknown stored code kept", 7, "", true, {7});
        alpha("unknown stored code replaced", 7, "Straight Alpha", true, {0});
    }
    // In a modal run over a PNG: the name typed before OK is reported before the alpha choice is
    // written and the window closes (renaming itself is the host's business); the choice is written
    // on OK only.
    void okAndCancel()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(QString, clicks);
        QFETCH(bool, accept);
        Media m;
        m.info.streamFlags = 4;
        m.info.alphaType = stored;
        m.plain.sourcePath = "/m/logo.png"_s;
        m.plain.name = name.section(QLatin1Char('|'), 0, 0);
        m.plain.alternateName = name.section(QLatin1Char('|'), 1);
        VkMediaPropertyDialog dialog(m.item, nullptr);
        QStringList got;
        bool reportedFirst = true;
        int writesAtClose = -1;
        connect(&dialog, &VkMediaPropertyDialog::sigNameChanged, &dialog, [&](const QString& newName) {
            got << newName;
            reportedFirst = reportedFirst && m.info.alphaWrites.isEmpty() && dialog.result() == 0;
        });
        connect(&dialog, &QDialog::finished, &dialog, [&] { writesAtClose = m.info.alphaWrites.size(); });
        const QList<QRadioButton*> buttons = dialog.findChildren<QRadioButton*>();
        QCOMPARE(
            std::count_if(buttons.begin(), buttons.end(), [](QRadioButton* b) { return b->isChecked(); }),
            stored <= 2 ? 1 : 0);
        const int result = runModal(&dialog, [&] {
            if (!typed.isNull())
                dialog.findChild<QLineEdit*>("VkCommonInfoPage_NameLineEdit"_s)->setText(typed);
            for (const QString& click : clicks.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                for (QRadioButton* button : buttons) {
                    if (button->text() == click)
                        button->click();
                }
            }
            QVERIFY(m.info.alphaWrites.isEmpty());
            if (accept)
                dialog.findChild<QPushButton*>("PropertyDialog_Ok"_s)->click();
            else
                QVERIFY(QMetaObject::invokeMethod(&dialog, "slotCancel"));
        });
        QCOMPARE(result, accept ? 1 : 0);
        QTEST(got.join(QLatin1Char(',')), "emitted");
        QVERIFY(reportedFirst);
        QTEST(m.info.alphaWrites, "writes");
        QCOMPARE(writesAtClose, m.info.alphaWrites.size());
        QVERIFY(m.plain.renames.isEmpty());
    }
};

VK_TEST_MAIN(TestMediaPropertyDialog)
#include "tst_mediapropertydialog.moc"
