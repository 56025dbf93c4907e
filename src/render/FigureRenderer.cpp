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


void drawFigure(QPainter& canvas, const Tobs& o, const RenderParams& params, const QRect& visible) {
    const Mapping& m = params.mapping;
    const auto [X, Y, W, H] = deviceRect(o, params);

    // Work on copies of the canvas's pen and brush and hand them back once:
    // with thousands of figures per pass every state change counts.
    QColor penColor = canvas.pen().color();
    QBrush brush = canvas.brush();
    brush.setStyle(Qt::SolidPattern);
    if (o.Shape >= shLineH && o.Shape <= shLineDown) {
        penColor = colorFromRef(o.Color);
        brush.setColor(penColor);
    } else {
        switch (o.FillModeOrShadowColor) {
        case fmFilled:
            penColor = colorFromRef(o.Color);
            brush.setColor(penColor);
            break;
        case fmBorder:
            penColor = colorFromRef(o.BorderOrOutlineColor);
            brush.setStyle(Qt::NoBrush);
            break;
        case fmFilledBorder:
            penColor = colorFromRef(o.BorderOrOutlineColor);
            brush.setColor(colorFromRef(o.Color));
            break;
        default:
            break;   // drawn with whatever the canvas holds
        }
    }
    const int side = W < H ? W : H;

    // Wider than any canvas is as good as infinitely wide.
    const int width = std::min(figurePenWidth(o.LineWidthOrTransColor, m.Scale()), 32767);
    canvas.setPen(QPen(penColor, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    canvas.setBrush(brush);

    // Skipping the drawing of what cannot reach the canvas keeps thousands of
    // off-screen figures (and every printer band) cheap.
    bool reaches = true;
    if (!visible.isNull()) {
        const int grow = width + 1;
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

    canvas.setPen(QPen(penColor, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    brush.setStyle(Qt::SolidPattern);
    canvas.setBrush(brush);
}
