#pragma once

#include <vkcore/VkCoreExport.h>

#include <QString>
#include <QtGlobal>

class VKCORE_EXPORT VkUtility
{
public:
    // A size with the largest binary unit (1 KB = 1024 B) that keeps the number below 1024: whole
    // bytes below 1 KB ("512 B"), otherwise three significant digits with at most two decimals,
    // rounded half up, trailing zeros dropped ("1.5 KB", "12.3 MB", "1.25 GB", "512 KB"). A value
    // that rounds up to 1024 moves to the next unit ("1 MB"). Negative sizes give "0 B".
    static QString gGetFileSizeAuto(qint64 bytes);

    VkUtility() = delete;
};
