#pragma once
// The net of a source in exact millimetres of its item, for a live drawing:
// the cut outline as one closed polygon, the folds and slits as lines.

#include "box/NetSource.h"

#include <QLineF>
#include <QPolygonF>
#include <QSizeF>
#include <vector>

struct SheetLayout;

struct NetDrawingMm {
    QPolygonF outline;          // closed: the last corner joins the first
    std::vector<QLineF> folds;  // to be drawn dashed
    std::vector<QLineF> slits;  // cut, drawn solid like the outline
    QSizeF size;                // 2L + 2B + g by t + H + B + f
};

// Origin at the item's top-left corner, x to the right, y downwards.
NetDrawingMm netDrawingMm(const NetSource& source, const SheetLayout& layout);
