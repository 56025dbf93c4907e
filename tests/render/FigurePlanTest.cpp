// The figures worked out ahead of a pass: which ones later figures paint
// over, and that leaving those out changes no pixel of the editor's picture.

#include "EditorPassUtil.h"

#include "image/RenderThreads.h"
#include "render/fast/CoverageTiles.h"
#include "render/fast/DirectCanvas.h"
#include "render/DrawVCart.h"
#include "render/EditorView.h"
#include "render/fast/FigureMask.h"
#include "render/fast/FigurePlan.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace {

TEST(CoverageTiles, OnlyWholeTilesOfOneCoverCount) {
    CoverageTiles tiles(QRect(10, 20, 301, 50));   // 76 x 13 tiles, the last ones cut short
    EXPECT_TRUE(tiles.covers(QRect(0, 0, 5, 5)));   // outside: nothing to paint over
    EXPECT_FALSE(tiles.covers(QRect(10, 20, 1, 1)));

    tiles.cover(QRect(12, 22, 20, 20));   // whole tiles: x 14..29, y 24..39
    EXPECT_TRUE(tiles.covers(QRect(14, 24, 16, 16)));
    EXPECT_TRUE(tiles.covers(QRect(20, 30, 3, 3)));
    EXPECT_FALSE(tiles.covers(QRect(13, 24, 5, 5)));    // its tile is only partly inside
    EXPECT_FALSE(tiles.covers(QRect(14, 24, 17, 16)));  // one column further

    // Two covers that together hold a tile, neither alone: not counted.
    tiles.cover(QRect(100, 20, 2, 8));
    tiles.cover(QRect(102, 20, 2, 8));
    EXPECT_FALSE(tiles.covers(QRect(100, 20, 4, 4)));

    // Tiles across a word boundary of the bit rows, and the region's cut
    // short right and bottom edge counted once a cover reaches it.
    tiles.cover(QRect(198, 20, 200, 100));   // 198: the first pixel of a tile
    EXPECT_TRUE(tiles.covers(QRect(198, 20, 113, 50)));
    EXPECT_TRUE(tiles.covers(QRect(250, 40, 500, 500)));
    EXPECT_FALSE(tiles.covers(QRect(196, 20, 10, 10)));
}

// Many filled figures stacked deep, with borders, lines, pens of every width
// and colours borrowed from the figure before, in a small area.
std::unique_ptr<BoxDocument> stackedDesign(unsigned seed, int count) {
    auto doc = rt::document();
    std::mt19937 rng(seed);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int slot = 1; slot <= count; ++slot) {
        rt::randomFigure(*doc, slot, any, any(300, 700), any(250, 600), any(-10, 140), any(-10, 140));
    }
    if (count > 10) {
        // A text between the figures: under the figures after it.
        Tobs& t = rt::place(*doc, count / 2, Text, 400, 350, 200, 80);
        t.Content = QStringLiteral("Deckel");
        t.FontName = QStringLiteral("Arial");
        t.FontSize = 24;
    }
    return doc;
}

TEST(FigurePlan, FiguresPaintedOverAreLeftOutWithoutChangingAPixel) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        auto doc = stackedDesign(seed, 1500);
        for (double zoom : {1.0, 1.7}) {
            doc->Zoom = zoom;
            const QPoint scroll(seed == 3 ? 333 : 150, 170);
            const QSize size(900, 640);
            const RenderParams params = editorRenderParams(*doc, 100, scroll.x(), scroll.y());
            const FigurePlan plan(*doc, params, QRect(QPoint(0, 0), size));
            int hidden = 0;
            for (int slot = 1; slot <= 1500; ++slot) hidden += plan.of(slot) && plan.of(slot)->hidden;
            EXPECT_GT(hidden, 300) << "seed " << seed;   // the check below must have something to show
            EXPECT_EQ(plan.of(1501), nullptr);

            const QImage plain = rt::plainEditorPass(*doc, size, 100, scroll);
            for (int threads : {1, 2, 3}) {
                const RenderThreadsOverride forced(threads);
                FigureMask::forgetAll();
                QImage fast = rt::canvas(size.width(), size.height(), Qt::magenta);
                ASSERT_TRUE(renderEditorBuffer(fast, *doc, 100, scroll.x(), scroll.y()));
                ASSERT_EQ(fast, plain) << "seed " << seed << " zoom " << zoom << " threads " << threads;
            }
        }
    }
}

TEST(FigurePlan, AFigureShowingThroughAGapIsDrawn) {
    // A red square under a ring (border only) and beside a filled circle: the
    // ring's hole and the circle's corners leave parts of it to see.
    auto doc = rt::document();
    Tobs& under = rt::place(*doc, 1, Figure, 400, 300, 60, 60);
    under.Shape = shSquare;
    under.FillModeOrShadowColor = fmFilled;
    under.Color = 0x0000FF;
    Tobs& ring = rt::place(*doc, 2, Figure, 380, 280, 100, 100);
    ring.Shape = shCircle;
    ring.FillModeOrShadowColor = fmBorder;
    ring.LineWidthOrTransColor = 10;
    Tobs& disc = rt::place(*doc, 3, Figure, 395, 295, 70, 70);
    disc.Shape = shCircle;
    disc.FillModeOrShadowColor = fmFilled;
    const RenderParams params = editorRenderParams(*doc, 100, 0, 0);
    const FigurePlan plan(*doc, params, QRect(0, 0, 800, 600));
    EXPECT_FALSE(plan.of(1)->hidden);
    QImage fast = rt::canvas(800, 600, Qt::magenta);
    ASSERT_TRUE(renderEditorBuffer(fast, *doc, 100, 0, 0));
    EXPECT_EQ(fast.pixel(401, 301), 0xFFFF0000u);   // a corner outside the disc
    EXPECT_EQ(fast, rt::plainEditorPass(*doc, QSize(800, 600), 100, QPoint(0, 0)));

    // A filled square over it hides it.
    Tobs& lid = rt::place(*doc, 4, Figure, 390, 290, 80, 80);
    lid.Shape = shSquare;
    lid.FillModeOrShadowColor = fmFilled;
    EXPECT_TRUE(FigurePlan(*doc, params, QRect(0, 0, 800, 600)).of(1)->hidden);
}

}  // namespace
