#include "render/fast/FigurePlan.h"

#include "image/RenderThreads.h"
#include "model/BoxDocument.h"
#include "render/ColorRef.h"
#include "render/fast/CoverageTiles.h"
#include "render/fast/FigureMask.h"
#include "render/FigureRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int FiguresPerItem = 256;
// Covers only from figures whose corners the painter handles in its exact
// integer range.
constexpr int MaxCoverCoord = 1 << 15;

bool fillsInside(const Tobs& o) {
    return o.Shape >= shCircle && o.Shape <= shRoundRect &&
           (o.FillModeOrShadowColor == fmFilled || o.FillModeOrShadowColor == fmFilledBorder);
}

// The whole pixels of the rectangle centred on (cx, cy) with the half
// sizes given, rounded inwards; null when there are none.
QRect spanAround(double cx, double halfW, double cy, double halfH) {
    const int l = int(std::ceil(cx - halfW)), r = int(std::floor(cx + halfW));
    const int t = int(std::ceil(cy - halfH)), b = int(std::floor(cy + halfH));
    return r >= l && b >= t ? QRect(QPoint(l, t), QPoint(r, b)) : QRect();
}

// Records what a filled figure paints for certain with its brush (or pen):
// the inside of a rectangle, the rectangle within an ellipse, and for a
// rounded rectangle also the cross its corners leave, each shrunk by two
// pixels against rounding.
void coverInside(CoverageTiles& tiles, const Tobs& o, const PlannedFigure& f) {
    const auto [X, Y, W, H] = f.rect;
    int w = W, h = H;
    if (o.Shape == shCircle || o.Shape == shSquare || o.Shape == shRoundSquare) w = h = std::min(W, H);
    if (w < 6 || h < 6) return;
    if (std::abs(X) > MaxCoverCoord || std::abs(Y) > MaxCoverCoord || w > MaxCoverCoord || h > MaxCoverCoord) return;
    const int x2 = X + w, y2 = Y + h;
    if (o.Shape == shSquare || o.Shape == shRectangle) {
        tiles.cover(QRect(QPoint(X + 2, Y + 2), QPoint(x2 - 3, y2 - 3)));
        return;
    }
    // The painter's ellipse spans the pixel rectangle (X, Y, w - 1, h - 1).
    const double cx = X + (w - 1) / 2.0, cy = Y + (h - 1) / 2.0, a = (w - 1) / 2.0, b = (h - 1) / 2.0;
    tiles.cover(spanAround(cx, a * M_SQRT1_2 - 2, cy, b * M_SQRT1_2 - 2));
    if (o.Shape == shEllipse || o.Shape == shCircle) return;
    const int rw = std::abs(W / 3), rh = std::abs(H / 3);
    if (rw < 2 || rh < 2) {   // drawn as a plain rectangle
        tiles.cover(QRect(QPoint(X + 2, Y + 2), QPoint(x2 - 3, y2 - 3)));
        return;
    }
    const double rx = std::min(rw / 2.0, a), ry = std::min(rh / 2.0, b);
    tiles.cover(spanAround(cx, a - rx - 2, cy, b - 2));
    tiles.cover(spanAround(cx, a - 2, cy, b - ry - 2));
}

}  // namespace

FigurePlan::FigurePlan(const BoxDocument& doc, const RenderParams& params, const QRect& region, qreal ratio)
    : m_index(size_t(ObjectTable::Capacity) + 1, -1), m_ratio(ratio) {
    m_figures.reserve(size_t(ObjectTable::Capacity));
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        if (doc.Objects[slot].Kind != Figure) continue;
        m_index[size_t(slot)] = int(m_figures.size());
        m_figures.emplace_back().slot = slot;
    }
    const int count = int(m_figures.size());
    parallelFor((count + FiguresPerItem - 1) / FiguresPerItem, [&](int item) {
        for (int i = item * FiguresPerItem, end = std::min(i + FiguresPerItem, count); i < end; ++i) {
            PlannedFigure& f = m_figures[size_t(i)];
            const Tobs& o = doc.Objects[f.slot];
            f.rect = deviceRect(o, params);
            f.penWidth = std::min(figurePenWidth(o.LineWidthOrTransColor, params.mapping.Scale()), 32767);
            f.reach = figureReach(o, f.rect, f.penWidth);
        }
    });
    resolveColours(doc);
    findHidden(doc, region);
    makeMasks(doc);
    m_visits.reserve(m_figures.size());
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const auto kind = doc.Objects[slot].Kind;
        if (kind == Text || kind == Image) {
            m_visits.push_back({slot, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()});
        } else if (kind == Figure) {
            const PlannedFigure& f = m_figures[size_t(m_index[size_t(slot)])];
            if (!f.hidden) m_visits.push_back({slot, f.reach.top(), f.reach.bottom()});
        }
    }
}

const PlannedFigure* FigurePlan::of(int slot) const {
    if (slot < 1 || slot > ObjectTable::Capacity || m_index[size_t(slot)] < 0) return nullptr;
    return &m_figures[size_t(m_index[size_t(slot)])];
}

void FigurePlan::resolveColours(const BoxDocument& doc) {
    // The colours each figure leaves for the next, as the pass hands them on.
    QRgb pen = 0, brush = 0;
    bool penFromCanvas = true, brushFromCanvas = true;
    auto rgb = [](std::int32_t ref) { return colorFromRef(ref).rgb(); };
    for (PlannedFigure& f : m_figures) {
        const Tobs& o = doc.Objects[f.slot];
        if (o.Shape >= shLineH && o.Shape <= shLineDown) {
            pen = brush = rgb(o.Color);
            penFromCanvas = brushFromCanvas = false;
        } else if (o.FillModeOrShadowColor == fmFilled) {
            pen = brush = rgb(o.Color);
            penFromCanvas = brushFromCanvas = false;
        } else if (o.FillModeOrShadowColor == fmBorder) {
            pen = rgb(o.BorderOrOutlineColor);
            penFromCanvas = false;
            f.brushSolid = false;
        } else if (o.FillModeOrShadowColor == fmFilledBorder) {
            pen = rgb(o.BorderOrOutlineColor);
            brush = rgb(o.Color);
            penFromCanvas = brushFromCanvas = false;
        }
        f.pen = pen;
        f.brush = brush;
        f.penFromCanvas = penFromCanvas;
        f.brushFromCanvas = brushFromCanvas;
    }
}

void FigurePlan::findHidden(const BoxDocument& doc, const QRect& region) {
    // Front to back: a figure is hidden when the figures after it cover all
    // it can reach.
    CoverageTiles tiles(region);
    for (auto it = m_figures.rbegin(); it != m_figures.rend(); ++it) {
        PlannedFigure& f = *it;
        const QRect reach = f.reach & region;
        if (reach.isEmpty() || tiles.covers(reach)) {
            f.hidden = true;
            continue;
        }
        const Tobs& o = doc.Objects[f.slot];
        if (fillsInside(o)) coverInside(tiles, o, f);
    }
}

void FigurePlan::makeMasks(const BoxDocument& doc) {
    std::vector<PlannedFigure*> wanted;
    for (PlannedFigure& f : m_figures) {
        if (f.hidden) continue;
        const Tobs& o = doc.Objects[f.slot];
        // Straight stamps write squares, rectangles and level or upright
        // lines but on a high-density canvas.
        const bool straight = o.Shape == shSquare || o.Shape == shRectangle || o.Shape == shLineH || o.Shape == shLineV;
        if (straight && m_ratio == 1.0) continue;
        // 1-pixel slanted lines go straight in without a mask (not on a
        // high-density canvas, where only masks write directly).
        if ((o.Shape == shLineUp || o.Shape == shLineDown) && f.penWidth == 1 && m_ratio == 1.0) continue;
        wanted.push_back(&f);
    }
    // Alike pens and brushes together: the masks' painter keeps its pen and
    // brush from one to the next.
    std::stable_sort(wanted.begin(), wanted.end(), [&doc](const PlannedFigure* a, const PlannedFigure* b) {
        const bool brushA = doc.Objects[a->slot].FillModeOrShadowColor != fmBorder;
        const bool brushB = doc.Objects[b->slot].FillModeOrShadowColor != fmBorder;
        return a->penWidth != b->penWidth ? a->penWidth < b->penWidth : brushA < brushB;
    });
    constexpr int PerItem = 32;
    parallelFor(int((wanted.size() + PerItem - 1) / PerItem), [&](int item) {
        const size_t first = size_t(item) * PerItem, last = std::min(first + PerItem, wanted.size());
        for (size_t i = first; i < last; ++i) {
            PlannedFigure& f = *wanted[i];
            FigureMask::Figure shape;
            if (figureMaskShape(doc.Objects[f.slot], f.rect, f.penWidth, shape, m_ratio))
                f.mask = FigureMask::prepare(shape, m_ratio);
        }
    });
}
