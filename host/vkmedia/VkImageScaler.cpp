#include "VkImageScaler.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>

namespace vkmedia {

namespace {

// Below this height a source without colour tags is taken for standard definition (BT.601), above
// it for HD (BT.709), as players do.
constexpr int kHdMinimumHeight = 720;
constexpr int kBytesPerPixel = 4;
constexpr int kUnitFixedPoint = 1 << 16;
// Shapes whose scalers are kept: the preview, the list's thumbnails and the kept first frames.
constexpr size_t kKeptScalers = 3;
constexpr int kFrameFlags = SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT;
constexpr int kArgbFlags = SWS_AREA;

int swsColorspace(const AVFrame* frame)
{
    switch (rawEnumValue(frame->colorspace)) {
    case AVCOL_SPC_BT709:
        return SWS_CS_ITU709;
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
        return SWS_CS_ITU601;
    case AVCOL_SPC_SMPTE240M:
        return SWS_CS_SMPTE240M;
    case AVCOL_SPC_FCC:
        return SWS_CS_FCC;
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return SWS_CS_BT2020;
    default:
        return frame->height >= kHdMinimumHeight ? SWS_CS_ITU709 : SWS_CS_ITU601;
    }
}

bool isFullRange(const AVFrame* frame)
{
    switch (frame->format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
        return true;
    default:
        return rawEnumValue(frame->color_range) == AVCOL_RANGE_JPEG;
    }
}

// The deprecated full-range "J" formats are the plain formats with a full-range flag.
AVPixelFormat plainFormat(AVPixelFormat format)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        return AV_PIX_FMT_YUV411P;
    default:
        return format;
    }
}

} // namespace

bool VkImageScaler::Shape::operator==(const Shape& other) const
{
    return sourceWidth == other.sourceWidth && sourceHeight == other.sourceHeight &&
           sourceFormat == other.sourceFormat && width == other.width && height == other.height &&
           flags == other.flags;
}

VkImageScaler::Kept* VkImageScaler::scalerFor(const Shape& shape)
{
    auto found =
        std::find_if(m_kept.begin(), m_kept.end(), [&shape](const Kept& k) { return k.shape == shape; });
    if (found == m_kept.end()) {
        Kept made;
        made.shape = shape;
        made.sws.reset(sws_getContext(shape.sourceWidth, shape.sourceHeight,
                                      static_cast<AVPixelFormat>(shape.sourceFormat), shape.width,
                                      shape.height, AV_PIX_FMT_BGRA, shape.flags, nullptr, nullptr, nullptr));
        if (!made.sws)
            return nullptr;
        if (m_kept.size() >= kKeptScalers)
            m_kept.pop_back();
        m_kept.insert(m_kept.begin(), std::move(made));
        return &m_kept.front();
    }
    std::rotate(m_kept.begin(), found, found + 1);
    return &m_kept.front();
}

bool VkImageScaler::frameToArgb(const AVFrame* frame, int width, int height, uint8_t* pixels)
{
    if (!frame || width <= 0 || height <= 0 || !pixels || frame->width <= 0 || frame->height <= 0)
        return false;
    const AVPixelFormat source = plainFormat(static_cast<AVPixelFormat>(frame->format));
    Kept* kept = scalerFor({frame->width, frame->height, source, width, height, kFrameFlags});
    if (!kept)
        return false;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(source);
    const int colorspace = swsColorspace(frame);
    const int fullRange = isFullRange(frame) ? 1 : 0;
    if (desc && !(desc->flags & AV_PIX_FMT_FLAG_RGB) &&
        (colorspace != kept->colorspace || fullRange != kept->fullRange)) {
        sws_setColorspaceDetails(kept->sws.get(), sws_getCoefficients(colorspace), fullRange,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, kUnitFixedPoint, kUnitFixedPoint);
        kept->colorspace = colorspace;
        kept->fullRange = fullRange;
    }
    uint8_t* dst[4] = {pixels, nullptr, nullptr, nullptr};
    int dstStride[4] = {width * kBytesPerPixel, 0, 0, 0};
    const int rows =
        sws_scale(kept->sws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    return rows == height;
}

bool VkImageScaler::argbToArgb(const VkFrameImage& source, int width, int height, uint8_t* pixels)
{
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 || !pixels)
        return false;
    Kept* kept = scalerFor({source.width, source.height, AV_PIX_FMT_BGRA, width, height, kArgbFlags});
    if (!kept)
        return false;
    const uint8_t* src[4] = {source.pixels.data(), nullptr, nullptr, nullptr};
    const int srcStride[4] = {source.width * kBytesPerPixel, 0, 0, 0};
    uint8_t* dst[4] = {pixels, nullptr, nullptr, nullptr};
    int dstStride[4] = {width * kBytesPerPixel, 0, 0, 0};
    return sws_scale(kept->sws.get(), src, srcStride, 0, source.height, dst, dstStride) == height;
}

} // namespace vkmedia
