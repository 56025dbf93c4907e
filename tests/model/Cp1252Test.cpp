#include "model/Cp1252.h"
#include "model/SheetLayout.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesDecodeAndEncode) {
    QByteArray all;
    for (int b = 1; b < 256; ++b) all.append(char(b));
    const QString text = decodeCp1252(all);
    ASSERT_EQ(text.size(), 255);
    QByteArray back;
    EXPECT_TRUE(encodeCp1252(text, back));
    EXPECT_EQ(back, all);
}

TEST(Cp1252, SpecialCharactersOfTheHighRange) {
    EXPECT_EQ(decodeCp1252(QByteArray("\x80\x84\x93\x9F\xE1")), QString::fromUtf8("€„“Ÿá"));
    QByteArray out;
    EXPECT_TRUE(encodeCp1252(QString::fromUtf8("€ŠžŒ™"), out));
    EXPECT_EQ(out, QByteArray("\x80\x8A\x9E\x8C\x99"));
    EXPECT_FALSE(encodeCp1252(QString::fromUtf8("Ω"), out));
    EXPECT_FALSE(encodeCp1252(QString(QChar(0x80)), out));   // 0x80 is the euro sign
}

TEST(Cp1252, Utf8Recognition) {
    EXPECT_TRUE(isMultiByteUtf8("\xC3\xA4", 2));
    EXPECT_TRUE(isMultiByteUtf8("a\xE2\x82\xAC" "b", 5));
    EXPECT_TRUE(isMultiByteUtf8("\xF0\x9F\x98\x80", 4));
    EXPECT_FALSE(isMultiByteUtf8("abc", 3));               // no multi-byte sequence
    EXPECT_FALSE(isMultiByteUtf8("\xE4", 1));              // lone lead byte
    EXPECT_FALSE(isMultiByteUtf8("\xC0\x80", 2));          // overlong
    EXPECT_FALSE(isMultiByteUtf8("\xED\xA0\x80", 3));      // surrogate
    EXPECT_FALSE(isMultiByteUtf8("\xF4\x90\x80\x80", 4));  // above U+10FFFF
    EXPECT_FALSE(isMultiByteUtf8("\xC3", 1));              // cut short
    EXPECT_FALSE(isMultiByteUtf8("\x84" "zitat\x93", 7));
}

TEST(Cp1252, BoxStringsUseCodePage1252WhenItHoldsTheText) {
    EXPECT_EQ(encodeBoxString(QStringLiteral("Grüße aus Köln")), QByteArray("Gr\xFC\xDF" "e aus K\xF6ln"));
    EXPECT_EQ(decodeBoxString(QByteArray("Gr\xFC\xDF" "e")), QStringLiteral("Grüße"));
}

TEST(Cp1252, TextCodePage1252CannotHoldIsWrittenAsUtf8AndReadBack) {
    for (const QString& text : {QString::fromUtf8("Ωmega"), QString::fromUtf8("Łódź ünd €"),
                                QString::fromUtf8("😀 Smiley"), QString::fromUtf8("日本")}) {
        const QByteArray bytes = encodeBoxString(text);
        EXPECT_EQ(bytes, text.toUtf8());
        bool utf8 = false;
        EXPECT_EQ(decodeBoxString(bytes, &utf8), text);
        EXPECT_TRUE(utf8);
    }
}

TEST(Cp1252, TextWhoseCodePage1252BytesLookLikeUtf8KeepsItsMeaning) {
    // "Ã¤" in code page 1252 is C3 A4, which reads as UTF-8 "ä".
    const QString text = QString::fromUtf8("Ã¤ und Gruß“");
    EXPECT_EQ(decodeBoxString(encodeBoxString(text)), text);
}

TEST(Cp1252, ZeroCharactersAreLeftOut) {
    const QString text = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_EQ(encodeBoxString(text), QByteArray("ab"));
}

TEST(SheetLayoutTypeName, LengthByteAndCharacters) {
    SheetLayout l = SheetLayout::startupLayout();
    EXPECT_EQ(l.TypeName[0], 21);
    EXPECT_EQ(l.typeNameText(), QStringLiteral("Kein Faltarillonentyp"));
    l.applyNewDocumentLayout();
    EXPECT_EQ(l.typeNameText(), QString());
    EXPECT_EQ(l.TypeName[1], 'K');
    // A damaged length byte never reads past the 21 characters.
    l.TypeName[0] = 200;
    EXPECT_EQ(l.typeNameText(), QStringLiteral("Kein Faltarillonentyp"));
}

TEST(SheetLayoutTypeName, LongNamesAreCutAtWholeCharacters) {
    SheetLayout l;
    l.setTypeNameText(QString::fromUtf8("ΩΩΩΩΩΩΩΩΩΩΩΩ"));   // 24 bytes in UTF-8
    EXPECT_EQ(l.TypeName[0], 20);
    EXPECT_EQ(l.typeNameText(), QString::fromUtf8("ΩΩΩΩΩΩΩΩΩΩ"));
}
