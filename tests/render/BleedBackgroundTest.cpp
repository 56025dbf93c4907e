// The background picture with a bleed: on the printed sheet it covers each
// copy's whole bleed outline (also left of the net and above its lid, beyond
// the box area), placed as for the box area, and nothing of it lies beyond
// that outline. The outline the pixels are held against is the cut file's.
#include "RenderTestUtil.h"

#include "image/DibHandle.h"
#include "model/PaperFormat.h"
#include "render/DrawVCart.h"
#include "render/ImageRenderer.h"
#include "sheet/CutSheet.h"
#include "sheet/SheetPlan.h"
#include "sheet/SheetRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <gtest/gtest.h>

namespace {

constexpr double MmPerInch = 25.39995;
constexpr int Dpi = 300;

const QRgb Red = rt::rgb(255, 0, 0), Green = rt::rgb(0, 160, 0), Blue = rt::rgb(0, 0, 255);
const QRgb Yellow = rt::rgb(255, 255, 0), Purple = rt::rgb(128, 0, 128);

// Blue inside, its outermost column and row each in a colour of their own:
// red left, yellow right, green top, purple bottom.
QImage framedPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Blue);
    for (int y = 0; y < h; ++y) {
        img.setPixel(0, y, Red);
        img.setPixel(w - 1, y, Yellow);
    }
    for (int x = 1; x < w - 1; ++x) {
        img.setPixel(x, 0, Green);
        img.setPixel(x, h - 1, Purple);
    }
    return img;
}

void setBackground(BoxDocument& doc, int mode, const QImage& picture) {
    doc.BackgroundMode = mode;
    doc.BackgroundFile = QStringLiteral("hintergrund.png");
    doc.BackgroundPicture = DibHandle(picture, 24);
}

SheetPlan a4Plan(const BoxDocument& doc, int percent, const SheetOptions& o) {
    return planSheet(doc.Layout, NetSource::of(doc, percent), o, pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), Dpi));
}

// Where a picture of w x h goes in the mode on the plan's item, whose box
// area is the whole item.
BackgroundPlacement placementOnItem(const SheetPlan& plan, int mode, int w, int h) {
    return backgroundPlacement(mode, w, h, BoxArea{0, 0, plan.item.width(), plan.item.height()}, false,
                               plan.item.width(), plan.item.height());
}

SheetOptions bleedOf(double mm) {
    SheetOptions o;
    o.bleed = true;
    o.bleedMm = mm;
    return o;
}

// The cut file's outlines in page pixels, each grown by distance pixels
// (negative: shrunk), filled white on black.
QImage outlineMask(const SheetPlan& plan, double distance) {
    QImage mask(plan.frame.printable.size(), QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter p(&mask);
    p.setPen(Qt::NoPen);
    for (const QPolygonF& cut : cutSheetFor(plan).cuts) {
        QPolygonF px;
        for (const QPointF& mm : cut)
            px << QPointF(mm.x() / MmPerInch * plan.frame.dpiX, mm.y() / MmPerInch * plan.frame.dpiY) -
                      QPointF(plan.frame.printable.topLeft());
        QPainterPath path;
        path.addPolygon(px);
        path.closeSubpath();
        QPainterPathStroker stroker;
        stroker.setWidth(2 * std::abs(distance));
        stroker.setJoinStyle(Qt::RoundJoin);
        QPainterPath band = stroker.createStroke(path);
        QPainterPath area = distance >= 0 ? path.united(band) : path.subtracted(band);
        p.setBrush(Qt::white);
        p.drawPath(area);
    }
    return mask;
}

// The allowed mask with the registration marks, which lie outside every copy.
QImage withMarks(QImage mask, const SheetPlan& plan) {
    QPainter p(&mask);
    for (const QRect& m : plan.marks) p.fillRect(m, Qt::white);
    return mask;
}

// Pixels of the print that are not white where the mask is black, and the
// mask's white pixels that the print leaves white.
struct Spill {
    int beyond = 0;
    int uncovered = 0;
};
Spill compare(const QImage& print, const QImage& allowed, const QImage& required) {
    Spill s;
    for (int y = 0; y < print.height(); ++y)
        for (int x = 0; x < print.width(); ++x) {
            const bool inked = rt::px(print, x, y) != rt::White;
            if (inked && rt::px(allowed, x, y) == rt::Black) ++s.beyond;
            if (!inked && rt::px(required, x, y) == rt::White) ++s.uncovered;
        }
    return s;
}

double px(double mm) { return mm / MmPerInch * Dpi; }

}  // namespace

TEST(BleedBackground, FillsEveryCopysBleedOutlineAndNothingBeyondIt) {
    struct Case {
        const char* name;
        int percent;
        SheetOptions options;
        double bleedMm;
    };
    SheetOptions marks = bleedOf(1);
    marks.bleed = false;   // 1 mm put in force by the copies and the marks
    marks.fill = true;
    marks.regMarks = true;
    const Case cases[] = {{"3 mm", 100, bleedOf(3), 3}, {"0 mm", 100, bleedOf(0), 0},
                          {"40 % as many as fit, marks", 40, marks, 1}};
    for (const int mode : {bgFit, bgTile}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (mode == bgFit ? " stretched" : " tiled"));
            auto doc = rt::document();
            setBackground(*doc, mode, framedPicture(300, 200));
            const SheetPlan plan = a4Plan(*doc, c.percent, c.options);
            const QImage print = renderSheetImage(*doc, plan, 96);
            ASSERT_FALSE(print.isNull());
            // A pixel's worth of slack either way for the pixels the clip
            // and the cut line's own pixel decide.
            const Spill s = compare(print, withMarks(outlineMask(plan, px(c.bleedMm) + 1.5), plan),
                                    outlineMask(plan, px(c.bleedMm) - 1.5));
            EXPECT_EQ(s.beyond, 0);
            EXPECT_EQ(s.uncovered, 0);
        }
    }
}

TEST(BleedBackground, StretchedPictureRepeatsItsEdgesIntoTheBleed) {
    auto doc = rt::document();
    setBackground(*doc, bgFit, framedPicture(300, 200));
    const SheetPlan plan = a4Plan(*doc, 40, bleedOf(5));
    const QImage print = renderSheetImage(*doc, plan, 96);
    const QPoint item = plan.itemOrigins[0];
    const int e = plan.net.e;
    // The net starts a pixel inside the box area: 4 mm left of face 1 lies
    // beyond the box area, in the picture's left column stretched outward.
    const QPoint face1 = item + QPoint(plan.net.L, plan.net.T + 3 * e / 2);
    EXPECT_LT(face1.x() - int(px(4)), item.x());
    EXPECT_EQ(rt::px(print, face1.x() - int(px(4)), face1.y()), Red);
    EXPECT_EQ(rt::px(print, face1.x() + e / 2, face1.y()), Blue);
    // Above the box area's top edge: the picture's top row.
    const QRect box = plan.placedBox(0);
    for (int x = box.left(); x <= box.right(); ++x)
        for (int y = box.top(); y < item.y(); ++y) {
            const QRgb c = rt::px(print, x, y);
            ASSERT_TRUE(c == rt::White || c == Green || (x < item.x() && c == Red)) << x << " " << y;
        }
}

TEST(BleedBackground, TilesGoOnTilingBeyondTheBoxArea) {
    auto doc = rt::document();
    // Wide tiles side by side: each the box area's height.
    QImage picture = framedPicture(60, 200);
    setBackground(*doc, bgTile, picture);
    const SheetPlan plan = a4Plan(*doc, 40, bleedOf(5));
    const QImage print = renderSheetImage(*doc, plan, 96);
    const BackgroundPlacement place = placementOnItem(plan, bgTile, 60, 200);
    ASSERT_GE(place.tiles.size(), 2u);
    const int step = place.tiles[1].left() - place.tiles[0].left();
    // Left of the box area the print repeats, a step further right, what it
    // shows inside: the pixel in the bleed band and its partner one tile on.
    const QPoint item = plan.itemOrigins[0];
    const int y = item.y() + plan.net.T + 3 * plan.net.e / 2;
    int compared = 0;
    for (int x = item.x() - int(px(4)); x < item.x(); ++x) {
        const QRgb outside = rt::px(print, x, y);
        if (outside == rt::White) continue;
        EXPECT_EQ(outside, rt::px(print, x + step, y)) << x;
        ++compared;
    }
    EXPECT_GT(compared, int(px(3)));
}

TEST(BleedBackground, CentredSmallerPictureShowsNothingBeyondItself) {
    auto doc = rt::document();
    setBackground(*doc, bgCenterSmaller, framedPicture(100, 300));
    const SheetPlan plan = a4Plan(*doc, 100, bleedOf(5));
    const QImage print = renderSheetImage(*doc, plan, 96);
    const BackgroundPlacement place = placementOnItem(plan, bgCenterSmaller, 100, 300);
    ASSERT_EQ(place.tiles.size(), 1u);
    const QRect picture = place.tiles[0].translated(plan.itemOrigins[0]);
    // Only the dotted net inks the paper outside the picture.
    for (int y = 0; y < print.height(); y += 2)
        for (int x = 0; x < print.width(); x += 2) {
            if (picture.contains(x, y)) continue;
            const QRgb c = rt::px(print, x, y);
            ASSERT_TRUE(c == rt::White || c == rt::Black) << x << " " << y;
        }
}

TEST(BackgroundPlacement, CoverAreaCarriesThePlacementOnInTheOutputOnly) {
    const BoxArea area{0, 0, 1000, 700};
    const QRect cover(-60, -40, 1130, 790);
    // Stretched: the picture keeps its rectangle; eight bands around it
    // reach the cover area's edges, each from the picture's edge pixels.
    const auto fit = backgroundPlacement(bgFit, 50, 40, area, false, 1000, 700, cover);
    ASSERT_EQ(fit.tiles.size(), 1u);
    EXPECT_EQ(fit.tiles[0], QRect(0, 0, 1001, 701));
    ASSERT_EQ(fit.edges.size(), 8u);
    QRegion covered(fit.tiles[0]);
    for (const BackgroundEdge& e : fit.edges) {
        EXPECT_TRUE((e.source.width() == 1 && (e.source.left() == 0 || e.source.left() == 49)) ||
                    (e.source.width() == 50 && e.source.left() == 0));
        EXPECT_TRUE((e.source.height() == 1 && (e.source.top() == 0 || e.source.top() == 39)) ||
                    (e.source.height() == 40 && e.source.top() == 0));
        EXPECT_FALSE(covered.intersects(e.dest));
        covered += e.dest;
    }
    EXPECT_EQ(covered, QRegion(cover.united(fit.tiles[0])));
    // Tiles: the clip is the cover area and the tiles cover it whole,
    // those of the box area among them.
    const auto plain = backgroundPlacement(bgTile, 100, 400, area, false, 1000, 700);
    const auto tiled = backgroundPlacement(bgTile, 100, 400, area, false, 1000, 700, cover);
    EXPECT_EQ(tiled.clip, cover);
    QRegion tiles;
    for (const QRect& t : tiled.tiles) tiles += t;
    EXPECT_TRUE(tiles.contains(cover));
    for (const QRect& t : plain.tiles) EXPECT_NE(std::find(tiled.tiles.begin(), tiled.tiles.end(), t), tiled.tiles.end());
    // Centred pictures and the editor are placed as without it.
    for (int mode : {bgCenterSmaller, bgCenterLarger}) {
        const auto a = backgroundPlacement(mode, 100, 400, area, false, 1000, 700);
        const auto b = backgroundPlacement(mode, 100, 400, area, false, 1000, 700, cover);
        EXPECT_EQ(a.tiles, b.tiles);
        EXPECT_TRUE(b.edges.empty());
        EXPECT_EQ(a.clipped, b.clipped);
    }
    EXPECT_TRUE(backgroundPlacement(bgFit, 50, 40, area, true, 1000, 700, cover).edges.empty());
    // A cover area absurdly larger than a pixel-thin tile makes no tiles
    // beyond the bound rather than billions.
    const auto thin = backgroundPlacement(bgTile, 1000, 2, area, false, 1000, 700, QRect(-1e9, -1e9, 2e9, 2e9));
    EXPECT_LE(thin.tiles.size(), 1000u);
}
