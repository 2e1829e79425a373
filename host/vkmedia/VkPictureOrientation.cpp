#include "VkPictureOrientation.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
}

#include <cmath>
#include <cstring>

namespace vkmedia {

namespace {

constexpr double kQuarterTurn = 90.0;
constexpr double kHalfTurn = 180.0;
constexpr double kThreeQuarterTurn = 270.0;
constexpr double kFullTurn = 360.0;
// Matrices written by cameras are exact; anything within a degree counts as the quarter turn.
constexpr double kAngleTolerance = 1.0;
// Display matrix entries: [0] a, [1] b, [3] c, [4] d of the 2x2 part.
constexpr int kMatrixC = 3;

struct PlaneShape
{
    int width = 0;
    int height = 0;
    int bytesPerElement = 0;
};

// The pixel layout of plane `plane`: its size in elements and the bytes of one element (one sample,
// or an interleaved pair for semi-planar chroma). Zero size when the format cannot be turned plane
// by plane.
PlaneShape planeShape(const AVPixFmtDescriptor* desc, int plane, int width, int height)
{
    PlaneShape shape;
    for (int c = 0; c < desc->nb_components; ++c) {
        if (desc->comp[c].plane != plane)
            continue;
        shape.bytesPerElement = desc->comp[c].step;
        const bool chroma = (c == 1 || c == 2) && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
        shape.width = chroma ? AV_CEIL_RSHIFT(width, desc->log2_chroma_w) : width;
        shape.height = chroma ? AV_CEIL_RSHIFT(height, desc->log2_chroma_h) : height;
        return shape;
    }
    return shape;
}

} // namespace

VkPictureOrientation VkPictureOrientation::ofStream(const AVStream* stream)
{
    VkPictureOrientation o;
    const auto* matrix =
        reinterpret_cast<const int32_t*>(av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
    if (!matrix)
        return o;
    double theta = -std::round(av_display_rotation_get(matrix));
    if (std::isnan(theta))
        return o;
    theta -= kFullTurn * std::floor(theta / kFullTurn + 0.9 / kFullTurn);
    // A clockwise quarter turn is a transpose and a horizontal flip, a counter-clockwise one a
    // transpose and a vertical flip; a matrix that also mirrors drops or adds the other flip.
    if (std::fabs(theta - kQuarterTurn) < kAngleTolerance) {
        o.m_transpose = true;
        o.m_flipH = matrix[kMatrixC] <= 0;
    } else if (std::fabs(theta - kHalfTurn) < kAngleTolerance) {
        o.m_flipH = true;
        o.m_flipV = true;
    } else if (std::fabs(theta - kThreeQuarterTurn) < kAngleTolerance) {
        o.m_transpose = true;
        o.m_flipV = true;
        o.m_flipH = matrix[kMatrixC] < 0;
    }
    return o;
}

VkPictureOrientation VkPictureOrientation::fromParts(bool transpose, bool flipHorizontal, bool flipVertical)
{
    VkPictureOrientation o;
    o.m_transpose = transpose;
    o.m_flipH = flipHorizontal;
    o.m_flipV = flipVertical;
    return o;
}

bool VkPictureOrientation::apply(const AVFrame* source, AVFrame* target) const
{
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(source->format));
    if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL)))
        return false;
    // A transpose of unevenly subsampled chroma (4:2:2) would need a resampling: such pictures are
    // turned after conversion by the caller.
    if (m_transpose && desc->log2_chroma_w != desc->log2_chroma_h)
        return false;
    av_frame_unref(target);
    target->format = source->format;
    target->width = m_transpose ? source->height : source->width;
    target->height = m_transpose ? source->width : source->height;
    if (av_frame_get_buffer(target, 0) < 0)
        return false;
    av_frame_copy_props(target, source);
    const int planes = av_pix_fmt_count_planes(static_cast<AVPixelFormat>(source->format));
    for (int plane = 0; plane < planes; ++plane) {
        const PlaneShape in = planeShape(desc, plane, source->width, source->height);
        if (in.bytesPerElement <= 0)
            return false;
        turnPlane(source, target, plane, in.width, in.height, in.bytesPerElement);
    }
    return true;
}

void VkPictureOrientation::turnPlane(const AVFrame* source, AVFrame* target, int plane, int width, int height,
                                     int bytesPerElement) const
{
    const int outWidth = m_transpose ? height : width;
    const int outHeight = m_transpose ? width : height;
    const int bpe = bytesPerElement;
    for (int y = 0; y < outHeight; ++y) {
        uint8_t* row = target->data[plane] + ptrdiff_t(y) * target->linesize[plane];
        for (int x = 0; x < outWidth; ++x) {
            // Where (x, y) of the turned picture comes from: transpose first, then the flips.
            const int fx = m_flipH ? outWidth - 1 - x : x;
            const int fy = m_flipV ? outHeight - 1 - y : y;
            const int sx = m_transpose ? fy : fx;
            const int sy = m_transpose ? fx : fy;
            std::memcpy(row + ptrdiff_t(x) * bpe,
                        source->data[plane] + ptrdiff_t(sy) * source->linesize[plane] + ptrdiff_t(sx) * bpe,
                        static_cast<size_t>(bpe));
        }
    }
}

} // namespace vkmedia
