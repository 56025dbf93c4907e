// The tuck-end boxes on a grid of measures and boards, checked against
// geometry computed here: flaps never under 4 mm while the box keeps its
// measures, the closed box with each tuck inside the panel it slides
// behind and no two overlapping flaps in one plane, nothing passing through
// a wall while it folds, and the finger notch cut into Vorne.

#include "box/BoxStyles.h"
#include "box/FoldingModel.h"
#include "model/SheetLayout.h"

#include <gtest/gtest.h>

#include <QPainterPath>
#include <cmath>

namespace {

struct Case {
    BoxStyle style;
    double L, B, H, t;
};

std::string nameOf(const Case& c) {
    return boxform::styleId(c.style).toStdString() + " " + std::to_string(c.L) + "x" + std::to_string(c.B) + "x" +
           std::to_string(c.H) + " t " + std::to_string(c.t);
}

std::vector<Case> grid() {
    std::vector<Case> cases;
    const double measures[] = {10, 14, 25, 60, 150, 400};
    for (BoxStyle style : {BoxStyle::SteckGegenlaeufig, BoxStyle::SteckGleichlaeufig, BoxStyle::Schnappboden,
                           BoxStyle::Automatikboden})
        for (double L : measures)
            for (double B : measures)
                for (double H : measures)
                    for (double t : {0.0, 1.0})
                        if (style != BoxStyle::Automatikboden || L >= B) cases.push_back({style, L, B, H, t});
    return cases;
}

FoldingModel modelOf(const Case& c, bool notch = true) {
    return FoldingModel::inMillimetres(SheetLayout{},
                                       NetSource{BoxForm::ofStyle(c.style, c.L, c.B, c.H, c.t, notch), 100});
}

double area(const QPolygonF& p) {
    double s = 0;
    for (int i = 0; i < p.size(); ++i) s += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
    return std::abs(s) / 2;
}

// A flap's depth from its hinge, and its width across at a given depth.
double depthOf(const FoldPanel& p) {
    const QLineF n = p.hinge.normalVector().unitVector();
    const QPointF d = n.p2() - n.p1();
    double most = 0;
    for (const QPointF& c : p.outline) most = std::max(most, std::abs(QPointF::dotProduct(c - p.hinge.p1(), d)));
    return most;
}

double widthAt(const FoldPanel& p, double depth) {
    const QPointF u = (p.hinge.p2() - p.hinge.p1()) / p.hinge.length();
    const QPointF n(-u.y(), u.x());
    double lo = 1e300, hi = -1e300;
    const int k = p.outline.size();
    for (int i = 0; i < k; ++i) {
        const QPointF a = p.outline[i] - p.hinge.p1(), b = p.outline[(i + 1) % k] - p.hinge.p1();
        const double da = std::abs(QPointF::dotProduct(a, n)), db = std::abs(QPointF::dotProduct(b, n));
        if ((da - depth) * (db - depth) > 0 || da == db) continue;
        const QPointF x = a + (b - a) * ((depth - da) / (db - da));
        lo = std::min(lo, QPointF::dotProduct(x, u));
        hi = std::max(hi, QPointF::dotProduct(x, u));
    }
    return hi - lo;
}

// The box's walls in space: Vorne at z = 0, Hinten at z = depth.
struct Box {
    double x0, x1, y0, y1, z1;
    explicit Box(const FoldingModel& m)
        : x0(m.plan().front.left()), x1(m.plan().front.right()), y0(m.plan().front.top()),
          y1(m.plan().front.bottom()), z1(m.plan().depth) {}
};

const FoldPanel* named(const FoldingModel& m, const char* name) {
    for (const FoldPanel& p : m.panels())
        if (p.name == QString::fromUtf8(name)) return &p;
    return nullptr;
}

}  // namespace

TEST(TuckBox, FlapsStayAtLeastFourMillimetresWhileTheBoxKeepsItsMeasures) {
    for (const Case& c : grid()) {
        SCOPED_TRACE(nameOf(c));
        const FoldingModel m = modelOf(c);
        double tuckDepth = 0;
        for (const FoldPanel& p : m.panels()) {
            if (p.isFace()) {
                // Faces between the creases: the measure plus the board, Links
                // (ending at the glue flap) its measure.
                const QRectF r = p.face;
                const double across = p.role == PanelRole::Links ? c.B
                                      : p.role == PanelRole::Rechts ? c.B + c.t
                                                                    : c.L + c.t;
                const double down = p.role == PanelRole::Deckel || p.role == PanelRole::Boden ? c.B + c.t : c.H + c.t;
                EXPECT_NEAR(r.width(), across, 1e-9) << p.name.toStdString();
                EXPECT_NEAR(r.height(), down, 1e-9) << p.name.toStdString();
                continue;
            }
            // A glue area is a corner of its flap beyond a slanted crease.
            if (p.gluedTo >= 0) continue;
            const double depth = depthOf(p);
            EXPECT_GE(depth, 4 - 1e-9) << p.name.toStdString();
            EXPECT_GE(widthAt(p, depth / 2), 4 - 1e-9) << p.name.toStdString();
            EXPECT_GE(p.hinge.length(), 4 - 1e-9) << p.name.toStdString();
            if (p.role == PanelRole::Einstecklasche) tuckDepth = std::max(tuckDepth, depth);
        }
        // A tuck never reaches the far end of the panel it slides behind:
        // 2 mm short of it, or of its middle where both tucks share it.
        EXPECT_LE(tuckDepth, (c.style == BoxStyle::SteckGleichlaeufig ? (c.H - 2) / 2 : c.H - 2) + 1e-9);
        // The dust flaps of one end keep at least 2 mm apart.
        for (const char* pair : {"oben", "unten"}) {
            const FoldPanel* r = named(m, (std::string("Staublasche rechts ") + pair).c_str());
            const FoldPanel* l = named(m, (std::string("Staublasche links ") + pair).c_str());
            // A bottom of locking flaps has none below.
            const bool flapBottom = c.style == BoxStyle::Schnappboden || c.style == BoxStyle::Automatikboden;
            if (flapBottom && std::string(pair) == "unten") {
                EXPECT_FALSE(r || l);
                continue;
            }
            ASSERT_TRUE(r && l);
            EXPECT_LE(depthOf(*r) + depthOf(*l), c.L - 2 + 1e-9);
        }
    }
}

TEST(TuckBox, MeasuresOfKnownBoxes) {
    // Worked by hand from the folding-carton proportions.
    struct Known {
        Case c;
        double tuck, dust, slit, notch;
    };
    const Known known[] = {
        {{BoxStyle::SteckGegenlaeufig, 66, 22, 91, 0.3}, 15.4, 18.7, 5, 10},
        {{BoxStyle::SteckGleichlaeufig, 80, 40, 120, 0}, 22, 31, 5, 10},
        {{BoxStyle::SteckGleichlaeufig, 10, 10, 10, 1}, 4, 4, 1.75, 10.0 / 3},
        {{BoxStyle::SteckGegenlaeufig, 30, 10, 10, 0}, 8, 9, 5, 10.0 / 3},
        {{BoxStyle::SteckGegenlaeufig, 100, 50, 13, 0}, 11, 30.5, 5, 13.0 / 3},
    };
    for (const Known& k : known) {
        SCOPED_TRACE(nameOf(k.c));
        const FoldingModel m = modelOf(k.c);
        EXPECT_NEAR(depthOf(*named(m, "Einstecklasche oben")), k.tuck, 1e-9);
        EXPECT_NEAR(depthOf(*named(m, "Einstecklasche unten")), k.tuck, 1e-9);
        EXPECT_NEAR(depthOf(*named(m, "Staublasche links oben")), k.dust, 1e-9);
        // Two slit locks per tuck, each from the outline along its crease.
        ASSERT_EQ(m.slits().size(), 4u);
        for (const QLineF& s : m.slits()) {
            EXPECT_NEAR(s.length(), k.slit, 1e-9);
            EXPECT_EQ(s.p1().y(), s.p2().y());
            EXPECT_TRUE(m.cutOutline().contains(s.p1()) || m.cutOutline().contains(s.p2()));
        }
        // The notch: Vorne's top edge dips by its radius in the middle, the
        // half circle missing from Vorne (and Vorne whole without it).
        const QRectF f = m.panel(PanelId(0)).face;
        double dip = 0;
        for (const QPointF& p : m.panel(PanelId(0)).outline)
            if (p.y() < f.center().y()) dip = std::max(dip, p.y() - f.top());
        EXPECT_NEAR(dip, k.notch, 0.01);
        EXPECT_NEAR(area(modelOf(k.c, false).panel(PanelId(0)).outline) - area(m.panel(PanelId(0)).outline),
                    M_PI * k.notch * k.notch / 2, 0.01 * M_PI * k.notch);
    }
}

TEST(TuckBox, ClosesWithEachTuckBehindItsPanelAndNoTwoFlapsInOnePlane) {
    for (const Case& c : grid()) {
        SCOPED_TRACE(nameOf(c));
        const FoldingModel m = modelOf(c);
        const Box box(m);
        const double th = m.paperThickness(), eps = 1e-6;
        const Vec3 centre{(box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2, box.z1 / 2};
        const std::vector<PanelPose> poses = m.fold(1);
        for (const PanelPose& pose : poses) {
            const FoldPanel& p = m.panel(pose.id);
            for (const Vec3& v : pose.corners) {
                EXPECT_TRUE(v.x > box.x0 - eps && v.x < box.x1 + eps && v.y > box.y0 - eps && v.y < box.y1 + eps &&
                            v.z > -eps && v.z < box.z1 + eps)
                    << p.name.toStdString() << " " << v.x << " " << v.y << " " << v.z;
            }
            if (p.isFace()) {
                Vec3 mid;
                for (const Vec3& v : pose.corners) mid += v / double(pose.corners.size());
                EXPECT_GT(pose.normal.dot(mid - centre), 0) << p.name.toStdString();
            }
            if (p.role != PanelRole::Einstecklasche) continue;
            // Behind Vorne (z = 0) or Hinten (z = depth): parallel to it, a
            // thickness inside, within its rectangle.
            const bool top = p.name.endsWith(QStringLiteral("oben"));
            const bool behindHinten = !top && c.style == BoxStyle::SteckGegenlaeufig;
            const double wall = behindHinten ? box.z1 : 0;
            for (const Vec3& v : pose.corners) {
                const double in = std::abs(v.z - wall);
                EXPECT_GT(in, th / 2) << p.name.toStdString();
                EXPECT_LT(in, 1.5 * th) << p.name.toStdString();
            }
        }
        // Flaps that overlap seen along their normal lie in different planes.
        for (size_t i = 0; i < poses.size(); ++i)
            for (size_t j = i + 1; j < poses.size(); ++j) {
                const PanelPose &a = poses[i], &b = poses[j];
                if (m.panel(a.id).isFace() && m.panel(b.id).isFace()) continue;
                if (std::abs(std::abs(a.normal.dot(b.normal)) - 1) > 1e-9) continue;
                if (std::abs((b.corners[0] - a.corners[0]).dot(a.normal)) > 1e-9) continue;
                // Coplanar: project both onto the plane's two other axes.
                auto flat = [&](const PanelPose& p) {
                    QPolygonF poly;
                    for (const Vec3& v : p.corners) {
                        if (std::abs(a.normal.x) > 0.5) poly << QPointF(v.y, v.z);
                        else if (std::abs(a.normal.y) > 0.5) poly << QPointF(v.x, v.z);
                        else poly << QPointF(v.x, v.y);
                    }
                    QPainterPath path;
                    path.addPolygon(poly);
                    return path;
                };
                double overlap = 0;
                for (const QPolygonF& piece : flat(a).intersected(flat(b)).toFillPolygons()) overlap += area(piece);
                EXPECT_LT(overlap, 1e-6) << m.panel(a.id).name.toStdString() << " / " << m.panel(b.id).name.toStdString();
            }
    }
}

TEST(TuckBox, NothingPassesThroughAWallWhileItFolds) {
    for (const Case& c : grid()) {
        SCOPED_TRACE(nameOf(c));
        const FoldingModel m = modelOf(c);
        const Box box(m);
        const double eps = 1e-6;
        // Once the tube stands, whatever is at the walls' height lies within them.
        double tubeClosed = 0;
        for (const FoldPanel& p : m.panels())
            if (p.role == PanelRole::Links || p.role == PanelRole::Rechts || p.role == PanelRole::Hinten)
                tubeClosed = std::max(tubeClosed, p.to);
        for (double f = tubeClosed; f <= 1 + 1e-9; f += 0.005) {
            for (const PanelPose& pose : m.fold(f)) {
                const FoldPanel& p = m.panel(pose.id);
                if (p.role == PanelRole::Klebelasche || (p.isFace() && p.role != PanelRole::Deckel && p.role != PanelRole::Boden))
                    continue;
                for (const Vec3& v : pose.corners) {
                    if (v.y <= box.y0 + eps || v.y >= box.y1 - eps) continue;
                    EXPECT_TRUE(v.x > box.x0 - eps && v.x < box.x1 + eps && v.z > -eps && v.z < box.z1 + eps)
                        << p.name.toStdString() << " at " << f << ": " << v.x << " " << v.y << " " << v.z;
                }
            }
        }
    }
}
