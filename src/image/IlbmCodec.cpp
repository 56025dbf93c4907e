// IFF pictures: ILBM (bit planes, optionally ByteRun1-packed, with mask
// plane, extra half-brite, HAM6/HAM8 or 24/32 planes of true colour) and the
// chunky PBM variant.

#include "image/ByteIO.h"
#include "image/OwnDecoders.h"
#include "image/OwnEncoders.h"

#include <array>
#include <vector>

namespace {

constexpr quint32 kCamgHam = 0x800;
constexpr quint32 kCamgEhb = 0x80;

struct Header {
    int width = 0, height = 0, planes = 0, masking = 0, compression = 0;
};

// ByteRun1: n >= 0 copies n+1 bytes, n in -127..-1 repeats the next byte
// 1-n times, -128 is skipped.
bool unpackRow(ByteReader& in, uchar* out, int total, bool packed) {
    if (!packed) {
        if (in.remaining() < total) return false;
        std::copy(in.here(), in.here() + total, out);
        in.skip(total);
        return true;
    }
    int filled = 0;
    while (filled < total) {
        const int n = int(int8_t(in.u8()));
        if (in.failed()) return false;
        if (n >= 0) {
            if (filled + n + 1 > total || in.remaining() < n + 1) return false;
            std::copy(in.here(), in.here() + n + 1, out + filled);
            in.skip(n + 1);
            filled += n + 1;
        } else if (n != -128) {
            const int v = in.u8();
            if (in.failed() || filled + 1 - n > total) return false;
            std::fill(out + filled, out + filled + 1 - n, uchar(v));
            filled += 1 - n;
        }
    }
    return true;
}

// Byte k of spreadTable()[b] is bit 7-k of b: plane bits, most significant
// pixel first, spread over eight pixel bytes.
const quint64* spreadTable() {
    static const auto table = [] {
        std::array<quint64, 256> t{};
        for (int b = 0; b < 256; ++b)
            for (int k = 0; k < 8; ++k) t[size_t(b)] |= quint64((b >> (7 - k)) & 1) << (8 * k);
        return t;
    }();
    return table.data();
}

}  // namespace

bool DecodeIlbm(const QByteArray& data, QImage& out) {
    ByteReader in(data);
    if (in.be32() != 0x464F524D) return false;   // FORM
    const quint32 formSize = in.be32();
    const quint32 type = in.be32();
    const bool chunky = type == 0x50424D20;      // "PBM "
    if (in.failed() || (type != 0x494C424D && !chunky)) return false;
    const qint64 formEnd = std::min<qint64>(data.size(), qint64(formSize) + 8);

    Header hd;
    bool haveHeader = false;
    quint32 camg = 0;
    QVector<QRgb> cmap;
    qint64 bodyPos = -1, bodyEnd = -1;
    while (in.pos() + 8 <= formEnd) {
        const quint32 id = in.be32();
        const quint32 size = in.be32();
        const qint64 start = in.pos();
        if (qint64(size) > formEnd - start) return false;
        if (id == 0x424D4844) {   // BMHD
            if (size < 20) return false;
            hd.width = in.be16();
            hd.height = in.be16();
            in.skip(4);
            hd.planes = in.u8();
            hd.masking = in.u8();
            hd.compression = in.u8();
            haveHeader = true;
        } else if (id == 0x434D4150) {   // CMAP
            for (quint32 i = 0; i + 3 <= size && i < 256 * 3; i += 3) {
                const int r = in.u8(), g = in.u8(), b = in.u8();
                cmap << qRgb(r, g, b);
            }
        } else if (id == 0x43414D47 && size >= 4) {   // CAMG
            camg = in.be32();
        } else if (id == 0x424F4459) {   // BODY
            bodyPos = start;
            bodyEnd = start + size;
        }
        if (in.failed()) return false;
        in.seek(start + size + (size & 1));
        if (in.failed()) break;   // the last chunk may lack its pad byte
        if (bodyPos >= 0) break;
    }
    if (!haveHeader || bodyPos < 0) return false;
    if (hd.compression > 1 || hd.masking > 3) return false;
    const bool ham = !chunky && (camg & kCamgHam) && (hd.planes == 6 || hd.planes == 8);
    const bool ehb = !chunky && !ham && (camg & kCamgEhb) && hd.planes == 6;
    const bool trueColour = !chunky && (hd.planes == 24 || hd.planes == 32);
    if (chunky ? hd.planes != 8 : !(trueColour || (hd.planes >= 1 && hd.planes <= 8))) return false;
    const bool rgb = trueColour || ham;
    if (!DecodedSizeAllowed(hd.width, hd.height, rgb ? 4 : 1)) return false;

    const int planeBytes = chunky ? hd.width + (hd.width & 1) : ((hd.width + 15) / 16) * 2;
    const int rowPlanes = chunky ? 1 : hd.planes + (hd.masking == 1 ? 1 : 0);
    const qint64 rowBytes = qint64(planeBytes) * rowPlanes;
    const qint64 bodySize = bodyEnd - bodyPos;
    // ByteRun1 expands two bytes into at most 128.
    if (rowBytes * hd.height > (hd.compression ? bodySize * 64 : bodySize)) return false;

    QImage img(hd.width, hd.height,
               rgb ? (hd.planes == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32) : QImage::Format_Indexed8);
    if (img.isNull()) return false;
    QVector<QRgb> table = cmap;
    if (table.isEmpty() && !trueColour) {
        const int n = 1 << std::min(hd.planes, 8);
        for (int i = 0; i < n; ++i) {
            const int v = n > 1 ? i * 255 / (n - 1) : 0;
            table << qRgb(v, v, v);
        }
    }
    if (ehb) {
        table.resize(32);
        for (int i = 0; i < 32; ++i)
            table << qRgb(qRed(table[i]) / 2, qGreen(table[i]) / 2, qBlue(table[i]) / 2);
    }

    ByteReader body(data, bodyPos, bodyEnd);
    std::vector<uchar> row(static_cast<size_t>(rowBytes));
    std::vector<quint32> values(static_cast<size_t>(planeBytes) * 8);
    std::vector<quint64> slices(static_cast<size_t>(planeBytes) * ((hd.planes + 7) / 8));
    for (int y = 0; y < hd.height; ++y) {
        if (!unpackRow(body, row.data(), int(rowBytes), hd.compression == 1)) return false;
        if (chunky) {
            std::copy(row.begin(), row.begin() + hd.width, img.scanLine(y));
            continue;
        }
        // Bit-sliced gathering: each plane byte spreads its eight bits into
        // the eight pixel bytes of a 64-bit word (one word per group of eight
        // planes), so a plane byte costs one table look-up.
        std::fill(slices.begin(), slices.end(), 0);
        for (int p = 0; p < hd.planes; ++p) {
            const uchar* plane = row.data() + size_t(p) * planeBytes;
            quint64* group = slices.data() + size_t(p / 8) * planeBytes;
            const int shift = p % 8;
            for (int i = 0; i < planeBytes; ++i) group[i] |= spreadTable()[plane[i]] << shift;
        }
        for (int x = 0; x < hd.width; ++x) {
            quint32 v = 0;
            for (int g = 0; g * 8 < hd.planes; ++g)
                v |= quint32((slices[size_t(g) * planeBytes + size_t(x / 8)] >> (8 * (x % 8))) & 0xFF) << (8 * g);
            values[size_t(x)] = v;
        }
        if (trueColour) {
            QRgb* o = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < hd.width; ++x) {
                const quint32 v = values[size_t(x)];
                o[x] = qRgba(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF),
                             hd.planes == 32 ? int(v >> 24) : 255);
            }
        } else if (ham) {
            // Hold-and-modify: the two top planes say whether the others pick
            // a palette colour or replace one channel of the previous pixel.
            const int valueBits = hd.planes - 2;
            QRgb* o = reinterpret_cast<QRgb*>(img.scanLine(y));
            int r = 0, g = 0, b = 0;
            if (!table.isEmpty()) {
                r = qRed(table[0]);
                g = qGreen(table[0]);
                b = qBlue(table[0]);
            }
            for (int x = 0; x < hd.width; ++x) {
                const int v = int(values[size_t(x)] & ((1u << valueBits) - 1));
                const int mode = int(values[size_t(x)] >> valueBits) & 3;
                const int full = valueBits == 4 ? v * 17 : (v << 2) | (v >> 4);
                if (mode == 0) {
                    const QRgb c = v < table.size() ? table[v] : qRgb(0, 0, 0);
                    r = qRed(c);
                    g = qGreen(c);
                    b = qBlue(c);
                } else if (mode == 1) {
                    b = full;
                } else if (mode == 2) {
                    r = full;
                } else {
                    g = full;
                }
                o[x] = qRgb(r, g, b);
            }
        } else {
            uchar* o = img.scanLine(y);
            for (int x = 0; x < hd.width; ++x) o[x] = uchar(values[size_t(x)]);
        }
    }
    if (!rgb) {
        const int depth = chunky ? 8 : hd.planes;
        const int size = depth <= 1 ? 2 : depth <= 4 ? 16 : 256;
        while (table.size() < size) table << qRgb(0, 0, 0);
        table.resize(size);
        img.setColorTable(table);
    }
    out = img;
    return true;
}

namespace {

void packRow(ByteWriter& w, const uchar* p, int n) {
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 128 && p[i + run] == p[i]) ++run;
        if (run >= 3) {
            w.u8(257 - run);   // -(run-1)
            w.u8(p[i]);
            i += run;
            continue;
        }
        int j = i;
        while (j < n && j - i < 128) {
            if (j + 2 < n && p[j] == p[j + 1] && p[j] == p[j + 2]) break;
            ++j;
        }
        w.u8(j - i - 1);
        w.bytes(reinterpret_cast<const char*>(p + i), j - i);
        i = j;
    }
}

void beginChunk(ByteWriter& w, const char* id, int& sizePos) {
    w.bytes(id, 4);
    sizePos = w.data.size();
    w.be32(0);
}

void endChunk(ByteWriter& w, int sizePos) {
    const int size = w.data.size() - sizePos - 4;
    w.putBe32At(sizePos, quint32(size));
    if (size & 1) w.u8(0);
}

}  // namespace

QByteArray EncodeIlbm(const DibHandle& dib) {
    if (dib.isEmpty() || dib.DibWidth() > 65535 || dib.DibHeight() > 65535) return {};
    const QImage& img = dib.image();
    const int w = img.width(), h = img.height();
    const int planes = dib.DibBitCount();   // 1, 4, 8 or 24
    const int planeBytes = ((w + 15) / 16) * 2;

    ByteWriter out;
    out.bytes("FORM", 4);
    out.be32(0);
    out.bytes("ILBM", 4);
    int pos = 0;
    beginChunk(out, "BMHD", pos);
    out.be16(w);
    out.be16(h);
    out.be16(0);
    out.be16(0);
    out.u8(planes);
    out.u8(0);    // no mask
    out.u8(1);    // ByteRun1
    out.u8(0);
    out.be16(0);
    out.u8(1);
    out.u8(1);
    out.be16(w);
    out.be16(h);
    endChunk(out, pos);
    if (dib.hasPalette()) {
        beginChunk(out, "CMAP", pos);
        for (QRgb c : dib.colorTable()) {
            out.u8(qRed(c));
            out.u8(qGreen(c));
            out.u8(qBlue(c));
        }
        endChunk(out, pos);
    }
    beginChunk(out, "BODY", pos);
    // All planes of a row at once: each pixel's bits are spread over the
    // planes in one pass, a byte of eight pixels at a time.
    std::vector<uchar> planesOfRow(static_cast<size_t>(planeBytes) * planes);
    std::vector<quint32> values(static_cast<size_t>(planeBytes) * 8, 0u);
    std::vector<quint64> slices(static_cast<size_t>(planeBytes) * ((planes + 7) / 8));
    for (int y = 0; y < h; ++y) {
        if (planes == 24) {
            const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < w; ++x)
                values[size_t(x)] = quint32(qRed(in[x])) | (quint32(qGreen(in[x])) << 8) | (quint32(qBlue(in[x])) << 16);
        } else {
            const uchar* in = img.constScanLine(y);
            for (int x = 0; x < w; ++x) values[size_t(x)] = in[x];
        }
        // The reverse of the reader's bit slicing: eight pixels' bytes in a
        // word, one bit of each gathered into a plane byte by a multiply.
        for (int g = 0; g * 8 < planes; ++g)
            for (int i = 0; i < planeBytes; ++i) {
                quint64 word = 0;
                for (int k = 0; k < 8; ++k) word |= quint64((values[size_t(i) * 8 + k] >> (8 * g)) & 0xFF) << (8 * k);
                slices[size_t(g) * planeBytes + i] = word;
            }
        for (int p = 0; p < planes; ++p) {
            uchar* plane = planesOfRow.data() + size_t(p) * planeBytes;
            const quint64* group = slices.data() + size_t(p / 8) * planeBytes;
            for (int i = 0; i < planeBytes; ++i) {
                const quint64 bits = (group[i] >> (p % 8)) & 0x0101010101010101ULL;
                plane[i] = uchar((bits * 0x8040201008040201ULL) >> 56);
            }
            packRow(out, plane, planeBytes);
        }
        if (out.data.size() > 0x7F000000) return {};
    }
    endChunk(out, pos);
    out.putBe32At(4, quint32(out.data.size() - 8));
    return out.data;
}
