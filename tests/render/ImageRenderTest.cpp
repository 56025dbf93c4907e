#include "RenderTestUtil.h"

#include "image/DrawDib.h"
#include "render/DrawVCart.h"
#include "model/TransparentValue.h"
#include "render/ImageRenderer.h"
#include "image/ImageLoader.h"
#include "image/ImageWriter.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <climits>

namespace {

const BoxArea kArea{100, 50, 649, 438};   // 549 x 388, bw 550, bh 389

DibHandle solid24(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return DibHandle(img, 24);
}

DibHandle indexed8(int w, int h, const QVector<QRgb>& table, int fillIndex) {
    QImage img(w, h, QImage::Format_Indexed8);
    img.setColorTable(table);
    img.fill(fillIndex);
    return DibHandle(img, 8);
}

QImage renderOutput(BoxDocument& doc, int w, int h, QColor fill = Qt::white) {
    QImage img = rt::canvas(w, h, fill);
    QPainter p(&img);
    RenderParams params;
    params.AreaWidth = 5000;
    params.AreaHeight = 5000;
    params.mapping = Mapping::screen(1.0, 416);
    params.EditorView = true;   // the net lies far off this canvas
    DrawVCart(p, doc, params);
    return img;
}

}  // namespace

TEST(BackgroundPlacement, CenterSmallerFitsInside) {
    const auto p = backgroundPlacement(bgCenterSmaller, 100, 100, kArea, true, 1646, 1164);
    ASSERT_EQ(p.tiles.size(), 1u);
    EXPECT_EQ(p.tiles[0], QRect(100 + 80, 50, 388, 388));
    EXPECT_FALSE(p.clipped);
    // A wide image: centred vertically.
    const auto q = backgroundPlacement(bgCenterSmaller, 400, 100, kArea, true, 1646, 1164);
    EXPECT_EQ(q.tiles[0], QRect(100, 50 + (389 - 137) / 2, 549, 136));
}

TEST(BackgroundPlacement, CenterLargerCoversAndClipsOnlyInEditor) {
    const auto p = backgroundPlacement(bgCenterLarger, 100, 100, kArea, true, 1646, 1164);
    ASSERT_EQ(p.tiles.size(), 1u);
    EXPECT_EQ(p.tiles[0], QRect(100, 50 - 80, 549, 549));
    EXPECT_TRUE(p.clipped);
    EXPECT_EQ(p.clip, QRect(100, 50, 549, 388));
    EXPECT_FALSE(backgroundPlacement(bgCenterLarger, 100, 100, kArea, false, 1646, 1164).clipped);
}

TEST(BackgroundPlacement, FitStretchesOnePixelPast) {
    const auto p = backgroundPlacement(bgFit, 10, 300, kArea, true, 1646, 1164);
    ASSERT_EQ(p.tiles.size(), 1u);
    EXPECT_EQ(p.tiles[0], QRect(100, 50, 550, 389));
}

TEST(BackgroundPlacement, TileRowAndColumn) {
    const auto row = backgroundPlacement(bgTile, 100, 400, kArea, true, 1646, 1164);
    ASSERT_FALSE(row.tiles.empty());
    EXPECT_EQ(row.tiles[0], QRect(100, 50, 96, 388));
    EXPECT_EQ(row.tiles[1].left(), 196);
    EXPECT_EQ(row.tiles[2].left(), 292);
    // Tiles run on until the box area's right edge (649); the clip cuts the rest.
    EXPECT_EQ(row.tiles.size(), 6u);
    EXPECT_EQ(row.tiles.back().left(), 100 + 5 * 96);
    EXPECT_TRUE(row.clipped);
    const auto column = backgroundPlacement(bgTile, 400, 100, kArea, true, 1646, 1164);
    EXPECT_EQ(column.tiles[0], QRect(100, 50, 549, 136));
    EXPECT_EQ(column.tiles[1].top(), 50 + 136);
}

TEST(BackgroundPlacement, TilingTerminatesWithExtremeAspect) {
    // Scaled tile height 0 or 1: the step would not advance.
    EXPECT_TRUE(backgroundPlacement(bgTile, 100000, 1, kArea, true, 1646, 1164).tiles.empty());
    EXPECT_TRUE(backgroundPlacement(bgTile, 1, 100000, kArea, true, 1646, 1164).tiles.empty());
    // Step 1: one tile per pixel row of the box area.
    const auto thin = backgroundPlacement(bgTile, 550, 2, kArea, true, 1646, 1164);
    EXPECT_EQ(thin.tiles.size(), 388u);
    // An absurd drawing area does not make absurdly many tiles.
    const auto huge = backgroundPlacement(bgTile, 550, 2, kArea, true, INT_MAX, INT_MAX);
    EXPECT_EQ(huge.tiles.size(), 388u);
    EXPECT_TRUE(backgroundPlacement(bgNone, 10, 10, kArea, true, 1646, 1164).tiles.empty());
    EXPECT_TRUE(backgroundPlacement(9, 10, 10, kArea, true, 1646, 1164).tiles.empty());
}

TEST(BackgroundRender, CenterLargerIsCutInEditor) {
    auto doc = rt::document();
    doc->BackgroundMode = bgCenterLarger;
    doc->BackgroundPicture = solid24(100, 100, Qt::blue);
    QImage img = rt::canvas(800, 600);
    QPainter p(&img);
    RenderParams params;
    params.AreaWidth = 1647;   // box area (100, 50, 649, 438)
    params.AreaHeight = 1164;
    params.OffsetX = 449;
    params.OffsetY = 338;
    params.mapping = Mapping::screen(1.0, 416);
    params.EditorView = true;
    params.Percent = 10;
    DrawVCart(p, *doc, params);
    p.end();
    const QRect blueish = rt::boundsWhere(img, [](QRgb c) { return c != rt::White; });
    EXPECT_EQ(blueish, QRect(100, 50, 549, 388));
}

TEST(ImageObject, KeepAspectSizes) {
    EXPECT_EQ(imageObjectSize(200, 100, 50, 50, true), QSize(100, 100));
    EXPECT_EQ(imageObjectSize(200, 100, 50, 50, false), QSize(200, 100));
    EXPECT_EQ(imageObjectSize(100, 200, 50, 50, true), QSize(100, 100));
    auto doc = rt::document();
    Tobs& o = rt::place(*doc, 1, Image, 10, 10, 200, 100);
    o.Picture = solid24(50, 50, Qt::blue);
    o.KeepAspect = 1;
    Tobs& q = rt::place(*doc, 2, Image, 10, 150, 200, 100);
    q.Picture = solid24(50, 50, Qt::red);
    const QImage img = renderOutput(*doc, 400, 300);
    EXPECT_EQ(rt::boundsOf(img, rt::rgb(0, 0, 255)), QRect(10, 10, 99, 99));
    EXPECT_EQ(rt::boundsOf(img, rt::rgb(255, 0, 0)), QRect(10, 150, 199, 99));
}

TEST(ImageObject, EmptyOrTooSmallDrawsNothing) {
    auto doc = rt::document();
    rt::place(*doc, 1, Image, 10, 10, 200, 100);   // no picture
    Tobs& tiny = rt::place(*doc, 2, Image, 10, 150, 1, 100);
    tiny.Picture = solid24(5, 5, Qt::red);
    tiny.Transparent = 1;
    const QImage img = renderOutput(*doc, 400, 300);
    EXPECT_TRUE(rt::boundsNot(img, rt::White).isNull());
}

TEST(ImageObject, AutoTransparency24BitShowsGroundThroughWhite) {
    auto doc = rt::document();
    Tobs& ground = rt::place(*doc, 1, Figure, 0, 0, 400, 300);
    ground.Shape = shRectangle;
    ground.Color = 0x00FF00;
    QImage pic(20, 20, QImage::Format_RGB32);
    pic.fill(Qt::white);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) pic.setPixel(x, y, qRgb(0, 0, 255));
    Tobs& o = rt::place(*doc, 2, Image, 50, 50, 41, 41);
    o.Picture = DibHandle(pic, 24);
    o.Transparent = 1;
    o.TransAuto = 1;
    o.LineWidthOrTransColor = 0x123456;
    settleTransparentValue(o);
    EXPECT_EQ(o.LineWidthOrTransColor, 0xFFFFFF);
    const QImage img = renderOutput(*doc, 400, 300);
    EXPECT_EQ(rt::px(img, 60, 55), rt::rgb(0, 0, 255));
    EXPECT_EQ(rt::px(img, 60, 80), rt::rgb(0, 255, 0));   // white part: the ground shows
    EXPECT_EQ(rt::countOf(img, rt::White, img.rect()), 0);
}

TEST(ImageObject, PaletteTransparencyPicksFirstMatchingEntry) {
    QVector<QRgb> table(16, qRgb(1, 2, 3));
    table[3] = qRgb(255, 0, 255);
    table[9] = qRgb(255, 0, 255);
    table[5] = qRgb(0, 0, 255);
    QImage pic(30, 10, QImage::Format_Indexed8);
    pic.setColorTable(table);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 30; ++x) pic.setPixel(x, y, x < 10 ? 3 : x < 20 ? 9 : 5);
    auto doc = rt::document();
    Tobs& ground = rt::place(*doc, 1, Figure, 0, 0, 400, 300);
    ground.Shape = shRectangle;
    ground.Color = 0x00FF00;
    Tobs& o = rt::place(*doc, 2, Image, 10, 10, 31, 11);
    o.Picture = DibHandle(pic, 8);
    o.Transparent = 1;
    o.LineWidthOrTransColor = 0xFF00FF;   // magenta
    settleTransparentValue(o);
    EXPECT_EQ(o.LineWidthOrTransColor, 3);
    const QImage img = renderOutput(*doc, 400, 300);
    EXPECT_EQ(rt::px(img, 15, 15), rt::rgb(0, 255, 0));    // index 3: transparent
    EXPECT_EQ(rt::px(img, 25, 15), rt::rgb(255, 0, 255));  // index 9: drawn
    EXPECT_EQ(rt::px(img, 35, 15), rt::rgb(0, 0, 255));
}

TEST(ImageObject, RepaintsNeitherWriteNorDriftThePaletteIndex) {
    // White at entry 0, black at entry 5: the settled index 0 read again as
    // a colour would be black, so a pass that resolved anew would turn the
    // black pixels transparent on the second repaint.
    QVector<QRgb> table(16, qRgb(9, 9, 9));
    table[0] = qRgb(255, 255, 255);
    table[5] = qRgb(0, 0, 0);
    QImage pic(20, 10, QImage::Format_Indexed8);
    pic.setColorTable(table);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) pic.setPixel(x, y, x < 10 ? 0 : 5);
    auto doc = rt::document();
    Tobs& ground = rt::place(*doc, 1, Figure, 0, 0, 400, 300);
    ground.Shape = shRectangle;
    ground.Color = 0x00FF00;
    Tobs& o = rt::place(*doc, 2, Image, 10, 10, 21, 11);
    o.Picture = DibHandle(pic, 8);
    o.Transparent = 1;
    o.LineWidthOrTransColor = 0xFFFFFF;
    settleTransparentValue(o);
    ASSERT_EQ(o.LineWidthOrTransColor, 0);
    QImage img;
    for (int pass = 0; pass < 3; ++pass) img = renderOutput(*doc, 400, 300);
    EXPECT_EQ(o.LineWidthOrTransColor, 0);
    EXPECT_EQ(rt::px(img, 12, 15), rt::rgb(0, 255, 0));   // white: transparent
    EXPECT_EQ(rt::px(img, 25, 15), rt::Black);             // black: drawn
}

TEST(ImageObject, AutomaticValueFollowsEveryQuarterTurn) {
    // Lower-left pixel red, upper-left blue, upper-right yellow, lower-right
    // white: each turn brings another corner down to the left.
    QImage pic(8, 6, QImage::Format_RGB32);
    pic.fill(Qt::gray);
    pic.setPixel(0, 5, qRgb(255, 0, 0));
    pic.setPixel(0, 0, qRgb(0, 0, 255));
    pic.setPixel(7, 0, qRgb(255, 255, 0));
    pic.setPixel(7, 5, qRgb(255, 255, 255));
    BoxDocument doc;
    Tobs& o = doc.Objects[1];
    o.Kind = Image;
    o.Width = 800;
    o.Height = 600;
    o.Picture = DibHandle(pic, 24);
    o.Transparent = 1;
    o.TransAuto = 1;
    settleTransparentValue(o);
    EXPECT_EQ(o.LineWidthOrTransColor, 0x0000FF);
    doc.turnObject(1, +1);   // clockwise: the old lower-right corner comes to the lower left
    EXPECT_EQ(o.LineWidthOrTransColor, 0xFFFFFF);
    doc.turnObject(1, +1);
    EXPECT_EQ(o.LineWidthOrTransColor, 0x00FFFF);
    doc.turnObject(1, -1);
    doc.turnObject(1, -1);
    EXPECT_EQ(o.LineWidthOrTransColor, 0x0000FF);
}

TEST(ImageObject, NegativeValueMakesNothingTransparent) {
    auto doc = rt::document();
    Tobs& o = rt::place(*doc, 1, Image, 10, 10, 31, 31);
    QVector<QRgb> table(256, qRgb(0, 0, 0));
    o.Picture = indexed8(30, 30, table, 0);
    o.Transparent = 1;
    o.LineWidthOrTransColor = -1;
    const QImage img = renderOutput(*doc, 100, 100);
    EXPECT_EQ(o.LineWidthOrTransColor, -1);
    EXPECT_EQ(rt::boundsOf(img, rt::Black), QRect(10, 10, 30, 30));
}

TEST(DrawDibScaling, NearestNeighbourColumnAndRowMapping) {
    // Four columns of distinct colours scaled to 10 pixels: column i shows
    // source 4 * i div 10.
    QImage src(4, 2, QImage::Format_RGB32);
    const QRgb cols[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int x = 0; x < 4; ++x) {
        src.setPixel(x, 0, cols[x]);
        src.setPixel(x, 1, qRgb(0, 0, 0));
    }
    const DibHandle dib(src, 24);
    QImage img = rt::canvas(20, 10);
    QPainter p(&img);
    DrawDib(p, 0, 0, 10, 4, dib, 0, 0, 4, 2);
    p.end();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(img.pixel(i, 0), cols[4 * i / 10]) << i;
    EXPECT_EQ(rt::px(img, 0, 1), rt::rgb(255, 0, 0));
    EXPECT_EQ(rt::px(img, 0, 2), rt::Black);
    EXPECT_EQ(rt::px(img, 10, 0), rt::White);
}

TEST(DrawDibScaling, SourceClippingMovesDestination) {
    // Hanging over the top edge (SrcY counts from the bottom).
    const DibClip c = clipDibSource({0, 0, 100, 100, 0, 50, 10, 100}, 10, 100);
    EXPECT_EQ(c.SrcHeight, 50);
    EXPECT_EQ(c.DestHeight, 50);
    EXPECT_EQ(c.Y, 50);
    const DibClip inside = clipDibSource({3, 4, 50, 60, 1, 2, 5, 6}, 10, 10);
    EXPECT_EQ(inside.X, 3);
    EXPECT_EQ(inside.DestWidth, 50);
    const DibClip left = clipDibSource({0, 0, 30, 10, -1, 0, 3, 10}, 10, 10);
    EXPECT_EQ(left.SrcX, 0);
    EXPECT_EQ(left.SrcWidth, 2);
    EXPECT_EQ(left.DestWidth, 20);
    EXPECT_EQ(left.X, 10);
}

TEST(DrawDibScaling, SamePixelsWithAndWithoutTheDirectPath) {
    // RGB32 targets get rows written directly, other formats through a
    // temporary picture: both must agree, transparency included.
    QImage src(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) src.setPixel(x, y, (x + y) % 3 ? qRgb(x * 30, y * 50, 200) : qRgb(255, 255, 255));
    const DibHandle dib(src, 24);
    QImage direct = rt::canvas(60, 40, QColor(0, 128, 0));
    QImage other(60, 40, QImage::Format_ARGB32);
    other.fill(QColor(0, 128, 0));
    for (QImage* img : {&direct, &other}) {
        QPainter p(img);
        p.translate(3, 2);
        DrawDib(p, 1, 1, 30, 20, dib, 0, 0, 7, 5);
        DrawDibTransparent(p, 20, 15, 33, 21, dib, 0xFFFFFF);
    }
    EXPECT_EQ(direct, other.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(rt::px(direct, 4, 3), rt::White);
    EXPECT_EQ(rt::px(direct, 51, 37), rt::rgb(0, 128, 0));   // transparent: ground shows
    EXPECT_NE(rt::px(direct, 46, 37), rt::rgb(0, 128, 0));
}

namespace {

// A 20 x 20 picture: left half red, right half without colour (the file's
// own transparency), as each format carries it.
QImage halfTransparent() {
    QImage img(20, 20, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x) img.setPixel(x, y, qRgb(255, 0, 0));
    return img;
}

QImage renderOverGreen(const DibHandle& pic, int transparent = 0, std::int32_t key = 0) {
    auto doc = rt::document();
    Tobs& ground = rt::place(*doc, 1, Figure, 0, 0, 100, 100);
    ground.Shape = shRectangle;
    ground.Color = 0x00FF00;
    Tobs& o = rt::place(*doc, 2, Image, 10, 10, 41, 41);
    o.KeepAspect = 0;
    o.Picture = pic;
    o.Transparent = transparent;
    o.LineWidthOrTransColor = key;
    settleTransparentValue(o);   // as the transparency dialog does
    return renderOutput(*doc, 100, 100);
}

}  // namespace

// A file's own transparency shows what lies below in every format: RGBA
// PNG, palette PNG with a transparent entry, GIF.
TEST(ImageObject, FileTransparencyIsTheSameInEveryFormat) {
    QTemporaryDir dir;
    const QImage source = halfTransparent();
    QImage palette = source.convertToFormat(QImage::Format_Indexed8, {qRgba(0, 0, 0, 0), qRgb(255, 0, 0)});
    ASSERT_TRUE(source.save(dir.filePath("rgba.png"), "PNG"));
    ASSERT_TRUE(palette.save(dir.filePath("palette.png"), "PNG"));
    ASSERT_TRUE(SaveDib(DibHandle(palette, 8), dir.filePath("bild.gif"), FormatGif));
    const DibHandle rgba = OpenDib(dir.filePath("rgba.png"));
    const DibHandle pal = OpenDib(dir.filePath("palette.png"));
    const DibHandle gif = OpenDib(dir.filePath("bild.gif"));
    ASSERT_TRUE(pal.hasPalette());
    ASSERT_TRUE(gif.hasPalette());
    const QImage expected = renderOverGreen(rgba);
    EXPECT_EQ(rt::px(expected, 15, 20), rt::rgb(255, 0, 0));
    EXPECT_EQ(rt::px(expected, 40, 20), rt::rgb(0, 255, 0));   // the ground shows through
    EXPECT_EQ(renderOverGreen(pal), expected);
    EXPECT_EQ(renderOverGreen(gif), expected);

    // Together with the transparency dialog's colour: red goes too.
    for (const DibHandle* pic : {&rgba, &pal, &gif}) {
        const QImage both = renderOverGreen(*pic, 1, 0x0000FF);
        EXPECT_EQ(rt::px(both, 15, 20), rt::rgb(0, 255, 0));
        EXPECT_EQ(rt::px(both, 40, 20), rt::rgb(0, 255, 0));
    }
}
