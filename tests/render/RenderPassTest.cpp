#include "RenderTestUtil.h"

#include "box/BoxNet.h"
#include "render/DrawVCart.h"
#include "render/EditorView.h"
#include "render/GdiCanvas.h"

#include <QPainter>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <thread>

namespace {

RenderParams editorParams(int percent = 100) {
    RenderParams p;
    p.AreaWidth = 1646;
    p.AreaHeight = 1164;
    p.mapping = Mapping::screen(1.0, 416);
    p.EditorView = true;
    p.Percent = percent;
    return p;
}

std::set<std::pair<int, int>> changedPixels(const QImage& a, const QImage& b) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (rt::px(a, x, y) != rt::px(b, x, y)) out.insert({x, y});
    return out;
}

}  // namespace

TEST(NetRender, EmptyDocumentDrawsOnlyTheNetInsideItsBounds) {
    auto doc = rt::document();
    for (int percent : {100, 50, 10}) {
        QImage img = rt::canvas(1646, 1164);
        QPainter p(&img);
        EXPECT_TRUE(DrawVCart(p, *doc, editorParams(percent)));
        p.end();
        const NetMeasure n = measureNet(boxAreaFor(1646, 1164, 0, 0, true), percent);
        const QRect changed = rt::boundsNot(img, rt::White);
        // The last point of each polyline is left out, so the lines reach
        // one pixel short of the extreme points at most.
        const QRect expected = netBounds(n);
        EXPECT_TRUE(expected.contains(changed)) << percent;
        EXPECT_GE(changed.width(), expected.width() - 1) << percent;
        EXPECT_GE(changed.height(), expected.height() - 1) << percent;
        EXPECT_EQ(changed.left(), 549) << percent;
        // Only inverted (black) and untouched (white) pixels on white.
        EXPECT_EQ(rt::countOf(img, rt::White, img.rect()) + rt::countOf(img, rt::Black, img.rect()),
                  img.width() * img.height());
    }
}

TEST(NetRender, DottedLineShowsOnWhiteAndOnBlack) {
    auto doc = rt::document();
    for (QColor ground : {QColor(Qt::white), QColor(Qt::black)}) {
        QImage img = rt::canvas(1646, 1164, ground);
        QPainter p(&img);
        DrawVCart(p, *doc, editorParams());
        p.end();
        // The top edge of the side faces: y = T + e = 509, x from 549 on.
        const QRgb g = ground.rgb() & 0xFFFFFF;
        const QRgb inv = g ^ 0xFFFFFF;
        int dots = 0, gaps = 0;
        for (int x = 549; x < 549 + 484; ++x) {
            const QRgb c = rt::px(img, x, 509);
            if (c == g) ++dots;
            else if (c == inv) ++gaps;
        }
        EXPECT_EQ(dots + gaps, 484);
        EXPECT_NEAR(gaps, 484 / 2, 10);
        // Dots first: three untouched pixels, then three inverted ones.
        EXPECT_EQ(rt::px(img, 549 + 1, 509), g);
        EXPECT_EQ(rt::px(img, 549 + 4, 509), inv);
    }
}

TEST(NetRender, DrawnOverObjectsAndRestoresStateForMarks) {
    auto doc = rt::document();
    Tobs& o = rt::place(*doc, 7, Figure, 500, 400, 300, 300);
    o.Shape = shRectangle;
    o.Color = 0x0000FF;
    QImage img = rt::canvas(1646, 1164);
    QPainter p(&img);
    DrawVCart(p, *doc, editorParams());
    EXPECT_EQ(p.pen().color(), QColor(Qt::black));
    EXPECT_EQ(p.pen().width(), 1);
    EXPECT_EQ(p.pen().style(), Qt::SolidLine);
    EXPECT_EQ(p.brush().style(), Qt::SolidPattern);
    EXPECT_EQ(p.brush().color(), QColor(Qt::white));
    EXPECT_EQ(p.compositionMode(), QPainter::CompositionMode_SourceOver);
    p.end();
    // Inside the red square the gaps of the net are red inverted (cyan).
    EXPECT_EQ(rt::px(img, 549 + 4, 509), rt::rgb(0, 255, 255));
    EXPECT_EQ(rt::px(img, 549 + 1, 509), rt::rgb(255, 0, 0));
}

TEST(NetRender, XorNetTwiceRestoresThePicture) {
    QImage img = rt::canvas(300, 300, QColor(10, 200, 30));
    const QImage before = img;
    const auto lines = netPolylines(NetMeasure{5, 5, 60});
    QPainter p(&img);
    gdi::drawXorDottedPolylines(p, lines);
    gdi::drawXorDottedPolylines(p, lines);
    p.end();
    EXPECT_TRUE(changedPixels(before, img).empty());
}

TEST(NetRender, PolylineLeavesOutEndPointAndStartsEachLineWithADot) {
    std::vector<QPoint> gaps;
    gdi::dottedGapPixels({{0, 0}, {10, 0}, {10, 7}}, gaps);
    const std::vector<QPoint> expected{{3, 0}, {4, 0}, {5, 0}, {9, 0}, {10, 3}, {10, 4}, {10, 5}};
    EXPECT_EQ(gaps, expected);
}

TEST(NetRender, AWideLineIsTheThinOneEnlargedWhateverTheClip) {
    // A horizontal, a vertical and a slanted line (a cuboid's tab).
    const std::vector<std::vector<QPoint>> lines{{{10, 20}, {70, 20}, {70, 80}}, {{100, 10}, {130, 40}}};
    for (int width : {2, 3, 5}) {
        SCOPED_TRACE(width);
        std::vector<QPoint> all;
        gdi::wideDottedGapPixels(lines, width, all);
        // Along the first segment: dots and gaps 3 x width long, width rows across.
        std::set<int> rows;
        int gapColumns = 0;
        for (const QPoint& g : all) {
            if (g.x() < 60 && g.y() < 30) rows.insert(g.y());
            if (g.x() < 70 && g.y() == 20) ++gapColumns;
        }
        EXPECT_EQ(int(rows.size()), width);
        EXPECT_EQ(gapColumns, 3 * width * (60 / (6 * width)) + std::max(0, 60 % (6 * width) - 3 * width));
        // Each pixel once: an XOR drawn twice would take itself back.
        std::set<std::pair<int, int>> seen;
        for (const QPoint& g : all) EXPECT_TRUE(seen.insert({g.x(), g.y()}).second) << g.x() << "," << g.y();
        // Drawn in bands (the sheet's) or tiles, the union is the whole: a
        // line just outside a band still reaches into it.
        for (int tile : {1, 7, 19, 40}) {
            std::vector<QPoint> pieces;
            for (int y = 0; y < 100; y += tile)
                for (int x = 0; x < 150; x += tile) gdi::wideDottedGapPixels(lines, width, pieces, QRect(x, y, tile, tile));
            std::sort(pieces.begin(), pieces.end(), [](QPoint a, QPoint b) {
                return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
            });
            EXPECT_EQ(pieces, all) << "tile " << tile;
        }
    }
}

TEST(RenderPass, PaintingFlagBelongsToThePassOnItsCanvas) {
    auto doc = rt::document();
    EXPECT_FALSE(Painting());
    QImage img = rt::canvas(100, 100);
    {
        PaintingGuard outer(&img);
        EXPECT_TRUE(outer.active());
        EXPECT_TRUE(Painting());
        EXPECT_TRUE(Painting(&img));
        // No second pass on the same canvas...
        QPainter p(&img);
        EXPECT_FALSE(DrawVCart(p, *doc, editorParams()));
        p.end();
        EXPECT_TRUE(rt::boundsNot(img, rt::White).isNull());
        // ...and the editor's repaint on this thread waits for the pass.
        QImage buffer = rt::canvas(100, 100);
        EXPECT_FALSE(renderEditorBuffer(buffer, *doc, 100, 0, 0));
        // A pass on another canvas on another thread is not held up.
        bool drawn = false;
        bool seenThere = true;
        std::thread other([&] {
            seenThere = Painting();
            QImage mine = rt::canvas(1646, 1164);
            QPainter q(&mine);
            drawn = DrawVCart(q, *doc, editorParams());
        });
        other.join();
        EXPECT_TRUE(drawn);
        EXPECT_FALSE(seenThere);
        EXPECT_TRUE(Painting());
    }
    EXPECT_FALSE(Painting());
    EXPECT_FALSE(Painting(&img));
    {
        PaintingGuard job;
        EXPECT_TRUE(job.active());
        PaintingGuard nested;
        EXPECT_FALSE(nested.active());
    }
    EXPECT_FALSE(Painting());
}

TEST(EditorBuffer, FrameAndShadowStrips) {
    auto doc = rt::document();
    QImage buffer = rt::canvas(1646, 1164, Qt::red);
    ASSERT_TRUE(renderEditorBuffer(buffer, *doc, 100, 0, 0));
    EXPECT_FALSE(Painting());
    const QRgb grey = rt::rgb(0x80, 0x80, 0x80);
    // Frame (548, 388, 1097, 776): columns 548 and 1096, rows 388 and 775.
    EXPECT_EQ(rt::px(buffer, 548, 600), rt::Black);
    EXPECT_EQ(rt::px(buffer, 1096, 600), rt::Black);
    EXPECT_EQ(rt::px(buffer, 800, 388), rt::Black);
    EXPECT_EQ(rt::px(buffer, 800, 775), rt::Black);
    EXPECT_EQ(rt::px(buffer, 547, 600), rt::White);
    EXPECT_EQ(rt::px(buffer, 800, 776), grey);
    // Shadow strips (1097, 393, 1102, 781) and (553, 776, 1102, 781).
    EXPECT_EQ(rt::boundsOf(buffer, grey), QRect(553, 393, 1102 - 553, 781 - 393));
    EXPECT_EQ(rt::countOf(buffer, grey, buffer.rect()), 5 * (781 - 393) + (1097 - 553) * 5);
    EXPECT_EQ(rt::px(buffer, 1097, 392), rt::White);
    EXPECT_EQ(rt::px(buffer, 552, 777), rt::White);
    EXPECT_EQ(rt::countOf(buffer, rt::rgb(255, 0, 0), buffer.rect()), 0);
}

TEST(EditorBuffer, ScrollingShiftsThePicture) {
    auto doc = rt::document();
    Tobs& o = rt::place(*doc, 1, Figure, 600, 450, 80, 60);
    o.Shape = shEllipse;
    o.Color = 0xFF0000;
    QImage a = rt::canvas(800, 600);
    QImage b = rt::canvas(800, 600);
    renderEditorBuffer(a, *doc, 100, 300, 200);
    renderEditorBuffer(b, *doc, 100, 330, 240);
    EXPECT_EQ(a.copy(30, 40, 700, 500), b.copy(0, 0, 700, 500));
}

TEST(NetRender, FoldLinesLieAtMultiplesOfTheEdge) {
    auto doc = rt::document();
    for (int percent : {100, 50, 10}) {
        QImage img = rt::canvas(1646, 1164);
        QPainter p(&img);
        DrawVCart(p, *doc, editorParams(percent));
        p.end();
        const NetMeasure n = measureNet(boxAreaFor(1646, 1164, 0, 0, true), percent);
        // Each fold between the side faces: dotted from T + e down to T + 2e,
        // the pixel at T + 2e left out (the line ends there).
        for (int k = 1; k <= 3; ++k) {
            const int x = n.L + k * n.e;
            int gaps = 0;
            for (int y = n.T + n.e + 1; y < n.T + 2 * n.e; ++y)
                if (rt::px(img, x, y) == rt::Black) ++gaps;
            EXPECT_NEAR(gaps, (n.e - 1) / 2, 3) << percent << " fold " << k;
            EXPECT_EQ(rt::px(img, x + 1, n.T + n.e + 4), rt::White) << percent;
        }
        // The lower edge of the bottom face at T + 3e.
        EXPECT_EQ(rt::px(img, n.L + 2 * n.e + 4, n.T + 3 * n.e), rt::Black) << percent;
        // The flap below it, e/7 lower, and nothing further down.
        const int flapY = n.T + 3 * n.e + n.e / 7;
        EXPECT_EQ(rt::px(img, n.L + 2 * n.e + n.e / 10 + 4, flapY), rt::Black) << percent;
        EXPECT_EQ(rt::px(img, n.L + 2 * n.e + n.e / 10 + 4, flapY + 1), rt::White) << percent;
    }
}
