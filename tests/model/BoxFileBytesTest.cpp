// The exact bytes of box files.
#include "BoxTestSupport.h"

#include "model/BoxFileFormat.h"

using namespace boxtest;

TEST(BoxFileBytes, NewDocumentIsThe178ByteFile) {
    BoxDocument doc;
    makeNewDocument(doc);
    const QByteArray bytes = serializeBoxDocument(doc);
    ASSERT_EQ(bytes.size(), 178);

    QByteArray expected("ORB-LUX Faltarillon-Designer 1.0", 32);
    expected += '\0';
    expected += QByteArray(32, '\0');                         // margins and pitches
    expected += fromHex("0000000000207240");                 // ItemWidth 290.0
    expected += fromHex("0000000000A06940");                 // ItemHeight 205.0
    expected += fromHex("0100000001000000");                 // Columns, Rows
    expected += '\0';
    expected += QByteArray("Kein Faltarillonentyp");         // left behind by start-up
    expected += QByteArray(34, '\0');
    expected += fromHex("F0730A00" "9C630700" "FFFFFFFF");   // extents, background mode
    expected += '\0';                                        // no background file
    expected += fromHex("000000000000F03F" "0000000000007A40"); // Zoom 1.0, divisor 416.0
    expected += fromHex("11270000");                         // end marker
    EXPECT_EQ(bytes.toHex(), expected.toHex());
}

TEST(BoxFileBytes, FigureRecordIs96BytesInFileOrder) {
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 2, 41600, 83200);
    Tobs& o = doc.Objects[2];
    o.Color = 0x00112233;
    o.BorderOrOutlineColor = 0x00445566;
    o.FillModeOrShadowColor = fmFilledBorder;
    o.LineWidthOrTransColor = 7;
    o.FontColor = 0x000000FF;
    o.FontPitch = 2;
    o.FontStyle = fsBold | fsUnderline;
    o.Rotation = 2;
    o.Alignment = 1;
    o.Shadow = 1;
    o.Outline = 1;
    o.Transparent = 1;
    o.TransAuto = 1;

    const QByteArray bytes = serializeBoxDocument(doc);
    ASSERT_EQ(bytes.size(), 178 + 96);
    const QByteArray record = bytes.mid(174, 96);
    QByteArray expected = fromHex(
        "02000000"   // slot
        "80A20000"   // Left 41600
        "00450100"   // Top 83200
        "40510000"   // Width 20800
        "40510000"   // Height
        "01"         // KeepAspect
        "01000000"   // Kind
        "33221100"   // Color
        "03000000"   // Shape
        "01000000"   // Alignment
        "66554400"   // BorderOrOutlineColor
        "02000000"   // FillModeOrShadowColor
        "01" "01"    // Shadow, Outline
        "05000000" "05000000"   // ShadowDx, ShadowDy
        "01" "01"    // Transparent, TransAuto
        "07000000"   // LineWidthOrTransColor
        "02000000"   // Rotation
        "00"         // empty Content
        "FF000000"   // FontColor
        "F0FFFFFF"); // FontHeight -16
    expected += QByteArray("Times New Roman");
    expected += fromHex("00" "02" "0C000000" "05");
    EXPECT_EQ(record.toHex(), expected.toHex());
    EXPECT_EQ(bytes.right(4), fromHex("11270000"));
}

TEST(BoxFileBytes, ObjectsAreWrittenInSlotOrderWithTheirSlotNumbers) {
    BoxDocument doc;
    makeNewDocument(doc);
    placeFigure(doc, 7);
    placeFigure(doc, 2);
    const QByteArray bytes = serializeBoxDocument(doc);
    ASSERT_EQ(bytes.size(), 178 + 2 * 96);
    EXPECT_EQ(bytes.mid(174, 4), fromHex("02000000"));
    EXPECT_EQ(bytes.mid(174 + 96, 4), fromHex("07000000"));
}

TEST(BoxFileBytes, LayoutBlockIsWrittenRawWithReservedAndTypeNameBytes) {
    BoxDocument doc;
    makeNewDocument(doc);
    for (int i = 0; i < 34; ++i) doc.Layout.Reserved[size_t(i)] = std::uint8_t(0xA0 + i);
    doc.Layout.setTypeNameText(QStringLiteral("Würfel"));
    const QByteArray block = serializeBoxDocument(doc).mid(boxfile::kIdentifierSize, boxfile::kLayoutSize);
    EXPECT_EQ(block.at(56), char(6));
    EXPECT_EQ(block.mid(57, 6), QByteArray("W\xFC" "rfel"));
    // The rest of the old name stays behind the new one.
    EXPECT_EQ(block.mid(63, 15), QByteArray("altarillonentyp"));
    EXPECT_EQ(block.at(78), char(0xA0));
    EXPECT_EQ(block.at(111), char(0xA0 + 33));
}

TEST(BoxFileBytes, TwoLineTextHasOneCarriageReturn) {
    BoxDocument doc;
    makeNewDocument(doc);
    placeText(doc, 1, QStringLiteral("Äpfel\rBirnen"));
    const QByteArray bytes = serializeBoxDocument(doc);
    const QByteArray content = bytes.mid(174 + 65, 13);
    EXPECT_EQ(content, QByteArray("\xC4pfel\rBirnen\0", 13));
}
