#include "sheet/SheetPngWriter.h"

#include "sheet/FlateRows.h"
#include "image/RenderThreads.h"

#include <cmath>
#include <vector>
#include <zlib.h>

namespace {

void put32(QByteArray& out, std::uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

void chunk(QByteArray& out, const char* type, const QByteArray& data) {
    put32(out, std::uint32_t(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* p = reinterpret_cast<const Bytef*>(out.constData() + start);
    put32(out, std::uint32_t(crc32(0L, p, uInt(out.size() - start))));
}

// Rows per piece: about a megabyte of filtered bytes, enough pieces to keep
// every core busy and few enough that the restarted dictionaries cost
// little.
int rowsPerPiece(int width) { return std::max(1, (1 << 20) / (width * 3 + 1)); }

}  // namespace

QByteArray encodeSheetPng(const QImage& source, int dpi) {
    if (source.isNull()) return QByteArray();
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    if (image.format() == QImage::Format_ARGB32_Premultiplied) image = image.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    const int step = rowsPerPiece(w);
    const int pieces = (h + step - 1) / step;
    std::vector<FlatePiece> done(static_cast<size_t>(pieces));
    parallelFor(pieces, [&](int i) {
        const int first = i * step;
        const int rows = std::min(step, h - first);
        done[size_t(i)] = deflatePiece(filteredRgbRows(image, first, rows), i == pieces - 1);
    });

    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    put32(ihdr, std::uint32_t(w));
    put32(ihdr, std::uint32_t(h));
    ihdr.append(char(8));   // bits per channel
    ihdr.append(char(2));   // colour type: RGB
    ihdr.append(char(0));   // deflate
    ihdr.append(char(0));   // adaptive filtering (one filter byte per row)
    ihdr.append(char(0));   // no interlace
    chunk(out, "IHDR", ihdr);
    if (dpi > 0) {
        QByteArray phys;
        const auto perMetre = std::uint32_t(std::lround(dpi / 0.0254));
        put32(phys, perMetre);
        put32(phys, perMetre);
        phys.append(char(1));   // unit: metre
        chunk(out, "pHYs", phys);
    }
    std::uint32_t adler = 1;
    for (int i = 0; i < pieces; ++i) {
        const FlatePiece& p = done[size_t(i)];
        if (p.data.isEmpty() && p.rawLength > 0) return QByteArray();
        adler = combineAdler(adler, p.adler, p.rawLength);
        QByteArray data;
        if (i == 0) data = zlibHeader();
        data.append(p.data);
        if (i == pieces - 1) data.append(zlibTrailer(adler));
        chunk(out, "IDAT", data);
    }
    chunk(out, "IEND", QByteArray());
    return out;
}

SaveResult writeSheetPng(const QImage& image, const QString& path, int dpi) {
    const QByteArray png = encodeSheetPng(image, dpi);
    if (png.isEmpty()) {
        SaveResult failed;
        failed.reason = contentFailedText();
        failed.contentFailed = true;
        return failed;
    }
    return saveFile(path, png);
}
