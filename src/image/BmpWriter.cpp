#include "image/ByteIO.h"
#include "image/OwnEncoders.h"

#include <vector>

namespace {

enum Compression { BiRgb = 0, BiRle8 = 1, BiRle4 = 2 };

void writeHeaders(ByteWriter& w, const QImage& img, int bitCount, Compression compression,
                  const QVector<QRgb>& table, quint32 pixelBytes) {
    const quint32 offBits = 14 + 40 + quint32(table.size()) * 4;
    w.bytes("BM", 2);
    w.le32(offBits + pixelBytes);
    w.le32(0);
    w.le32(offBits);
    w.le32(40);
    w.le32(quint32(img.width()));
    w.le32(quint32(img.height()));   // positive: rows stored bottom-up
    w.le16(1);
    w.le16(bitCount);
    w.le32(compression);
    w.le32(pixelBytes);
    w.le32(quint32(img.dotsPerMeterX() > 0 ? img.dotsPerMeterX() : 3780));
    w.le32(quint32(img.dotsPerMeterY() > 0 ? img.dotsPerMeterY() : 3780));
    w.le32(quint32(table.size()));
    w.le32(0);
    for (QRgb c : table) {
        w.u8(qBlue(c));
        w.u8(qGreen(c));
        w.u8(qRed(c));
        w.u8(0);
    }
}

// Indices of one row as one value per pixel.
const uchar* indexRow(const QImage& img, int y) { return img.constScanLine(y); }

// One RLE8 row: runs of equal bytes in encoded mode, stretches without runs
// in absolute mode (at least three bytes, padded to a word).
void rle8Row(ByteWriter& w, const uchar* p, int n) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 255 && p[i + run] == p[i]) ++run;
        if (run >= 3 || (run == 2 && i + run == n)) {
            w.u8(run);
            w.u8(p[i]);
            i += run;
            continue;
        }
        // literal stretch until a run of three starts
        int j = i;
        while (j < n && j - i < 255) {
            if (j + 2 < n && p[j] == p[j + 1] && p[j] == p[j + 2]) break;
            ++j;
        }
        const int len = j - i;
        if (len < 3) {
            for (int k = 0; k < len; ++k) {
                w.u8(1);
                w.u8(p[i + k]);
            }
        } else {
            w.u8(0);
            w.u8(len);
            w.bytes(reinterpret_cast<const char*>(p + i), len);
            if (len & 1) w.u8(0);
        }
        i = j;
    }
}

// One RLE4 row. Encoded mode repeats a pair of nibbles, so any one or two
// pixels fit an encoded pair; longer stretches go in absolute mode.
void rle4Row(ByteWriter& w, const uchar* p, int n) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 255 && p[i + run] == p[i]) ++run;
        if (run >= 3) {
            w.u8(run);
            w.u8((p[i] << 4) | p[i]);
            i += run;
            continue;
        }
        int j = i;
        while (j < n && j - i < 254) {
            if (j + 2 < n && p[j] == p[j + 1] && p[j] == p[j + 2]) break;
            ++j;
        }
        int len = j - i;
        if (len < 3) {
            w.u8(len);
            w.u8((p[i] << 4) | (len == 2 ? p[i + 1] : 0));
        } else {
            w.u8(0);
            w.u8(len);
            const int bytes = (len + 1) / 2;
            for (int k = 0; k < bytes; ++k) {
                const int hi = p[i + 2 * k];
                const int lo = 2 * k + 1 < len ? p[i + 2 * k + 1] : 0;
                w.u8((hi << 4) | lo);
            }
            if (bytes & 1) w.u8(0);
        }
        i = j;
    }
}

}  // namespace

QByteArray EncodeBmp(const DibHandle& dib) {
    if (dib.isEmpty()) return {};
    const QImage& img = dib.image();
    const int bits = dib.DibBitCount();
    const int w = img.width(), h = img.height();
    const qint64 stride = ((qint64(w) * bits + 31) / 32) * 4;
    if (stride * h > 0x7FFF0000LL) return {};
    const QVector<QRgb> table = dib.colorTable();
    ByteWriter out;
    out.data.reserve(int(54 + table.size() * 4 + stride * h));
    writeHeaders(out, img, bits, BiRgb, table, quint32(stride * h));
    std::vector<uchar> row(static_cast<size_t>(stride), 0);
    for (int y = h - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        if (bits == 24) {
            const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                row[size_t(3 * x)] = uchar(qBlue(in[x]));
                row[size_t(3 * x + 1)] = uchar(qGreen(in[x]));
                row[size_t(3 * x + 2)] = uchar(qRed(in[x]));
            }
        } else {
            const uchar* in = indexRow(img, y);
            if (bits == 8) {
                std::copy(in, in + w, row.begin());
            } else if (bits == 4) {
                for (int x = 0; x < w; ++x) row[size_t(x / 2)] |= uchar((in[x] & 0xF) << (x & 1 ? 0 : 4));
            } else {
                for (int x = 0; x < w; ++x)
                    if (in[x] & 1) row[size_t(x / 8)] |= uchar(0x80 >> (x & 7));
            }
        }
        out.bytes(reinterpret_cast<const char*>(row.data()), int(stride));
    }
    return out.data;
}

QByteArray EncodeBmpRle(const DibHandle& source) {
    if (source.isEmpty()) return {};
    const DibHandle dib = ToPalettised(source);
    if (dib.isEmpty()) return {};
    const QImage& img = dib.image();
    // RLE4 serves 1- and 4-bit pictures; the table keeps its own length, so a
    // two-colour picture reads back with two colours.
    const bool four = dib.DibBitCount() <= 4;
    QVector<QRgb> table = dib.colorTable();
    if (source.DibBitCount() == 1) table.resize(2);
    ByteWriter body;
    for (int y = img.height() - 1; y >= 0; --y) {
        if (four) rle4Row(body, indexRow(img, y), img.width());
        else rle8Row(body, indexRow(img, y), img.width());
        if (y > 0) {
            body.u8(0);
            body.u8(0);   // end of line
        }
        if (body.data.size() > 0x7FFF0000) return {};
    }
    body.u8(0);
    body.u8(1);           // end of bitmap
    ByteWriter out;
    writeHeaders(out, img, four ? 4 : 8, four ? BiRle4 : BiRle8, table, quint32(body.data.size()));
    out.data.append(body.data);
    return out.data;
}
