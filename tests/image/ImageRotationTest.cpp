#include "image/ImageRotation.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

class RotationByDepth : public ::testing::TestWithParam<int> {};

TEST_P(RotationByDepth, QuarterTurnsSwapSizeAndMoveCorners) {
    const int bits = GetParam();
    const DibHandle original = patternDib(7, 4, bits);
    const std::uint32_t topLeft = original.getpixel(0, 0);

    DibHandle left = original;
    RotLeft(left);
    ASSERT_EQ(left.DibWidth(), 4);
    ASSERT_EQ(left.DibHeight(), 7);
    EXPECT_EQ(left.getpixel(0, 6), topLeft);   // bottom-left
    EXPECT_EQ(left.DibBitCount(), bits);

    DibHandle right = original;
    RotRight(right);
    ASSERT_EQ(right.DibWidth(), 4);
    EXPECT_EQ(right.getpixel(3, 0), topLeft);  // top-right

    DibHandle half = original;
    Rot180(half);
    ASSERT_EQ(half.DibWidth(), 7);
    ASSERT_EQ(half.DibHeight(), 4);
    EXPECT_EQ(half.getpixel(6, 3), topLeft);   // bottom-right

    // every pixel, not only the corners
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(left.getpixel(y, 6 - x), original.getpixel(x, y));
            ASSERT_EQ(right.getpixel(3 - y, x), original.getpixel(x, y));
            ASSERT_EQ(half.getpixel(6 - x, 3 - y), original.getpixel(x, y));
        }
}

TEST_P(RotationByDepth, IdentitiesGiveBackThePicture) {
    const int bits = GetParam();
    const DibHandle original = patternDib(13, 5, bits);

    DibHandle d = original;
    RotLeft(d);
    RotRight(d);
    EXPECT_TRUE(samePixels(d, original));

    d = original;
    Rot180(d);
    Rot180(d);
    EXPECT_TRUE(samePixels(d, original));

    d = original;
    for (int i = 0; i < 4; ++i) RotRight(d);
    EXPECT_TRUE(samePixels(d, original));
    EXPECT_EQ(d.colorTable(), original.colorTable());
}

INSTANTIATE_TEST_SUITE_P(Depths, RotationByDepth, ::testing::Values(1, 4, 8, 24));

TEST(ImageRotation, PaletteKeptTrueColourHasNone) {
    DibHandle pal = patternDib(3, 2, 8);
    const QVector<QRgb> table = pal.colorTable();
    RotRight(pal);
    EXPECT_EQ(pal.colorTable(), table);
    EXPECT_EQ(pal.DibColorCount(), 256);

    DibHandle rgb = patternDib(3, 2, 24);
    RotLeft(rgb);
    EXPECT_TRUE(rgb.colorTable().isEmpty());
    EXPECT_EQ(rgb.DibColorCount(), 0);
}

TEST(ImageRotation, RotatingLeavesSharedCopiesAlone) {
    const DibHandle original = patternDib(5, 3, 24);
    DibHandle copy = original;
    RotRight(copy);
    EXPECT_EQ(original.DibWidth(), 5);
    EXPECT_EQ(original.getpixel(4, 2), patternDib(5, 3, 24).getpixel(4, 2));
}

TEST(ImageRotation, ProgressStartsAndEndsAtZeroAndReachesHundred) {
    DibHandle d = patternDib(10, 50, 8);
    std::vector<int> seen;
    RotLeft(d, [&](int p) {
        seen.push_back(p);
        return true;
    });
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 0);
    EXPECT_NE(std::find(seen.begin(), seen.end(), 100), seen.end());
    for (size_t i = 1; i + 1 < seen.size(); ++i) EXPECT_LE(seen[i - 1], seen[i]);

    // a single row must not divide by zero
    DibHandle row = patternDib(10, 1, 24);
    seen.clear();
    Rot180(row, [&](int p) {
        seen.push_back(p);
        return true;
    });
    EXPECT_EQ(row.DibWidth(), 10);
}

TEST(ImageRotation, EmptyRecordStaysEmpty) {
    DibHandle d;
    RotLeft(d);
    EXPECT_TRUE(d.isEmpty());
}

TEST(ImageRotation, AlphaSurvivesTheTurn) {
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(10, 20, 30, 0));
    img.setPixel(1, 0, qRgba(40, 50, 60, 255));
    DibHandle d(img);
    ASSERT_EQ(d.DibBitCount(), 24);
    RotRight(d);
    EXPECT_EQ(qAlpha(d.image().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(d.image().pixel(0, 1)), 255);
}

TEST(ImageRotation, PictureSurvivesWhenTheTurnedOneCannotBeMade) {
    const DibHandle original = patternDib(40, 30, 24);
    DibHandle d = original;
    SetRotationAllocationLimitForTests(100);
    std::vector<int> seen;
    const bool turned = RotRight(d, [&](int p) {
        seen.push_back(p);
        return true;
    });
    SetRotationAllocationLimitForTests(0);
    EXPECT_FALSE(turned);
    ASSERT_FALSE(d.isEmpty());
    EXPECT_EQ(d.DibWidth(), 40);
    EXPECT_TRUE(samePixels(d, original));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 0);
    EXPECT_TRUE(RotRight(d));
    EXPECT_EQ(d.DibWidth(), 30);
}
