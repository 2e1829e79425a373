#include "VkModalRun.h"
#include "VkTestMain.h"

#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkcore/VkConfig.h>
#include <vkcore/VkDesktopService.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTranslator>
#include <QUrl>

namespace {

const char kNoSizeHints[] = "This plugin does not support propagateSizeHints()";

QTextBrowser* fileList(const QWidget& dialog)
{
    return dialog.findChild<QTextBrowser*>(QStringLiteral("VUnsupportedFileDialog_TextBrowser"));
}

QPushButton* okButton(const QWidget& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("VCommonLib_Normal_Btn"));
}

// The support link is the one label holding an anchor.
QLabel* linkLabel(const QWidget& dialog)
{
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text().contains(QLatin1String("<a ")))
            return label;
    }
    return nullptr;
}

class MarkupTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        if (qstrcmp(source, "OK") == 0)
            return QStringLiteral("Gut");
        if (qstrcmp(source, "Please contact support.") == 0)
            return QStringLiteral("Bitte <Support> kontaktieren.");
        return QString();
    }
};

} // namespace

// The warning about images too large to edit: its numbered list, its way out and its texts.
class TestUnsupportedImgFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    void numberedList_data();
    void numberedList();
    void shownModallyFitsAndOkEndsWithZero();
    void longListOpensAtTop_data();
    void longListOpensAtTop();
    void supportLink();
};

void TestUnsupportedImgFileDialog::numberedList_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("none") << QStringList() << QStringList{""};
    QTest::newRow("three names in order")
        << QStringList{"b.png", "a.tif", "c.jpg"} << QStringList{"1. b.png", "2. a.tif", "3. c.jpg"};
    // Names are data: markup characters and entities show as typed, and runs of blanks survive.
    QTest::newRow("markup in names") << QStringList{"<b>big</b>.png", "a &amp; b.jpg", "two  blanks.png"}
                                     << QStringList{"1. <b>big</b>.png", "2. a &amp; b.jpg",
                                                    "3. two  blanks.png"};
    // The tenth entry is numbered 10, not 0 or 1.
    QStringList ten;
    QStringList tenLines;
    for (int i = 1; i <= 10; ++i) {
        ten << QStringLiteral("p%1.png").arg(i);
        tenLines << QStringLiteral("%1. p%1.png").arg(i);
    }
    QTest::newRow("ten names") << ten << tenLines;
}

void TestUnsupportedImgFileDialog::numberedList()
{
    QFETCH(QStringList, files);

    VkUnsupportedImgFileDialog dialog(files, nullptr);
    QStringList lines;
    for (QTextBlock block = fileList(dialog)->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    QTEST(lines, "lines");
}

// As a user meets the window: run modally, its wrapped message within its fixed height, three
// names in the list without scrolling, and OK ending the run with 0.
void TestUnsupportedImgFileDialog::shownModallyFitsAndOkEndsWithZero()
{
    VkUnsupportedImgFileDialog dialog(
        {"holiday-panorama-2019.tif", "drone/lake_8K_raw.png", "<scan> & poster.jpg"}, nullptr);
    // The offscreen platform says so each time a window with a size constraint is shown.
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    const int result = runModal(&dialog, [&dialog] {
        QCoreApplication::processEvents();
        const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
        if (!folder.isEmpty())
            QVERIFY(dialog.grab().save(QDir(folder).filePath(QStringLiteral("unsupported-image.png"))));
        auto* tip = dialog.findChild<QLabel*>(QStringLiteral("VUnsupportedFileDialog_TipLabel"));
        QVERIFY(tip->wordWrap());
        QVERIFY(tip->heightForWidth(tip->contentsRect().width()) <= tip->height());
        QVERIFY(!fileList(dialog)->verticalScrollBar()->isVisible());
        QCOMPARE(dialog.size(), QSize(480, 312));
        okButton(dialog)->click();
    });
    QCOMPARE(result, 0);
}

void TestUnsupportedImgFileDialog::longListOpensAtTop_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("nameLength");

    // Three lines fit: five already scroll.
    QTest::newRow("five names") << 5 << 12;
    // Names wider than the list wrap to several lines each.
    QTest::newRow("five long names") << 5 << 120;
}

// More names than the list shows: it opens on the first, not scrolled toward the last.
void TestUnsupportedImgFileDialog::longListOpensAtTop()
{
    QFETCH(int, count);
    QFETCH(int, nameLength);
    QStringList files;
    for (int i = 1; i <= count; ++i)
        files << QStringLiteral("%1.png").arg(QString(nameLength, QLatin1Char('a' + i % 26)));
    VkUnsupportedImgFileDialog dialog(files, nullptr);
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCoreApplication::processEvents();
    QTextBrowser* list = fileList(dialog);
    QVERIFY(list->verticalScrollBar()->maximum() > 0);
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    // The line at the top of the view is the first name.
    QCOMPARE(list->cursorForPosition(QPoint(4, 4)).block().text(), QStringLiteral("1. ") + files.first());
}

// The link opens the configured page through the desktop service, and follows the language with
// its translated text inserted as text.
void TestUnsupportedImgFileDialog::supportLink()
{
    const QString page = QStringLiteral("https://help.example.com/support?topic=images&lang=en");
    VkConfig::Instance().SetCBSUrl(QStringLiteral("SupportPage"), page);
    QStringList opened;
    VkDesktopService::SetUrlOpener([&opened](const QUrl& url) {
        opened << url.toString();
        return true;
    });
    {
        VkUnsupportedImgFileDialog dialog(QStringList(), nullptr);
        QLabel* link = linkLabel(dialog);
        QVERIFY(link);
        QVERIFY(link->isHidden());
        QCOMPARE(link->textFormat(), Qt::RichText);
        QVERIFY(!link->openExternalLinks());
        QTextDocument doc;
        doc.setHtml(link->text());
        QCOMPARE(doc.toPlainText(), QStringLiteral("Please contact support."));
        // The anchor's target is the configured page, its "&" intact after the markup is read.
        QString href;
        for (auto it = doc.begin().begin(); !it.atEnd(); ++it)
            href = it.fragment().charFormat().anchorHref();
        QCOMPARE(href, page);
        emit link->linkActivated(href);

        MarkupTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        doc.setHtml(link->text());
        QCOMPARE(doc.toPlainText(), QStringLiteral("Bitte <Support> kontaktieren."));
        QCOMPARE(okButton(dialog)->text(), QStringLiteral("Gut"));
        QVERIFY(QCoreApplication::removeTranslator(&translator));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(okButton(dialog)->text(), QStringLiteral("OK"));
    }
    VkDesktopService::SetUrlOpener(VkDesktopService::UrlOpener());
    QCOMPARE(opened, QStringList{page});
}

VK_TEST_MAIN(TestUnsupportedImgFileDialog)
#include "tst_unsupportedimgfiledialog.moc"
