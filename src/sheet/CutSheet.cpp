#include "sheet/CutSheet.h"

#include "box/FoldingModel.h"

#include <QFileInfo>
#include <algorithm>
#include <QPainterPath>

namespace {

// Consecutive repeats and a closing repeat of the first point say nothing
// to a cutter and make some importers stop at a zero-length segment.
QPolygonF withoutRepeats(const QPolygonF& poly) {
    QPolygonF out;
    for (const QPointF& p : poly)
        if (out.isEmpty() || out.last() != p) out << p;
    while (out.size() > 1 && out.first() == out.last()) out.removeLast();
    return out;
}

// A mark as one shape: the L's two arms joined into one outline.
std::vector<QPolygonF> markShapes(const SheetPlan& plan) {
    std::vector<QRectF> rects;
    for (const QRect& r : plan.marks) {
        const QPointF a = plan.pageToPaperMm(r.topLeft());
        const QPointF b = plan.pageToPaperMm(r.bottomRight() + QPoint(1, 1));
        rects.push_back(QRectF(a, b));
    }
    std::vector<QPolygonF> shapes;
    for (size_t i = 0; i < rects.size();) {
        QPainterPath path;
        path.addRect(rects[i]);
        size_t j = i + 1;
        // The marks come as the square, then pairs of arms sharing a corner.
        if (i > 0 && j < rects.size() && rects[i].intersects(rects[j])) {
            QPainterPath arm;
            arm.addRect(rects[j]);
            path = path.united(arm);
            ++j;
        }
        for (const QPolygonF& poly : path.simplified().toFillPolygons()) shapes.push_back(withoutRepeats(poly));
        i = j;
    }
    return shapes;
}

}  // namespace

CutSheet cutSheetFor(const SheetPlan& plan) {
    CutSheet sheet;
    sheet.paperMm = plan.frame.paperSizeMm();
    const FoldingModel net = FoldingModel::fromMeasure(plan.net);
    const QPointF centre(0.5, 0.5);
    for (int k = 0; k < plan.copies(); ++k) {
        const QPointF at = QPointF(plan.itemOrigins[k]) + centre;
        addCutNet(sheet, net, [&](const QPointF& p) { return plan.pageToPaperMm(at + p); });
    }
    sheet.marks = markShapes(plan);
    return sheet;
}

void addCutNet(CutSheet& sheet, const FoldingModel& net, const std::function<QPointF(const QPointF&)>& toPaperMm) {
    QPolygonF cut;
    for (const QPointF& p : net.cutOutline()) cut << toPaperMm(p);
    sheet.cuts.push_back(withoutRepeats(cut));
    for (const NetSegment& f : net.folds()) sheet.folds.emplace_back(toPaperMm(f.a), toPaperMm(f.b));
    for (const QLineF& s : net.slits()) sheet.slits.emplace_back(toPaperMm(s.p1()), toPaperMm(s.p2()));
}

bool cutShapeWritten(const CutSheet& sheet, int n) {
    if (!sheet.progress) return true;
    const long long total = static_cast<long long>(sheet.marks.size() + sheet.folds.size() + sheet.cuts.size() +
                                                 sheet.slits.size());
    if (n % 64 != 0 && n < total) return true;
    return sheet.progress(static_cast<int>(total > 0 ? std::min<long long>(100, 100LL * n / total) : 100));
}

bool writeCutFile(const CutSheet& sheet, const QString& path, QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg")) return writeCutSvg(sheet, path, error);
    if (suffix == QLatin1String("dxf")) return writeCutDxf(sheet, path, error);
    if (error) *error = QStringLiteral("Eine Schnittdatei ist eine SVG- oder DXF-Datei (Endung .svg oder .dxf).");
    return false;
}
