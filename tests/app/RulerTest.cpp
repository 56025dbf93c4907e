// Ruler scale: labels, minor ticks and the frame, for the scroll positions
// the editor really takes.
#include "render/RulerPainter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <algorithm>

namespace {

constexpr int SurfaceWidth = 1646;   // editing area after New at 96 dpi
constexpr int SurfaceHeight = 1164;

bool isBlack(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)) == QColor(Qt::black); }

const RulerTick* labelWithValue(const std::vector<RulerTick>& ticks, int value) {
    for (const RulerTick& t : ticks)
        if (t.kind == RulerTick::Label && t.value == value) return &t;
    return nullptr;
}

}  // namespace

TEST(RulerScale, MiddleThirdAtTheLeftEdgeShowsZeroAtPixel20) {
    const int W = 500;
    const int L = W - 21;
    const RulerScale s = rulerScale(L, SurfaceWidth / 3, SurfaceWidth, 290.0);
    ASSERT_TRUE(s.valid);
    EXPECT_DOUBLE_EQ(s.start, 0.0);
    // 479 pixels of 548 per 290 mm: about 253 mm, 9 intervals of 28 mm -> step 20.
    EXPECT_EQ(s.step, 20);
    EXPECT_EQ(s.first, -1);
    EXPECT_EQ(s.last, 13);
    const auto ticks = rulerTicks(L, s);
    const RulerTick* zero = labelWithValue(ticks, 0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->position, 0);

    const QImage img = paintHorizontalRuler(W, 20, SurfaceWidth / 3, SurfaceWidth, 290.0);
    // The label line of 0 runs down the whole ruler at x = 20, except the last row.
    for (int y = 0; y < 19; ++y) EXPECT_TRUE(isBlack(img, 20, y)) << y;
}

TEST(RulerScale, LabelsLeftOfTheNetAreNegativeAndClippedAtTheCorner) {
    const int L = 600 - 21;
    const RulerScale s = rulerScale(L, 400, SurfaceWidth, 290.0);   // scrolled 148 px left of the net
    ASSERT_TRUE(s.valid);
    EXPECT_LT(s.start, 0.0);
    const auto ticks = rulerTicks(L, s);
    const RulerTick* minus20 = labelWithValue(ticks, -20);
    ASSERT_NE(minus20, nullptr);
    EXPECT_GE(minus20->position, 0);
    // Ticks before the scale's start exist in the list but the horizontal
    // ruler draws none of them into the corner square.
    EXPECT_TRUE(std::any_of(ticks.begin(), ticks.end(), [](const RulerTick& t) { return t.position < 0; }));
    const QImage img = paintHorizontalRuler(600, 20, 400, SurfaceWidth, 290.0);
    for (int x = 1; x < 19; ++x)
        for (int y = 1; y < 18; ++y) EXPECT_FALSE(isBlack(img, x, y)) << x << "," << y;
}

TEST(RulerScale, ZoomingInStepsTheLabelsDown) {
    // Larger drawing surfaces (zoom steps of 1.5) over the same 290 mm.
    const int L = 700 - 21;
    std::vector<int> steps;
    for (double divisor : {1404.0, 936.0, 624.0, 416.0, 277.33, 184.89, 123.26, 82.17, 54.78, 36.52}) {
        const int surface = static_cast<int>(685040 / divisor);
        steps.push_back(rulerScale(L, surface / 3, surface, 290.0).step);
    }
    EXPECT_EQ(steps.front(), 100);
    EXPECT_EQ(steps.back(), 1);
    EXPECT_TRUE(std::is_sorted(steps.rbegin(), steps.rend()));
    for (int wanted : {100, 40, 20, 10, 5, 1})
        EXPECT_NE(std::find(steps.begin(), steps.end(), wanted), steps.end()) << wanted;
}

TEST(RulerScale, MinorTicksAlternateLongAndShort) {
    const int L = 479;
    const RulerScale s = rulerScale(L, SurfaceWidth / 3, SurfaceWidth, 290.0);
    const auto ticks = rulerTicks(L, s);
    ASSERT_EQ(ticks.size(), static_cast<size_t>(10 * (s.last - s.first) + 1));
    // Index i = 1 (value 2 mm): odd, long; i = 2 (value 4 mm): even, short.
    const auto at = [&](long long i) { return ticks[static_cast<size_t>(i - 10 * s.first)]; };
    EXPECT_EQ(at(1).kind, RulerTick::LongMinor);
    EXPECT_EQ(at(1).value, 2);
    EXPECT_EQ(at(2).kind, RulerTick::ShortMinor);
    EXPECT_EQ(at(2).value, 4);

    const QImage img = paintHorizontalRuler(500, 20, SurfaceWidth / 3, SurfaceWidth, 290.0);
    const int xLong = at(1).position + 20;
    const int xShort = at(2).position + 20;
    // Long: rows 13..18 (H - 1 - H div 3 to H - 2); short: rows 16..18.
    EXPECT_FALSE(isBlack(img, xLong, 12));
    for (int y = 13; y <= 18; ++y) EXPECT_TRUE(isBlack(img, xLong, y)) << y;
    EXPECT_FALSE(isBlack(img, xShort, 15));
    for (int y = 16; y <= 18; ++y) EXPECT_TRUE(isBlack(img, xShort, y)) << y;
}

TEST(RulerScale, VerticalRulerDrawsAcrossAndFromTheRightThird) {
    const int H = 400;
    const RulerScale s = rulerScale(H - 1, SurfaceHeight / 3, SurfaceHeight, 205.0);
    ASSERT_TRUE(s.valid);
    const auto ticks = rulerTicks(H - 1, s);
    const RulerTick* zero = labelWithValue(ticks, 0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->position, 0);
    const QImage img = paintVerticalRuler(20, H, SurfaceHeight / 3, SurfaceHeight, 205.0);
    for (int x = 0; x < 19; ++x) EXPECT_TRUE(isBlack(img, x, 0)) << x;
    // Frame: right, bottom and left edges.
    EXPECT_TRUE(isBlack(img, 19, 100));
    EXPECT_TRUE(isBlack(img, 0, 100));
    EXPECT_TRUE(isBlack(img, 10, H - 1));
}

TEST(RulerScale, UndefinedScalesDrawOnlyTheFrame) {
    // Scale shorter than 50 pixels (n = 0), a surface under 3 pixels (T = 0),
    // a zero or absurd item size from a damaged file.
    EXPECT_FALSE(rulerScale(49, 0, SurfaceWidth, 290.0).valid);
    EXPECT_FALSE(rulerScale(479, 0, 2, 290.0).valid);
    EXPECT_FALSE(rulerScale(479, 0, SurfaceWidth, 0.0).valid);
    EXPECT_FALSE(rulerScale(479, 0, SurfaceWidth, 1e300).valid);
    EXPECT_FALSE(rulerScale(479, 0, SurfaceWidth, std::numeric_limits<double>::quiet_NaN()).valid);
    const QImage small = paintHorizontalRuler(60, 20, 0, SurfaceWidth, 290.0);
    ASSERT_FALSE(small.isNull());
    EXPECT_TRUE(isBlack(small, 0, 0));
    EXPECT_TRUE(isBlack(small, 19, 10));   // corner separator
    for (int x = 21; x < 58; ++x) EXPECT_FALSE(isBlack(small, x, 10)) << x;
    EXPECT_TRUE(paintHorizontalRuler(0, 20, 0, SurfaceWidth, 290.0).isNull());
}

TEST(RulerScale, HorizontalFrameAndCornerSquare) {
    const QImage img = paintHorizontalRuler(300, 20, 0, 0, 290.0);
    for (int x = 0; x < 300; ++x) {
        EXPECT_TRUE(isBlack(img, x, 0)) << x;
        EXPECT_TRUE(isBlack(img, x, 19)) << x;
    }
    for (int y = 0; y < 20; ++y) {
        EXPECT_TRUE(isBlack(img, 0, y));
        EXPECT_TRUE(isBlack(img, 299, y));
        EXPECT_TRUE(isBlack(img, 19, y));
    }
    EXPECT_FALSE(isBlack(img, 100, 10));
}
