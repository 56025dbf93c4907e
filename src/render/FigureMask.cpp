#include "render/FigureMask.h"

#include "render/DirectCanvas.h"
#include "render/GdiCanvas.h"

#include <QImage>
#include <QMutex>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <utility>

namespace {

constexpr QRgb Untouched = 0xFF000000u, PenMark = 0xFFFF0000u, BrushMark = 0xFF00FF00u;
// Figures up to this many pixels a side, with pens up to this wide, placed
// where a double still counts whole pixels exactly after the curve maths.
constexpr int MaxSide = 512, MaxPen = 64, MaxCoord = 1 << 15;
constexpr size_t BudgetBytes = size_t(48) << 20;

using Masks = std::map<std::tuple<int, int, int, int, int, int, bool>, std::shared_ptr<const FigureMask>>;
QMutex g_mutex;
Masks* g_masks = nullptr;
size_t g_bytes = 0;

}  // namespace

void FigureMask::forgetAll() {
    const QMutexLocker lock(&g_mutex);
    if (g_masks) g_masks->clear();
    g_bytes = 0;
}

FigureMask::FigureMask(const Key& key) {
    // Thin flat ellipses reach beyond their rectangle: a margin that grows
    // with the figure, and a mask whose drawing touched the margin's outer
    // edge is not used.
    m_margin = key.pen + 4 + (key.pen == 1 ? std::max(key.w, key.h) / 4 : 0);
    const int m = m_margin, w = key.w, h = key.h;
    // One painter per thread for all the masks it makes.
    struct Scratch {
        QImage image;
        QPainter painter;
    };
    thread_local std::unique_ptr<Scratch> scratch;
    if (!scratch || scratch->image.width() < w + 2 * m || scratch->image.height() < h + 2 * m) {
        const int side = std::max({w + 2 * m, h + 2 * m, scratch ? scratch->image.width() : 0, 256});
        scratch.reset();
        scratch.reset(new Scratch{QImage(side, side, QImage::Format_RGB32), QPainter()});
        scratch->painter.begin(&scratch->image);
        scratch->painter.setRenderHint(QPainter::Antialiasing, false);
    }
    QPainter& p = scratch->painter;
    const QRect used(0, 0, w + 2 * m, h + 2 * m);
    p.fillRect(used, QColor::fromRgb(Untouched));
    p.setPen(QPen(QColor::fromRgb(PenMark), key.pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // With and without a brush apart: the painter's thin ellipses place
    // their outline differently when they are filled.
    p.setBrush(key.brush ? QBrush(QColor::fromRgb(BrushMark)) : QBrush(Qt::NoBrush));
    if (key.kind == quint8(Kind::Ellipse)) gdi::Ellipse(p, m, m, m + w, m + h);
    else gdi::RoundRect(p, m, m, m + w, m + h, key.cornerW, key.cornerH);
    const QImage& img = scratch->image;
    const int width = used.width(), height = used.height();
    m_rowStart.reserve(size_t(height) + 1);
    for (int y = 0; y < height; ++y) {
        m_rowStart.push_back(quint32(m_runs.size()));
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < width;) {
            const QRgb c = line[x];
            int end = x + 1;
            while (end < width && line[end] == c) ++end;
            if (c == PenMark || c == BrushMark) m_runs.push_back({qint16(x - m), qint16(end - m), quint8(c == BrushMark)});
            x = end;
        }
    }
    m_rowStart.push_back(quint32(m_runs.size()));
    int top = height, bottom = -1, left = width, right = -1;
    for (int r = 0; r < height; ++r) {
        const quint32 first = m_rowStart[size_t(r)], last = m_rowStart[size_t(r) + 1];
        if (first == last) continue;
        top = std::min(top, r);
        bottom = r;
        left = std::min(left, m_runs[first].from + m);
        right = std::max(right, m_runs[last - 1].to + m - 1);
    }
    if (bottom < 0) return;   // draws nothing: an empty reach
    m_usable = top > 0 && left > 0 && bottom < height - 1 && right < width - 1;
    m_reach = QRect(QPoint(left - m, top - m), QPoint(right - m, bottom - m));
}

std::shared_ptr<const FigureMask> FigureMask::of(const Key& key) {
    const auto k = std::make_tuple(int(key.kind), key.w, key.h, key.cornerW, key.cornerH, key.pen, key.brush);
    {
        const QMutexLocker lock(&g_mutex);
        if (!g_masks) g_masks = new Masks;
        auto it = g_masks->find(k);
        if (it == g_masks->end()) {
            // A figure seen once goes through the painter: most figures of a
            // first paint are one of a kind, and a mask costs more than that.
            if (g_bytes > BudgetBytes) {
                g_masks->clear();
                g_bytes = 0;
            }
            g_masks->emplace(k, nullptr);
            g_bytes += 64;
            return nullptr;
        }
        if (it->second) return it->second;
    }
    // Made outside the lock, so that the other threads go on drawing.
    std::shared_ptr<const FigureMask> mask(new FigureMask(key));
    const QMutexLocker lock(&g_mutex);
    std::shared_ptr<const FigureMask>& slot = (*g_masks)[k];
    if (!slot) {
        slot = mask;
        g_bytes += mask->m_runs.size() * sizeof(Run) + mask->m_rowStart.size() * sizeof(quint32);
    }
    return slot;
}

bool FigureMask::draw(const DirectCanvas& canvas, Kind kind, int x1, int y1, int x2, int y2, int cornerW,
                      int cornerH, int penWidth, QRgb pen, const QRgb* brush) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    const int w = x2 - x1, h = y2 - y1;
    if (w <= 0 || h <= 0) return true;   // the painter draws nothing either
    if (w > MaxSide || h > MaxSide || penWidth > MaxPen || std::abs(x1) > MaxCoord || std::abs(y1) > MaxCoord)
        return false;
    // A pen as wide as the hole it leaves turns the stroke's inner edge
    // inside out; where its pixels fall then depends on the place.
    if (penWidth > 1 && 2 * penWidth >= std::min(w, h)) return false;
    Key key{quint8(kind), w, h, 0, 0, penWidth, brush != nullptr};
    if (kind == Kind::RoundRect) {
        key.cornerW = std::abs(cornerW);
        key.cornerH = std::abs(cornerH);
        // A corner that makes it a plain rectangle, or one far beyond the
        // figure's size (the painter caps it): not worth a mask.
        if (key.cornerW < 2 || key.cornerH < 2 || key.cornerW > 2 * MaxSide || key.cornerH > 2 * MaxSide)
            return false;
        if (penWidth > 1 && 2 * penWidth >= std::min(key.cornerW, key.cornerH)) return false;
    }
    // Far off the clip costs nothing to skip; the mask tells the exact reach.
    const int far = penWidth + 4 + std::max(w, h);
    if (!QRect(x1 - far, y1 - far, w + 2 * far, h + 2 * far).intersects(canvas.clip())) return false;
    const std::shared_ptr<const FigureMask> mask = of(key);
    if (!mask || !mask->m_usable) return false;
    const QRect reach = mask->m_reach.translated(x1, y1);
    if (!canvas.holds(reach)) return false;
    const QRect part = reach & canvas.clip();
    if (part.isEmpty()) return true;
    const int m = mask->m_margin;
    const quint32 colours[2] = {0xFF000000u | pen, brush ? (0xFF000000u | *brush) : 0u};
    for (int y = part.top(); y <= part.bottom(); ++y) {
        const int r = y - y1 + m;
        quint32* const row = canvas.row(y);
        for (quint32 i = mask->m_rowStart[size_t(r)], end = mask->m_rowStart[size_t(r) + 1]; i < end; ++i) {
            const Run& run = mask->m_runs[i];
            const int from = std::max(x1 + run.from, part.left()), to = std::min(x1 + run.to, part.right() + 1);
            if (to > from) std::fill(row + from, row + to, colours[run.brush]);
        }
    }
    return true;
}
