// ZSoft PCX: 1-bit, 2-bit (CGA), 4-bit as planes or packed, 8-bit with the
// palette after the picture, and 24/32-bit as colour planes.

#include "image/ByteIO.h"
#include "image/OwnDecoders.h"
#include "image/OwnEncoders.h"

#include <vector>

namespace {

QVector<QRgb> headerPalette(const QByteArray& data, int entries) {
    QVector<QRgb> table;
    const auto p = reinterpret_cast<const uchar*>(data.constData()) + 16;
    for (int i = 0; i < entries && i < 16; ++i) table << qRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    return table;
}

QVector<QRgb> padded(QVector<QRgb> table, int size) {
    while (table.size() < size) table << qRgb(0, 0, 0);
    table.resize(size);
    return table;
}

// Expands the RLE stream into exactly `total` bytes; runs may cross lines.
bool unpack(ByteReader& in, uchar* out, qint64 total) {
    qint64 filled = 0;
    while (filled < total) {
        const int b = in.u8();
        if (in.failed()) return false;
        if ((b & 0xC0) == 0xC0) {
            const int count = b & 0x3F;
            const int value = in.u8();
            if (in.failed()) return false;
            const qint64 n = std::min<qint64>(count, total - filled);
            std::fill(out + filled, out + filled + n, uchar(value));
            filled += n;
        } else {
            out[filled++] = uchar(b);
        }
    }
    return true;
}

}  // namespace

bool DecodePcx(const QByteArray& data, QImage& out) {
    ByteReader in(data);
    const int manufacturer = in.u8();
    const int version = in.u8();
    const int encoding = in.u8();
    const int bpp = in.u8();
    const int xmin = in.le16(), ymin = in.le16(), xmax = in.le16(), ymax = in.le16();
    in.seek(65);
    const int planes = in.u8();
    const int bytesPerLine = in.le16();
    if (in.failed() || data.size() < 128 || manufacturer != 0x0A || encoding > 1) return false;
    const qint64 width = qint64(xmax) - xmin + 1;
    const qint64 height = qint64(ymax) - ymin + 1;
    if (width <= 0 || height <= 0) return false;
    const bool indexed = (planes == 1 && (bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8)) ||
                         (bpp == 1 && planes >= 2 && planes <= 4);
    const bool rgb = bpp == 8 && (planes == 3 || planes == 4);
    if (!indexed && !rgb) return false;
    if (bytesPerLine <= 0 || qint64(bytesPerLine) * 8 < width * bpp) return false;
    if (!DecodedSizeAllowed(width, height, rgb ? 4 : 1)) return false;
    const qint64 lineBytes = qint64(bytesPerLine) * planes;
    // Every encoded byte yields at most 63 decoded ones.
    if (encoding == 1 && lineBytes * height > (data.size() - 128) * 63) return false;
    if (encoding == 0 && lineBytes * height > data.size() - 128) return false;

    QImage img(int(width), int(height), rgb ? (planes == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32)
                                            : QImage::Format_Indexed8);
    if (img.isNull()) return false;
    std::vector<uchar> line(static_cast<size_t>(lineBytes));
    in.seek(128);
    for (int y = 0; y < height; ++y) {
        if (encoding == 1) {
            if (!unpack(in, line.data(), lineBytes)) return false;
        } else {
            if (in.remaining() < lineBytes) return false;
            std::copy(in.here(), in.here() + lineBytes, line.begin());
            in.skip(lineBytes);
        }
        if (rgb) {
            QRgb* o = reinterpret_cast<QRgb*>(img.scanLine(y));
            const uchar* r = line.data();
            const uchar* g = r + bytesPerLine;
            const uchar* b = g + bytesPerLine;
            const uchar* a = planes == 4 ? b + bytesPerLine : nullptr;
            for (int x = 0; x < width; ++x) o[x] = qRgba(r[x], g[x], b[x], a ? a[x] : 255);
            continue;
        }
        uchar* o = img.scanLine(y);
        for (int x = 0; x < width; ++x) {
            int v = 0;
            if (planes == 1) {
                const int bit = x * bpp;
                v = (line[size_t(bit / 8)] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
            } else {
                for (int p = 0; p < planes; ++p)
                    v |= ((line[size_t(p * bytesPerLine + x / 8)] >> (7 - x % 8)) & 1) << p;
            }
            o[x] = uchar(v);
        }
    }

    if (rgb) {
        out = img;
        return true;
    }
    const int bits = planes * bpp;
    QVector<QRgb> table;
    if (bits == 8) {
        const auto u = reinterpret_cast<const uchar*>(data.constData());
        const qint64 at = data.size() - 769;
        if (version >= 5 && at >= in.pos() && u[at] == 0x0C) {
            for (int i = 0; i < 256; ++i) table << qRgb(u[at + 1 + 3 * i], u[at + 2 + 3 * i], u[at + 3 + 3 * i]);
        } else {
            for (int i = 0; i < 256; ++i) table << qRgb(i, i, i);
        }
    } else if (bits == 1) {
        table = headerPalette(data, 2);
        // Most writers leave the header palette of a two-colour picture empty.
        if (table[0] == table[1]) table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else {
        table = headerPalette(data, 16);
    }
    img.setColorTable(padded(table, bits == 1 ? 2 : bits <= 4 ? 16 : 256));
    out = img;
    return true;
}

namespace {

// RLE of one plane's row; a single byte below 0xC0 stands for itself.
void packRow(ByteWriter& w, const uchar* p, int n) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 63 && p[i + run] == p[i]) ++run;
        if (run > 1 || p[i] >= 0xC0) w.u8(0xC0 | run);
        w.u8(p[i]);
        i += run;
    }
}

}  // namespace

QByteArray EncodePcx(const DibHandle& dib) {
    if (dib.isEmpty() || dib.DibWidth() > 65535 || dib.DibHeight() > 65535) return {};
    const QImage& img = dib.image();
    const int bits = dib.DibBitCount();
    const int w = img.width(), h = img.height();
    // 1 bit: one plane; 4 bits: four planes (EGA); 8 bits: one byte plane plus
    // the 256-colour palette at the end; 24 bits: red, green and blue planes.
    const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
    const int bpp = bits == 8 || bits == 24 ? 8 : 1;
    int bytesPerLine = (w * bpp + 7) / 8;
    bytesPerLine += bytesPerLine & 1;
    const QVector<QRgb> table = dib.colorTable();

    ByteWriter out;
    out.u8(0x0A);
    out.u8(5);
    out.u8(1);
    out.u8(bpp);
    out.le16(0);
    out.le16(0);
    out.le16(w - 1);
    out.le16(h - 1);
    const int dpiX = img.dotsPerMeterX() > 0 ? qRound(img.dotsPerMeterX() * 0.0254) : 96;
    const int dpiY = img.dotsPerMeterY() > 0 ? qRound(img.dotsPerMeterY() * 0.0254) : 96;
    out.le16(dpiX);
    out.le16(dpiY);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = bits <= 4 && i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.u8(qRed(c));
        out.u8(qGreen(c));
        out.u8(qBlue(c));
    }
    out.u8(0);
    out.u8(planes);
    out.le16(bytesPerLine);
    out.le16(bits == 8 && dib.image().allGray() ? 2 : 1);
    out.le16(0);
    out.le16(0);
    out.zeros(54);

    std::vector<uchar> plane(static_cast<size_t>(bytesPerLine));
    for (int y = 0; y < h; ++y) {
        for (int p = 0; p < planes; ++p) {
            std::fill(plane.begin(), plane.end(), 0);
            if (bits == 24) {
                const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                for (int x = 0; x < w; ++x)
                    plane[size_t(x)] = uchar(p == 0 ? qRed(in[x]) : p == 1 ? qGreen(in[x]) : qBlue(in[x]));
            } else {
                const uchar* in = img.constScanLine(y);
                if (bits == 8)
                    std::copy(in, in + w, plane.begin());
                else
                    for (int x = 0; x < w; ++x)
                        if ((in[x] >> p) & 1) plane[size_t(x / 8)] |= uchar(0x80 >> (x & 7));
            }
            packRow(out, plane.data(), bytesPerLine);
        }
        if (out.data.size() > 0x7F000000) return {};
    }
    if (bits == 8) {
        out.u8(0x0C);
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            out.u8(qRed(c));
            out.u8(qGreen(c));
            out.u8(qBlue(c));
        }
    }
    return out.data;
}
