// A plan with an arc and slits, built here as a coming style would build it:
// a 40 × 30 mm face with a flap whose end is a half circle of radius 15,
// a slit along the hinge's middle third and one from the outline into the
// face. Its outline follows the circle within the flatness of its canvas,
// the fold stops at the slit, and the cut files carry the slits on CUT.
#include "box/BoxPlan.h"
#include "box/FoldingModel.h"
#include "sheet/CutSheet.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const QPointF kCentre(45, 15);
constexpr double kRadius = 15;

BoxPlan flapWithRoundEnd() {
    BoxPlan plan;
    PlanPanel face;
    face.id = PanelId(0);
    face.name = QStringLiteral("Vorne");
    face.role = PanelRole::Vorne;
    face.outline = QPolygonF({QPointF(0, 0), QPointF(40, 0), QPointF(40, 30), QPointF(0, 30)});
    face.face = QRectF(0, 0, 40, 30);
    PlanPanel flap;
    flap.id = PanelId(1);
    flap.name = QStringLiteral("Klebelasche");
    flap.role = PanelRole::Klebelasche;
    flap.parent = face.id;
    flap.hinge = QLineF(40, 0, 40, 30);
    flap.outline = QPolygonF({QPointF(40, 0), QPointF(45, 0), QPointF(45, 30), QPointF(40, 30)});
    plan.panels = {face, flap};
    // Downwards from (45, 0) the paper's right is west: bulge -1 swings east.
    plan.arcs = {{QPointF(45, 0), QPointF(45, 30), -1}};
    plan.lines = {{{0, 0}, {45, 0}, {45, 30}, {0, 30}, {0, 0}}, {{40, 0}, {40, 30}}};
    plan.slits = {QLineF(40, 10, 40, 20), QLineF(0, 15, 8, 15)};
    plan.size = QSizeF(60, 30);
    plan.front = face.face;
    plan.a = 40, plan.b = 20, plan.h = 30;
    plan.finish();
    return plan;
}

double area(const QPolygonF& p) {
    double s = 0;
    for (int i = 0; i < p.size(); ++i) s += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
    return std::abs(s) / 2;
}

// The outline's corners east of the flap's straight part: the flattened arc.
std::vector<QPointF> arcCorners(const QPolygonF& outline, double east) {
    std::vector<QPointF> out;
    for (const QPointF& p : outline)
        if (p.x() >= east) out.push_back(p);
    return out;
}

}  // namespace

TEST(PlanArcs, FlattenedWithinTheFlatnessOfEachCanvas) {
    const BoxPlan mm = flapWithRoundEnd();
    const double exactArea = 40 * 30 + 5 * 30 + M_PI * kRadius * kRadius / 2;
    EXPECT_NEAR(area(mm.outline), exactArea, M_PI * kRadius * mm.flatness());
    EXPECT_LT(area(mm.outline), exactArea);
    // The flap's polygon shares the outline's arc corners, one for one.
    EXPECT_EQ(arcCorners(mm.panels[1].outline, 45.0).size(), arcCorners(mm.outline, 45.0).size());
    const std::vector<QPointF> arc = arcCorners(mm.outline, 45.0);
    ASSERT_GT(arc.size(), 20u);
    for (size_t i = 0; i + 1 < arc.size(); ++i) {
        EXPECT_NEAR(QLineF(kCentre, arc[i]).length(), kRadius, 1e-9);
        // Every chord within the flatness of the circle, at its middle.
        EXPECT_GE(QLineF(kCentre, (arc[i] + arc[i + 1]) / 2).length(), kRadius - mm.flatness() - 1e-9);
    }

    for (const double dpi : {96.0, 600.0, 2540.0}) {
        const double k = dpi / 25.4;
        const BoxPlan px = planOnPixels(mm, 7, 3, k);
        const std::vector<QPointF> corners = arcCorners(px.outline, 7 + std::trunc(45 * k));
        ASSERT_GT(corners.size(), 4u) << dpi;
        for (size_t i = 0; i < corners.size(); ++i) {
            const QPointF p = corners[i];
            EXPECT_EQ(p, QPointF(std::floor(p.x()), std::floor(p.y()))) << dpi;
            // A truncated point of the circle: its pixel's square reaches it.
            const QPointF c = QPointF(7, 3) + kCentre * k;
            const double nearest = std::hypot(std::clamp(c.x(), p.x(), p.x() + 1) - c.x(),
                                              std::clamp(c.y(), p.y(), p.y() + 1) - c.y());
            double farthest = 0;
            for (const QPointF& q : {p, p + QPointF(1, 0), p + QPointF(0, 1), p + QPointF(1, 1)})
                farthest = std::max(farthest, QLineF(c, q).length());
            EXPECT_LE(nearest, kRadius * k + 1e-9) << dpi << " " << i;
            EXPECT_GE(farthest, kRadius * k - 1e-9) << dpi << " " << i;
            // Flattened for this canvas, not for millimetres: no chord
            // longer than one straying half a pixel (plus truncation).
            if (i + 1 < corners.size())
                EXPECT_LE(QLineF(p, corners[i + 1]).length(), 2 * std::sqrt(kRadius * k) + 2) << dpi << " " << i;
        }
        // The flattened arc lies in the line the render pass draws, too.
        int inLine = 0;
        for (const QPointF& p : px.lines[0]) inLine += std::count(corners.begin(), corners.end(), p) > 0;
        EXPECT_GE(inLine, static_cast<int>(corners.size())) << dpi;
    }
}

TEST(PlanSlits, FoldStopsAtTheSlitAndCutFilesCutIt) {
    const BoxPlan mm = flapWithRoundEnd();
    double foldLength = 0;
    for (const QLineF& f : mm.folds) {
        foldLength += f.length();
        EXPECT_TRUE(std::max(f.y1(), f.y2()) <= 10 + 1e-9 || std::min(f.y1(), f.y2()) >= 20 - 1e-9) << f.y1();
    }
    EXPECT_NEAR(foldLength, 20, 1e-9);
    // The slit along the hinge is no part of the outline.
    for (const QPointF& p : mm.outline) EXPECT_FALSE(p.x() == 40 && p.y() > 0 && p.y() < 30);

    // On a 600-dpi canvas, then on paper 10 mm in from its top-left corner.
    const double k = 600 / 25.4;
    const FoldingModel net = FoldingModel::fromPlan(planOnPixels(mm, 0, 0, k));
    CutSheet sheet;
    sheet.paperMm = QSizeF(100, 60);
    addCutNet(sheet, net, [&](const QPointF& p) { return QPointF(10, 10) + (p + QPointF(0.5, 0.5)) / k; });
    ASSERT_EQ(sheet.slits.size(), 2u);
    QTemporaryDir dir;
    const QString dxf = dir.filePath(QStringLiteral("a.dxf")), svg = dir.filePath(QStringLiteral("a.svg"));
    QString why;
    ASSERT_TRUE(writeCutDxf(sheet, dxf, &why)) << why.toStdString();
    ASSERT_TRUE(writeCutSvg(sheet, svg, &why)) << why.toStdString();

    // ezdxf: one closed polyline and the two slits on CUT, 20 mm of fold.
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral(R"(
import math, sys, ezdxf
msp = ezdxf.readfile(sys.argv[1]).modelspace()
cut = [e for e in msp if e.dxf.layer == "CUT"]
poly = [e for e in cut if e.dxftype() == "LWPOLYLINE"]
lines = sorted(round(math.dist(e.dxf.start, e.dxf.end), 1) for e in cut if e.dxftype() == "LINE")
folds = sum(math.dist(e.dxf.start, e.dxf.end) for e in msp if e.dxf.layer == "FOLD")
pts = [(p[0], p[1]) for p in poly[0].get_points()] if poly else []
a = abs(sum(pts[i][0] * pts[i - 1][1] - pts[i - 1][0] * pts[i][1] for i in range(len(pts)))) / 2
print(len(cut), len(poly), poly[0].closed if poly else None, lines, round(folds), round(a))
)"), dxf});
    ASSERT_TRUE(py.waitForFinished(60000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    // Two slits of 10 and 8 mm (to the pixel), and the area of the exact net to 1 %.
    const QStringList got = QString::fromUtf8(py.readAllStandardOutput()).simplified().split(' ');
    ASSERT_EQ(got.size(), 7) << got.join(' ').toStdString();
    EXPECT_EQ(got.mid(0, 3).join(' '), QStringLiteral("3 1 True"));
    EXPECT_NEAR(got[3].mid(1).chopped(1).toDouble(), 8, 0.1);
    EXPECT_NEAR(got[4].chopped(1).toDouble(), 10, 0.1);
    EXPECT_NEAR(got[5].toDouble(), 20, 1);
    EXPECT_NEAR(got[6].toDouble(), 40 * 30 + 5 * 30 + M_PI * kRadius * kRadius / 2, 25);

    // The SVG's cut layer: the closed outline and two open paths.
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QString layer;
    QStringList cutPaths;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("g")) layer = xml.attributes().value(QStringLiteral("id")).toString();
        if (xml.name() == QLatin1String("path") && layer == QLatin1String("schnittlinien"))
            cutPaths << xml.attributes().value(QStringLiteral("d")).toString();
    }
    ASSERT_FALSE(xml.hasError());
    ASSERT_EQ(cutPaths.size(), 3);
    EXPECT_TRUE(cutPaths[0].trimmed().endsWith(QLatin1Char('Z'), Qt::CaseInsensitive)) << cutPaths[0].toStdString();
    for (int i = 1; i < 3; ++i) {
        EXPECT_FALSE(cutPaths[i].contains(QLatin1Char('Z'), Qt::CaseInsensitive));
        EXPECT_EQ(cutPaths[i].count(QLatin1Char('L')), 1);
    }
}
