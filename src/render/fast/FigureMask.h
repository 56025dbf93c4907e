#pragma once
// Ellipses, rounded rectangles and slanted lines of a size and pen seen
// before, kept as runs of pen and brush pixels and written straight into an
// image's rows wherever the same figure appears again (another place, the
// next repaint, a scroll). The runs are the painter's own drawing of the
// figure: moved by whole pixels it draws the same pixels, so the copy is
// exact. Kept up to a budget, then forgotten all at once. On a high-density
// canvas the mask holds the figure's device pixels as the scaled painter
// draws it; at a ratio like 1.5 a logical pixel starts inside a device pixel
// every other place, so such masks are kept apart by the parity of the
// figure's corner.

#include <QRect>
#include <QRgb>
#include <QtGlobal>
#include <cstddef>
#include <memory>
#include <vector>

class DirectCanvas;

class FigureMask {
public:
    enum class Kind : quint8 { Ellipse, RoundRect, LineUp, LineDown, Rectangle, LineRight, LineBelow };

    // What gdi::Ellipse or gdi::RoundRect draw for the rectangle (x1, y1,
    // x2, y2) and the corner, or gdi::Line from its lower left to its upper
    // right corner (LineUp) or from its upper left to its lower right
    // (LineDown), with a pen of penWidth and, with brush, the brush.
    // Rectangle (what gdi::Rectangle draws), LineRight and LineBelow
    // (gdi::Line along the top edge to the right, along the left edge
    // down; the rectangle has no height or no width) only on a
    // high-density canvas (at half-number ratios only rectangles of a thin
    // pen): on others the straight stamps write them.
    struct Figure {
        Kind kind;
        int x1, y1, x2, y2;
        int cornerW, cornerH;
        int penWidth;
        bool brush;
    };

    // Draws the figure from its kept mask in pen (and brush) colour. False
    // when nothing was drawn: a figure not for masks (too large, too far
    // out, a corner that makes it a plain rectangle), one not seen before
    // (it is noted; the painter is cheaper for a figure seen once), one whose
    // pixels the canvas does not wholly hold (at ratio 1).
    static bool draw(const DirectCanvas& canvas, const Figure& figure, QRgb pen, const QRgb* brush);

    // The figure's mask for a canvas of the given device-pixel ratio, made
    // now when it is not kept; null when the figure is not one for masks.
    // Any thread.
    static std::shared_ptr<const FigureMask> prepare(const Figure& figure, qreal ratio = 1.0);

    // Writes the mask's pixels for a figure whose rectangle starts at (x1,
    // y1) (the smaller corner, logical pixels). False when the canvas has
    // another ratio, or at ratio 1 does not wholly hold them: nothing
    // written then.
    bool drawAt(const DirectCanvas& canvas, int x1, int y1, QRgb pen, const QRgb* brush) const;

    // Forgets every kept mask (measurements of a first paint).
    static void forgetAll();
    // What the kept masks take, and what they may take before they are
    // forgotten.
    static size_t keptBytes();
    static size_t budgetBytes();

private:
    struct Run {
        qint16 from, to;   // [from, to) in the mask's own columns
        quint8 brush;      // 0 pen, 1 brush
    };
    struct Key {
        quint8 kind;
        int w, h, cornerW, cornerH, pen;
        bool brush;
        quint8 twiceRatio = 2;   // device pixels per two logical ones
        quint8 phase = 0;        // bit 0: odd left, bit 1: odd top (half-number ratios)
    };
    // The key of a figure for masks on a canvas of the ratio, with its
    // rectangle's smaller corner.
    static bool keyOf(const Figure& figure, qreal ratio, Key& key, int& left, int& top);
    // Null the first time a figure is asked for unless makeNow. Shared:
    // another thread may forget the kept masks while one is in use.
    static std::shared_ptr<const FigureMask> of(const Key& key, bool makeNow);
    explicit FigureMask(const Key& key);
    // Draws the figure with the margin around it and keeps its runs.
    void trace(const Key& key, int margin);

    // The device pixel (x, y) of the mask lies at (x + r * (x1 - m_origin.x()),
    // y + r * (y1 - m_origin.y())) for a figure placed at (x1, y1): the
    // mask's figure was drawn at the logical place m_origin.
    QPoint deviceShift(int x1, int y1) const;

    QPoint m_origin;
    int m_twiceRatio = 2;
    bool m_usable = false;
    QRect m_reach;                     // device pixels drawn, in the mask's own coordinates
    std::vector<Run> m_runs;
    std::vector<quint32> m_rowStart;   // runs of row r: [m_rowStart[r], m_rowStart[r + 1])
};
