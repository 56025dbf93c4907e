// New for another paper: the item is the landscape paper less 7 x 5 mm, and
// extent and cube edge follow from it as for the A4 New.
#include "BoxTestSupport.h"

#include "model/BoxSize.h"
#include "model/NewDocument.h"
#include "model/PaperFormat.h"

#include <cmath>

namespace {
const QLocale german(QLocale::German, QLocale::Germany);

// The editing area: three items, Trunc(mm * 3 * 20000 / 25.39995).
std::int32_t extentOf(double mm) { return static_cast<std::int32_t>(std::trunc(mm * 3 * 20000 / 25.39995L)); }
}  // namespace

TEST(PaperFormat, NewForA3MakesTheLargerItemAndEverythingFollows) {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    doc.Objects[5].Kind = Figure;
    doc.FileName = QStringLiteral("/tmp/old.box");
    newDocument(doc, PaperFormat::A3);
    // A3 landscape is 420 x 297 mm.
    EXPECT_DOUBLE_EQ(doc.Layout.ItemWidth, 413);
    EXPECT_DOUBLE_EQ(doc.Layout.ItemHeight, 292);
    EXPECT_DOUBLE_EQ(doc.Layout.MarginX, 0);
    EXPECT_DOUBLE_EQ(doc.Layout.PitchY, 0);
    EXPECT_EQ(doc.Layout.Columns, 1);
    EXPECT_EQ(doc.Layout.Rows, 1);
    EXPECT_EQ(doc.ExtentWidth, extentOf(413));
    EXPECT_EQ(doc.ExtentHeight, extentOf(292));
    EXPECT_FALSE(doc.Objects.anyObjects());
    EXPECT_TRUE(doc.FileName.isEmpty());
    // Edge: 292 mm less a fifteenth for the flaps, over three faces, in cm.
    const double edgeCm = (292.0 - 292.0 / 15) / 3 / 10;
    EXPECT_NEAR(cubeEdgeCm(100, doc.Layout.ItemHeight), edgeCm, 1e-9);
    EXPECT_EQ(cubeEdgeText(100, doc.Layout.ItemHeight, german), QStringLiteral("9,08 cm"));
    EXPECT_EQ(sheetLayoutLine(doc.Layout, german),
              QString::fromUtf8("1 x 1 Faltarillonen á 413,00mm x 292,00mm pro Blatt [Abstände 0,00mm ; 0,00mm] "
                                "[Ränder 0,00mm ; 0,00mm]"));
}

TEST(PaperFormat, A4IsThePlainNewAndLetterIsItsOwn) {
    BoxDocument plain, a4, letter;
    newDocument(plain);
    newDocument(a4, PaperFormat::A4);
    newDocument(letter, PaperFormat::Letter);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&plain.Layout), sizeof(SheetLayout)),
              QByteArray(reinterpret_cast<const char*>(&a4.Layout), sizeof(SheetLayout)));
    EXPECT_DOUBLE_EQ(a4.Layout.ItemWidth, 290);
    EXPECT_DOUBLE_EQ(a4.Layout.ItemHeight, 205);
    // Letter: 11 x 8.5 inches.
    EXPECT_NEAR(letter.Layout.ItemWidth, 11 * 25.4 - 7, 1e-9);
    EXPECT_NEAR(letter.Layout.ItemHeight, 8.5 * 25.4 - 5, 1e-9);
    EXPECT_EQ(letter.ExtentHeight, extentOf(8.5 * 25.4 - 5));
}

TEST(PaperFormat, NamesRoundTripAndUnknownNamesAreRefused) {
    for (PaperFormat p : {PaperFormat::A4, PaperFormat::A3, PaperFormat::Letter}) {
        PaperFormat back = PaperFormat::A4;
        EXPECT_TRUE(paperFromName(paperName(p).toLower(), back));
        EXPECT_EQ(back, p);
    }
    PaperFormat kept = PaperFormat::A3;
    EXPECT_FALSE(paperFromName(QStringLiteral("A5"), kept));
    EXPECT_FALSE(paperFromName(QString(), kept));
    EXPECT_EQ(kept, PaperFormat::A3);
}
