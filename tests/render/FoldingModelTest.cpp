#include "model/SheetLayout.h"
#include "box/BoxNet.h"
#include "box/FoldingModel.h"
#include "model/SheetGeometry.h"

#include <QPainterPath>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <set>

namespace {

SheetLayout newLayout() {
    SheetLayout l;
    l.applyNewDocumentLayout();
    return l;
}

double area(const QPolygonF& p) {
    double a = 0;
    for (int i = 0; i < p.size(); ++i) {
        const QPointF u = p[i], v = p[(i + 1) % p.size()];
        a += u.x() * v.y() - v.x() * u.y();
    }
    return std::abs(a) / 2;
}

// The panel (if any) whose inside holds p.
int panelAt(const FoldingModel& m, const QPointF& p) {
    for (const FoldPanel& panel : m.panels())
        if (panel.outline.containsPoint(p, Qt::OddEvenFill)) return static_cast<int>(panel.id);
    return -1;
}

std::vector<FoldingModel> sampleModels() {
    const SheetLayout l = newLayout();
    return {FoldingModel::inMillimetres(l, 100), FoldingModel::inMillimetres(l, 30),
            FoldingModel::inPixels(l, 100, 600), FoldingModel::inPixels(l, 70, 96),
            FoldingModel::inPixels(l, 10, 600), FoldingModel::fromMeasure(NetMeasure{549, 388, 121})};
}

}  // namespace

// The pixel panels are made of exactly the points the printed net is drawn
// through, at the resolutions the sheet is printed and previewed at.
TEST(FoldingModel, PixelPanelsUseTheDrawnNetsPoints) {
    const SheetLayout layout = newLayout();
    for (int dpi : {35, 96, 300, 600})
        for (int percent : {10, 50, 100}) {
            const FoldingModel m = FoldingModel::inPixels(layout, percent, dpi);
            const SheetGeometry g = sheetGeometry(layout, dpi, dpi);
            const NetMeasure nm = measureNet(BoxArea{0, 0, g.Wb, g.Hb}, percent);
            ASSERT_EQ(m.left(), nm.L);
            ASSERT_EQ(m.edge(), nm.e);
            std::set<std::pair<int, int>> drawn;
            const std::vector<Polyline> lines = netPolylines(nm);
            for (const Polyline& line : lines)
                for (const QPoint& p : line) drawn.insert({p.x(), p.y()});
            std::set<std::pair<int, int>> corners;
            for (const FoldPanel& p : m.panels())
                for (const QPointF& c : p.outline) {
                    EXPECT_EQ(c, QPointF(c.toPoint())) << panelName(p.id).toStdString();
                    corners.insert({int(c.x()), int(c.y())});
                }
            EXPECT_EQ(corners, drawn) << dpi << " dpi, " << percent << " %";
            // The flaps and lid halves are the net's own polylines, closed
            // along their hinge.
            auto same = [&](PanelId id, int line) {
                QPolygonF expect;
                for (const QPoint& p : lines[line - 1])
                    if (expect.isEmpty() || expect.last() != QPointF(p)) expect << QPointF(p);
                EXPECT_EQ(m.panel(id).outline, expect) << panelName(id).toStdString();
            };
            same(PanelId::Klebelasche, 9);
            same(PanelId::BodenlascheLinks, 10);
            same(PanelId::BodenlascheRechts, 11);
            same(PanelId::BodenlascheVorne, 12);
            same(PanelId::StaublascheVorne, 13);
            same(PanelId::StaublascheHinten, 14);
            same(PanelId::DeckelRechts, 15);
            same(PanelId::DeckelLinks, 16);
            const int L = nm.L, T = nm.T, e = nm.e;
            EXPECT_EQ(m.panel(PanelId::Boden).outline.boundingRect(), QRectF(L + 2 * e, T + 2 * e, e, e));
            EXPECT_EQ(m.panel(PanelId::Links).outline.boundingRect(), QRectF(L + 3 * e, T + e, e, e));
        }
}

TEST(FoldingModel, MillimetreEdgeIsTheCubeEdgeShownBesideTheBoxSize) {
    const SheetLayout layout = newLayout();
    // 6,38 cm at 100 %, 0,64 cm at 10 % (the box size display).
    EXPECT_NEAR(FoldingModel::inMillimetres(layout, 100).edge(), 63.7777777777, 1e-9);
    EXPECT_NEAR(FoldingModel::inMillimetres(layout, 10).edge(), 6.37777777777, 1e-9);
    const FoldingModel m = FoldingModel::inMillimetres(layout, 100);
    const double e = m.edge();
    // Exact fractions: the glue flap is e/7 wide, the lid half e/2 high.
    EXPECT_DOUBLE_EQ(m.panel(PanelId::Klebelasche).outline.boundingRect().width(), e / 7);
    EXPECT_DOUBLE_EQ(m.panel(PanelId::DeckelRechts).outline.boundingRect().top(), e / 2 - e / 5 - e / 8 - e / 10);
}

// Each piece of a net line has paper on both sides (fold) or on one side
// only (cut), told apart here by looking just beside its middle.
TEST(FoldingModel, EverySegmentIsExactlyAFoldOrACut) {
    for (const FoldingModel& m : sampleModels()) {
        if (m.edge() < 20) continue;   // too coarse to look beside a line
        const double d = m.edge() / 200;
        for (const NetSegment& s : m.segments()) {
            ASSERT_NE(s.a, s.b);
            const QPointF mid = (s.a + s.b) / 2;
            const QLineF dir(s.a, s.b);
            const QPointF n(-dir.dy() / dir.length() * d, dir.dx() / dir.length() * d);
            const int left = panelAt(m, mid + n), right = panelAt(m, mid - n);
            if (s.kind == SegmentKind::Fold) {
                EXPECT_GE(left, 0);
                EXPECT_GE(right, 0);
                EXPECT_NE(left, right);
                EXPECT_EQ(std::set<int>({left, right}),
                          std::set<int>({static_cast<int>(s.panel), static_cast<int>(s.otherPanel)}));
            } else {
                EXPECT_TRUE((left >= 0) != (right >= 0)) << "line " << s.netLine;
                EXPECT_EQ(std::max(left, right), static_cast<int>(s.panel));
            }
        }
        // The pieces of each line add up to the whole line: nothing left out.
        std::vector<double> covered(17, 0.0);
        for (const NetSegment& s : m.segments()) covered[s.netLine] += QLineF(s.a, s.b).length();
        const double e = m.edge();
        EXPECT_NEAR(covered[1], 4 * e, 1e-9 * e);
        EXPECT_NEAR(covered[2], 4 * e, 1e-9 * e);
        EXPECT_NEAR(covered[6], 2 * e, 1e-9 * e);
    }
}

// Folds are exactly the hinges: the net is one tree of panels.
TEST(FoldingModel, FoldsAreTheHingesAndLineTwoFoldsOnlyUnderHinten) {
    for (const FoldingModel& m : sampleModels()) {
        const std::vector<NetSegment> folds = m.folds();
        ASSERT_EQ(static_cast<int>(folds.size()), kPanelCount - 1);
        for (const FoldPanel& p : m.panels()) {
            if (p.id == PanelId::Vorne) continue;
            const auto it = std::find_if(folds.begin(), folds.end(), [&](const NetSegment& s) {
                return (QLineF(s.a, s.b) == p.hinge || QLineF(s.b, s.a) == p.hinge);
            });
            ASSERT_NE(it, folds.end()) << panelName(p.id).toStdString();
            EXPECT_EQ(std::set<PanelId>({it->panel, it->otherPanel}), std::set<PanelId>({p.id, p.parent}));
        }
        std::vector<SegmentKind> line2;
        for (const NetSegment& s : m.segments())
            if (s.netLine == 2) line2.push_back(s.kind);
        EXPECT_EQ(line2, (std::vector<SegmentKind>{SegmentKind::Cut, SegmentKind::Cut, SegmentKind::Fold,
                                                   SegmentKind::Cut}));
        // The lid's repeated point leaves no zero-length piece behind.
        for (const NetSegment& s : m.segments()) EXPECT_GT(QLineF(s.a, s.b).length(), 0);
    }
}

TEST(FoldingModel, CutsFormOneClosedOutlineAroundAllPanels) {
    for (const FoldingModel& m : sampleModels()) {
        const QPolygonF outline = m.cutOutline();
        const std::vector<NetSegment> cuts = m.cuts();
        ASSERT_EQ(outline.size(), static_cast<int>(cuts.size()));
        EXPECT_EQ(outline.first(), QPointF(m.left(), m.top() + m.edge()));
        // Its edges are the cuts, each once.
        auto key = [](QPointF a, QPointF b) {
            if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y())) std::swap(a, b);
            return std::make_tuple(a.x(), a.y(), b.x(), b.y());
        };
        std::multiset<std::tuple<double, double, double, double>> fromCuts, fromOutline;
        for (const NetSegment& s : cuts) fromCuts.insert(key(s.a, s.b));
        for (int i = 0; i < outline.size(); ++i) fromOutline.insert(key(outline[i], outline[(i + 1) % outline.size()]));
        EXPECT_EQ(fromCuts, fromOutline);
        // No corner visited twice, and it encloses exactly the paper.
        std::set<std::pair<double, double>> seen;
        for (const QPointF& p : outline) EXPECT_TRUE(seen.insert({p.x(), p.y()}).second);
        double paper = 0;
        for (const FoldPanel& p : m.panels()) paper += area(p.outline);
        EXPECT_NEAR(area(outline), paper, 1e-9 * paper);
    }
}

TEST(FoldingModel, FlatAtZeroLiesInTheNetsPlaneAtNetCoordinates) {
    for (const FoldingModel& m : sampleModels()) {
        const std::vector<PanelPose> poses = m.fold(0);
        ASSERT_EQ(static_cast<int>(poses.size()), kPanelCount);
        for (const PanelPose& pose : poses) {
            ASSERT_EQ(pose.netPolygon, m.panel(pose.id).outline);
            for (int i = 0; i < pose.netPolygon.size(); ++i) {
                EXPECT_NEAR(pose.corners[i].x, pose.netPolygon[i].x(), 1e-9 * m.edge());
                EXPECT_NEAR(pose.corners[i].y, pose.netPolygon[i].y(), 1e-9 * m.edge());
                EXPECT_NEAR(pose.corners[i].z, 0, 1e-9 * m.edge());
            }
            EXPECT_NEAR(pose.normal.z, -1, 1e-12);
        }
    }
}

TEST(FoldingModel, ClosedBoxIsACubeOfEdgeEWithOutwardNormals) {
    for (const FoldingModel& m : sampleModels()) {
        const double e = m.edge(), L = m.left(), T = m.top(), tol = 1e-6 * e;
        const std::vector<PanelPose> poses = m.fold(1);
        std::vector<Vec3> cube;
        for (int i = 0; i < 8; ++i) cube.push_back({L + (i & 1) * e, T + e + ((i >> 1) & 1) * e, ((i >> 2) & 1) * e});
        auto cubeCorner = [&](const Vec3& v) {
            for (int i = 0; i < 8; ++i)
                if ((v - cube[i]).length() <= tol) return i;
            return -1;
        };
        std::set<int> reached;
        const Vec3 centre = m.cubeCentre();
        for (const PanelPose& pose : poses) {
            const PanelKind kind = panelKind(pose.id);
            if (kind == PanelKind::Flap) continue;
            Vec3 mid;
            for (const Vec3& c : pose.corners) mid += c / pose.corners.size();
            EXPECT_NEAR(pose.normal.length(), 1, 1e-12);
            // Outwards: the normal points away from the cube's centre, straight
            // through the middle of the face.
            const Vec3 out = mid - centre;
            EXPECT_GT(pose.normal.dot(out), 0.49 * e) << panelName(pose.id).toStdString();
            EXPECT_NEAR(pose.normal.cross(out).length(), 0, kind == PanelKind::LidHalf ? 0.26 * e : tol);
            int atCorners = 0;
            for (const Vec3& c : pose.corners) {
                const int k = cubeCorner(c);
                if (k >= 0) {
                    reached.insert(k);
                    ++atCorners;
                }
            }
            // A face has all four corners on the cube; a closed lid half is the
            // rectangle from its hinge to the lid's middle.
            if (kind == PanelKind::Face) EXPECT_EQ(atCorners, 4) << panelName(pose.id).toStdString();
            else {
                ASSERT_EQ(pose.corners.size(), 4u);
                EXPECT_EQ(atCorners, 2);
                for (const Vec3& c : pose.corners) EXPECT_NEAR(c.y, T + e, tol);
                EXPECT_NEAR(pose.normal.y, -1, 1e-12);
            }
        }
        EXPECT_EQ(reached.size(), 8u);
        // The two lid halves meet edge to edge in the top's middle.
        const auto& r = poses[static_cast<int>(PanelId::DeckelRechts)].corners;
        const auto& l = poses[static_cast<int>(PanelId::DeckelLinks)].corners;
        double rMin = 1e300, lMax = -1e300;
        for (const Vec3& c : r) rMin = std::min(rMin, c.x);
        for (const Vec3& c : l) lMax = std::max(lMax, c.x);
        const double gap = m.isPixelGeometry() && int(e) % 2 ? 1 : 0;
        EXPECT_NEAR(rMin - lMax, gap, tol);
    }
}

// Panels that overlap in the closed box lie in planes of their own, and
// every flap ends inside the cube.
TEST(FoldingModel, ClosedBoxHasNoTwoOverlappingPanelsInOnePlane) {
    const FoldingModel m = FoldingModel::inMillimetres(newLayout(), 100);
    const double e = m.edge();
    const std::vector<PanelPose> poses = m.fold(1);
    for (int i = 0; i < kPanelCount; ++i) {
        for (const Vec3& c : poses[i].corners) {
            EXPECT_GE(c.x, m.left() - 1e-9 * e);
            EXPECT_LE(c.x, m.left() + e + 1e-9 * e);
            EXPECT_GE(c.z, -1e-9 * e);
            EXPECT_LE(c.z, e + 1e-9 * e);
        }
        for (int j = i + 1; j < kPanelCount; ++j) {
            const PanelPose &a = poses[i], &b = poses[j];
            if (std::abs(std::abs(a.normal.dot(b.normal)) - 1) > 1e-9) continue;
            if (std::abs(a.normal.dot(b.corners[0] - a.corners[0])) > 1e-9 * e) continue;
            // Same plane: their shapes seen along the normal must not overlap.
            const Vec3 u = std::abs(a.normal.x) > 0.5 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
            const Vec3 v = a.normal.cross(u);
            auto flat = [&](const PanelPose& p) {
                QPolygonF q;
                for (const Vec3& c : p.corners) q << QPointF(c.dot(u), c.dot(v));
                return q;
            };
            QPainterPath pa, pb;
            pa.addPolygon(flat(a));
            pb.addPolygon(flat(b));
            double overlap = 0;
            for (const QPolygonF& poly : pa.intersected(pb).toFillPolygons()) overlap += area(poly);
            EXPECT_LT(overlap, 1e-6 * e * e) << panelName(a.id).toStdString() << " / " << panelName(b.id).toStdString();
        }
    }
}

// While folding, hinged panels stay joined at their hinge and the paper only
// ever moves behind the net's plane.
TEST(FoldingModel, PanelsStayJoinedAtTheirHingesWhileFolding) {
    const FoldingModel m = FoldingModel::inMillimetres(newLayout(), 100);
    const double e = m.edge();
    for (double f : {0.05, 0.2, 0.45, 0.6, 0.7, 0.85, 0.95}) {
        const std::vector<PanelPose> poses = m.fold(f);
        for (const FoldPanel& p : m.panels()) {
            if (p.id == PanelId::Vorne) continue;
            const Rigid3& own = poses[static_cast<int>(p.id)].transform;
            const Rigid3& parent = poses[static_cast<int>(p.parent)].transform;
            for (const QPointF& h : {p.hinge.p1(), p.hinge.p2()}) {
                const Vec3 v{h.x(), h.y(), 0};
                EXPECT_LE((own.apply(v) - parent.apply(v)).length(), p.inset * m.paperThickness() + 1e-9 * e)
                    << panelName(p.id).toStdString() << " at f=" << f;
            }
            for (const Vec3& c : poses[static_cast<int>(p.id)].corners) EXPECT_GE(c.z, -1e-9 * e);
        }
    }
    // The fold progresses: more turned at a later state, never less.
    for (const FoldPanel& p : m.panels())
        for (double f = 0; f < 1; f += 0.05)
            EXPECT_LE(m.hingeProgress(p.id, f), m.hingeProgress(p.id, f + 0.05));
}

TEST(FoldingModel, FaceNamesOfThePanels) {
    EXPECT_EQ(faceName(PanelId::Vorne), "Vorne");
    EXPECT_EQ(faceName(PanelId::Rechts), "Rechts");
    EXPECT_EQ(faceName(PanelId::Hinten), "Hinten");
    EXPECT_EQ(faceName(PanelId::Links), "Links");
    EXPECT_EQ(faceName(PanelId::Boden), "Boden");
    EXPECT_EQ(faceName(PanelId::DeckelRechts), "Deckel");
    EXPECT_EQ(faceName(PanelId::DeckelLinks), "Deckel");
    EXPECT_TRUE(faceName(PanelId::Klebelasche).isEmpty());
    std::set<QString> names;
    for (int i = 0; i < kPanelCount; ++i) EXPECT_TRUE(names.insert(panelName(PanelId(i))).second);
}
