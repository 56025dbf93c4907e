// Outlined and shadowed texts in the vector export: the outline is the
// glyphs stroked once beneath the text, the shadow one moved copy, so the
// file holds each text's glyphs once for both (not once per copy of the
// raster pass), and outside readers still show the ring the print has.

#include "ExportTestSupport.h"
#include "render/DrawVCart.h"
#include "render/SheetRenderParams.h"
#include "render/TextRenderer.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRegularExpression>

namespace {

// A wrapped and a turned text, blue with a red outline and a green shadow.
std::unique_ptr<BoxDocument> outlinedTexts(bool outline, bool shadow) {
    auto doc = rt::document();
    const struct {
        QRect r;
        int rotation;
        const char* content;
    } texts[] = {{QRect(600, 450, 420, 120), 0, "Grüner Tee\rzum Sonntag"}, {QRect(1000, 600, 60, 160), 1, "Deckel"}};
    int slot = 1;
    for (const auto& t : texts) {
        Tobs& o = rt::place(*doc, slot++, Text, t.r.x(), t.r.y(), t.r.width(), t.r.height());
        o.Content = QString::fromUtf8(t.content);
        o.FontName = QStringLiteral("Liberation Serif");
        o.FontStyle = fsBold;
        o.FontSize = 22;
        o.Rotation = t.rotation;
        o.Color = 0xFF0000;   // 0x00BBGGRR: blue
        o.Outline = outline;
        o.BorderOrOutlineColor = 0x0000FF;
        o.Shadow = shadow;
        o.FillModeOrShadowColor = 0x00C000;
        o.ShadowDx = o.ShadowDy = 8;
    }
    return doc;
}

ExportOptions art(ExportFormat format, bool textAsPaths = false) {
    ExportOptions o;
    o.format = format;
    o.folds = o.cuts = o.net = false;
    o.textAsPaths = textAsPaths;
    return o;
}

// Pixels of the outline's red: strong red, little green and blue.
int redPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            n += qRed(p) > 170 && qGreen(p) < 90 && qBlue(p) < 90;
        }
    return n;
}

}  // namespace

TEST(TextOutlineExport, SvgHoldsEachTextsGlyphsOnceForShadowAndOutlineStrokedTwiceTheThickness) {
    auto doc = outlinedTexts(true, true);
    const QString svg = QString::fromUtf8(ex::exportBytes(*doc, art(ExportFormat::Svg)));
    // The outline's thickness at the export's 600 dpi.
    const RenderParams params =
        sheetRenderParams(doc->Layout, NetSource::cube(100), kExportDpi, kExportDpi, printFontFactor(kExportDpi, 96));
    const int d = outlinePixels(params.mapping.Scale());
    ASSERT_GE(d, 2);
    const QRegularExpression shape(QStringLiteral("<path id=\"(shape\\d+)\""));
    QStringList ids;
    for (auto it = shape.globalMatch(svg); it.hasNext();) ids << it.next().captured(1);
    ASSERT_EQ(ids.size(), 2) << "one set of glyphs per text";
    for (const QString& id : ids) {
        const QRegularExpression uses(QStringLiteral("<use xlink:href=\"#%1\"[^>]*>").arg(id));
        QStringList found;
        for (auto it = uses.globalMatch(svg); it.hasNext();) found << it.next().captured(0);
        ASSERT_EQ(found.size(), 2) << id.toStdString();
        EXPECT_TRUE(found[0].contains(QStringLiteral("fill=\"#00c000\""))) << found[0].toStdString();
        EXPECT_FALSE(found[0].contains(QStringLiteral("stroke=\"#")));
        EXPECT_TRUE(found[1].contains(QStringLiteral("stroke=\"#ff0000\""))) << found[1].toStdString();
        EXPECT_TRUE(found[1].contains(QStringLiteral("stroke-width=\"%1\"").arg(2 * d))) << found[1].toStdString();
        EXPECT_TRUE(found[1].contains(QStringLiteral("stroke-linejoin=\"round\"")));
    }
    // The words stay text, once each.
    EXPECT_EQ(svg.count(QStringLiteral(">Deckel<")), 1);
}

TEST(TextOutlineExport, PdfGrowsByTwoCopiesOfTheGlyphsForShadowAndOutline) {
    // As paths every copy of the glyphs is in the content: plain text is one
    // copy, shadow and outline add one each.
    auto none = rt::document();
    auto plain = outlinedTexts(false, false);
    auto decorated = outlinedTexts(true, true);
    const qsizetype empty = ex::exportBytes(*none, art(ExportFormat::Pdf, true)).size();
    const qsizetype one = ex::exportBytes(*plain, art(ExportFormat::Pdf, true)).size() - empty;
    const qsizetype three = ex::exportBytes(*decorated, art(ExportFormat::Pdf, true)).size() - empty;
    ASSERT_GT(one, 1000);
    EXPECT_LT(three, 4 * one) << "plain " << one << " bytes, with shadow and outline " << three;
}

TEST(TextOutlineExport, ReadersShowTheOutlineRingAsWideAsThePrint) {
    QTemporaryDir dir;
    auto printed = outlinedTexts(true, false);
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
    const QImage print = renderSheetImage(*printed, 100, 300, layout.fullRectPixels(300).size());
    const int want = redPixels(print);
    ASSERT_GT(want, 2000);
    auto doc = outlinedTexts(true, false);
    for (ExportFormat format : {ExportFormat::Pdf, ExportFormat::Svg}) {
        const bool pdf = format == ExportFormat::Pdf;
        const QString file = ex::writeTemp(dir, pdf ? "t.pdf" : "t.svg", ex::exportBytes(*doc, art(format)));
        const QString png = dir.filePath(QStringLiteral("read"));
        if (pdf)
            ex::run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                                 QStringLiteral("-singlefile"), file, png});
        else
            ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-d"), QStringLiteral("300"), QStringLiteral("-p"),
                                                     QStringLiteral("300"), QStringLiteral("-b"),
                                                     QStringLiteral("white"), QStringLiteral("-o"),
                                                     png + QStringLiteral(".png"), file});
        const int got = redPixels(QImage(png + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32));
        // The print's ring is square-cornered, the stroke's round.
        EXPECT_NEAR(got, want, want * 0.25) << (pdf ? "pdftoppm" : "rsvg-convert");
    }
}
