#include "BoxTestSupport.h"

#include "model/BoxSize.h"
#include "model/StoredImage.h"

using namespace boxtest;

namespace {
const QLocale german(QLocale::German, QLocale::Germany);
}

TEST(BoxSize, CubeEdgeForEveryPercentage) {
    const char* expected[] = {"0,64 cm", "1,28 cm", "1,91 cm", "2,55 cm", "3,19 cm",
                              "3,83 cm", "4,46 cm", "5,10 cm", "5,74 cm", "6,38 cm"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(cubeEdgeText((i + 1) * 10, 205, german), QString::fromUtf8(expected[i])) << (i + 1) * 10;
}

TEST(BoxSize, CubeEdgeFollowsLocaleAndItemHeight) {
    EXPECT_EQ(cubeEdgeText(100, 205, QLocale::c()), QStringLiteral("6.38 cm"));
    EXPECT_EQ(cubeEdgeText(100, 55, german), QStringLiteral("1,71 cm"));
    // Large values get no thousands separator.
    EXPECT_EQ(cubeEdgeText(100, 90000, german), QStringLiteral("2800,00 cm"));
}

TEST(BoxSize, DecimalRoundingIsHalfAwayFromZeroOnTheShortDigits) {
    // 0.125 is exact in binary; 2.675 is 2.67499999... but has 15 digits 2.67500000000000.
    EXPECT_EQ(formatFixed(0.125, 15, 2, QLocale::c()), QStringLiteral("0.13"));
    EXPECT_EQ(formatFixed(2.675, 15, 2, QLocale::c()), QStringLiteral("2.68"));
    EXPECT_EQ(formatFixed(-2.675, 15, 2, QLocale::c()), QStringLiteral("-2.68"));
    EXPECT_EQ(formatFixed(9.999, 15, 2, QLocale::c()), QStringLiteral("10.00"));
    EXPECT_EQ(formatFixed(0.001, 15, 2, QLocale::c()), QStringLiteral("0.00"));
    EXPECT_EQ(formatFixed(123.4567, 7, 2, german), QStringLiteral("123,46"));
}

TEST(BoxSize, SheetLayoutLineAfterNewAndAtStartUp) {
    SheetLayout layout = SheetLayout::startupLayout();
    EXPECT_EQ(sheetLayoutLine(layout, german),
              QString::fromUtf8("2 x 5 Faltarillonen á 90,00mm x 55,00mm pro Blatt [Abstände 90,00mm ; 55,00mm] "
                                "[Ränder 0,00mm ; 0,00mm]"));
    layout.applyNewDocumentLayout();
    const QString line = sheetLayoutLine(layout, german);
    EXPECT_EQ(line, QString::fromUtf8("1 x 1 Faltarillonen á 290,00mm x 205,00mm pro Blatt [Abstände 0,00mm ; "
                                      "0,00mm] [Ränder 0,00mm ; 0,00mm]"));
    EXPECT_TRUE(line.contains(QChar(0xE1)));
}

TEST(BoxSize, SheetPositionOfNetK) {
    SheetLayout l = SheetLayout::startupLayout();   // 2 x 5, pitches 90 x 55
    l.MarginX = 10;
    l.MarginY = 20;
    EXPECT_EQ(sheetItemRectMm(l, 0), QRectF(10, 20, 90, 55));
    EXPECT_EQ(sheetItemRectMm(l, 1).topLeft(), QPointF(100, 20));
    EXPECT_EQ(sheetItemRectMm(l, 2).topLeft(), QPointF(10, 75));
    EXPECT_EQ(sheetItemRectMm(l, 9).topLeft(), QPointF(100, 240));
    EXPECT_EQ(sheetItemRectMm(l, 10).topLeft(), QPointF(10, 20));   // next sheet starts over
}

TEST(BoxSize, SheetPositionGuardsAgainstEmptyGrid) {
    SheetLayout l = SheetLayout::startupLayout();
    l.Columns = 0;
    l.Rows = -2;
    EXPECT_EQ(sheetItemRectMm(l, 5).topLeft(), QPointF(0, 0));
    EXPECT_EQ(sheetItemRectMm(l, -1).topLeft(), QPointF(0, 0));
}

TEST(BoxSize, ExtentAndSurfaceAfterNew) {
    BoxDocument doc;
    makeNewDocument(doc);
    EXPECT_EQ(doc.ExtentWidth, 685040);
    EXPECT_EQ(doc.ExtentHeight, 484252);
    EXPECT_EQ(doc.ScreenDivisor, 416);
    EXPECT_EQ(drawingSurfaceSize(doc), QSize(1646, 1164));
    doc.ScreenDivisor = screenDivisorFor(120);
    EXPECT_EQ(doc.ScreenDivisor, 332);
    doc.Zoom = 0;
    EXPECT_TRUE(drawingSurfaceSize(doc).isEmpty());
}

TEST(BoxSize, StartUpExtentComesFromTheStartUpLayout) {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    EXPECT_EQ(doc.ExtentWidth, 212598);   // Trunc(90 * 3 * 20000 / 25.39995)
    EXPECT_EQ(doc.ExtentHeight, 129921);
    EXPECT_EQ(doc.Layout.Columns, 2);
}

TEST(NewDocument, NewKeepsScaleAndEmptiesEverything) {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    placeFigure(doc, 4);
    doc.ScreenDivisor = 277;
    doc.FileName = QStringLiteral("/x/y.box");
    doc.BackgroundMode = bgFit;
    newDocument(doc);
    EXPECT_FALSE(doc.Objects.anyObjects());
    EXPECT_EQ(doc.ScreenDivisor, 277);
    EXPECT_EQ(doc.Layout.ItemWidth, 290);
    EXPECT_EQ(doc.Layout.TypeName[0], 0);
    EXPECT_EQ(doc.BackgroundMode, bgNone);
    EXPECT_TRUE(doc.FileName.isEmpty());
}

TEST(NewDocument, Captions) {
    EXPECT_EQ(captionFor(QString()), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - NONAME01"));
    EXPECT_EQ(captionFor(QStringLiteral("/home/anna/Boxen/würfel.box")),
              QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - würfel.box"));
}

TEST(StoredImagePath, FileNamePartTakesBothSeparators) {
    EXPECT_EQ(storedFileNamePart(QStringLiteral("C:\\Bilder\\rot.bmp")), QStringLiteral("rot.bmp"));
    EXPECT_EQ(storedFileNamePart(QStringLiteral("/home/a/b/rot.bmp")), QStringLiteral("rot.bmp"));
    EXPECT_EQ(storedFileNamePart(QStringLiteral("D:/gemischt\\x/rot.bmp")), QStringLiteral("rot.bmp"));
    EXPECT_EQ(storedFileNamePart(QStringLiteral("C:rot.bmp")), QStringLiteral("rot.bmp"));
    EXPECT_EQ(storedFileNamePart(QStringLiteral("rot.bmp")), QStringLiteral("rot.bmp"));
    EXPECT_EQ(storedFileNamePart(QStringLiteral("C:\\Bilder\\")), QString());
}
