#include <vkcore/VkMessage.h>
#include <vkcore/VkPresenter.h>

VkPresenter::VkPresenter(QObject* parent)
    : QObject(parent)
{}

VkPresenter::~VkPresenter() = default;

void VkPresenter::init()
{
    m_initialized = true;
    emit sigInitialized();
}

void VkPresenter::reset()
{
    m_initialized = false;
    emit sigReset();
}

void VkPresenter::clearView()
{
    emit sigClearView();
}

void VkPresenter::dispatchMessage(VkMessage* message)
{
    if (!message)
        return;
    emit sigMessage(message->id(), message->payload());
}
