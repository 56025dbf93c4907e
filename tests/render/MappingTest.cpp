#include "RenderTestUtil.h"

#include "base/Units.h"
#include "model/Tobs.h"
#include "box/BoxNet.h"
#include "render/Mapping.h"

#include <gtest/gtest.h>

TEST(Mapping, NewDocumentAreaAtZoomOne) {
    auto doc = rt::document();
    const Mapping m = Mapping::screenFor(*doc);
    EXPECT_EQ(doc->ExtentWidth, 685040);
    EXPECT_EQ(doc->ExtentHeight, 484252);
    EXPECT_EQ(m.toDevice(doc->ExtentWidth), 1646);
    EXPECT_EQ(m.toDevice(doc->ExtentHeight), 1164);
    EXPECT_DOUBLE_EQ(m.Scale(), 1.0 / 416);
}

TEST(Mapping, SettersStoreUnitsAndChangeOneField) {
    Tobs o;
    o.Top = 7;
    o.Width = 8;
    o.Height = 9;
    EXPECT_EQ(SetDevLeft(o, 100, 1.0, 416), 41600);
    EXPECT_EQ(o.Left, 41600);
    EXPECT_EQ(o.Top, 7);
    EXPECT_EQ(o.Width, 8);
    EXPECT_EQ(o.Height, 9);
    EXPECT_EQ(Mapping::screen(1.0, 416).DevLeft(o), 100);
    // A zoom change leaves the units and changes only the device value.
    EXPECT_EQ(Mapping::screen(2.0, 416).DevLeft(o), 200);
    EXPECT_EQ(o.Left, 41600);
    EXPECT_EQ(SetDevWidth(o, 3, 1.5, 416), 832);
    EXPECT_EQ(SetDevHeight(o, -5, 1.0, 416), -2080);
    EXPECT_EQ(SetDevTop(o, 1, 3.0, 416), 138);   // 138.67 truncates
}

TEST(Mapping, TruncatesTowardZeroBothWays) {
    Tobs o;
    o.Left = 415;
    o.Top = -415;
    o.Width = 833;
    o.Height = -833;
    const Mapping m = Mapping::screen(1.0, 416);
    EXPECT_EQ(m.DevLeft(o), 0);
    EXPECT_EQ(m.DevTop(o), 0);
    EXPECT_EQ(m.DevWidth(o), 2);
    EXPECT_EQ(m.DevHeight(o), -2);
}

TEST(Mapping, PrintScaleAt600Dpi) {
    Tobs o;
    o.Left = mmToUnits(290);
    const Mapping m = Mapping::printAtDpi(600);
    EXPECT_DOUBLE_EQ(m.Scale(), 0.03);
    EXPECT_TRUE(m.isPrint());
    EXPECT_EQ(m.DevLeft(o), 6850);
    // The setters ignore the output mapping: they always use the screen's.
    EXPECT_EQ(SetDevLeft(o, 10, 1.0, 416), 4160);
}

TEST(Mapping, AbsurdValuesClampInsteadOfOverflowing) {
    Tobs o;
    EXPECT_EQ(SetDevLeft(o, 2000000000, 0.01, 416), INT32_MAX);
    EXPECT_EQ(SetDevLeft(o, 5, 0.0, 416), 0);
    o.Left = INT32_MAX;
    EXPECT_EQ(Mapping::screen(1000.0, 1.0).DevLeft(o), INT32_MAX);
}

TEST(BoxNet, EditorBoxAreaAndMeasureAtThreePercentages) {
    const BoxArea area = boxAreaFor(1646, 1164, 0, 0, true);
    EXPECT_EQ(area, (BoxArea{548, 388, 1097, 776}));
    NetMeasure n = measureNet(area, 100);
    EXPECT_EQ(n.L, 549);
    EXPECT_EQ(n.T, 388);
    EXPECT_EQ(n.e, 121);
    const QRect b = netBounds(n);
    EXPECT_EQ(b.width() - 1, 4 * 121 + 121 / 7);   // 501 pixels wide
    EXPECT_EQ(b.bottom() - n.T, 3 * 121 + 121 / 7);  // 380 high from the top
    EXPECT_GE(b.top(), n.T);
    EXPECT_EQ(measureNet(area, 50).e, 60);
    n = measureNet(area, 10);
    EXPECT_EQ(n.e, 12);
    EXPECT_EQ(n.e / 7, 1);
    EXPECT_EQ(n.e / 10, 1);
}

TEST(BoxNet, ScrollShiftsAreaAndOutputAreaIsTheItem) {
    EXPECT_EQ(boxAreaFor(1646, 1164, 100, 50, true), (BoxArea{448, 338, 997, 726}));
    EXPECT_EQ(boxAreaFor(399, 282, 399, 282, false), (BoxArea{0, 0, 399, 282}));
}

TEST(BoxNet, SixteenPolylinesWithTheLidShape) {
    const NetMeasure n{549, 388, 121};
    const auto lines = netPolylines(n);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], (Polyline{{549, 509}, {1033, 509}}));
    EXPECT_EQ(lines[8][1], QPoint(549 + 484 + 17, 509 + 12));
    const Polyline& lid = lines[14];
    ASSERT_EQ(lid.size(), 16u);
    EXPECT_EQ(lid.front(), QPoint(670, 509));
    EXPECT_EQ(lid.back(), QPoint(791, 509));
    // The repeated point at the slot's step.
    EXPECT_EQ(lid[12], lid[13]);
    EXPECT_EQ(lid[12], QPoint(670 + 60, 388 + 60));
    // Top of the tab: T + e/2 - e/5 - e/8 - e/10 between X+e/4 and X+3e/4.
    EXPECT_EQ(lid[6], QPoint(670 + 30, 388 + 60 - 24 - 15 - 12));
    EXPECT_EQ(lid[7], QPoint(670 + 90, 388 + 60 - 24 - 15 - 12));
    EXPECT_EQ(lines[15].front(), QPoint(549 + 363, 509));
}

namespace {

// The net as its table gives it, written out independently of the code.
std::vector<Polyline> netFromTheTable(int L, int T, int e) {
    auto lid = [&](int X) {
        return Polyline{{X, T + e},
                        {X, T + e / 2},
                        {X + e / 4, T + e / 2},
                        {X + e / 4, T + e / 2 - e / 10},
                        {X + e / 4 - e / 10, T + e / 2 - e / 5},
                        {X + e / 4 - e / 10, T + e / 2 - e / 5 - e / 8},
                        {X + e / 4, T + e / 2 - e / 5 - e / 8 - e / 10},
                        {X + 3 * e / 4, T + e / 2 - e / 5 - e / 8 - e / 10},
                        {X + 3 * e / 4 + e / 10, T + e / 2 - e / 5 - e / 8},
                        {X + 3 * e / 4 + e / 10, T + e / 2 - e / 5},
                        {X + 3 * e / 4, T + e / 2 - e / 10},
                        {X + e / 2, T + e / 2 - e / 10},
                        {X + e / 2, T + e / 2},
                        {X + e / 2, T + e / 2},
                        {X + e, T + e / 2},
                        {X + e, T + e}};
    };
    return {
        {{L, T + e}, {L + 4 * e, T + e}},
        {{L, T + 2 * e}, {L + 4 * e, T + 2 * e}},
        {{L + 2 * e, T + 3 * e}, {L + 3 * e, T + 3 * e}},
        {{L, T + e}, {L, T + 2 * e}},
        {{L + e, T + e}, {L + e, T + 2 * e}},
        {{L + 2 * e, T + e}, {L + 2 * e, T + 3 * e}},
        {{L + 3 * e, T + e}, {L + 3 * e, T + 3 * e}},
        {{L + 4 * e, T + e}, {L + 4 * e, T + 2 * e}},
        {{L + 4 * e, T + e}, {L + 4 * e + e / 7, T + e + e / 10}, {L + 4 * e + e / 7, T + 2 * e - e / 10}, {L + 4 * e, T + 2 * e}},
        {{L + 3 * e, T + 2 * e}, {L + 3 * e + e / 7, T + 2 * e + e / 10}, {L + 3 * e + e / 7, T + 3 * e - e / 10}, {L + 3 * e, T + 3 * e}},
        {{L + 2 * e, T + 2 * e}, {L + 2 * e - e / 7, T + 2 * e + e / 10}, {L + 2 * e - e / 7, T + 3 * e - e / 10}, {L + 2 * e, T + 3 * e}},
        {{L + 2 * e, T + 3 * e}, {L + 2 * e + e / 10, T + 3 * e + e / 7}, {L + 3 * e - e / 10, T + 3 * e + e / 7}, {L + 3 * e, T + 3 * e}},
        {{L, T + e}, {L + e / 4, T + e / 3}, {L + 3 * e / 4, T + e / 3}, {L + e, T + e}},
        {{L + 2 * e, T + e}, {L + 2 * e + e / 4, T + e / 3}, {L + 2 * e + 3 * e / 4, T + e / 3}, {L + 3 * e, T + e}},
        lid(L + e),
        lid(L + 3 * e),
    };
}

}  // namespace

// Every point of all 16 polylines, at edges whose divisions truncate
// differently, against the table.
TEST(BoxNet, AllSixteenPolylinesPointByPointAgainstTheTable) {
    for (const NetMeasure n : {NetMeasure{549, 388, 121}, NetMeasure{549, 388, 60}, NetMeasure{1, 0, 12},
                               NetMeasure{-40, 7, 37}, NetMeasure{168, 167, 3013}, NetMeasure{0, 0, 1}}) {
        const auto lines = netPolylines(n);
        const auto table = netFromTheTable(n.L, n.T, n.e);
        ASSERT_EQ(lines.size(), table.size());
        for (size_t i = 0; i < table.size(); ++i) {
            ASSERT_EQ(lines[i].size(), table[i].size()) << "line " << i + 1 << " e=" << n.e;
            for (size_t k = 0; k < table[i].size(); ++k)
                EXPECT_EQ(lines[i][k], table[i][k]) << "line " << i + 1 << " point " << k << " e=" << n.e;
        }
    }
}
