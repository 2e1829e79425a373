#include "VkTestMain.h"

#include <projectsetting/VkProjectSettingPresenter.h>
#include <vkcore/VkLocale.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation;
    QString type; // the translation's type attribute: empty when finished
};

// What identifies a message for lupdate and QTranslator alike.
QString keyOf(const Message& m)
{
    return m.context + QLatin1Char('\x1f') + m.source + QLatin1Char('\x1f') + m.comment;
}

bool readCatalogue(const QString& path, QList<Message>* messages, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                current = Message();
                current.context = context;
            } else if (name == QLatin1String("source")) {
                current.source = xml.readElementText();
            } else if (name == QLatin1String("comment")) {
                current.comment = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                current.type = xml.attributes().value(QLatin1String("type")).toString();
                current.translation = xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            *messages << current;
        }
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return false;
    }
    return true;
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

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void everyMessageIsFinished();
    void catalogueMatchesTheSources();
    void translationKeepsPlaceholdersAndEdges_data();
    void translationKeepsPlaceholdersAndEdges();
    void fixedTextsAreNotOffered_data();
    void fixedTextsAreNotOffered();
    void libraryCarriesTheCompiledCatalogue();

private:
    QList<Message> m_german;
};

void TestCatalogue::initTestCase()
{
    QString error;
    QVERIFY2(readCatalogue(QStringLiteral(VK_GERMAN_TS), &m_german, &error), qPrintable(error));
    // Guards the other checks against passing on a catalogue that lost its messages.
    QVERIFY2(m_german.size() > 50, qPrintable(QString::number(m_german.size())));
}

void TestCatalogue::cleanup()
{
    QVERIFY(VkSingleton<VkLocale>::instance()->setLanguage(VkLocale::LanguageEnglish));
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

// An unfinished, obsolete or empty entry would show English in a German window.
void TestCatalogue::everyMessageIsFinished()
{
    QStringList open;
    for (const Message& m : qAsConst(m_german)) {
        if (!m.type.isEmpty() || m.translation.isEmpty())
            open << QStringLiteral("%1: \"%2\" (%3)").arg(m.context, m.source, m.type);
    }
    QVERIFY2(open.isEmpty(), qPrintable(open.join(QLatin1Char('\n'))));
}

// lupdate run over the sources now finds exactly the messages of the committed catalogue: a text
// added or changed in the code without running vk-lupdate fails here, and so does a stale entry.
void TestCatalogue::catalogueMatchesTheSources()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString fresh = scratch.filePath(QStringLiteral("vkpopupdialog_de.ts"));
    QStringList arguments = QStringLiteral(VK_LUPDATE_OPTIONS).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    arguments << QStringLiteral("-recursive")
              << QStringLiteral(VK_LUPDATE_DIRS).split(QLatin1Char('|'), Qt::SkipEmptyParts)
              << QStringLiteral("-ts") << fresh;
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(VK_SOURCE_ROOT));
    lupdate.start(QStringLiteral(VK_LUPDATE), arguments);
    QVERIFY2(lupdate.waitForFinished(-1), qPrintable(lupdate.errorString()));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    QList<Message> found;
    QString error;
    QVERIFY2(readCatalogue(fresh, &found, &error), qPrintable(error));
    QVERIFY(!found.isEmpty());

    QSet<QString> inSources;
    for (const Message& m : qAsConst(found))
        inSources.insert(keyOf(m));
    QSet<QString> inCatalogue;
    for (const Message& m : qAsConst(m_german))
        inCatalogue.insert(keyOf(m));

    const auto readable = [](const QSet<QString>& keys) {
        QStringList lines;
        for (QString key : keys)
            lines << key.replace(QLatin1Char('\x1f'), QLatin1String(" | "));
        lines.sort();
        return lines.join(QLatin1Char('\n'));
    };
    const QSet<QString> missing = inSources - inCatalogue;
    const QSet<QString> stale = inCatalogue - inSources;
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("not in the catalogue (run vk-lupdate):\n") + readable(missing)));
    QVERIFY2(stale.isEmpty(),
             qPrintable(QStringLiteral("no longer in the sources (run vk-lupdate):\n") + readable(stale)));
}

void TestCatalogue::translationKeepsPlaceholdersAndEdges_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("translation");
    // One row per message of the catalogue, named by context and source text.
    for (const Message& m : qAsConst(m_german)) {
        const QString row = m.context + QStringLiteral(": ") + m.source.left(60);
        QTest::newRow(qPrintable(row)) << m.source << m.translation;
    }
}

// The code fills %1, %2 ... with arg() and glues some texts to others ("Aspect Ratio " + " 16:9"),
// so a translation must keep every placeholder and the blanks at both ends.
void TestCatalogue::translationKeepsPlaceholdersAndEdges()
{
    QFETCH(QString, source);
    QFETCH(QString, translation);
    QCOMPARE(placeholders(translation), placeholders(source));
    QCOMPARE(translation.endsWith(QLatin1Char(' ')), source.endsWith(QLatin1Char(' ')));
    QCOMPARE(translation.startsWith(QLatin1Char(' ')), source.startsWith(QLatin1Char(' ')));
}

void TestCatalogue::fixedTextsAreNotOffered_data()
{
    QTest::addColumn<QString>("text");
    // Preset resolutions, frame rates, colour spaces and the times sign read the same in every
    // language; offering them to translators would invite a translation the windows must not show.
    QTest::newRow("preset resolution") << QStringLiteral("1920 x 1080 (Full HD)");
    QTest::newRow("frame rate") << QStringLiteral("29.97 fps");
    QTest::newRow("SDR colour space") << QStringLiteral("SDR - Rec.709");
    QTest::newRow("PQ colour space") << QStringLiteral("HDR - Rec.2100PQ");
    QTest::newRow("times sign") << QStringLiteral("x");
}

void TestCatalogue::fixedTextsAreNotOffered()
{
    QFETCH(QString, text);
    for (const Message& m : qAsConst(m_german))
        QVERIFY2(m.source != text, qPrintable(m.context));
}

// The catalogue reaches a host through the library alone: no folder is set, yet German loads, the
// compiled entries are those of the .ts file, and the library's own texts come out in German.
void TestCatalogue::libraryCarriesTheCompiledCatalogue()
{
    qunsetenv("VK_TRANSLATIONS_DIR");
    const QString resource = QStringLiteral(":/translations/vkpopupdialog_de.qm");
    QVERIFY(QFile::exists(resource));

    QTranslator compiled;
    QVERIFY(compiled.load(resource));
    QStringList differing;
    for (const Message& m : qAsConst(m_german)) {
        const QString text =
            compiled.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                               m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData());
        if (text != m.translation)
            differing << QStringLiteral("%1: \"%2\" -> \"%3\"").arg(m.context, m.source, text);
    }
    QVERIFY2(differing.isEmpty(), qPrintable(differing.join(QLatin1Char('\n'))));

    VkLocale* locale = VkSingleton<VkLocale>::instance();
    QVERIFY2(locale->setLanguage(VkLocale::LanguageGerman), qPrintable(locale->lastError()));
    QCOMPARE(locale->languageType(), VkLocale::LanguageGerman);
    // The ratio names are translated inside the library when their table is first built, which in
    // this process is now, after the switch.
    QCOMPARE(VkProjectSettingPresenter::getRatioStr(1), QStringLiteral("16:9 (Breitbild)"));
}

VK_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
