#pragma once

#include <QSize>

#include <cstddef>

// Settings a timeline renders with: its frame rate, the picture ratio and the output size.
struct VkTimelineSettings
{
    qint64 frameRateNum = 25;
    qint64 frameRateDen = 1;
    QSize ratio{16, 9};
    QSize resolution{1920, 1080};
    qint32 flags = 0;
};
static_assert(offsetof(VkTimelineSettings, ratio) == 16 && offsetof(VkTimelineSettings, resolution) == 24 &&
                  offsetof(VkTimelineSettings, flags) == 32,
              "the record crosses library boundaries with this layout");
