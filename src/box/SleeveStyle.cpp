// The sleeve ("Hülse"): Links | Vorne | Rechts | Hinten | Klebelasche, open
// at both ends. With a board thickness t the measures are the inside: the
// creases lie on the board's middle, so every panel between two folds spans
// its measure + t and the body is H + t high; Links, which ends at the glue
// flap, keeps B and the flap lies one thickness inside it.

#include "box/BoxStyles.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

QPolygonF rectangle(double x, double y, double w, double h) {
    return QPolygonF({QPointF(x, y), QPointF(x + w, y), QPointF(x + w, y + h), QPointF(x, y + h)});
}

}  // namespace

double sleeveGlueFlapMm(double B) { return std::min(15.0, B - 2.0); }

BoxPlan sleevePlan(const BoxForm& form) {
    const double t = form.thickness;
    const double a = form.L + t, b = form.B + t, h = form.H + t;
    const double w = sleeveGlueFlapMm(form.B);
    // The flap's ends lean 15° from the perpendicular to its hinge, so it
    // slides past the open ends when it folds in.
    const double taper = w * std::tan(15 * kPi / 180);
    const double x1 = form.B, x2 = x1 + a, x3 = x2 + b, x4 = x3 + a, x5 = x4 + w;

    BoxPlan plan;
    auto add = [&](const char* name, PanelRole role, PanelId parent, QPolygonF outline, QLineF hinge, double from,
                   double to, int inset) {
        PlanPanel p;
        p.id = static_cast<PanelId>(plan.panels.size());
        p.name = QString::fromUtf8(name);
        p.role = role;
        p.parent = parent;
        p.outline = std::move(outline);
        p.hinge = hinge;
        p.from = from, p.to = to;
        p.inset = inset;
        if (p.isFace()) {
            p.face = p.outline.boundingRect();
            labelFace(p, QPointF(0, -1));
        }
        plan.panels.push_back(p);
        return p.id;
    };
    // Folding by hand: the glue flap in first, then Rechts and Hinten round,
    // and Links last over the glue flap.
    const PanelId vorne = add("Vorne", PanelRole::Vorne, PanelId(0), rectangle(x1, 0, a, h), QLineF(), 0, 1, 0);
    const PanelId rechts =
        add("Rechts", PanelRole::Rechts, vorne, rectangle(x2, 0, b, h), QLineF(x2, 0, x2, h), 0.15, 0.6, 0);
    const PanelId hinten =
        add("Hinten", PanelRole::Hinten, rechts, rectangle(x3, 0, a, h), QLineF(x3, 0, x3, h), 0.15, 0.6, 0);
    add("Links", PanelRole::Links, vorne, rectangle(0, 0, x1, h), QLineF(x1, 0, x1, h), 0.55, 1.0, 0);
    add("Klebelasche", PanelRole::Klebelasche, hinten,
        QPolygonF({QPointF(x4, 0), QPointF(x5, taper), QPointF(x5, h - taper), QPointF(x4, h)}), QLineF(x4, 0, x4, h),
        0.0, 0.2, 1);

    plan.lines = {
        {{0, 0}, {0, h}, {x4, h}, {x5, h - taper}, {x5, taper}, {x4, 0}, {0, 0}},
        {{x1, 0}, {x1, h}},
        {{x2, 0}, {x2, h}},
        {{x3, 0}, {x3, h}},
        {{x4, 0}, {x4, h}},
    };
    plan.origin = QPointF(0, 0);
    plan.size = QSizeF(x5, h);
    plan.front = QRectF(x1, 0, a, h);
    plan.depth = b;
    plan.a = a, plan.b = b, plan.h = h;
    plan.board = t;
    plan.enclosed = false;
    plan.outlineStart = QPointF(0, 0);
    plan.finish();
    return plan;
}
