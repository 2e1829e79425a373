#include "DialogUnderTest.h"
#include "VkTestMain.h"
#include "VkTestProcess.h"

#include <vkcore/VkLocale.h>

#include <QDomDocument>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>

#include <map>
#include <memory>

using namespace VkTestLiterals;

namespace {

struct Message
{
    // The type is the translation's type attribute: empty when finished.
    QString context, source, comment, translation, type;
};

// The messages of a .ts file; `error` says why there are none.
QList<Message> readCatalogue(const QString& path, QString* error)
{
    QFile file(path);
    QDomDocument ts;
    if (!file.open(QIODevice::ReadOnly))
        *error = file.errorString();
    if (!file.isOpen() || !ts.setContent(&file, error))
        return {};
    QList<Message> messages;
    const QDomNodeList all = ts.elementsByTagName("message"_s);
    for (int i = 0; i < all.size(); ++i) {
        const QDomElement m = all.at(i).toElement();
        const QDomElement translation = m.firstChildElement("translation"_s);
        // A message's context is the element around it, named by its own <name>.
        messages << Message{m.parentNode().firstChildElement("name"_s).text(),
                            m.firstChildElement("source"_s).text(), m.firstChildElement("comment"_s).text(),
                            translation.text(), translation.attribute("type"_s)};
    }
    return messages;
}

// What identifies each message for lupdate and QTranslator alike.
QSet<QString> keysOf(const QList<Message>& messages)
{
    QSet<QString> keys;
    for (const Message& m : messages)
        keys << m.context + " | "_s + m.source + " | "_s + m.comment;
    return keys;
}

// The keys `fresh` has and `committed` lacks ("+ key"), and the other way round ("- key"), one a line.
QString difference(const QList<Message>& fresh, const QList<Message>& committed)
{
    QStringList lines;
    for (const QString& key : keysOf(fresh) - keysOf(committed))
        lines << "+ "_s + key;
    for (const QString& key : keysOf(committed) - keysOf(fresh))
        lines << "- "_s + key;
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}

// The placeholders of a text, sorted, so that a translation may reorder but not drop or add any.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker("%L?\\d+"_s);
    QStringList found;
    auto it = marker.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

const char kNoSizeHints[] = "This plugin does not support propagateSizeHints()";

// The application posts the language change to each window; a host's event loop delivers it, here
// the posted events are delivered at once.
bool switchTo(VkLocale::VkLanguageType language)
{
    const bool switched = VkSingleton<VkLocale>::instance()->setLanguage(language);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return switched;
}

} // namespace

Q_DECLARE_METATYPE(Message)

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        m_german = readCatalogue(QStringLiteral(VK_GERMAN_TS), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Guards the other checks against passing on a catalogue that lost its messages.
        QVERIFY2(m_german.size() > 50, qPrintable(QString::number(m_german.size())));
        QVERIFY(m_compiled.load(":/translations/vkpopupdialog_de.qm"_s));
        IVkScenceDetect::setFactory([] { return new FakeDetector; });
    }
    void cleanupTestCase() { IVkScenceDetect::setFactory({}); }
    // Every window a test opened is gone with it.
    void cleanup() { QCOMPARE(QApplication::topLevelWidgets().size(), 0); }
    // lupdate run over the sources now finds exactly the messages of the committed catalogue: a text
    // added or changed in the code without running vk-lupdate fails here ("+"), and so does a stale
    // entry ("-").
    void catalogueMatchesTheSources()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString fresh = scratch.filePath("vkpopupdialog_de.ts"_s);
        QStringList arguments =
            QStringLiteral(VK_LUPDATE_ARGUMENTS).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        const VkProcessRun lupdate = vkRunProcess(QStringLiteral(VK_LUPDATE), arguments << "-ts"_s << fresh,
                                                  {}, -1, QStringLiteral(VK_SOURCE_ROOT));
        QVERIFY2(lupdate.finished && lupdate.exitCode == 0, lupdate.err.constData());

        QString error;
        const QList<Message> found = readCatalogue(fresh, &error);
        QVERIFY2(error.isEmpty() && !found.isEmpty(), qPrintable(error));
        QCOMPARE(difference(found, m_german), QString());
    }
    void everyMessageIsFinishedAndFits_data()
    {
        QTest::addColumn<Message>("m");
        for (const Message& m : qAsConst(m_german))
            QTest::newRow(qPrintable(m.context + ": "_s + m.source.left(60))) << m;
    }
    // An unfinished, obsolete or empty entry would show English in a German window, and so would one
    // the compiled catalogue the library carries lacks. The code fills %1, %2 ... with arg() and glues
    // some texts to others ("Aspect Ratio " + " 16:9"), so a translation keeps every placeholder and
    // the blanks at both ends. Preset resolutions, frame rates, colour spaces and the times sign read the
    // same in every language: offering them to translators would invite a translation the windows must
    // not show.
    void everyMessageIsFinishedAndFits()
    {
        QFETCH(Message, m);
        const QStringList fixed{"1920 x 1080 (Full HD)"_s, "29.97 fps"_s, "SDR - Rec.709"_s,
                                "HDR - Rec.2100PQ"_s, "x"_s};
        QVERIFY(!fixed.contains(m.source));
        QCOMPARE(m.type, QString());
        QVERIFY(!m.translation.isEmpty());
        QCOMPARE(m_compiled.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                                      m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData()),
                 m.translation);
        QCOMPARE(placeholders(m.translation), placeholders(m.source));
        QCOMPARE(m.translation.endsWith(QLatin1Char(' ')), m.source.endsWith(QLatin1Char(' ')));
        QCOMPARE(m.translation.startsWith(QLatin1Char(' ')), m.source.startsWith(QLatin1Char(' ')));
    }

    void switchRetranslatesOpenDialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        const auto add = [](const char* dialog, const char* property, const char* english,
                            const char* german) {
            QTest::addRow("%s: %s", dialog, english)
                << QString::fromLatin1(dialog) << QByteArray(property) << QString::fromUtf8(english)
                << QString::fromUtf8(german);
        };

        // The startup window sets every text again, and builds its ratio list anew in the new language.
        add("startup", "text", "New Project", "Neues Projekt");
        add("startup", "currentText", "16:9 (Widescreen)", "16:9 (Breitbild)");
        // The project settings dialog keeps its own texts (its title bar's among them); its panel
        // retranslates its captions.
        add("project settings", "text", "Project Settings", "Project Settings");
        add("project settings", "text", "Resolution:", "Auflösung:");
        // The scene detection panel's buttons follow the language.
        add("scene detection", "text", "Add To Timeline", "Zur Zeitleiste");
        // The properties reset their title (in the title bar) and every page's title and captions.
        add("video properties", "text", "Properties", "Eigenschaften");
        add("video properties", "text", "Video Info", "Video-Informationen");
        add("png properties", "text", "Straight Alpha", "Direktes Alpha");
        // The unsupported image dialog's title (in the title bar), and its longest text still fits.
        add("unsupported image", "text", "Information", "Hinweis");
        add("unsupported image", "text",
            "The image is too large, please compress the image first for better editing experience",
            "Das Bild ist zu groß. Bitte komprimieren Sie es zuerst, damit es sich besser bearbeiten lässt.");
    }
    // German reaches every open dialog through the language change event alone, only where the dialog's
    // hooks reset a text; switching back restores the English text.
    void switchRetranslatesOpenDialogs()
    {
        QFETCH(QString, dialog);
        QFETCH(QByteArray, property);
        QFETCH(QString, english);
        QFETCH(QString, german);

        QCOMPARE(VkSingleton<VkLocale>::instance()->languageType(), VkLocale::LanguageEnglish);
        const auto backToEnglish = qScopeGuard([] { switchTo(VkLocale::LanguageEnglish); });
        // Every dialog is open at once, shown without a modal run, as a host may keep several. The
        // offscreen platform says so when a window's layout sets its size limits as it is first shown:
        // scene detection and the unsupported image dialog do (the others are fixed from the start).
        QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
        QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
        std::map<QString, std::unique_ptr<DialogUnderTest>> open;
        for (const char* name : {"startup", "project settings", "scene detection", "video properties",
                                 "png properties", "unsupported image"}) {
            auto& one = open[QString::fromLatin1(name)];
            one = std::make_unique<DialogUnderTest>(QString::fromLatin1(name));
            one->dialog->show();
        }
        QVERIFY(open.count(dialog));
        QWidget* window = open.at(dialog)->dialog.get();
        // The widgets showing the English text now; found before the switch, checked after it.
        QList<QPointer<QWidget>> shown;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->property(property.constData()).toString() == english)
                shown << widget;
        }
        QVERIFY2(!shown.isEmpty(), qPrintable("nothing in %1 shows \"%2\""_s.arg(dialog, english)));

        // German, then back to English. A longer translation must still fit where the window was laid
        // out in English.
        for (const auto& [language, text] :
             {qMakePair(VkLocale::LanguageGerman, german), qMakePair(VkLocale::LanguageEnglish, english)}) {
            QVERIFY2(switchTo(language), qPrintable(VkSingleton<VkLocale>::instance()->lastError()));
            for (const QPointer<QWidget>& widget : qAsConst(shown)) {
                QVERIFY(widget);
                QCOMPARE(widget->property(property.constData()).toString(), text);
                if (const auto* label = qobject_cast<const QLabel*>(widget.data());
                    label && !label->wordWrap())
                    QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width(),
                             qPrintable("\"%1\" is cut off"_s.arg(text)));
            }
        }
    }

private:
    QList<Message> m_german;
    QTranslator m_compiled; // the catalogue as the library carries it
};

VK_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
