#include "render/FigureRenderer.h"

#include "model/Tobs.h"
#include "render/ColorRef.h"
#include "render/DrawVCart.h"
#include "render/GdiCanvas.h"

#include <QPainter>
#include <QRect>
#include <algorithm>

int figurePenWidth(int lineWidth, double scale) {
    const int w = truncToInt(static_cast<long double>(lineWidth) * 0.2L * 20000 / 25.39995L * scale);
    return std::max(w, 1);
}

namespace {
void setPenColor(QPainter& p, const QColor& c) {
    QPen pen = p.pen();
    pen.setColor(c);
    p.setPen(pen);
}
void setBrushColor(QPainter& p, const QColor& c) {
    QBrush b = p.brush();
    b.setColor(c);
    if (b.style() == Qt::NoBrush) b.setStyle(Qt::SolidPattern);
    p.setBrush(b);
}
void setBrushStyle(QPainter& p, Qt::BrushStyle style) {
    QBrush b = p.brush();
    b.setStyle(style);
    p.setBrush(b);
}
}  // namespace

void drawFigure(QPainter& canvas, const Tobs& o, const RenderParams& params, const QRect& visible) {
    const Mapping& m = params.mapping;
    const auto [X, Y, W, H] = deviceRect(o, params);

    setBrushStyle(canvas, Qt::SolidPattern);
    if (o.Shape >= shLineH && o.Shape <= shLineDown) {
        setPenColor(canvas, colorFromRef(o.Color));
        setBrushColor(canvas, colorFromRef(o.Color));
    } else {
        switch (o.FillModeOrShadowColor) {
        case fmFilled:
            setPenColor(canvas, colorFromRef(o.Color));
            setBrushColor(canvas, colorFromRef(o.Color));
            break;
        case fmBorder:
            setPenColor(canvas, colorFromRef(o.BorderOrOutlineColor));
            setBrushStyle(canvas, Qt::NoBrush);
            break;
        case fmFilledBorder:
            setPenColor(canvas, colorFromRef(o.BorderOrOutlineColor));
            setBrushColor(canvas, colorFromRef(o.Color));
            break;
        default:
            break;   // drawn with whatever the canvas holds
        }
    }
    const int side = W < H ? W : H;

    QPen pen = canvas.pen();
    pen.setStyle(Qt::SolidLine);
    // Wider than any canvas is as good as infinitely wide.
    pen.setWidth(std::min(figurePenWidth(o.LineWidthOrTransColor, m.Scale()), 32767));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    canvas.setPen(pen);

    // Skipping the drawing of what cannot reach the canvas keeps thousands of
    // off-screen figures (and every printer band) cheap.
    bool reaches = true;
    if (!visible.isNull()) {
        const int grow = pen.width() + 1;
        const QRect bounds = QRect(QPoint(std::min(X, X + W), std::min(Y, Y + H)),
                                   QPoint(std::max(X, X + W), std::max(Y, Y + H)))
                                 .adjusted(-grow, -grow, grow, grow);
        reaches = bounds.intersects(visible);
    }
    if (reaches) switch (o.Shape) {
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

    pen = canvas.pen();
    pen.setWidth(1);
    canvas.setPen(pen);
    setBrushStyle(canvas, Qt::SolidPattern);
}
