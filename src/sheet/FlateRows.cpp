#include "sheet/FlateRows.h"

#include <QtEndian>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <zlib.h>

namespace {

// a - b in each of the four bytes, without borrows between them.
inline std::uint32_t bytewiseMinus(std::uint32_t a, std::uint32_t b) {
    constexpr std::uint32_t high = 0x80808080u;
    return ((a | high) - (b & ~high)) ^ ((a ^ ~b) & high);
}

// 0xAARRGGBB to the bytes R, G, B, 0 in memory order.
inline std::uint32_t rgbBytes(std::uint32_t v) {
    return qFromBigEndian(v) >> 8;
}

// One row as RGB bytes, each less the same byte of the row above (none:
// zeros). The subtraction is done on whole pixels, whose bytes do not
// carry into each other, and four pixels are packed into three words.
void upFilteredRow(const QRgb* row, const QRgb* above, uchar* out, int width) {
    static const QRgb zeros[4] = {0, 0, 0, 0};
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const QRgb* a = above ? above + x : zeros;
        const std::uint32_t q0 = rgbBytes(bytewiseMinus(row[x], a[0]));
        const std::uint32_t q1 = rgbBytes(bytewiseMinus(row[x + 1], a[1]));
        const std::uint32_t q2 = rgbBytes(bytewiseMinus(row[x + 2], a[2]));
        const std::uint32_t q3 = rgbBytes(bytewiseMinus(row[x + 3], a[3]));
        const std::uint32_t words[3] = {qToLittleEndian(q0 | (q1 << 24)), qToLittleEndian((q1 >> 8) | (q2 << 16)),
                                        qToLittleEndian((q2 >> 16) | (q3 << 8))};
        std::memcpy(out, words, 12);
        out += 12;
    }
    for (; x < width; ++x) {
        const QRgb v = bytewiseMinus(row[x], above ? above[x] : 0u);
        *out++ = uchar(v >> 16);
        *out++ = uchar(v >> 8);
        *out++ = uchar(v);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// The same with 16-byte registers: four pixels less the four above, then
// their R, G, B bytes picked out in order. Each store writes 16 bytes of
// which 12 count, so the last pixels of a row are left to the plain loop.
__attribute__((target("ssse3"))) void upFilteredRowSsse3(const QRgb* row, const QRgb* above, uchar* out, int width) {
    const __m128i pick = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    int x = 0;
    for (; x + 6 <= width; x += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        if (above) v = _mm_sub_epi8(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + x)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(v, pick));
        out += 12;
    }
    upFilteredRow(row + x, above ? above + x : nullptr, out, width - x);
}

bool hasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

}  // namespace

QByteArray filteredRgbRows(const QImage& image, int firstRow, int rows) {
    const int w = image.width();
    const qsizetype stride = qsizetype(w) * 3 + 1;
    QByteArray out(stride * rows, Qt::Uninitialized);
    auto* o = reinterpret_cast<uchar*>(out.data());
    // ARGB32 has the byte order of RGB32: its alpha is dropped, not
    // multiplied in.
    for (int r = 0; r < rows; ++r) {
        const int y = firstRow + r;
        uchar* d = o + stride * r;
        *d++ = 2;   // Up
        const auto* above = y > 0 ? reinterpret_cast<const QRgb*>(image.constScanLine(y - 1)) : nullptr;
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
#if defined(__x86_64__) || defined(__i386__)
        if (hasSsse3()) {
            upFilteredRowSsse3(line, above, d, w);
            continue;
        }
#endif
        upFilteredRow(line, above, d, w);
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
