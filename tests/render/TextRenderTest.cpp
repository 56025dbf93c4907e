#include "RenderTestUtil.h"

#include "render/DrawVCart.h"
#include "render/TextRenderer.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage renderText(BoxDocument& doc, int w = 400, int h = 300, bool aliased = false) {
    QImage img = rt::canvas(w, h);
    QPainter p(&img);
    RenderParams params;
    params.AreaWidth = 5000;
    params.AreaHeight = 5000;
    params.mapping = Mapping::screen(1.0, 416);
    params.EditorView = true;   // the net lies far off this canvas
    params.CanvasDpi = 96;
    params.FontPpi = 96;
    params.AliasedText = aliased;
    DrawVCart(p, doc, params);
    return img;
}

Tobs& text(BoxDocument& doc, int slot, const QString& content, int x, int y, int w, int h, int size = 80) {
    Tobs& o = rt::place(doc, slot, Text, x, y, w, h);
    o.Content = content;
    o.FontName = QStringLiteral("Arial");
    o.FontSize = size;   // 40 pixels high in the editor at Zoom 1.0
    o.Color = 0x000000;
    return o;
}

}  // namespace

TEST(TextFont, HeightsOnScreenPreviewAndPrinter) {
    EXPECT_EQ(textPixelHeight(10, 1.0 / 416, 1.0, 96, 96), 5);
    EXPECT_EQ(textPixelHeight(10, 35.0 / 20000, 1.0, 96, 96), 3);
    EXPECT_EQ(textPixelHeight(10, 600.0 / 20000, (600.0 / 96) * (600.0 / 96), 600, 96), 62);
    EXPECT_EQ(shadowPixels(5, 1.0 / 416), 0);
    EXPECT_EQ(shadowPixels(5, 0.03), 11);
    EXPECT_EQ(outlinePixels(1.0 / 416), 1);
    EXPECT_EQ(outlinePixels(0.03), 4);
}

TEST(TextFont, StyleBits) {
    Tobs o;
    o.FontName = QStringLiteral("Arial");
    o.FontStyle = fsBold | fsItalic;
    QFont f = textFont(o, 20);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.underline());
    EXPECT_FALSE(f.strikeOut());
    EXPECT_EQ(f.pixelSize(), 20);
    o.FontStyle = fsUnderline | fsStrikeOut;
    f = textFont(o, 0);
    EXPECT_EQ(f.weight(), QFont::Normal);
    EXPECT_TRUE(f.underline());
    EXPECT_TRUE(f.strikeOut());
    EXPECT_EQ(f.pixelSize(), 1);
}

TEST(TextRender, TwoLinesLeftAlignedInsideTheRectangle) {
    auto doc = rt::document();
    text(*doc, 1, QStringLiteral("A\rB"), 50, 20, 300, 200);
    const QImage img = renderText(*doc);
    const QRect all = rt::boundsNot(img, rt::White);
    ASSERT_FALSE(all.isNull());
    EXPECT_GE(all.left(), 50);
    EXPECT_LE(all.left(), 55);
    EXPECT_GE(all.top(), 20);
    // Two lines: ink in two separate bands, B's band below A's.
    const QRect top = rt::boundsNot(img.copy(0, 0, 400, all.top() + 40), rt::White);
    EXPECT_GT(all.height(), 60);
    EXPECT_LT(top.width(), 40);
}

TEST(TextRender, AlignmentCentreRightAndInvalidLeft) {
    int lefts[3];
    for (int a : {1, 2, 5}) {
        auto doc = rt::document();
        text(*doc, 1, QStringLiteral("W"), 0, 0, 300, 100).Alignment = a;
        const QRect ink = rt::boundsNot(renderText(*doc), rt::White);
        ASSERT_FALSE(ink.isNull());
        lefts[a == 5 ? 0 : a] = ink.left();
        if (a == 2) EXPECT_GE(ink.right(), 290);
        if (a == 1) EXPECT_NEAR(ink.center().x(), 150, 6);
    }
    EXPECT_LT(lefts[0], 5);
}

TEST(TextRender, LongWordIsBrokenAndClippedWhenUnturnedButFullWhenTurned) {
    const QString word = QStringLiteral("Donaudampfschifffahrt");
    auto doc = rt::document();
    text(*doc, 1, word, 10, 10, 100, 70, 60);
    const QImage img = renderText(*doc);
    const QRect ink = rt::boundsNot(img, rt::White);
    EXPECT_TRUE(QRect(10, 10, 100, 70).contains(ink));
    EXPECT_GT(ink.height(), 30);   // broken onto a second line, cut at the bottom

    auto turned = rt::document();
    Tobs& o = text(*turned, 1, word, 200, 10, 100, 70, 60);
    o.Rotation = 1;
    const QImage timg = renderText(*turned, 400, 800);
    const QRect tink = rt::boundsNot(timg, rt::White);
    EXPECT_GT(tink.height(), 200);   // runs downward past the rectangle
    // Turned clockwise from (X, Y): the letters stand inside, right of the
    // baseline on the left edge.
    EXPECT_GE(tink.left(), 190);
    EXPECT_GT(tink.right(), 215);
}

TEST(TextRender, TurnedTextBecomesOneLineFromItsAnchor) {
    EXPECT_EQ(turnedTextLine(QStringLiteral("A\rB")), QStringLiteral("A B"));
    EXPECT_EQ(turnedTextLine(QStringLiteral("A\r\rB")), QStringLiteral("A  B"));
    for (int rot : {1, 2, 3}) {
        auto doc = rt::document();
        Tobs& o = text(*doc, 1, QStringLiteral("Hallo Welt"), 150, 150, 100, 60, 40);
        o.Rotation = rot;
        const QRect ink = rt::boundsNot(renderText(*doc, 500, 500), rt::White);
        ASSERT_FALSE(ink.isNull()) << rot;
        if (rot == 1) {   // downward from (150, 150)
            EXPECT_NEAR(ink.top(), 150, 4);
            EXPECT_GE(ink.left(), 144);
            EXPECT_GT(ink.right(), 160);
            EXPECT_GT(ink.height(), ink.width());
        } else if (rot == 2) {   // leftward and upside down from (250, 150)
            EXPECT_NEAR(ink.right(), 250, 4);
            EXPECT_GE(ink.top(), 148);
            EXPECT_GT(ink.width(), ink.height());
        } else {   // upward from (250, 210)
            EXPECT_NEAR(ink.bottom(), 210, 4);
            EXPECT_LE(ink.right(), 256);
            EXPECT_LT(ink.left(), 240);
            EXPECT_GT(ink.height(), ink.width());
        }
    }
}

TEST(TextRender, OutlineCopiesOnlyAtDiagonals) {
    auto doc = rt::document();
    Tobs& o = text(*doc, 1, QStringLiteral("Hl"), 100, 100, 200, 100);
    const QImage plain = renderText(*doc, 400, 300, true);
    o.Outline = 1;
    o.BorderOrOutlineColor = 0x0000FF;
    const QImage outlined = renderText(*doc, 400, 300, true);
    // On screen d = 1: four copies at (+-1, +-1), none straight beside.
    auto ink = [&](int x, int y) { return rt::px(plain, x, y) != rt::White; };
    int mismatches = 0, outlinePixels = 0;
    for (int y = 1; y < plain.height() - 1; ++y)
        for (int x = 1; x < plain.width() - 1; ++x) {
            const bool diag = ink(x - 1, y - 1) || ink(x + 1, y - 1) || ink(x - 1, y + 1) || ink(x + 1, y + 1);
            const QRgb c = rt::px(outlined, x, y);
            const QRgb expected = ink(x, y) ? rt::Black : diag ? rt::rgb(255, 0, 0) : rt::White;
            if (c != expected) ++mismatches;
            if (c == rt::rgb(255, 0, 0)) ++outlinePixels;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(outlinePixels, 20);
}

TEST(TextRender, ShadowAtZeroDistanceLiesUnderTheText) {
    auto doc = rt::document();
    Tobs& o = text(*doc, 1, QStringLiteral("Schatten"), 20, 20, 300, 100);
    const QImage plain = renderText(*doc, 400, 300, true);
    o.Shadow = 1;
    o.ShadowDx = 0;
    o.ShadowDy = 0;
    o.FillModeOrShadowColor = 0x0000FF;
    EXPECT_EQ(renderText(*doc, 400, 300, true), plain);
    o.ShadowDx = 100;   // 10 mm: 18 pixels in the editor
    o.ShadowDy = 100;
    const QImage shifted = renderText(*doc, 400, 300, true);
    const QRect red = rt::boundsOf(shifted, rt::rgb(255, 0, 0));
    const QRect black = rt::boundsOf(shifted, rt::Black);
    EXPECT_EQ(red.right() - black.right(), 18);
    EXPECT_EQ(red.bottom() - black.bottom(), 18);
}

TEST(TextRender, EmptyContentDrawsNothing) {
    auto doc = rt::document();
    Tobs& o = text(*doc, 1, QString(), 20, 20, 300, 100);
    o.Outline = 1;
    o.Shadow = 1;
    o.FontStyle = fsUnderline;
    EXPECT_TRUE(rt::boundsNot(renderText(*doc), rt::White).isNull());
}

// Letter spacing at editor sizes: the width of a long line grows in proportion
// to the font size (as its design metrics say), not by whole pixels per
// glyph, which left gaps inside words ("Zen triert").
TEST(TextRender, LineWidthFollowsTheFontSizeEvenlyAtEditorSizes) {
    const QString line = QStringLiteral("Zentriert Rechts Falten Zentriert Rechts");
    auto inkWidth = [&](int pixels) {
        auto doc = rt::document();
        text(*doc, 1, line, 10, 10, 2900, 200, 2 * pixels);   // FontSize 2p is p pixels high
        const QRect ink = rt::boundsWhere(renderText(*doc, 3000, 250), [](QRgb c) { return qGray(c) < 128; });
        return ink.width();
    };
    const double perPixel = inkWidth(120) / 120.0;
    for (int pixels = 9; pixels <= 30; ++pixels)
        EXPECT_NEAR(inkWidth(pixels), perPixel * pixels, 1.5) << pixels << " pixels";
}

// Text is smoothed; the figures beside it keep their exact, two-coloured
// pixels, and aliased text (for exact checks) has no mixed pixels either.
TEST(TextRender, TextIsSmoothedWhileFiguresStayAliased) {
    auto doc = rt::document();
    text(*doc, 1, QStringLiteral("Falten"), 20, 20, 300, 100);
    Tobs& fig = rt::place(*doc, 2, Figure, 20, 150, 120, 80);
    fig.Shape = 0;   // circle
    fig.Color = 0x000000;
    const QImage img = renderText(*doc);
    auto greys = [&](const QRect& area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb c = rt::px(img, x, y);
                if (c != rt::White && c != rt::Black) ++n;
            }
        return n;
    };
    EXPECT_GT(greys(QRect(0, 0, 400, 140)), 20);
    EXPECT_EQ(greys(QRect(0, 145, 400, 155)), 0);
    const QImage aliased = renderText(*doc, 400, 300, true);
    int aliasedGreys = 0;
    for (int y = 0; y < 140; ++y)
        for (int x = 0; x < 400; ++x)
            if (rt::px(aliased, x, y) != rt::White && rt::px(aliased, x, y) != rt::Black) ++aliasedGreys;
    EXPECT_EQ(aliasedGreys, 0);
}
