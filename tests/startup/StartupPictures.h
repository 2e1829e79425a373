#pragma once

#include <QByteArray>
#include <QFile>
#include <QRgb>
#include <QString>
#include <QtEndian>

#include <zlib.h>

#include <functional>

// PNG files written row by row, so that a test can make a picture of any size (and interlaced ones,
// which Qt cannot write) without holding its pixels.
struct TestPng
{
    using ColorAt = std::function<QRgb(int x, int y)>;

    static QByteArray make(int width, int height, bool interlaced, const ColorAt& colorAt)
    {
        QByteArray png("\x89PNG\r\n\x1a\n", 8);
        QByteArray ihdr;
        appendBig(ihdr, quint32(width));
        appendBig(ihdr, quint32(height));
        ihdr.append(char(8)).append(char(2)).append(char(0)).append(char(0)).append(char(interlaced ? 1 : 0));
        appendChunk(png, "IHDR", ihdr);
        appendChunk(png, "IDAT", deflatedRows(width, height, interlaced, colorAt));
        appendChunk(png, "IEND", QByteArray());
        return png;
    }

    static bool write(const QString& path, const QByteArray& png)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(png) == png.size();
    }

    // Left half one colour, right half another: a reduced picture must keep the two apart.
    static ColorAt halves(QRgb left, QRgb right, int width)
    {
        return [=](int x, int) { return x < width / 2 ? left : right; };
    }

private:
    static void appendBig(QByteArray& out, quint32 v)
    {
        char b[4];
        qToBigEndian(v, b);
        out.append(b, 4);
    }

    static void appendChunk(QByteArray& out, const char* type, const QByteArray& data)
    {
        appendBig(out, quint32(data.size()));
        const QByteArray typed = QByteArray(type) + data;
        out.append(typed);
        appendBig(out,
                  quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
    }

    // Adam7 pass geometry: first column and row, column and row steps.
    static constexpr int kPassX0[7] = {0, 4, 0, 2, 0, 1, 0};
    static constexpr int kPassY0[7] = {0, 0, 4, 0, 2, 0, 1};
    static constexpr int kPassDx[7] = {8, 8, 4, 4, 2, 2, 1};
    static constexpr int kPassDy[7] = {8, 8, 8, 4, 4, 2, 2};

    static QByteArray deflatedRows(int width, int height, bool interlaced, const ColorAt& colorAt)
    {
        z_stream z = {};
        deflateInit(&z, Z_BEST_SPEED);
        QByteArray out;
        QByteArray row;
        const auto feed = [&](const QByteArray& data, int flush) {
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
            z.avail_in = uInt(data.size());
            char buffer[65536];
            do {
                z.next_out = reinterpret_cast<Bytef*>(buffer);
                z.avail_out = sizeof buffer;
                deflate(&z, flush);
                out.append(buffer, int(sizeof buffer - z.avail_out));
            } while (z.avail_out == 0);
        };
        for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
            const int x0 = interlaced ? kPassX0[pass] : 0;
            const int y0 = interlaced ? kPassY0[pass] : 0;
            const int dx = interlaced ? kPassDx[pass] : 1;
            const int dy = interlaced ? kPassDy[pass] : 1;
            if (x0 >= width || y0 >= height)
                continue; // an empty pass has no rows at all, not even filter bytes
            for (int y = y0; y < height; y += dy) {
                row.resize(1);
                row[0] = 0; // no filter
                for (int x = x0; x < width; x += dx) {
                    const QRgb c = colorAt(x, y);
                    row.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
                }
                feed(row, Z_NO_FLUSH);
            }
        }
        feed(QByteArray(), Z_FINISH);
        deflateEnd(&z);
        return out;
    }
};
