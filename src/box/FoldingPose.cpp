// The folding motion: when each hinge turns, and where every panel lies in
// space at a folding state.

#include "box/FoldingModel.h"

#include <algorithm>
#include <cmath>

namespace {


// Half-plane y >= c of a polygon in net coordinates.
QPolygonF clipBelow(const QPolygonF& poly, double c) {
    QPolygonF out;
    const int n = poly.size();
    for (int i = 0; i < n; ++i) {
        const QPointF p = poly[i], q = poly[(i + 1) % n];
        const bool pin = p.y() >= c, qin = q.y() >= c;
        if (pin) out << p;
        if (pin != qin) {
            const double t = (c - p.y()) / (q.y() - p.y());
            out << QPointF(p.x() + t * (q.x() - p.x()), c);
        }
    }
    QPolygonF clean;
    for (const QPointF& p : out)
        if (clean.isEmpty() || clean.last() != p) clean << p;
    while (clean.size() > 1 && clean.first() == clean.last()) clean.removeLast();
    // Corners left standing on the clip line in the middle of an edge.
    QPolygonF corners;
    const int m = clean.size();
    for (int i = 0; i < m; ++i) {
        const double before = clean[(i + m - 1) % m].y(), here = clean[i].y(), after = clean[(i + 1) % m].y();
        if (m > 3 && before == c && here == c && after == c) continue;
        corners << clean[i];
    }
    return corners;
}

Vec3 inSpace(const QPointF& p) { return {p.x(), p.y(), 0}; }

// The part of a panel within its reach of the hinge, the reach growing from
// the panel's far tip (q = 0) to closedReach (q = 1). Panels above or below a
// level hinge, or beside an upright one, are clipped in their own
// coordinates so that the corners stay exact; the net is drawn so.
QPolygonF clipToReach(const FoldPanel& panel, double q) {
    const QRectF box = panel.outline.boundingRect();
    const QLineF& h = panel.hinge;
    const bool level = h.p1().y() == h.p2().y();
    const double along = level ? h.p1().y() : h.p1().x();
    const double centre = level ? box.center().y() : box.center().x();
    const double sign = centre < along ? -1 : 1;
    // In mirrored coordinates the panel lies above its hinge: keep v >= c.
    auto mirror = [&](const QPointF& p) {
        const QPointF r = level ? p : QPointF(p.y(), p.x());
        return sign < 0 ? r : QPointF(r.x(), -r.y());
    };
    auto back = [&](const QPointF& r) {
        const QPointF u = sign < 0 ? r : QPointF(r.x(), -r.y());
        return level ? u : QPointF(u.y(), u.x());
    };
    QPolygonF local;
    for (const QPointF& p : panel.outline) local << mirror(p);
    const double hinge = sign < 0 ? along : -along;
    const double tip = local.boundingRect().top();
    const double middle = hinge - panel.closedReach;
    QPolygonF clipped = clipBelow(local, q < 1 ? tip + (middle - tip) * q : middle);
    for (QPointF& p : clipped) p = back(p);
    return clipped;
}

}  // namespace

double FoldingModel::hingeProgress(PanelId id, double f) const {
    const FoldPanel& p = panel(id);
    if (p.parent == p.id) return 0;
    f = std::clamp(f, 0.0, 1.0);
    const double s = std::clamp((f - p.from) / (p.to - p.from), 0.0, 1.0);
    return s * s * (3 - 2 * s);
}

std::vector<PanelPose> FoldingModel::fold(double f) const {
    const int count = panelCount();
    std::vector<PanelPose> poses(count);
    const double thickness = paperThickness();
    for (int i = 0; i < count; ++i) {
        const FoldPanel& panel = m_plan.panels[i];
        PanelPose& pose = poses[i];
        pose.id = panel.id;
        pose.netPolygon = panel.outline;
        if (panel.parent != panel.id) {
            // Parents come before their children in the plan.
            const PanelPose& parent = poses[static_cast<int>(panel.parent)];
            const double progress = hingeProgress(panel.id, f);
            const Vec3 a = inSpace(panel.hinge.p1()), b = inSpace(panel.hinge.p2());
            const Vec3 along = (b - a).normalized();
            const QPointF c = panel.outline.boundingRect().center();
            const Vec3 toCentre = inSpace(c) - a;
            const Vec3 outwards = toCentre - along * toCentre.dot(along);
            // Turning about this axis moves the panel towards +z, the back of
            // the paper, so the print stays outside.
            const Vec3 axis = outwards.cross(Vec3{0, 0, 1}).normalized();
            const double inset = panel.inset * thickness * progress;
            if (panel.followsParent) {
                // Bent past square while the parent still stands open, it
                // lies inside the parent; closed, inside the panel it meets.
                const FoldPanel& up = m_plan.panels[static_cast<int>(panel.parent)];
                const double shut = hingeProgress(up.id, f);
                const double angle = panel.angle + up.angle * (1 - shut);
                const Vec3 closedIn = Rigid3::rotation(a, axis, panel.angle).rotate(Vec3{0, 0, 1});
                const Vec3 in = closedIn * shut + Vec3{0, 0, 1} * (1 - shut);
                pose.transform = parent.transform * Rigid3::translation(in * inset) *
                                 Rigid3::rotation(a, axis, progress * angle);
            } else {
                pose.transform = parent.transform * Rigid3::rotation(a, axis, progress * panel.angle) *
                                 Rigid3::translation(Vec3{0, 0, inset});
            }
            if (panel.closedReach > 0) {
                // In the last quarter of its turn the part beyond the reach
                // (a lid half's tab) slides under its neighbour; closed, the
                // panel ends at the reach.
                const double q = std::clamp((progress - 0.75) / 0.25, 0.0, 1.0);
                if (q > 0) pose.netPolygon = clipToReach(panel, q);
            }
        }
        pose.normal = pose.transform.rotate(Vec3{0, 0, -1});
        pose.corners.reserve(pose.netPolygon.size());
        for (const QPointF& p : pose.netPolygon) pose.corners.push_back(pose.transform.apply(inSpace(p)));
    }
    return poses;
}
