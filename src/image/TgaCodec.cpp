// Truevision Targa: colour-mapped, true-colour and grey pictures, raw or
// run-length packed, in any of the four origins.

#include "image/ByteIO.h"
#include "image/OwnDecoders.h"
#include "image/OwnEncoders.h"

#include <vector>

namespace {

QRgb colourFrom(const uchar* p, int bits, bool useAlpha) {
    switch (bits) {
    case 15:
    case 16: {
        const int v = p[0] | (p[1] << 8);
        const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return qRgba((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2),
                     useAlpha && bits == 16 && !(v & 0x8000) ? 0 : 255);
    }
    case 24:
        return qRgb(p[2], p[1], p[0]);
    default:
        return qRgba(p[2], p[1], p[0], useAlpha ? p[3] : 255);
    }
}

}  // namespace

bool DecodeTga(const QByteArray& data, QImage& out) {
    ByteReader in(data);
    const int idLength = in.u8();
    const int mapType = in.u8();
    const int imageType = in.u8();
    const int mapFirst = in.le16();
    const int mapLength = in.le16();
    const int mapBits = in.u8();
    in.skip(4);
    const int width = in.le16();
    const int height = in.le16();
    const int bits = in.u8();
    const int descriptor = in.u8();
    if (in.failed() || mapType > 1 || (descriptor & 0xC0)) return false;
    const bool packed = imageType >= 9;
    const int kind = packed ? imageType - 8 : imageType;   // 1 mapped, 2 true colour, 3 grey
    if (kind < 1 || kind > 3 || imageType > 11) return false;
    if (kind == 1 && (mapType != 1 || (bits != 8 && bits != 16))) return false;
    if (kind == 2 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return false;
    if (kind == 3 && bits != 8 && bits != 16) return false;
    if (mapType == 1 && (mapLength == 0 || (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)))
        return false;
    if (!DecodedSizeAllowed(width, height, 4)) return false;
    const int alphaBits = descriptor & 0x0F;

    in.skip(idLength);
    QVector<QRgb> map;
    if (mapType == 1) {
        const int entryBytes = (mapBits + 7) / 8;
        if (in.remaining() < qint64(mapLength) * entryBytes) return false;
        for (int i = 0; i < mapLength; ++i) {
            map << colourFrom(in.here(), mapBits, alphaBits > 0 || mapBits == 32);
            in.skip(entryBytes);
        }
    }
    const int pixelBytes = (bits + 7) / 8;
    const qint64 total = qint64(width) * height;
    if (!packed && in.remaining() < total * pixelBytes) return false;
    if (packed && in.remaining() * 128 < total) return false;

    // The pixels in file order, unpacked.
    std::vector<uchar> pixels(static_cast<size_t>(total * pixelBytes));
    if (packed) {
        qint64 filled = 0;
        while (filled < total) {
            const int h = in.u8();
            const qint64 count = std::min<qint64>((h & 0x7F) + 1, total - filled);
            uchar* dst = pixels.data() + filled * pixelBytes;
            if (h & 0x80) {
                if (in.remaining() < pixelBytes) return false;
                for (qint64 i = 0; i < count; ++i) std::copy(in.here(), in.here() + pixelBytes, dst + i * pixelBytes);
                in.skip(pixelBytes);
            } else {
                if (in.failed() || in.remaining() < ((h & 0x7F) + 1) * pixelBytes) return false;
                std::copy(in.here(), in.here() + count * pixelBytes, dst);
                in.skip(((h & 0x7F) + 1) * pixelBytes);
            }
            if (in.failed()) return false;
            filled += count;
        }
    } else {
        std::copy(in.here(), in.here() + total * pixelBytes, pixels.begin());
    }

    const bool indexed = (kind == 1 && bits == 8 && mapFirst + mapLength <= 256) || (kind == 3 && bits == 8);
    bool alpha = (kind == 2 && (bits == 32 || (bits == 16 && alphaBits > 0))) || (kind == 3 && bits == 16) ||
                 (kind == 1 && std::any_of(map.begin(), map.end(), [](QRgb c) { return qAlpha(c) < 255; }));
    QImage img(width, height, indexed ? QImage::Format_Indexed8
                                      : alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull()) return false;
    const bool topDown = descriptor & 0x20;
    const bool rightToLeft = descriptor & 0x10;
    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        const uchar* src = pixels.data() + qint64(row) * width * pixelBytes;
        for (int col = 0; col < width; ++col) {
            const int x = rightToLeft ? width - 1 - col : col;
            const uchar* p = src + qint64(col) * pixelBytes;
            if (indexed) {
                img.scanLine(y)[x] = kind == 1 ? uchar(std::max(0, p[0] - mapFirst)) : p[0];
                continue;
            }
            QRgb c;
            if (kind == 1) {
                const int index = (bits == 16 ? p[0] | (p[1] << 8) : p[0]) - mapFirst;
                c = index >= 0 && index < map.size() ? map[index] : qRgb(0, 0, 0);
            } else if (kind == 3) {
                c = qRgba(p[0], p[0], p[0], bits == 16 ? p[1] : 255);
            } else {
                c = colourFrom(p, bits, true);
            }
            anyAlpha = anyAlpha || qAlpha(c) != 0;
            reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c;
        }
    }
    if (indexed) {
        QVector<QRgb> table;
        if (kind == 3) {
            for (int i = 0; i < 256; ++i) table << qRgb(i, i, i);
        } else {
            table = map;
            // Entries before the first index are not stored; shift down.
            const int used = std::max(mapLength, 1);
            table.resize(used);
        }
        const int size = table.size() <= 2 ? 2 : table.size() <= 16 ? 16 : 256;
        while (table.size() < size) table << qRgb(0, 0, 0);
        img.setColorTable(table);
        // Indices beyond the stored colours would address nothing.
        for (int y = 0; y < height; ++y) {
            uchar* line = img.scanLine(y);
            for (int x = 0; x < width; ++x)
                if (line[x] >= size) line[x] = 0;
        }
    } else if (alpha && !anyAlpha && kind == 2) {
        // Many writers leave the alpha bytes zero and mean an opaque picture.
        img = img.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < width; ++x) line[x] |= 0xFF000000u;
        }
        img = img.convertToFormat(QImage::Format_RGB32);
    }
    out = img;
    return true;
}

QByteArray EncodeTga(const DibHandle& dib) {
    if (dib.isEmpty() || dib.DibWidth() > 65535 || dib.DibHeight() > 65535) return {};
    const QImage& img = dib.image();
    const int w = img.width(), h = img.height();
    const bool mapped = dib.hasPalette();
    const bool alpha = !mapped && dib.hasOwnTransparency();
    const QVector<QRgb> table = dib.colorTable();
    const bool mapAlpha = mapped && dib.hasOwnTransparency();
    ByteWriter out;
    out.u8(0);
    out.u8(mapped ? 1 : 0);
    out.u8(mapped ? 1 : 2);
    out.le16(0);
    out.le16(mapped ? table.size() : 0);
    out.u8(mapped ? (mapAlpha ? 32 : 24) : 0);
    out.le16(0);
    out.le16(0);
    out.le16(w);
    out.le16(h);
    out.u8(mapped ? 8 : alpha ? 32 : 24);
    out.u8((alpha || mapAlpha) ? 8 : 0);   // bottom-left origin
    for (QRgb c : table) {
        out.u8(qBlue(c));
        out.u8(qGreen(c));
        out.u8(qRed(c));
        if (mapAlpha) out.u8(qAlpha(c));
    }
    const int pixelBytes = mapped ? 1 : alpha ? 4 : 3;
    std::vector<uchar> row(static_cast<size_t>(w) * pixelBytes);
    for (int y = h - 1; y >= 0; --y) {
        if (mapped) {
            std::copy(img.constScanLine(y), img.constScanLine(y) + w, row.begin());
        } else {
            const QRgb* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                uchar* p = row.data() + size_t(x) * pixelBytes;
                p[0] = uchar(qBlue(in[x]));
                p[1] = uchar(qGreen(in[x]));
                p[2] = uchar(qRed(in[x]));
                if (alpha) p[3] = uchar(qAlpha(in[x]));
            }
        }
        out.bytes(reinterpret_cast<const char*>(row.data()), int(row.size()));
    }
    // TGA 2.0 footer without extension or developer areas.
    out.zeros(8);
    out.bytes("TRUEVISION-XFILE.", 18);
    return out.data;
}
