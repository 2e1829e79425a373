#include "MediaPropertyFakes.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <vkcore/VkDesktopService.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

using namespace MediaPropertyProbe;

namespace {

enum Row : int
{
    Row_Name = 0,
    Row_Format = 1,
    Row_Location = 2,
    Row_FileSize = 3,
    Row_Duration = 4,
    Row_DateCreated = 5,
    Row_Keyword = 6,
    Row_Copyright = 7,
    Row_Credit = 8,
};

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kGiB = kMiB * 1024;

// What a label puts on screen: its text as it will be read (plain, or the text of the markup).
QString shownText(const QLabel* label)
{
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!rich)
        return label->text();
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

QString shownTip(const QString& tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText();
}

// The link targets of a rich text, in order.
QStringList anchors(const QString& html)
{
    QTextDocument doc;
    doc.setHtml(html);
    QStringList hrefs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.isEmpty() && (hrefs.isEmpty() || hrefs.last() != href))
                hrefs << href;
        }
    }
    return hrefs;
}

QLabel* label(QWidget* page, int row)
{
    return qobject_cast<QLabel*>(cell(page, row, 1));
}

} // namespace

// The common page: the texts its manager makes from an item and which rows each origin of media
// shows. Items are fakes; sizes of real files come from sparse files made here.
class TestMediaPropertyCommon : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void fileSize_data();
    void fileSize();
    void duration_data();
    void duration();
    void rowsByOrigin_data();
    void rowsByOrigin();
    void nameAndEditability_data();
    void nameAndEditability();
    void credit_data();
    void credit();
    void copyright_data();
    void copyright();
    void dataIsShownAsText();
    void linksGoThroughTheDesktopService();

private:
    QTemporaryDir m_dir;
};

void TestMediaPropertyCommon::fileSize_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<bool>("onDisk");
    QTest::addColumn<QString>("shown");

    for (const bool onDisk : {true, false}) {
        // On disk: a sparse file of that size read by a plain item; otherwise a library item's
        // record, which carries the size itself.
        const char* where = onDisk ? "file" : "record";
        QTest::addRow("%s: 0 bytes, empty cell", where) << qint64(0) << onDisk << QString();
        // 500 / 1024 = 0.488..., rounded to two decimals.
        QTest::addRow("%s: 500 B", where) << qint64(500) << onDisk << "0.49 KB";
        // 1048575 / 1024 = 1023.999..., which rounds up to 1024.00 but is still below 1 MiB.
        QTest::addRow("%s: 1 MiB - 1", where) << kMiB - 1 << onDisk << "1024.00 KB";
        QTest::addRow("%s: 1 MiB", where) << kMiB << onDisk << "1.00 MB";
        // 1.5 MiB + 5 KiB = 1.50488... MiB.
        QTest::addRow("%s: 1.5 MiB + 5 KiB", where) << kMiB * 3 / 2 + 5 * 1024 << onDisk << "1.50 MB";
        QTest::addRow("%s: 1 GiB - 1", where) << kGiB - 1 << onDisk << "1024.00 MB";
        QTest::addRow("%s: 3 GiB", where) << 3 * kGiB << onDisk << "3.00 GB";
    }
    QTest::newRow("record: a negative size is no size") << qint64(-1) << false << QString();
}

void TestMediaPropertyCommon::fileSize()
{
    QFETCH(qint64, bytes);
    QFETCH(bool, onDisk);
    QFETCH(QString, shown);

    FakeMediaInfo info;
    info.streamFlags = 1;
    FakeVCGItem vcg;
    FakeItem plain;
    FakeItem& item = onDisk ? plain : static_cast<FakeItem&>(vcg);
    item.info = &info;
    if (onDisk) {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath(QStringLiteral("sized.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // Sparse: the size is what is read, no data is written.
        QVERIFY(file.resize(bytes));
        file.close();
        plain.filePath = file.fileName();
    } else {
        vcg.asset.fileSize = bytes;
        // The record wins over whatever file the item points at.
        vcg.filePath = QStringLiteral("/nonexistent/file.mp4");
    }

    VkMediaPropertyDialog dialog(&item, nullptr);
    QCOMPARE(text(page(&dialog, "VkCommonInfoPage"), Row_FileSize), shown);
}

void TestMediaPropertyCommon::duration_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("frames");
    QTest::addColumn<qint64>("num");
    QTest::addColumn<qint64>("den");
    QTest::addColumn<bool>("hasInfo");
    QTest::addColumn<QString>("shown");

    // 250 frames at 25 fps are 10 s.
    QTest::newRow("25 fps") << 1 << 250 << qint64(25) << qint64(1) << true << "00:00:10:00";
    // 23.97 counts 24 frames to the second: 1441 frames are 60 s and 1 frame.
    QTest::newRow("24000/1001") << 3 << 1441 << qint64(24000) << qint64(1001) << true << "00:01:00:01";
    // A rate with a zero part is 0 fps, which has no timecode.
    QTest::newRow("zero denominator") << 1 << 250 << qint64(25) << qint64(0) << true << "00:00:00:00";
    QTest::newRow("audio only") << 2 << 50 << qint64(25) << qint64(1) << true << "00:00:02:00";
    QTest::newRow("still image") << 4 << 1 << qint64(25) << qint64(1) << true << "None";
    QTest::newRow("no media information") << 0 << 0 << qint64(25) << qint64(1) << false << "None";
}

void TestMediaPropertyCommon::duration()
{
    QFETCH(int, flags);
    QFETCH(int, frames);
    QFETCH(qint64, num);
    QFETCH(qint64, den);
    QFETCH(bool, hasInfo);
    QFETCH(QString, shown);

    FakeMediaInfo info;
    info.streamFlags = flags;
    info.frameCount = frames;
    info.frameRate = VkFrameRate{num, den};
    FakeItem item;
    item.info = hasInfo ? &info : nullptr;
    item.sourcePath = QStringLiteral("/m/a.jpg");

    VkMediaPropertyDialog dialog(&item, nullptr);
    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QCOMPARE(text(common, Row_Duration), shown);
    QVERIFY(rowShown(common, Row_Duration));
}

void TestMediaPropertyCommon::rowsByOrigin_data()
{
    QTest::addColumn<QString>("origin");
    QTest::addColumn<bool>("noDuration");
    QTest::addColumn<QList<int>>("shownRows");

    const QList<int> plainRows{Row_Name, Row_Location, Row_FileSize, Row_Duration, Row_DateCreated};
    QTest::newRow("plain") << "plain" << false << plainRows;
    // A plain item keeps its Duration row even when the media has no running time.
    QTest::newRow("plain without duration") << "plain" << true << plainRows;
    QTest::newRow("stock") << "stock" << false
                           << QList<int>{Row_Name,        Row_Location,  Row_FileSize, Row_Duration,
                                         Row_DateCreated, Row_Copyright, Row_Credit};
    QTest::newRow("stock without duration")
        << "stock" << true
        << QList<int>{Row_Name, Row_Location, Row_FileSize, Row_DateCreated, Row_Copyright, Row_Credit};
    QTest::newRow("library") << "vcg" << false
                             << QList<int>{Row_Name,    Row_Format,    Row_FileSize, Row_Duration,
                                           Row_Keyword, Row_Copyright, Row_Credit};
    QTest::newRow("library without duration")
        << "vcg" << true
        << QList<int>{Row_Name, Row_Format, Row_FileSize, Row_Keyword, Row_Copyright, Row_Credit};
    // Flagged as both: the stock rules win.
    QTest::newRow("stock and library")
        << "both" << false << QList<int>{Row_Name,        Row_Location,  Row_FileSize, Row_Duration,
                                         Row_DateCreated, Row_Copyright, Row_Credit};
}

void TestMediaPropertyCommon::rowsByOrigin()
{
    QFETCH(QString, origin);
    QFETCH(bool, noDuration);
    QFETCH(QList<int>, shownRows);

    FakeMediaInfo info;
    info.streamFlags = 1;
    info.noDuration = noDuration;
    FakeItem plain;
    FakeStockItem stock;
    FakeVCGItem vcg;
    FakeItem* item = &plain;
    if (origin == QLatin1String("stock")) {
        item = &stock;
    } else if (origin == QLatin1String("vcg")) {
        item = &vcg;
    } else if (origin == QLatin1String("both")) {
        vcg.stock = true;
        item = &vcg;
    }
    item->info = &info;

    VkMediaPropertyDialog dialog(item, nullptr);
    QWidget* common = page(&dialog, "VkCommonInfoPage");
    QList<int> shown;
    for (int row = Row_Name; row <= Row_Credit; ++row) {
        if (rowShown(common, row))
            shown << row;
    }
    QCOMPARE(shown, shownRows);
    // The credit row never has a caption.
    QVERIFY(text(common, Row_Credit, 0).isEmpty());
}

void TestMediaPropertyCommon::nameAndEditability_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("alternate");
    QTest::addColumn<int>("itemType");
    QTest::addColumn<bool>("renameEnabled");
    QTest::addColumn<bool>("library");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("own name") << "clip"
                              << "alt" << 1 << true << false << "clip" << true << false;
    QTest::newRow("alternate name") << ""
                                    << "alt" << 1 << true << false << "alt" << true << false;
    QTest::newRow("unnamed") << ""
                             << "" << 1 << true << false << "unnamed" << true << false;
    QTest::newRow("rename disabled") << "clip"
                                     << "" << 1 << false << false << "clip" << false << false;
    QTest::newRow("library asset type") << "clip"
                                        << "" << 7 << true << false << "clip" << true << true;
    QTest::newRow("library item") << "clip"
                                  << "" << 1 << true << true << "clip" << true << true;
}

void TestMediaPropertyCommon::nameAndEditability()
{
    QFETCH(QString, name);
    QFETCH(QString, alternate);
    QFETCH(int, itemType);
    QFETCH(bool, renameEnabled);
    QFETCH(bool, library);
    QFETCH(QString, shown);
    QFETCH(bool, enabled);
    QFETCH(bool, readOnly);

    FakeMediaInfo info;
    info.streamFlags = 1;
    FakeItem plain;
    FakeVCGItem vcg;
    FakeItem& item = library ? static_cast<FakeItem&>(vcg) : plain;
    item.info = &info;
    item.name = name;
    item.alternateName = alternate;
    item.itemType = itemType;
    item.renameEnabled = renameEnabled;

    VkMediaPropertyDialog dialog(&item, nullptr);
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("VkCommonInfoPage_NameLineEdit"));
    QVERIFY(edit);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(edit->isEnabled(), enabled);
    QCOMPARE(edit->isReadOnly(), readOnly);
}

void TestMediaPropertyCommon::credit_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("credit");

    // "%1 <a style = 'color:#55e5c5;'href=\"%2\"> %3 </a> %4 <a style = 'color:#55e5c5;'href=\"%5\">%6</a>"
    // with prefix, author page, author name, "on", site page and site name.
    const auto credit = [](const char* prefix, const char* page, const char* site) {
        return QStringLiteral(
                   "%1 <a style = 'color:#55e5c5;'href=\"https://pixabay.com/users/ann-1/\"> Ann </a> "
                   "on <a style = 'color:#55e5c5;'href=\"%2\">%3</a>")
            .arg(QLatin1String(prefix), QLatin1String(page), QLatin1String(site));
    };
    QTest::newRow("1000 Pixabay photo") << 1000 << credit("Photo by", "https://pixabay.com/", "Pixabay");
    QTest::newRow("1001 Pixabay video") << 1001 << credit("Shot by", "https://pixabay.com/", "Pixabay");
    QTest::newRow("1002 Unsplash") << 1002 << credit("Photo by", "https://unsplash.com/", "Unsplash");
    QTest::newRow("1003 Unsplash") << 1003 << credit("Photo by", "https://unsplash.com/", "Unsplash");
    QTest::newRow("1004 Giphy") << 1004 << credit("", "https://giphy.com/", "Giphy");
    QTest::newRow("1005 Giphy") << 1005 << credit("", "https://giphy.com/", "Giphy");
    QTest::newRow("1006 uncredited") << 1006 << credit("", "", "");
    QTest::newRow("1007 uncredited") << 1007 << credit("", "", "");
    QTest::newRow("1008 Pexels photo") << 1008 << credit("Photo by", "https://www.pexels.com/", "Pexels");
    QTest::newRow("1009 Pexels video") << 1009 << credit("Shot by", "https://www.pexels.com/", "Pexels");
    QTest::newRow("999 unknown") << 999 << credit("", "", "");
    QTest::newRow("1010 unknown") << 1010 << credit("", "", "");
}

void TestMediaPropertyCommon::credit()
{
    QFETCH(int, source);
    QFETCH(QString, credit);

    FakeMediaInfo info;
    info.streamFlags = 4;
    FakeStockItem item;
    item.info = &info;
    item.stockSite = 2;
    item.stockSource = source;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QCOMPARE(text(page(&dialog, "VkCommonInfoPage"), Row_Credit), credit);
}

void TestMediaPropertyCommon::copyright_data()
{
    QTest::addColumn<int>("site");
    QTest::addColumn<QString>("licenseUrl");
    // The link's text as read on screen (markup collapses the template's leading blank).
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("links");

    const QString url = QStringLiteral("https://example.com/license?a=1&b=2");
    QTest::newRow("Giphy") << 1 << url << "giphy.com/license" << QStringList{url};
    QTest::newRow("Pixabay") << 2 << url << "pixabay.com/license" << QStringList{url};
    QTest::newRow("Unsplash") << 3 << url << "unsplash.com/license" << QStringList{url};
    QTest::newRow("Pexels") << 4 << url << "www.pexels.com/license" << QStringList{url};
    // No licence page for an unknown site: the link has no text to click.
    QTest::newRow("unknown site") << 9 << url << "" << QStringList();
}

void TestMediaPropertyCommon::copyright()
{
    QFETCH(int, site);
    QFETCH(QString, licenseUrl);
    QFETCH(QString, shown);
    QFETCH(QStringList, links);

    FakeMediaInfo info;
    info.streamFlags = 4;
    FakeStockItem item;
    item.info = &info;
    item.stockSite = site;
    item.stockSource = 1000;
    item.licenseUrl = licenseUrl;

    VkMediaPropertyDialog dialog(&item, nullptr);
    QLabel* copyright = label(page(&dialog, "VkCommonInfoPage"), Row_Copyright);
    QVERIFY(copyright);
    QCOMPARE(shownText(copyright), shown);
    QCOMPARE(anchors(copyright->text()), links);
}

void TestMediaPropertyCommon::dataIsShownAsText()
{
    // Library item: format, keywords and copyright are the record's texts, shown as they are.
    FakeMediaInfo info;
    info.streamFlags = 1;
    FakeVCGItem vcg;
    vcg.info = &info;
    vcg.keywords = QStringList{QStringLiteral("<b>sea</b>"), QStringLiteral("a&amp;b")};
    vcg.asset.format = QStringLiteral("<i>MP4</i>");
    vcg.asset.copyright = QStringLiteral("<a href=\"https://evil.example/\">© Studio</a>");
    {
        VkMediaPropertyDialog dialog(&vcg, nullptr);
        QWidget* common = page(&dialog, "VkCommonInfoPage");
        QCOMPARE(shownText(label(common, Row_Format)), QStringLiteral("<i>MP4</i>"));
        QCOMPARE(shownText(label(common, Row_Keyword)), QStringLiteral("<b>sea</b>,a&amp;b"));
        QCOMPARE(shownText(label(common, Row_Copyright)), vcg.asset.copyright);
    }

    // Stock item: names and addresses inserted into the credit and licence links stay data.
    FakeStockItem stock;
    stock.info = &info;
    stock.stockSite = 2;
    stock.stockSource = 1000;
    stock.name = QStringLiteral("<b>bold</b> & co");
    stock.authorName = QStringLiteral("<b>Ann</b> & \"Bob\" 50%6 off");
    stock.authorUrl = QStringLiteral("https://pixabay.com/users/?q=\"x\"&y=<1>");
    QVERIFY(m_dir.isValid());
    const QString odd = m_dir.filePath(QStringLiteral("<b>clip</b> & a.mp4"));
    stock.filePath = odd;
    {
        VkMediaPropertyDialog dialog(&stock, nullptr);
        QWidget* common = page(&dialog, "VkCommonInfoPage");
        QCOMPARE(text(common, Row_Name), stock.name);
        QCOMPARE(text(common, Row_Location), odd);
        QCOMPARE(shownTip(cell(common, Row_Location, 1)->toolTip()), odd);

        QLabel* credit = label(common, Row_Credit);
        // The author's name appears once, with its markup characters and its "%6" untouched; the
        // blanks the template puts around it collapse on screen.
        QCOMPARE(shownText(credit), QStringLiteral("Photo by <b>Ann</b> & \"Bob\" 50%6 off on Pixabay"));
        QCOMPARE(anchors(credit->text()),
                 (QStringList{stock.authorUrl, QStringLiteral("https://pixabay.com/")}));
    }
}

void TestMediaPropertyCommon::linksGoThroughTheDesktopService()
{
    QStringList opened;
    VkDesktopService::SetUrlOpener([&opened](const QUrl& url) {
        opened << url.toString();
        return true;
    });

    FakeMediaInfo info;
    info.streamFlags = 4;
    FakeStockItem item;
    item.info = &info;
    item.stockSite = 2;
    item.stockSource = 1000;
    {
        VkMediaPropertyDialog dialog(&item, nullptr);
        QWidget* common = page(&dialog, "VkCommonInfoPage");
        QLabel* credit = label(common, Row_Credit);
        QLabel* copyright = label(common, Row_Copyright);
        QVERIFY(!credit->openExternalLinks());
        QVERIFY(!copyright->openExternalLinks());
        emit credit->linkActivated(QStringLiteral("https://pixabay.com/users/ann-1/"));
        // A stock record could name a local file or program; it must never be opened.
        emit credit->linkActivated(QStringLiteral("file:///etc/passwd"));
        emit copyright->linkActivated(QStringLiteral("https://pixabay.com/service/license/"));
    }
    VkDesktopService::SetUrlOpener(VkDesktopService::UrlOpener());

    QCOMPARE(opened, (QStringList{QStringLiteral("https://pixabay.com/users/ann-1/"),
                                  QStringLiteral("https://pixabay.com/service/license/")}));
}

VK_TEST_MAIN(TestMediaPropertyCommon)
#include "tst_mediapropertycommon.moc"
