#include <vkcore/VkConvertUtility.h>

#include <cmath>

namespace {
constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
constexpr int kSecondsPerHour = kSecondsPerMinute * kMinutesPerHour;
// Keeps qRound away from values that do not fit an int; no real footage comes near it.
constexpr float kMaxFramesPerSecond = 100000.0f;
const char kZeroTimecode[] = "00:00:00:00";
} // namespace

QString VkConvertUtility::frame2String(int frame, float framesPerSecond)
{
    if (frame < 0 || !std::isfinite(framesPerSecond) || framesPerSecond <= 0.0f ||
        framesPerSecond > kMaxFramesPerSecond)
        return QLatin1String(kZeroTimecode);
    const int nominal = qRound(framesPerSecond);
    if (nominal <= 0)
        return QLatin1String(kZeroTimecode);

    const int framePart = frame % nominal;
    const int totalSeconds = frame / nominal;
    const int seconds = totalSeconds % kSecondsPerMinute;
    const int minutes = (totalSeconds / kSecondsPerMinute) % kMinutesPerHour;
    const int hours = totalSeconds / kSecondsPerHour;

    const QChar zero(QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3:%4")
        .arg(hours, 2, 10, zero)
        .arg(minutes, 2, 10, zero)
        .arg(seconds, 2, 10, zero)
        .arg(framePart, 2, 10, zero);
}
