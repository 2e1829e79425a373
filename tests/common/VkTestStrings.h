#pragma once

#include <QString>

// Test texts as QString where the strict Qt definitions forbid the implicit conversion from char*:
// "small.mp4"_s, read as UTF-8. Spelled as Qt 6 spells its own literal, so a port only swaps the
// using-directive; kept in a namespace so that a suite's own helper of that name cannot clash.
namespace VkTestLiterals {
inline QString operator""_s(const char* text, size_t size)
{
    return QString::fromUtf8(text, int(size));
}
} // namespace VkTestLiterals
