// The out-of-line destructor anchors the interface's vtable and type information in this library, so
// that the presenter's dynamic_cast to our own player works the same in every module.

#include <vkmediaplayer/IVkMediaPlayer.h>

IVkMediaPlayer::~IVkMediaPlayer() = default;
