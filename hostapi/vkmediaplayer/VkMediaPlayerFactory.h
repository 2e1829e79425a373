#pragma once

#include <vkmediaplayer/IVkMediaPlayer.h>
#include <vkmediaplayer/VkMediaPlayerExport.h>

#include <memory>

class QWidget;
class VkMediaPlayerWidget;

class VKMEDIAPLAYER_EXPORT VkMediaPlayerFactory
{
public:
    virtual ~VkMediaPlayerFactory();
    // A new player widget, a child of `parent`.
    virtual VkMediaPlayerWidget* createPlayerWidget(QWidget* parent);
    // A new player of our own, for a presenter that is to share it with others (the presenter does
    // not own a player it is given, so the caller keeps it alive longer than the presenter).
    virtual std::unique_ptr<IVkMediaPlayer> createPlayer();
};

// The process-wide player factory.
VKMEDIAPLAYER_EXPORT VkMediaPlayerFactory* mediaPlayerFactory();
