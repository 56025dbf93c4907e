#include "render/DrawVCart.h"

#include "base/Units.h"
#include "model/BoxDocument.h"
#include "box/BoxNet.h"
#include "render/fast/DirectCanvas.h"
#include "render/fast/FigurePlan.h"
#include "render/FigureRenderer.h"
#include "render/GdiCanvas.h"
#include "render/ImageRenderer.h"
#include "render/PassProgress.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>
#include "render/TextRenderer.h"

#include <QHash>
#include <QMutex>
#include <QPaintDevice>
#include <QSet>
#include <QPainter>
#include <QTransform>

namespace {
// Passes of this thread (its own, and jobs waiting for the pool).
thread_local int t_passDepth = 0;
// Canvases that a pass draws on, on any thread.
QMutex g_canvasMutex;
QSet<const QPaintDevice*> g_canvases;

void setPenColor(QPainter& p, const QColor& c) {
    QPen pen = p.pen();
    pen.setColor(c);
    p.setPen(pen);
}

// The part of the canvas, in painter coordinates, that drawing can change:
// the device's rectangle and the clip. Null when unknown (a rotating or
// scaling transform): then everything is drawn.
QRect reachableArea(const QPainter& canvas) {
    const QPaintDevice* dev = canvas.device();
    // Into the device's own rectangle: without a widget's offset in its window.
    // On a high-density buffer the device's size in pixels is more than its
    // logical size: the area is larger than needed, never smaller.
    const QTransform t = canvas.combinedTransform();
    if (!dev) return QRect();
    QRect r;
    if (t.type() <= QTransform::TxTranslate) {
        r = QRect(0, 0, dev->width(), dev->height()).translated(-qRound(t.dx()), -qRound(t.dy()));
    } else if (t.type() == QTransform::TxScale && t.m11() > 0 && t.m22() > 0) {
        // A high-density image's scale: its device pixels in logical ones,
        // a pixel more on each side against rounding.
        r = t.inverted().mapRect(QRectF(0, 0, dev->width(), dev->height())).toAlignedRect().adjusted(-1, -1, 1, 1);
    } else {
        return QRect();
    }
    if (canvas.hasClipping()) r &= canvas.clipBoundingRect().toAlignedRect();
    // Nothing reachable: a rectangle that is empty but not null intersects nothing.
    if (r.isEmpty()) return QRect(QPoint(0, 0), QPoint(-2, -2));
    return r;
}

int drawnObjects(const BoxDocument& doc) {
    int n = 0;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const auto kind = doc.Objects[slot].Kind;
        if (kind == Figure || kind == Text || kind == Image) ++n;
    }
    return n;
}

// The device pixels each picture may leave out: on paper, a drawing leaves
// out what drawings after it cover opaquely, since drawings at print
// resolution are the slowest part of a sheet. Not in the editor: its
// drawings are kept as drawn, and would be drawn again whenever a picture
// over them moved.
class LaterCovers {
public:
    LaterCovers(const QPainter& canvas, const BoxDocument& doc, const RenderParams& params) {
        if (params.EditorView) return;
        // A drawing placed more than once is drawn once for all its
        // places, which is cheaper than each leaving out what covers it there.
        QHash<const VectorArt*, int> places;
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
            if (doc.Objects[slot].Kind == Image && doc.Objects[slot].Picture.isVector())
                ++places[doc.Objects[slot].Picture.vectorArt()];
        if (places.isEmpty()) return;
        counts_.assign(ObjectTable::Capacity + 1, 0);
        for (int slot = ObjectTable::Capacity; slot >= 1; --slot) {
            const Tobs& o = doc.Objects[slot];
            if (o.Kind != Image || !o.Picture.isVector()) continue;
            if (places.value(o.Picture.vectorArt()) == 1) counts_[slot] = int(covers_.size());
            for (const QRect& r : imageObjectCover(canvas, o, params))
                if (covers_.size() < kMostCovers) covers_.push_back(r);
        }
    }
    // What the drawings after the slot's cover.
    std::vector<QRect> over(int slot) const {
        if (counts_.empty()) return {};
        return std::vector<QRect>(covers_.begin(), covers_.begin() + counts_[size_t(slot)]);
    }

private:
    // Covers looked through per picture, at most: the topmost.
    static constexpr size_t kMostCovers = 256;
    std::vector<QRect> covers_;   // from the top down
    std::vector<int> counts_;     // by slot: how many of them come after it
};

// The pen and brush a pass leaves behind, also when it was stopped half-way.
struct FinalPen {
    QPainter& canvas;
    ~FinalPen() {
        canvas.setPen(QPen(QColor(0, 0, 0), 1, Qt::SolidLine));
        canvas.setBrush(QBrush(QColor(255, 255, 255), Qt::SolidPattern));
        canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
};
}  // namespace

bool Painting() { return t_passDepth > 0; }

bool Painting(const QPaintDevice* canvas) {
    const QMutexLocker lock(&g_canvasMutex);
    return g_canvases.contains(canvas);
}

DeviceRect deviceRect(const Tobs& o, const RenderParams& params) {
    const Mapping& m = params.mapping;
    return DeviceRect{clampCoord(static_cast<long long>(m.DevLeft(o)) - params.OffsetX),
                      clampCoord(static_cast<long long>(m.DevTop(o)) - params.OffsetY), clampCoord(m.DevWidth(o)),
                      clampCoord(m.DevHeight(o))};
}

PaintingGuard::PaintingGuard(const QPaintDevice* canvas) : m_canvas(canvas) {
    if (canvas) {
        const QMutexLocker lock(&g_canvasMutex);
        m_active = !g_canvases.contains(canvas);
        if (m_active) g_canvases.insert(canvas);
    } else {
        m_active = t_passDepth == 0;
    }
    if (m_active) ++t_passDepth;
}

PaintingGuard::~PaintingGuard() {
    if (!m_active) return;
    --t_passDepth;
    if (m_canvas) {
        const QMutexLocker lock(&g_canvasMutex);
        g_canvases.remove(m_canvas);
    }
}

bool DrawVCart(QPainter& canvas, const BoxDocument& doc, const RenderParams& params) {
    PaintingGuard guard(canvas.device());
    if (!guard.active()) return false;
    PassProgress progress(params.Progress, params.Progress ? drawnObjects(doc) : 0);
    if (!goOn(params.Progress, 0)) return false;
    const FinalPen finalPen{canvas};

    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    setPenColor(canvas, QColor(255, 255, 255));

    const BoxArea area =
        boxAreaFor(params.AreaWidth, params.AreaHeight, params.OffsetX, params.OffsetY, params.EditorView);

    drawBackground(canvas, doc, area, params);

    const QRect visible = reachableArea(canvas);
    // Step 2 made the pen white; the brush is what the caller left.
    FigureCanvasState figureState{QColor(255, 255, 255), canvas.brush().color()};
    const DirectCanvas direct = DirectCanvas::of(canvas);
    const LaterCovers later(canvas, doc, params);

    const auto drawObject = [&](int slot) {
        const Tobs& o = doc.Objects[slot];
        switch (o.Kind) {
        case Figure:
            drawFigure(canvas, o, params, figureState, visible, &direct,
                       params.Figures ? params.Figures->of(slot) : nullptr);
            break;
        case Text: drawText(canvas, o, params, visible, &progress); break;
        case Image: drawImageObject(canvas, o, params, later.over(slot)); break;
        default: return true;
        }
        return progress.objectDone();
    };
    if (params.Figures && !params.Progress) {
        // Only the objects the plan says can show in these rows; a pass
        // without progress has no count of objects to keep.
        const int top = visible.isNull() ? std::numeric_limits<int>::min() : visible.top();
        const int bottom = visible.isNull() ? std::numeric_limits<int>::max() : visible.bottom();
        for (const FigurePlan::Visit& v : params.Figures->visits())
            if (v.bottom >= top && v.top <= bottom) drawObject(v.slot);
    } else {
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
            if (!drawObject(slot)) return false;
    }

    // The net's pen: 1 pixel, dotted, black in XOR over an opaque white
    // background; the brush solid white.
    canvas.setPen(QPen(QColor(0, 0, 0), 1, Qt::DotLine));
    canvas.setBrush(QBrush(QColor(255, 255, 255), Qt::SolidPattern));
    if (params.DrawNet) {
        // Scale() is device pixels per document unit, 20000 units an inch.
        const double pixels = params.NetLineMm / 25.39995 * params.mapping.Scale() * 20000;
        const int width = params.NetLineMm > 0 ? std::clamp(static_cast<int>(std::lround(pixels)), 1, 64) : 1;
        gdi::drawXorDottedPolylines(
            canvas, netPolylines(measureNet(area, NetSource{params.Form, params.Percent}, params.mapping.Scale())),
            visible, width);
    }
    return true;
}
