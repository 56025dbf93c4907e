#include "sheet/BleedClip.h"

#include <QPainterPathStroker>
#include <algorithm>

double bleedPixels(double bleedMm, double dpi) { return std::max(bleedMm, 0.0) / 25.39995 * dpi; }

QPainterPath grownOutline(const QPolygonF& outline, double distance) {
    QPainterPath path;
    if (outline.size() < 3) return path;
    QPolygonF closed = outline;
    if (!closed.isClosed()) closed << closed.first();
    path.addPolygon(closed);
    path.closeSubpath();
    path.setFillRule(Qt::WindingFill);
    if (!(distance > 0)) return path;
    // A round-joined stroke of twice the distance is the band within the
    // distance on both sides; with the inside added it is the grown area.
    QPainterPathStroker stroker;
    stroker.setWidth(2 * distance);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath grown = stroker.createStroke(path).united(path);
    grown.setFillRule(Qt::WindingFill);
    return grown.simplified();
}

QPainterPath bleedClip(const QPolygonF& cutOutline, double bleedMm, double dpi, const QPointF& placement) {
    return grownOutline(cutOutline, bleedPixels(bleedMm, dpi)).translated(placement);
}
