#include "render/FlateRows.h"

#include <zlib.h>

QByteArray filteredRgbRows(const QImage& image, int firstRow, int rows) {
    const int w = image.width();
    const qsizetype stride = qsizetype(w) * 3 + 1;
    QByteArray out(stride * rows, Qt::Uninitialized);
    auto* o = reinterpret_cast<uchar*>(out.data());
    for (int r = 0; r < rows; ++r) {
        const QRgb* s = reinterpret_cast<const QRgb*>(image.constScanLine(firstRow + r));
        uchar* d = o + stride * r;
        *d++ = 1;   // Sub: each byte minus the same channel of the pixel to its left
        uchar pr = 0, pg = 0, pb = 0;
        for (int x = 0; x < w; ++x) {
            const QRgb v = s[x];
            const uchar r8 = uchar(v >> 16), g8 = uchar(v >> 8), b8 = uchar(v);
            d[0] = uchar(r8 - pr);
            d[1] = uchar(g8 - pg);
            d[2] = uchar(b8 - pb);
            d += 3;
            pr = r8;
            pg = g8;
            pb = b8;
        }
    }
    return out;
}

namespace {
QByteArray deflateRaw(const QByteArray& raw, int windowBits, int flush, int level) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) return QByteArray();
    QByteArray out(qsizetype(deflateBound(&z, uLong(raw.size()))) + 16, Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
    z.avail_in = uInt(raw.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    const int rc = deflate(&z, flush);
    const bool ok = flush == Z_FINISH ? rc == Z_STREAM_END : rc == Z_OK;
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return ok ? out : QByteArray();
}
}  // namespace

FlatePiece deflatePiece(const QByteArray& raw, bool last, int level) {
    FlatePiece p;
    p.data = deflateRaw(raw, -15, last ? Z_FINISH : Z_SYNC_FLUSH, level);
    p.adler = std::uint32_t(adler32(1L, reinterpret_cast<const Bytef*>(raw.constData()), uInt(raw.size())));
    p.rawLength = raw.size();
    return p;
}

QByteArray zlibStream(const QByteArray& raw, int level) { return deflateRaw(raw, 15, Z_FINISH, level); }

QByteArray zlibHeader() {
    // Deflate with a 32 KB window, fastest-compression hint; 0x7801 is a
    // multiple of 31 as the header check requires.
    return QByteArray("\x78\x01", 2);
}

std::uint32_t combineAdler(std::uint32_t adlerA, std::uint32_t adlerB, qint64 lengthB) {
    return std::uint32_t(adler32_combine(uLong(adlerA), uLong(adlerB), z_off_t(lengthB)));
}

QByteArray zlibTrailer(std::uint32_t adler) {
    QByteArray t(4, Qt::Uninitialized);
    t[0] = char(adler >> 24);
    t[1] = char(adler >> 16);
    t[2] = char(adler >> 8);
    t[3] = char(adler);
    return t;
}
