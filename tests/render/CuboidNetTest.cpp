// The one net generator for both forms: the table's points, folds and cuts,
// the closed outline, the folded cuboid, the fit check, the proportional
// offer and the artwork moving with the faces. Every expectation comes from
// the table written out here, not from the generator.

#include "box/ArtworkMove.h"
#include "box/BoxFit.h"
#include "box/BoxNet.h"
#include "box/FoldingModel.h"
#include "box/NetDrawing.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <cmath>

namespace {

struct Table {
    int a, b, h, t, g, f;
};

// The cuboid's measures in pixels as the table defines them.
Table cuboidTable(int a, int b, int h, int px6) {
    const int m = std::min({a, b, h});
    const int flap = std::max(m / 7, px6);
    return {a, b, h, std::max(a, b - b / 3), std::min(flap, a / 2), std::min(flap, h / 2)};
}

Table cubeTable(int e) { return {e, e, e, e, e / 7, e / 7}; }

// The 16 polylines straight from the table.
std::vector<Polyline> tableNet(int X0, int Y0, const Table& m) {
    const int a = m.a, b = m.b, h = m.h, g = m.g, f = m.f;
    const int Y1 = Y0 + m.t;
    auto lid = [&](int X) {
        const int yL = Y1 - (a - a / 2);
        return Polyline{{X, Y1},
                        {X, yL},
                        {X + b / 4, yL},
                        {X + b / 4, yL - a / 10},
                        {X + b / 4 - b / 10, yL - a / 5},
                        {X + b / 4 - b / 10, yL - a / 5 - a / 8},
                        {X + b / 4, yL - a / 5 - a / 8 - a / 10},
                        {X + 3 * b / 4, yL - a / 5 - a / 8 - a / 10},
                        {X + 3 * b / 4 + b / 10, yL - a / 5 - a / 8},
                        {X + 3 * b / 4 + b / 10, yL - a / 5},
                        {X + 3 * b / 4, yL - a / 10},
                        {X + b / 2, yL - a / 10},
                        {X + b / 2, yL},
                        {X + b / 2, yL},
                        {X + b, yL},
                        {X + b, Y1}};
    };
    const int d = b - b / 3;
    const int W = X0 + 2 * a + 2 * b;
    return {
        {{X0, Y1}, {W, Y1}},
        {{X0, Y1 + h}, {W, Y1 + h}},
        {{X0 + a + b, Y1 + h + b}, {X0 + 2 * a + b, Y1 + h + b}},
        {{X0, Y1}, {X0, Y1 + h}},
        {{X0 + a, Y1}, {X0 + a, Y1 + h}},
        {{X0 + a + b, Y1}, {X0 + a + b, Y1 + h + b}},
        {{X0 + 2 * a + b, Y1}, {X0 + 2 * a + b, Y1 + h + b}},
        {{W, Y1}, {W, Y1 + h}},
        {{W, Y1}, {W + g, Y1 + h / 10}, {W + g, Y1 + h - h / 10}, {W, Y1 + h}},
        {{X0 + 2 * a + b, Y1 + h}, {X0 + 2 * a + b + f, Y1 + h + b / 10}, {X0 + 2 * a + b + f, Y1 + h + b - b / 10},
         {X0 + 2 * a + b, Y1 + h + b}},
        {{X0 + a + b, Y1 + h}, {X0 + a + b - f, Y1 + h + b / 10}, {X0 + a + b - f, Y1 + h + b - b / 10},
         {X0 + a + b, Y1 + h + b}},
        {{X0 + a + b, Y1 + h + b}, {X0 + a + b + a / 10, Y1 + h + b + f}, {X0 + 2 * a + b - a / 10, Y1 + h + b + f},
         {X0 + 2 * a + b, Y1 + h + b}},
        {{X0, Y1}, {X0 + a / 4, Y1 - d}, {X0 + 3 * a / 4, Y1 - d}, {X0 + a, Y1}},
        {{X0 + a + b, Y1}, {X0 + a + b + a / 4, Y1 - d}, {X0 + a + b + 3 * a / 4, Y1 - d}, {X0 + 2 * a + b, Y1}},
        lid(X0 + a),
        lid(X0 + 2 * a + b),
    };
}

::testing::AssertionResult sameNet(const std::vector<Polyline>& got, const std::vector<Polyline>& want) {
    if (got.size() != want.size()) return ::testing::AssertionFailure() << "line count " << got.size();
    for (size_t i = 0; i < want.size(); ++i) {
        if (got[i].size() != want[i].size()) return ::testing::AssertionFailure() << "line " << i + 1 << " size";
        for (size_t k = 0; k < want[i].size(); ++k)
            if (got[i][k] != want[i][k])
                return ::testing::AssertionFailure() << "line " << i + 1 << " point " << k << ": (" << got[i][k].x()
                                                     << "," << got[i][k].y() << ") not (" << want[i][k].x() << ","
                                                     << want[i][k].y() << ")";
    }
    return ::testing::AssertionSuccess();
}

NetMeasure cuboidMeasure(int L, int T, int a, int b, int h, int px6) {
    NetMeasure m;
    m.L = L, m.T = T, m.cuboid = true, m.a = a, m.b = b, m.h = h, m.minFlap = px6;
    return m;
}

double shoelace(const QPolygonF& p) {
    double s = 0;
    for (int i = 0; i < p.size(); ++i) {
        const QPointF u = p[i], v = p[(i + 1) % p.size()];
        s += u.x() * v.y() - v.x() * u.y();
    }
    return std::abs(s) / 2;
}

// The net's outer polygon from the table: down Vorne's left edge, along the
// bottom, round the bottom face and its flaps, up past the glue flap and
// back over the lid halves and dust flaps.
QPolygonF tableOutline(double X0, double Y0, const Table& m) {
    const double a = m.a, b = m.b, h = m.h, g = m.g, f = m.f, Y1 = Y0 + m.t, Y2 = Y1 + h, Y3 = Y2 + b;
    const double x1 = X0 + a, x2 = x1 + b, x3 = x2 + a, x4 = x3 + b, d = b - std::floor(b / 3);
    QPolygonF p;
    p << QPointF(X0, Y1) << QPointF(X0, Y2) << QPointF(x2, Y2) << QPointF(x2 - f, Y2 + std::floor(b / 10))
      << QPointF(x2 - f, Y3 - std::floor(b / 10)) << QPointF(x2, Y3) << QPointF(x2 + std::floor(a / 10), Y3 + f)
      << QPointF(x3 - std::floor(a / 10), Y3 + f) << QPointF(x3, Y3) << QPointF(x3 + f, Y3 - std::floor(b / 10))
      << QPointF(x3 + f, Y2 + std::floor(b / 10)) << QPointF(x3, Y2) << QPointF(x4, Y2)
      << QPointF(x4 + g, Y2 - std::floor(h / 10)) << QPointF(x4 + g, Y1 + std::floor(h / 10)) << QPointF(x4, Y1);
    // Back along the top, right to left: each of lines 16, 14, 15, 13 walked
    // from its right end.
    const std::vector<Polyline> lines = tableNet(static_cast<int>(X0), static_cast<int>(Y0), m);
    for (int line : {15, 13, 14, 12})
        for (auto it = lines[line].rbegin(); it != lines[line].rend(); ++it)
            if (QPointF(*it) != p.last()) p << QPointF(*it);
    if (p.last() == p.first()) p.removeLast();
    return p;
}

}  // namespace

// The Würfel form is the cube's table point for point for every edge, and
// the cuboid of equal measures with its own rules differs only in t, g, f.
TEST(CuboidNet, CubeFormIsTheCubeTableForEveryEdge) {
    for (int e = 1; e <= 4000; ++e) {
        const NetMeasure m{37, 11, e};
        ASSERT_TRUE(sameNet(netPolylines(m), tableNet(37, 11, cubeTable(e)))) << "e=" << e;
    }
}

TEST(CuboidNet, CubeFormOnEveryCanvasIsTheCubeTable) {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    const BoxArea editorArea = boxAreaFor(1646, 1164, 13, 7, true);
    for (int percent : {10, 37, 50, 100}) {
        const NetSource cube = NetSource::cube(percent);
        for (double scale : {0.25 / 416, 1.0 / 416, 4.0 / 416, 300 / 20000.0, 600 / 20000.0, 1200 / 20000.0}) {
            const NetMeasure viaSource = measureNet(editorArea, cube, scale);
            const NetMeasure plain = measureNet(editorArea, percent);
            ASSERT_EQ(viaSource, plain);
            EXPECT_TRUE(sameNet(netPolylines(viaSource), tableNet(plain.L, plain.T, cubeTable(plain.e))));
        }
    }
}

// A grid and random measures within 10..400 mm, at print resolutions.
TEST(CuboidNet, CuboidPointsFollowTheTable) {
    QRandomGenerator rng(27);
    std::vector<std::array<double, 3>> sizes;
    for (double L : {10.0, 64.0, 155.5, 400.0})
        for (double B : {10.0, 21.0, 133.3, 400.0})
            for (double H : {10.0, 89.0, 400.0}) sizes.push_back({L, B, H});
    for (int i = 0; i < 200; ++i)
        sizes.push_back({10 + rng.bounded(3901) / 10.0, 10 + rng.bounded(3901) / 10.0, 10 + rng.bounded(3901) / 10.0});
    for (const auto& s : sizes)
        for (int dpi : {96, 300, 600}) {
            const NetSource src{BoxForm::cuboid(s[0], s[1], s[2]), 100};
            const NetMeasure m = measureNetAtDpi(BoxArea{0, 0, 5000, 5000}, src, dpi);
            auto px = [&](double mm) { return static_cast<int>(std::trunc(mm * 20000 / 25.39995 * (dpi / 20000.0))); };
            ASSERT_EQ(m.a, px(s[0]));
            ASSERT_EQ(m.b, px(s[1]));
            ASSERT_EQ(m.h, px(s[2]));
            ASSERT_EQ(m.L, 1);
            ASSERT_TRUE(sameNet(netPolylines(m), tableNet(1, 0, cuboidTable(m.a, m.b, m.h, px(6)))))
                << s[0] << " x " << s[1] << " x " << s[2] << " @" << dpi;
            EXPECT_EQ(m.netWidth(), 2 * m.a + 2 * m.b + cuboidTable(m.a, m.b, m.h, px(6)).g);
        }
}

// Every net segment is a fold or a cut; the cuts close round the table's
// polygon; the folds are every edge of the box once: 4 (a + b + h).
TEST(CuboidNet, FoldsAndCutsOfTheCuboid) {
    QRandomGenerator rng(2727);
    for (int i = 0; i < 120; ++i) {
        const int a = 40 + rng.bounded(900), b = 40 + rng.bounded(900), h = 40 + rng.bounded(900);
        const int px6 = 20;
        const FoldingModel model = FoldingModel::fromMeasure(cuboidMeasure(3, 5, a, b, h, px6));
        double folds = 0;
        for (const NetSegment& s : model.segments()) {
            ASSERT_TRUE(s.kind == SegmentKind::Fold || s.kind == SegmentKind::Cut);
            if (s.kind == SegmentKind::Fold) folds += QLineF(s.a, s.b).length();
        }
        EXPECT_NEAR(folds, 4.0 * (a + b + h), 1e-6) << a << " " << b << " " << h;
        const QPolygonF outline = model.cutOutline();
        const QPolygonF table = tableOutline(3, 5, cuboidTable(a, b, h, px6));
        EXPECT_NEAR(shoelace(outline), shoelace(table), 1e-6) << a << " " << b << " " << h;
        // Closed: every cut used, the walk ends where it began.
        double cutLength = 0, outlineLength = 0;
        for (const NetSegment& s : model.cuts()) cutLength += QLineF(s.a, s.b).length();
        for (int k = 0; k < outline.size(); ++k)
            outlineLength += QLineF(outline[k], outline[(k + 1) % outline.size()]).length();
        EXPECT_NEAR(cutLength, outlineLength, 1e-6);
    }
}

TEST(CuboidNet, CubeOutlineIsTheCubeTableForEveryEdgeFrom12To400) {
    for (int e = 12; e <= 400; ++e) {
        const FoldingModel model = FoldingModel::fromMeasure(NetMeasure{0, 0, e});
        EXPECT_NEAR(shoelace(model.cutOutline()), shoelace(tableOutline(0, 0, cubeTable(e))), 1e-6) << e;
    }
}

// Closed, the six faces' outer corners are the cuboid's eight corners, each
// normal points away from the centre, and no two overlapping panels share a
// plane; flat, every panel lies at its net points.
TEST(CuboidNet, FoldsToTheClosedCuboid) {
    for (const auto& s : std::vector<std::array<double, 3>>{{64, 21, 89}, {70, 45, 110}, {10, 400, 10}, {300, 12, 40}}) {
        SheetLayout layout;
        const FoldingModel m = FoldingModel::inMillimetres(layout, NetSource{BoxForm::cuboid(s[0], s[1], s[2]), 100});
        const double L = s[0], B = s[1], H = s[2], tol = 1e-6;
        const double y1 = m.top() + m.rowTop();
        const std::vector<PanelPose> closed = m.fold(1.0);
        const Vec3 centre = m.boxCentre();
        for (PanelId id : {PanelId::Vorne, PanelId::Rechts, PanelId::Hinten, PanelId::Links, PanelId::Boden}) {
            const PanelPose& p = closed[static_cast<int>(id)];
            for (const Vec3& c : p.corners) {
                const bool onX = std::abs(c.x - m.left()) < tol || std::abs(c.x - (m.left() + L)) < tol;
                const bool onY = std::abs(c.y - y1) < tol || std::abs(c.y - (y1 + H)) < tol;
                const bool onZ = std::abs(c.z) < tol || std::abs(c.z - B) < tol;
                EXPECT_TRUE(onX && onY && onZ) << panelName(id).toStdString() << " " << c.x << " " << c.y << " " << c.z;
            }
            const Vec3 mid = (p.corners[0] + p.corners[2]) / 2;
            EXPECT_GT(p.normal.dot(mid - centre), 0) << panelName(id).toStdString();
        }
        // The lid: both halves in the top plane, edge to edge, covering L x B.
        double lidArea = 0;
        for (PanelId id : {PanelId::DeckelRechts, PanelId::DeckelLinks}) {
            const PanelPose& p = closed[static_cast<int>(id)];
            for (const Vec3& c : p.corners) EXPECT_NEAR(c.y, y1, tol);
            lidArea += std::abs([&] {
                double a = 0;
                for (size_t i = 0; i < p.corners.size(); ++i) {
                    const Vec3 u = p.corners[i], v = p.corners[(i + 1) % p.corners.size()];
                    a += u.x * v.z - v.x * u.z;
                }
                return a / 2;
            }());
            EXPECT_LT(p.normal.y, -0.999);
        }
        EXPECT_NEAR(lidArea, L * B, 1e-6);
        // Flaps lie inside, each at a whole number of paper thicknesses
        // min(L, B, H) / 200 from the face it rests on; overlapping ones apart.
        const double t = std::min({L, B, H}) / 200;
        EXPECT_DOUBLE_EQ(m.paperThickness(), t);
        const PanelPose& glue = closed[static_cast<int>(PanelId::Klebelasche)];
        for (const Vec3& c : glue.corners) EXPECT_NEAR(c.z, t, tol);
        const PanelPose& bottomFront = closed[static_cast<int>(PanelId::BodenlascheVorne)];
        for (const Vec3& c : bottomFront.corners) EXPECT_NEAR(c.z, 2 * t, tol);
        const PanelPose& dustFront = closed[static_cast<int>(PanelId::StaublascheVorne)];
        const PanelPose& dustBack = closed[static_cast<int>(PanelId::StaublascheHinten)];
        for (const Vec3& c : dustFront.corners) EXPECT_NEAR(c.y, y1 + t, tol);
        for (const Vec3& c : dustBack.corners) EXPECT_NEAR(c.y, y1 + 2 * t, tol);

        for (const PanelPose& p : m.fold(0.0)) {
            const FoldPanel& panel = m.panel(p.id);
            ASSERT_EQ(p.corners.size(), static_cast<size_t>(panel.outline.size()));
            for (int i = 0; i < panel.outline.size(); ++i) {
                EXPECT_NEAR(p.corners[i].x, panel.outline[i].x(), 1e-9);
                EXPECT_NEAR(p.corners[i].y, panel.outline[i].y(), 1e-9);
                EXPECT_NEAR(p.corners[i].z, 0, 1e-9);
            }
        }
    }
}

TEST(CuboidNet, FitCheckInExactMillimetres) {
    SheetLayout a4;
    a4.applyNewDocumentLayout();   // 290 x 205 mm
    const NetSource card{BoxForm::cuboid(64, 21, 89), 100};
    // 2L + 2B + g with g = max(21/7, 6) = 6; t + H + B + f = 64 + 89 + 21 + 6.
    const QSizeF need = netSizeMm(card, a4);
    EXPECT_DOUBLE_EQ(need.width(), 2 * 64 + 2 * 21 + 6.0);
    EXPECT_DOUBLE_EQ(need.height(), 64 + 89 + 21 + 6.0);
    EXPECT_TRUE(netFits(card, a4));
    EXPECT_EQ(netRoomText(card, a4), QStringLiteral("Das Netz braucht 176,0 × 180,0 mm; die Box bietet 289,5 × 205,0 mm"));
    // Exactly at the width limit fits; a tenth more does not.
    const double L = (289.5 - 6 - 2 * 20) / 2;   // B = 20, g = 6
    EXPECT_TRUE(netFits(NetSource{BoxForm::cuboid(L, 20, 50), 100}, a4));
    EXPECT_FALSE(netFits(NetSource{BoxForm::cuboid(L + 0.1, 20, 50), 100}, a4));
    // The cube of every percentage fits its paper.
    for (int p = 10; p <= 100; ++p) EXPECT_TRUE(netFits(NetSource::cube(p), a4)) << p;
}

TEST(CuboidNet, LargestFittingFormKeepsTheProportions) {
    SheetLayout a4;
    a4.applyNewDocumentLayout();
    const BoxForm wanted = BoxForm::cuboid(200, 100, 150);
    const std::optional<BoxForm> offer = largestFittingForm(wanted, a4);
    ASSERT_TRUE(offer.has_value());
    EXPECT_TRUE(netFits(NetSource{*offer, 100}, a4));
    // Each a multiple of 0,1 mm, and a tenth more on all three no longer fits.
    for (double v : {offer->L, offer->B, offer->H}) EXPECT_NEAR(v * 10, std::round(v * 10), 1e-9);
    EXPECT_FALSE(netFits(NetSource{BoxForm::cuboid(offer->L + 0.1, offer->B + 0.1, offer->H + 0.1), 100}, a4));
    EXPECT_NEAR(offer->L / offer->B, 2.0, 0.01);
    EXPECT_NEAR(offer->H / offer->B, 1.5, 0.01);
    EXPECT_TRUE(netDoesNotFitText(NetSource{wanted, 100}, a4).contains(boxform::measuresText(*offer)));
    // A shape that cannot fit with every measure at 10 mm or more.
    const BoxForm thin = BoxForm::cuboid(10, 10, 400);
    EXPECT_FALSE(largestFittingForm(thin, a4).has_value());
    EXPECT_TRUE(netDoesNotFitText(NetSource{thin, 100}, a4).contains(NoProportionalFitText));
}

// Objects on a panel move with that panel's hinge start; others stay.
TEST(CuboidNet, ArtworkMovesWithTheFaces) {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    const NetSource from = NetSource::cube(100);
    const NetSource to{BoxForm::cuboid(64, 21, 89), 100};
    const FoldingModel before = FoldingModel::inMillimetres(doc.Layout, from);
    const FoldingModel after = FoldingModel::inMillimetres(doc.Layout, to);
    const double u = 20000 / 25.39995;
    const double ox = doc.ExtentWidth / 3.0, oy = doc.ExtentHeight / 3.0;
    auto place = [&](int slot, QPointF mm) {
        Tobs& o = doc.Objects[slot];
        o.Kind = Figure;
        o.Width = 2000;
        o.Height = 1000;
        o.Left = static_cast<std::int32_t>(ox + mm.x() * u) - 1000;
        o.Top = static_cast<std::int32_t>(oy + mm.y() * u) - 500;
    };
    const QRectF hinten = before.panel(PanelId::Hinten).outline.boundingRect();
    const QRectF vorne = before.panel(PanelId::Vorne).outline.boundingRect();
    place(1, hinten.center());
    place(2, vorne.center());
    place(3, QPointF(-20, -20));   // beside the net
    const std::vector<ArtworkMove> moves = artworkMoves(doc, from, to);
    std::map<int, ArtworkMove> bySlot;
    for (const ArtworkMove& m : moves) bySlot[m.slot] = m;
    EXPECT_EQ(bySlot.count(3), 0u);
    ASSERT_EQ(bySlot.count(1), 1u);
    const QPointF shift = after.panel(PanelId::Hinten).hinge.p1() - before.panel(PanelId::Hinten).hinge.p1();
    EXPECT_EQ(bySlot[1].toLeft - bySlot[1].fromLeft, std::llround(shift.x() * u));
    EXPECT_EQ(bySlot[1].toTop - bySlot[1].fromTop, std::llround(shift.y() * u));
    // Vorne: its top-left corner, the row top moving from e to max(L, 2B/3).
    const QPointF vShift = after.panel(PanelId::Vorne).outline.boundingRect().topLeft() - vorne.topLeft();
    if (bySlot.count(2)) EXPECT_EQ(bySlot[2].toTop - bySlot[2].fromTop, std::llround(vShift.y() * u));
    else EXPECT_EQ(std::llround(vShift.y() * u), 0);
    const std::int32_t left1 = doc.Objects[1].Left;
    applyArtworkMoves(doc, moves);
    EXPECT_EQ(doc.Objects[1].Left, bySlot[1].toLeft);
    applyArtworkMoves(doc, moves, true);
    EXPECT_EQ(doc.Objects[1].Left, left1);
}

TEST(CuboidNet, LiveDrawingIsTheClosedOutlineWithItsFolds) {
    SheetLayout a4;
    a4.applyNewDocumentLayout();
    const NetDrawingMm d = netDrawingMm(NetSource{BoxForm::cuboid(64, 21, 89), 100}, a4);
    EXPECT_DOUBLE_EQ(d.size.width(), 176);
    EXPECT_DOUBLE_EQ(d.size.height(), 180);
    // Across the net reaches its room; down, the lid's tabs stay 0,075 L
    // below the row top's room (t = L here).
    EXPECT_DOUBLE_EQ(d.outline.boundingRect().width(), 176);
    EXPECT_NEAR(d.outline.boundingRect().height(), 180 - 0.075 * 64, 1e-9);
    double folds = 0;
    for (const QLineF& l : d.folds) folds += l.length();
    EXPECT_NEAR(folds, 4 * (64 + 21 + 89.0), 1e-9);
}
