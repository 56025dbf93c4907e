#include "box/BoxPlan.h"

#include "base/Units.h"

#include <algorithm>
#include <cmath>

namespace {

double cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }
double dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }

// p lies on the segment a-b (ends included), within tolerance tol.
bool onSegment(const QPointF& p, const QPointF& a, const QPointF& b, double tol) {
    const QPointF d = b - a;
    const double len = std::sqrt(dot(d, d));
    if (len == 0) return QLineF(p, a).length() <= tol;
    if (std::abs(cross(d, p - a)) > tol * len) return false;
    const double t = dot(p - a, d);
    return t >= -tol * len && t <= len * len + tol * len;
}

bool near(const QPointF& a, const QPointF& b, double tol) {
    return std::abs(a.x() - b.x()) <= tol && std::abs(a.y() - b.y()) <= tol;
}

}  // namespace

bool isFaceRole(PanelRole role) {
    switch (role) {
    case PanelRole::Vorne:
    case PanelRole::Hinten:
    case PanelRole::Rechts:
    case PanelRole::Links:
    case PanelRole::Deckel:
    case PanelRole::Boden: return true;
    default: return false;
    }
}

QString roleName(PanelRole role) {
    switch (role) {
    case PanelRole::Vorne: return QStringLiteral("Vorne");
    case PanelRole::Hinten: return QStringLiteral("Hinten");
    case PanelRole::Rechts: return QStringLiteral("Rechts");
    case PanelRole::Links: return QStringLiteral("Links");
    case PanelRole::Deckel: return QStringLiteral("Deckel");
    case PanelRole::Boden: return QStringLiteral("Boden");
    case PanelRole::Klebelasche: return QStringLiteral("Klebelasche");
    case PanelRole::Staublasche: return QStringLiteral("Staublasche");
    case PanelRole::Einstecklasche: return QStringLiteral("Einstecklasche");
    case PanelRole::Bodenlasche: return QStringLiteral("Bodenlasche");
    }
    return QString();
}

double BoxPlan::smallestMeasure() const { return std::min({a, b, h}); }
double BoxPlan::largestMeasure() const { return std::max({a, b, h}); }
double BoxPlan::tolerance() const { return 1e-9 * std::max(1.0, largestMeasure()); }

void BoxPlan::finish() {
    const double tol = tolerance();
    segments.clear();
    for (int li = 0; li < static_cast<int>(lines.size()); ++li) {
        const std::vector<QPointF>& line = lines[li];
        for (size_t k = 0; k + 1 < line.size(); ++k) {
            const QPointF p0 = line[k], p1 = line[k + 1];
            if (near(p0, p1, tol)) continue;
            // Split at every panel corner on the piece, in order from p0.
            std::vector<QPointF> cutsAt{p0, p1};
            for (const PlanPanel& p : panels)
                for (const QPointF& c : p.outline)
                    if (onSegment(c, p0, p1, tol) && !near(c, p0, tol) && !near(c, p1, tol)) cutsAt.push_back(c);
            const QPointF d = p1 - p0;
            std::sort(cutsAt.begin(), cutsAt.end(),
                      [&](const QPointF& p, const QPointF& q) { return dot(p - p0, d) < dot(q - p0, d); });
            for (size_t i = 0; i + 1 < cutsAt.size(); ++i) {
                const QPointF p = cutsAt[i], q = cutsAt[i + 1];
                if (near(p, q, tol)) continue;
                NetSegment s;
                s.a = p;
                s.b = q;
                s.netLine = li + 1;
                int owners = 0;
                for (const PlanPanel& panel : panels) {
                    const QPolygonF& o = panel.outline;
                    bool edge = false;
                    for (int j = 0; j < o.size() && !edge; ++j) {
                        const QPointF u = o[j], v = o[(j + 1) % o.size()];
                        edge = onSegment(p, u, v, tol) && onSegment(q, u, v, tol);
                    }
                    if (!edge) continue;
                    if (owners == 0) s.panel = s.otherPanel = panel.id;
                    else if (owners == 1) s.otherPanel = panel.id;
                    ++owners;
                }
                // A piece on a slit is a cut even between two panels.
                bool onSlit = false;
                for (const QLineF& sl : slits)
                    onSlit = onSlit || (onSegment(p, sl.p1(), sl.p2(), tol) && onSegment(q, sl.p1(), sl.p2(), tol));
                s.kind = owners >= 2 && !onSlit ? SegmentKind::Fold : SegmentKind::Cut;
                segments.push_back(s);
            }
        }
    }

    folds.clear();
    std::vector<NetSegment> rest;
    for (const NetSegment& s : segments) {
        if (s.kind == SegmentKind::Fold) {
            folds.emplace_back(s.a, s.b);
            continue;
        }
        bool onSlit = false;
        for (const QLineF& sl : slits)
            onSlit = onSlit || (onSegment(s.a, sl.p1(), sl.p2(), tol) && onSegment(s.b, sl.p1(), sl.p2(), tol));
        if (!onSlit) rest.push_back(s);
    }
    outline.clear();
    if (rest.empty()) return;
    const QPointF start = outlineStart;
    QPointF at = start;
    outline << at;
    // Walk from corner to corner, always taking the first unused cut that
    // touches the current corner (there is exactly one on a sound net).
    while (!rest.empty()) {
        auto it = std::find_if(rest.begin(), rest.end(),
                               [&](const NetSegment& s) { return near(s.a, at, tol) || near(s.b, at, tol); });
        if (it == rest.end()) break;
        at = near(it->a, at, tol) ? it->b : it->a;
        rest.erase(it);
        if (near(at, start, tol)) break;
        outline << at;
    }
}

BoxPlan planOnPixels(const BoxPlan& mm, int left, int top, double pixelsPerMm) {
    const long double k = pixelsPerMm;
    // Every point from the same offset, so corners that panels share stay shared.
    auto px = [&](const QPointF& p) {
        return QPointF(clampCoord(static_cast<long long>(left) + truncToInt((p.x() - mm.origin.x()) * k)),
                       clampCoord(static_cast<long long>(top) + truncToInt((p.y() - mm.origin.y()) * k)));
    };
    auto line = [&](const QLineF& l) { return l.isNull() ? l : QLineF(px(l.p1()), px(l.p2())); };
    auto rect = [&](const QRectF& r) { return r.isNull() ? r : QRectF(px(r.topLeft()), px(r.bottomRight())); };
    BoxPlan out = mm;
    out.pixels = true;
    for (PlanPanel& p : out.panels) {
        QPolygonF o;
        for (const QPointF& c : p.outline) {
            const QPointF q = px(c);
            if (o.isEmpty() || o.last() != q) o << q;
        }
        while (o.size() > 1 && o.first() == o.last()) o.removeLast();
        p.outline = o;
        p.hinge = line(p.hinge);
        p.face = rect(p.face);
        p.closedReach *= pixelsPerMm;
        p.labelCentre = QPointF(left + (p.labelCentre.x() - mm.origin.x()) * pixelsPerMm,
                                top + (p.labelCentre.y() - mm.origin.y()) * pixelsPerMm);
        const QPointF a1 = p.labelArrow.p1() - mm.origin, a2 = p.labelArrow.p2() - mm.origin;
        p.labelArrow = QLineF(QPointF(left, top) + a1 * pixelsPerMm, QPointF(left, top) + a2 * pixelsPerMm);
    }
    for (std::vector<QPointF>& l : out.lines)
        for (QPointF& c : l) c = px(c);
    for (QLineF& s : out.slits) s = line(s);
    out.origin = QPointF(left, top);
    out.size = QSizeF(truncToInt(mm.size.width() * k), truncToInt(mm.size.height() * k));
    out.front = rect(mm.front);
    out.depth = mm.depth * pixelsPerMm;
    out.a = mm.a * pixelsPerMm, out.b = mm.b * pixelsPerMm, out.h = mm.h * pixelsPerMm;
    out.board = mm.board * pixelsPerMm;
    out.outlineStart = px(mm.outlineStart);
    out.finish();
    return out;
}

void labelFace(PlanPanel& p, QPointF up) {
    // The name sits a little off the middle, away from the arrow's end; the
    // arrow runs from beside it to just inside the edge it points at, all
    // measured along the face's extent in the arrow's direction.
    const QRectF r = p.face;
    const QPointF centre = r.center();
    const double s = up.y() != 0 ? r.height() : r.width();
    p.labelCentre = centre - up * (s * 0.1);
    p.labelArrow = QLineF(centre + up * (s * 0.08), centre + up * (s * 0.42));
}
