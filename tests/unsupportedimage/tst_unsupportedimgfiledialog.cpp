#include "VkModalRun.h"
#include "VkTestMain.h"

#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkcore/VkConfig.h>
#include <vkcore/VkDesktopService.h>

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTranslator>

namespace {

QTextBrowser* fileList(const QWidget& dialog)
{
    return dialog.findChild<QTextBrowser*>(QStringLiteral("VUnsupportedFileDialog_TextBrowser"));
}

QPushButton* okButton(const QWidget& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("VCommonLib_Normal_Btn"));
}

// Puts markup into the link's translation: it must reach the screen as text.
class MarkupTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return qstrcmp(source, "Please contact support.") == 0
                   ? QStringLiteral("Bitte <Support> kontaktieren.")
                   : QString();
    }
};

} // namespace

// The warning about images too large to edit: its numbered list, its way out and its link.
class TestUnsupportedImgFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }

    // Run modally: the names are numbered in order and shown as typed (markup characters, entities and
    // runs of blanks are data); the wrapped message fits its fixed height; three names show without
    // scrolling, more open on the first rather than scrolled toward the last; OK ends the run with 0.
    void shownModally_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("three names with markup fit")
            << QStringList{QStringLiteral("<b>big</b>.png"), QStringLiteral("a &amp; b.jpg"),
                           QStringLiteral("two  blanks.png")};
        // The tenth entry is numbered 10, not 0 or 1.
        QStringList ten, wide;
        for (int i = 1; i <= 10; ++i)
            ten << QStringLiteral("p%1.png").arg(i);
        QTest::newRow("ten names scroll") << ten;
        // Names wider than the list wrap to several lines each.
        for (int i = 1; i <= 5; ++i)
            wide << QString(120, QLatin1Char(char('a' + i))) + QStringLiteral(".png");
        QTest::newRow("five long names") << wide;
    }
    void shownModally()
    {
        QFETCH(QStringList, files);
        VkUnsupportedImgFileDialog dialog(files, nullptr);
        QStringList lines;
        for (QTextBlock b = fileList(dialog)->document()->begin(); b.isValid(); b = b.next())
            lines << b.text();
        QCOMPARE(lines.size(), files.size());
        for (int i = 0; i < files.size(); ++i)
            QCOMPARE(lines.at(i), QStringLiteral("%1. ").arg(i + 1) + files.at(i));
        const int count = files.size();
        // The offscreen platform says so each time a window with a size constraint is shown.
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        const int result = runModal(&dialog, [&] {
            QCoreApplication::processEvents();
            const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
            if (!folder.isEmpty() && count == 3)
                QVERIFY(dialog.grab().save(folder + QStringLiteral("/unsupported-image.png")));
            auto* tip = dialog.findChild<QLabel*>(QStringLiteral("VUnsupportedFileDialog_TipLabel"));
            QVERIFY(tip->wordWrap() && tip->heightForWidth(tip->contentsRect().width()) <= tip->height());
            QCOMPARE(dialog.size(), QSize(480, 312));
            QScrollBar* bar = fileList(dialog)->verticalScrollBar();
            QCOMPARE(bar->isVisible(), count > 3);
            QCOMPARE(bar->value(), 0);
            // The line at the top of the view is the first name.
            QCOMPARE(fileList(dialog)->cursorForPosition(QPoint(4, 4)).block().text(),
                     QStringLiteral("1. ") + files.first());
            okButton(dialog)->click();
        });
        QCOMPARE(result, 0);
    }

    // The link opens the configured page through the desktop service, and follows the language with
    // its translated text inserted as text.
    void supportLink()
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
            QLabel* link = nullptr;
            for (QLabel* label : dialog.findChildren<QLabel*>())
                link = label->text().contains(QLatin1String("<a ")) ? label : link;
            QVERIFY(link && link->isHidden() && !link->openExternalLinks());
            QTextDocument doc;
            doc.setHtml(link->text());
            QCOMPARE(doc.toPlainText(), QStringLiteral("Please contact support."));
            // The anchor's target is the configured page, its "&" intact after the markup is read.
            const QString href = doc.begin().begin().fragment().charFormat().anchorHref();
            QCOMPARE(href, page);
            emit link->linkActivated(href);

            MarkupTranslator translator;
            QVERIFY(QCoreApplication::installTranslator(&translator));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
            doc.setHtml(link->text());
            QCOMPARE(doc.toPlainText(), QStringLiteral("Bitte <Support> kontaktieren."));
            QVERIFY(QCoreApplication::removeTranslator(&translator));
        }
        VkDesktopService::SetUrlOpener(VkDesktopService::UrlOpener());
        QCOMPARE(opened, QStringList{page});
    }
};

VK_TEST_MAIN(TestUnsupportedImgFileDialog)
#include "tst_unsupportedimgfiledialog.moc"
