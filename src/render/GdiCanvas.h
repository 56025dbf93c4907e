#pragma once
// Pixel-exact drawing primitives with the classic device-context conventions
// on a QPainter: end-exclusive rectangles, ellipses and rounded rectangles
// (x2 and y2 are not touched), lines that leave out their end point, and the
// XOR-dotted polyline of the net. Antialiasing must be off on the painter.
//
// The painter's current pen and brush are the "canvas state": these helpers
// draw with them and never change them.

#include <QPoint>
#include <QPolygon>
#include <vector>

class QPainter;

namespace gdi {

// Outline with the pen, inside with the brush (NoBrush leaves it untouched).
void Rectangle(QPainter& p, int x1, int y1, int x2, int y2);
void Ellipse(QPainter& p, int x1, int y1, int x2, int y2);
// Corner ellipse cornerW x cornerH.
void RoundRect(QPainter& p, int x1, int y1, int x2, int y2, int cornerW, int cornerH);
// The brush over x1..x2-1, y1..y2-1; no outline.
void FillRect(QPainter& p, int x1, int y1, int x2, int y2);
// A line from a to b with the pen; b itself is left out for 1-pixel pens.
void Line(QPainter& p, QPoint a, QPoint b);

// Pixels of a 1-pixel line from a to b, end point excluded.
void linePixels(QPoint a, QPoint b, std::vector<QPoint>& out);

// Dash pattern of a 1-pixel dotted pen: this many pixels on, then off.
constexpr int DotOn = 3;
constexpr int DotOff = 3;

// The pixels that fall into the gaps of a dotted polyline (move to the first
// point, a line to each following one; the style restarts with each line).
void dottedGapPixels(const std::vector<QPoint>& polyline, std::vector<QPoint>& out);

// The net's pen: black dots in XOR over an opaque white background. The dots
// leave the picture as it is and the gaps invert it, so the line shows on any
// colour. On devices without raster operations (printers, PDF) the gaps are
// drawn black, which is the same result on white paper.
void drawXorDottedPolylines(QPainter& p, const std::vector<std::vector<QPoint>>& polylines);

}  // namespace gdi
