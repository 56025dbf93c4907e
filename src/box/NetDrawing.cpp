#include "box/NetDrawing.h"

#include "box/FoldingModel.h"

NetDrawingMm netDrawingMm(const NetSource& source, const SheetLayout& layout) {
    const FoldingModel m = FoldingModel::inMillimetres(layout, source);
    NetDrawingMm d;
    d.outline = m.cutOutline();
    for (const NetSegment& s : m.folds()) d.folds.emplace_back(s.a, s.b);
    d.slits = m.slits();
    d.size = QSizeF(m.netWidth(), m.netHeight());
    return d;
}
