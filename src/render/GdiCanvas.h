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
#include <QRect>
#include <algorithm>
#include <climits>
#include <cstdlib>
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
// clip, when not null, limits the pixels computed for a 1-pixel diagonal.
void Line(QPainter& p, QPoint a, QPoint b, const QRect& clip = QRect());

// Pixels of a 1-pixel line from a to b, end point excluded: pixel k of the
// longer axis has the shorter axis's coordinate rounded (halves away from
// the start). Only pixels inside clip are produced (all when clip is null),
// so a line of absurd length costs no more than the visible part.
void linePixels(QPoint a, QPoint b, std::vector<QPoint>& out, const QRect& clip = QRect());

// Calls f(k, point) for the pixels of that line inside clip, k counting from
// the start (the position in a dash pattern).
template <typename F>
void forLinePixels(QPoint a, QPoint b, const QRect& clip, F f);

// Dash pattern of a 1-pixel dotted pen: this many pixels on, then off.
constexpr int DotOn = 3;
constexpr int DotOff = 3;

// The pixels that fall into the gaps of a dotted polyline (move to the first
// point, a line to each following one; the style restarts with each line).
void dottedGapPixels(const std::vector<QPoint>& polyline, std::vector<QPoint>& out,
                     const QRect& clip = QRect());

// The net's pen: black dots in XOR over an opaque white background. The dots
// leave the picture as it is and the gaps invert it, so the line shows on any
// colour. On devices without raster operations (printers, PDF) the gaps are
// drawn black, which is the same result on white paper.
// clip: the part of the canvas that can change (null = everything).
// width: the line's width in pixels; dots and gaps grow with it, so a wide
// line looks like the thin one enlarged.
void drawXorDottedPolylines(QPainter& p, const std::vector<std::vector<QPoint>>& polylines,
                            const QRect& clip = QRect(), int width = 1);

// The gap pixels of a dotted polyline width pixels wide, each pixel once
// (an XOR drawn twice would take itself back), only those inside clip.
void wideDottedGapPixels(const std::vector<std::vector<QPoint>>& polylines, int width, std::vector<QPoint>& out,
                         const QRect& clip = QRect());

template <typename F>
void forLinePixels(QPoint a, QPoint b, const QRect& clip, F f) {
    const long long x0 = a.x(), y0 = a.y();
    const long long dx = static_cast<long long>(b.x()) - x0, dy = static_cast<long long>(b.y()) - y0;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    if (n == 0) return;
    const bool xMajor = adx >= ady;
    const long long sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long minorLen = xMajor ? ady : adx;
    const long long major0 = xMajor ? x0 : y0;
    const long long minor0 = xMajor ? y0 : x0;
    long long kFrom = 0, kTo = n - 1;
    long long minorLo = LLONG_MIN, minorHi = LLONG_MAX;
    if (!clip.isNull()) {
        if (clip.isEmpty()) return;
        const long long lo = xMajor ? clip.left() : clip.top();
        const long long hi = xMajor ? clip.right() : clip.bottom();
        // major0 + k * sMajor within [lo, hi]
        long long k1 = sMajor > 0 ? lo - major0 : major0 - hi;
        long long k2 = sMajor > 0 ? hi - major0 : major0 - lo;
        kFrom = std::max(kFrom, k1);
        kTo = std::min(kTo, k2);
        minorLo = xMajor ? clip.top() : clip.left();
        minorHi = xMajor ? clip.bottom() : clip.right();
    }
    for (long long k = kFrom; k <= kTo; ++k) {
        const long long minor = minor0 + sMinor * ((2 * k * minorLen + n) / (2 * n));
        if (minor < minorLo || minor > minorHi) continue;
        const long long major = major0 + sMajor * k;
        f(k, xMajor ? QPoint(int(major), int(minor)) : QPoint(int(minor), int(major)));
    }
}

}  // namespace gdi
