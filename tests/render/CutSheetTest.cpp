// The cut sheet from the plan: one closed outline per copy where the copy
// prints, folds inside it, the marks' shapes, and writers that leave the
// target alone when they fail.
#include "RenderTestUtil.h"

#include "sheet/CutSheet.h"
#include "sheet/SheetCanvas.h"
#include "sheet/SheetRenderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
SheetPlan a4Plan(const BoxDocument& doc, int percent, const SheetOptions& o) {
    return planSheet(doc.Layout, NetSource::of(doc, percent), o, pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), 600));
}
}  // namespace

TEST(CutSheet, EveryCopyHasItsClosedOutlineAroundItsFolds) {
    auto doc = rt::document();
    SheetOptions o;
    o.fill = true;
    o.regMarks = true;
    const SheetPlan plan = a4Plan(*doc, 40, o);
    const CutSheet cut = cutSheetFor(plan);
    ASSERT_EQ(static_cast<int>(cut.cuts.size()), plan.copies());
    EXPECT_EQ(cut.folds.size() % cut.cuts.size(), 0u);
    EXPECT_EQ(cut.marks.size(), 3u);   // the square and two L corners
    EXPECT_EQ(cut.marks[1].size(), 6);  // an L has six corners
    for (size_t k = 0; k < cut.cuts.size(); ++k) {
        QPainterPath outline;
        outline.addPolygon(cut.cuts[k]);
        outline.closeSubpath();
        // Its bounds are the placed net's, in paper millimetres.
        const QRect box = plan.placedBox(static_cast<int>(k)).adjusted(plan.bleedX, plan.bleedY, -plan.bleedX,
                                                                       -plan.bleedY);
        const QPointF tl = plan.pageToPaperMm(QPointF(box.topLeft()) + QPointF(0.5, 0.5));
        EXPECT_NEAR(outline.boundingRect().left(), tl.x(), 1e-6);
        EXPECT_NEAR(outline.boundingRect().top(), tl.y(), 1e-6);
        for (size_t f = 0; f < cut.folds.size(); ++f) {
            const QPointF mid = (cut.folds[f].p1() + cut.folds[f].p2()) / 2;
            if (outline.boundingRect().contains(mid)) EXPECT_TRUE(outline.contains(mid)) << k << " " << f;
        }
    }
}

TEST(CutSheet, DesignStopsAtTheOutlineGrownByTheBleedNotAtItsBox) {
    auto doc = rt::document();
    rt::coverWithRed(*doc);
    SheetOptions opt;
    opt.bleed = true;
    opt.bleedMm = 2;
    opt.fill = true;
    const SheetPlan plan = a4Plan(*doc, 30, opt);
    ASSERT_GE(plan.columns, 2);
    const QImage print = renderSheetImage(*doc, plan, 96);
    // Beside the lid halves, inside the net's box but far from its outline,
    // the paper stays white; within the bleed of the outline it is red.
    // The second copy in the first row: paper on every side of it.
    const QRect box = plan.placedBox(1);
    const int e = plan.net.e;
    const QPoint corner = plan.itemOrigins[1] + QPoint(plan.net.L, plan.net.T);
    EXPECT_EQ(rt::px(print, corner.x() + e / 2, corner.y() + e / 8), rt::White);   // above face 1's dust flap
    EXPECT_EQ(rt::px(print, corner.x() + e / 2, corner.y() + 3 * e / 2), rt::rgb(255, 0, 0));   // face 1
    // 1.5 mm beyond face 1's left edge: inside the 2 mm bleed.
    EXPECT_EQ(rt::px(print, corner.x() - 35, corner.y() + 3 * e / 2), rt::rgb(255, 0, 0));
    // 2.5 mm beyond it: outside.
    EXPECT_EQ(rt::px(print, corner.x() - 59, corner.y() + 3 * e / 2), rt::White);
    EXPECT_TRUE(box.contains(corner + QPoint(e / 2, e / 8)));
}

TEST(CutSheet, WritersLeaveNoFileWhereTheyCannotWrite) {
    auto doc = rt::document();
    const CutSheet cut = cutSheetFor(a4Plan(*doc, 40, SheetOptions()));
    QTemporaryDir dir;
    QString why;
    EXPECT_FALSE(writeCutFile(cut, dir.filePath(QStringLiteral("fehlt/bogen.svg")), &why));
    EXPECT_FALSE(why.isEmpty());
    why.clear();
    EXPECT_FALSE(writeCutFile(cut, dir.filePath(QStringLiteral("fehlt/bogen.dxf")), &why));
    EXPECT_FALSE(why.isEmpty());
    // A folder under the name is not replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ordner.svg")));
    EXPECT_FALSE(writeCutFile(cut, dir.filePath(QStringLiteral("ordner.svg")), &why));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("ordner.svg"))).isDir());
    EXPECT_FALSE(writeCutFile(cut, dir.filePath(QStringLiteral("bogen.eps")), &why));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bogen.eps"))));
    EXPECT_TRUE(writeCutFile(cut, dir.filePath(QStringLiteral("bogen.dxf")), &why)) << why.toStdString();
}
