#pragma once

#include <vkmediaplayer/VkMediaPlayerExport.h>

#include <QtGlobal>

// The playback engine behind a player presenter. Frame positions are frames of the opened media.
class VKMEDIAPLAYER_EXPORT IVkMediaPlayer
{
public:
    virtual ~IVkMediaPlayer();

    // Limits playback to `count` frames from frame `first`; seek positions are then relative to
    // `first`. Values outside the media are clamped.
    virtual void setPlayRange(qint64 first, qint64 count) = 0;
    // Moves to a frame of the play range; callable from any thread (the request is handed to the
    // player's own thread). `exact` decodes to the very frame; `keepPlaying` resumes playback after.
    virtual void seek(qint64 frame, bool exact, bool keepPlaying) = 0;
};
