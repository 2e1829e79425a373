#pragma once

#include <cstdint>

// An exact ratio such as a frame rate (30000/1001) or an exposure time (1/250 s).
struct VkRational
{
    int64_t num = 0;
    int64_t den = 0;

    constexpr bool isValid() const { return num > 0 && den > 0; }
    constexpr double toDouble() const { return den != 0 ? double(num) / double(den) : 0.0; }
    friend constexpr bool operator==(const VkRational& a, const VkRational& b)
    {
        return a.num == b.num && a.den == b.den;
    }
    friend constexpr bool operator!=(const VkRational& a, const VkRational& b) { return !(a == b); }
};
