#include "image/TiledOutlines.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <QRegion>
#include <QTextItem>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Tiles of this many pixels: low enough that a stroke's piece in one mostly
// fits the rasteriser's pool, which a row's cells crowd; wide, since every
// piece is a call of its own and a long thin ring would otherwise be cut
// into more pieces than the pool ever needed.
constexpr int kTileWidth = 512;
constexpr int kTileHeight = 128;
// Shapes that stay within a tile on both sides, and strokes thinner than
// this many pixels, go on unchanged: the rasteriser handles them as well
// (and pens of a pixel or less it draws by other rules).
constexpr qreal kThinnestTiled = 1.5;

// A closed polygon with its bounding box, worked out once: a polygon is
// tested against every tile of its band.
struct Piece {
    QPolygonF points;
    QRectF box;
};

Piece pieceOf(QPolygonF points) {
    const QRectF box = points.boundingRect();
    return {std::move(points), box};
}

// The part of a closed polygon on one side of an axis-parallel line (x when
// vertical, else y): kept where inside() holds, with the line's stretch
// between where it leaves and re-enters. Every point on the kept side has
// the winding number it had, since what is replaced lies on the other side.
template <typename Inside>
QPolygonF clipAt(const QPolygonF& in, bool vertical, qreal at, Inside inside) {
    QPolygonF out;
    if (in.isEmpty()) return out;
    out.reserve(in.size() + 4);
    const auto cross = [&](const QPointF& a, const QPointF& b) {
        if (vertical) return QPointF(at, a.y() + (b.y() - a.y()) * (at - a.x()) / (b.x() - a.x()));
        return QPointF(a.x() + (b.x() - a.x()) * (at - a.y()) / (b.y() - a.y()), at);
    };
    QPointF prev = in.back();
    bool prevIn = inside(prev);
    for (const QPointF& p : in) {
        const bool pIn = inside(p);
        if (pIn != prevIn) out << cross(prev, p);
        if (pIn) out << p;
        prev = p;
        prevIn = pIn;
    }
    return out;
}

// The pieces cut to the band [from, to) of x (vertical) or y; those that
// keep no area are dropped.
std::vector<Piece> cutToBand(const std::vector<Piece>& pieces, bool vertical, qreal from, qreal to) {
    std::vector<Piece> out;
    const auto coord = [vertical](const QPointF& p) { return vertical ? p.x() : p.y(); };
    for (const Piece& piece : pieces) {
        const qreal lo = vertical ? piece.box.left() : piece.box.top();
        const qreal hi = vertical ? piece.box.right() : piece.box.bottom();
        if (hi <= from || lo >= to) continue;
        if (lo >= from && hi <= to) {
            out.push_back(piece);
            continue;
        }
        QPolygonF cut = piece.points;
        if (lo < from) cut = clipAt(cut, vertical, from, [&](const QPointF& p) { return coord(p) >= from; });
        if (hi > to) cut = clipAt(cut, vertical, to, [&](const QPointF& p) { return coord(p) <= to; });
        if (cut.size() > 2) out.push_back(pieceOf(std::move(cut)));
    }
    return out;
}

// Path's outline (its stroke by pen where stroke) in device pixels under t.
std::vector<Piece> devicePieces(const QPainterPath& path, bool stroke, const QPen& pen, const QTransform& t,
                                Qt::FillRule* rule) {
    QPainterPath outline = path;
    if (stroke) {
        QPainterPathStroker stroker(pen);
        // The curve tolerance the raster engine strokes with at this scale.
        stroker.setCurveThreshold(0.25 / std::sqrt(std::abs(t.determinant())));
        outline = stroker.createStroke(path);
    }
    *rule = outline.fillRule();
    // Flattened twice as finely as Qt flattens by default, then back to
    // device pixels: half its tolerance.
    std::vector<Piece> pieces;
    for (QPolygonF& polygon : outline.toSubpathPolygons(t * QTransform::fromScale(2, 2))) {
        for (QPointF& p : polygon) p /= 2;
        if (polygon.size() > 2) pieces.push_back(pieceOf(std::move(polygon)));
    }
    return pieces;
}

}  // namespace

class TiledOutlineEngine : public QPaintEngine {
public:
    TiledOutlineEngine(QPainter& target, const QRegion& visible)
        : QPaintEngine(AllFeatures), target_(target), visible_(visible) {
        keepToVisible();
    }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& s) override {
        const DirtyFlags f = s.state();
        QPainter& t = target_;
        if (f & DirtyTransform) t.setTransform(s.transform());
        if (f & DirtyPen) t.setPen(s.pen());
        if (f & DirtyBrush) t.setBrush(s.brush());
        if (f & DirtyBrushOrigin) t.setBrushOrigin(s.brushOrigin());
        if (f & DirtyBackground) t.setBackground(s.backgroundBrush());
        if (f & DirtyBackgroundMode) t.setBackgroundMode(s.backgroundMode());
        if (f & DirtyFont) t.setFont(s.font());
        if (f & DirtyHints) {
            t.setRenderHints(~QPainter::RenderHints(), false);
            t.setRenderHints(s.renderHints(), true);
        }
        if (f & DirtyCompositionMode) t.setCompositionMode(s.compositionMode());
        if (f & DirtyOpacity) t.setOpacity(s.opacity());
        if (f & DirtyClipRegion) t.setClipRegion(s.clipRegion(), s.clipOperation());
        if (f & DirtyClipPath) t.setClipPath(s.clipPath(), s.clipOperation());
        if (f & DirtyClipEnabled) t.setClipping(s.isClipEnabled());
        if (f & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled)) {
            keepToVisible();
            reach_.reset();
        }
    }

    void drawPath(const QPainterPath& path) override {
        if (!draw(path, true)) target_.drawPath(path);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode) path.closeSubpath();
        if (draw(path, mode != PolylineMode)) return;
        if (mode == PolylineMode)
            target_.drawPolyline(points, count);
        else if (mode == ConvexMode)
            target_.drawConvexPolygon(points, count);
        else
            target_.drawPolygon(points, count, mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }
    void drawEllipse(const QRectF& rect) override {
        QPainterPath path;
        path.addEllipse(rect);
        if (!draw(path, true)) target_.drawEllipse(rect);
    }
    void drawRects(const QRectF* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            QPainterPath path;
            path.addRect(rects[i]);
            if (!draw(path, true)) target_.drawRect(rects[i]);
        }
    }
    void drawLines(const QLineF* lines, int count) override { target_.drawLines(lines, count); }
    void drawPoints(const QPointF* points, int count) override { target_.drawPoints(points, count); }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override { target_.drawPixmap(r, pm, sr); }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags) override {
        target_.drawImage(r, image, sr, flags);
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& s) override {
        target_.drawTiledPixmap(r, pm, s);
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override { target_.drawTextItem(p, item); }

    int tiledOutlines = 0;

private:
    // A brush whose pixels do not depend on the shape it fills: the pieces
    // of one shape then paint what the whole would.
    static bool independentOfShape(const QBrush& brush) {
        if (brush.style() == Qt::NoBrush) return false;
        const QGradient* gradient = brush.gradient();
        return !gradient || gradient->coordinateMode() == QGradient::LogicalMode;
    }

    // Whether an outline of this extent in device pixels is worth cutting.
    static bool large(const QRectF& deviceBox) { return deviceBox.width() > kTileHeight || deviceBox.height() > kTileHeight; }

    // Draws path (closed: with its fill) as the target would, its fill and
    // its stroke in tiles where they are large; false, nothing drawn, where
    // neither is.
    bool draw(const QPainterPath& path, bool closed) {
        const QTransform t = target_.deviceTransform();
        if (!target_.testRenderHint(QPainter::Antialiasing) || t.type() > QTransform::TxRotate || !t.isInvertible())
            return false;
        const QPen pen = target_.pen();
        const QBrush brush = target_.brush();
        const qreal scale = std::sqrt(std::abs(t.determinant()));
        const bool fill = closed && brush.style() != Qt::NoBrush;
        const bool stroke = pen.style() != Qt::NoPen;
        const QRectF box = t.mapRect(path.controlPointRect());
        // A shape, stroke included, wholly outside what can change needs no
        // outline at all (the strips of a drawing each see a part of it).
        const qreal penPixels = pen.isCosmetic() ? pen.widthF() : pen.widthF() * scale;
        const qreal reachOut = stroke ? std::max<qreal>(1, penPixels * std::max<qreal>(1, pen.miterLimit())) : 1;
        const QRectF outer = box.adjusted(-reachOut, -reachOut, reachOut, reachOut);
        if (!outer.intersects(QRectF(reach())) || !showsIn(outer.toAlignedRect())) return true;
        const bool fillTiles = fill && independentOfShape(brush) && large(box);
        const bool strokeTiles = stroke && !pen.isCosmetic() && penPixels >= kThinnestTiled &&
                                 independentOfShape(pen.brush()) && large(box);
        if (!fillTiles && !strokeTiles) return false;
        if (fill) {
            if (fillTiles) {
                fillInTiles(path, false, brush);
            } else {
                target_.setPen(Qt::NoPen);
                target_.drawPath(path);
                target_.setPen(pen);
            }
        }
        if (stroke) {
            if (strokeTiles) {
                fillInTiles(path, true, pen.brush());
            } else {
                target_.setBrush(Qt::NoBrush);
                target_.drawPath(path);
                target_.setBrush(brush);
            }
        }
        return true;
    }

    // Whether any of these device pixels is among those to be drawn.
    bool showsIn(const QRect& pixels) const { return visible_.isEmpty() || visible_.intersects(pixels); }

    // Whatever clip the drawing sets or lifts, only the visible pixels change.
    void keepToVisible() {
        if (visible_.isEmpty()) return;
        const QTransform world = target_.transform();
        target_.resetTransform();
        target_.setClipRegion(visible_, Qt::IntersectClip);
        target_.setTransform(world);
    }

    // The device pixels drawing can change: the device within the clip;
    // worked out again only once the clip changes.
    QRect reach() {
        if (reach_) return *reach_;
        QRect reach(QPoint(0, 0), QSize(target_.device()->width(), target_.device()->height()));
        if (target_.hasClipping()) {
            // Asked with the transform reset, the clip comes in device pixels.
            const QTransform world = target_.transform();
            target_.resetTransform();
            reach &= target_.clipBoundingRect().toAlignedRect();
            target_.setTransform(world);
        }
        reach_ = reach;
        return reach;
    }

    // Fills path's outline (its stroke by the pen where stroke) with brush
    // in pieces, one a tile of the device.
    void fillInTiles(const QPainterPath& path, bool stroke, const QBrush& brush) {
        ++tiledOutlines;
        const QTransform t = target_.deviceTransform();
        Qt::FillRule rule = Qt::WindingFill;
        const std::vector<Piece> pieces = devicePieces(path, stroke, target_.pen(), t, &rule);
        QRectF box;
        for (const Piece& piece : pieces) box |= piece.box;
        const QRect reach = this->reach() & box.toAlignedRect();
        if (reach.isEmpty()) return;
        // Each piece goes back to the painter's own coordinates, so that the
        // brush (a gradient) and the opacity apply as to the whole.
        const QTransform toLogical = t.inverted();
        const QPen pen = target_.pen();
        const QBrush kept = target_.brush();
        target_.setPen(Qt::NoPen);
        target_.setBrush(brush);
        for (int y = reach.top() - reach.top() % kTileHeight; y <= reach.bottom(); y += kTileHeight) {
            const std::vector<Piece> band = cutToBand(pieces, false, y, y + kTileHeight);
            if (band.empty()) continue;
            for (int x = reach.left() - reach.left() % kTileWidth; x <= reach.right(); x += kTileWidth) {
                if (!showsIn(QRect(x, y, kTileWidth, kTileHeight))) continue;
                const std::vector<Piece> tile = cutToBand(band, true, x, x + kTileWidth);
                if (tile.empty()) continue;
                QPainterPath shape;
                shape.setFillRule(rule);
                for (const Piece& piece : tile) shape.addPolygon(toLogical.map(piece.points));
                target_.drawPath(shape);
            }
        }
        target_.setBrush(kept);
        target_.setPen(pen);
    }

    QPainter& target_;
    const QRegion visible_;   // empty: all
    std::optional<QRect> reach_;
};

TiledOutlineDevice::TiledOutlineDevice(QPainter& target, const QRegion& visible)
    : target_(target), engine_(std::make_unique<TiledOutlineEngine>(target, visible)) {}

TiledOutlineDevice::~TiledOutlineDevice() = default;

QPaintEngine* TiledOutlineDevice::paintEngine() const { return engine_.get(); }

int TiledOutlineDevice::tiledOutlines() const { return engine_->tiledOutlines; }

int TiledOutlineDevice::metric(PaintDeviceMetric metric) const {
    const QPaintDevice* d = target_.device();
    switch (metric) {
    case PdmWidth: return d->width();
    case PdmHeight: return d->height();
    case PdmWidthMM: return d->widthMM();
    case PdmHeightMM: return d->heightMM();
    case PdmNumColors: return d->colorCount();
    case PdmDepth: return d->depth();
    case PdmDpiX: return d->logicalDpiX();
    case PdmDpiY: return d->logicalDpiY();
    case PdmPhysicalDpiX: return d->physicalDpiX();
    case PdmPhysicalDpiY: return d->physicalDpiY();
    case PdmDevicePixelRatio: return int(d->devicePixelRatio());
    case PdmDevicePixelRatioScaled: return int(d->devicePixelRatio() * devicePixelRatioFScale());
    }
    return 0;
}
