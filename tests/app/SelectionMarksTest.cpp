// Selection marks on a buffer: frame, the eight handles and the
// self-erasing frame of a drag.
#include "render/SelectionMarks.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QPainter>
#include <set>

namespace {

QImage patterned(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, ((x + y) * 5) & 255));
    return img;
}

std::set<std::pair<int, int>> changedPixels(const QImage& a, const QImage& b) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) out.insert({x, y});
    return out;
}

}  // namespace

TEST(SelectionMarks, IdleDrawsFrameAndEightSixPixelHandles) {
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    const QImage before = img;
    markrec(img, QRect(20, 30, 40, 20), MarkStyle::FrameAndHandles);

    std::set<std::pair<int, int>> expected;
    for (int x = 20; x < 60; ++x) expected.insert({x, 30}), expected.insert({x, 49});
    for (int y = 30; y < 50; ++y) expected.insert({20, y}), expected.insert({59, y});
    QPoint centres[8];
    handleCentres(QRect(20, 30, 40, 20), centres);
    const QPoint wanted[8] = {{20, 30}, {60, 30}, {20, 50}, {60, 50}, {40, 30}, {40, 50}, {20, 40}, {60, 40}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(centres[i], wanted[i]) << i;
        for (int y = wanted[i].y() - 3; y < wanted[i].y() + 3; ++y)
            for (int x = wanted[i].x() - 3; x < wanted[i].x() + 3; ++x) expected.insert({x, y});
    }
    EXPECT_EQ(changedPixels(before, img), expected);
    for (const auto& p : expected) EXPECT_EQ(QColor(img.pixel(p.first, p.second)), QColor(Qt::black));
}

TEST(SelectionMarks, FrameOnlyHasNoHandles) {
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    markrec(img, QRect(20, 30, 40, 20), MarkStyle::FrameOnly);
    EXPECT_EQ(QColor(img.pixel(20, 30)), QColor(Qt::black));
    EXPECT_EQ(QColor(img.pixel(18, 28)), QColor(Qt::white));   // inside handle 1's square
    EXPECT_EQ(QColor(img.pixel(60, 50)), QColor(Qt::white));   // handle 4's centre, outside the frame
}

TEST(SelectionMarks, InvertedFrameTwiceRestoresEveryPixel) {
    const QImage original = patterned(120, 90);
    QImage img = original;
    markrec(img, QRect(10, 12, 50, 30), MarkStyle::InvertedFrame);
    const auto changed = changedPixels(original, img);
    EXPECT_EQ(changed.size(), static_cast<size_t>(2 * 50 + 2 * 28));
    EXPECT_EQ(img.pixel(10, 12) & 0xFFFFFF, ~original.pixel(10, 12) & 0xFFFFFF);
    markrec(img, QRect(10, 12, 50, 30), MarkStyle::InvertedFrame);
    EXPECT_EQ(img, original);
}

TEST(SelectionMarks, MarksOutsideTheBufferAreClipped) {
    const QImage original = patterned(50, 50);
    QImage img = original;
    markrec(img, QRect(-30, -20, 60, 50), MarkStyle::InvertedFrame);   // left and top edges miss
    EXPECT_NE(img, original);
    markrec(img, QRect(-30, -20, 60, 50), MarkStyle::InvertedFrame);
    EXPECT_EQ(img, original);
    markrec(img, QRect(45, 45, 20, 20), MarkStyle::FrameAndHandles);
    EXPECT_EQ(QColor(img.pixel(49, 45)), QColor(Qt::black));   // top edge, cut at the border
    EXPECT_EQ(QColor(img.pixel(44, 44)), QColor(Qt::black));   // handle 1 reaches outside
}

TEST(SelectionMarks, ZeroWidthObjectStacksItsHandles) {
    QPoint c[8];
    handleCentres(QRect(30, 10, 0, 40), c);
    EXPECT_EQ(c[0], c[1]);
    EXPECT_EQ(c[0], c[4]);
    EXPECT_EQ(c[2], c[3]);
    EXPECT_EQ(c[2], c[5]);
    EXPECT_EQ(c[6], c[7]);
    EXPECT_NE(c[0], c[2]);
    EXPECT_NE(c[0], c[6]);
    // The flat frame still shows, and still erases itself.
    const QImage original = patterned(80, 80);
    QImage img = original;
    markrec(img, QRect(30, 10, 0, 40), MarkStyle::InvertedFrame);
    EXPECT_NE(img, original);
    markrec(img, QRect(30, 10, 0, 40), MarkStyle::InvertedFrame);
    EXPECT_EQ(img, original);
}

TEST(SelectionMarks, OtherBufferFormatsUseRasterOperations) {
    QImage img(60, 60, QImage::Format_RGB888);
    img.fill(QColor(10, 200, 30));
    const QImage original = img;
    markrec(img, QRect(5, 5, 30, 30), MarkStyle::InvertedFrame);
    EXPECT_EQ(QColor(img.pixel(5, 5)), QColor(245, 55, 225));
    markrec(img, QRect(5, 5, 30, 30), MarkStyle::InvertedFrame);
    EXPECT_EQ(img, original);
}

// Many frames collected at once end exactly as drawn one by one: frames
// overlapping in odd and even numbers, reaching over each edge, empty sides,
// sides on the last column and row of a word, on buffers with and without a
// device pixel ratio and in a format without direct pixels.
TEST(SelectionMarks, CollectedFramesEqualFramesDrawnOneByOne) {
    struct Case {
        const char* name;
        QSize size;
        qreal ratio;
        QImage::Format format;
    };
    const Case cases[] = {
        {"plain", {130, 90}, 1.0, QImage::Format_RGB32},
        {"width of whole words", {128, 64}, 1.0, QImage::Format_ARGB32_Premultiplied},
        {"ratio 1.25", {161, 111}, 1.25, QImage::Format_RGB32},
        {"ratio 2", {260, 180}, 2.0, QImage::Format_RGB32},
        {"no direct pixels", {130, 90}, 1.0, QImage::Format_RGB888},
    };
    std::vector<QRect> frames = {
        {10, 10, 40, 30}, {10, 10, 40, 30},   // twice: no mark at all
        {10, 10, 40, 30}, {20, 15, 40, 30}, {30, 5, 2, 60}, {-20, -10, 50, 40}, {100, 60, 80, 80},
        {63, 0, 2, 40},  {0, 63, 129, 2},   {50, 40, 0, 20}, {50, 40, 20, 0},    {-400, 10, 20, 20},
        {5, 500, 20, 20}, {127, 20, -30, 25}};
    // A crowd of overlapping frames, as a large selection makes them.
    for (int i = 0; i < 60; ++i) frames.emplace_back((i * 37) % 120 - 5, (i * 53) % 85 - 5, 5 + i % 40, 3 + i % 30);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        QImage one = patterned(k.size.width(), k.size.height()).convertToFormat(k.format);
        one.setDevicePixelRatio(k.ratio);
        QImage all = one;
        const QImage before = one;
        for (const QRect& r : frames) markrec(one, r, MarkStyle::InvertedFrame);
        {
            InvertedFrames collected(all);
            for (const QRect& r : frames) collected.add(r);
        }
        EXPECT_EQ(all, one);
        EXPECT_NE(all, before);
        // Collected again they take themselves off.
        InvertedFrames again(all);
        for (const QRect& r : frames) again.add(r);
        again.finish();
        EXPECT_EQ(all, before);
    }
}
