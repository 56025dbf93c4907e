// A drawing placed as a picture, checked against librsvg's own rendering of
// the same file: on the 600-dpi sheet, in the PDF as poppler draws it (with
// no raster image inside) and in the SVG export.

#include "ExportTestSupport.h"
#include "image/ImageLoader.h"

#include <QRegularExpression>

namespace {

// Yellow ground over the whole view box, so the drawn rectangle shows on the
// page; a circle, a linear gradient and a stroked triangle on it.
const QByteArray kLogo =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30mm\" height=\"30mm\" viewBox=\"0 0 100 100\">"
    "<defs><linearGradient id=\"g\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\">"
    "<stop offset=\"0\" stop-color=\"#0040ff\"/><stop offset=\"1\" stop-color=\"#00e0ff\"/></linearGradient></defs>"
    "<rect width=\"100\" height=\"100\" fill=\"#ffe000\"/>"
    "<circle cx=\"35\" cy=\"40\" r=\"25\" fill=\"#e01010\"/>"
    "<rect x=\"55\" y=\"55\" width=\"35\" height=\"35\" fill=\"url(#g)\"/>"
    "<path d=\"M10,90 L45,60 L50,95 Z\" fill=\"#10a030\" stroke=\"#202020\" stroke-width=\"2\"/>"
    "</svg>";

bool yellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 180 && qBlue(c) < 90; }

// The logo's rectangle on a page: where its yellow ground lies.
QRect logoOn(const QImage& page) {
    const QImage img = page.convertToFormat(QImage::Format_RGB32);
    return rt::boundsWhere(img, yellow);
}

// Mean absolute difference per channel between the page's logo and
// librsvg's rendering of the file at the same size (both on white).
double errorAgainstRsvg(const QImage& page, const QTemporaryDir& dir) {
    const QRect r = logoOn(page);
    EXPECT_GT(r.width(), 50);
    if (r.width() <= 50) return 255;
    const QString logo = ex::writeTemp(dir, QStringLiteral("logo.svg"), kLogo);
    const QString ref = dir.filePath(QStringLiteral("rsvg.png"));
    ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-w"), QString::number(r.width()), QStringLiteral("-h"),
                                             QString::number(r.height()), QStringLiteral("-b"), QStringLiteral("white"),
                                             QStringLiteral("-o"), ref, logo});
    const QImage theirs = QImage(ref).convertToFormat(QImage::Format_RGB32);
    const QImage ours = page.copy(r).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(theirs.size(), ours.size());
    if (theirs.size() != ours.size()) return 255;
    double sum = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    return sum / (3.0 * ours.width() * ours.height());
}

std::unique_ptr<BoxDocument> logoDesign() {
    auto doc = rt::document();
    Tobs& o = rt::place(*doc, 1, Image, 640, 440, 160, 160);
    o.Picture = DecodeVectorArt(kLogo);
    o.KeepAspect = 1;
    return doc;
}

}  // namespace

TEST(VectorArtExport, SheetAt600DpiMatchesLibrsvgsRenderingOfTheSameDrawing) {
    const auto doc = logoDesign();
    ASSERT_TRUE(doc->Objects[1].Picture.isVector());
    const QImage sheet = renderSheetImage(*doc, 100, 600, QSize(7016, 4960));
    QTemporaryDir dir;
    const QRect r = logoOn(sheet);
    // Drawn at its size on the sheet, not that of its stand-in pixels.
    EXPECT_NEAR(r.width(), doc->Objects[1].Width * 600.0 / 20000, 3);
    const double error = errorAgainstRsvg(sheet, dir);
    std::printf("Blatt 600 dpi gegen rsvg-convert: mittlere Abweichung %.3f je Kanal\n", error);
    EXPECT_LT(error, 2.0);
}

TEST(VectorArtExport, PdfHoldsTheDrawingAsVectorsThatPopplerDrawsLikeLibrsvg) {
    const auto doc = logoDesign();
    ExportOptions o;
    o.format = ExportFormat::Pdf;
    const QByteArray pdf = ex::exportBytes(*doc, o);
    QTemporaryDir dir;
    const QString path = ex::writeTemp(dir, QStringLiteral("logo.pdf"), pdf);
    const QString list = QString::fromUtf8(ex::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}));
    EXPECT_EQ(list.trimmed().split(QLatin1Char('\n')).size(), 2) << list.toStdString();   // the heading only

    ex::run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), path, dir.filePath(QStringLiteral("page"))});
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(logoOn(page).width(), doc->Objects[1].Width * 300.0 / 20000, 3);
    const double error = errorAgainstRsvg(page, dir);
    std::printf("PDF (poppler, 300 dpi) gegen rsvg-convert: mittlere Abweichung %.3f je Kanal\n", error);
    EXPECT_LT(error, 3.0);
}

TEST(VectorArtExport, SvgExportWritesTheDrawingAsPathsWithItsGradient) {
    const auto doc = logoDesign();
    ExportOptions o;
    o.format = ExportFormat::Svg;
    const QByteArray svg = ex::exportBytes(*doc, o);
    EXPECT_FALSE(svg.contains("<image"));
    EXPECT_TRUE(svg.contains("<linearGradient"));
    QTemporaryDir dir;
    const QString path = ex::writeTemp(dir, QStringLiteral("export.svg"), svg);
    const QString png = dir.filePath(QStringLiteral("export.png"));
    ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-d"), QStringLiteral("300"), QStringLiteral("-p"),
                                             QStringLiteral("300"), QStringLiteral("-b"), QStringLiteral("white"),
                                             QStringLiteral("-o"), png, path});
    const QImage page(png);
    ASSERT_FALSE(page.isNull());
    const double error = errorAgainstRsvg(page, dir);
    std::printf("SVG-Export (rsvg, 300 dpi) gegen rsvg-convert: mittlere Abweichung %.3f je Kanal\n", error);
    EXPECT_LT(error, 3.0);
}
