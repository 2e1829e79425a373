#include <vkvblmodel/VkTrackEvent.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "VkTestFiles.h"
#include "VkTestMain.h"

namespace {
// The base only lets subclasses set properties, as the real events do.
class TestEvent : public VkTrackEvent
{
public:
    using VkTrackEvent::VkTrackEvent;
    void set(const char* key, const QVariant& value) { setProperty(QLatin1String(key), value); }
};
} // namespace

class tst_VkTrackEvent : public QObject
{
    Q_OBJECT

private slots:
    void linesInSendingOrder();
};

// Catches lines out of sending order, properties reordered (alphabetically, hashed) or repeated when
// a key is set again, and a value type written as something else (a number as text, no value dropped).
void tst_VkTrackEvent::linesInSendingOrder()
{
    TestEvent first(QStringLiteral("project_set"));
    first.set("resolution", QStringLiteral("1920*1080"));
    first.set("aspect_ratio", QString());
    first.set("frame_rate", 29.97);
    first.set("resolution", 3);
    first.set("hdr", true);
    first.set("unknown", QVariant());
    TestEvent second(QStringLiteral("project_set_click"));
    TestEvent bare(QStringLiteral("bare"));
    first.sendEvent();
    second.sendEvent();
    first.sendEvent();
    bare.sendEvent();
    QVERIFY(first.lastError().isEmpty());

    const auto pair = [](const char* key, const QJsonValue& value) {
        return QJsonArray{QString::fromLatin1(key), value};
    };
    const auto line = [](const char* event, const QJsonArray& properties) {
        return QString::fromUtf8(
            QJsonDocument(QJsonObject{{QStringLiteral("event"), QString::fromLatin1(event)},
                                      {QStringLiteral("properties"), properties}})
                .toJson(QJsonDocument::Compact));
    };
    const QJsonArray firstProperties{pair("resolution", 3), pair("aspect_ratio", QString()),
                                     pair("frame_rate", 29.97), pair("hdr", true),
                                     pair("unknown", QJsonValue::Null)};
    QStringList lines;
    const QString eventsPath = QDir(qEnvironmentVariable("VK_HOME")).filePath(QStringLiteral("events.jsonl"));
    for (const QByteArray& bytes : readBytes(eventsPath).split('\n')) {
        if (!bytes.isEmpty())
            lines << QString::fromUtf8(QJsonDocument::fromJson(bytes).toJson(QJsonDocument::Compact));
    }
    QCOMPARE(lines, (QStringList{line("project_set", firstProperties), line("project_set_click", {}),
                                 line("project_set", firstProperties), line("bare", {})}));
}

VK_TEST_MAIN(tst_VkTrackEvent)
#include "tst_trackevent.moc"
