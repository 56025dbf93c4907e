// The grown cut outline: how far it reaches, its corners, and the degenerate
// outlines that must not produce a clip that hides everything or nothing.

#include "sheet/BleedClip.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double pathArea(const QPainterPath& path) {
    double area = 0;
    for (const QPolygonF& poly : path.toFillPolygons()) {
        double a = 0;
        for (int i = 0; i + 1 < poly.size(); ++i)
            a += poly[i].x() * poly[i + 1].y() - poly[i + 1].x() * poly[i].y();
        area += std::abs(a) / 2;
    }
    return area;
}

const QPolygonF square{QPointF(0, 0), QPointF(1000, 0), QPointF(1000, 1000), QPointF(0, 1000)};

}  // namespace

TEST(BleedClip, MillimetresBecomeUnroundedDevicePixels) {
    EXPECT_NEAR(bleedPixels(3.0, 600), 3.0 / 25.39995 * 600, 1e-9);
    EXPECT_DOUBLE_EQ(bleedPixels(-1.0, 600), 0.0);
}

TEST(BleedClip, ZeroDistanceIsTheOutlineItself) {
    const QPainterPath p = grownOutline(square, 0);
    EXPECT_NEAR(pathArea(p), 1e6, 1e-6);
    EXPECT_TRUE(p.contains(QPointF(999.5, 500)));
    EXPECT_FALSE(p.contains(QPointF(1000.5, 500)));
}

TEST(BleedClip, GrownOutlineReachesTheDistanceAndNoFurther) {
    const double d = 70.87;   // 3 mm at 600 dpi
    const QPainterPath p = grownOutline(square, d);
    EXPECT_TRUE(p.contains(QPointF(-d + 0.5, 500)));
    EXPECT_FALSE(p.contains(QPointF(-d - 0.5, 500)));
    EXPECT_TRUE(p.contains(QPointF(500, 1000 + d - 0.5)));
    EXPECT_FALSE(p.contains(QPointF(500, 1000 + d + 0.5)));
    // Corners are round: the diagonal point at distance d is inside, the
    // corner of the square grown by d (distance d * sqrt 2) is not.
    const double k = d / std::sqrt(2.0) - 0.5;
    EXPECT_TRUE(p.contains(QPointF(-k, -k)));
    EXPECT_FALSE(p.contains(QPointF(-d + 1, -d + 1)));
    // Area of a square grown by a disc: s^2 + 4 s d + pi d^2.
    const double expected = 1e6 + 4 * 1000 * d + M_PI * d * d;
    EXPECT_NEAR(pathArea(p), expected, expected * 0.001);
}

TEST(BleedClip, ConcaveNotchIsFilledOnlyWhereTheDiscReaches) {
    // A U shape: the notch 100 wide closes with 60 of bleed from each side,
    // but a notch 300 wide keeps its middle free.
    const QPolygonF u{QPointF(0, 0), QPointF(100, 0), QPointF(100, 500), QPointF(400, 500), QPointF(400, 0),
                      QPointF(500, 0), QPointF(500, 600), QPointF(0, 600)};
    const QPainterPath p = grownOutline(u, 60);
    EXPECT_TRUE(p.contains(QPointF(150, 300)));
    EXPECT_FALSE(p.contains(QPointF(250, 300)));
}

TEST(BleedClip, PlacementMovesTheClipAndDegenerateOutlinesClipEverything) {
    const QPainterPath p = bleedClip(square, 0, 600, QPointF(70, 80));
    EXPECT_TRUE(p.contains(QPointF(1069, 1079)));
    EXPECT_FALSE(p.contains(QPointF(69, 500)));
    EXPECT_TRUE(grownOutline(QPolygonF{QPointF(0, 0), QPointF(5, 5)}, 10).isEmpty());
    // An open polygon is closed: the same area as the closed one.
    QPolygonF closed = square;
    closed << square.first();
    EXPECT_NEAR(pathArea(grownOutline(square, 5)), pathArea(grownOutline(closed, 5)), 1.0);
}
