// Snap targets from the exact net, the nearest-pair search with its tie
// rules, and the drag's outline and guides as one set of inverted pixels.
#include "box/FaceGeometry.h"
#include "box/FoldingModel.h"
#include "box/SnapTargets.h"
#include "model/BoxDocument.h"
#include "render/DrawVCart.h"
#include "render/SelectionMarks.h"
#include "render/SheetRenderParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

BoxDocument documentOf(const BoxForm& form) {
    BoxDocument doc;
    doc.Layout.ItemWidth = 290;
    doc.Layout.ItemHeight = 205;
    doc.updateExtentFromLayout();
    doc.Form = form;
    return doc;
}

bool holds(const std::vector<double>& v, double x) {
    return std::any_of(v.begin(), v.end(), [&](double t) { return std::abs(t - x) < 1e-6; });
}

TEST(SnapTargets, EveryStraightNetLineAndFaceCentreButNoSlantedOne) {
    for (const BoxForm& form : {BoxForm::cube(), BoxForm::cuboid(80, 50, 30)}) {
        const BoxDocument doc = documentOf(form);
        const NetSource source = NetSource::of(doc, 70);
        const SnapTargets t = snapTargetsFor(doc, source, 0);
        ASSERT_TRUE(std::is_sorted(t.xs.begin(), t.xs.end()));
        ASSERT_TRUE(std::adjacent_find(t.xs.begin(), t.xs.end()) == t.xs.end());

        const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, source);
        const NetToUnits u = netToUnits(doc);
        int slanted = 0;
        for (const NetSegment& s : model.segments()) {
            const bool vertical = std::abs(s.a.x() - s.b.x()) < 1e-9;
            const bool horizontal = std::abs(s.a.y() - s.b.y()) < 1e-9;
            if (vertical) EXPECT_TRUE(holds(t.xs, u.x(s.a.x())));
            if (horizontal) EXPECT_TRUE(holds(t.ys, u.y(s.a.y())));
            if (!vertical && !horizontal) {
                ++slanted;
                // A dust flap's slant: neither end's x is a target unless a
                // straight line runs there too.
                const double mid = u.x((s.a.x() + s.b.x()) / 2);
                EXPECT_FALSE(holds(t.xs, mid));
            }
        }
        EXPECT_GT(slanted, 0);
        for (const FaceRect& f : faceRects(doc, source)) {
            EXPECT_TRUE(holds(t.xs, (f.left + f.right) / 2));
            EXPECT_TRUE(holds(t.ys, (f.top + f.bottom) / 2));
        }
        // The fold between Vorne and Rechts, in exact units of the millimetre net.
        EXPECT_TRUE(holds(t.xs, u.x(model.left() + model.lengthA())));
    }
}

TEST(SnapTargets, OtherObjectsGiveEdgesAndCentresTheDraggedOneNothing) {
    BoxDocument doc = documentOf(BoxForm::cube());
    auto put = [&](int slot, int l, int t, int w, int h) {
        Tobs& o = doc.Objects[slot];
        o.Kind = Figure;
        o.Left = l;
        o.Top = t;
        o.Width = w;
        o.Height = h;
    };
    put(1, 1001, 2003, 301, 41);
    put(2, 7777, 8888, 100, 200);
    const SnapTargets t = snapTargetsFor(doc, NetSource::of(doc, 100), 2);
    EXPECT_TRUE(holds(t.xs, 1001));
    EXPECT_TRUE(holds(t.xs, 1302));
    EXPECT_TRUE(holds(t.xs, 1151.5));   // a centre between two units
    EXPECT_TRUE(holds(t.ys, 2023.5));
    EXPECT_FALSE(holds(t.xs, 7777));
    EXPECT_FALSE(holds(t.ys, 8988));
}

TEST(NearestSnap, NearestWinsWithinReachOnly) {
    const std::vector<double> targets = {100, 200, 300};
    auto r = nearestSnap(targets, {{190, false}, {296, true}}, 6);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->feature, 1);
    EXPECT_EQ(r->target, 300);
    EXPECT_FALSE(nearestSnap(targets, {{150, false}, {207, false}}, 6));
    EXPECT_TRUE(nearestSnap(targets, {{206, false}}, 6));   // the reach itself still snaps
    EXPECT_FALSE(nearestSnap(targets, {}, 6));
    EXPECT_FALSE(nearestSnap({}, {{5, false}}, 6));
}

TEST(NearestSnap, TiesGoToAnEdgeThenToTheSmallerTarget) {
    // The centre listed first, the edge equally near: the edge wins.
    auto r = nearestSnap({100, 210}, {{104, true}, {206, false}}, 6);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->feature, 1);
    EXPECT_EQ(r->target, 210);
    // One edge halfway between two targets: the smaller.
    r = nearestSnap({96, 104}, {{100, false}}, 6);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->target, 96);
    // Two edges equally near different targets: the smaller target.
    r = nearestSnap({50, 150}, {{153, false}, {47, false}}, 6);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->feature, 1);
    EXPECT_EQ(r->target, 50);
}

TEST(SnapTargets, AnEdgeAtAFoldTargetPrintsOnTheFold) {
    // Where the 600-dpi print puts an edge stored at a fold target: within
    // one printer pixel of the fold's exact place. The print's own dotted
    // lines come from truncated measures and may lie a pixel farther (the
    // bottom flap's fold lies two pixels above its exact place), so against
    // them the edge is within two.
    const std::pair<BoxForm, int> cases[] = {{BoxForm::cube(), 100}, {BoxForm::cube(), 40}, {BoxForm::cuboid(80, 50, 30), 100}};
    for (const auto& [form, percent] : cases) {
        BoxDocument doc = documentOf(form);
        doc.Layout.applyNewDocumentLayout();
        doc.updateExtentFromLayout();
        const NetSource source = NetSource::of(doc, percent);
        const FoldingModel mm = FoldingModel::inMillimetres(doc.Layout, source);
        const FoldingModel px = FoldingModel::inPixels(doc.Layout, source, 600);
        const RenderParams params = sheetRenderParams(doc.Layout, source, 600, 600, printFontFactor(600, 96));
        const NetToUnits u = netToUnits(doc);
        const double perUnit = 600.0 / 20000.0;
        ASSERT_EQ(mm.segments().size(), px.segments().size());
        int checked = 0, onPrintedLine = 0;
        for (size_t i = 0; i < mm.segments().size(); ++i) {
            const NetSegment& s = mm.segments()[i];
            if (s.kind != SegmentKind::Fold) continue;
            Tobs o;
            o.Kind = Figure;
            o.Width = o.Height = 1000;
            o.Left = unitsOf(u.x(s.a.x()));
            o.Top = unitsOf(u.y(s.a.y()));
            const DeviceRect r = deviceRect(o, params);
            const QPointF printed = px.segments()[i].a;
            if (std::abs(s.a.x() - s.b.x()) < 1e-9) {
                EXPECT_NEAR(r.X, u.x(s.a.x()) * perUnit - params.OffsetX, 1.0) << i;
                EXPECT_NEAR(r.X, printed.x(), 2.0) << i;
                onPrintedLine += std::abs(r.X - printed.x()) <= 1;
                ++checked;
            }
            if (std::abs(s.a.y() - s.b.y()) < 1e-9) {
                EXPECT_NEAR(r.Y, u.y(s.a.y()) * perUnit - params.OffsetY, 1.0) << i;
                EXPECT_NEAR(r.Y, printed.y(), 2.0) << i;
                onPrintedLine += std::abs(r.Y - printed.y()) <= 1;
                ++checked;
            }
        }
        EXPECT_GT(checked, 8);
        EXPECT_GE(onPrintedLine, checked - 1);
    }
}

QImage grey() {
    QImage img(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x * 4, y * 6, 77));
    return img;
}

TEST(DragMarks, GuidesOnTheFrameAndCrossingGuidesAreInvertedOnce) {
    const QRect area(0, 0, 60, 40);
    const QRect object(10, 10, 20, 15);   // frame columns 10 and 29, rows 10 and 24
    // A guide on the left edge, one on the bottom edge, crossing each other.
    const QRegion set = dragMarkPixels(object, {10, 45}, {24}, area);
    QImage img = grey();
    const QImage start = img;
    invertPixels(img, set);
    auto inverted = [&](int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == (~start.pixel(x, y) & 0xFFFFFF); };
    EXPECT_TRUE(inverted(10, 12));    // guide on the frame's edge: inverted, not restored
    EXPECT_TRUE(inverted(10, 0));     // the guide runs across the area
    EXPECT_TRUE(inverted(10, 39));
    EXPECT_TRUE(inverted(45, 24));    // two guides crossing
    EXPECT_TRUE(inverted(29, 24));    // frame corner under a guide
    EXPECT_TRUE(inverted(0, 24));
    EXPECT_TRUE(inverted(20, 10));    // the frame's top
    EXPECT_FALSE(inverted(20, 12));   // inside stays
    EXPECT_FALSE(inverted(44, 5));
    invertPixels(img, set);
    EXPECT_EQ(img, start);
}

TEST(DragMarks, WithoutGuidesTheSetIsTheFrameTheDragAlwaysShowed) {
    for (const QRect r : {QRect(5, 6, 20, 10), QRect(3, 3, 0, 7), QRect(30, 2, 1, 1), QRect(8, 30, 12, 0)}) {
        QImage a = grey(), b = grey();
        markrec(a, r, MarkStyle::InvertedFrame);
        invertPixels(b, dragMarkPixels(r, {}, {}, QRect()));
        EXPECT_EQ(a, b) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
    }
}

}  // namespace
