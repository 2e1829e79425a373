#include <vkvblmodel/IVkScenceDetect.h>

#include "VkEngineSceneDetect.h"

#include <mutex>

namespace {
std::mutex& factoryMutex()
{
    static std::mutex mutex;
    return mutex;
}

IVkScenceDetect::Factory& installedFactory()
{
    static IVkScenceDetect::Factory factory;
    return factory;
}
} // namespace

IVkScenceDetect* IVkScenceDetect::createInstance()
{
    Factory factory;
    {
        std::lock_guard<std::mutex> lock(factoryMutex());
        factory = installedFactory();
    }
    // The factory is the host's code: it runs outside the lock, so it may install another factory.
    if (factory)
        return factory();
    return new VkVBLModelInternal::VkEngineSceneDetect();
}

void IVkScenceDetect::setFactory(Factory factory)
{
    std::lock_guard<std::mutex> lock(factoryMutex());
    installedFactory() = std::move(factory);
}
