#include "render/SheetCanvas.h"

#include "render/BleedClip.h"
#include "render/FoldingModel.h"

#include <QPainter>

QPainterPath copyClip(const SheetPlan& plan) {
    if (!plan.bleedInForce) return QPainterPath();
    // The cut line runs through the middle of the printed outline's pixels,
    // as in the cut file; the design may reach the bleed beyond it.
    return bleedClip(FoldingModel::fromMeasure(plan.net).cutOutline(), plan.bleedMmAsPlaced(), plan.frame.dpiX,
                     QPointF(0.5, 0.5));
}

RenderParams planRenderParams(const SheetPlan& plan, double fontFactor) {
    RenderParams p;
    p.AreaWidth = plan.item.width();
    p.AreaHeight = plan.item.height();
    // Objects count from the editing area's corner, one item left and above
    // the box area; the offsets bring the box area to the copy's corner.
    p.OffsetX = plan.item.width();
    p.OffsetY = plan.item.height();
    p.mapping = Mapping::printAtDpi(plan.frame.dpiX);
    p.FontFactor = fontFactor;
    p.EditorView = false;
    p.Percent = plan.percent;
    return p;
}

bool drawPlannedSheet(QPainter& canvas, const BoxDocument& doc, const SheetPlan& plan, RenderParams params,
                      const QRect& region) {
    const QPainterPath clip = copyClip(plan);
    for (int k = 0; k < plan.copies(); ++k) {
        // Without a bleed nothing is clipped: objects beyond the item print
        // as they always have, so every band needs the pass.
        if (plan.bleedInForce && !plan.placedBox(k).intersects(region)) continue;
        canvas.save();
        canvas.translate(plan.itemOrigins[k] - region.topLeft());
        if (!clip.isEmpty()) canvas.setClipPath(clip, Qt::IntersectClip);
        const bool drawn = DrawVCart(canvas, doc, params);
        canvas.restore();
        if (!drawn) return false;
    }
    drawRegistrationMarks(canvas, plan, region.topLeft());
    return true;
}

void drawRegistrationMarks(QPainter& canvas, const SheetPlan& plan, QPoint origin) {
    for (const QRect& m : plan.marks) canvas.fillRect(m.translated(-origin), Qt::black);
}
