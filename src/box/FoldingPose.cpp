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
    if (!p.turns.empty()) {
        const double first = p.turns.front().x(), last = p.turns.back().x();
        if (f >= last) return 1;
        return last > first ? std::clamp((f - first) / (last - first), 0.0, 1.0) : 0;
    }
    const double s = std::clamp((f - p.from) / (p.to - p.from), 0.0, 1.0);
    return s * s * (3 - 2 * s);
}

namespace {

// The hinge's angle at f: along its moments, or its one smooth turn.
double turnedAngle(const FoldPanel& p, double f, double progress) {
    if (p.turns.empty()) return progress * p.angle;
    const std::vector<QPointF>& k = p.turns;
    if (f <= k.front().x()) return k.front().y();
    for (size_t i = 1; i < k.size(); ++i)
        if (f <= k[i].x()) {
            const double span = k[i].x() - k[i - 1].x();
            const double u = span > 0 ? (f - k[i - 1].x()) / span : 1;
            return k[i - 1].y() + (k[i].y() - k[i - 1].y()) * u;
        }
    return k.back().y();
}

}  // namespace

std::vector<Rigid3> FoldingModel::hingeTransforms(double f) const {
    const int count = panelCount();
    std::vector<Rigid3> out(count);
    const double thickness = paperThickness();
    f = std::clamp(f, 0.0, 1.0);
    for (int i = 0; i < count; ++i) {
        const FoldPanel& panel = m_plan.panels[i];
        if (panel.parent == panel.id) continue;
        // Parents come before their children in the plan.
        const Rigid3& parent = out[static_cast<int>(panel.parent)];
        const double progress = hingeProgress(panel.id, f);
        const Vec3 a = inSpace(panel.hinge.p1()), b = inSpace(panel.hinge.p2());
        const Vec3 along = (b - a).normalized();
        const QPointF c = panel.outline.boundingRect().center();
        Vec3 toCentre = inSpace(c) - a;
        Vec3 outwards = toCentre - along * toCentre.dot(along);
        if (outwards.length() < 1e-9 * (1 + toCentre.length())) {
            // A triangle on a slanted hinge may have its box's centre on
            // the hinge; its corners' mean never is.
            QPointF mean;
            for (const QPointF& p : panel.outline) mean += p / panel.outline.size();
            toCentre = inSpace(mean) - a;
            outwards = toCentre - along * toCentre.dot(along);
        }
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
            out[i] = parent * Rigid3::translation(in * inset) * Rigid3::rotation(a, axis, progress * angle);
        } else {
            out[i] = parent * Rigid3::rotation(a, axis, turnedAngle(panel, f, progress)) *
                     Rigid3::translation(Vec3{0, 0, inset});
        }
    }
    return out;
}

std::vector<PanelPose> FoldingModel::fold(double f) const {
    const int count = panelCount();
    std::vector<PanelPose> poses(count);
    std::vector<Rigid3> transforms = hingeTransforms(f);
    // A glue area, once glued, keeps the place on its partner it has on the
    // closed box. Partners are body flaps, never glue areas themselves.
    std::vector<Rigid3> shut;
    for (int i = 0; i < count; ++i) {
        const FoldPanel& panel = m_plan.panels[i];
        if (panel.gluedTo < 0 || panel.gluedTo >= count || f < panel.gluedFrom) continue;
        if (shut.empty()) shut = hingeTransforms(1);
        transforms[i] = transforms[panel.gluedTo] * shut[panel.gluedTo].inverse() * shut[i];
    }
    for (int i = 0; i < count; ++i) {
        const FoldPanel& panel = m_plan.panels[i];
        PanelPose& pose = poses[i];
        pose.id = panel.id;
        pose.netPolygon = panel.outline;
        pose.transform = transforms[i];
        if (panel.parent != panel.id && panel.closedReach > 0) {
            // In the last quarter of its turn the part beyond the reach
            // (a lid half's tab) slides under its neighbour; closed, the
            // panel ends at the reach.
            const double q = std::clamp((hingeProgress(panel.id, f) - 0.75) / 0.25, 0.0, 1.0);
            if (q > 0) pose.netPolygon = clipToReach(panel, q);
        }
        pose.normal = pose.transform.rotate(Vec3{0, 0, -1});
        pose.corners.reserve(pose.netPolygon.size());
        for (const QPointF& p : pose.netPolygon) pose.corners.push_back(pose.transform.apply(inSpace(p)));
    }
    return poses;
}
