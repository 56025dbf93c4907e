#pragma once
// Millimetre rulers above and left of the editor. Both rulers show the net's
// item size at 100 %, with 0 at the left/top edge of the middle third of the
// editing area, and follow the scroll position. Everything is recomputed from
// the current sizes on each paint; nothing is kept between paints.

#include <QImage>
#include <vector>

struct RulerScale {
    bool valid = false;     // false: no ticks (ruler too short, surface too small, bad sizes)
    double start = 0;       // millimetres at the scale's first pixel
    double end = 0;         // millimetres at the scale's last pixel
    int step = 0;           // millimetres between labels
    long long first = 0;    // a: first label index
    long long last = 0;     // b: last label index
};

struct RulerTick {
    enum Kind { Label, LongMinor, ShortMinor };
    int position;   // pixels along the scale, ruler offset not yet added
    int value;      // whole millimetres
    Kind kind;
};

// scaleLength: pixels along the scale (W - 21 across, H - 1 down); scroll: the
// editor's scroll position; surfaceLength: the editor drawing surface's size in
// the same direction; itemMm: ItemWidth or ItemHeight.
RulerScale rulerScale(int scaleLength, int scroll, int surfaceLength, double itemMm);

// Every tick the scale draws, in drawing order (labels, long and short minor
// ticks). Positions are those before the horizontal ruler's 20-pixel offset;
// ticks left of the scale's start are not dropped here.
std::vector<RulerTick> rulerTicks(int scaleLength, const RulerScale& scale);

// Paint a whole ruler into a new white image of the given size in logical
// pixels; ratio device pixels per logical pixel (a high-density screen's
// device pixel ratio) make the lines r pixels wide and the digits finer.
QImage paintHorizontalRuler(int width, int height, int scroll, int surfaceWidth, double itemWidthMm,
                            qreal ratio = 1.0);
QImage paintVerticalRuler(int width, int height, int scroll, int surfaceHeight, double itemHeightMm,
                          qreal ratio = 1.0);
