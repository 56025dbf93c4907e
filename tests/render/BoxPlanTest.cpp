// The plans of every style on a grid of measures, checked against geometry
// computed here: one simple closed outline that the panels tile without
// overlapping, every fold between exactly two panels, and the closed box
// where its measures (+ the board) say, faces outwards, flaps inside.

#include "box/ArtworkMove.h"
#include "box/BoxNet.h"
#include "box/BoxStyles.h"
#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"

#include <gtest/gtest.h>

#include <QPainterPath>
#include <cmath>

namespace {

double area(const QPolygonF& p) {
    double s = 0;
    for (int i = 0; i < p.size(); ++i) {
        const QPointF a = p[i], b = p[(i + 1) % p.size()];
        s += a.x() * b.y() - b.x() * a.y();
    }
    return std::abs(s) / 2;
}

bool properCross(QPointF a, QPointF b, QPointF c, QPointF d) {
    auto side = [](QPointF p, QPointF q, QPointF r) {
        return (q.x() - p.x()) * (r.y() - p.y()) - (q.y() - p.y()) * (r.x() - p.x());
    };
    const double d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
    return ((d1 > 1e-9 && d2 < -1e-9) || (d1 < -1e-9 && d2 > 1e-9)) &&
           ((d3 > 1e-9 && d4 < -1e-9) || (d3 < -1e-9 && d4 > 1e-9));
}

// How many panels have an edge covering the piece p-q.
int panelsAlong(const FoldingModel& m, QPointF p, QPointF q) {
    int n = 0;
    for (const FoldPanel& panel : m.panels()) {
        const QPolygonF& o = panel.outline;
        for (int i = 0; i < o.size(); ++i) {
            const QLineF e(o[i], o[(i + 1) % o.size()]);
            auto on = [&](QPointF x) {
                const QPointF d = e.p2() - e.p1();
                const double len = std::hypot(d.x(), d.y());
                const double cr = d.x() * (x.y() - e.p1().y()) - d.y() * (x.x() - e.p1().x());
                const double t = (d.x() * (x.x() - e.p1().x()) + d.y() * (x.y() - e.p1().y())) / (len * len);
                return std::abs(cr) / len < 1e-7 && t > -1e-9 && t < 1 + 1e-9;
            };
            if (on(p) && on(q)) {
                ++n;
                break;
            }
        }
    }
    return n;
}

struct Case {
    BoxStyle style;
    double L, B, H, t;
};

std::vector<Case> grid() {
    std::vector<Case> cases;
    const double measures[][3] = {{10, 10, 10}, {400, 400, 400}, {200, 300, 10}, {20, 15, 400}, {400, 30, 40}};
    for (const auto& m : measures) {
        cases.push_back({BoxStyle::Verschlussdeckel, m[0], m[1], m[2], 0});
        for (BoxStyle style : {BoxStyle::Huelse, BoxStyle::SteckGegenlaeufig, BoxStyle::SteckGleichlaeufig,
                               BoxStyle::Schnappboden, BoxStyle::Automatikboden})
            for (double t : {0.0, 0.3, 1.0})
                if (style != BoxStyle::Automatikboden || m[0] >= m[1]) cases.push_back({style, m[0], m[1], m[2], t});
    }
    return cases;
}

FoldingModel modelOf(const Case& c) {
    SheetLayout layout;
    const BoxForm form = c.style == BoxStyle::Verschlussdeckel ? BoxForm::cuboid(c.L, c.B, c.H)
                                                               : BoxForm::ofStyle(c.style, c.L, c.B, c.H, c.t);
    return FoldingModel::inMillimetres(layout, NetSource{form, 100});
}

std::string nameOf(const Case& c) {
    return boxform::styleId(c.style).toStdString() + " " + std::to_string(c.L) + "x" + std::to_string(c.B) + "x" +
           std::to_string(c.H) + " t " + std::to_string(c.t);
}

}  // namespace

TEST(BoxPlan, EveryStyleIsOneOutlineTiledByItsPanels) {
    for (const Case& c : grid()) {
        SCOPED_TRACE(nameOf(c));
        const FoldingModel m = modelOf(c);
        const QPolygonF outline = m.cutOutline();
        ASSERT_GE(outline.size(), 4);
        // Closed: the walk used every cut but the slits.
        auto onSlit = [&](const NetSegment& s) {
            for (const QLineF& sl : m.slits())
                if (QLineF(sl.p1(), s.a).length() + QLineF(s.a, sl.p2()).length() < sl.length() + 1e-9 &&
                    QLineF(sl.p1(), s.b).length() + QLineF(s.b, sl.p2()).length() < sl.length() + 1e-9)
                    return true;
            return false;
        };
        double cutLength = 0, outlineLength = 0;
        for (const NetSegment& s : m.cuts())
            if (!onSlit(s)) cutLength += QLineF(s.a, s.b).length();
        for (int i = 0; i < outline.size(); ++i) outlineLength += QLineF(outline[i], outline[(i + 1) % outline.size()]).length();
        EXPECT_NEAR(cutLength, outlineLength, 1e-9 * cutLength);
        // Simple: no two edges cross.
        for (int i = 0; i < outline.size(); ++i)
            for (int j = i + 2; j < outline.size(); ++j) {
                if (i == 0 && j == outline.size() - 1) continue;
                EXPECT_FALSE(properCross(outline[i], outline[i + 1], outline[j], outline[(j + 1) % outline.size()]))
                    << "edges " << i << " and " << j;
            }
        // Tiled: the panels' areas add up to the outline's and no two overlap,
        // so each lies inside it.
        double sum = 0;
        for (const FoldPanel& p : m.panels()) sum += area(p.outline);
        EXPECT_NEAR(sum, area(outline), 1e-9 * area(outline));
        for (size_t i = 0; i < m.panels().size(); ++i)
            for (size_t j = i + 1; j < m.panels().size(); ++j) {
                QPainterPath a, b;
                a.addPolygon(m.panels()[i].outline);
                b.addPolygon(m.panels()[j].outline);
                double overlap = 0;
                for (const QPolygonF& piece : a.intersected(b).toFillPolygons()) overlap += area(piece);
                EXPECT_LT(overlap, 1e-6 * area(outline)) << m.panels()[i].name.toStdString() << " / "
                                                         << m.panels()[j].name.toStdString();
            }
        // Every fold and slit lies between exactly two panels, every other
        // cut on one; every hinge is made of folds.
        for (const NetSegment& s : m.segments())
            EXPECT_EQ(panelsAlong(m, s.a, s.b), s.kind == SegmentKind::Fold || onSlit(s) ? 2 : 1);
        for (const FoldPanel& p : m.panels()) {
            if (p.parent == p.id) continue;
            double along = 0;
            for (const NetSegment& s : m.folds())
                if (panelsAlong(m, s.a, s.b) == 2 && QLineF(s.a, p.hinge.p1()).length() + QLineF(s.b, p.hinge.p2()).length() +
                                                             QLineF(s.a, p.hinge.p2()).length() +
                                                             QLineF(s.b, p.hinge.p1()).length() <=
                                                         2 * p.hinge.length() + 1e-9)
                    along += QLineF(s.a, s.b).length();
            EXPECT_NEAR(along, p.hinge.length(), 1e-9) << p.name.toStdString();
        }
    }
}

TEST(BoxPlan, TheSleeveClosesOnItsMeasuresPlusTheBoard) {
    for (const Case& c : grid()) {
        if (c.style != BoxStyle::Huelse) continue;
        SCOPED_TRACE(nameOf(c));
        const FoldingModel m = modelOf(c);
        const std::vector<PanelPose> poses = m.fold(1);
        // The box between the creases: Vorne stays at its place in the net,
        // right of Links (B wide), and the box is B + t deep.
        const double x0 = c.B, x1 = c.B + c.L + c.t, y0 = 0, y1 = c.H + c.t, z0 = 0, z1 = c.B + c.t;
        const Vec3 centre{(x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2};
        const double eps = 1e-6;
        auto onBox = [&](const Vec3& p) {
            const bool inside = p.x > x0 - eps && p.x < x1 + eps && p.y > y0 - eps && p.y < y1 + eps &&
                                p.z > z0 - eps && p.z < z1 + eps;
            const bool onFace = std::abs(p.x - x0) < eps || std::abs(p.x - x1) < eps || std::abs(p.z - z0) < eps ||
                                std::abs(p.z - z1) < eps;
            return inside && onFace;
        };
        for (const PanelPose& pose : poses) {
            const FoldPanel& p = m.panel(pose.id);
            Vec3 mid;
            for (const Vec3& v : pose.corners) mid += v / double(pose.corners.size());
            if (p.isFace()) {
                EXPECT_GT(pose.normal.dot(mid - centre), 0) << p.name.toStdString();
                for (const Vec3& v : pose.corners) {
                    if (p.role == PanelRole::Links) {
                        // Links is B wide: on its hinge with Vorne, its free
                        // edge within t of Hinten's plane.
                        EXPECT_NEAR(v.x, x0, eps);
                        const bool hingeSide = std::abs(v.z - z0) < eps;
                        EXPECT_TRUE(hingeSide || (v.z >= z1 - c.t - eps && v.z <= z1 + eps)) << v.z;
                        continue;
                    }
                    EXPECT_TRUE(onBox(v)) << p.name.toStdString() << " " << v.x << " " << v.y << " " << v.z;
                }
            } else {
                // The glue flap lies inside, a board (or paper) thickness in from Links.
                for (const Vec3& v : pose.corners) {
                    EXPECT_GT(v.x, x0 + m.paperThickness() / 2) << p.name.toStdString();
                    EXPECT_LT(v.x, x1);
                    EXPECT_GE(v.y, y0 - eps);
                    EXPECT_LE(v.y, y1 + eps);
                    EXPECT_GE(v.z, z0 - eps);
                    EXPECT_LE(v.z, z1 + eps);
                }
            }
        }
    }
}

TEST(BoxPlan, TheSleevesNetFollowsItsMeasures) {
    const double t = 0.3;
    const BoxPlan p = sleevePlan(BoxForm::ofStyle(BoxStyle::Huelse, 64, 21, 89, t));
    // Links B | Vorne L + t | Rechts B + t | Hinten L + t | flap min(15, B - 2).
    std::vector<double> widths;
    for (const PlanPanel& panel : p.panels) widths.push_back(panel.outline.boundingRect().width());
    EXPECT_NEAR(widths[0], 64 + t, 1e-12);                // Vorne
    EXPECT_NEAR(widths[1], 21 + t, 1e-12);                // Rechts
    EXPECT_NEAR(widths[2], 64 + t, 1e-12);                // Hinten
    EXPECT_NEAR(widths[3], 21, 1e-12);                    // Links
    EXPECT_NEAR(widths[4], 15, 1e-12);                    // Klebelasche
    EXPECT_NEAR(p.size.height(), 89 + t, 1e-12);
    EXPECT_EQ(p.panels[3].outline.boundingRect().left(), 0);   // Links first
    // The flap's ends lean 15 degrees from the perpendicular to its hinge.
    const QPolygonF& flap = p.panels[4].outline;
    EXPECT_NEAR(std::atan2(flap[1].y() - flap[0].y(), flap[1].x() - flap[0].x()) * 180 / M_PI, 15, 1e-9);
    EXPECT_NEAR(sleevePlan(BoxForm::ofStyle(BoxStyle::Huelse, 64, 12, 89, 0)).panels[4].outline.boundingRect().width(),
                10, 1e-12);

    // On a canvas each point's offset from the anchor is truncated on its own.
    NetMeasure measure;
    measure.L = 7, measure.T = 3;
    measure.form = BoxForm::ofStyle(BoxStyle::Huelse, 64, 21, 89, t);
    measure.pixelsPerMm = 600 / 25.39995;
    const BoxPlan px = planOnCanvas(measure);
    for (size_t i = 0; i < p.panels.size(); ++i)
        for (int k = 0; k < p.panels[i].outline.size(); ++k) {
            const QPointF mm = p.panels[i].outline[k], at = px.panels[i].outline[k];
            EXPECT_EQ(at, QPointF(7 + std::trunc(mm.x() * measure.pixelsPerMm), 3 + std::trunc(mm.y() * measure.pixelsPerMm)));
        }
    EXPECT_EQ(netBounds(measure).topLeft(), QPoint(7, 3));
}

TEST(BoxPlan, ArtworkFollowsTheFaceOfTheSameNameAcrossStyles) {
    BoxDocument doc;
    newDocument(doc, PaperFormat::A4);
    const BoxForm lockLid = BoxForm::cuboid(64, 21, 89);
    const BoxForm sleeve = BoxForm::ofStyle(BoxStyle::Huelse, 64, 21, 89, 0.3);
    const FoldingModel before = FoldingModel::inMillimetres(doc.Layout, NetSource{lockLid, 100});
    const FoldingModel after = FoldingModel::inMillimetres(doc.Layout, NetSource{sleeve, 100});
    const NetToUnits units = netToUnits(doc);
    // One object in the middle of Hinten, one on the lid half above Rechts.
    auto place = [&](int slot, const QPointF& mm) {
        Tobs& o = doc.Objects[slot];
        o.Kind = 1;
        o.Width = o.Height = 2000;
        o.Left = static_cast<std::int32_t>(units.x(mm.x()) - 1000);
        o.Top = static_cast<std::int32_t>(units.y(mm.y()) - 1000);
    };
    place(1, before.panel(PanelId::Hinten).face.center());
    place(2, before.panel(PanelId::DeckelRechts).face.center());
    const std::vector<ArtworkMove> moves = artworkMoves(doc, NetSource{lockLid, 100}, NetSource{sleeve, 100});
    ASSERT_EQ(moves.size(), 1u);   // the sleeve has no lid: that art stays
    EXPECT_EQ(moves[0].slot, 1);
    const QPointF shift = after.panel(PanelId(2)).hinge.p1() - before.panel(PanelId::Hinten).hinge.p1();
    EXPECT_NEAR(moves[0].toLeft - moves[0].fromLeft, shift.x() * NetToUnits::UnitsPerMm, 1);
    EXPECT_NEAR(moves[0].toTop - moves[0].fromTop, shift.y() * NetToUnits::UnitsPerMm, 1);
}
