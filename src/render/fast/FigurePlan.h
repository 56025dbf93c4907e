#pragma once
// The figures of a design as one pass over one region of the editor sees
// them, worked out once before the pass's bands start: their places, which
// of them later figures paint over completely (those are not drawn at all),
// and the kept pixels of every visible curved figure and slanted line, made
// side by side on the render pool. The bands then only copy.

#include "render/DrawVCart.h"

#include <QRect>
#include <QRgb>
#include <memory>
#include <vector>

class FigureMask;
struct BoxDocument;

struct PlannedFigure {
    int slot = 0;
    DeviceRect rect{0, 0, 0, 0};
    int penWidth = 1;
    QRect reach;                             // all pixels it can change
    bool hidden = false;                     // later figures paint over all of it
    std::shared_ptr<const FigureMask> mask;  // its pixels, when made ahead
    // Its colours: a figure of an unknown fill mode takes those of the
    // figures before it, or the canvas's at the start of the pass.
    QRgb pen = 0, brush = 0;
    bool penFromCanvas = false, brushFromCanvas = false;
    bool brushSolid = true;
};

class FigurePlan {
public:
    // ratio: device pixels per logical pixel of the canvas the pass paints
    // on; the kept pixels are made for it.
    FigurePlan(const BoxDocument& doc, const RenderParams& params, const QRect& region, qreal ratio = 1.0);

    // Null for a slot that holds no figure.
    const PlannedFigure* of(int slot) const;

    // The slots the pass has to visit, in ascending order: every text and
    // picture, and the figures not painted over, each with the logical rows
    // it can reach (texts and pictures: all rows). A band skips the rest
    // without touching the objects.
    struct Visit {
        int slot;
        int top, bottom;
    };
    const std::vector<Visit>& visits() const { return m_visits; }

private:
    void findHidden(const BoxDocument& doc, const QRect& region);
    void makeMasks(const BoxDocument& doc);

    void resolveColours(const BoxDocument& doc);

    std::vector<int> m_index;                // by slot: into m_figures, or -1
    std::vector<PlannedFigure> m_figures;    // in slot order
    std::vector<Visit> m_visits;
    qreal m_ratio = 1.0;
};
