#pragma once

#include <QtGlobal>

// A frame rate as an exact rational: 30000/1001 stays 30000/1001 instead of 29.97002997.
struct VkFrameRate
{
    qint64 num = 25;
    qint64 den = 1;

    constexpr double toDouble() const { return den != 0 ? double(num) / double(den) : 0.0; }
    constexpr bool isValid() const { return num > 0 && den > 0; }
    friend constexpr bool operator==(const VkFrameRate& a, const VkFrameRate& b)
    {
        return a.num == b.num && a.den == b.den;
    }
    friend constexpr bool operator!=(const VkFrameRate& a, const VkFrameRate& b) { return !(a == b); }
};
static_assert(sizeof(VkFrameRate) == 16, "VkFrameRate is exchanged by value as two 64-bit integers");
