#include "base/Cp1252.h"
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

TEST(Cp1252, BoxStringsUseCodePage1252WhenItHoldsTheText) {
    EXPECT_EQ(encodeBoxString(QStringLiteral("Grüße aus Köln")), QByteArray("Gr\xFC\xDF" "e aus K\xF6ln"));
    EXPECT_EQ(decodeBoxString(QByteArray("Gr\xFC\xDF" "e")), QStringLiteral("Grüße"));
}

TEST(Cp1252, TextCodePage1252CannotHoldIsWrittenAsUtf8AndReadBack) {
    for (const QString& text : {QString::fromUtf8("Ωmega"), QString::fromUtf8("Łódź ünd €"),
                                QString::fromUtf8("😀 Smiley"), QString::fromUtf8("日本")}) {
        const QByteArray bytes = encodeBoxString(text);
        EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        bool utf8 = false;
        EXPECT_EQ(decodeBoxString(bytes, &utf8), text);
        EXPECT_TRUE(utf8);
    }
}

// Only a string that starts with the byte-order mark is UTF-8: valid
// code-page text that happens to be valid UTF-8 too keeps its meaning.
TEST(Cp1252, CodePageBytesThatAreValidUtf8AreReadAsCodePage) {
    bool utf8 = true;
    EXPECT_EQ(decodeBoxString(QByteArray("\x47\x72\x75\xDF\x94"), &utf8), QString::fromUtf8("Gruß”"));
    EXPECT_FALSE(utf8);
    EXPECT_EQ(decodeBoxString(QByteArray("\xC3\xA4")), QString::fromUtf8("Ã¤"));
    EXPECT_EQ(encodeBoxString(QString::fromUtf8("Ã¤")), QByteArray("\xC3\xA4"));
    EXPECT_EQ(encodeBoxString(QString::fromUtf8("Gruß”")), QByteArray("\x47\x72\x75\xDF\x94"));
    EXPECT_EQ(decodeBoxString(QByteArray("\xEF\xBB\xBF\xC3\xA4"), &utf8), QString::fromUtf8("ä"));
    EXPECT_TRUE(utf8);
}

TEST(Cp1252, CodePageTextStartingLikeTheMarkCarriesTheMark) {
    const QString text = QString::fromUtf8("ï»¿Anfang");
    const QByteArray bytes = encodeBoxString(text);
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    EXPECT_EQ(decodeBoxString(bytes), text);
    // The mark alone is an empty UTF-8 string.
    EXPECT_EQ(decodeBoxString(QByteArray("\xEF\xBB\xBF")), QString());
}

TEST(Cp1252, TextBeginningWithByteOrderMarksKeepsThemOverSaves) {
    // Found by the box-file fuzzer: the marks after ours were dropped one a save.
    const QByteArray stored("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBFOOO");
    const QString text = decodeBoxString(stored);
    EXPECT_EQ(text, QString(QChar(0xFEFF)) + QChar(0xFEFF) + QStringLiteral("OOO"));
    EXPECT_EQ(encodeBoxString(text), stored);
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
    l.setTypeNameText(QString::fromUtf8("ΩΩΩΩΩΩΩΩΩΩΩΩ"));   // 3 + 24 bytes in UTF-8
    EXPECT_EQ(l.TypeName[0], 21);
    EXPECT_EQ(l.typeNameText(), QString::fromUtf8("ΩΩΩΩΩΩΩΩΩ"));
}
