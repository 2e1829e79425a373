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

using namespace VkTestLiterals;

namespace {

// Puts markup into the link's translation: it must reach the screen as text.
class MarkupTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return qstrcmp(source, "Please contact support.") == 0 ? "Bitte <Support> kontaktieren."_s
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
            << QStringList{"<b>big</b>.png"_s, "a &amp; b.jpg"_s, "two  blanks.png"_s};
        // The tenth entry is numbered 10, not 0 or 1.
        QStringList ten, wide;
        for (int i = 1; i <= 10; ++i)
            ten << "p%1.png"_s.arg(i);
        QTest::newRow("ten names scroll") << ten;
        // Names wider than the list wrap to several lines each.
        for (int i = 1; i <= 5; ++i)
            wide << QString(120, QLatin1Char(char('a' + i))) + ".png"_s;
        QTest::newRow("five long names") << wide;
    }
    void shownModally()
    {
        QFETCH(QStringList, files);
        VkUnsupportedImgFileDialog dialog(files, nullptr);
        auto* list = dialog.findChild<QTextBrowser*>("VUnsupportedFileDialog_TextBrowser"_s);
        QStringList expected;
        for (int i = 0; i < files.size(); ++i)
            expected << "%1. %2"_s.arg(i + 1).arg(files.at(i));
        QCOMPARE(list->toPlainText().split(QLatin1Char('\n')), expected);
        // The offscreen platform says so each time a window with a size constraint is shown.
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        const int result = runModal(&dialog, [&] {
            QCoreApplication::processEvents();
            auto* tip = dialog.findChild<QLabel*>("VUnsupportedFileDialog_TipLabel"_s);
            QVERIFY(tip->wordWrap() && tip->heightForWidth(tip->contentsRect().width()) <= tip->height());
            QCOMPARE(dialog.size(), QSize(480, 312));
            QCOMPARE(list->verticalScrollBar()->isVisible(), files.size() > 3);
            QCOMPARE(list->verticalScrollBar()->value(), 0);
            // The line at the top of the view is the first name.
            QCOMPARE(list->cursorForPosition(QPoint(4, 4)).block().text(), expected.first());
            dialog.findChild<QPushButton*>("VCommonLib_Normal_Btn"_s)->click();
        });
        QCOMPARE(result, 0);
    }

    // The link opens the configured page through the desktop service, and follows the language with
    // its translated text inserted as text.
    void supportLink()
    {
        const QString page = "https://help.example.com/support?topic=images&lang=en"_s;
        VkConfig::Instance().SetCBSUrl("SupportPage"_s, page);
        QStringList opened;
        VkDesktopService::SetUrlOpener([&opened](const QUrl& url) {
            opened << url.toString();
            return true;
        });
        VkUnsupportedImgFileDialog dialog(QStringList(), nullptr);
        QLabel* link = nullptr;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            link = label->text().contains(QLatin1String("<a ")) ? label : link;
        QVERIFY(link && link->isHidden() && !link->openExternalLinks());
        QTextDocument doc;
        doc.setHtml(link->text());
        QCOMPARE(doc.toPlainText(), "Please contact support."_s);
        // The anchor's target is the configured page, its "&" intact after the markup is read.
        const QString href = doc.begin().begin().fragment().charFormat().anchorHref();
        QCOMPARE(href, page);
        emit link->linkActivated(href);

        MarkupTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        doc.setHtml(link->text());
        QCOMPARE(doc.toPlainText(), "Bitte <Support> kontaktieren."_s);
        QVERIFY(QCoreApplication::removeTranslator(&translator));
        VkDesktopService::SetUrlOpener(VkDesktopService::UrlOpener());
        QCOMPARE(opened, QStringList{page});
    }
};

VK_TEST_MAIN(TestUnsupportedImgFileDialog)
#include "tst_unsupportedimgfiledialog.moc"
