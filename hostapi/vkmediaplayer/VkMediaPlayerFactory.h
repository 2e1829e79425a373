#pragma once

#include <vkmediaplayer/VkMediaPlayerExport.h>

class QWidget;
class VkMediaPlayerWidget;

class VKMEDIAPLAYER_EXPORT VkMediaPlayerFactory
{
public:
    virtual ~VkMediaPlayerFactory();
    // A new player widget, a child of `parent`.
    virtual VkMediaPlayerWidget* createPlayerWidget(QWidget* parent);
};

// The process-wide player factory.
VKMEDIAPLAYER_EXPORT VkMediaPlayerFactory* mediaPlayerFactory();
