#include "sheet/SheetCanvas.h"

#include "sheet/BleedClip.h"
#include "box/FoldingModel.h"
#include "model/BoxDocument.h"

#include <QPainter>
#include <QtMath>

QPainterPath copyClip(const SheetPlan& plan) {
    if (!plan.bleedInForce) return QPainterPath();
    // The cut line runs through the middle of the printed outline's pixels,
    // as in the cut file; the design may reach the bleed beyond it.
    return bleedClip(FoldingModel::fromMeasure(plan.net).cutOutline(), plan.clipBleedMm(), plan.frame.dpiX,
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
    p.Form = plan.form;
    p.Progress = plan.progress;
    p.NetLineMm = plan.netLineMm;
    // The background reaches the whole bleed outline, also where that lies
    // beyond the box area (left of the net and above its lid); a pixel more
    // each way than the outline's box, which the clip then trims.
    if (plan.bleedInForce)
        p.CoverArea = plan.outline.adjusted(-plan.bleedX - 1, -plan.bleedY - 1, plan.bleedX + 1, plan.bleedY + 1);
    return p;
}

namespace {

// One copy under its bleed clip. Pictures drawn through a curved clip path
// take the painter's slowest way (each span clipped on its own), which made
// marks on a design of many pictures several times slower than the sheet
// without them. So the copy is drawn unclipped onto white paper of its own,
// only the rows the canvas may still change, and that paper is put on the
// canvas through the clip in one step: the same pixels, since the canvas
// under a copy's bleed box is white paper (copies never overlap and marks
// come last).
bool drawClippedCopy(QPainter& canvas, const BoxDocument& doc, const RenderParams& params, const QPainterPath& clip,
                     QPoint origin, const QRect& box) {
    // The clip is a vector path: a fraction of a pixel may lie beyond the box.
    QRect area = box.adjusted(-2, -2, 2, 2);
    if (canvas.hasClipping()) area = area.intersected(canvas.clipBoundingRect().toAlignedRect());
    if (area.isEmpty()) return true;
    const qreal ratio = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
    QImage paper(qCeil(area.width() * ratio), qCeil(area.height() * ratio), QImage::Format_RGB32);
    if (paper.isNull()) return false;
    paper.setDevicePixelRatio(ratio);
    paper.fill(Qt::white);
    bool drawn = false;
    {
        QPainter layer(&paper);
        layer.setRenderHints(canvas.renderHints());
        layer.setPen(canvas.pen());
        layer.setBrush(canvas.brush());
        layer.translate(origin - area.topLeft());
        drawn = DrawVCart(layer, doc, params);
    }
    if (!drawn) return false;
    canvas.save();
    canvas.setClipPath(clip.translated(origin), Qt::IntersectClip);
    canvas.drawImage(area.topLeft(), paper);
    canvas.restore();
    return true;
}

}  // namespace

bool drawPlannedSheet(QPainter& canvas, const BoxDocument& doc, const SheetPlan& plan, RenderParams params,
                      const QRect& region) {
    const QPainterPath clip = copyClip(plan);
    const std::vector<BoxDocument>* rows = plan.copyDocuments.get();
    for (int k = 0; k < plan.copies(); ++k) {
        if (rows && size_t(k) >= rows->size()) break;
        const BoxDocument& copy = rows ? (*rows)[size_t(k)] : doc;
        // Without a bleed nothing is clipped: objects beyond the item print
        // as they always have, so every band needs the pass.
        if (plan.bleedInForce && !plan.placedBox(k).intersects(region)) continue;
        const QPoint origin = plan.itemOrigins[k] - region.topLeft();
        if (!clip.isEmpty()) {
            if (!drawClippedCopy(canvas, copy, params, clip, origin, plan.placedBox(k).translated(-region.topLeft())))
                return false;
            continue;
        }
        canvas.save();
        canvas.translate(origin);
        const bool drawn = DrawVCart(canvas, copy, params);
        canvas.restore();
        if (!drawn) return false;
    }
    drawRegistrationMarks(canvas, plan, region.topLeft());
    return true;
}

void drawRegistrationMarks(QPainter& canvas, const SheetPlan& plan, QPoint origin) {
    for (const QRect& m : plan.marks) canvas.fillRect(m.translated(-origin), Qt::black);
}
