#include "VkFFmpegLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QLoggingCategory>

#include <cstdarg>
#include <cstring>
#include <mutex>

namespace {

Q_LOGGING_CATEGORY(lcFFmpeg, "vk.media.ffmpeg", QtCriticalMsg)

// Longer lines are cut; FFmpeg's own lines stay far below this.
constexpr int kLineCapacity = 1024;

QtMsgType messageTypeFor(int level)
{
    if (level <= AV_LOG_FATAL)
        return QtCriticalMsg;
    if (level <= AV_LOG_WARNING)
        return QtWarningMsg;
    if (level <= AV_LOG_INFO)
        return QtInfoMsg;
    return QtDebugMsg;
}

void forward(void* object, int level, const char* format, va_list args)
{
    const QtMsgType type = messageTypeFor(level);
    // Formatting costs more than the check: lines nobody asked for are dropped before it.
    if (!lcFFmpeg().isEnabled(type))
        return;
    char line[kLineCapacity];
    // FFmpeg keeps the "print the prefix" state between calls of one line; a private copy keeps
    // concurrent decoders from sharing it.
    int printPrefix = 1;
    av_log_format_line2(object, level, format, args, line, sizeof line, &printPrefix);
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        line[--length] = '\0';
    if (length == 0)
        return;
    switch (type) {
    case QtCriticalMsg:
        qCCritical(lcFFmpeg, "%s", line);
        break;
    case QtWarningMsg:
        qCWarning(lcFFmpeg, "%s", line);
        break;
    case QtInfoMsg:
        qCInfo(lcFFmpeg, "%s", line);
        break;
    default:
        qCDebug(lcFFmpeg, "%s", line);
        break;
    }
}

} // namespace

namespace vkmedia {

void VkFFmpegLog::install()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(forward); });
}

} // namespace vkmedia
