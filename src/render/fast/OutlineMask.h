#pragma once
// The outline of a text from one rendering of it. The outline is the text
// drawn 4d^2 times in the outline colour, shifted by every (dx, dy) with
// 0 < |dx| <= d and 0 < |dy| <= d, and then the text on top. Drawing the
// text once into a coverage mask, dilating the mask by those shifts and
// blending both over the canvas gives the same picture for little more
// than the cost of the text: exactly the same pixels when the glyphs are
// not antialiased; at antialiased edge pixels the coverage of all copies
// combined in one step, 1 - prod(1 - a), instead of 4d^2 blends that each
// round to 8 bits, and the text blended over the outline in one step.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

// Outline coverage (Alpha8) whose pixel (0, 0) lies at origin. It spans only
// the inked part of the mask grown by d, so pixels outside it are 0.
struct OutlineCoverage {
    QImage alpha;
    QPoint origin;
};

// Combined coverage over dest of a mask (Alpha8, or the alpha of any other
// format) whose pixel (0, 0) lies at maskOrigin: pixel p of the result is 1 - prod over the shifts s of
// (1 - mask(p - s)), in 0..255, rounded; 255 wherever a fully covered mask
// pixel is shifted onto p. Empty when nothing of the mask reaches dest.
OutlineCoverage dilatedCoverage(const QImage& mask, QPoint maskOrigin, int d, const QRect& dest);

// The outline and the text itself in one blend over the canvas (source
// over): the text's coverage, a mask as above whose pixel (0, 0) lies at
// maskOrigin, over the outline's, both within the outline's rectangle (the
// text's ink lies inside it). Positions are in the painter's coordinates.
void drawOutlinedText(QPainter& canvas, const OutlineCoverage& outline, const QColor& outlineColour,
                      const QImage& textMask, QPoint maskOrigin, const QColor& textColour);
