#include "VkPngThumbnailReader.h"

#include <vkcore/VkError.h>

#include "VkProjectDocument.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace VkVBLModelInternal {

namespace {

// Ancillary chunks (text, colour profiles) are skipped by us, but libpng still buffers each one;
// a hostile file could declare one of gigabytes.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t{8} * 1024 * 1024;
// Whole pictures (reduction factor 1) may take this many pixels: 64 MB at 4 bytes a pixel.
constexpr qint64 kMaxWholePixels = qint64(4096) * 4096;
constexpr int kChannels = 4;
// Project files hold settings and one small picture; the store refuses larger ones as well.
constexpr qint64 kMaxProjectFileBytes = qint64{64} * 1024 * 1024;

// Where libpng takes its bytes from: a regular file read to a cap, or bytes already in memory.
struct Input
{
    int fd = -1;
    qint64 remaining = 0;
    const char* data = nullptr;
    qint64 size = 0;
    qint64 pos = 0;
    const std::atomic<bool>* cancel = nullptr;
};

// One decoding: what was asked for, the reduction chosen, and the pixels gathered so far.
struct Job
{
    Input input;
    QSize asked;
    VkPngThumbnailReader::Fit fit = VkPngThumbnailReader::Fit::Cover;
    qint64 width = 0;
    qint64 height = 0;
    qint64 factor = 1;
    int reducedWidth = 0;
    int reducedHeight = 0;
    QImage whole;                   // factor 1: the pixels themselves
    std::vector<quint64> sums;      // factor > 1: premultiplied sums per reduced pixel
    std::vector<int> reducedColumn; // source column -> reduced column
    std::vector<png_byte> row;
    QString message;

    bool cancelled() const { return input.cancel && input.cancel->load(std::memory_order_relaxed); }
};

qint64 ceilDiv(qint64 a, qint64 b)
{
    return (a + b - 1) / b;
}

void onError(png_structp png, png_const_charp message)
{
    auto* job = static_cast<Job*>(png_get_error_ptr(png));
    if (job->message.isEmpty())
        job->message = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void onWarning(png_structp /*png*/, png_const_charp /*message*/)
{
    // Warnings (a bad CRC in an ancillary chunk, an unknown chunk) leave a picture we can show.
}

void onRead(png_structp png, png_bytep out, size_t length)
{
    auto* job = static_cast<Job*>(png_get_io_ptr(png));
    Input& in = job->input;
    if (job->cancelled())
        png_error(png, "cancelled");
    const auto wanted = qint64(length);
    if (in.fd < 0) {
        if (in.size - in.pos < wanted)
            png_error(png, "the picture ends early");
        std::memcpy(out, in.data + in.pos, length);
        in.pos += wanted;
        return;
    }
    if (wanted > in.remaining)
        png_error(png, "the picture file is larger than a picture may be");
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::read(in.fd, out + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            png_error(png, "the picture ends early");
        done += size_t(n);
    }
    in.remaining -= wanted;
}

// Every PNG arrives as 8-bit RGBA rows, whatever its depth, palette or transparency.
void expandToRgba8(png_structp png, png_infop info)
{
    const int depth = png_get_bit_depth(png, info);
    const int colorType = png_get_color_type(png, info);
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (hasTrns)
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if ((colorType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTrns)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
}

// Chooses the reduction and makes room for its pixels; false when even the reduced picture would
// cost more than its budget.
bool prepare(Job* job)
{
    const qint64 w = job->width;
    const qint64 h = job->height;
    const qint64 aw = std::max(1, job->asked.width());
    const qint64 ah = std::max(1, job->asked.height());
    qint64 f = 1;
    if (job->fit == VkPngThumbnailReader::Fit::Cover)
        f = std::max<qint64>(1, std::min(w / aw, h / ah));
    else if (w > aw || h > ah)
        f = std::max(ceilDiv(w, aw), ceilDiv(h, ah));
    // A long, thin picture may need more reduction than the size asked for to stay in budget.
    const auto pixelsAt = [w, h](qint64 factor) { return ceilDiv(w, factor) * ceilDiv(h, factor); };
    while ((f == 1 && pixelsAt(f) > kMaxWholePixels) ||
           (f > 1 && pixelsAt(f) > VkPngThumbnailReader::kMaxReducedPixels))
        ++f;
    job->factor = f;
    job->reducedWidth = int(ceilDiv(w, f));
    job->reducedHeight = int(ceilDiv(h, f));
    if (f == 1) {
        job->whole = QImage(int(w), int(h), QImage::Format_RGBA8888);
        if (job->whole.isNull()) {
            job->message = QStringLiteral("no memory for the picture");
            return false;
        }
        return true;
    }
    job->sums.assign(size_t(job->reducedWidth) * size_t(job->reducedHeight) * kChannels, 0);
    job->reducedColumn.resize(size_t(w));
    for (qint64 x = 0; x < w; ++x)
        job->reducedColumn[size_t(x)] = int(x / f);
    return true;
}

// Takes one decoded row of `count` pixels that lie on source row y at columns x0, x0 + dx, ...
void takeRow(Job* job, qint64 y, qint64 x0, qint64 dx, qint64 count)
{
    const png_byte* in = job->row.data();
    if (job->factor == 1) {
        uchar* line = job->whole.scanLine(int(y));
        for (qint64 i = 0, x = x0; i < count; ++i, x += dx)
            std::memcpy(line + x * kChannels, in + i * kChannels, kChannels);
        return;
    }
    quint64* sums = job->sums.data() + size_t(y / job->factor) * size_t(job->reducedWidth) * kChannels;
    for (qint64 i = 0, x = x0; i < count; ++i, x += dx) {
        const png_byte* p = in + i * kChannels;
        const quint32 a = p[3];
        quint64* s = sums + size_t(job->reducedColumn[size_t(x)]) * kChannels;
        // Summed premultiplied, so that transparent pixels lend no colour to their neighbours.
        s[0] += quint64{p[0]} * a;
        s[1] += quint64{p[1]} * a;
        s[2] += quint64{p[2]} * a;
        s[3] += quint64{a} * 255;
    }
}

QImage finish(const Job& job)
{
    if (job.factor == 1)
        return job.whole.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(job.reducedWidth, job.reducedHeight, QImage::Format_RGBA8888_Premultiplied);
    if (out.isNull())
        return out;
    const qint64 f = job.factor;
    for (int ry = 0; ry < job.reducedHeight; ++ry) {
        const qint64 boxHeight = std::min(f, job.height - ry * f);
        uchar* line = out.scanLine(ry);
        const quint64* s = job.sums.data() + size_t(ry) * size_t(job.reducedWidth) * kChannels;
        for (int rx = 0; rx < job.reducedWidth; ++rx, s += kChannels) {
            const quint64 count = quint64(std::min(f, job.width - rx * f) * boxHeight) * 255;
            for (int c = 0; c < kChannels; ++c)
                line[rx * kChannels + c] = uchar((s[c] + count / 2) / count);
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The libpng part, which may leave by longjmp (through decodeRows): it creates no object that
// needs destroying; all state lives in `job`.
__attribute__((noinline)) bool readPicture(png_structp png, png_infop info, Job* job)
{
    png_set_user_limits(png, VkPngThumbnailReader::kMaxSide, VkPngThumbnailReader::kMaxSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);
    job->width = png_get_image_width(png, info);
    job->height = png_get_image_height(png, info);
    if (job->width * job->height > VkPngThumbnailReader::kMaxPixels) {
        job->message = QStringLiteral("the picture declares %1 x %2 pixels, more than a picture may have")
                           .arg(job->width)
                           .arg(job->height);
        return false;
    }
    const bool interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
    expandToRgba8(png, info);
    png_read_update_info(png, info);
    if (!prepare(job))
        return false;
    job->row.resize(png_get_rowbytes(png, info));

    // Interlaced pictures come as seven passes of sub-pictures; each pixel is put where it belongs
    // rather than into a full-size buffer that libpng would otherwise need.
    const int passes = interlaced ? PNG_INTERLACE_ADAM7_PASSES : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const qint64 cols = interlaced ? qint64(PNG_PASS_COLS(job->width, pass)) : job->width;
        const qint64 rows = interlaced ? qint64(PNG_PASS_ROWS(job->height, pass)) : job->height;
        if (cols == 0 || rows == 0)
            continue;
        const qint64 x0 = interlaced ? qint64(PNG_PASS_START_COL(pass)) : 0;
        const qint64 dx = interlaced ? qint64(1) << PNG_PASS_COL_SHIFT(pass) : 1;
        for (qint64 r = 0; r < rows; ++r) {
            if (job->cancelled()) {
                job->message = QStringLiteral("cancelled");
                return false;
            }
            png_read_row(png, job->row.data(), nullptr);
            const qint64 y = interlaced ? qint64(PNG_ROW_FROM_PASS_ROW(r, pass)) : r;
            takeRow(job, y, x0, dx, cols);
        }
    }
    return true;
}

// Kept apart from readPicture so that no local variable lives across the jump back here.
__attribute__((noinline)) bool decodeRows(png_structp png, png_infop info, Job* job)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    return readPicture(png, info, job);
}

QImage decode(Job* job, QString* error)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, job, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info) {
        png_set_read_fn(png, job, onRead);
        ok = decodeRows(png, info, job);
    } else {
        job->message = QStringLiteral("no memory for the PNG decoder");
    }
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    QImage image;
    if (ok) {
        image = finish(*job);
        if (image.isNull())
            job->message = QStringLiteral("no memory for the picture");
    }
    if (image.isNull())
        VkError::set(error, QStringLiteral("Cannot read the picture: %1").arg(job->message));
    return image;
}

// Opens path for reading only when it is a regular file of at most maxBytes. The first look goes
// by name and opens nothing (opening some devices has effects); the second looks at what was
// opened, so a file swapped in between is caught. O_NONBLOCK keeps a FIFO from blocking the open.
int openRegular(const QString& path, qint64 maxBytes, QString* error)
{
    const auto fail = [error, &path](const QString& why) {
        VkError::set(error, QStringLiteral("Cannot read %1: %2").arg(path, why));
        return -1;
    };
    const QByteArray name = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(name.constData(), &st) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(st.st_mode))
        return fail(QStringLiteral("not a regular file"));
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("not a regular file"));
    }
    if (qint64(st.st_size) > maxBytes) {
        ::close(fd);
        return fail(QStringLiteral("larger than %1 bytes").arg(maxBytes));
    }
    return fd;
}

} // namespace

QImage VkPngThumbnailReader::readFile(const QString& path, const QSize& size, Fit fit,
                                      const std::atomic<bool>* cancel, QString* error)
{
    const int fd = openRegular(path, kMaxFileBytes, error);
    if (fd < 0)
        return QImage();
    Job job;
    job.input.fd = fd;
    // The size was checked when the file was opened; the cap also holds when it grows meanwhile.
    job.input.remaining = kMaxFileBytes;
    job.input.cancel = cancel;
    job.asked = size;
    job.fit = fit;
    QImage image = decode(&job, error);
    ::close(fd);
    return image;
}

QImage VkPngThumbnailReader::readBytes(const QByteArray& png, const QSize& size, Fit fit,
                                       const std::atomic<bool>* cancel, QString* error)
{
    Job job;
    job.input.data = png.constData();
    job.input.size = png.size();
    job.input.cancel = cancel;
    job.asked = size;
    job.fit = fit;
    return decode(&job, error);
}

QByteArray VkPngThumbnailReader::projectPicturePng(const QString& projectPath, QString* error)
{
    QByteArray bytes;
    if (!readRegularFile(projectPath, kMaxProjectFileBytes, &bytes, error))
        return QByteArray();
    const QJsonDocument json = QJsonDocument::fromJson(bytes);
    QByteArray png = VkProjectDocument::thumbnailPngOf(json.object());
    if (png.isEmpty())
        VkError::set(error, QStringLiteral("%1 keeps no picture").arg(projectPath));
    return png;
}

bool VkPngThumbnailReader::readRegularFile(const QString& path, qint64 maxBytes, QByteArray* bytes,
                                           QString* error)
{
    const int fd = openRegular(path, maxBytes, error);
    if (fd < 0)
        return false;
    QByteArray data;
    bool ok = true;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            VkError::set(
                error,
                QStringLiteral("Cannot read %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
            break;
        }
        if (n == 0)
            break;
        if (qint64(data.size()) + n > maxBytes) {
            ok = false;
            VkError::set(error,
                         QStringLiteral("Cannot read %1: larger than %2 bytes").arg(path).arg(maxBytes));
            break;
        }
        data.append(chunk, int(n));
    }
    ::close(fd);
    if (ok)
        *bytes = data;
    return ok;
}

} // namespace VkVBLModelInternal
