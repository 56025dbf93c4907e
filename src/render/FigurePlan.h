#pragma once
// The figures of a design as one pass over one region of the editor sees
// them, worked out once before the pass's bands start: their places, which
// of them later figures paint over completely (those are not drawn at all),
// and the kept pixels of every visible curved figure and slanted line, made
// side by side on the render pool. The bands then only copy.

#include "render/DrawVCart.h"

#include <QRect>
#include <memory>
#include <vector>

class FigureMask;
struct BoxDocument;

struct PlannedFigure {
    DeviceRect rect{0, 0, 0, 0};
    int penWidth = 1;
    QRect reach;                             // all pixels it can change
    bool hidden = false;                     // later figures paint over all of it
    std::shared_ptr<const FigureMask> mask;  // its pixels, when made ahead
};

class FigurePlan {
public:
    FigurePlan(const BoxDocument& doc, const RenderParams& params, const QRect& region);

    // Null for a slot that holds no figure.
    const PlannedFigure* of(int slot) const;

private:
    void findHidden(const BoxDocument& doc, const QRect& region);
    void makeMasks(const BoxDocument& doc);

    std::vector<PlannedFigure> m_figures;   // by slot
    std::vector<bool> m_isFigure;
};
