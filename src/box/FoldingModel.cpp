#include "box/FoldingModel.h"

#include "box/BoxStyles.h"
#include "model/SheetGeometry.h"
#include "model/SheetLayout.h"

FoldingModel FoldingModel::inMillimetres(const SheetLayout& layout, const NetSource& source) {
    return FoldingModel(planInMillimetres(source, layout));
}

FoldingModel FoldingModel::inPixels(const SheetLayout& layout, const NetSource& source, int dpi) {
    const SheetGeometry g = sheetGeometry(layout, dpi, dpi);
    return fromMeasure(measureNetAtDpi(BoxArea{0, 0, g.Wb, g.Hb}, source, dpi));
}

FoldingModel FoldingModel::fromMeasure(const NetMeasure& m) { return FoldingModel(planOnCanvas(m)); }

std::vector<NetSegment> FoldingModel::folds() const {
    std::vector<NetSegment> out;
    for (const NetSegment& s : m_plan.segments)
        if (s.kind == SegmentKind::Fold) out.push_back(s);
    return out;
}

std::vector<NetSegment> FoldingModel::cuts() const {
    std::vector<NetSegment> out;
    for (const NetSegment& s : m_plan.segments)
        if (s.kind == SegmentKind::Cut) out.push_back(s);
    return out;
}
