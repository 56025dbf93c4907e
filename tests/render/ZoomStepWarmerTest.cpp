// The masks of the zoom steps next to the view and of what a scroll brings
// in, made while the editor idles.

#include "EditorPassUtil.h"

#include "render/fast/DirectCanvas.h"
#include "render/DrawVCart.h"
#include "render/fast/EditorLayerCache.h"
#include "render/EditorView.h"
#include "render/fast/FigureMask.h"
#include "render/FigureRenderer.h"
#include "render/fast/ZoomStepWarmer.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Whether the figure in slot is kept as a mask at the document's zoom: a
// figure not kept is only noted by its first drawing.
bool kept(const BoxDocument& doc, int slot) {
    const RenderParams params = editorRenderParams(doc, 100, 0, 0);
    const Tobs& o = doc.Objects[slot];
    const DeviceRect at{100, 100, deviceRect(o, params).W, deviceRect(o, params).H};
    FigureMask::Figure shape;
    EXPECT_TRUE(figureMaskShape(o, at, figurePenWidth(o.LineWidthOrTransColor, params.mapping.Scale()), shape));
    QImage img = rt::canvas(800, 800);
    QPainter p(&img);
    const QRgb brush = 0xFF00FF00u;
    return FigureMask::draw(DirectCanvas::of(p), shape, 0xFFFF0000u, shape.brush ? &brush : nullptr);
}

TEST(ZoomStepWarmer, ZoomStepsAndScrollsFindTheFiguresNearTheViewReady) {
    auto doc = rt::document();
    // Ellipses and rounded squares of sizes seen nowhere else, in view,
    // and one far beyond what a step out can show.
    for (int i = 0; i < 40; ++i) {
        Tobs& o = rt::place(*doc, 1 + i, Figure, 20 + (i % 8) * 60, 20 + (i / 8) * 60, 11 + i, 53 - i / 2);
        o.Shape = i % 2 ? shEllipse : shRoundSquare;
        o.FillModeOrShadowColor = i % 3 ? fmFilledBorder : fmBorder;
        o.LineWidthOrTransColor = 1 + i % 7;
    }
    Tobs& far = rt::place(*doc, 41, Figure, 1400, 1100, 77, 31);
    far.Shape = shEllipse;
    // Just right of the view: a scroll brings it in.
    Tobs& beside = rt::place(*doc, 42, Figure, 620, 100, 79, 33);
    beside.Shape = shEllipse;
    FigureMask::forgetAll();

    EditorLayerCache cache;
    QImage buffer(500, 400, QImage::Format_RGB32);
    ASSERT_TRUE(cache.render(buffer, *doc, 100, 0, 0));
    ZoomStepWarmer::instance().waitIdle();

    EXPECT_TRUE(kept(*doc, 42));
    EXPECT_FALSE(kept(*doc, 41));
    const double divisor = doc->ScreenDivisor;
    for (double step : {divisor / 1.5, divisor * 1.5}) {
        doc->ScreenDivisor = step;
        for (int slot : {1, 2, 17, 40}) EXPECT_TRUE(kept(*doc, slot)) << "slot " << slot << " divisor " << step;
        EXPECT_FALSE(kept(*doc, 41)) << "divisor " << step;
    }
    // Two steps away: nothing made ahead.
    doc->ScreenDivisor = divisor / 1.5 / 1.5;
    EXPECT_FALSE(kept(*doc, 3));

    // The step itself shows what a plain pass shows.
    doc->ScreenDivisor = divisor / 1.5;
    ASSERT_TRUE(cache.render(buffer, *doc, 100, 0, 0));
    EXPECT_EQ(buffer, rt::plainEditorPass(*doc, buffer.size(), 100, QPoint(0, 0)));
}

TEST(ZoomStepWarmer, AbsurdPlacesAndScalesAreLeftAlone) {
    auto doc = rt::document();
    for (int i = 0; i < 4; ++i) {
        Tobs& o = rt::place(*doc, 1 + i, Figure, 10, 10, 40, 40);
        o.Shape = shEllipse;
        o.Left = i % 2 ? 2147483000 : -2147483000;
        o.Width = i < 2 ? 2147483000 : -2147483000;
        o.Top = o.Left;
        o.Height = o.Width;
        o.LineWidthOrTransColor = i == 3 ? 2147483647 : 3;
    }
    EditorLayerCache cache;
    QImage buffer(300, 200, QImage::Format_RGB32);
    for (double zoom : {1.0, 1e-300, 1e300}) {
        doc->Zoom = zoom;
        ASSERT_TRUE(cache.render(buffer, *doc, 100, 0, 0));
        ZoomStepWarmer::instance().waitIdle();
    }
}

}  // namespace
