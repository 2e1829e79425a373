#include <vkmediaplayer/VkMediaPlayerFactory.h>

#include "VkPlayerEngine.h"

#include <vkmediaplayer/VkMediaPlayerWidget.h>

VkMediaPlayerFactory::~VkMediaPlayerFactory() = default;

VkMediaPlayerWidget* VkMediaPlayerFactory::createPlayerWidget(QWidget* parent)
{
    return new VkMediaPlayerWidget(parent);
}

std::unique_ptr<IVkMediaPlayer> VkMediaPlayerFactory::createPlayer()
{
    return std::make_unique<vkmediaplayer::VkPlayerEngine>();
}

VkMediaPlayerFactory* mediaPlayerFactory()
{
    static VkMediaPlayerFactory factory;
    return &factory;
}
