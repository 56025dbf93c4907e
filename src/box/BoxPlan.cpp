#include "box/BoxPlan.h"

#include "base/Units.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

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

// Replaces every piece of poly that is one of the arcs by its polyline. The
// points always come from the arc's own a→b, reversed for a piece that runs
// b→a, so a line and the panels it bounds get the very same corners.
std::vector<QPointF> flattenPiecewise(const std::vector<QPointF>& poly, bool closed, const std::vector<PlanArc>& arcs,
                                      double flatness, double tol) {
    std::vector<QPointF> out;
    const size_t n = poly.size();
    for (size_t k = 0; k < n; ++k) {
        out.push_back(poly[k]);
        if (k + 1 == n && !closed) break;
        const QPointF p = poly[k], q = poly[(k + 1) % n];
        for (const PlanArc& arc : arcs) {
            const bool forward = near(arc.a, p, tol) && near(arc.b, q, tol);
            const bool backward = near(arc.b, p, tol) && near(arc.a, q, tol);
            if (!forward && !backward) continue;
            std::vector<QPointF> mid = arcPoints(arc.a, arc.b, arc.bulge, flatness);
            if (backward) std::reverse(mid.begin(), mid.end());
            out.insert(out.end(), mid.begin(), mid.end());
            break;
        }
    }
    return out;
}

void flattenArcs(BoxPlan& plan, double flatness) {
    if (plan.arcs.empty()) return;
    const double tol = plan.tolerance();
    for (std::vector<QPointF>& line : plan.lines) line = flattenPiecewise(line, false, plan.arcs, flatness, tol);
    for (PlanPanel& p : plan.panels) {
        const std::vector<QPointF> corners(p.outline.begin(), p.outline.end());
        const std::vector<QPointF> flat = flattenPiecewise(corners, true, plan.arcs, flatness, tol);
        p.outline = QPolygonF(QList<QPointF>(flat.begin(), flat.end()));
    }
    plan.arcs.clear();
}

}  // namespace

std::vector<QPointF> arcPoints(const QPointF& a, const QPointF& b, double bulge, double flatness) {
    const QPointF d = b - a;
    const double c = std::sqrt(dot(d, d));
    if (c == 0 || bulge == 0 || !std::isfinite(bulge)) return {};
    // To the right of a→b on paper (y down); the arc's middle lies the
    // sagitta bulge·c/2 that way from the chord's middle.
    const QPointF right(-d.y() / c, d.x() / c);
    const QPointF top = (a + b) / 2 + right * (bulge * c / 2);
    const double r = c * (1 + bulge * bulge) / (4 * std::abs(bulge));
    const QPointF centre = top - right * (bulge > 0 ? r : -r);
    const double sweep = 4 * std::atan(std::abs(bulge)) * (cross(a - centre, top - centre) >= 0 ? 1 : -1);
    // A chord of angle δ strays r·(1 − cos(δ/2)) from its arc.
    const double step = flatness >= r ? kPi : 2 * std::acos(1 - flatness / r);
    const int n = std::clamp(static_cast<int>(std::ceil(std::abs(sweep) / step)), 1, 4096);
    const double a0 = std::atan2(a.y() - centre.y(), a.x() - centre.x());
    std::vector<QPointF> out;
    for (int i = 1; i < n; ++i) {
        const double t = a0 + sweep * i / n;
        out.emplace_back(centre.x() + r * std::cos(t), centre.y() + r * std::sin(t));
    }
    return out;
}

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
    if (!arcs.empty()) {
        auto raw = std::make_shared<BoxPlan>(*this);
        raw->withArcs.reset();
        withArcs = std::move(raw);
        flattenArcs(*this, flatness());
    }
    segments.clear();
    // Each panel's bounds: a piece outside them meets none of its corners
    // or edges, which spares the point tests on nets of many corners (arcs).
    std::vector<QRectF> bounds;
    bounds.reserve(panels.size());
    for (const PlanPanel& p : panels) bounds.push_back(p.outline.boundingRect().adjusted(-tol, -tol, tol, tol));
    auto reaches = [](const QRectF& r, const QPointF& a, const QPointF& b) {
        return std::max(a.x(), b.x()) >= r.left() && std::min(a.x(), b.x()) <= r.right() &&
               std::max(a.y(), b.y()) >= r.top() && std::min(a.y(), b.y()) <= r.bottom();
    };
    for (int li = 0; li < static_cast<int>(lines.size()); ++li) {
        const std::vector<QPointF>& line = lines[li];
        for (size_t k = 0; k + 1 < line.size(); ++k) {
            const QPointF p0 = line[k], p1 = line[k + 1];
            if (near(p0, p1, tol)) continue;
            // Split at every panel corner on the piece, in order from p0.
            std::vector<QPointF> cutsAt{p0, p1};
            for (size_t pi = 0; pi < panels.size(); ++pi) {
                if (!reaches(bounds[pi], p0, p1)) continue;
                for (const QPointF& c : panels[pi].outline)
                    if (onSegment(c, p0, p1, tol) && !near(c, p0, tol) && !near(c, p1, tol)) cutsAt.push_back(c);
            }
            // A slit along the piece interrupts it: split at its ends too.
            for (const QLineF& sl : slits)
                for (const QPointF& c : {sl.p1(), sl.p2()})
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
                for (size_t pi = 0; pi < panels.size(); ++pi) {
                    if (!reaches(bounds[pi], p, q)) continue;
                    const PlanPanel& panel = panels[pi];
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

BoxPlan planOnPixels(const BoxPlan& finished, int left, int top, double pixelsPerMm) {
    // Arcs flattened for this canvas, in millimetres, before any point is truncated.
    BoxPlan mm = finished.withArcs ? *finished.withArcs : finished;
    if (pixelsPerMm > 0) flattenArcs(mm, 0.5 / pixelsPerMm);
    mm.withArcs.reset();
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
