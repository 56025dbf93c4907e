#include "RenderTestUtil.h"
#include "model/SheetGeometry.h"
#include "render/SheetRenderParams.h"

#include "base/Units.h"
#include "model/Prompter.h"
#include "box/BoxNet.h"
#include "model/TransparentValue.h"
#include "sheet/SheetRenderer.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <gtest/gtest.h>

TEST(SheetGeometry, ItemAndPreviewSizes) {
    auto doc = rt::document();
    const SheetGeometry g35 = sheetGeometry(doc->Layout, 35, 35);
    EXPECT_EQ(g35.Wb, 399);
    EXPECT_EQ(g35.Hb, 282);
    EXPECT_EQ(boxAreaFor(g35.Wb, g35.Hb, g35.Wb, g35.Hb, false), (BoxArea{0, 0, 399, 282}));
    EXPECT_EQ(previewPageSize(QSize(6800, 4800), 600, 600, 35), QSize(400, 282));
    // A preview finer than the printer still divides by at least 1.
    EXPECT_EQ(previewPageSize(QSize(2000, 1500), 200, 200, 262), QSize(2000, 1500));
    // The cube's edge at 100 % on a 600 dpi printer.
    const SheetGeometry g600 = sheetGeometry(doc->Layout, 600, 600);
    EXPECT_EQ(measureNet(BoxArea{0, 0, g600.Wb, g600.Hb}, 100).e, 1506);
    EXPECT_DOUBLE_EQ(printFontFactor(600, 96), 39.0625);
}

TEST(SheetGeometry, MarginsPlaceTheItem) {
    auto doc = rt::document();
    doc->Layout.MarginX = 5;
    doc->Layout.MarginY = 7.5;
    const SheetGeometry g = sheetGeometry(doc->Layout, 600, 300);
    EXPECT_EQ(g.sx, 118);   // Trunc(5 / 25.39995 * 600)
    EXPECT_EQ(g.sy, 88);    // Trunc(7.5 / 25.39995 * 300)
    EXPECT_EQ(itemOrigin(doc->Layout, 600, 300), QPoint(118, 88));
}

TEST(SheetGeometry, DifferingResolutionsAreReported) {
    RecordingPrompter prompter;
    EXPECT_FALSE(checkPrinterResolution(600, 600, prompter));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(checkPrinterResolution(600, 300, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler"));
    EXPECT_EQ(prompter.messages[0].text, sheetmsg::ResolutionText);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
}

TEST(SheetRender, ObjectAtItemCornerLandsAtSheetOrigin) {
    auto doc = rt::document();
    // An object whose left edge is the item's left edge (one item in from
    // the editing area's corner) is drawn at x = 0 of the item.
    Tobs& o = doc->Objects[1];
    o.Kind = Figure;
    o.Shape = shRectangle;
    o.Color = 0x0000FF;
    o.Left = mmToUnits(290);
    o.Top = mmToUnits(205);
    o.Width = mmToUnits(20);
    o.Height = mmToUnits(10);
    const QImage page = renderPreview(*doc, 100, 35, QSize(6800, 4800), 600, 600);
    ASSERT_EQ(page.size(), QSize(400, 282));
    const QRect red = rt::boundsOf(page, rt::rgb(255, 0, 0));
    EXPECT_EQ(red.topLeft(), QPoint(0, 0));
    EXPECT_NEAR(red.width(), 27, 1);
}

TEST(SheetRender, BandsGiveTheSamePictureAsOneImage) {
    auto doc = rt::document();
    Tobs& o = doc->Objects[5];
    o.Kind = Figure;
    o.Shape = shEllipse;
    o.Color = 0x00FF00;
    o.Left = mmToUnits(300);
    o.Top = mmToUnits(210);
    o.Width = mmToUnits(100);
    o.Height = mmToUnits(80);
    Tobs& t = doc->Objects[6];
    t.Kind = Text;
    t.Content = QStringLiteral("Band\rGrenze");
    t.FontName = QStringLiteral("Arial");
    t.FontSize = 40;
    t.Outline = 1;
    t.BorderOrOutlineColor = 0x0000FF;
    t.Left = mmToUnits(330);
    t.Top = mmToUnits(240);
    t.Width = mmToUnits(100);
    t.Height = mmToUnits(50);
    const QSize pageSize(1169, 826);   // A4 landscape at 100 dpi
    const QImage whole = renderSheetImage(*doc, 100, 100, pageSize);
    QImage printed(pageSize, QImage::Format_RGB32);
    printed.fill(Qt::white);
    QPainter device(&printed);
    int bands = 0;
    ASSERT_TRUE(printSheet(device, *doc, 100, 100, 100, pageSize, 96, 37,
                           [&](const QImage& band, int) { ++bands; EXPECT_LE(band.height(), 37); }));
    device.end();
    EXPECT_EQ(bands, (826 + 36) / 37);
    EXPECT_EQ(printed, whole);
    // The net printed on white: black gaps on the top edge of the faces.
    const NetMeasure n = measureNet(BoxArea{0, 0, 1141, 807}, 100);
    EXPECT_EQ(rt::px(whole, n.L + 4, n.T + n.e), rt::Black);
    EXPECT_EQ(rt::px(whole, n.L + 1, n.T + n.e), rt::White);
}

TEST(SheetRender, PrinterFontIsLargerByTheFontFactor) {
    auto doc = rt::document();
    Tobs& t = doc->Objects[1];
    t.Kind = Text;
    t.Content = QStringLiteral("H");
    t.FontName = QStringLiteral("Arial");
    t.FontSize = 20;
    t.Left = mmToUnits(300);
    t.Top = mmToUnits(215);
    t.Width = mmToUnits(100);
    t.Height = mmToUnits(50);
    t.Color = 0x0000FF;
    const QImage page = renderSheetImage(*doc, 100, 300, QSize(3508, 2480));
    // Trunc(20000 / 300 * 20 * 0.015 * (300 / 96)^2 * 96 / 300) = 62 pixels
    // of character height: 20 / 96 inch, as on the screen. The capital H
    // is a bit lower than that.
    const QRect h = rt::boundsOf(page, rt::rgb(255, 0, 0));
    EXPECT_GT(h.height(), 35);
    EXPECT_LE(h.height(), 62);
    EXPECT_NEAR(h.left(), mmToPixels(10, 300), 8);
}

TEST(SheetRender, PdfKeepsTheNetLossless) {
    auto doc = rt::document();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(150);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        QPainter painter(&writer);
        const QSize page = writer.pageLayout().fullRectPixels(150).size();
        ASSERT_TRUE(printSheet(painter, *doc, 100, 150, 150, page));
        EXPECT_FALSE(painter.testRenderHint(QPainter::LosslessImageRendering));
    }
    const QByteArray pdf = buffer.data();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.contains("/Image"));
    EXPECT_FALSE(pdf.contains("DCTDecode"));
}

TEST(SheetRender, NothingIsRenderedWhileAPassRuns) {
    auto doc = rt::document();
    PaintingGuard running;
    EXPECT_TRUE(renderPreview(*doc, 100, 35, QSize(6800, 4800), 600, 600).isNull());
    QImage sink = rt::canvas(10, 10);
    QPainter device(&sink);
    EXPECT_FALSE(printSheet(device, *doc, 100, 100, 100, QSize(100, 100)));
    device.end();
    EXPECT_TRUE(rt::boundsNot(sink, rt::White).isNull());
}

TEST(SheetRender, TransparentImagePrintsWithWhatLiesBeneath) {
    // On the printer the canvas cannot be read back; the transparent pixels
    // still let the lower object show.
    auto doc = rt::document();
    Tobs& ground = doc->Objects[1];
    ground.Kind = Figure;
    ground.Shape = shRectangle;
    ground.Color = 0x00FF00;
    ground.Left = mmToUnits(300);
    ground.Top = mmToUnits(215);
    ground.Width = mmToUnits(60);
    ground.Height = mmToUnits(60);
    Tobs& im = doc->Objects[2];
    im.Kind = Image;
    im.Left = mmToUnits(310);
    im.Top = mmToUnits(225);
    im.Width = mmToUnits(40);
    im.Height = mmToUnits(40);
    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(Qt::white);
    pic.setPixel(0, 0, qRgb(0, 0, 255));
    im.Picture = DibHandle(pic, 24);
    im.Transparent = 1;
    im.TransAuto = 1;
    settleTransparentValue(im);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(100);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        QPainter painter(&writer);
        ASSERT_TRUE(printSheet(painter, *doc, 100, 100, 100, writer.pageLayout().fullRectPixels(100).size()));
    }
    EXPECT_EQ(im.LineWidthOrTransColor, 0xFFFFFF);   // printing only read it
    // The same bands as an image: green where the image is white.
    const QImage page = renderSheetImage(*doc, 100, 100, QSize(1169, 826));
    const int x = mmToPixels(40, 100), y = mmToPixels(40, 100);
    EXPECT_EQ(rt::px(page, x, y), rt::rgb(0, 255, 0));
    EXPECT_EQ(rt::px(page, mmToPixels(20, 100) + 2, mmToPixels(20, 100) + 2), rt::rgb(0, 0, 255));
}
