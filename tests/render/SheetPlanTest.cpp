// The printed sheet's layout: how many copies fit, where they and the
// registration marks lie on the 600-dpi print, and that no copy's design
// leaves its bleed outline. Expected numbers come from the paper in
// millimetres and the net's description, not from the plan.
#include "RenderTestUtil.h"

#include "model/PaperFormat.h"
#include "sheet/CutSheet.h"
#include "sheet/SheetPlan.h"
#include "sheet/SheetRenderer.h"

#include <QPageLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <gtest/gtest.h>

namespace {

constexpr double MmPerInch = 25.39995;
constexpr int Dpi = 600;

double pxToMm(double px) { return px * MmPerInch / Dpi; }

// The net's tight size in pixels at Dpi for an item height and percent: the
// box area loses a fifteenth, the rest is three edges; the net spans 4e +
// e/7 across and from the lid tabs (e/2 - e/5 - e/8 - e/10 below the top)
// down to the bottom flap (3e + e/7), both ends' pixels included.
QSize netPixels(double itemWidthMm, double itemHeightMm, int percent) {
    Q_UNUSED(itemWidthMm);
    const int hb = static_cast<int>(std::trunc(itemHeightMm / MmPerInch * Dpi));
    const int h = hb - (hb / 3) / 5;
    const int e = static_cast<int>(std::trunc(static_cast<long double>(percent) * h / 100)) / 3;
    const int width = 4 * e + e / 7 + 1;
    const int top = e / 2 - e / 5 - e / 8 - e / 10;
    const int height = 3 * e + e / 7 - top + 1;
    return QSize(width, height);
}

// The PDF printer's page in millimetres: the paper as its format defines it
// (a real sheet, not the page's whole points or pixels) and its 10 pt margins.
struct PaperMm {
    double width, height, margin;
};
PaperMm pdfPaper(PaperFormat paper) {
    const QSizeF portrait = QPageSize(pageSizeIdOf(paper)).size(QPageSize::Millimeter);
    return PaperMm{portrait.height(), portrait.width(), 10.0 / 72 * 25.4};
}

struct Usable {
    double left, top, right, bottom;   // paper millimetres
    double width() const { return right - left; }
    double height() const { return bottom - top; }
};
Usable usableMm(const PaperMm& p, bool marks, double inset) {
    Usable u{p.margin, p.margin, p.width - p.margin, p.height - p.margin};
    if (marks) {
        const double c = inset + 6;
        u = Usable{std::max(u.left, c), std::max(u.top, c), std::min(u.right, p.width - c),
                   std::min(u.bottom, p.height - c)};
    }
    return u;
}

// A bleed (1 mm unless said), as many copies as fit, registration marks
// (unless off) at an inset (the default unless given).
SheetOptions bleedAndMarks(double bleedMm = 1, bool marks = true, double markInsetMm = SheetOptions().markInsetMm) {
    SheetOptions o;
    o.bleed = true;
    o.bleedMm = bleedMm;
    o.fill = true;
    o.regMarks = marks;
    o.markInsetMm = markInsetMm;
    return o;
}

SheetPlan pdfPlan(const BoxDocument& doc, PaperFormat paper, int percent, const SheetOptions& o) {
    return planSheet(doc.Layout, NetSource::of(doc, percent), o, pageFrameOf(pdfPrinterPageLayout(paper), Dpi));
}

// Runs of columns (or rows) that hold any non-white pixel inside area,
// split where at least minGap empty ones lie between.
std::vector<std::pair<int, int>> runs(const QImage& img, const QRect& area, bool across, int minGap) {
    std::vector<bool> used(across ? img.width() : img.height(), false);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (rt::px(img, x, y) != rt::White) used[across ? x : y] = true;
    std::vector<std::pair<int, int>> out;
    int gap = minGap;
    for (int i = 0; i < static_cast<int>(used.size()); ++i) {
        if (!used[i]) {
            ++gap;
            continue;
        }
        if (gap >= minGap) out.push_back({i, i});
        out.back().second = i;
        gap = 0;
    }
    return out;
}

}  // namespace

TEST(SheetPlan, A4At40PercentWithBleedAndMarksHoldsTwoByTwo) {
    auto doc = rt::document();
    const SheetOptions o = bleedAndMarks();
    const SheetPlan plan = pdfPlan(*doc, PaperFormat::A4, 40, o);
    EXPECT_EQ(plan.frame.printable.size(), QSize(6851, 4792));   // 290 x 202.9 mm
    EXPECT_NEAR(pxToMm(plan.frame.printable.width()), 290.0, 0.05);
    EXPECT_NEAR(pxToMm(plan.frame.printable.height()), 202.9, 0.05);
    EXPECT_EQ(plan.columns, 2);
    EXPECT_EQ(plan.rows, 2);
    EXPECT_EQ(plan.copies(), 4);
    EXPECT_TRUE(plan.fits());
}

TEST(SheetPlan, CopiesPerSheetFollowTheFormulaForEveryPaperSizeAndOption) {
    int checked = 0;
    for (PaperFormat paper : {PaperFormat::A4, PaperFormat::A3, PaperFormat::Letter}) {
        auto doc = rt::document();
        applyPaperLayout(doc->Layout, paper);
        const PaperMm p = pdfPaper(paper);
        for (int percent = 10; percent <= 100; percent += 10)
            for (double bleed : {0.0, 1.0, 2.5, 5.0})
                for (bool marks : {false, true})
                    for (double inset : {10.0, 15.9, 20.0}) {
                        if (!marks && inset != 10.0) continue;
                        const SheetOptions o = bleedAndMarks(bleed, marks, inset);
                        const SheetPlan plan = pdfPlan(*doc, paper, percent, o);
                        const QSize net = netPixels(doc->Layout.ItemWidth, doc->Layout.ItemHeight, percent);
                        const Usable u = usableMm(p, marks, inset);
                        const double w = pxToMm(net.width()), h = pxToMm(net.height());
                        const int cols = std::max(1, static_cast<int>(std::floor((u.width() + 5) / (w + 2 * bleed + 5))));
                        const int rows =
                            std::max(1, static_cast<int>(std::floor((u.height() + 5) / (h + 2 * bleed + 5))));
                        SCOPED_TRACE(paperName(paper).toStdString() + " " + std::to_string(percent) + "% bleed " +
                                     std::to_string(bleed) + " marks " + std::to_string(marks) + " inset " +
                                     std::to_string(inset));
                        EXPECT_EQ(plan.columns, cols);
                        EXPECT_EQ(plan.rows, rows);
                        ++checked;
                    }
    }
    EXPECT_EQ(checked, 3 * 10 * 4 * 4);
}

TEST(SheetPrint, CopiesAndMarksLieWhereTheMillimetresSay) {
    auto doc = rt::document();
    const SheetOptions o = bleedAndMarks();
    const SheetPlan plan = pdfPlan(*doc, PaperFormat::A4, 40, o);
    const QImage print = renderSheetImage(*doc, plan, 96);
    ASSERT_EQ(print.size(), QSize(6851, 4792));
    const PaperMm p = pdfPaper(PaperFormat::A4);
    const Usable u = usableMm(p, true, 10);
    const QSize net = netPixels(290, 205, 40);
    const double stepX = pxToMm(net.width()) + 2 + 5, stepY = pxToMm(net.height()) + 2 + 5;
    // Page pixel -> paper millimetres: the print starts at the margin.
    auto paperX = [&](int x) { return pxToMm(x) + p.margin; };

    // The nets inside the usable area, found by their pixels.
    const QRect usableArea = QRect(QPoint(std::lround((u.left - p.margin) / MmPerInch * Dpi), std::lround((u.top - p.margin) / MmPerInch * Dpi)),
                                   QPoint(std::lround((u.right - p.margin) / MmPerInch * Dpi) - 1,
                                          std::lround((u.bottom - p.margin) / MmPerInch * Dpi) - 1));
    const auto cols = runs(print, usableArea, true, 60);
    const auto rows = runs(print, usableArea, false, 60);
    ASSERT_EQ(cols.size(), 2u);
    ASSERT_EQ(rows.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        // Each net starts its bleed (1 mm) inside its step of the grid.
        EXPECT_NEAR(paperX(cols[i].first), u.left + i * stepX + 1, 0.1) << i;
        EXPECT_NEAR(paperX(cols[i].second + 1) - paperX(cols[i].first), pxToMm(net.width()), 0.1) << i;
        EXPECT_NEAR(pxToMm(rows[i].first) + p.margin, u.top + i * stepY + 1, 0.1) << i;
        EXPECT_NEAR(pxToMm(rows[i].second + 1 - rows[i].first), pxToMm(net.height()), 0.1) << i;
    }

    // The marks, solid black: the square from 10 to 15 mm in at the top
    // left, the L corners 20 mm long and 0.5 mm thick, 10 mm from the edges.
    auto blackIn = [&](double l, double t, double r, double b) {
        const QRect area(QPoint(std::lround((l - p.margin) / MmPerInch * Dpi), std::lround((t - p.margin) / MmPerInch * Dpi)),
                         QPoint(std::lround((r - p.margin) / MmPerInch * Dpi), std::lround((b - p.margin) / MmPerInch * Dpi)));
        QRect found;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (rt::px(print, x, y) == rt::Black) found = found.united(QRect(x, y, 1, 1));
        return QRectF(paperX(found.left()), pxToMm(found.top()) + p.margin, pxToMm(found.width()),
                      pxToMm(found.height()));
    };
    const QRectF square = blackIn(5, 5, 20, 20);
    EXPECT_NEAR(square.left(), 10, 0.1);
    EXPECT_NEAR(square.top(), 10, 0.1);
    EXPECT_NEAR(square.width(), 5, 0.1);
    EXPECT_NEAR(square.height(), 5, 0.1);
    const QRectF topRight = blackIn(p.width - 35, 5, p.width - 5, 35);
    EXPECT_NEAR(topRight.right(), p.width - 10, 0.1);
    EXPECT_NEAR(topRight.top(), 10, 0.1);
    EXPECT_NEAR(topRight.width(), 20, 0.1);
    EXPECT_NEAR(topRight.height(), 20, 0.1);
    const QRectF bottomLeft = blackIn(5, p.height - 35, 35, p.height - 5);
    EXPECT_NEAR(bottomLeft.left(), 10, 0.1);
    EXPECT_NEAR(bottomLeft.bottom(), p.height - 10, 0.1);
    EXPECT_NEAR(bottomLeft.width(), 20, 0.1);
    EXPECT_NEAR(bottomLeft.height(), 20, 0.1);
    // An arm is 0.5 mm thick: its middle row holds only the vertical arm.
    const int midY = std::lround((topRight.top() + 10 - p.margin) / MmPerInch * Dpi);
    int thick = 0;
    for (int x = 0; x < print.width(); ++x)
        if (rt::px(print, x, midY) == rt::Black && paperX(x) > p.width - 35) ++thick;
    EXPECT_NEAR(pxToMm(thick), 0.5, 0.05);
    // Nothing but the marks comes within 1 mm of them.
    EXPECT_GE(u.left, 10 + 5 + 1);
}

TEST(SheetPrint, NoCopyPaintsOutsideItsBleedOutline) {
    auto doc = rt::document();
    // A red figure over the whole editing area: every copy is full of it.
    rt::coverWithRed(*doc);
    SheetOptions opt;
    opt.fill = true;   // the bleed is off: 1 mm is put in force
    const SheetPlan plan = pdfPlan(*doc, PaperFormat::A4, 30, opt);
    ASSERT_GE(plan.copies(), 4);
    const QImage print = renderSheetImage(*doc, plan, 96);
    const QSize net = netPixels(290, 205, 30);
    const int bleed = static_cast<int>(1 / MmPerInch * Dpi);
    // The first copy's bleed outline (its cut line through the middle of
    // the outline's pixels, less the exact bleed) starts no earlier than the
    // page's corner: its printed pixels, a whole pixel's bleed less, start
    // that much later.
    const int first = static_cast<int>(std::ceil(1 / MmPerInch * Dpi - 0.5)) - bleed;
    // Grid steps: the net, two bleeds and the 5 mm gap.
    const double stepX = net.width() + 7 / MmPerInch * Dpi, stepY = net.height() + 7 / MmPerInch * Dpi;
    std::vector<int> redPerCopy(plan.copies(), 0);
    int outside = 0;
    for (int y = 0; y < print.height(); ++y)
        for (int x = 0; x < print.width(); ++x) {
            if (rt::px(print, x, y) != rt::rgb(255, 0, 0)) continue;
            // Which grid cell, and is it inside that cell's bleed box?
            // Copy i starts at Trunc(i * step).
            int cx = 0, cy = 0;
            while (first + static_cast<int>((cx + 1) * stepX) <= x) ++cx;
            while (first + static_cast<int>((cy + 1) * stepY) <= y) ++cy;
            const int inX = x - first - static_cast<int>(cx * stepX), inY = y - first - static_cast<int>(cy * stepY);
            if (inX < 0 || inY < 0) {
                ++outside;
                continue;
            }
            if (cx >= plan.columns || cy >= plan.rows || inX >= net.width() + 2 * bleed ||
                inY >= net.height() + 2 * bleed)
                ++outside;
            else
                ++redPerCopy[cy * plan.columns + cx];
        }
    EXPECT_EQ(outside, 0);
    for (int k = 0; k < plan.copies(); ++k) EXPECT_GT(redPerCopy[k], net.width() * net.height() / 4) << k;
}

TEST(SheetPlan, EveryArmOfTheMarksKeepsAPixelAtCoarseResolutions) {
    auto doc = rt::document();
    SheetOptions o;
    o.regMarks = true;
    // The preview's resolutions (a zoomed-out preview reaches 10 dpi) and the print's.
    for (int dpi : {10, 17, 25, 35, 47, 50, 72, 96, 600}) {
        SCOPED_TRACE(dpi);
        const SheetPlan plan =
            planSheet(doc->Layout, NetSource::of(*doc, 100), o, pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), dpi));
        ASSERT_EQ(plan.marks.size(), 5u);
        for (const QRect& m : plan.marks) EXPECT_FALSE(m.isEmpty());
        // The arms of each corner meet at its outer corner.
        const QRect &topArm = plan.marks[1], &rightArm = plan.marks[2];
        const QRect &bottomArm = plan.marks[3], &leftArm = plan.marks[4];
        EXPECT_EQ(topArm.topRight(), rightArm.topRight());
        EXPECT_EQ(bottomArm.bottomLeft(), leftArm.bottomLeft());
        EXPECT_GT(topArm.width(), topArm.height());
        EXPECT_GT(rightArm.height(), rightArm.width());
    }
}

TEST(SheetPlan, NetLinesOfTwoTenthsOfAMillimetreScaleTheirDotsWithTheResolution) {
    auto doc = rt::document();
    SheetOptions fine, wide;
    wide.netLineMm = 0.2;
    // width in pixels: round(0,2 mm at dpi); at the preview's resolution one pixel, as fine.
    for (auto [dpi, width] : {std::pair{600, 5}, {300, 2}, {35, 1}}) {
        SCOPED_TRACE(dpi);
        const PageFrame frame = pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), dpi);
        const QImage thin = renderSheetImage(*doc, planSheet(doc->Layout, NetSource::of(*doc, 100), fine, frame), 96);
        const QImage thick = renderSheetImage(*doc, planSheet(doc->Layout, NetSource::of(*doc, 100), wide, frame), 96);
        auto black = [](const QImage& img) {
            long long n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) n += rt::px(img, x, y) == rt::Black;
            return n;
        };
        if (width == 1) {
            EXPECT_EQ(thick, thin);
            continue;
        }
        // Dots and gaps as long as they are wide times three: the black grows with the width.
        EXPECT_NEAR(double(black(thick)) / black(thin), width, 0.1 * width);
        // Across the net's left edge the line is width pixels: the first
        // black run of most rows (rows of a horizontal line's gap run longer).
        std::map<int, int> firstRuns;
        for (int y = 0; y < thick.height(); ++y) {
            int run = 0;
            for (int x = 0; x + 1 < thick.width(); ++x) {
                run = rt::px(thick, x, y) == rt::Black ? run + 1 : 0;
                if (run > 0 && rt::px(thick, x + 1, y) != rt::Black) {
                    ++firstRuns[run];
                    break;
                }
            }
        }
        ASSERT_FALSE(firstRuns.empty());
        const auto most = std::max_element(firstRuns.begin(), firstRuns.end(),
                                           [](auto a, auto b) { return a.second < b.second; });
        EXPECT_EQ(most->first, width);
    }
}

TEST(SheetPlan, OneWithoutBleedOrMarksPrintsAsItAlwaysHas) {
    auto doc = rt::document();
    doc->Layout.MarginX = 5;
    const SheetPlan plan = pdfPlan(*doc, PaperFormat::A4, 100, SheetOptions());
    ASSERT_EQ(plan.copies(), 1);
    EXPECT_FALSE(plan.bleedInForce);
    EXPECT_EQ(plan.itemOrigins[0], QPoint(118, 0));   // Trunc(5 / 25.39995 * 600)
    EXPECT_TRUE(plan.marks.empty());
    // The same pixels as the print of one net has always had.
    const QImage planned = renderSheetImage(*doc, plan, 96);
    const QImage plain = renderSheetImage(*doc, 100, Dpi, plan.frame.printable.size(), 96);
    EXPECT_EQ(planned, plain);
}

TEST(SheetPlan, TooLargeABoxIsStillPlacedAndReportedAsNotFitting) {
    auto doc = rt::document();
    applyPaperLayout(doc->Layout, PaperFormat::A3);
    const SheetPlan plan = pdfPlan(*doc, PaperFormat::A4, 100, SheetOptions());
    EXPECT_FALSE(plan.fits());
    const QSize net = netPixels(413, 292, 100);
    EXPECT_NEAR(plan.placedSizeMm().width(), pxToMm(net.width()), 0.05);
    EXPECT_NEAR(plan.placedSizeMm().height(), pxToMm(net.height()), 0.05);
    EXPECT_NEAR(plan.usableSizeMm().width(), 290.0, 0.05);
    // On A3 paper the same box fits.
    EXPECT_TRUE(pdfPlan(*doc, PaperFormat::A3, 100, SheetOptions()).fits());
    SheetOptions fill;
    fill.fill = true;
    const SheetPlan filled = pdfPlan(*doc, PaperFormat::A4, 100, fill);
    EXPECT_EQ(filled.copies(), 1);
    EXPECT_FALSE(filled.fits());
}

TEST(SheetPlan, NoCopyComesIntoTheMarksKeepOut) {
    // The cut file's outlines grown by the bleed, and the copies' printed
    // pixels, stay at least 1 mm from the marks (inset + 6 mm from every
    // edge of the real paper), whatever inset, bleed and size.
    auto doc = rt::document();
    const PaperMm p = pdfPaper(PaperFormat::A4);
    int checked = 0;
    for (double inset : {10.0, 12.3, 15.9, 20.0})
        for (double bleed : {0.0, 0.5, 1.0, 2.5, 3.0, 5.0})
            for (int percent : {30, 40, 55}) {
                const SheetOptions o = bleedAndMarks(bleed, true, inset);
                const SheetPlan plan = pdfPlan(*doc, PaperFormat::A4, percent, o);
                SCOPED_TRACE("inset " + std::to_string(inset) + " bleed " + std::to_string(bleed) + " " +
                             std::to_string(percent) + "%");
                const double c = inset + 6;
                const CutSheet cut = cutSheetFor(plan);
                ASSERT_EQ(int(cut.cuts.size()), plan.copies());
                for (const QPolygonF& outline : cut.cuts) {
                    const QRectF b = outline.boundingRect().adjusted(-bleed, -bleed, bleed, bleed);
                    EXPECT_GE(b.left(), c - 1e-9);
                    EXPECT_GE(b.top(), c - 1e-9);
                    EXPECT_LE(b.right(), p.width - c + 1e-9);
                    EXPECT_LE(b.bottom(), p.height - c + 1e-9);
                }
                for (int k = 0; k < plan.copies(); ++k) {
                    const QRect box = plan.placedBox(k);
                    EXPECT_GE(plan.pageToPaperMm(box.topLeft()).x(), c - 1e-9);
                    EXPECT_GE(plan.pageToPaperMm(box.topLeft()).y(), c - 1e-9);
                    EXPECT_LE(plan.pageToPaperMm(box.bottomRight() + QPoint(1, 1)).x(), p.width - c + 1e-9);
                    EXPECT_LE(plan.pageToPaperMm(box.bottomRight() + QPoint(1, 1)).y(), p.height - c + 1e-9);
                }
                EXPECT_TRUE(plan.fits());
                ++checked;
            }
    EXPECT_EQ(checked, 4 * 6 * 3);
}
