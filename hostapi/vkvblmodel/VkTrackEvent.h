#pragma once

#include <vkvblmodel/VkVBLModelExport.h>

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <memory>

// A usage-tracking event. Subclasses name it and set its properties; sendEvent appends it as one
// JSON line to VK_HOME/events.jsonl, properties in the order they were first set.
class VKVBLMODEL_EXPORT VkTrackEvent
{
public:
    using Property = QPair<QString, QVariant>;

    explicit VkTrackEvent(const QString& name);
    virtual ~VkTrackEvent();
    virtual void sendEvent();

    QString name() const;
    QList<Property> properties() const;
    // Why the last sendEvent could not write (the file then holds no part of the event); empty after a
    // successful one.
    QString lastError() const;

protected:
    // Setting a key again replaces its value where it stands.
    void setProperty(const QString& key, const QVariant& value);

private:
    Q_DISABLE_COPY(VkTrackEvent)

    class Private;
    const std::unique_ptr<Private> d;
};
