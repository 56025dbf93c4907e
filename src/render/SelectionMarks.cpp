#include "render/SelectionMarks.h"

#include "render/fast/DeviceGrid.h"

#include <QPainter>
#include <algorithm>
#include <limits>

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

InvertedFrames::InvertedFrames(QImage& canvas) : m_canvas(canvas) {
    if (canvas.isNull()) return;
    m_direct = isDirect32(canvas);
    if (!m_direct) return;
    m_width = canvas.width();
    m_height = canvas.height();
    m_words = (m_width + 63) / 64;
}

void InvertedFrames::add(const QRect& objectRect) {
    if (m_canvas.isNull()) return;
    if (!m_direct) {
        markrec(m_canvas, objectRect, MarkStyle::InvertedFrame);
        return;
    }
    // Outside the buffer (a pixel of room for an empty side): nothing shows.
    const QRect r = objectRect.normalized();
    const qreal ratio = m_canvas.devicePixelRatio();
    const int logicalWidth = static_cast<int>(m_width / ratio) + 2, logicalHeight = static_cast<int>(m_height / ratio) + 2;
    if (r.left() > logicalWidth || r.top() > logicalHeight || r.right() < -2 || r.bottom() < -2) return;
    if (m_plane.empty()) m_plane.assign(static_cast<size_t>(m_words) * static_cast<size_t>(m_height), 0);
    frameSpans(objectRect, [&](int x1, int y1, int x2, int y2) {
        flipSpan(deviceEdge(x1, ratio), deviceEdge(y1, ratio), deviceEdge(x2, ratio), deviceEdge(y2, ratio));
    });
}

void InvertedFrames::flipSpan(int x1, int y1, int x2, int y2) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, m_width);
    y2 = std::min(y2, m_height);
    if (x1 >= x2 || y1 >= y2) return;
    m_top = std::min(m_top, y1);
    m_bottom = std::max(m_bottom, y2 - 1);
    const int w1 = x1 >> 6, w2 = (x2 - 1) >> 6;
    const std::uint64_t first = ~std::uint64_t(0) << (x1 & 63);
    const std::uint64_t last = ~std::uint64_t(0) >> (63 - ((x2 - 1) & 63));
    std::uint64_t* row = m_plane.data() + static_cast<size_t>(y1) * static_cast<size_t>(m_words);
    if (w1 == w2) {
        // A side one word wide, typically one pixel: a column of single bits.
        const std::uint64_t bits = first & last;
        for (int y = y1; y < y2; ++y, row += m_words) row[w1] ^= bits;
        return;
    }
    for (int y = y1; y < y2; ++y, row += m_words) {
        row[w1] ^= first;
        for (int w = w1 + 1; w < w2; ++w) row[w] = ~row[w];
        row[w2] ^= last;
    }
}

void InvertedFrames::finish() {
    if (m_plane.empty()) return;
    if (m_top <= m_bottom) {
        // One detach check for the whole plane.
        uchar* const bits = m_canvas.bits();
        const qsizetype stride = m_canvas.bytesPerLine();
        for (int y = m_top; y <= m_bottom; ++y) {
            std::uint64_t* row = m_plane.data() + static_cast<size_t>(y) * static_cast<size_t>(m_words);
            auto* line = reinterpret_cast<QRgb*>(bits + stride * y);
            for (int w = 0; w < m_words; ++w) {
                std::uint64_t word = row[w];
                if (word == 0) continue;
                QRgb* px = line + w * 64;
                if (word == ~std::uint64_t(0)) {
                    for (int i = 0; i < 64; ++i) px[i] ^= 0x00FFFFFFu;
                } else {
                    while (word) {
                        px[__builtin_ctzll(word)] ^= 0x00FFFFFFu;
                        word &= word - 1;
                    }
                }
            }
        }
    }
    m_plane.clear();
    m_top = std::numeric_limits<int>::max();
    m_bottom = -1;
}
