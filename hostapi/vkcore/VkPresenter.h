#pragma once

#include <vkcore/VkCoreExport.h>

#include <QObject>
#include <QVariant>

class VkMessage;

// Base of the presenters that sit between a view and a model. The base keeps whether the presenter
// is set up and turns messages into a signal, so a view can listen without knowing the subclass.
class VKCORE_EXPORT VkPresenter : public QObject
{
    Q_OBJECT

public:
    explicit VkPresenter(QObject* parent = nullptr);
    ~VkPresenter() override;

    virtual void init();
    virtual void reset();
    virtual void clearView();
    // A null message is ignored; the message stays the caller's.
    virtual void dispatchMessage(VkMessage* message);

    bool isInitialized() const { return m_initialized; }

signals:
    void sigInitialized();
    void sigReset();
    void sigClearView();
    void sigMessage(int id, const QVariant& payload);

private:
    Q_DISABLE_COPY(VkPresenter)

    bool m_initialized = false;
};
