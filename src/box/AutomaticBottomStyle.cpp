// "Automatikboden": the tuck-top body on a bottom that is glued in the flat
// box and swings shut by itself when the tube is squared.
//
// In terms of the box's inside L × B (L ≥ B) and the board t; a = L + t and
// b = B + t are the panels between the creases, and every flap stops t/2
// short of the crease at an end where another panel stands:
//
//   the glued box lies flat along   Links|Vorne and Rechts|Hinten
//   Bodenlasche vorne, hinten       0.7·b deep on the half at Links (vorne)
//                                   or Rechts (hinten), a hook step to
//                                   0.5·b at a/2; the two steps meet
//                                   in the middle and lock
//   Bodenlasche rechts, links       d = min(B/2, L/2 − 1) deep, the end
//                                   away from the glue area tapered 15°
//   45° crease                      from the hinge's corner at Hinten
//                                   (rechts) or Vorne (links), d long
//                                   each way
//   glue pairs                      Klebefläche rechts on Bodenlasche hinten,
//                                   Klebefläche links on Bodenlasche vorne
//   layers (outside in)             side flaps and glue areas; vorne; hinten
//
// The glue corners are the flat creases: there the two panels lie on each
// other in the flat box, each flap folded up inside its panel and the glue
// area folded back on its 45° crease onto the partner's flap. Opened to an
// angle β, the corner holds both flaps at the same turn π − asin(tan(β/2))
// about their hinges: π (up inside) flat, π/2 (shut) once square.

#include "box/LockingBottom.h"
#include "box/TuckParts.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTan15 = 0.26794919243112270;

QPolygonF onEdge(const BottomEdge& e, double x0, std::initializer_list<QPointF> sv) {
    QPolygonF out;
    for (const QPointF& p : sv) out << QPointF(x0 + p.x(), e.y + p.y());
    return out;
}

}  // namespace

double squaringFlapTurn(double beta) {
    // Square, tan(β/2) rounds a hair under 1 and asin would leave the
    // bottom 1e-8 open.
    if (beta >= kPi / 2) return kPi / 2;
    return kPi - std::asin(std::min(1.0, std::tan(std::max(beta, 0.0) / 2)));
}

std::vector<BottomFlap> automaticBottom(const BottomEdge& e) {
    const double a = e.x[2] - e.x[1], b = e.x[3] - e.x[2], links = e.x[1] - e.x[0];
    const double c = e.t / 2;
    const double L = a - e.t, B = b - e.t;
    const double deep = 0.7 * b, step = 0.5 * b;
    const double d = std::min(B / 2, L / 2 - 1);
    const double taper = d * kTan15;

    // Both main flaps in their own hinge's direction: deep at the start.
    auto mainFlap = [&](double x0) {
        return onEdge(e, x0, {{c, 0}, {c, deep}, {a / 2, deep}, {a / 2, step}, {a - c, step}, {a - c, 0}});
    };
    // A side flap of length len whose glue area lies at its hinge's end:
    // the part on the hinge and the triangle beyond the 45° crease.
    auto sideFlap = [&](double x0, double len) {
        return onEdge(e, x0, {{c, 0}, {len, 0}, {len - d, d}, {c + taper, d}});
    };
    auto glueArea = [&](double x0, double len) {
        return onEdge(e, x0, {{len, 0}, {len - taper, d}, {len - d, d}});
    };
    auto crease = [&](double x0, double len) { return QLineF(x0 + len, e.y, x0 + len - d, e.y + d); };

    std::vector<BottomFlap> flaps(6);
    flaps[0] = {QStringLiteral("Bodenlasche vorne"), PanelRole::Bodenlasche, e.vorne, -1, mainFlap(e.x[1]),
                QLineF(e.x[1], e.y, e.x[2], e.y)};
    flaps[1] = {QStringLiteral("Bodenlasche hinten"), PanelRole::Bodenlasche, e.hinten, -1, mainFlap(e.x[3]),
                QLineF(e.x[3], e.y, e.x[4], e.y)};
    flaps[2] = {QStringLiteral("Bodenlasche rechts"), PanelRole::Bodenlasche, e.rechts, -1, sideFlap(e.x[2], b),
                QLineF(e.x[2], e.y, e.x[3], e.y)};
    flaps[3] = {QStringLiteral("Klebefläche rechts"), PanelRole::Bodenlasche, e.rechts, 2, glueArea(e.x[2], b),
                crease(e.x[2], b), 0};
    flaps[4] = {QStringLiteral("Bodenlasche links"), PanelRole::Bodenlasche, e.links, -1, sideFlap(e.x[0], links),
                QLineF(e.x[0], e.y, e.x[1], e.y)};
    flaps[5] = {QStringLiteral("Klebefläche links"), PanelRole::Bodenlasche, e.links, 4, glueArea(e.x[0], links),
                crease(e.x[0], links), 0};
    // Each hinges on the part of its panel's edge it spans.
    for (int k : {0, 1}) flaps[k].hinge = QLineF(flaps[k].outline.first(), flaps[k].outline.last());
    for (int k : {2, 4}) flaps[k].hinge = QLineF(flaps[k].outline[0], flaps[k].outline[1]);
    flaps[0].inset = 1;
    flaps[1].inset = 2;
    flaps[3].gluedTo = 1;
    flaps[5].gluedTo = 0;
    return flaps;
}

void foldAsGlued(BoxPlan& plan, const BottomEdge& e, int first) {
    // Up and back (0 .. kUp), laid flat and glued (.. kFlat), squared
    // (.. kSquare), and the rest of the box closes after.
    constexpr double kUp = 0.15, kFlat = 0.3, kSquare = 0.65;
    constexpr int kSteps = 16;
    auto squaring = [&](auto angleOf) {
        std::vector<QPointF> k;
        for (int i = 0; i <= kSteps; ++i) {
            const double s = double(i) / kSteps;
            const double beta = kPi / 2 * s * s * (3 - 2 * s);
            k.emplace_back(kFlat + (kSquare - kFlat) * s, angleOf(beta));
        }
        return k;
    };
    auto with = [](std::vector<QPointF> head, const std::vector<QPointF>& tail) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const auto open = squaring([](double beta) { return beta; });
    const auto corner = squaring([](double beta) { return kPi - beta; });
    const auto flap = squaring([](double beta) { return squaringFlapTurn(beta); });
    for (int i = 0; i < int(plan.panels.size()); ++i) {
        PlanPanel& p = plan.panels[i];
        if (p.parent == p.id) continue;
        const int k = i - first;
        if (k >= 0 && k < 6) {
            if (k == 3 || k == 5) {
                // Back onto the partner's place; from the glue on it moves
                // with the partner, and lies flat on its crease when shut.
                p.turns = {{0, 0}, {kUp, -kPi}, {kFlat, -kPi}, {1, 0}};
                p.gluedTo = first + (k == 3 ? 1 : 0);
                p.gluedFrom = kFlat;
            } else {
                p.turns = with({{0, 0}, {kUp, kPi}}, flap);
            }
        } else if (p.id == e.rechts || p.id == e.klebelasche) {
            p.turns = with({{0, 0}}, open);
        } else if (p.id == e.hinten || p.id == e.links) {
            p.turns = with({{0, 0}, {kUp, 0}, {kFlat, kPi}}, corner);
        } else {
            p.from = kSquare + (1 - kSquare) * p.from;
            p.to = kSquare + (1 - kSquare) * p.to;
        }
    }
}

BoxPlan automaticBottomPlan(const BoxForm& form) {
    TuckNet net(tuckMeasures(form, 1));
    // The body's own windows give way to the glued box's motion; the top
    // closes, in these shares, once the tube is square.
    net.addBody({0, 1}, {0, 1}, {0, 1});
    net.addDustFlaps(BoxEnd::Top, TuckNet::kHinten, {0.0, 0.3});
    net.addClosure(BoxEnd::Top, TuckNet::kHinten, {0.55, 1.0}, {0.3, 0.55});
    const BottomEdge e = bottomEdgeOf(net);
    const int first = addBottom(net, automaticBottom(e));
    BoxPlan plan = net.finish();
    editMotion(plan, [&](BoxPlan& p) {
        markBottom(p, first, 6);
        foldAsGlued(p, e, first);
    });
    return plan;
}
