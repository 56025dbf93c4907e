#pragma once
// Ellipses and rounded rectangles of a size and pen seen before, kept
// as runs of pen and brush pixels and written straight into an image's rows
// wherever the same figure appears again (another place, the next repaint, a
// scroll). The runs are the painter's own drawing of the figure: moved by
// whole pixels it draws the same pixels, so the copy is exact. Kept up to a
// budget, then forgotten all at once.

#include <QRect>
#include <QRgb>
#include <QtGlobal>
#include <memory>
#include <vector>

class DirectCanvas;

class FigureMask {
public:
    enum class Kind : quint8 { Ellipse, RoundRect };

    // Draws the figure that gdi::Ellipse or gdi::RoundRect would draw for
    // (x1, y1, x2, y2) and the corner, with pen and, unless brush is null,
    // the brush. False when the figure is not one for masks (too large, too
    // far out, a corner that makes it a plain rectangle): nothing drawn then.
    static bool draw(const DirectCanvas& canvas, Kind kind, int x1, int y1, int x2, int y2, int cornerW,
                     int cornerH, int penWidth, QRgb pen, const QRgb* brush);

    // Forgets every kept mask (measurements of a first paint).
    static void forgetAll();

private:
    struct Run {
        qint16 from, to;   // [from, to) from the figure's left edge
        quint8 brush;      // 0 pen, 1 brush
    };
    struct Key {
        quint8 kind;
        int w, h, cornerW, cornerH, pen;
        bool brush;
    };
    // Null the first time a figure is asked for. Shared: another thread may
    // forget the kept masks while one is in use.
    static std::shared_ptr<const FigureMask> of(const Key& key);
    explicit FigureMask(const Key& key);

    int m_margin = 0;
    bool m_usable = false;
    QRect m_reach;                     // pixels drawn, from the figure's top left
    std::vector<Run> m_runs;
    std::vector<quint32> m_rowStart;   // runs of row r: [m_rowStart[r], m_rowStart[r + 1])
};
