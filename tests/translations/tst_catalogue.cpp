#include "VkTestMain.h"
#include "VkTestProcess.h"

#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>

using namespace VkTestLiterals;

namespace {

struct Message
{
    QString context, source, comment, translation;
    QString type; // the translation's type attribute: empty when finished
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

// What identifies each message for lupdate and QTranslator alike, sorted.
QStringList keysOf(const QList<Message>& messages)
{
    QStringList keys;
    for (const Message& m : messages)
        keys << m.context + " | "_s + m.source + " | "_s + m.comment;
    keys.sort();
    return keys;
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
    }
    // lupdate run over the sources now finds exactly the messages of the committed catalogue: a text
    // added or changed in the code without running vk-lupdate fails here, and so does a stale entry.
    // The failure names the first key that differs.
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
        QCOMPARE(keysOf(found), keysOf(m_german));
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

private:
    QList<Message> m_german;
    QTranslator m_compiled; // the catalogue as the library carries it
};

VK_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
