#pragma once
// Rectangles, squares and horizontal and vertical lines written straight into
// an image's rows. Their pixels are taken from the painter itself: each kind
// and pen width is drawn once through the plain primitives at a reference
// size, and a figure of any larger size is that drawing with its middle rows
// and columns repeated (the corners and caps kept). Figures too small for
// that go through the painter as before.

#include <QRect>
#include <QRgb>
#include <QtGlobal>
#include <vector>

class DirectCanvas;

class StraightFigureStamp {
public:
    enum class Kind { Rectangle, LineRight, LineDown };

    // The stamp of a kind and pen width, made on first use (any thread).
    static const StraightFigureStamp& of(Kind kind, int penWidth);

    // Draws the figure whose device-context geometry runs from (x1, y1) to
    // (x2, y2) (a rectangle's corners in any order; a line's start and its
    // end right of or below it) with the pen colour, inside with the brush
    // unless brush is null. False when the figure is too small for the stamp
    // (nothing drawn then).
    bool draw(const DirectCanvas& canvas, int x1, int y1, int x2, int y2, QRgb pen, const QRgb* brush) const;

    // The largest pen width that has stamps; wider pens go through the painter.
    static constexpr int MaxPenWidth = 64;

private:
    StraightFigureStamp(Kind kind, int penWidth);

    // Reference column (row) for an offset from the figure's left (top) edge.
    int refIndex(int offset, int size, int refSize) const;

    Kind m_kind;
    int m_margin = 0;                 // pixels the pen reaches beyond the geometry, and more
    int m_refW = 0, m_refH = 0;       // the reference geometry's size
    int m_stride = 0;                 // reference pixels per row
    std::vector<quint8> m_cells;      // 0 untouched, 1 pen, 2 brush
};
