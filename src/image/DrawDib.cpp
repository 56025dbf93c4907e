#include "image/DrawDib.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kCoordCut = 1 << 28;

int roundHalfEven(long double v) { return static_cast<int>(std::nearbyint(v)); }

// The destination area that can reach the device, in the painter's logical
// coordinates; the whole destination when the transform is not a plain shift.
QRect reachableArea(const QPainter& dc, const QRect& dest) {
    const QTransform t = dc.deviceTransform();
    QRect r = dest;
    if (t.type() <= QTransform::TxTranslate && dc.device()) {
        const QRect device(0, 0, dc.device()->width(), dc.device()->height());
        r &= device.translated(-int(t.dx()), -int(t.dy()));
    }
    if (dc.hasClipping()) r &= dc.clipBoundingRect().toAlignedRect();
    return r;
}

bool rasterDevice(const QPainter& dc) {
    const QPaintEngine* e = dc.paintEngine();
    return e && (e->type() == QPaintEngine::Raster);
}

// Nearest-neighbour scaling of the source rectangle into the part `part` of
// the destination `dest`. Transparent pixels get alpha 0.
QImage scalePart(const DibHandle& dib, int srcX, int topRow, int srcW, int srcH, const QRect& dest,
                 const QRect& part, std::int64_t key) {
    const QImage& src = dib.image();
    const bool keyed = key >= 0;
    const bool indexed = dib.hasPalette();
    const bool srcAlpha = !indexed && src.hasAlphaChannel();
    const QImage::Format fmt =
        (keyed || srcAlpha) ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage out(part.size(), fmt);
    if (out.isNull()) return out;

    const int iw = src.width(), ih = src.height();
    const int dw = dest.width(), dh = dest.height();
    std::vector<int> cols(static_cast<size_t>(part.width()));
    for (int i = 0; i < part.width(); ++i) {
        const long long di = part.left() - dest.left() + i;
        cols[size_t(i)] = static_cast<int>(srcX + static_cast<long long>(srcW) * di / dw);
    }
    QVector<QRgb> table;
    if (indexed) {
        table = src.colorTable();
        table.resize(256);
        for (QRgb& c : table) c = c | 0xFF000000u;   // palette colours are opaque
    }
    const QRgb blackOrEntry0 = indexed ? table[0] : 0xFF000000u;
    const quint32 keyValue = keyed ? static_cast<quint32>(key) : 0;

    for (int r = 0; r < part.height(); ++r) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(r));
        const long long dr = part.top() - dest.top() + r;
        const int t = static_cast<int>(topRow + static_cast<long long>(srcH) * dr / dh);
        if (t < 0 || t >= ih) {
            std::fill(line, line + part.width(), blackOrEntry0);
            continue;
        }
        if (indexed) {
            const uchar* s = src.constScanLine(t);
            for (int i = 0; i < part.width(); ++i) {
                const int c = cols[size_t(i)];
                if (c < 0 || c >= iw) { line[i] = blackOrEntry0; continue; }
                const uchar v = s[c];
                line[i] = (keyed && v == keyValue) ? 0u : table[v];
            }
        } else {
            const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(t));
            for (int i = 0; i < part.width(); ++i) {
                const int c = cols[size_t(i)];
                if (c < 0 || c >= iw) { line[i] = 0xFF000000u; continue; }
                QRgb v = s[c];
                if (keyed) {
                    const quint32 ref = quint32(qRed(v)) | (quint32(qGreen(v)) << 8) | (quint32(qBlue(v)) << 16);
                    if (ref == keyValue) { line[i] = 0u; continue; }
                }
                line[i] = srcAlpha ? qPremultiply(v) : (v | 0xFF000000u);
            }
        }
    }
    return out;
}

void drawScaled(QPainter& dc, const QRect& dest, const DibHandle& dib, int srcX, int topRow, int srcW,
                int srcH, std::int64_t key) {
    if (dest.width() <= 0 || dest.height() <= 0 || srcW <= 0 || srcH <= 0) return;
    const QRect part = reachableArea(dc, dest);
    if (part.isEmpty()) return;
    // Big parts are scaled a stripe at a time, so the temporary stays small.
    constexpr int kStripeBytes = 16 * 1024 * 1024;
    const int stripe = std::max(1, kStripeBytes / std::max(1, part.width() * 4));
    for (int y = part.top(); y <= part.bottom(); y += stripe) {
        const QRect piece(part.left(), y, part.width(), std::min(stripe, part.bottom() - y + 1));
        const QImage img = scalePart(dib, srcX, topRow, srcW, srcH, dest, piece, key);
        if (img.isNull()) return;
        dc.drawImage(piece.topLeft(), img);
    }
}

}  // namespace

int ScreenBitsPerPixel() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->depth() : 24;
}

DibClip clipDibSource(const DibClip& in, int width, int height) {
    DibClip c = in;
    if (c.SrcWidth > 0 && c.SrcX + c.SrcWidth > width) {
        const int kept = width - c.SrcX;
        c.DestWidth = roundHalfEven(static_cast<long double>(c.DestWidth) * kept / c.SrcWidth);
        c.SrcWidth = kept;
    }
    if (c.SrcHeight > 0 && c.SrcY < 0) {
        const int kept = c.SrcHeight + c.SrcY;
        c.DestHeight = roundHalfEven(static_cast<long double>(c.DestHeight) * kept / c.SrcHeight);
        c.SrcHeight = kept;
        c.SrcY = 0;
    }
    if (c.SrcHeight > 0 && c.SrcY + c.SrcHeight > height) {
        const int kept = height - c.SrcY;
        const int now = roundHalfEven(static_cast<long double>(c.DestHeight) * kept / c.SrcHeight);
        c.Y += c.DestHeight - now;
        c.DestHeight = now;
        c.SrcHeight = kept;
    }
    if (c.SrcWidth > 0 && c.SrcX < 0) {
        const int kept = c.SrcWidth + c.SrcX;
        const int now = roundHalfEven(static_cast<long double>(c.DestWidth) * kept / c.SrcWidth);
        c.X += c.DestWidth - now;
        c.DestWidth = now;
        c.SrcWidth = kept;
        c.SrcX = 0;
    }
    return c;
}

void DrawDib(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
             int SrcX, int SrcY, int SrcWidth, int SrcHeight, bool Halftone, std::uint32_t Rop,
             bool UseDibPalette) {
    Q_UNUSED(Rop);
    Q_UNUSED(UseDibPalette);
    if (image.isEmpty()) return;
    // Coordinates far beyond any device are cut down so that sums stay in range.
    auto cut = [](int v) { return std::clamp(v, -kCoordCut, kCoordCut); };
    const DibClip c = clipDibSource({cut(X), cut(Y), cut(DestWidth), cut(DestHeight), cut(SrcX), cut(SrcY),
                                     cut(SrcWidth), cut(SrcHeight)},
                                    image.DibWidth(), image.DibHeight());
    if (c.DestWidth <= 0 || c.DestHeight <= 0 || c.SrcWidth <= 0 || c.SrcHeight <= 0) return;
    const int topRow = image.DibHeight() - c.SrcY - c.SrcHeight;
    const QRect dest(c.X, c.Y, c.DestWidth, c.DestHeight);

    if (Halftone && image.DibBitCount() == 24 && ScreenBitsPerPixel() <= 8) {
        dc.save();
        dc.setRenderHint(QPainter::SmoothPixmapTransform, true);
        dc.drawImage(dest, image.image(), QRect(c.SrcX, topRow, c.SrcWidth, c.SrcHeight));
        dc.restore();
        return;
    }
    if (!rasterDevice(dc) && dc.deviceTransform().type() > QTransform::TxTranslate) {
        dc.drawImage(dest, image.image(), QRect(c.SrcX, topRow, c.SrcWidth, c.SrcHeight));
        return;
    }
    drawScaled(dc, dest, image, c.SrcX, topRow, c.SrcWidth, c.SrcHeight, -1);
}

void DrawDibTransparent(QPainter& dc, int X, int Y, int DestWidth, int DestHeight, const DibHandle& image,
                        std::int64_t transparentValue) {
    if (image.isEmpty()) return;
    auto cut = [](int v) { return std::clamp(v, -kCoordCut, kCoordCut); };
    drawScaled(dc, QRect(cut(X), cut(Y), cut(DestWidth), cut(DestHeight)), image, 0, 0, image.DibWidth(), image.DibHeight(),
               transparentValue);
}
