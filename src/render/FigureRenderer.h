#pragma once
// Figures and lines of the render pass.

#include "render/fast/FigureMask.h"

#include <QColor>
#include <QRect>

class DirectCanvas;
class QPainter;

struct DeviceRect;
struct PlannedFigure;
struct Tobs;
struct RenderParams;

// Pen width in pixels of a figure line width (steps of 0.2 mm), at least 1.
int figurePenWidth(int lineWidth, double scale);

// All pixels a figure can change (painter coordinates).
QRect figureReach(const Tobs& o, const RenderParams& params);
// The same for the figure's rectangle on the canvas and its pen width.
QRect figureReach(const Tobs& o, const DeviceRect& rect, int penWidth);

// The colours a figure leaves on the canvas for the next one: a figure with
// an unknown fill mode draws with them. The pass keeps them here rather than
// in the painter, so that figures off the canvas cost no state changes.
struct FigureCanvasState {
    QColor pen;
    QColor brush;
};

// The figure as a mask sees it, for the curved figures and the slanted
// lines, and on a canvas of a ratio other than 1 also for squares and
// rectangles; false for the others.
bool figureMaskShape(const Tobs& o, const DeviceRect& rect, int penWidth, FigureMask::Figure& shape,
                     qreal ratio = 1.0);

// Draws one figure: colours by fill mode (an unknown fill mode keeps the
// state's colours), pen width from the line width, the brush clear for
// fmBorder and solid otherwise. visible, when not null, is the part of the
// canvas (painter coordinates) that can change: a figure wholly outside it
// only updates the state. Leaves the painter's pen and brush changed, except
// for a figure written straight into direct's rows (direct: the painter's own
// rows, when DirectCanvas::of allows it). planned, when given, is the
// figure as worked out for the pass: its place, and whether it is drawn at all.
void drawFigure(QPainter& canvas, const Tobs& o, const RenderParams& params, FigureCanvasState& state,
                const QRect& visible = QRect(), const DirectCanvas* direct = nullptr,
                const PlannedFigure* planned = nullptr);
