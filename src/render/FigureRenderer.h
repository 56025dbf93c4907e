#pragma once
// Figures and lines of the render pass.

#include <QRect>

class QPainter;

struct Tobs;
struct RenderParams;

// Pen width in pixels of a figure line width (steps of 0.2 mm), at least 1.
int figurePenWidth(int lineWidth, double scale);

// Draws one figure with the painter's pen and brush as the canvas state:
// colours by fill mode (an unknown fill mode keeps the canvas colours),
// afterwards pen width 1 and a solid brush, as the next object expects.
// visible, when not null, is the part of the canvas (painter coordinates)
// that can change: a figure wholly outside it only updates the canvas state.
void drawFigure(QPainter& canvas, const Tobs& o, const RenderParams& params, const QRect& visible = QRect());
