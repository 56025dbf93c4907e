#include "render/SelectionMarks.h"

#include "render/fast/DeviceGrid.h"

#include <QPainter>
#include <algorithm>

namespace {

bool isDirect32(const QImage& img) {
    switch (img.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

// One axis-aligned span of logical pixels [x1, x2) x [y1, y2), clipped to the
// image. Inverting is what a black pen does in NOT-XOR mix: not (black xor dst).
void paintSpan(QImage& img, int x1, int y1, int x2, int y2, bool invert) {
    const qreal ratio = img.devicePixelRatio();
    x1 = deviceEdge(x1, ratio);
    y1 = deviceEdge(y1, ratio);
    x2 = deviceEdge(x2, ratio);
    y2 = deviceEdge(y2, ratio);
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, img.width());
    y2 = std::min(y2, img.height());
    if (x1 >= x2 || y1 >= y2) return;
    if (isDirect32(img)) {
        // One detach check per span, not per row: a selection of thousands
        // of objects draws their frames' sides row by row.
        uchar* const bits = img.bits();
        const qsizetype stride = img.bytesPerLine();
        for (int y = y1; y < y2; ++y) {
            auto* line = reinterpret_cast<QRgb*>(bits + stride * y);
            if (invert) {
                for (int x = x1; x < x2; ++x) line[x] ^= 0x00FFFFFFu;
            } else {
                std::fill(line + x1, line + x2, 0xFF000000u);
            }
        }
        return;
    }
    QPainter p(&img);
    // The span is in device pixels already.
    p.scale(1 / ratio, 1 / ratio);
    if (invert) p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), Qt::black);
}

}  // namespace

void handleCentres(const QRect& r, QPoint out[8]) {
    const int X = r.x(), Y = r.y(), W = r.width(), H = r.height();
    out[0] = {X, Y};
    out[1] = {X + W, Y};
    out[2] = {X, Y + H};
    out[3] = {X + W, Y + H};
    out[4] = {X + W / 2, Y};
    out[5] = {X + W / 2, Y + H};
    out[6] = {X, Y + H / 2};
    out[7] = {X + W, Y + H / 2};
}

namespace {

// The frame is the outline of the end-exclusive rectangle (X, Y, X+W, Y+H).
// An empty side still shows one pixel so a flat object stays visible.
// The four sides never share a pixel, so the inverted frame erases itself.
template <typename Span>
void frameSpans(const QRect& objectRect, Span span) {
    int x1 = objectRect.x(), y1 = objectRect.y();
    int x2 = x1 + objectRect.width(), y2 = y1 + objectRect.height();
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    if (x2 == x1) ++x2;
    if (y2 == y1) ++y2;
    span(x1, y1, x2, y1 + 1);                                 // top
    if (y2 - 1 > y1) span(x1, y2 - 1, x2, y2);                // bottom
    if (y2 - 1 > y1 + 1) {
        span(x1, y1 + 1, x1 + 1, y2 - 1);                     // left
        if (x2 - 1 > x1) span(x2 - 1, y1 + 1, x2, y2 - 1);    // right
    }
}

}  // namespace

QRegion dragMarkPixels(const QRect& objectRect, const std::vector<int>& columns, const std::vector<int>& rows,
                       const QRect& area) {
    QRegion set;
    frameSpans(objectRect, [&](int x1, int y1, int x2, int y2) { set += QRect(x1, y1, x2 - x1, y2 - y1); });
    for (int x : columns) set += QRect(x, area.top(), 1, area.height());
    for (int y : rows) set += QRect(area.left(), y, area.width(), 1);
    return set;
}

void invertPixels(QImage& canvas, const QRegion& pixels) {
    if (canvas.isNull()) return;
    for (const QRect& r : pixels) paintSpan(canvas, r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), true);
}

void markrec(QImage& canvas, const QRect& objectRect, MarkStyle style) {
    if (canvas.isNull()) return;
    const bool invert = style == MarkStyle::InvertedFrame;
    frameSpans(objectRect, [&](int x1, int y1, int x2, int y2) { paintSpan(canvas, x1, y1, x2, y2, invert); });

    if (style != MarkStyle::FrameAndHandles) return;
    QPoint centres[8];
    handleCentres(objectRect, centres);
    for (const QPoint& c : centres) paintSpan(canvas, c.x() - 3, c.y() - 3, c.x() + 3, c.y() + 3, false);
}

void lockMark(QImage& canvas, const QRect& objectRect) {
    if (canvas.isNull()) return;
    const int x = objectRect.x() + objectRect.width() - 9, y = objectRect.y() + 2;
    // Shackle: a bar and two legs; body: a filled block with the keyhole
    // left as it was. No pixel is inverted twice.
    paintSpan(canvas, x + 2, y, x + 5, y + 1, true);
    paintSpan(canvas, x + 1, y + 1, x + 2, y + 3, true);
    paintSpan(canvas, x + 5, y + 1, x + 6, y + 3, true);
    paintSpan(canvas, x, y + 3, x + 7, y + 5, true);
    paintSpan(canvas, x, y + 5, x + 3, y + 6, true);
    paintSpan(canvas, x + 4, y + 5, x + 7, y + 6, true);
    paintSpan(canvas, x, y + 6, x + 7, y + 8, true);
}
