// IFF pictures: ILBM (bit planes, optionally ByteRun1-packed, with mask
// plane, extra half-brite, HAM6/HAM8 or 24/32 planes of true colour) and the
// chunky PBM variant.

#include "image/ByteIO.h"
#include "image/OwnDecoders.h"
#include "image/OwnEncoders.h"

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
    for (int y = 0; y < hd.height; ++y) {
        if (!unpackRow(body, row.data(), int(rowBytes), hd.compression == 1)) return false;
        if (chunky) {
            std::copy(row.begin(), row.begin() + hd.width, img.scanLine(y));
            continue;
        }
        auto planeBit = [&](int p, int x) { return (row[size_t(p * planeBytes + x / 8)] >> (7 - x % 8)) & 1; };
        if (trueColour) {
            QRgb* o = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < hd.width; ++x) {
                int c[4] = {0, 0, 0, 255};
                for (int k = 0; k < hd.planes / 8; ++k) {
                    int v = 0;
                    for (int b = 0; b < 8; ++b) v |= planeBit(k * 8 + b, x) << b;
                    c[k] = v;
                }
                o[x] = qRgba(c[0], c[1], c[2], c[3]);
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
                int v = 0;
                for (int p = 0; p < valueBits; ++p) v |= planeBit(p, x) << p;
                const int mode = planeBit(valueBits, x) | (planeBit(valueBits + 1, x) << 1);
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
            for (int x = 0; x < hd.width; ++x) {
                int v = 0;
                for (int p = 0; p < hd.planes; ++p) v |= planeBit(p, x) << p;
                o[x] = uchar(v);
            }
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
    std::vector<uchar> plane(static_cast<size_t>(planeBytes));
    std::vector<uchar> values(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int p = 0; p < planes; ++p) {
            std::fill(plane.begin(), plane.end(), 0);
            if (planes == 24) {
                const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                const int channel = p / 8, bit = p % 8;
                for (int x = 0; x < w; ++x) {
                    const int v = channel == 0 ? qRed(in[x]) : channel == 1 ? qGreen(in[x]) : qBlue(in[x]);
                    if ((v >> bit) & 1) plane[size_t(x / 8)] |= uchar(0x80 >> (x & 7));
                }
            } else {
                const uchar* in = img.constScanLine(y);
                for (int x = 0; x < w; ++x)
                    if ((in[x] >> p) & 1) plane[size_t(x / 8)] |= uchar(0x80 >> (x & 7));
            }
            packRow(out, plane.data(), planeBytes);
        }
        if (out.data.size() > 0x7F000000) return {};
    }
    endChunk(out, pos);
    out.putBe32At(4, quint32(out.data.size() - 8));
    return out.data;
}
