#include "render/FigureRenderer.h"

#include "base/Units.h"
#include "model/Tobs.h"
#include "render/ColorRef.h"
#include "render/DrawVCart.h"
#include "render/fast/DirectCanvas.h"
#include "render/fast/FigureMask.h"
#include "render/fast/FigurePlan.h"
#include "render/GdiCanvas.h"
#include "render/fast/StraightFigureStamp.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

int figurePenWidth(int lineWidth, double scale) {
    const int w = truncToInt(static_cast<long double>(lineWidth) * 0.2L * 20000 / 25.39995L * scale);
    return std::max(w, 1);
}


namespace {

// A circle, a square and a rounded square take the shorter side, which may
// be negative and then reach up or left beyond the object's rectangle.
QRect reachOf(int shape, int X, int Y, int W, int H, int penWidth) {
    if (shape == shCircle || shape == shSquare || shape == shRoundSquare) W = H = (W < H ? W : H);
    const int grow = penWidth + 2;
    return QRect(QPoint(std::min(X, X + W), std::min(Y, Y + H)), QPoint(std::max(X, X + W), std::max(Y, Y + H)))
        .adjusted(-grow, -grow, grow, grow);
}

// Figures written into the image's rows when the canvas allows it: the same
// pixels as the painter's, without its pen and path work.
bool drawDirect(const DirectCanvas& direct, const Tobs& o, const DeviceRect& rect, int width,
                const FigureCanvasState& state, bool brushSolid, const PlannedFigure* planned) {
    using Stamp = StraightFigureStamp;
    if (width > Stamp::MaxPenWidth || state.pen.alpha() != 255 || (brushSolid && state.brush.alpha() != 255))
        return false;
    const QRgb pen = state.pen.rgb(), brush = state.brush.rgb();
    const QRgb* fill = brushSolid ? &brush : nullptr;
    const auto [X, Y, W, H] = rect;
    const int side = W < H ? W : H;
    // On a high-density canvas only the masks know the device's pixels.
    if (direct.ratio() == 1.0) switch (o.Shape) {
    case shSquare: return Stamp::of(Stamp::Kind::Rectangle, width).draw(direct, X, Y, X + side, Y + side, pen, fill);
    case shRectangle: return Stamp::of(Stamp::Kind::Rectangle, width).draw(direct, X, Y, X + W, Y + H, pen, fill);
    case shLineH:
        return W > 0 && Stamp::of(Stamp::Kind::LineRight, width).draw(direct, X, Y, X + W, Y, pen, nullptr);
    case shLineV:
        return H > 0 && Stamp::of(Stamp::Kind::LineDown, width).draw(direct, X, Y, X, Y + H, pen, nullptr);
    case shLineUp:
    case shLineDown:
        if (width == 1 && W != 0 && H != 0) {
            // The 1-pixel diagonal is our own line; its pixels go straight in.
            const bool up = o.Shape == shLineUp;
            const quint32 colour = 0xFF000000u | pen;
            gdi::forLinePixels(QPoint(X, up ? Y + H : Y), QPoint(X + W, up ? Y : Y + H), direct.clip(),
                               [&direct, colour](long long, QPoint at) { direct.row(at.y())[at.x()] = colour; });
            return true;
        }
        break;
    default: break;
    }
    FigureMask::Figure shape;
    if (!figureMaskShape(o, rect, width, shape, direct.ratio())) return false;
    shape.brush = shape.brush && brushSolid;
    if (planned && planned->mask)
        return planned->mask->drawAt(direct, std::min(shape.x1, shape.x2), std::min(shape.y1, shape.y2), pen, fill);
    return FigureMask::draw(direct, shape, pen, fill);
}

// Draws a figure whose place, pen width and colours are known.
void paintFigure(QPainter& canvas, const Tobs& o, const DeviceRect& rect, int width, const FigureCanvasState& state,
                 bool brushSolid, const QRect& visible, const DirectCanvas* direct, const PlannedFigure* planned);

}  // namespace

QRect figureReach(const Tobs& o, const RenderParams& params) {
    return figureReach(o, deviceRect(o, params),
                       std::min(figurePenWidth(o.LineWidthOrTransColor, params.mapping.Scale()), 32767));
}

QRect figureReach(const Tobs& o, const DeviceRect& rect, int penWidth) {
    return reachOf(o.Shape, rect.X, rect.Y, rect.W, rect.H, penWidth);
}

bool figureMaskShape(const Tobs& o, const DeviceRect& rect, int penWidth, FigureMask::Figure& shape, qreal ratio) {
    using Kind = FigureMask::Kind;
    const auto [X, Y, W, H] = rect;
    const int side = W < H ? W : H;
    const bool brush = o.FillModeOrShadowColor != fmBorder;
    switch (o.Shape) {
    case shCircle: shape = {Kind::Ellipse, X, Y, X + side, Y + side, 0, 0, penWidth, brush}; return true;
    case shEllipse: shape = {Kind::Ellipse, X, Y, X + W, Y + H, 0, 0, penWidth, brush}; return true;
    case shRoundSquare: shape = {Kind::RoundRect, X, Y, X + side, Y + side, W / 3, H / 3, penWidth, brush}; return true;
    case shRoundRect: shape = {Kind::RoundRect, X, Y, X + W, Y + H, W / 3, H / 3, penWidth, brush}; return true;
    case shLineUp: shape = {Kind::LineUp, X, Y, X + W, Y + H, 0, 0, penWidth, false}; return true;
    case shLineDown: shape = {Kind::LineDown, X, Y, X + W, Y + H, 0, 0, penWidth, false}; return true;
    case shSquare:
        if (ratio == 1.0) return false;
        shape = {Kind::Rectangle, X, Y, X + side, Y + side, 0, 0, penWidth, brush};
        return true;
    case shRectangle:
        if (ratio == 1.0) return false;
        shape = {Kind::Rectangle, X, Y, X + W, Y + H, 0, 0, penWidth, brush};
        return true;
    case shLineH:
        if (ratio == 1.0) return false;
        shape = {Kind::LineRight, X, Y, X + W, Y, 0, 0, penWidth, false};
        return true;
    case shLineV:
        if (ratio == 1.0) return false;
        shape = {Kind::LineBelow, X, Y, X, Y + H, 0, 0, penWidth, false};
        return true;
    default: return false;
    }
}

void drawFigure(QPainter& canvas, const Tobs& o, const RenderParams& params, FigureCanvasState& state,
                const QRect& visible, const DirectCanvas* direct, const PlannedFigure* planned) {
    if (planned) {
        // Worked out ahead, colours included: the state stays as the pass
        // began, and a figure not to be drawn costs nothing.
        if (planned->hidden || (!visible.isNull() && !planned->reach.intersects(visible))) return;
        const FigureCanvasState colours{planned->penFromCanvas ? state.pen : QColor::fromRgb(planned->pen),
                                        planned->brushFromCanvas ? state.brush : QColor::fromRgb(planned->brush)};
        paintFigure(canvas, o, planned->rect, planned->penWidth, colours, planned->brushSolid, visible, direct,
                    planned);
        return;
    }
    const DeviceRect rect = deviceRect(o, params);
    const auto [X, Y, W, H] = rect;

    bool brushSolid = true;
    if (o.Shape >= shLineH && o.Shape <= shLineDown) {
        state.pen = state.brush = colorFromRef(o.Color);
    } else {
        switch (o.FillModeOrShadowColor) {
        case fmFilled:
            state.pen = state.brush = colorFromRef(o.Color);
            break;
        case fmBorder:
            state.pen = colorFromRef(o.BorderOrOutlineColor);
            brushSolid = false;
            break;
        case fmFilledBorder:
            state.pen = colorFromRef(o.BorderOrOutlineColor);
            state.brush = colorFromRef(o.Color);
            break;
        default:
            break;   // drawn with whatever the canvas holds
        }
    }
    // Wider than any canvas is as good as infinitely wide.
    const int width = std::min(figurePenWidth(o.LineWidthOrTransColor, params.mapping.Scale()), 32767);

    // Skipping what cannot reach the canvas keeps thousands of off-screen
    // figures (and every printer band) cheap.
    if (!visible.isNull() && !reachOf(o.Shape, X, Y, W, H, width).intersects(visible)) return;
    paintFigure(canvas, o, rect, width, state, brushSolid, visible, direct, nullptr);
}

namespace {

void paintFigure(QPainter& canvas, const Tobs& o, const DeviceRect& rect, int width, const FigureCanvasState& state,
                 bool brushSolid, const QRect& visible, const DirectCanvas* direct, const PlannedFigure* planned) {
    const auto [X, Y, W, H] = rect;
    if (direct && direct->valid() && drawDirect(*direct, o, rect, width, state, brushSolid, planned)) return;
    canvas.setPen(QPen(state.pen, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    canvas.setBrush(brushSolid ? QBrush(state.brush) : QBrush(Qt::NoBrush));

    const int side = W < H ? W : H;
    switch (o.Shape) {
    case shCircle: gdi::Ellipse(canvas, X, Y, X + side, Y + side); break;
    case shEllipse: gdi::Ellipse(canvas, X, Y, X + W, Y + H); break;
    case shSquare: gdi::Rectangle(canvas, X, Y, X + side, Y + side); break;
    case shRectangle: gdi::Rectangle(canvas, X, Y, X + W, Y + H); break;
    // The corners follow the object's rectangle, not the square's side.
    case shRoundSquare: gdi::RoundRect(canvas, X, Y, X + side, Y + side, W / 3, H / 3); break;
    case shRoundRect: gdi::RoundRect(canvas, X, Y, X + W, Y + H, W / 3, H / 3); break;
    case shLineH: gdi::Line(canvas, {X, Y}, {X + W, Y}, visible); break;
    case shLineV: gdi::Line(canvas, {X, Y}, {X, Y + H}, visible); break;
    case shLineUp: gdi::Line(canvas, {X, Y + H}, {X + W, Y}, visible); break;
    case shLineDown: gdi::Line(canvas, {X, Y}, {X + W, Y + H}, visible); break;
    default: break;
    }
}

}  // namespace
