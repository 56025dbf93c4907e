// The outlined text made from one rendering against the plain way, the
// 4d^2 copies: the dilation against its formula on made-up masks, whole
// texts in every turn, alignment and style, texts whose glyphs reach far
// past their places or past their rectangle, clips, and the sheet in bands
// of odd heights on 1, 2 and 3 threads.

#include "RenderTestUtil.h"
#include "TextCanvas.h"
#include "render/SheetRenderParams.h"

#include "image/RenderThreads.h"
#include "render/DrawVCart.h"
#include "render/fast/OutlineMask.h"
#include "sheet/SheetRenderer.h"
#include "render/TextRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>
#include <cmath>
#include <random>

namespace {

struct MaskSwitch {
    explicit MaskSwitch(bool on) : was(outlineFromMaskEnabled()) { setOutlineFromMask(on); }
    ~MaskSwitch() { setOutlineFromMask(was); }
    bool was;
};

// Coverage at p of the copies by the formula, in doubles: 1 - prod(1 - a).
int expectedCoverage(const QImage& mask, QPoint origin, int d, QPoint p) {
    double keep = 1;
    bool full = false;
    for (int dy = -d; dy <= d; ++dy)
        for (int dx = -d; dx <= d; ++dx) {
            const QPoint s = p - QPoint(dx, dy) - origin;
            if (!dx || !dy || !mask.rect().contains(s)) continue;
            const int a = qAlpha(mask.pixel(s));
            full = full || a == 255;
            keep *= 1 - a / 255.0;
        }
    return full ? 255 : int(std::lround(255 * (1 - keep)));
}

struct Sample {
    const char* face;
    int style, rotation, alignment, shadow;
    QString content;
    int w, h;
};

// The text alone in an editor-sized or a 600-dpi canvas, the outline from
// the mask or from the copies.
QImage drawn(const Sample& c, bool print, bool aliased, bool fromMask, const QPainterPath& clip = QPainterPath()) {
    auto doc = rt::document();
    Tobs& t = rt::place(*doc, 1, Text, 600, 450, c.w, c.h);
    t.Content = c.content;
    t.FontName = QString::fromLatin1(c.face);
    t.FontSize = 16;
    t.FontStyle = std::uint8_t(c.style);
    t.Color = 0xF0F8FF;
    t.Outline = 1;
    t.BorderOrOutlineColor = 0x0000C0;   // red: colour references are 0xBBGGRR
    t.Rotation = c.rotation;
    t.Alignment = c.alignment;
    t.Shadow = std::uint8_t(c.shadow);
    t.ShadowDx = t.ShadowDy = 6;
    t.FillModeOrShadowColor = 0x808080;
    const MaskSwitch sw(fromMask);
    rt::TextCanvas tc = rt::textCanvas(*doc, print, aliased, 2100);
    QPainter painter(&tc.image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!clip.isEmpty()) painter.setClipPath(clip);
    EXPECT_TRUE(DrawVCart(painter, *doc, tc.params));
    painter.end();
    return tc.image;
}

std::string named(const Sample& c, bool print, bool aliased) {
    return QStringLiteral("%1 style %2 rotation %3 alignment %4 shadow %5 '%6' %7 %8")
        .arg(c.face)
        .arg(c.style)
        .arg(c.rotation)
        .arg(c.alignment)
        .arg(c.shadow)
        .arg(c.content, print ? "600 dpi" : "screen", aliased ? "aliased" : "antialiased")
        .toStdString();
}

// The outline colour (0xC0, 0, 0), partly covered or not.
bool reddish(QRgb c) { return qRed(c) > 100 && qGreen(c) < 100 && qBlue(c) < 100; }

// Stacked accents reach far above the line's ascent, where the mask around
// the glyphs' places does not; an overflowing text is cut by its rectangle.
const QString kStacked = QStringLiteral("A\u0301\u0301\u0301\u0301\u0301 o\u0308\u0308\u0308\u0308");
const QString kLong = QStringLiteral("Eine Zeile, viel zu lang für ihr Feld\rund noch eine\rund noch eine");

}  // namespace

TEST(OutlineMask, DilationIsTheFormulaOverTheCopies) {
    std::mt19937 rng(9);
    for (int d : {1, 2, 3, 4, 7}) {
        for (const bool binary : {true, false}) {
            QImage mask(37, 23, QImage::Format_ARGB32_Premultiplied);
            mask.fill(0);
            // Blobs of full coverage with soft or hard edges, and a lone dot.
            for (int k = 0; k < 6; ++k) {
                const int cx = int(rng() % 37), cy = int(rng() % 23), r = 1 + int(rng() % 4);
                for (int y = 0; y < 23; ++y)
                    for (int x = 0; x < 37; ++x) {
                        const double e = std::hypot(x - cx, y - cy) - r;
                        const int a = binary ? (e < 0 ? 255 : 0) : int(std::clamp(0.5 - e / 2, 0.0, 1.0) * 255);
                        if (a > qAlpha(mask.pixel(x, y))) mask.setPixel(x, y, qRgba(0, 0, 0, a));
                    }
            }
            mask.setPixel(36, 0, qRgba(0, 0, 0, binary ? 255 : 1));
            const QPoint origin(5, -3);
            // dest cuts the grown mask on the left and the bottom.
            const QRect dest(3, -10, 60, 20);
            const OutlineCoverage c = dilatedCoverage(mask, origin, d, dest);
            ASSERT_FALSE(c.alpha.isNull());
            const QRect area(c.origin, c.alpha.size());
            EXPECT_TRUE(dest.contains(area)) << d;
            for (int y = dest.top(); y <= dest.bottom(); ++y)
                for (int x = dest.left(); x <= dest.right(); ++x) {
                    const int want = expectedCoverage(mask, origin, d, QPoint(x, y));
                    const int got = area.contains(x, y) ? c.alpha.constScanLine(y - area.top())[x - area.left()] : 0;
                    if (binary)
                        ASSERT_EQ(got, want) << "d " << d << " at " << x << "," << y;
                    else
                        ASSERT_LE(std::abs(got - want), 1) << "d " << d << " at " << x << "," << y;
                }
        }
    }
    // Nothing inked, nothing reaching dest, no shift: nothing to draw.
    QImage clear(10, 10, QImage::Format_ARGB32_Premultiplied);
    clear.fill(0);
    EXPECT_TRUE(dilatedCoverage(clear, QPoint(0, 0), 2, QRect(0, 0, 10, 10)).alpha.isNull());
    clear.setPixel(5, 5, qRgba(0, 0, 0, 255));
    EXPECT_TRUE(dilatedCoverage(clear, QPoint(0, 0), 2, QRect(20, 20, 10, 10)).alpha.isNull());
    EXPECT_TRUE(dilatedCoverage(clear, QPoint(0, 0), 0, QRect(0, 0, 10, 10)).alpha.isNull());
}

// Each of the copies' up to 64 blends rounds to 8 bits, where the one
// rendering blends once with the exact product (within a level, see
// above): so antialiased edges differ by a few levels, more where more
// copies overlap there.
constexpr int kScreenLevels = 4, kPrintLevels = 10;

// Aliased glyphs give exactly the copies' pixels, antialiased ones differ by
// a few levels per channel at most, whatever the text: alignment (the mask
// follows the glyphs' places), style, shadow, turn, glyphs far past their
// places, a text cut by its rectangle.
TEST(OutlineMask, TextsMatchTheCopiesInEveryLayout) {
    std::vector<Sample> screen;
    const char* faces[] = {"Arial", "Times New Roman", "Courier New"};
    for (int rotation = 0; rotation < 4; ++rotation)
        for (int alignment = 0; alignment < 3; ++alignment)
            screen.push_back({faces[(rotation + alignment) % 3], (rotation * 3 + alignment) % 16, rotation, alignment,
                              alignment % 2, QStringLiteral("Kurz\rAusgerichtet & größer"), 170, 60});
    screen.push_back({"Arial", 0, 0, 1, 0, kStacked, 170, 80});
    screen.push_back({"Times New Roman", 2, 2, 0, 0, kStacked, 170, 80});
    screen.push_back({"Courier New", 12, 0, 2, 1, kLong, 90, 30});
    const std::vector<Sample> print = {{"Times New Roman", 2, 0, 2, 1, QStringLiteral("Rechts\rbündig"), 120, 60},
                                     {"Arial", 9, 3, 0, 0, QStringLiteral("Gedreht"), 120, 60},
                                     {"Arial", 0, 0, 1, 0, kStacked, 120, 60},
                                     {"Courier New", 0, 0, 0, 0, kLong, 60, 25}};
    for (const bool aliased : {true, false})
        for (const bool atPrint : {false, true})
            for (const Sample& c : atPrint ? print : screen) {
                const QImage copies = drawn(c, atPrint, aliased, false), dilated = drawn(c, atPrint, aliased, true);
                int differing = 0;
                const int worst = rt::maxChannelDifference(copies, dilated, &differing);
                EXPECT_LE(worst, aliased ? 0 : atPrint ? kPrintLevels : kScreenLevels)
                    << named(c, atPrint, aliased) << ", " << differing << " pixels";
                // The outline is there at all.
                EXPECT_FALSE(rt::boundsWhere(copies, reddish).isNull()) << named(c, atPrint, aliased);
            }
}

// A clip that cuts pixels partly (the bleed's outline) is met by every copy
// on its own, so there the outline is the copies'; a clip of whole pixels
// (a band's rows) cuts the one rendering just as it cuts the copies.
TEST(OutlineMask, ClipsCutTheOutlineAsTheyCutTheCopies) {
    const Sample c{"Arial", 1, 0, 0, 0, QStringLiteral("Geschnitten\rvom Rand"), 170, 60};
    QPainterPath smooth;
    smooth.addEllipse(QRectF(520.5, 380.25, 170, 110));
    QPainterPath rows;
    rows.addRect(QRectF(0, 465, 1646, 19));
    for (const bool whole : {false, true}) {
        const QPainterPath& clip = whole ? rows : smooth;
        const QImage copies = drawn(c, false, false, false, clip), dilated = drawn(c, false, false, true, clip);
        EXPECT_FALSE(rt::boundsWhere(copies, reddish).isNull());
        EXPECT_LE(rt::maxChannelDifference(copies, dilated), whole ? kScreenLevels : 0) << (whole ? "rows" : "ellipse");
    }
}

// At 600 dpi in bands of 37 rows (every text crosses several band edges)
// on 1, 2 and 3 threads: the pixels of one pass over all rows.
TEST(OutlineMask, SheetBandsOnOneTwoAndThreeThreadsMatchOnePass) {
    auto doc = rt::document();
    for (int i = 0; i < 4; ++i) {
        Tobs& t = rt::place(*doc, 1 + i, Text, 560 + i * 110, 430 + (i % 2) * 25, 100, 45);
        t.Content = QStringLiteral("Band %1\rüber Kanten").arg(i);
        t.FontName = QStringLiteral("Times New Roman");
        t.FontSize = 14;
        t.Color = 0xFFFFFF;
        t.Outline = 1;
        t.BorderOrOutlineColor = 0x102030;
        t.Rotation = i;
        t.Alignment = i % 3;
        t.Shadow = std::uint8_t(i % 2);
        t.ShadowDx = t.ShadowDy = 10;
        t.FillModeOrShadowColor = 0xA0A0A0;
    }
    // The page rows that hold the texts, and some more.
    const RenderParams params = sheetRenderParams(doc->Layout, NetSource::cube(100), 600, 600, printFontFactor(600, 96));
    const int top = deviceRect(doc->Objects[1], params).Y - 400, width = 7017, height = 1200;
    auto onePass = [&](bool fromMask) {
        const MaskSwitch sw(fromMask);
        QImage img(width, height, QImage::Format_RGB32);
        EXPECT_TRUE(drawSheetBand(img, *doc, 100, 600, 600, top, 96));
        return img;
    };
    const QImage plain = onePass(true);
    ASSERT_FALSE(rt::boundsOf(plain, rt::rgb(0x30, 0x20, 0x10)).isNull());
    EXPECT_LE(rt::maxChannelDifference(plain, onePass(false)), kPrintLevels) << "against the copies";
    const int bandRows = 37;
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride forced(threads);
        QImage banded(width, height, QImage::Format_RGB32);
        banded.fill(Qt::white);
        // Each band paints on its own view of the rows, as the sheet's bands do.
        uchar* const bits = banded.bits();
        parallelFor((height + bandRows - 1) / bandRows, [&](int k) {
            QImage view(bits, width, height, banded.bytesPerLine(), QImage::Format_RGB32);
            const QRect rows(0, k * bandRows, width, std::min(bandRows, height - k * bandRows));
            EXPECT_TRUE(drawSheetRows(view, rows, *doc, 100, 600, 600, top, 96));
        });
        int differing = 0;
        EXPECT_EQ(rt::maxChannelDifference(banded, plain, &differing), 0) << threads << " threads, " << differing << " pixels";
    }
}
