#pragma once
// The outline of a text from one rendering of it. The outline is the text
// drawn 4d^2 times in the outline colour, shifted by every (dx, dy) with
// 0 < |dx| <= d and 0 < |dy| <= d. Drawing the text once into a coverage
// mask and dilating the mask by those shifts gives the same picture for a
// fraction of the cost: exactly the same pixels when the glyphs are not
// antialiased, and at antialiased edge pixels the coverage of all copies
// combined in one step, 1 - prod(1 - a), instead of 4d^2 blends that each
// round to 8 bits.

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

// Combined coverage over dest of an Alpha8 mask whose pixel (0, 0) lies at
// maskOrigin: pixel p of the result is 1 - prod over the shifts s of
// (1 - mask(p - s)), in 0..255; 255 wherever a fully covered mask pixel is
// shifted onto p.
QImage dilatedCoverage(const QImage& mask, QPoint maskOrigin, int d, const QRect& dest);

// Blends colour over the canvas with that coverage (source over), dest in
// the painter's coordinates.
void drawCoverage(QPainter& canvas, const QImage& coverage, QPoint destOrigin, const QColor& colour);
