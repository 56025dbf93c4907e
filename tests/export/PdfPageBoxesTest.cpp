// The exported PDF's page boxes as poppler reads them: the page the exact
// paper (or box) size, the trim box the cut outline's bounds and the bleed
// box those grown by the bleed, and the content where those boxes say. The
// cut outline is the one the SVG export of the same design states.

#include "ExportTestSupport.h"
#include "SvgReading.h"
#include "box/BoxNet.h"
#include "export/VectorExport.h"
#include "model/SheetGeometry.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <map>

namespace {

// "MediaBox: l b r t" lines of pdfinfo -box.
std::map<QString, QRectF> pageBoxes(const QString& pdf) {
    const QString info = QString::fromUtf8(ex::run(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), pdf}));
    std::map<QString, QRectF> boxes;
    const QRegularExpression line(QStringLiteral("^(\\w+Box):\\s+(-?[\\d.]+)\\s+(-?[\\d.]+)\\s+(-?[\\d.]+)\\s+(-?[\\d.]+)"),
                                  QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        const double l = m.captured(2).toDouble(), b = m.captured(3).toDouble();
        const double r = m.captured(4).toDouble(), t = m.captured(5).toDouble();
        boxes[m.captured(1)] = QRectF(QPointF(l, b), QPointF(r, t));
    }
    return boxes;
}

// The cut outline's bounds in page points (y down from the page's top) as
// the SVG export states the outline.
QRectF cutBoundsPoints(BoxDocument& doc, ExportOptions o) {
    o.format = ExportFormat::Svg;
    o.art = o.folds = o.net = false;
    o.cuts = true;
    const auto layers = ex::readLayers(ex::exportBytes(doc, o));
    const QPolygonF outline = ex::parsePathData(layers.at("schnittlinien").pathData.at(0)).at(0).points;
    const QRectF px = outline.boundingRect();
    const double k = 72.0 / kExportDpi;
    return QRectF(px.topLeft() * k, px.bottomRight() * k);
}

// The box in y-down page points from poppler's y-up box and page top.
QRectF fromTop(const QRectF& yUp, double pageTop) {
    return QRectF(QPointF(yUp.left(), pageTop - yUp.bottom()), QPointF(yUp.right(), pageTop - yUp.top()));
}

void expectNear(const QRectF& a, const QRectF& b, double tolerance, const char* what) {
    EXPECT_NEAR(a.left(), b.left(), tolerance) << what;
    EXPECT_NEAR(a.top(), b.top(), tolerance) << what;
    EXPECT_NEAR(a.right(), b.right(), tolerance) << what;
    EXPECT_NEAR(a.bottom(), b.bottom(), tolerance) << what;
}

}  // namespace

TEST(PdfPageBoxes, PageIsExactTrimIsTheCutOutlineAndBleedGrowsItWithinThePage) {
    QTemporaryDir dir;
    auto d = ex::makeDesign(false);
    struct Case {
        ExportPage page;
        double bleedMm;
        QSizeF pagePoints;
    };
    const SheetGeometry g = sheetGeometry(d->doc->Layout, kExportDpi, kExportDpi);
    const double k = 72.0 / kExportDpi;
    const double bleed5 = std::ceil(5 / 25.4 * kExportDpi - 1e-9);
    const Case cases[] = {
        {ExportPage::A4, 0, QSizeF(841.89, 595.28)},
        {ExportPage::A3, 3, QSizeF(1190.55, 841.89)},
        {ExportPage::BoxOnly, 5, QSizeF((g.Wb + 2 * bleed5) * k, (g.Hb + 2 * bleed5) * k)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(exportPageName(c.page).toStdString());
        ExportOptions o;
        o.format = ExportFormat::Pdf;
        o.page = c.page;
        o.bleed = c.bleedMm > 0;
        o.bleedMm = c.bleedMm;
        auto boxes = pageBoxes(ex::writeTemp(dir, QStringLiteral("boxes.pdf"), ex::exportBytes(*d->doc, o)));
        ASSERT_TRUE(boxes.count("MediaBox") && boxes.count("TrimBox") && boxes.count("BleedBox"));
        const QRectF media = boxes["MediaBox"];
        EXPECT_NEAR(media.width(), c.pagePoints.width(), 0.011);
        EXPECT_NEAR(media.height(), c.pagePoints.height(), 0.011);
        const QRectF trim = fromTop(boxes["TrimBox"], media.bottom());
        const QRectF cut = cutBoundsPoints(*d->doc, o);
        expectNear(trim, cut, 0.011, "trim box");
        const double b = c.bleedMm / 25.4 * 72;
        const QRectF page(0, 0, media.width(), media.height());
        expectNear(fromTop(boxes["BleedBox"], media.bottom()), cut.adjusted(-b, -b, b, b).intersected(page), 0.011,
                   "bleed box");
    }
}

TEST(PdfPageBoxes, PopplerShowsTheCutLineWhereTheTrimBoxIs) {
    // Qt draws from the top of its whole-point page: on the exact page the
    // content must still lie where the boxes say.
    QTemporaryDir dir;
    auto d = ex::makeDesign(false);
    ExportOptions o;
    o.format = ExportFormat::Pdf;
    o.page = ExportPage::BoxOnly;
    o.bleed = true;
    o.bleedMm = 5;
    o.art = o.folds = false;
    const QString pdf = ex::writeTemp(dir, QStringLiteral("cut.pdf"), ex::exportBytes(*d->doc, o));
    auto boxes = pageBoxes(pdf);
    const QRectF media = boxes["MediaBox"];
    const QRectF trim = fromTop(boxes["TrimBox"], media.bottom());
    const QString prefix = dir.filePath(QStringLiteral("shown"));
    ex::run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, prefix});
    const QImage shown = QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(shown.isNull());
    EXPECT_NEAR(shown.height(), media.height() / 72 * 300, 1.0);
    const QRect magenta = rt::boundsWhere(shown, [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 150 && qBlue(c) > 150; });
    ASSERT_FALSE(magenta.isNull());
    const double s = 300.0 / 72;
    // A 0.25 pt line seen at 300 dpi: within two pixels of its middle.
    EXPECT_NEAR(magenta.left(), trim.left() * s, 2.0);
    EXPECT_NEAR(magenta.top(), trim.top() * s, 2.0);
    EXPECT_NEAR(magenta.right() + 1, trim.right() * s, 2.0);
    EXPECT_NEAR(magenta.bottom() + 1, trim.bottom() * s, 2.0);
}
