#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

namespace BadMediaFiles {

// The media: small, well-formed files made by make_bad_media.sh (a CTest fixture, or the test itself
// when started by hand), and the byte-level damage each test writes into a copy.
inline bool ensureMedia(QString* message)
{
    if (QFile::exists(QStringLiteral(VK_BAD_MEDIA_DIR "/.stamp")))
        return true;
    QProcess script;
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(VK_BAD_MEDIA_SCRIPT), QStringLiteral(VK_BAD_MEDIA_DIR)});
    const bool ok =
        script.waitForFinished(-1) && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0;
    if (!ok && message)
        *message = QString::fromLocal8Bit(script.readAllStandardError());
    return ok;
}

} // namespace BadMediaFiles
