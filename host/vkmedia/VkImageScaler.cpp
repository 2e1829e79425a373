#include "VkImageScaler.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vkmedia {

namespace {

// Below this height a source without colour tags is taken for standard definition (BT.601), above
// it for HD (BT.709), as players do.
constexpr int kHdMinimumHeight = 720;
constexpr int kBytesPerPixel = 4;
constexpr int kUnitFixedPoint = 1 << 16;

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

bool VkImageScaler::frameToArgb(const AVFrame* frame, int width, int height, uint8_t* pixels)
{
    if (!frame || width <= 0 || height <= 0 || !pixels || frame->width <= 0 || frame->height <= 0)
        return false;
    const auto format = static_cast<AVPixelFormat>(frame->format);
    const AVPixelFormat source = plainFormat(format);
    m_sws.reset(sws_getCachedContext(m_sws.release(), frame->width, frame->height, source, width, height,
                                     AV_PIX_FMT_BGRA, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                     nullptr, nullptr, nullptr));
    if (!m_sws)
        return false;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(source);
    if (desc && !(desc->flags & AV_PIX_FMT_FLAG_RGB)) {
        const int* coefficients = sws_getCoefficients(swsColorspace(frame));
        sws_setColorspaceDetails(m_sws.get(), coefficients, isFullRange(frame) ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, kUnitFixedPoint, kUnitFixedPoint);
    }
    uint8_t* dst[4] = {pixels, nullptr, nullptr, nullptr};
    int dstStride[4] = {width * kBytesPerPixel, 0, 0, 0};
    const int rows = sws_scale(m_sws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    return rows == height;
}

bool VkImageScaler::argbToArgb(const VkFrameImage& source, int width, int height, uint8_t* pixels)
{
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 || !pixels)
        return false;
    m_sws.reset(sws_getCachedContext(m_sws.release(), source.width, source.height, AV_PIX_FMT_BGRA, width,
                                     height, AV_PIX_FMT_BGRA, SWS_AREA, nullptr, nullptr, nullptr));
    if (!m_sws)
        return false;
    const uint8_t* src[4] = {source.pixels.data(), nullptr, nullptr, nullptr};
    const int srcStride[4] = {source.width * kBytesPerPixel, 0, 0, 0};
    uint8_t* dst[4] = {pixels, nullptr, nullptr, nullptr};
    int dstStride[4] = {width * kBytesPerPixel, 0, 0, 0};
    return sws_scale(m_sws.get(), src, srcStride, 0, source.height, dst, dstStride) == height;
}

} // namespace vkmedia
