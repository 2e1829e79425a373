#include "VkTestMain.h"

#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkcore/VkConfig.h>
#include <vkcore/VkDesktopService.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
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

QLabel* tipLabel(const QWidget& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("VUnsupportedFileDialog_TipLabel"));
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

// The paragraphs of the list as they read on screen.
QStringList paragraphs(const QTextBrowser* browser)
{
    QStringList lines;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

class GermanTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation = nullptr,
                      int n = -1) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (qstrcmp(context, "VkUnsupportedImgFileDialog") != 0)
            return QString();
        const QString text = QString::fromUtf8(source);
        if (text == QLatin1String("Information"))
            return QStringLiteral("Hinweis");
        if (text == QLatin1String("OK"))
            return QStringLiteral("Gut");
        if (text == QLatin1String("Please contact support."))
            return QStringLiteral("Bitte <Support> kontaktieren.");
        if (text.startsWith(QLatin1String("The image is too large")))
            return QStringLiteral("Das Bild ist zu groß.");
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
    void okEndsTheModalRunWithZero();
    void frame();
    void retranslateKeepsTheList();
    void supportLinkOpensTheConfiguredPage();
    void shownWindowFitsItsTexts();
};

void TestUnsupportedImgFileDialog::numberedList_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("three names in order")
        << QStringList{"b.png", "a.tif", "c.jpg"} << QStringList{"1. b.png", "2. a.tif", "3. c.jpg"};
    // Names are data: markup characters and entities show as typed, and runs of blanks survive.
    QTest::newRow("markup in names") << QStringList{"<b>big</b>.png", "a &amp; b.jpg", "two  blanks.png"}
                                     << QStringList{"1. <b>big</b>.png", "2. a &amp; b.jpg",
                                                    "3. two  blanks.png"};
    QTest::newRow("a link as a name") << QStringList{"<a href=\"file:///etc\">x</a>.png"}
                                      << QStringList{"1. <a href=\"file:///etc\">x</a>.png"};
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
    QFETCH(QStringList, lines);

    VkUnsupportedImgFileDialog dialog(files, nullptr);
    QTextBrowser* browser = fileList(dialog);
    QVERIFY(browser);
    QCOMPARE(paragraphs(browser), lines);
    QVERIFY(browser->document()->toHtml().contains(QLatin1String("&lt;")) ==
            files.join(QString()).contains(QLatin1Char('<')));
}

void TestUnsupportedImgFileDialog::okEndsTheModalRunWithZero()
{
    VkUnsupportedImgFileDialog dialog(QStringList{QStringLiteral("a.png")}, nullptr);
    // The offscreen platform says so each time a window with a size constraint is shown.
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    QTimer::singleShot(0, &dialog, [&dialog] {
        okButton(dialog)->click();
        // Should OK fail to close the window, end the run with a code the test cannot mistake.
        if (dialog.isVisible())
            dialog.done(-1);
    });
    QCOMPARE(dialog.DoModal(), 0);

    // An empty list is an empty browser, and OK still ends with 0.
    VkUnsupportedImgFileDialog empty(QStringList(), nullptr);
    QVERIFY(fileList(empty)->toPlainText().isEmpty());
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    empty.show();
    okButton(empty)->click();
    QCOMPARE(empty.result(), 0);
    QVERIFY(!empty.isVisible());
}

void TestUnsupportedImgFileDialog::frame()
{
    VkUnsupportedImgFileDialog dialog(QStringList{QStringLiteral("a.png")}, nullptr);
    QCOMPARE(dialog.size(), QSize(480, 312));
    QCOMPARE(dialog.objectName(), QStringLiteral("VBaseDialog_BackGroundColor_1"));
    QCOMPARE(okButton(dialog)->size(), QSize(104, 32));
    QVERIFY(tipLabel(dialog)->wordWrap());
    QCOMPARE(tipLabel(dialog)->textFormat(), Qt::PlainText);
    QLabel* link = linkLabel(dialog);
    QVERIFY(link);
    QVERIFY(link->isHidden());
    QCOMPARE(fileList(dialog)->height(), 80);
}

void TestUnsupportedImgFileDialog::retranslateKeepsTheList()
{
    const QStringList files{QStringLiteral("big.png"), QStringLiteral("bigger.png"),
                            QStringLiteral("huge.tif")};
    VkUnsupportedImgFileDialog dialog(files, nullptr);
    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Information"));
    QCOMPARE(tipLabel(dialog)->text(),
             QStringLiteral(
                 "The image is too large, please compress the image first for better editing experience"));
    QCOMPARE(okButton(dialog)->text(), QStringLiteral("OK"));
    const QStringList before = paragraphs(fileList(dialog));

    GermanTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

    QCOMPARE(dialog.GetTitleBar()->TitleName(), QStringLiteral("Hinweis"));
    QCOMPARE(tipLabel(dialog)->text(), QStringLiteral("Das Bild ist zu groß."));
    QCOMPARE(okButton(dialog)->text(), QStringLiteral("Gut"));
    QTextDocument link;
    link.setHtml(linkLabel(dialog)->text());
    // The translated link text is inserted as text, angle brackets and all.
    QCOMPARE(link.toPlainText(), QStringLiteral("Bitte <Support> kontaktieren."));
    QCOMPARE(paragraphs(fileList(dialog)), before);
    QCOMPARE(before, (QStringList{"1. big.png", "2. bigger.png", "3. huge.tif"}));

    QVERIFY(QCoreApplication::removeTranslator(&translator));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(okButton(dialog)->text(), QStringLiteral("OK"));
}

void TestUnsupportedImgFileDialog::supportLinkOpensTheConfiguredPage()
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
        QVERIFY(link->text().contains(QLatin1String("color: #3CA9F8;")));
        emit link->linkActivated(href);
    }
    VkDesktopService::SetUrlOpener(VkDesktopService::UrlOpener());
    QCOMPARE(opened, QStringList{page});
}

void TestUnsupportedImgFileDialog::shownWindowFitsItsTexts()
{
    VkUnsupportedImgFileDialog dialog(QStringList{QStringLiteral("holiday-panorama-2019.tif"),
                                                  QStringLiteral("drone/lake_8K_raw.png"),
                                                  QStringLiteral("<scan> & poster.jpg")},
                                      nullptr);
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    dialog.show();
    QCoreApplication::processEvents();
    const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        QVERIFY(dialog.grab().save(QDir(folder).filePath(QStringLiteral("unsupported-image.png"))));

    // The wrapped message needs no more lines than its fixed height holds, and the three names
    // fit the list without scrolling.
    QLabel* tip = tipLabel(dialog);
    QVERIFY(tip->heightForWidth(tip->contentsRect().width()) <= tip->height());
    QTextBrowser* browser = fileList(dialog);
    QVERIFY(!browser->verticalScrollBar()->isVisible());
    QCOMPARE(dialog.size(), QSize(480, 312));
}

VK_TEST_MAIN(TestUnsupportedImgFileDialog)
#include "tst_unsupportedimgfiledialog.moc"
