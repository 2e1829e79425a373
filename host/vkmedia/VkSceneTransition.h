#pragma once

#include <cstdint>

// One scene boundary and how the pictures changed there. `frame` is the first frame of the new scene.
// A cut has no frames of its own: `first` and `last` are both `frame`. A gradual change covers the
// blended frames `first` to `last` (inclusive), and its boundary lies among them.
struct VkSceneTransition
{
    enum class Kind
    {
        Cut,
        // One picture blends into another (a cross-fade, or a dissolve of scattered pixels).
        Dissolve,
        // The picture fades to an even field (black, white, any flat colour) and the next one out of it.
        Fade,
    };

    int64_t frame = 0;
    Kind kind = Kind::Cut;
    int64_t first = 0;
    int64_t last = 0;

    // "cut", "dissolve" or "fade".
    static const char* kindName(Kind kind)
    {
        switch (kind) {
        case Kind::Dissolve:
            return "dissolve";
        case Kind::Fade:
            return "fade";
        case Kind::Cut:
            break;
        }
        return "cut";
    }
};
