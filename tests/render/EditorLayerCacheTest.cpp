// The editor's kept picture against a full render after every kind of
// change, on 1, 2 and 3 threads: reuse, the changed rectangle and the bands
// must never show anything a full render of the document would not.

#include "RenderTestUtil.h"

#include "render/DrawVCart.h"
#include "render/fast/EditorLayerCache.h"
#include "render/EditorView.h"
#include "image/RenderThreads.h"

#include <gtest/gtest.h>
#include <random>

namespace {

DibHandle picture(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5) & 255, (x ^ y ^ seed) & 255));
    return DibHandle(img, 24);
}

std::unique_ptr<BoxDocument> design() {
    auto doc = rt::document();
    doc->BackgroundMode = bgTile;
    doc->BackgroundPicture = picture(60, 40, 1);
    std::mt19937 rng(9);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int slot = 1; slot <= 300; ++slot) {
        Tobs& o = rt::place(*doc, slot, Figure, any(300, 1300), any(200, 900), any(2, 80), any(2, 80));
        o.Shape = any(0, 9);
        o.FillModeOrShadowColor = any(0, 2);
        o.Color = any(0, 0xFFFFFF);
        o.BorderOrOutlineColor = any(0, 0xFFFFFF);
        o.LineWidthOrTransColor = any(1, 20);
    }
    for (int slot = 301; slot <= 306; ++slot) {
        Tobs& t = rt::place(*doc, slot, Text, any(400, 1000), any(300, 700), 140, 60);
        t.Content = QStringLiteral("Kiste %1\rzwei").arg(slot);
        t.FontName = QStringLiteral("Arial");
        t.FontSize = 14;
        t.Outline = 1;
        t.Shadow = 1;
        t.ShadowDx = t.ShadowDy = 30;
        t.Rotation = slot % 4;
    }
    Tobs& im = rt::place(*doc, 307, Image, 700, 500, 120, 90);
    im.Picture = picture(50, 40, 3);
    return doc;
}

// 900 x 640 device pixels at the device-pixel ratio.
QImage buffer(qreal ratio, Qt::GlobalColor colour) {
    QImage img = rt::canvas(900, 640, colour);
    img.setDevicePixelRatio(ratio);
    return img;
}

void expectSameAsFullRender(EditorLayerCache& cache, const BoxDocument& doc, int percent, QPoint scroll,
                            const char* step, qreal ratio = 1.0) {
    QImage kept = buffer(ratio, Qt::red);
    ASSERT_TRUE(cache.render(kept, doc, percent, scroll.x(), scroll.y())) << step;
    QImage plain = buffer(ratio, Qt::blue);
    {
        const RenderThreadsOverride one(1);
        ASSERT_TRUE(renderEditorBuffer(plain, doc, percent, scroll.x(), scroll.y())) << step;
    }
    const QRect c = cache.lastChangedRect();
    ASSERT_EQ(kept, plain) << step << " ratio " << ratio << ", changed " << c.x() << "," << c.y() << " " << c.width()
                           << "x" << c.height();
}

}  // namespace

TEST(EditorLayerCache, EveryChangeShowsAsAFullRenderWouldOnOneTwoAndThreeThreads) {
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride forced(threads);
        auto doc = design();
        EditorLayerCache cache;
        QPoint scroll(250, 150);
        expectSameAsFullRender(cache, *doc, 100, scroll, "first");
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Full);

        expectSameAsFullRender(cache, *doc, 100, scroll, "unchanged");
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Reused);

        doc->Objects[17].Left += 416 * 13;   // one figure moved
        expectSameAsFullRender(cache, *doc, 100, scroll, "moved");
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Changed);
        EXPECT_LT(cache.lastChangedRect().width() * cache.lastChangedRect().height(), 900 * 640 / 4);

        doc->Objects[120].Color ^= 0x00FF00;
        doc->Objects[250].LineWidthOrTransColor = 19;
        expectSameAsFullRender(cache, *doc, 100, scroll, "recoloured");

        doc->Objects[302].Content = QStringLiteral("anders");   // a turned outlined text
        expectSameAsFullRender(cache, *doc, 100, scroll, "text");

        doc->Objects[307].Picture = picture(50, 40, 8);   // a new picture, same size
        expectSameAsFullRender(cache, *doc, 100, scroll, "picture");

        doc->Objects[40].Kind = KindFree;                 // deleted
        rt::place(*doc, 400, Figure, 500, 400, 30, 30).Color = 0x0000FF;   // added on top
        expectSameAsFullRender(cache, *doc, 100, scroll, "deleted and added");

        std::swap(doc->Objects[10], doc->Objects[290]);   // z-order
        expectSameAsFullRender(cache, *doc, 100, scroll, "z-order");

        // A figure without a valid fill mode borrows the colours the figure
        // before it left, wherever that one lies.
        doc->Objects[200].FillModeOrShadowColor = 9;
        doc->Objects[200].Shape = shRectangle;
        expectSameAsFullRender(cache, *doc, 100, scroll, "borrowing");
        doc->Objects[199].Color ^= 0xFFFFFF;
        doc->Objects[199].BorderOrOutlineColor ^= 0xFFFFFF;
        expectSameAsFullRender(cache, *doc, 100, scroll, "borrowed colours changed");

        scroll += QPoint(37, -11);
        expectSameAsFullRender(cache, *doc, 100, scroll, "scrolled");
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Full);
        scroll += QPoint(2000, 0);   // a view beyond the editing area is white there
        expectSameAsFullRender(cache, *doc, 100, scroll, "scrolled past the area");
        scroll -= QPoint(2000, 0);
        expectSameAsFullRender(cache, *doc, 60, scroll, "box size");
        doc->BackgroundMode = bgCenterLarger;
        expectSameAsFullRender(cache, *doc, 60, scroll, "background mode");
        doc->BackgroundPicture = picture(80, 30, 5);
        expectSameAsFullRender(cache, *doc, 60, scroll, "background picture");
        doc->ScreenDivisor = 300;
        expectSameAsFullRender(cache, *doc, 60, scroll, "zoom");

        // Many random single edits in a row.
        std::mt19937 rng(threads);
        for (int i = 0; i < 25; ++i) {
            Tobs& o = doc->Objects[1 + int(rng() % 307)];
            switch (rng() % 4) {
            case 0: o.Top += int(rng() % 20000) - 10000; break;
            case 1: o.Width = int(rng() % 40000); break;
            case 2: o.Rotation = int(rng() % 4); break;
            default: o.Color = int(rng() & 0xFFFFFF); break;
            }
            if (i % 5 == 0) scroll += QPoint(int(rng() % 41) - 20, int(rng() % 41) - 20);
            expectSameAsFullRender(cache, *doc, 60, scroll, "random edit");
        }
        cache.invalidate();
        expectSameAsFullRender(cache, *doc, 60, scroll, "after invalidate");
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Full);
    }
}

// On a high-density screen the kept picture holds device pixels; changes
// are rendered into their rectangle by one scaled pass.
TEST(EditorLayerCache, HighDensityBuffersAreKeptAndChangedInPlaceToo) {
    for (qreal ratio : {2.0, 1.5}) {
        auto doc = design();
        EditorLayerCache cache;
        QPoint scroll(300, 200);
        expectSameAsFullRender(cache, *doc, 100, scroll, "first", ratio);
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Full);
        expectSameAsFullRender(cache, *doc, 100, scroll, "unchanged", ratio);
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Reused);

        doc->Objects[17].Left += 416 * 13;
        doc->Objects[120].Color ^= 0x00FF00;
        expectSameAsFullRender(cache, *doc, 100, scroll, "moved and recoloured", ratio);
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Changed);
        doc->Objects[302].Content = QStringLiteral("anders");
        expectSameAsFullRender(cache, *doc, 100, scroll, "text", ratio);
        doc->Objects[307].Picture = picture(50, 40, 8);
        expectSameAsFullRender(cache, *doc, 100, scroll, "picture", ratio);

        std::mt19937 rng(7);
        for (int i = 0; i < 15; ++i) {
            Tobs& o = doc->Objects[1 + int(rng() % 307)];
            if (rng() % 2) o.Top += int(rng() % 20000) - 10000;
            else o.Color = int(rng() & 0xFFFFFF);
            expectSameAsFullRender(cache, *doc, 100, scroll, "random edit", ratio);
        }
        // Past the editing area the picture is white, however it came about.
        scroll += QPoint(1500, 0);
        expectSameAsFullRender(cache, *doc, 100, scroll, "scrolled past the area", ratio);
        doc->Objects[5].Color ^= 0xFFFFFF;
        expectSameAsFullRender(cache, *doc, 100, scroll, "changed past the area", ratio);
        // The same size in device pixels at another ratio: rendered anew.
        QImage other = buffer(ratio == 2.0 ? 1.5 : 2.0, Qt::red);
        ASSERT_TRUE(cache.render(other, *doc, 100, scroll.x(), scroll.y()));
        EXPECT_EQ(cache.lastWork(), EditorLayerCache::Work::Full);
    }
}

TEST(EditorLayerCache, NothingIsDrawnWhileAPassOfThisThreadRuns) {
    auto doc = design();
    EditorLayerCache cache;
    QImage buffer = rt::canvas(200, 100);
    PaintingGuard running;
    EXPECT_FALSE(cache.render(buffer, *doc, 100, 0, 0));
    EXPECT_TRUE(rt::boundsNot(buffer, rt::White).isNull());
}
