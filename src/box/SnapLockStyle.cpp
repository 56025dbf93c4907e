// "Schnappboden": the tuck-top body on a snap-lock bottom folded by hand.
// The side flaps go in first, Vorne's flap over them, and Hinten's flap
// last with its tongue into the notch of Vorne's; the main flaps then lie
// edge to edge in the outer layer and hold the side flaps' hook steps.

#include "box/LockingBottom.h"
#include "box/TuckParts.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTan15 = 0.26794919243112270;

// Points given along a hinge from its start (s) and away from it (v),
// placed on the body's bottom edge from x0; reversed, s runs from x0 leftwards.
QPolygonF onEdge(const BottomEdge& e, double x0, bool reversed, std::initializer_list<QPointF> sv) {
    QPolygonF out;
    for (const QPointF& p : sv) out << QPointF(reversed ? x0 - p.x() : x0 + p.x(), e.y + p.y());
    return out;
}

}  // namespace

double snapLockReach(double b) { return std::clamp(b / 2 - 4, 0.0, 5.0); }

std::vector<BottomFlap> snapLockBottom(const BottomEdge& e) {
    const double a = e.x[2] - e.x[1], b = e.x[3] - e.x[2], links = e.x[1] - e.x[0];
    // Every flap stops half a board short of the crease at its ends, where
    // the panel across the corner stands.
    const double c = e.t / 2;
    const double reach = snapLockReach(b);
    const double deep = b / 2 + reach;
    const double side = std::min(b / 2 + 5, a / 2 - 1);

    // A side flap from its Vorne end: tapered there, so it swings past
    // Vorne's flap, and a 45° hook step in its middle that Hinten's flap,
    // folded over it last, holds down.
    auto sideFlap = [&](double len, double x0, bool reversed) {
        const double taper = std::min(side * kTan15, len / 8);
        const double hook = std::min({3.0, side / 4, len / 8});
        return onEdge(e, x0, reversed,
                      {{c, 0}, {c + taper, side - hook}, {len / 2, side - hook}, {len / 2 + hook, side},
                       {len - c - taper, side}, {len - c, 0}});
    };
    std::vector<BottomFlap> flaps(4);
    flaps[0] = {QStringLiteral("Bodenlasche rechts"), PanelRole::Bodenlasche, e.rechts, -1,
                sideFlap(b, e.x[2], false), QLineF(e.x[2], e.y, e.x[3], e.y)};
    flaps[1] = {QStringLiteral("Bodenlasche links"), PanelRole::Bodenlasche, e.links, -1,
                sideFlap(links, e.x[1], true), QLineF(e.x[0], e.y, e.x[1], e.y)};
    // Vorne's flap with the notch, L/2 wide in its middle, that Hinten's
    // tongue fills: outside the notch Hinten's flap meets Vorne's edge.
    flaps[2] = {QStringLiteral("Bodenlasche vorne"), PanelRole::Bodenlasche, e.vorne, -1,
                onEdge(e, e.x[1], false,
                       {{c, 0}, {c, deep}, {a / 4, deep}, {a / 4, deep - 2 * reach}, {3 * a / 4, deep - 2 * reach},
                        {3 * a / 4, deep}, {a - c, deep}, {a - c, 0}}),
                QLineF(e.x[1], e.y, e.x[2], e.y)};
    flaps[3] = {QStringLiteral("Bodenlasche hinten"), PanelRole::Bodenlasche, e.hinten, -1,
                onEdge(e, e.x[3], false,
                       {{c, 0}, {c, b - deep}, {a / 4, b - deep}, {a / 4, deep}, {3 * a / 4, deep},
                        {3 * a / 4, b - deep}, {a - c, b - deep}, {a - c, 0}}),
                QLineF(e.x[3], e.y, e.x[4], e.y)};
    // Each hinges on the part of its panel's edge it spans.
    for (BottomFlap& f : flaps) f.hinge = QLineF(f.outline.first(), f.outline.last());
    // Folded first, the side flaps lie innermost; the main flaps share the
    // outer layer, tongue in notch, and never overlap each other.
    flaps[0].inset = flaps[1].inset = 1;
    return flaps;
}

BoxPlan snapLockPlan(const BoxForm& form) {
    TuckNet net(tuckMeasures(form, 1));
    // By hand: the glue flap, the tube; then the bottom (side flaps, Vorne's,
    // Hinten's tongue into the notch) and the top as the reverse tuck box's.
    net.addBody({0.00, 0.12}, {0.08, 0.36}, {0.30, 0.46});
    const BottomEdge e = bottomEdgeOf(net);
    const int first = addBottom(net, snapLockBottom(e), {{0.44, 0.54}, {0.44, 0.54}, {0.54, 0.64}, {0.62, 0.72}});
    net.addDustFlaps(BoxEnd::Top, TuckNet::kHinten, {0.72, 0.80});
    net.addClosure(BoxEnd::Top, TuckNet::kHinten, {0.86, 1.00}, {0.78, 0.86});
    BoxPlan plan = net.finish();
    editMotion(plan, [&](BoxPlan& p) { markBottom(p, first, 4); });
    return plan;
}
