#include <vkvblmodel/VkTrackEvent.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "VkTestMain.h"

namespace {
// The base only lets subclasses set properties, as the real events do.
class TestEvent : public VkTrackEvent
{
public:
    using VkTrackEvent::VkTrackEvent;
    void set(const QString& key, const QVariant& value) { setProperty(key, value); }
};

QString eventsPath()
{
    return QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("events.jsonl"));
}

QList<QJsonObject> readLines()
{
    QList<QJsonObject> lines;
    QFile file(eventsPath());
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            lines.append(QJsonDocument::fromJson(line).object());
    }
    return lines;
}
} // namespace

class tst_VkTrackEvent : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void linesInSendingOrder();
    void valueTypes_data();
    void valueTypes();
    void unwritableStore();
};

void tst_VkTrackEvent::init()
{
    QFile::remove(eventsPath());
    QDir(eventsPath()).removeRecursively();
}

void tst_VkTrackEvent::linesInSendingOrder()
{
    // Properties stay in the order they were first set (not alphabetical, not hashed): readers of the
    // log rely on it; setting a key again replaces its value in place.
    TestEvent first(QStringLiteral("project_set"));
    for (const char* key : {"resolution", "aspect_ratio", "frame_rate"})
        first.set(QLatin1String(key), QString::fromLatin1(key).toUpper());
    first.set(QStringLiteral("resolution"), 3);
    TestEvent second(QStringLiteral("project_set_click"));
    TestEvent bare(QStringLiteral("bare"));
    first.sendEvent();
    second.sendEvent();
    first.sendEvent();
    bare.sendEvent();

    const QList<QJsonObject> lines = readLines();
    QCOMPARE(lines.size(), 4);
    QStringList names;
    for (const QJsonObject& line : lines)
        names << line.value("event").toString();
    QCOMPARE(names, (QStringList{"project_set", "project_set_click", "project_set", "bare"}));
    QCOMPARE(lines.at(0).value("properties").toArray(),
             (QJsonArray{QJsonArray{"resolution", 3}, QJsonArray{"aspect_ratio", "ASPECT_RATIO"},
                         QJsonArray{"frame_rate", "FRAME_RATE"}}));
    QCOMPARE(lines.at(2), lines.at(0));
    // An event without properties still has the list, empty.
    QVERIFY(lines.at(3).value("properties").isArray());
    QVERIFY(lines.at(3).value("properties").toArray().isEmpty());
    QVERIFY(first.lastError().isEmpty());
}

void tst_VkTrackEvent::valueTypes_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QJsonValue>("json");
    QTest::newRow("text") << QVariant(QStringLiteral("1920*1080")) << QJsonValue(QStringLiteral("1920*1080"));
    QTest::newRow("empty text") << QVariant(QString()) << QJsonValue(QString());
    QTest::newRow("integer") << QVariant(25) << QJsonValue(25);
    QTest::newRow("boolean") << QVariant(true) << QJsonValue(true);
    QTest::newRow("fraction") << QVariant(29.97) << QJsonValue(29.97);
    QTest::newRow("no value") << QVariant() << QJsonValue(QJsonValue::Null);
}

void tst_VkTrackEvent::valueTypes()
{
    QFETCH(QVariant, value);
    QFETCH(QJsonValue, json);
    TestEvent event(QStringLiteral("typed"));
    event.set(QStringLiteral("value"), value);
    event.sendEvent();
    QCOMPARE(readLines().value(0).value("properties").toArray().at(0).toArray().at(1), json);
}

void tst_VkTrackEvent::unwritableStore()
{
    QVERIFY(QDir().mkpath(eventsPath()));
    TestEvent event(QStringLiteral("lost"));
    event.sendEvent();
    QVERIFY(!event.lastError().isEmpty());
    QVERIFY(QFileInfo(eventsPath()).isDir());
}

VK_TEST_MAIN(tst_VkTrackEvent)
#include "tst_trackevent.moc"
