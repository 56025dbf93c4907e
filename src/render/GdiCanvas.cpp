#include "render/GdiCanvas.h"

#include "render/fast/DeviceGrid.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace gdi {
namespace {

// Normalises a rectangle given by two corners; false when it is empty.
bool normalise(int& x1, int& y1, int& x2, int& y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    return x2 > x1 && y2 > y1;
}

bool thinPen(const QPainter& p) { return p.pen().style() != Qt::NoPen && p.pen().width() <= 1; }

}  // namespace

void Rectangle(QPainter& p, int x1, int y1, int x2, int y2) {
    if (!normalise(x1, y1, x2, y2)) return;
    if (thinPen(p) || p.pen().style() == Qt::NoPen) {
        // Fill and outline separately so that the pen's colour covers the
        // edge pixels once, also under raster operations.
        if (p.brush().style() != Qt::NoBrush && x2 - x1 > 2 && y2 - y1 > 2)
            p.fillRect(QRect(x1 + 1, y1 + 1, x2 - x1 - 2, y2 - y1 - 2), p.brush());
        if (p.pen().style() == Qt::NoPen) return;
        const QColor c = p.pen().color();
        const int w = x2 - x1, h = y2 - y1;
        p.fillRect(QRect(x1, y1, w, 1), c);
        if (h > 1) p.fillRect(QRect(x1, y2 - 1, w, 1), c);
        if (h > 2) {
            p.fillRect(QRect(x1, y1 + 1, 1, h - 2), c);
            if (w > 1) p.fillRect(QRect(x2 - 1, y1 + 1, 1, h - 2), c);
        }
        return;
    }
    p.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void Ellipse(QPainter& p, int x1, int y1, int x2, int y2) {
    if (!normalise(x1, y1, x2, y2)) return;
    p.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void RoundRect(QPainter& p, int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
    if (!normalise(x1, y1, x2, y2)) return;
    const int rw = std::abs(cornerW), rh = std::abs(cornerH);
    if (rw < 2 || rh < 2) {
        Rectangle(p, x1, y1, x2, y2);
        return;
    }
    // Pixel centres: a rounded path on the integer grid loses its last row
    // when the corner radius reaches half the side.
    p.drawRoundedRect(QRectF(x1 + 0.5, y1 + 0.5, x2 - x1 - 1, y2 - y1 - 1), rw / 2.0, rh / 2.0,
                      Qt::AbsoluteSize);
}

void FillRect(QPainter& p, int x1, int y1, int x2, int y2) {
    if (!normalise(x1, y1, x2, y2)) return;
    p.fillRect(QRect(x1, y1, x2 - x1, y2 - y1), p.brush());
}

void linePixels(QPoint a, QPoint b, std::vector<QPoint>& out, const QRect& clip) {
    forLinePixels(a, b, clip, [&out](long long, QPoint pt) { out.push_back(pt); });
}

void Line(QPainter& p, QPoint a, QPoint b, const QRect& clip) {
    if (p.pen().style() == Qt::NoPen) return;
    if (!thinPen(p)) {
        p.drawLine(a, b);
        return;
    }
    const QColor c = p.pen().color();
    if (a.y() == b.y()) {
        const int len = std::abs(b.x() - a.x());
        if (len == 0) return;
        p.fillRect(QRect(b.x() > a.x() ? a.x() : b.x() + 1, a.y(), len, 1), c);
        return;
    }
    if (a.x() == b.x()) {
        const int len = std::abs(b.y() - a.y());
        p.fillRect(QRect(a.x(), b.y() > a.y() ? a.y() : b.y() + 1, 1, len), c);
        return;
    }
    std::vector<QPoint> pts;
    linePixels(a, b, pts, clip);
    if (pts.empty()) return;
    if (painterPixelRatio(p) != 1.0) {
        for (const QPoint& pt : pts) p.fillRect(QRect(pt, QSize(1, 1)), c);
        return;
    }
    p.drawPoints(pts.data(), static_cast<int>(pts.size()));
}

void dottedGapPixels(const std::vector<QPoint>& polyline, std::vector<QPoint>& out, const QRect& clip) {
    for (size_t i = 1; i < polyline.size(); ++i)
        forLinePixels(polyline[i - 1], polyline[i], clip, [&out](long long k, QPoint pt) {
            if (k % (DotOn + DotOff) >= DotOn) out.push_back(pt);
        });
}

void wideDottedGapPixels(const std::vector<std::vector<QPoint>>& polylines, int width, std::vector<QPoint>& out,
                         const QRect& clip) {
    const long long period = static_cast<long long>(DotOn + DotOff) * width, on = static_cast<long long>(DotOn) * width;
    // A line just outside the clip still reaches into it with its width.
    const QRect reach = clip.isNull() ? clip : clip.adjusted(-width, -width, width, width);
    const int before = (width - 1) / 2, after = width / 2;
    const size_t first = out.size();
    for (const auto& line : polylines)
        for (size_t i = 1; i < line.size(); ++i) {
            const QPoint a = line[i - 1], b = line[i];
            // The width lies across the line's longer axis, as the one-pixel line's steps do.
            const bool xMajor = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
            forLinePixels(a, b, reach, [&](long long k, QPoint pt) {
                if (k % period < on) return;
                for (int d = -before; d <= after; ++d) {
                    const QPoint q = xMajor ? QPoint(pt.x(), pt.y() + d) : QPoint(pt.x() + d, pt.y());
                    if (clip.isNull() || clip.contains(q)) out.push_back(q);
                }
            });
        }
    auto byRow = [](const QPoint& u, const QPoint& v) { return u.y() != v.y() ? u.y() < v.y() : u.x() < v.x(); };
    std::sort(out.begin() + first, out.end(), byRow);
    out.erase(std::unique(out.begin() + first, out.end()), out.end());
}

void drawXorDottedPolylines(QPainter& p, const std::vector<std::vector<QPoint>>& polylines, const QRect& clip,
                            int width) {
    std::vector<QPoint> gaps;
    if (width > 1) {
        wideDottedGapPixels(polylines, width, gaps, clip);
    } else {
        for (const auto& line : polylines) dottedGapPixels(line, gaps, clip);
    }
    if (gaps.empty()) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    const bool rasterOps = p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    if (rasterOps) {
        // White XOR destination inverts; the black dots would XOR nothing.
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(QColor(255, 255, 255), 1));
    } else {
        p.setPen(QPen(QColor(0, 0, 0), 1));
    }
    if (painterPixelRatio(p) != 1.0) {
        // On a high-density buffer every gap is a whole logical pixel on the
        // device grid: points would be squares placed by their centres, which
        // at fractional ratios can invert a device pixel twice or leave one out.
        const QColor c = p.pen().color();
        for (const QPoint& gap : gaps) p.fillRect(QRect(gap, QSize(1, 1)), c);
    } else {
        p.drawPoints(gaps.data(), static_cast<int>(gaps.size()));
    }
    p.restore();
}

}  // namespace gdi
