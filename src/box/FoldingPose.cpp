// The folding motion: when each hinge turns, and where every panel lies in
// space at a folding state.

#include "box/FoldingModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kQuarterTurn = 1.5707963267948966;

struct Interval {
    double from, to;
};

// Folding by hand: the glue flap first, then the tube of side faces, the
// bottom's flaps and the bottom, the dust flaps (the one from the back
// first, it lies further in), and last the two lid halves, one after the
// other so their tabs never pass through each other.
Interval intervalFor(PanelId id) {
    switch (id) {
    case PanelId::Vorne: return {2, 3};   // never turns
    case PanelId::Klebelasche: return {0.00, 0.14};
    case PanelId::Rechts:
    case PanelId::Hinten:
    case PanelId::Links: return {0.08, 0.42};
    case PanelId::BodenlascheLinks:
    case PanelId::BodenlascheRechts:
    case PanelId::BodenlascheVorne: return {0.38, 0.52};
    case PanelId::Boden: return {0.48, 0.66};
    case PanelId::StaublascheHinten: return {0.62, 0.72};
    case PanelId::StaublascheVorne: return {0.68, 0.78};
    case PanelId::DeckelLinks: return {0.76, 0.90};
    case PanelId::DeckelRechts: return {0.84, 1.00};
    }
    return {0, 1};
}

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

}  // namespace

double FoldingModel::hingeProgress(PanelId id, double f) {
    const Interval iv = intervalFor(id);
    f = std::clamp(f, 0.0, 1.0);
    const double s = std::clamp((f - iv.from) / (iv.to - iv.from), 0.0, 1.0);
    return s * s * (3 - 2 * s);
}

std::vector<PanelPose> FoldingModel::fold(double f) const {
    std::vector<PanelPose> poses(kPanelCount);
    const double thickness = paperThickness();
    for (int i = 0; i < kPanelCount; ++i) {
        const FoldPanel& panel = m_panels[i];
        PanelPose& pose = poses[i];
        pose.id = panel.id;
        pose.netPolygon = panel.outline;
        if (panel.id != PanelId::Vorne) {
            // Parents come before their children in PanelId order.
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
            pose.transform = parent.transform * Rigid3::rotation(a, axis, progress * kQuarterTurn) *
                             Rigid3::translation(Vec3{0, 0, panel.inset * thickness * progress});
            if (panelKind(panel.id) == PanelKind::LidHalf) {
                // In the last quarter of its turn the tab slides under the
                // other half; closed, the half ends at the lid's middle line.
                const double tip = panel.outline.boundingRect().top();
                const double middle = panel.hinge.p1().y() - (m_pixels ? std::floor(m_n.a / 2) : m_n.a / 2);
                const double q = std::clamp((progress - 0.75) / 0.25, 0.0, 1.0);
                if (q > 0) pose.netPolygon = clipBelow(panel.outline, q < 1 ? tip + (middle - tip) * q : middle);
            }
        }
        pose.normal = pose.transform.rotate(Vec3{0, 0, -1});
        pose.corners.reserve(pose.netPolygon.size());
        for (const QPointF& p : pose.netPolygon) pose.corners.push_back(pose.transform.apply(inSpace(p)));
    }
    return poses;
}
