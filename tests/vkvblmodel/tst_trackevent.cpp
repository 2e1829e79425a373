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
    explicit TestEvent(const QString& name)
        : VkTrackEvent(name)
    {}
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
    void propertiesKeepOrder();
    void settingAgainReplacesInPlace();
    void valueTypes_data();
    void valueTypes();
    void eventWithoutProperties();
    void unwritableStore();
};

void tst_VkTrackEvent::init()
{
    const QFileInfo info(eventsPath());
    if (info.isDir())
        QVERIFY(QDir(eventsPath()).removeRecursively());
    else if (info.exists())
        QVERIFY(QFile::remove(eventsPath()));
}

void tst_VkTrackEvent::linesInSendingOrder()
{
    TestEvent first(QStringLiteral("project_set"));
    first.set(QStringLiteral("aspect_ratio"), QStringLiteral("16:9"));
    TestEvent second(QStringLiteral("project_set_click"));
    second.set(QStringLiteral("trigger_method"), QStringLiteral("menu"));
    first.sendEvent();
    second.sendEvent();
    first.sendEvent();

    const QList<QJsonObject> lines = readLines();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).value("event").toString(), QStringLiteral("project_set"));
    QCOMPARE(lines.at(1).value("event").toString(), QStringLiteral("project_set_click"));
    QCOMPARE(lines.at(2).value("event").toString(), QStringLiteral("project_set"));
    QCOMPARE(lines.at(1).value("properties").toArray(),
             (QJsonArray{QJsonArray{QStringLiteral("trigger_method"), QStringLiteral("menu")}}));
    QVERIFY(first.lastError().isEmpty());
}

void tst_VkTrackEvent::propertiesKeepOrder()
{
    // Not alphabetical and not hash order: the order of setting is what readers of the log rely on.
    TestEvent event(QStringLiteral("project_set"));
    const QStringList keys{"resolution", "aspect_ratio", "frame_rate", "color_space"};
    for (const QString& key : keys)
        event.set(key, key.toUpper());
    event.sendEvent();

    const QJsonArray properties = readLines().value(0).value("properties").toArray();
    QCOMPARE(properties.size(), keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        QCOMPARE(properties.at(i).toArray().at(0).toString(), keys.at(i));
        QCOMPARE(properties.at(i).toArray().at(1).toString(), keys.at(i).toUpper());
    }
    QCOMPARE(event.properties().size(), keys.size());
    QCOMPARE(event.properties().at(2).first, QStringLiteral("frame_rate"));
    QCOMPARE(event.name(), QStringLiteral("project_set"));
}

void tst_VkTrackEvent::settingAgainReplacesInPlace()
{
    TestEvent event(QStringLiteral("e"));
    event.set(QStringLiteral("a"), 1);
    event.set(QStringLiteral("b"), 2);
    event.set(QStringLiteral("a"), 3);
    event.sendEvent();
    QCOMPARE(readLines().value(0).value("properties").toArray(),
             (QJsonArray{QJsonArray{"a", 3}, QJsonArray{"b", 2}}));
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

void tst_VkTrackEvent::eventWithoutProperties()
{
    TestEvent event(QStringLiteral("bare"));
    event.sendEvent();
    const QJsonObject line = readLines().value(0);
    QCOMPARE(line.value("event").toString(), QStringLiteral("bare"));
    QVERIFY(line.value("properties").isArray());
    QVERIFY(line.value("properties").toArray().isEmpty());
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
