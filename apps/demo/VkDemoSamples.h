#pragma once

#include <QString>
#include <QStringList>

// Sample data the demo creates on first run, so that every dialog has something to show. Existing
// samples are kept as they are.
class VkDemoSamples
{
public:
    // Six projects with pictures under the projects folder, listed in the recent projects.
    // Returns the project paths.
    static QStringList ensureProjects(QString* error);

    // The sample media under the sample media folder: a clip of several shots with hard cuts and an
    // audio track (made with the ffmpeg command-line tool), a PNG with an alpha channel and a JPEG
    // with camera facts in EXIF, and a stock photo whose record beside it credits its author. Returns the
    // files that exist afterwards; what could not be made is described in problems, one sentence each.
    static QStringList ensureMedia(QStringList* problems);

    static QString clipPath();
    static QString pngPath();
    static QString jpegPath();
    static QString stockPhotoPath();

    VkDemoSamples() = delete;
};
