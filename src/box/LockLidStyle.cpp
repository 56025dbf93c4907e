#include "box/LockLidStyle.h"

#include <cmath>

namespace {

using Line = std::vector<QPointF>;

QPolygonF withoutRepeats(const Line& points) {
    QPolygonF poly;
    for (const QPointF& p : points)
        if (poly.isEmpty() || poly.last() != p) poly << p;
    while (poly.size() > 1 && poly.first() == poly.last()) poly.removeLast();
    return poly;
}

QPolygonF rectangle(double x, double y, double w, double h) {
    return QPolygonF({QPointF(x, y), QPointF(x + w, y), QPointF(x + w, y + h), QPointF(x, y + h)});
}

PanelRole roleOf(PanelId id) {
    switch (id) {
    case PanelId::Vorne: return PanelRole::Vorne;
    case PanelId::Rechts: return PanelRole::Rechts;
    case PanelId::Hinten: return PanelRole::Hinten;
    case PanelId::Links: return PanelRole::Links;
    case PanelId::Boden: return PanelRole::Boden;
    case PanelId::DeckelRechts:
    case PanelId::DeckelLinks: return PanelRole::Deckel;
    case PanelId::Klebelasche: return PanelRole::Klebelasche;
    case PanelId::StaublascheVorne:
    case PanelId::StaublascheHinten: return PanelRole::Staublasche;
    default: return PanelRole::Bodenlasche;
    }
}

// Folding by hand: the glue flap first, then the tube of side faces, the
// bottom's flaps and the bottom, the dust flaps (the one from the back
// first, it lies further in), and last the two lid halves, one after the
// other so their tabs never pass through each other.
void windowFor(PanelId id, double& from, double& to) {
    switch (id) {
    case PanelId::Vorne: from = 0, to = 1; return;
    case PanelId::Klebelasche: from = 0.00, to = 0.14; return;
    case PanelId::Rechts:
    case PanelId::Hinten:
    case PanelId::Links: from = 0.08, to = 0.42; return;
    case PanelId::BodenlascheLinks:
    case PanelId::BodenlascheRechts:
    case PanelId::BodenlascheVorne: from = 0.38, to = 0.52; return;
    case PanelId::Boden: from = 0.48, to = 0.66; return;
    case PanelId::StaublascheHinten: from = 0.62, to = 0.72; return;
    case PanelId::StaublascheVorne: from = 0.68, to = 0.78; return;
    case PanelId::DeckelLinks: from = 0.76, to = 0.90; return;
    case PanelId::DeckelRechts: from = 0.84, to = 1.00; return;
    }
}

}  // namespace

PanelKind panelKind(PanelId id) {
    switch (id) {
    case PanelId::Vorne:
    case PanelId::Rechts:
    case PanelId::Hinten:
    case PanelId::Links:
    case PanelId::Boden: return PanelKind::Face;
    case PanelId::DeckelRechts:
    case PanelId::DeckelLinks: return PanelKind::LidHalf;
    default: return PanelKind::Flap;
    }
}

QString panelName(PanelId id) {
    switch (id) {
    case PanelId::Vorne: return QStringLiteral("Vorne");
    case PanelId::Rechts: return QStringLiteral("Rechts");
    case PanelId::Hinten: return QStringLiteral("Hinten");
    case PanelId::Links: return QStringLiteral("Links");
    case PanelId::Boden: return QStringLiteral("Boden");
    case PanelId::Klebelasche: return QStringLiteral("Klebelasche");
    case PanelId::BodenlascheLinks: return QStringLiteral("Bodenlasche links");
    case PanelId::BodenlascheRechts: return QStringLiteral("Bodenlasche rechts");
    case PanelId::BodenlascheVorne: return QStringLiteral("Bodenlasche vorne");
    case PanelId::StaublascheVorne: return QStringLiteral("Staublasche vorne");
    case PanelId::StaublascheHinten: return QStringLiteral("Staublasche hinten");
    case PanelId::DeckelRechts: return QStringLiteral("Deckel rechts");
    case PanelId::DeckelLinks: return QStringLiteral("Deckel links");
    }
    return QString();
}

QString faceName(PanelId id) { return isFaceRole(roleOf(id)) ? roleName(roleOf(id)) : QString(); }

BoxPlan lockLidPlan(double L, double T, const NetDims<double>& n, bool pixels) {
    BoxPlan plan;
    plan.pixels = pixels;
    plan.lines = netOutline<QPointF>(L, T, n);
    const double a = n.a, b = n.b, h = n.h;
    const double Y1 = T + n.t, Y2 = Y1 + h, Y3 = Y2 + b;
    const double x1 = L + a, x2 = x1 + b, x3 = x2 + a, x4 = x3 + b;
    const std::vector<Line>& nl = plan.lines;
    auto vertical = [&](double x, double y0, double y1) { return QLineF(x, y0, x, y1); };
    auto horizontal = [&](double y, double x0, double xe) { return QLineF(x0, y, xe, y); };

    plan.panels.assign(kPanelCount, PlanPanel{});
    auto set = [&](PanelId id, PanelId parent, QPolygonF outline, QLineF hinge, int inset) {
        PlanPanel& p = plan.panels[static_cast<int>(id)];
        p.id = id;
        p.name = panelName(id);
        p.role = roleOf(id);
        p.parent = parent;
        p.outline = std::move(outline);
        p.hinge = hinge;
        p.inset = inset;
        windowFor(id, p.from, p.to);
        if (p.isFace()) {
            p.face = p.outline.boundingRect();
            labelFace(p, id == PanelId::Boden ? QPointF(0, 1) : QPointF(0, -1));
        }
    };
    set(PanelId::Vorne, PanelId::Vorne, rectangle(L, Y1, a, h), QLineF(), 0);
    set(PanelId::Rechts, PanelId::Vorne, rectangle(x1, Y1, b, h), vertical(x1, Y1, Y2), 0);
    set(PanelId::Hinten, PanelId::Rechts, rectangle(x2, Y1, a, h), vertical(x2, Y1, Y2), 0);
    set(PanelId::Links, PanelId::Hinten, rectangle(x3, Y1, b, h), vertical(x3, Y1, Y2), 0);
    set(PanelId::Boden, PanelId::Hinten, rectangle(x2, Y2, a, b), horizontal(Y2, x2, x3), 0);
    // Flaps: the net line of each is its free edge; it closes along its hinge.
    // Depths: the glue flap against Vorne, the bottom's front flap over it;
    // the side flaps of the bottom each in their own face; the dust flap
    // from the back under the one from the front, both under the lid (on a
    // cuboid they may overlap each other, each at its own depth).
    set(PanelId::Klebelasche, PanelId::Links, withoutRepeats(nl[8]), vertical(x4, Y1, Y2), 1);
    set(PanelId::BodenlascheLinks, PanelId::Boden, withoutRepeats(nl[9]), vertical(x3, Y2, Y3), 1);
    set(PanelId::BodenlascheRechts, PanelId::Boden, withoutRepeats(nl[10]), vertical(x2, Y2, Y3), 1);
    set(PanelId::BodenlascheVorne, PanelId::Boden, withoutRepeats(nl[11]), horizontal(Y3, x2, x3), 2);
    set(PanelId::StaublascheVorne, PanelId::Vorne, withoutRepeats(nl[12]), horizontal(Y1, L, x1), 1);
    set(PanelId::StaublascheHinten, PanelId::Hinten, withoutRepeats(nl[13]), horizontal(Y1, x2, x3), 2);
    set(PanelId::DeckelRechts, PanelId::Rechts, withoutRepeats(nl[14]), horizontal(Y1, x1, x2), 0);
    set(PanelId::DeckelLinks, PanelId::Links, withoutRepeats(nl[15]), horizontal(Y1, x3, x4), 0);

    // The lid halves: closed, each ends at the lid's middle line, its tab
    // under the other half. The face is the half without its tab, reaching
    // up by the lid depth; the label stands on the rectangle from the fold
    // to the middle line, its arrow towards the end that meets Hinten.
    const double reach = pixels ? std::floor(a / 2) : a / 2;
    for (PanelId id : {PanelId::DeckelRechts, PanelId::DeckelLinks}) {
        PlanPanel& p = plan.panels[static_cast<int>(id)];
        p.closedReach = reach;
        p.face = QRectF(p.hinge.p1().x(), Y1 - n.lidDepth, b, n.lidDepth);
        p.upright = id == PanelId::DeckelRechts ? 1 : 3;
        const double dirX = id == PanelId::DeckelRechts ? 1 : -1;
        const QPointF centre(p.hinge.p1().x() + b / 2, Y1 - a / 4);
        const QPointF dir(dirX, 0);
        p.labelCentre = centre - dir * (b * 0.12);
        p.labelArrow = QLineF(centre + dir * (b * 0.18), centre + dir * (b * 0.46));
    }
    plan.panels[static_cast<int>(PanelId::Boden)].upright = 2;

    plan.origin = QPointF(L, T);
    plan.size = QSizeF(2 * a + 2 * b + n.g, n.t + h + b + n.f);
    plan.front = QRectF(L, Y1, a, h);
    plan.depth = b;
    plan.a = a, plan.b = b, plan.h = h;
    plan.outlineStart = QPointF(L, Y1);
    plan.finish();
    return plan;
}
