#pragma once

#include "VkFFmpegPtr.h"
#include "VkMediaExport.h"

namespace vkmedia {

// How a stream's pictures are turned for display, read from its display matrix as `ffmpeg -i FILE`
// reads it (autorotation): quarter turns become a transpose with an optional flip, a half turn a
// horizontal and a vertical flip; other angles are shown unturned. Applied to the decoded planes
// before any scaling, as FFmpeg's own filters do, so that a turned picture converts to the same
// pixels.
class VKMEDIA_EXPORT VkPictureOrientation
{
public:
    VkPictureOrientation() = default;
    static VkPictureOrientation ofStream(const AVStream* stream);
    // A turn given as transpose and flips (applied in that order); for tests and callers that know it.
    static VkPictureOrientation fromParts(bool transpose, bool flipHorizontal, bool flipVertical);

    bool isIdentity() const { return !m_transpose && !m_flipH && !m_flipV; }
    // Width and height trade places on screen.
    bool swapsSides() const { return m_transpose; }

    // `source` turned into `target` (fresh buffers, the source's colour properties). False when the
    // picture cannot be turned (hardware frames, or memory).
    bool apply(const AVFrame* source, AVFrame* target) const;

private:
    // One plane of `source`, of `width` x `height` elements of `bytesPerElement` bytes, turned into
    // the same plane of `target`.
    void turnPlane(const AVFrame* source, AVFrame* target, int plane, int width, int height,
                   int bytesPerElement) const;

    bool m_transpose = false;
    bool m_flipH = false;
    bool m_flipV = false;
};

} // namespace vkmedia
