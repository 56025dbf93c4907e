#include "render/fast/StraightFigureStamp.h"

#include "render/fast/DirectCanvas.h"
#include "render/GdiCanvas.h"
#include "render/fast/PixelRun.h"

#include <QImage>
#include <QMutex>
#include <QPainter>
#include <algorithm>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr QRgb Untouched = 0xFF000000u, PenMark = 0xFFFF0000u, BrushMark = 0xFF00FF00u;

}  // namespace

const StraightFigureStamp& StraightFigureStamp::of(Kind kind, int penWidth) {
    static QMutex mutex;
    static std::map<std::pair<int, int>, std::unique_ptr<StraightFigureStamp>> stamps;
    const QMutexLocker lock(&mutex);
    auto& slot = stamps[{int(kind), penWidth}];
    if (!slot) slot.reset(new StraightFigureStamp(kind, penWidth));
    return *slot;
}

StraightFigureStamp::StraightFigureStamp(Kind kind, int penWidth) : m_kind(kind) {
    m_margin = penWidth + 3;
    const int ref = 2 * m_margin + 1;
    m_refW = kind == Kind::LineDown ? 0 : ref;
    m_refH = kind == Kind::LineRight ? 0 : ref;
    m_stride = m_refW + 2 * m_margin;
    const int rows = m_refH + 2 * m_margin;
    // The reference drawing, with the figure's own primitives and pen.
    QImage img(m_stride, rows, QImage::Format_RGB32);
    img.fill(Untouched);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor::fromRgb(PenMark), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor::fromRgb(BrushMark));
        const int o = m_margin;
        switch (kind) {
        case Kind::Rectangle: gdi::Rectangle(p, o, o, o + m_refW, o + m_refH); break;
        case Kind::LineRight: gdi::Line(p, {o, o}, {o + m_refW, o}); break;
        case Kind::LineDown: gdi::Line(p, {o, o}, {o, o + m_refH}); break;
        }
    }
    m_cells.resize(size_t(m_stride) * size_t(rows));
    for (int y = 0; y < rows; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < m_stride; ++x)
            m_cells[size_t(y) * size_t(m_stride) + size_t(x)] =
                line[x] == PenMark ? 1 : line[x] == BrushMark ? 2 : 0;
    }
}

int StraightFigureStamp::refIndex(int offset, int size, int refSize) const {
    // offset counts from -margin; the figure's own size equals the
    // reference's or exceeds it, then its middle repeats the reference's.
    const int m = m_margin;
    if (size == refSize || offset < m) return offset + m;
    if (offset >= size - m) return offset - size + refSize + m;
    return 2 * m;   // the reference's middle, offset m from its edge
}

bool StraightFigureStamp::draw(const DirectCanvas& canvas, int x1, int y1, int x2, int y2, QRgb pen,
                               const QRgb* brush) const {
    if (m_kind == Kind::Rectangle) {
        if (x2 < x1) std::swap(x1, x2);
        if (y2 < y1) std::swap(y1, y2);
    }
    const long long w = (long long)x2 - x1, h = (long long)y2 - y1;
    const int minSize = 2 * m_margin + 1;
    if (m_kind != Kind::LineDown && (w < minSize || w > (1 << 30))) return false;
    if (m_kind != Kind::LineRight && (h < minSize || h > (1 << 30))) return false;
    if ((m_kind == Kind::LineRight && h != 0) || (m_kind == Kind::LineDown && w != 0)) return false;
    const int m = m_margin;
    const QRect reach = QRect(QPoint(0, 0), QPoint(int(w) + 2 * m - 1, int(h) + 2 * m - 1)).translated(x1 - m, y1 - m);
    if (!canvas.holds(reach)) return false;
    const QRect part = reach & canvas.clip();
    if (part.isEmpty()) return true;
    const quint32 colours[3] = {0, 0xFF000000u | pen, brush ? (0xFF000000u | *brush) : 0};
    const bool paintBrush = brush != nullptr;
    // Offsets from the figure's left edge: the clip's columns, and where the
    // repeated middle starts and ends [midFrom, midTo).
    const int left = part.left() - x1, right = part.right() + 1 - x1;
    const int W = int(w), H = int(h);
    const bool repeats = W != m_refW;
    const int midFrom = repeats ? m : W + m, midTo = repeats ? W - m : W + m;
    const int rightShift = m_refW + m - W;   // reference index minus offset, right of the middle
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const quint8* cells = m_cells.data() + size_t(refIndex(y - y1, H, m_refH)) * size_t(m_stride);
        quint32* const row = canvas.row(y);
        for (int x = std::max(-m, left), end = std::min(midFrom, right); x < end; ++x) {
            const quint8 c = cells[x + m];
            if (c == 1 || (c == 2 && paintBrush)) row[x1 + x] = colours[c];
        }
        if (midTo > midFrom) {
            const quint8 c = cells[2 * m];
            const int from = std::max(midFrom, left), to = std::min(midTo, right);
            if (to > from && (c == 1 || (c == 2 && paintBrush))) fillPixelRun(row + (x1 + from), to - from, colours[c]);
        }
        for (int x = std::max(std::max(midTo, midFrom), left), end = std::min(W + m, right); x < end; ++x) {
            const quint8 c = cells[x + rightShift];
            if (c == 1 || (c == 2 && paintBrush)) row[x1 + x] = colours[c];
        }
    }
    return true;
}
