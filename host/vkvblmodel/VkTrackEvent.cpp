#include <vkvblmodel/VkTrackEvent.h>

#include <vkcore/IVkAppInfo.h>
#include <vkcore/VkStoreFile.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const char kFileName[] = "events.jsonl";
const char kEventKey[] = "event";
const char kPropertiesKey[] = "properties";
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
    // One write of the whole line, serialised with other threads and processes; a line the disk could
    // not take whole is taken back, so the file never holds half an event.
    QString error;
    if (!VkStoreFile::appendLine(path, bytes, &error)) {
        d->lastError = error;
        return;
    }
    d->lastError.clear();
}
