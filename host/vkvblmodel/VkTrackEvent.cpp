#include <vkvblmodel/VkTrackEvent.h>

#include <vkcore/IVkAppInfo.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>

namespace {
const char kFileName[] = "events.jsonl";
const char kEventKey[] = "event";
const char kPropertiesKey[] = "properties";

// Events may be sent from more than one thread; one line must never interleave with another.
QMutex& appendLock()
{
    static QMutex lock;
    return lock;
}
} // namespace

class VkTrackEvent::Private
{
public:
    QString name;
    QList<Property> properties;
    QString lastError;
};

VkTrackEvent::VkTrackEvent(const QString& name)
    : d(std::make_unique<Private>())
{
    d->name = name;
}

VkTrackEvent::~VkTrackEvent() = default;

QString VkTrackEvent::name() const
{
    return d->name;
}

QList<VkTrackEvent::Property> VkTrackEvent::properties() const
{
    return d->properties;
}

QString VkTrackEvent::lastError() const
{
    return d->lastError;
}

void VkTrackEvent::setProperty(const QString& key, const QVariant& value)
{
    for (Property& property : d->properties) {
        if (property.first == key) {
            property.second = value;
            return;
        }
    }
    d->properties.append(Property(key, value));
}

void VkTrackEvent::sendEvent()
{
    QJsonArray properties;
    for (const Property& property : qAsConst(d->properties))
        properties.append(QJsonArray{property.first, QJsonValue::fromVariant(property.second)});
    QJsonObject line;
    line.insert(QLatin1String(kEventKey), d->name);
    line.insert(QLatin1String(kPropertiesKey), properties);
    const QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';

    const QString path = QDir(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderHome))
                             .filePath(QLatin1String(kFileName));
    QMutexLocker locker(&appendLock());
    QFile file(path);
    // One write of the whole line: with O_APPEND it lands after whatever other writers added.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size()) {
        d->lastError = QStringLiteral("Cannot append to %1: %2").arg(path, file.errorString());
        return;
    }
    d->lastError.clear();
}
