#include "box/TuckParts.h"

#include "box/BoxStyles.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The dust flaps' and the glue flap's ends lean this far from square, so
// they slide past the tuck and the open ends while folding.
constexpr double kTaperDegrees = 15;
// A dust flap's edge towards the lid's panel stays this far from the crease,
// so the lid's side closes over it.
constexpr double kDustClearanceMm = 1.0;

double dot(const QPointF& a, const QPointF& b) { return a.x() * b.x() + a.y() * b.y(); }
double cross(const QPointF& a, const QPointF& b) { return a.x() * b.y() - a.y() * b.x(); }

bool near(const QPointF& a, const QPointF& b, double tol) {
    return std::abs(a.x() - b.x()) <= tol && std::abs(a.y() - b.y()) <= tol;
}

// p strictly between a and b on their segment.
bool inside(const QPointF& p, const QPointF& a, const QPointF& b, double tol) {
    const QPointF d = b - a;
    const double len2 = dot(d, d);
    if (len2 == 0 || near(p, a, tol) || near(p, b, tol)) return false;
    if (std::abs(cross(d, p - a)) > tol * std::sqrt(len2)) return false;
    const double s = dot(p - a, d);
    return s > 0 && s < len2;
}

QPolygonF rectangle(double x0, double y0, double x1, double y1) {
    const double l = std::min(x0, x1), r = std::max(x0, x1), t = std::min(y0, y1), b = std::max(y0, y1);
    return QPolygonF({QPointF(l, t), QPointF(r, t), QPointF(r, b), QPointF(l, b)});
}

QPolygonF withoutRepeats(const QPolygonF& poly, double tol) {
    QPolygonF out;
    for (const QPointF& p : poly)
        if (out.isEmpty() || !near(out.last(), p, tol)) out << p;
    while (out.size() > 1 && near(out.first(), out.last(), tol)) out.removeLast();
    return out;
}

struct Edge {
    QPointF a, b;
    int owners = 0;
};

}  // namespace

TuckMeasures tuckMeasures(const BoxForm& form, int tucksBehindOnePanel) {
    TuckMeasures m;
    m.t = form.thickness;
    m.a = form.L + m.t, m.b = form.B + m.t, m.h = form.H + m.t;
    m.links = form.B;
    m.glue = sleeveGlueFlapMm(form.B);
    // Deep enough to hold, never deeper than the panel it slides behind
    // (less 2 mm), or than its half where two tucks share that panel.
    m.tuck = std::min(std::clamp(0.7 * form.B, 12.0, 22.0), form.H - 2);
    if (tucksBehindOnePanel > 1) m.tuck = std::min(m.tuck, (form.H - 2) / tucksBehindOnePanel);
    m.tuckInset = m.t + 0.5;
    // Measured on the box's inside length, so the two corners' arcs stay
    // apart by the board on a tuck as narrow as it gets.
    const double across = form.L - 2 * m.tuckInset;
    m.tuckRadius = std::min(0.5 * m.tuck, across / 2);
    m.slit = std::min(5.0, across / 4);
    // The two flaps of one end never meet in the middle.
    m.dust = std::min((form.B + m.tuck) / 2, form.L / 2 - 1);
    m.dustStraight = std::min(6.0, m.dust / 2);
    m.notch = form.hasNotch() && form.notch ? std::min({10.0, form.L / 3, form.H / 3}) : 0.0;
    return m;
}

TuckNet::TuckNet(const TuckMeasures& m) : m_m(m) {
    m_x[0] = 0;
    m_x[1] = m.links;
    m_x[2] = m_x[1] + m.a;
    m_x[3] = m_x[2] + m.b;
    m_x[4] = m_x[3] + m.a;
    m_x[5] = m_x[4] + m.glue;
    m_top = m.b + m.tuck;
}

PanelId TuckNet::add(const QString& name, PanelRole role, PanelId parent, const QPolygonF& outline,
                     const QLineF& hinge, FoldWindow w, int inset) {
    PlanPanel p;
    p.id = static_cast<PanelId>(m_plan.panels.size());
    p.name = name;
    p.role = role;
    p.parent = parent == PanelId(-1) ? p.id : parent;
    p.outline = outline;
    p.hinge = hinge;
    p.from = w.from, p.to = w.to;
    p.inset = inset;
    if (p.isFace()) {
        p.face = outline.boundingRect();
        labelFace(p, QPointF(0, -1));
    }
    m_plan.panels.push_back(p);
    return p.id;
}

void TuckNet::addArc(const QPointF& a, const QPointF& b, double sweepDegrees, const QPointF& towards) {
    const QPointF d = b - a;
    const QPointF right(-d.y(), d.x());
    const double bulge = std::tan(sweepDegrees * kPi / 180 / 4);
    m_plan.arcs.push_back({a, b, dot(towards - (a + b) / 2, right) > 0 ? bulge : -bulge});
}

void TuckNet::setFaceUp(PanelId id, QPointF up) {
    PlanPanel& p = m_plan.panels[static_cast<int>(id)];
    labelFace(p, up);
    p.upright = up.y() < 0 ? 0 : up.y() > 0 ? 2 : up.x() > 0 ? 1 : 3;
}

void TuckNet::addBody(FoldWindow glue, FoldWindow tube, FoldWindow links) {
    const double y0 = top(), y1 = bottom();
    const double x1 = m_x[1], x2 = m_x[2], x3 = m_x[3], x4 = m_x[4], x5 = m_x[5];
    QPolygonF vorne;
    vorne << QPointF(x1, y0);
    if (m_m.notch > 0) {
        // A half circle into the middle of the top edge, to pull the lid by its tuck.
        const double c = (x1 + x2) / 2, r = m_m.notch;
        vorne << QPointF(c - r, y0) << QPointF(c + r, y0);
        addArc(QPointF(c - r, y0), QPointF(c + r, y0), 180, QPointF(c, y0 + r));
    }
    vorne << QPointF(x2, y0) << QPointF(x2, y1) << QPointF(x1, y1);
    add(QStringLiteral("Vorne"), PanelRole::Vorne, PanelId(-1), vorne, QLineF(), {0, 1}, 0);
    const PanelId rechts = add(QStringLiteral("Rechts"), PanelRole::Rechts, kVorne, rectangle(x2, y0, x3, y1),
                               QLineF(x2, y0, x2, y1), tube, 0);
    const PanelId hinten = add(QStringLiteral("Hinten"), PanelRole::Hinten, rechts, rectangle(x3, y0, x4, y1),
                               QLineF(x3, y0, x3, y1), tube, 0);
    add(QStringLiteral("Links"), PanelRole::Links, kVorne, rectangle(0, y0, x1, y1), QLineF(x1, y0, x1, y1), links, 0);
    // As the sleeve's: glued inside Links, its ends leaning off the open ends.
    const double taper = m_m.glue * std::tan(kTaperDegrees * kPi / 180);
    add(QStringLiteral("Klebelasche"), PanelRole::Klebelasche, hinten,
        QPolygonF({QPointF(x4, y0), QPointF(x5, y0 + taper), QPointF(x5, y1 - taper), QPointF(x4, y1)}),
        QLineF(x4, y0, x4, y1), glue, 1);
}

PanelId TuckNet::addClosure(BoxEnd end, PanelId on, FoldWindow lidWindow, FoldWindow tuckWindow) {
    const bool isTop = end == BoxEnd::Top;
    const double s = isTop ? -1 : 1;   // away from the body
    const double xa = on == kVorne ? m_x[1] : m_x[3], xb = xa + m_m.a;
    const double y0 = edge(end), yc = y0 + s * m_m.b, ye = yc + s * m_m.tuck;
    const PanelId lid = add(isTop ? QStringLiteral("Deckel") : QStringLiteral("Boden"),
                            isTop ? PanelRole::Deckel : PanelRole::Boden, on, rectangle(xa, y0, xb, yc),
                            QLineF(xa, y0, xb, y0), lidWindow, 0);
    // Art reads upright with its top towards Hinten on the lid (seen from
    // above, Vorne nearest) and towards Vorne on the bottom (from below).
    const bool towardsHinge = isTop ? on == kHinten : on == kVorne;
    setFaceUp(lid, QPointF(0, towardsHinge ? -s : s));

    const double i = m_m.tuckInset, r = m_m.tuckRadius, sl = m_m.slit;
    const QPointF p1(xa + i, yc), p2(xa + i, ye - s * r), p3(xa + i + r, ye), p4(xb - i - r, ye),
        p5(xb - i, ye - s * r), p6(xb - i, yc), s1(xa + i + sl, yc), s2(xb - i - sl, yc);
    const double tol = 1e-9 * std::max(1.0, m_x[5]);
    QPolygonF tuck({p1, p2, p3, p4, p5, p6, s2, s1});
    tuck = withoutRepeats(tuck, tol);
    addArc(p2, p3, 90, QPointF(xa + i, ye));
    addArc(p4, p5, 90, QPointF(xb - i, ye));
    // The crease folds between the slit locks, which hold the tuck once in.
    const PanelId tuckId = add(isTop ? QStringLiteral("Einstecklasche oben") : QStringLiteral("Einstecklasche unten"),
                               PanelRole::Einstecklasche, lid, tuck, QLineF(s1, s2), tuckWindow, 1);
    m_plan.panels[static_cast<int>(tuckId)].followsParent = true;
    addSlit(QLineF(p1, s1));
    addSlit(QLineF(s2, p6));
    return lid;
}

void TuckNet::addDustFlaps(BoxEnd end, PanelId lidOn, FoldWindow w) {
    const bool isTop = end == BoxEnd::Top;
    const double s = isTop ? -1 : 1;
    const double y0 = edge(end), d = m_m.dust, p = m_m.dustStraight;
    const double taper = (d - p) * std::tan(kTaperDegrees * kPi / 180);
    // Clear of the crease towards the tuck by the tuck's board, so the tuck
    // slides in between the flap and the panel it tucks behind.
    const double c = m_m.t;
    struct Side {
        PanelId panel;
        const char* name;
        double vorneX, hintenX;
    };
    const Side sides[] = {{kRechts, "Staublasche rechts", m_x[2], m_x[3]}, {kLinks, "Staublasche links", m_x[1], m_x[0]}};
    for (const Side& side : sides) {
        const double xLid = lidOn == kVorne ? side.vorneX : side.hintenX;
        const double xTuck = lidOn == kVorne ? side.hintenX : side.vorneX;
        const double u = xLid > xTuck ? 1 : -1;   // from the tuck's side towards the lid's
        const QPolygonF flap({QPointF(xTuck + u * c, y0), QPointF(xTuck + u * c, y0 + s * p),
                              QPointF(xTuck + u * (c + taper), y0 + s * d),
                              QPointF(xLid - u * kDustClearanceMm, y0 + s * d),
                              QPointF(xLid - u * kDustClearanceMm, y0)});
        add(QString::fromUtf8(side.name) + (isTop ? QStringLiteral(" oben") : QStringLiteral(" unten")),
            PanelRole::Staublasche, side.panel, flap, QLineF(flap[0], flap[4]), w, 1);
    }
}

BoxPlan TuckNet::finish() {
    BoxPlan& plan = m_plan;
    const double tol = 1e-9 * std::max(1.0, m_x[5] + m_top);
    auto isArc = [&](const QPointF& p, const QPointF& q) {
        for (const PlanArc& arc : plan.arcs)
            if ((near(arc.a, p, tol) && near(arc.b, q, tol)) || (near(arc.a, q, tol) && near(arc.b, p, tol)))
                return true;
        return false;
    };
    // Every corner of a neighbour and every slit's end on a panel's edge
    // becomes a corner of the panel too, so that edges are either shared
    // whole or not at all.
    std::vector<QPointF> corners;
    for (const PlanPanel& p : plan.panels) corners.insert(corners.end(), p.outline.begin(), p.outline.end());
    for (const QLineF& sl : plan.slits) corners.insert(corners.end(), {sl.p1(), sl.p2()});
    for (PlanPanel& p : plan.panels) {
        QPolygonF split;
        const int n = p.outline.size();
        for (int k = 0; k < n; ++k) {
            const QPointF a = p.outline[k], b = p.outline[(k + 1) % n];
            split << a;
            if (isArc(a, b)) continue;
            std::vector<QPointF> on;
            for (const QPointF& c : corners)
                if (inside(c, a, b, tol)) on.push_back(c);
            std::sort(on.begin(), on.end(), [&](const QPointF& u, const QPointF& v) { return dot(u - a, b - a) < dot(v - a, b - a); });
            for (const QPointF& c : on)
                if (!near(split.last(), c, tol)) split << c;
        }
        p.outline = withoutRepeats(split, tol);
    }
    std::vector<Edge> edges;
    for (const PlanPanel& p : plan.panels) {
        const int n = p.outline.size();
        for (int k = 0; k < n; ++k) {
            const QPointF a = p.outline[k], b = p.outline[(k + 1) % n];
            auto it = std::find_if(edges.begin(), edges.end(), [&](const Edge& e) {
                return (near(e.a, a, tol) && near(e.b, b, tol)) || (near(e.a, b, tol) && near(e.b, a, tol));
            });
            if (it == edges.end()) edges.push_back({a, b, 1});
            else ++it->owners;
        }
    }
    // The outline: the free edges walked from Links's top-left corner.
    plan.outlineStart = QPointF(m_x[0], top());
    std::vector<Edge> free, shared;
    for (const Edge& e : edges) (e.owners == 1 ? free : shared).push_back(e);
    std::vector<QPointF> outline{plan.outlineStart};
    while (!free.empty()) {
        auto it = std::find_if(free.begin(), free.end(), [&](const Edge& e) {
            return near(e.a, outline.back(), tol) || near(e.b, outline.back(), tol);
        });
        if (it == free.end()) break;
        outline.push_back(near(it->a, outline.back(), tol) ? it->b : it->a);
        free.erase(it);
    }
    plan.lines.clear();
    plan.lines.push_back(outline);
    // The folds, straight runs joined into one line each (a tuck's crease
    // with its slit locks is one line, which the slits interrupt).
    while (!shared.empty()) {
        std::vector<QPointF> line{shared.front().a, shared.front().b};
        shared.erase(shared.begin());
        for (bool grew = true; grew;) {
            grew = false;
            for (auto it = shared.begin(); it != shared.end(); ++it) {
                const QPointF d = line.back() - line.front();
                auto collinear = [&](const QPointF& p) { return std::abs(cross(d, p - line.front())) <= tol * std::sqrt(dot(d, d)); };
                if (!collinear(it->a) || !collinear(it->b)) continue;
                if (near(it->a, line.back(), tol)) line.push_back(it->b);
                else if (near(it->b, line.back(), tol)) line.push_back(it->a);
                else if (near(it->a, line.front(), tol)) line.insert(line.begin(), it->b);
                else if (near(it->b, line.front(), tol)) line.insert(line.begin(), it->a);
                else continue;
                shared.erase(it);
                grew = true;
                break;
            }
        }
        plan.lines.push_back({line.front(), line.back()});
    }

    double right = 0, lowest = 0;
    for (const PlanPanel& p : plan.panels) {
        const QRectF r = p.outline.boundingRect();
        right = std::max(right, r.right());
        lowest = std::max(lowest, r.bottom());
    }
    plan.origin = QPointF(0, 0);
    plan.size = QSizeF(right, lowest);
    plan.front = QRectF(m_x[1], top(), m_m.a, m_m.h);
    plan.depth = m_m.b;
    plan.a = m_m.a, plan.b = m_m.b, plan.h = m_m.h;
    plan.board = m_m.t;
    plan.enclosed = true;
    plan.finish();
    return plan;
}
