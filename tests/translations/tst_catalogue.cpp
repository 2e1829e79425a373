#include "VkTestMain.h"
#include "VkTestProcess.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace VkTestLiterals;

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation;
    QString type; // the translation's type attribute: empty when finished
    // What identifies a message for lupdate and QTranslator alike.
    QString key() const { return context + QStringLiteral(" | ") + source + QStringLiteral(" | ") + comment; }
};

// The messages of a .ts file; `error` says why the list is empty or cut short.
QList<Message> readCatalogue(const QString& path, QString* error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        *error = file.errorString();
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (file.isOpen() && !xml.atEnd()) {
        xml.readNext();
        const auto name = xml.name();
        if (xml.isEndElement() && name == QLatin1String("message"))
            messages << current;
        if (!xml.isStartElement())
            continue;
        if (name == QLatin1String("name"))
            context = xml.readElementText();
        else if (name == QLatin1String("message"))
            current = Message{context, {}, {}, {}, {}};
        else if (name == QLatin1String("source"))
            current.source = xml.readElementText();
        else if (name == QLatin1String("comment"))
            current.comment = xml.readElementText();
        else if (name == QLatin1String("translation"))
            current.type = xml.attributes().value(QLatin1String("type")).toString();
        if (name == QLatin1String("translation"))
            current.translation = xml.readElementText();
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

// The placeholders of a text, sorted, so that a translation may reorder but not drop or add any.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%L?\\d+"));
    QStringList found;
    auto it = marker.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

QSet<QString> keysOf(const QList<Message>& messages)
{
    QSet<QString> keys;
    for (const Message& m : messages)
        keys << m.key();
    return keys;
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
        QVERIFY(m_compiled.load(QStringLiteral(":/translations/vkpopupdialog_de.qm")));
    }
    // lupdate run over the sources now finds exactly the messages of the committed catalogue: a text
    // added or changed in the code without running vk-lupdate fails here, and so does a stale entry.
    void catalogueMatchesTheSources()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString fresh = scratch.filePath(QStringLiteral("vkpopupdialog_de.ts"));
        QStringList arguments =
            QStringLiteral(VK_LUPDATE_OPTIONS).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        arguments << QStringLiteral("-recursive")
                  << QStringLiteral(VK_LUPDATE_DIRS).split(QLatin1Char('|'), Qt::SkipEmptyParts)
                  << QStringLiteral("-ts") << fresh;
        const VkProcessRun lupdate =
            vkRunProcess(QStringLiteral(VK_LUPDATE), arguments, {}, -1, QStringLiteral(VK_SOURCE_ROOT));
        QVERIFY2(lupdate.finished && lupdate.exitCode == 0, lupdate.err.constData());

        QString error;
        const QList<Message> found = readCatalogue(fresh, &error);
        QVERIFY2(error.isEmpty() && !found.isEmpty(), qPrintable(error));
        QStringList missing = (keysOf(found) - keysOf(m_german)).values();
        QStringList stale = (keysOf(m_german) - keysOf(found)).values();
        missing.sort();
        stale.sort();
        QVERIFY2(missing.isEmpty(),
                 qPrintable("not in the catalogue (run vk-lupdate):\n"_s + missing.join(QLatin1Char('\n'))));
        QVERIFY2(stale.isEmpty(), qPrintable("no longer in the sources (run vk-lupdate):\n"_s +
                                             stale.join(QLatin1Char('\n'))));
    }
    void everyMessageIsFinishedAndFits_data()
    {
        QTest::addColumn<Message>("m");
        for (const Message& m : qAsConst(m_german))
            QTest::newRow(qPrintable(m.context + QStringLiteral(": ") + m.source.left(60))) << m;
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

private:
    QList<Message> m_german;
    QTranslator m_compiled; // the catalogue as the library carries it
};

VK_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
