// Ruler scale: labels, minor ticks and the frame, for the scroll positions
// the editor really takes.
#include "render/fast/DeviceGrid.h"
#include "render/RulerPainter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <algorithm>
#include <cmath>
#include <utility>

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

// The digits as a person reads them: a glyph is the run of inked columns
// right of its label line, and what tells a 6 from a 5 is the left stroke of
// the lower bowl, which only the 6 has. Checked on the horizontal ruler as
// the editor shows it zoomed in once (labels 40 to 70 every 10 mm), at a
// plain and at a high-density screen's ratio.
namespace {

constexpr int DigitsSurface = 3292;               // twice the start-up width
constexpr int DigitsScroll = DigitsSurface / 3 + 151;   // the scale starts at 40 mm

bool inked(const QImage& img, int X, int Y) { return qGray(img.pixel(X, Y)) < 128; }
bool paper(const QImage& img, int X, int Y) { return qGray(img.pixel(X, Y)) > 224; }

// Device rows of the text band below the top frame and above the minor ticks.
struct Band {
    int top, bottom;   // inclusive
};

struct Glyph {
    int left = -1, right = -1, top = -1, bottom = -1;   // inked box, device pixels
};

// The first glyph right of the label line at logical column x: the columns
// from the first inked one up to the next column without ink.
Glyph firstGlyph(const QImage& img, int x, qreal ratio, Band band) {
    Glyph g;
    const int lineEnd = deviceEdge(x + 1, ratio);
    auto columnInked = [&](int X) {
        for (int Y = band.top; Y <= band.bottom; ++Y)
            if (inked(img, X, Y)) return true;
        return false;
    };
    int X = lineEnd;
    while (X < img.width() && !columnInked(X)) ++X;
    if (X >= img.width()) return g;
    g.left = X;
    while (X < img.width() && columnInked(X)) ++X;
    g.right = X - 1;
    for (int Y = band.top; Y <= band.bottom; ++Y)
        for (int C = g.left; C <= g.right; ++C)
            if (inked(img, C, Y)) {
                if (g.top < 0) g.top = Y;
                g.bottom = Y;
            }
    return g;
}

// Inked pixels of the glyph's leftmost column between its middle and its
// bottom row, both left out: the 6's closed bowl, the 5's open side.
int lowerLeftInk(const QImage& img, const Glyph& g, qreal ratio) {
    const int r = static_cast<int>(std::ceil(ratio));
    int n = 0;
    for (int Y = (g.top + g.bottom) / 2 + 1; Y < g.bottom - r + 1; ++Y) n += inked(img, g.left, Y);
    return n;
}

}  // namespace

TEST(RulerDigits, SixAndFiveDifferByTheLowerBowlAndStandFreeOfTheLabelLine) {
    for (qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const int W = 300, H = 20, L = W - 21;
        const QImage img = paintHorizontalRuler(W, H, DigitsScroll, DigitsSurface, 290.0, ratio);
        const RulerScale s = rulerScale(L, DigitsScroll, DigitsSurface, 290.0);
        ASSERT_EQ(s.step, 10);
        const auto ticks = rulerTicks(L, s);
        const RulerTick* fifty = labelWithValue(ticks, 50);
        const RulerTick* sixty = labelWithValue(ticks, 60);
        ASSERT_TRUE(fifty && sixty);
        // Between the top frame and the minor ticks (rows 13 to 18).
        const Band band{deviceEdge(1, ratio), deviceEdge(H - 1 - H / 3, ratio) - 1};

        Glyph five, six;
        for (const auto& [tick, glyph] : {std::pair{fifty, &five}, std::pair{sixty, &six}}) {
            const int x = tick->position + 20;
            *glyph = firstGlyph(img, x, ratio, band);
            ASSERT_GE(glyph->left, 0) << tick->value;
            // A white column between the label line and the digit, or the
            // digit's left stroke reads as part of the line.
            for (int Y = glyph->top; Y <= glyph->bottom; ++Y)
                EXPECT_TRUE(paper(img, deviceEdge(x + 1, ratio), Y)) << tick->value << " row " << Y;
            EXPECT_GT(glyph->left, deviceEdge(x + 1, ratio)) << tick->value;
            // Tall enough to read: at least 5 logical rows of ink.
            EXPECT_GE(glyph->bottom - glyph->top + 1, 5 * ratio) << tick->value;
        }
        const int sixStroke = lowerLeftInk(img, six, ratio);
        EXPECT_GE(sixStroke, static_cast<int>(ratio)) << "the 6 has no left stroke in its lower bowl";
        EXPECT_EQ(lowerLeftInk(img, five, ratio), 0) << "the 5 shows a stroke where it is open";
    }
}

TEST(RulerDigits, EveryLabelStaysInsideItsRuler) {
    for (qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        // Horizontal, over negative and three-digit labels: the digits ink
        // rows 2 to 8 only, clear of the top frame and of the minor ticks
        // that start at row 13.
        const int W = 1200;
        const QImage across = paintHorizontalRuler(W, 20, 0, 1646, 290.0, ratio);
        const RulerScale s = rulerScale(W - 21, 0, 1646, 290.0);
        int labels = 0;
        for (const RulerTick& t : rulerTicks(W - 21, s)) {
            if (t.kind != RulerTick::Label || t.position < 0 || t.position + 20 + 24 >= W) continue;
            ++labels;
            const int x = t.position + 20;
            int ink = 0;
            for (int X = deviceEdge(x + 1, ratio); X < deviceEdge(x + 24, ratio); ++X)
                for (int Y = deviceEdge(1, ratio); Y < deviceEdge(13, ratio); ++Y) {
                    const bool text = Y >= deviceEdge(2, ratio) && Y < deviceEdge(9, ratio);
                    if (text) ink += inked(across, X, Y);
                    else EXPECT_TRUE(paper(across, X, Y)) << t.value << " at " << X << "," << Y;
                }
            EXPECT_GT(ink, 0) << t.value;
        }
        EXPECT_GE(labels, 6);

        // Vertical: drawn on a wider strip so that nothing is cut off at the
        // image's edge; the digits must end before the 20-pixel ruler's right
        // frame, also for the widest label "-200".
        const QImage down = paintVerticalRuler(40, 400, 0, 1164, 205.0, ratio);
        const RulerScale v = rulerScale(399, 0, 1164, 205.0);
        bool sawWidest = false;
        for (const RulerTick& t : rulerTicks(399, v)) {
            if (t.kind != RulerTick::Label || t.position < 0 || t.position + 12 >= 400) continue;
            sawWidest |= t.value == -200;
            int rightmost = -1;
            for (int Y = deviceEdge(t.position + 1, ratio); Y < deviceEdge(t.position + 11, ratio); ++Y)
                for (int X = deviceEdge(1, ratio); X < deviceEdge(26, ratio); ++X)
                    if (inked(down, X, Y)) rightmost = std::max(rightmost, X);
            EXPECT_GE(rightmost, 0) << t.value;
            EXPECT_LT(rightmost, deviceEdge(19, ratio)) << t.value;
        }
        EXPECT_TRUE(sawWidest);
    }
}
