// Pictures for high-density screens: buffers with a device pixel ratio get
// the same logical picture at device resolution. Lines, frames, shadow and
// the dotted net are whole logical pixels on the device grid; curves and
// text get detail finer than a logical pixel.

#include "RenderTestUtil.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "image/DibHandle.h"
#include "render/fast/DeviceGrid.h"
#include "render/EditorView.h"
#include "render/RulerPainter.h"
#include "sheet/SheetRenderer.h"
#include "render/TextRenderer.h"

#include <QtMath>
#include <gtest/gtest.h>

namespace {

// The logical pixel that device pixel X lies in: deviceEdge(x) <= X < deviceEdge(x + 1).
int logicalOf(int X, qreal ratio) {
    int x = static_cast<int>(X / ratio);
    while (deviceEdge(x, ratio) > X) --x;
    while (deviceEdge(x + 1, ratio) <= X) ++x;
    return x;
}

QImage editorPicture(const BoxDocument& doc, QSize logical, QPoint scroll, qreal ratio) {
    QImage img(qCeil(logical.width() * ratio), qCeil(logical.height() * ratio), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    EXPECT_TRUE(renderEditorBuffer(img, doc, 100, scroll.x(), scroll.y()));
    return img;
}

// Number of device pixels that differ from the logical pixel they lie in.
long long differencesFromBlocks(const QImage& fine, const QImage& coarse, qreal ratio, const QRect& logicalArea) {
    long long n = 0;
    const int x0 = deviceEdge(logicalArea.left(), ratio), x1 = deviceEdge(logicalArea.right() + 1, ratio);
    const int y0 = deviceEdge(logicalArea.top(), ratio), y1 = deviceEdge(logicalArea.bottom() + 1, ratio);
    for (int Y = y0; Y < std::min(y1, fine.height()); ++Y)
        for (int X = x0; X < std::min(x1, fine.width()); ++X)
            if (rt::px(fine, X, Y) != rt::px(coarse, logicalOf(X, ratio), logicalOf(Y, ratio))) ++n;
    return n;
}

// 2 x 2 device blocks inside area (logical) whose four pixels are not alike.
int mixedBlocks(const QImage& img, const QRect& logicalArea) {
    int n = 0;
    for (int y = logicalArea.top(); y <= logicalArea.bottom(); ++y)
        for (int x = logicalArea.left(); x <= logicalArea.right(); ++x) {
            const QRgb a = rt::px(img, 2 * x, 2 * y);
            if (rt::px(img, 2 * x + 1, 2 * y) != a || rt::px(img, 2 * x, 2 * y + 1) != a ||
                rt::px(img, 2 * x + 1, 2 * y + 1) != a)
                ++n;
        }
    return n;
}

BoxDocument newBox() {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    return doc;
}

}  // namespace

TEST(HighDensity, DeviceEdgesTileWithoutGapsOrOverlaps) {
    for (qreal r : {1.0, 1.25, 1.5, 2.0, 3.0})
        for (int x = -50; x < 50; ++x) {
            EXPECT_LT(deviceEdge(x, r), deviceEdge(x + 1, r)) << r << " " << x;
            EXPECT_EQ(deviceEdge(x, r), qRound(x * r));
        }
}

// Frame, shadow and every dot and gap of the net are whole logical pixels:
// at ratio 2 each lies at twice its logical place, at 1.25 and 1.5 on the
// device grid with neither seams nor pixels inverted twice.
TEST(HighDensity, EmptyEditorPictureIsTheLogicalPictureOnTheDeviceGrid) {
    const BoxDocument doc = newBox();
    const QSize view(640, 460);
    const QPoint scroll(500, 350);   // frame (48, 38)-(597, 426), shadow and the whole net in view
    const QImage one = editorPicture(doc, view, scroll, 1.0);
    ASSERT_EQ(rt::px(one, 48, 100), rt::Black);
    for (qreal r : {2.0, 1.5, 1.25}) {
        const QImage fine = editorPicture(doc, view, scroll, r);
        ASSERT_EQ(fine.size(), QSize(qCeil(640 * r), qCeil(460 * r)));
        EXPECT_EQ(differencesFromBlocks(fine, one, r, QRect(QPoint(0, 0), view)), 0) << "ratio " << r;
    }
    const QImage two = editorPicture(doc, view, scroll, 2.0);
    EXPECT_EQ(two.size(), QSize(1280, 920));
    // Frame column 48 and shadow from 597 to 601: twice over.
    EXPECT_EQ(rt::px(two, 96, 200), rt::Black);
    EXPECT_EQ(rt::px(two, 97, 200), rt::Black);
    EXPECT_EQ(rt::px(two, 98, 200), rt::White);
    EXPECT_EQ(rt::px(two, 95, 200), rt::White);
    EXPECT_EQ(rt::px(two, 2 * 597, 2 * 300), rt::rgb(0x80, 0x80, 0x80));
    EXPECT_EQ(rt::px(two, 2 * 602 - 1, 2 * 300), rt::rgb(0x80, 0x80, 0x80));
    EXPECT_EQ(rt::px(two, 2 * 602, 2 * 300), rt::White);
}

// A figure's curve and a text's letters get more than 2 x 2 blocks, while
// the picture seen a logical pixel at a time stays the one at ratio 1.
TEST(HighDensity, CurvesAndTextAreFinerThanLogicalPixels) {
    BoxDocument doc = newBox();
    const auto place = [&doc](Tobs& o, int x, int y, int w, int h) {
        SetDevLeft(o, x, doc.Zoom, doc.ScreenDivisor);
        SetDevTop(o, y, doc.Zoom, doc.ScreenDivisor);
        SetDevWidth(o, w, doc.Zoom, doc.ScreenDivisor);
        SetDevHeight(o, h, doc.Zoom, doc.ScreenDivisor);
    };
    Tobs& circle = doc.Objects[1];
    circle = Tobs();
    circle.Kind = Figure;
    circle.Shape = shEllipse;
    circle.FillModeOrShadowColor = fmFilled;
    circle.Color = 0x0000FF;
    circle.LineWidthOrTransColor = 1;
    place(circle, 600, 420, 120, 80);
    Tobs& text = doc.Objects[2];
    text = Tobs();
    text.Kind = Text;
    text.Content = QStringLiteral("Grüße aus Köln");
    text.FontName = QStringLiteral("DejaVu Sans");
    text.FontSize = 14;
    text.Color = 0;
    place(text, 760, 420, 300, 60);

    const QPoint scroll(500, 350);
    const QImage one = editorPicture(doc, QSize(640, 460), scroll, 1.0);
    const QImage two = editorPicture(doc, QSize(640, 460), scroll, 2.0);
    const QRect circleArea(100, 70, 121, 81), textArea(260, 70, 300, 60);
    ASSERT_GT(rt::countOf(one, rt::rgb(255, 0, 0), circleArea), 5000);
    EXPECT_GT(mixedBlocks(two, circleArea), 60) << "the ellipse's edge is still made of 2 x 2 blocks";
    EXPECT_GT(mixedBlocks(two, textArea), 60) << "the letters are still made of 2 x 2 blocks";
    // The ellipse covers the same logical pixels give or take its edge.
    const long long off = differencesFromBlocks(two, one, 2.0, circleArea);
    EXPECT_LT(off, 4 * 2 * (120 + 80)) << off;
}

TEST(HighDensity, RulersKeepTheirLogicalLayout) {
    const QImage one = paintHorizontalRuler(400, 20, 549, 1646, 290, 1.0);
    const QImage two = paintHorizontalRuler(400, 20, 549, 1646, 290, 2.0);
    ASSERT_EQ(two.size(), QSize(800, 40));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    // Outline and the corner square's separator at column 19: two device pixels each.
    for (int Y : {10, 20, 30}) {
        EXPECT_EQ(rt::px(two, 37, Y), rt::White);
        EXPECT_EQ(rt::px(two, 38, Y), rt::Black);
        EXPECT_EQ(rt::px(two, 39, Y), rt::Black);
    }
    // The label 0 at pixel 20: its tick line, and the digit finer than blocks.
    EXPECT_EQ(rt::px(one, 20, 10), rt::Black);
    EXPECT_EQ(rt::px(two, 40, 20), rt::Black);
    EXPECT_EQ(rt::px(two, 41, 20), rt::Black);
    // The minor ticks below the labels are whole logical pixels.
    EXPECT_EQ(differencesFromBlocks(two, one, 2.0, QRect(0, 14, 400, 6)), 0);
    EXPECT_GT(mixedBlocks(two, QRect(21, 1, 379, 12)), 10) << "ruler digits made of 2 x 2 blocks";

    // Down the left ruler the digits of "120" reach column 15, so the
    // blocks are compared where only ticks are: columns 16 to 19, which
    // long and short minor ticks both cover.
    const QImage left = paintVerticalRuler(20, 300, 388, 1164, 205, 1.5);
    EXPECT_EQ(left.size(), QSize(30, 450));
    EXPECT_EQ(differencesFromBlocks(left, paintVerticalRuler(20, 300, 388, 1164, 205, 1.0), 1.5,
                                    QRect(16, 0, 4, 300)),
              0);
}

TEST(HighDensity, PreviewPageAtDeviceResolution) {
    const BoxDocument doc = newBox();
    const QSize page(6800, 4800);
    const QImage one = renderPreview(doc, 100, 35, page, 600, 600, 1.0);
    const QImage two = renderPreview(doc, 100, 35, page, 600, 600, 2.0);
    ASSERT_EQ(one.size(), QSize(400, 282));
    EXPECT_EQ(two.size(), QSize(800, 564));
    EXPECT_EQ(two.devicePixelRatio(), 2.0);
    EXPECT_EQ(differencesFromBlocks(two, one, 2.0, QRect(0, 0, 400, 282)), 0);
    const QImage half = renderPreview(doc, 100, 35, page, 600, 600, 1.5);
    EXPECT_EQ(differencesFromBlocks(half, one, 1.5, QRect(0, 0, 400, 282)), 0);
}

// A picture is scaled to the device's pixels: a 3 x 3 checker board on 61
// logical pixels has its squares' edges between logical pixels, and it covers
// the same logical area as at ratio 1.
TEST(HighDensity, PicturesScaledToTheDevicePixels) {
    BoxDocument doc = newBox();
    QImage pic(3, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) pic.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 0, 0));
    Tobs& o = doc.Objects[1];
    o = Tobs();
    o.Kind = Image;
    o.Picture = DibHandle(pic, 24);
    SetDevLeft(o, 200, doc.Zoom, doc.ScreenDivisor);
    SetDevTop(o, 100, doc.Zoom, doc.ScreenDivisor);
    SetDevWidth(o, 62, doc.Zoom, doc.ScreenDivisor);
    SetDevHeight(o, 62, doc.Zoom, doc.ScreenDivisor);
    const QPoint scroll(100, 30);   // left of the box area: no net over the picture
    const QImage one = editorPicture(doc, QSize(640, 460), scroll, 1.0);
    const QImage two = editorPicture(doc, QSize(640, 460), scroll, 2.0);
    const QRect area(100, 70, 61, 61);
    ASSERT_EQ(rt::countOf(one, rt::White, area), 0);
    EXPECT_GT(mixedBlocks(two, area), 10) << "the picture is still made of 2 x 2 blocks";
    // Only the squares' borders may move, by less than a logical pixel.
    EXPECT_LT(differencesFromBlocks(two, one, 2.0, area), 4 * 2 * 2 * 61);
    // Nothing drawn outside the picture's logical rectangle.
    EXPECT_EQ(differencesFromBlocks(two, one, 2.0, QRect(90, 60, 10, 90)), 0);
    EXPECT_EQ(differencesFromBlocks(two, one, 2.0, QRect(161, 60, 10, 90)), 0);
    const QImage half = editorPicture(doc, QSize(640, 460), scroll, 1.5);
    EXPECT_EQ(differencesFromBlocks(half, one, 1.5, QRect(161, 60, 10, 90)), 0);
    EXPECT_EQ(rt::countOf(half, rt::White, QRect(deviceEdge(100, 1.5), deviceEdge(70, 1.5), 91, 91)), 0);
}
