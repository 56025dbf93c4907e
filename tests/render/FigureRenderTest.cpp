#include "RenderTestUtil.h"

#include "render/DrawVCart.h"
#include "render/FigureRenderer.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Renders a document's objects without net interference: the net lies far
// away in the output view of a large item, the objects near the origin.
QImage renderObjects(BoxDocument& doc, int w = 400, int h = 300, QColor fill = Qt::white) {
    QImage img = rt::canvas(w, h, fill);
    QPainter p(&img);
    RenderParams params;
    params.AreaWidth = 4000;
    params.AreaHeight = 4000;
    params.mapping = Mapping::screen(1.0, 416);
    params.EditorView = true;   // box area from (1333, 1333): off this canvas
    DrawVCart(p, doc, params);
    return img;
}

Tobs& figure(BoxDocument& doc, int slot, int shape, int x, int y, int w, int h, int color = 0x0000FF,
             int fill = fmFilled) {
    Tobs& o = rt::place(doc, slot, Figure, x, y, w, h);
    o.Shape = shape;
    o.Color = color;
    o.FillModeOrShadowColor = fill;
    o.BorderOrOutlineColor = 0x00FF00;
    o.LineWidthOrTransColor = 1;
    return o;
}

const QRgb Red = rt::rgb(255, 0, 0);     // colour value 0x0000FF
const QRgb Green = rt::rgb(0, 255, 0);   // colour value 0x00FF00

}  // namespace

TEST(FigurePen, WidthsInPointTwoMillimetreSteps) {
    const double screen = 1.0 / 416;
    EXPECT_EQ(figurePenWidth(1, screen), 1);
    EXPECT_EQ(figurePenWidth(2, screen), 1);
    EXPECT_EQ(figurePenWidth(5, screen), 1);
    EXPECT_EQ(figurePenWidth(20, screen), 7);
    EXPECT_EQ(figurePenWidth(0, screen), 1);
    EXPECT_EQ(figurePenWidth(1, 0.03), 4);
    EXPECT_EQ(figurePenWidth(5, 0.03), 23);
    EXPECT_EQ(figurePenWidth(20, 0.03), 94);
}

TEST(FigureRender, RectangleIsEndExclusiveWithOutlineInItsColour) {
    auto doc = rt::document();
    figure(*doc, 1, shRectangle, 10, 20, 50, 30, 0x0000FF, fmFilledBorder);
    const QImage img = renderObjects(*doc);
    EXPECT_EQ(rt::boundsNot(img, rt::White), QRect(10, 20, 50, 30));
    EXPECT_EQ(rt::px(img, 10, 20), Green);
    EXPECT_EQ(rt::px(img, 59, 49), Green);
    EXPECT_EQ(rt::px(img, 30, 35), Red);
    EXPECT_EQ(rt::px(img, 60, 35), rt::White);
}

TEST(FigureRender, CircleUsesShorterSideAtTopLeft) {
    for (QSize s : {QSize(200, 120), QSize(120, 200)}) {
        auto doc = rt::document();
        figure(*doc, 1, shCircle, 5, 5, s.width(), s.height());
        const QImage img = renderObjects(*doc, 400, 300);
        EXPECT_EQ(rt::boundsNot(img, rt::White), QRect(5, 5, 120, 120)) << s.width();
    }
}

TEST(FigureRender, EllipseAndSquareSizes) {
    auto doc = rt::document();
    figure(*doc, 1, shEllipse, 10, 10, 100, 40);
    figure(*doc, 2, shSquare, 150, 10, 80, 30);
    const QImage img = renderObjects(*doc);
    EXPECT_EQ(rt::boundsNot(img.copy(0, 0, 140, 300), rt::White), QRect(10, 10, 100, 40));
    EXPECT_EQ(rt::boundsNot(img.copy(140, 0, 260, 300), rt::White), QRect(10, 10, 30, 30));
}

TEST(FigureRender, RoundSquareTakesSideButCornersFromRectangle) {
    auto doc = rt::document();
    figure(*doc, 1, shRoundSquare, 20, 20, 300, 90);
    const QImage img = renderObjects(*doc);
    EXPECT_EQ(rt::boundsNot(img, rt::White), QRect(20, 20, 90, 90));
    // A 100 x 30 corner ellipse: the corner pixel stays free, while a
    // round square with 30 x 30 corners would reach closer along the top.
    EXPECT_EQ(rt::px(img, 20, 20), rt::White);
    EXPECT_EQ(rt::px(img, 20 + 45, 20), Red);      // top edge middle
    EXPECT_EQ(rt::px(img, 20 + 20, 20), rt::White); // still within the 50-wide corner radius
    EXPECT_EQ(rt::px(img, 20, 20 + 45), Red);
}

TEST(FigureRender, LinesIgnoreFillModeAndLeaveOutTheirEnd) {
    auto doc = rt::document();
    figure(*doc, 1, shLineH, 10, 10, 50, 0, 0x0000FF, fmBorder);
    figure(*doc, 2, shLineV, 10, 30, 0, 40, 0x0000FF, fmFilledBorder);
    figure(*doc, 3, shLineDown, 100, 100, 40, 40);
    figure(*doc, 4, shLineUp, 200, 100, 40, 40);
    const QImage img = renderObjects(*doc);
    EXPECT_EQ(rt::boundsNot(img.copy(0, 0, 90, 25), rt::White), QRect(10, 10, 50, 1));
    EXPECT_EQ(rt::px(img, 10, 10), Red);
    EXPECT_EQ(rt::boundsNot(img.copy(0, 25, 90, 75), rt::White), QRect(10, 5, 1, 40));
    EXPECT_EQ(rt::px(img, 100, 100), Red);
    EXPECT_EQ(rt::px(img, 139, 139), Red);
    EXPECT_EQ(rt::px(img, 140, 140), rt::White);
    EXPECT_EQ(rt::px(img, 200, 140), Red);
    EXPECT_EQ(rt::px(img, 240, 100), rt::White);
}

TEST(FigureRender, FillModes) {
    auto doc = rt::document();
    figure(*doc, 1, shRectangle, 0, 0, 400, 300, 0x000000);   // black ground
    figure(*doc, 2, shRectangle, 10, 10, 40, 40, 0x0000FF, fmFilled);
    figure(*doc, 3, shRectangle, 60, 10, 40, 40, 0x0000FF, fmBorder);
    figure(*doc, 4, shRectangle, 110, 10, 40, 40, 0x0000FF, fmFilledBorder);
    const QImage img = renderObjects(*doc);
    EXPECT_EQ(rt::px(img, 10, 10), Red);
    EXPECT_EQ(rt::px(img, 30, 30), Red);
    EXPECT_EQ(rt::px(img, 60, 10), Green);
    EXPECT_EQ(rt::px(img, 80, 30), rt::Black);   // border only: ground shows
    EXPECT_EQ(rt::px(img, 110, 10), Green);
    EXPECT_EQ(rt::px(img, 130, 30), Red);
}

TEST(FigureRender, UnknownFillModeKeepsCanvasColours) {
    auto doc = rt::document();
    figure(*doc, 1, shRectangle, 10, 10, 40, 40, 0x0000FF, fmFilledBorder);
    figure(*doc, 2, shRectangle, 60, 10, 40, 40, 0x00FFFF, 7);
    const QImage img = renderObjects(*doc);
    // The previous figure's pen (green) and brush (red) stay on the canvas.
    EXPECT_EQ(rt::px(img, 60, 10), Green);
    EXPECT_EQ(rt::px(img, 80, 30), Red);
}

TEST(FigureRender, WidePenAndZOrder) {
    auto doc = rt::document();
    figure(*doc, 3, shRectangle, 10, 10, 100, 100, 0x0000FF);
    figure(*doc, 7, shRectangle, 50, 50, 100, 100, 0x00FF00);
    Tobs& wide = figure(*doc, 9, shLineH, 200, 50, 100, 0, 0xFF0000);
    wide.LineWidthOrTransColor = 20;   // 7 pixels on screen
    const QImage img = renderObjects(*doc);
    EXPECT_EQ(rt::px(img, 70, 70), Green);
    EXPECT_EQ(rt::px(img, 30, 30), Red);
    const QRect line = rt::boundsOf(img, rt::rgb(0, 0, 255));
    EXPECT_EQ(line.height(), 7);
    EXPECT_EQ(line.center().y(), 50);
}

TEST(FigureRender, ShapeOutOfRangeDrawsNothing) {
    auto doc = rt::document();
    figure(*doc, 1, 10, 10, 10, 40, 40);
    figure(*doc, 2, -1, 60, 10, 40, 40);
    doc->Objects[3] = doc->Objects[1];
    doc->Objects[3].Kind = 17;
    const QImage img = renderObjects(*doc);
    EXPECT_TRUE(rt::boundsNot(img, rt::White).isNull());
}
