// The vector export read back by outside readers: librsvg and poppler
// render it next to our own 300-dpi print, poppler's text, image and font
// lists, and the cut and fold lines parsed from the SVG.

#include "ExportTestSupport.h"
#include "SvgReading.h"
#include "model/SheetGeometry.h"
#include "sheet/BleedClip.h"
#include "export/VectorExport.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <set>

namespace {

constexpr int kReadDpi = 300;

QImage rsvgAt300(const QTemporaryDir& dir, const QString& svg) {
    const QString png = dir.filePath(QStringLiteral("rsvg.png"));
    ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-d"), QString::number(kReadDpi), QStringLiteral("-p"),
                                             QString::number(kReadDpi), QStringLiteral("-b"), QStringLiteral("white"),
                                             QStringLiteral("-o"), png, svg});
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

QImage pdftoppmAt300(const QTemporaryDir& dir, const QString& pdf) {
    const QString prefix = dir.filePath(QStringLiteral("poppler"));
    ex::run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(kReadDpi), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Our own print of the design at 300 dpi on a landscape A4 sheet.
QImage printAt300(BoxDocument& doc) {
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
    return renderSheetImage(doc, 100, kReadDpi, layout.fullRectPixels(kReadDpi).size());
}

// A point in editor pixels (Zoom 1.0, divisor 416) on the 300-dpi sheet:
// the box area's corner of the editing area (548, 388) is the sheet's origin.
QPointF onSheet(QPointF editor) {
    const double scale = 416.0 * kReadDpi / 20000.0;
    return QPointF((editor.x() - 548.6) * scale, (editor.y() - 388.0) * scale);
}

// Mean absolute difference per channel (0..255) over area, leaving out the
// pixels inside the rectangles in skip.
double meanDifference(const QImage& a, const QImage& b, const QRect& area, const std::vector<QRect>& skip = {},
                      bool inside = false) {
    long long sum = 0, n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            bool inSkip = false;
            for (const QRect& r : skip) inSkip = inSkip || r.contains(x, y);
            if (inSkip != inside) continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            n += 3;
        }
    return n ? double(sum) / n : 0;
}

QRect sheetRect(const QRect& editor) {
    return QRectF(onSheet(editor.topLeft()), onSheet(editor.bottomRight() + QPoint(1, 1))).toAlignedRect();
}

// Where the export and the print may rightly differ outside the texts, as
// a share of the compared area: every object edge may move by one pixel of
// truncation at either resolution (the file places at 600 dpi, our print
// at 300), so a band 2 pixels wide along every edge may differ fully; the
// background's edge around the box area likewise.
// Inside a picture the same holds for the boundaries between its own
// pixels: each may move by one output pixel, and there the difference is
// the step between the two source pixels.
double pictureSteps(const QImage& img, QSizeF out) {
    double sum = 0;
    auto step = [](QRgb a, QRgb b) {
        return (std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b))) / 3.0;
    };
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (x + 1 < img.width()) sum += step(img.pixel(x, y), img.pixel(x + 1, y)) * 2 * out.height() / img.height();
            if (y + 1 < img.height()) sum += step(img.pixel(x, y), img.pixel(x, y + 1)) * 2 * out.width() / img.width();
        }
    return sum;
}

double edgeBound(const ex::Design& d, const QRect& area) {
    const double scale = 416.0 * kReadDpi / 20000.0;
    double pixels = 0;
    auto edge = [&](const QRect& r) { pixels += 2.0 * 2 * (r.width() + r.height()) * scale; };
    for (const auto& f : d.figures) edge(f.screenRect);
    for (const QRect& r : d.pictures) edge(r);
    pixels += 2.0 * 2 * (area.width() + area.height());
    double steps = pictureSteps(ex::patternImage(d.backgroundSize, 0), QSizeF(area.size()));
    // The picture object keeps its aspect: 100 wide, 75 high in editor pixels.
    steps += pictureSteps(ex::patternImage(d.pictureSize, 90), QSizeF(100, 75) * scale);
    return (255.0 * pixels + steps) / (double(area.width()) * area.height());
}

void expectLikePrint(const ex::Design& d, const QImage& read, const QImage& print, const char* reader) {
    ASSERT_FALSE(read.isNull()) << reader;
    ASSERT_FALSE(print.isNull());
    const SheetGeometry g = sheetGeometry(d.doc->Layout, kReadDpi, kReadDpi);
    const QRect area = QRect(0, 0, g.Wb, g.Hb) & read.rect() & print.rect();
    std::vector<QRect> texts;
    for (const QRect& r : d.texts) texts.push_back(sheetRect(r).adjusted(-8, -8, 8, 8));
    const double bound = edgeBound(d, area);
    const double outside = meanDifference(read, print, area, texts);
    EXPECT_LT(outside, bound) << reader;
    // Glyphs: the readers smooth their edges, the print does not, and the
    // hinting differs; strokes and their edges cover well under a third of
    // a text's rectangle, so a third of full difference bounds it there.
    const double inText = meanDifference(read, print, area, texts, true);
    EXPECT_LT(inText, 255.0 / 3) << reader;
    std::printf("%s: mean absolute difference %.3f per channel outside texts (bound %.3f), %.3f inside\n", reader,
                outside, bound, inText);
    for (const auto& f : d.figures) {
        const QPoint c = onSheet(QRectF(f.screenRect).center()).toPoint();
        const QRgb got = read.pixel(c), want = f.color;
        EXPECT_LE(std::abs(qRed(got) - qRed(want)), 2) << reader << " figure at " << c.x() << "," << c.y();
        EXPECT_LE(std::abs(qGreen(got) - qGreen(want)), 2) << reader;
        EXPECT_LE(std::abs(qBlue(got) - qBlue(want)), 2) << reader;
        EXPECT_EQ(print.pixel(c) & 0xFFFFFF, want & 0xFFFFFF);
    }
    // The picture object's centre shows the picture's own pixels there: one
    // of them, or a blend of neighbours where a reader smooths the picture
    // (a cubic filter may overshoot a step by a few levels).
    for (const QRect& r : d.pictures) {
        const QPoint c = onSheet(QRectF(r).center()).toPoint();
        const QRgb got = read.pixel(c);
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const QRgb p = print.pixel(c + QPoint(dx, dy));
                const int v[3] = {qRed(p), qGreen(p), qBlue(p)};
                for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], v[k]), hi[k] = std::max(hi[k], v[k]);
            }
        const int g[3] = {qRed(got), qGreen(got), qBlue(got)};
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(g[k], lo[k] - 8) << reader << " picture channel " << k;
            EXPECT_LE(g[k], hi[k] + 8) << reader << " picture channel " << k;
        }
    }
}

ExportOptions artOnly(ExportFormat format) {
    ExportOptions o;
    o.format = format;
    o.art = true;
    o.folds = o.cuts = o.net = false;
    return o;
}

}  // namespace

TEST(VectorExportReaders, SvgRenderedByLibrsvgLooksLikeThePrint) {
    QTemporaryDir dir;
    auto d = ex::makeDesign();
    const QString svg = ex::writeTemp(dir, "art.svg", ex::exportBytes(*d->doc, artOnly(ExportFormat::Svg)));
    const QImage read = rsvgAt300(dir, svg);
    auto printed = ex::makeDesign();
    expectLikePrint(*d, read, printAt300(*printed->doc), "rsvg-convert");
}

TEST(VectorExportReaders, PdfRenderedByPopplerLooksLikeThePrint) {
    QTemporaryDir dir;
    auto d = ex::makeDesign();
    const QString pdf = ex::writeTemp(dir, "art.pdf", ex::exportBytes(*d->doc, artOnly(ExportFormat::Pdf)));
    const QImage read = pdftoppmAt300(dir, pdf);
    auto printed = ex::makeDesign();
    expectLikePrint(*d, read, printAt300(*printed->doc), "pdftoppm");
}

TEST(VectorExportReaders, PdfHoldsEveryWordOnceEmbeddedFontsAndPicturesAtTheirOwnSize) {
    QTemporaryDir dir;
    auto d = ex::makeDesign();
    ExportOptions o;
    o.format = ExportFormat::Pdf;
    o.net = true;
    const QString pdf = ex::writeTemp(dir, "all.pdf", ex::exportBytes(*d->doc, o));

    const QString text = QString::fromUtf8(ex::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    for (const QString& word : d->words)
        EXPECT_EQ(text.count(word), 1) << word.toStdString() << " in: " << text.toStdString();

    // pdfimages -list: page num type width height ...
    const QStringList rows =
        QString::fromUtf8(ex::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})).split('\n');
    std::multiset<std::pair<int, int>> sizes;
    for (const QString& row : rows.mid(2)) {
        const QStringList f = row.simplified().split(' ');
        if (f.size() > 4 && f[2] == QLatin1String("image")) sizes.insert({f[3].toInt(), f[4].toInt()});
    }
    EXPECT_EQ(sizes.count({d->backgroundSize.width(), d->backgroundSize.height()}), 1u);
    EXPECT_EQ(sizes.count({d->pictureSize.width(), d->pictureSize.height()}), 1u);
    EXPECT_EQ(sizes.size(), 2u);

    const QStringList fonts =
        QString::fromUtf8(ex::run(QStringLiteral("pdffonts"), {pdf})).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(fonts.size(), 4);   // header, rule, two faces
    for (const QString& row : fonts.mid(2)) {
        // name type encoding emb sub uni object ID: emb is the fourth field from the end.
        const QStringList f = row.simplified().split(' ');
        ASSERT_GE(f.size(), 7);
        EXPECT_EQ(f[f.size() - 5], QStringLiteral("yes")) << row.toStdString();
    }
}

TEST(VectorExportReaders, PdfLayersAreOptionalContentAViewerCanSwitch) {
    auto d = ex::makeDesign(false);
    ExportOptions o;
    o.format = ExportFormat::Pdf;
    o.net = true;
    const QByteArray pdf = ex::exportBytes(*d->doc, o);
    QTemporaryDir dir;
    const QString path = ex::writeTemp(dir, "layers.pdf", pdf);
    const QString info = QString::fromUtf8(ex::run(QStringLiteral("pdfinfo"), {path}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
    // The layer names as a viewer lists them (text strings in UTF-16 with
    // byte order mark), bottom first.
    int last = -1;
    for (const char* name : {"Motiv", "Gepunktetes Netz", "Falzlinien", "Schnittlinien"}) {
        QByteArray utf16("\xFE\xFF");
        for (const char* c = name; *c; ++c) utf16 += QByteArray(1, '\0') + *c;
        const int at = pdf.indexOf(utf16);
        EXPECT_GT(at, last) << name;
        last = at;
    }
    EXPECT_TRUE(pdf.contains("/OCProperties"));
    EXPECT_EQ(pdf.count(QByteArray("/Type/OCG")) + pdf.count(QByteArray("/Type /OCG")), 4);
}

TEST(VectorExportGeometry, CutOutlineIsOneClosedPathWithThePrintedAreaAndFoldsInside) {
    for (int percent : {100, 50, 10}) {
        auto d = ex::makeDesign(false);
        ExportOptions o;
        o.format = ExportFormat::Svg;
        o.art = false;
        o.percent = percent;
        QString error;
        const auto layers = ex::readLayers(ex::exportBytes(*d->doc, o), &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_EQ(layers.count("schnittlinien"), 1u);
        const ex::SvgLayer& cut = layers.at("schnittlinien");
        EXPECT_EQ(cut.label, QStringLiteral("Schnittlinien"));
        ASSERT_EQ(cut.pathData.size(), 1u);
        EXPECT_EQ(cut.strokes[0], QStringLiteral("#ff00ff"));
        const auto sub = ex::parsePathData(cut.pathData[0]);
        ASSERT_EQ(sub.size(), 1u);
        EXPECT_TRUE(sub[0].closed);
        const QPolygonF outline = sub[0].points;

        const SheetGeometry g = sheetGeometry(d->doc->Layout, kExportDpi, kExportDpi);
        const NetMeasure m = measureNet(BoxArea{0, 0, g.Wb, g.Hb}, percent);
        const double printed = ex::shoelace(ex::printedNetOutline(m));
        EXPECT_NEAR(ex::shoelace(outline), printed, printed * 0.001) << percent;
        // Every position within half a 600-dpi pixel of the print's: the
        // bounding box of the outline against the net's printed points.
        const QRectF bounds = outline.boundingRect();
        const QRectF net = ex::printedNetOutline(m).boundingRect();
        EXPECT_LE(std::abs(bounds.left() - net.left()), 0.5);
        EXPECT_LE(std::abs(bounds.top() - net.top()), 0.5);
        EXPECT_LE(std::abs(bounds.right() - net.right()), 0.5);
        EXPECT_LE(std::abs(bounds.bottom() - net.bottom()), 0.5);

        ASSERT_EQ(layers.count("falzlinien"), 1u);
        const ex::SvgLayer& folds = layers.at("falzlinien");
        int segments = 0;
        QPainterPath inside;
        inside.addPolygon(outline);
        inside.closeSubpath();
        const QPainterPath tolerance = grownOutline(outline, 0.01);
        for (const QString& dstr : folds.pathData)
            for (const auto& s : ex::parsePathData(dstr)) {
                ASSERT_EQ(s.points.size(), 2);
                ++segments;
                for (double t : {0.0, 0.5, 1.0}) {
                    const QPointF p = s.points[0] + (s.points[1] - s.points[0]) * t;
                    EXPECT_TRUE(tolerance.contains(p)) << p.x() << "," << p.y() << " at " << percent;
                }
            }
        // Four faces' shared edges, the bottom's four, the flaps' and lids' hinges.
        EXPECT_GE(segments, 12);
    }
}

TEST(VectorExportGeometry, LayersInOrderWithTheirLabelsAndTheDefaultsOfTheCommand) {
    auto d = ex::makeDesign();
    ExportOptions o;
    o.format = ExportFormat::Svg;
    o.net = true;
    const QByteArray svg = ex::exportBytes(*d->doc, o);
    const QStringList ids = {"motiv", "gepunktetes-netz", "falzlinien", "schnittlinien"};
    int last = -1;
    for (const QString& id : ids) {
        const int at = svg.indexOf(("id=\"" + id + "\"").toUtf8());
        EXPECT_GT(at, last) << id.toStdString();
        last = at;
    }
    const auto layers = ex::readLayers(svg);
    EXPECT_EQ(layers.at("motiv").label, QStringLiteral("Motiv"));
    EXPECT_EQ(layers.at("gepunktetes-netz").label, QStringLiteral("Gepunktetes Netz"));
    EXPECT_EQ(layers.at("falzlinien").label, QStringLiteral("Falzlinien"));
    // Each word once as text: shadow and outline copies are paths.
    EXPECT_EQ(layers.at("motiv").texts, 2);   // the wrapped text's one line, the turned text
    EXPECT_EQ(svg.count("Sonnenblumen"), 1);
    // With text as paths no word is left as text.
    o.textAsPaths = true;
    const QByteArray paths = ex::exportBytes(*d->doc, o);
    EXPECT_EQ(ex::readLayers(paths).at("motiv").texts, 0);
    EXPECT_FALSE(paths.contains("Sonnenblumen"));
    // Pictures are embedded once each, at their own size, as PNG.
    EXPECT_EQ(svg.count("data:image/png;base64,"), 2);
    EXPECT_TRUE(svg.contains("width=\"320\" height=\"240\""));
    EXPECT_TRUE(svg.contains("width=\"80\" height=\"60\""));
}

TEST(VectorExportGeometry, PagesPlaceTheBoxAtTheMarginsAndBoxOnlyGrowsByTheBleed) {
    auto d = ex::makeDesign(false);
    const SheetGeometry g = sheetGeometry(d->doc->Layout, kExportDpi, kExportDpi);
    ExportOptions o;
    o.page = ExportPage::A4;
    ExportGeometry a4 = exportGeometry(d->doc->Layout, o);
    EXPECT_NEAR(a4.pageMm.width(), 297.0, 0.01);
    EXPECT_NEAR(a4.pageMm.height(), 210.0, 0.01);
    EXPECT_EQ(a4.itemOrigin, QPoint(0, 0));
    o.page = ExportPage::Letter;
    EXPECT_NEAR(exportGeometry(d->doc->Layout, o).pageMm.width(), 279.4, 0.01);
    o.page = ExportPage::A3;
    EXPECT_NEAR(exportGeometry(d->doc->Layout, o).pageMm.height(), 297.0, 0.01);
    // Bleed keeps the grown outline on the page.
    o.page = ExportPage::A4;
    o.bleed = true;
    o.bleedMm = 3;
    EXPECT_EQ(exportGeometry(d->doc->Layout, o).itemOrigin, QPoint(71, 71));
    // Margins count when they are larger than the bleed.
    d->doc->Layout.MarginX = 10;
    EXPECT_EQ(exportGeometry(d->doc->Layout, o).itemOrigin.x(), 236);
    o.page = ExportPage::BoxOnly;
    const ExportGeometry box = exportGeometry(d->doc->Layout, o);
    EXPECT_EQ(box.itemOrigin, QPoint(71, 71));
    EXPECT_DOUBLE_EQ(box.pagePixels.width(), g.Wb + 142.0);
    EXPECT_DOUBLE_EQ(box.pagePixels.height(), g.Hb + 142.0);
    o.bleed = false;
    EXPECT_DOUBLE_EQ(exportGeometry(d->doc->Layout, o).pagePixels.width(), double(g.Wb));
}

namespace {
// Non-white pixels of a 300-dpi rendering that lie outside the cut outline
// grown by reach (600-dpi pixels, the outline's unit).
int artOutside(const QImage& read, const QPolygonF& outline600, QPoint origin600, double reach) {
    QImage mask(read.size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.scale(0.5, 0.5);
    p.translate(origin600);
    p.fillPath(grownOutline(outline600, reach), Qt::black);
    p.end();
    int n = 0;
    for (int y = 0; y < read.height(); ++y) {
        const QRgb* r = reinterpret_cast<const QRgb*>(read.constScanLine(y));
        const QRgb* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < read.width(); ++x)
            if ((r[x] & 0xFFFFFF) != 0xFFFFFF && (m[x] & 0xFFFFFF) != 0) ++n;
    }
    return n;
}
}  // namespace

TEST(VectorExportGeometry, BleedKeepsTheArtWithinTheDistanceOfTheCutOutline) {
    QTemporaryDir dir;
    auto d = ex::makeDesign();
    // The cut outline as the file states it, read from a cut-only export.
    ExportOptions cutOnly;
    cutOnly.format = ExportFormat::Svg;
    cutOnly.art = cutOnly.folds = false;
    cutOnly.page = ExportPage::BoxOnly;
    const auto layers = ex::readLayers(ex::exportBytes(*d->doc, cutOnly));
    const QPolygonF outline = ex::parsePathData(layers.at("schnittlinien").pathData.at(0)).at(0).points;

    const double mm = kExportDpi / 25.4;
    const double slack = 2.0;   // one 300-dpi pixel of smoothing at the reader
    for (double bleed : {3.0, 0.0}) {
        ExportOptions o = artOnly(ExportFormat::Svg);
        o.page = ExportPage::BoxOnly;
        o.bleed = true;
        o.bleedMm = bleed;
        const ExportGeometry g = exportGeometry(d->doc->Layout, o);
        const QImage read = rsvgAt300(dir, ex::writeTemp(dir, "bleed.svg", ex::exportBytes(*d->doc, o)));
        ASSERT_FALSE(read.isNull());
        // The background covers the box area: art reaches every side.
        EXPECT_EQ(artOutside(read, outline, g.itemOrigin, bleed * mm + slack), 0) << bleed;
        if (bleed > 0) EXPECT_GT(artOutside(read, outline, g.itemOrigin, (bleed - 1) * mm), 1000);
    }
}

TEST(VectorExportGeometry, BleedBackgroundReachesLeftOfTheNetAndAboveItsLid) {
    // The net starts a pixel inside the box area: with a bleed the
    // stretched background carries on beyond the box area, so the bleed
    // band left of Vorne and above the lid is printed colour, in both files.
    QTemporaryDir dir;
    auto d = ex::makeDesign();
    for (ExportFormat format : {ExportFormat::Svg, ExportFormat::Pdf}) {
        ExportOptions o = artOnly(format);
        o.page = ExportPage::BoxOnly;
        o.bleed = true;
        o.bleedMm = 3;
        const ExportGeometry g = exportGeometry(d->doc->Layout, o);
        const QByteArray bytes = ex::exportBytes(*d->doc, o);
        const QImage read = format == ExportFormat::Svg ? rsvgAt300(dir, ex::writeTemp(dir, "links.svg", bytes))
                                                        : pdftoppmAt300(dir, ex::writeTemp(dir, "links.pdf", bytes));
        ASSERT_FALSE(read.isNull());
        const NetMeasure m = measureNetAtDpi(BoxArea{0, 0, g.itemWidth, g.itemHeight}, NetSource::of(*d->doc, 100),
                                             kExportDpi);
        // 600-dpi positions, read at 300 dpi.
        auto at = [&](double x, double y) { return rt::px(read, int(x / 2), int(y / 2)); };
        const double mm = kExportDpi / 25.4;
        const double faceY = g.itemOrigin.y() + m.T + 1.5 * m.e;
        const double left = g.itemOrigin.x() + m.L;
        EXPECT_NE(at(left - 2 * mm, faceY), rt::White) << int(format);
        EXPECT_NE(at(left - 1 * mm, faceY), rt::White) << int(format);
        // The box area's top edge: nothing above it before.
        int colouredAbove = 0;
        for (int x = g.itemOrigin.x(); x < g.itemOrigin.x() + g.itemWidth; x += 8)
            if (at(x, g.itemOrigin.y() - 0.5 * mm) != rt::White) ++colouredAbove;
        const bool lidReachesTop = m.T + (m.e / 2 - m.e / 5 - m.e / 8 - m.e / 10) < 3 * mm;
        if (lidReachesTop) EXPECT_GT(colouredAbove, 0) << int(format);
    }
}

TEST(VectorExportGeometry, DottedNetLooksLikeThePrintedNetPixelForPixel) {
    // The print on white paper at 600 dpi: the net's gaps are the only ink.
    QTemporaryDir dir;
    auto d = ex::makeDesign(false);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) d->doc->Objects[slot].Kind = KindFree;
    const SheetGeometry g = sheetGeometry(d->doc->Layout, kExportDpi, kExportDpi);
    const QImage print = renderSheetImage(*d->doc, 100, kExportDpi, QSize(g.Wb, g.Hb));
    ASSERT_FALSE(print.isNull());

    ExportOptions o;
    o.format = ExportFormat::Svg;
    o.art = o.folds = o.cuts = false;
    o.net = true;
    o.page = ExportPage::BoxOnly;
    const QString svg = ex::writeTemp(dir, "netz.svg", ex::exportBytes(*d->doc, o));
    const QString png = dir.filePath(QStringLiteral("netz.png"));
    ex::run(QStringLiteral("rsvg-convert"), {QStringLiteral("-d"), QString::number(kExportDpi), QStringLiteral("-p"),
                                             QString::number(kExportDpi), QStringLiteral("-b"), QStringLiteral("white"),
                                             QStringLiteral("-o"), png, svg});
    const QImage read = QImage(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(read.isNull());

    long long printed = 0, both = 0, readDark = 0;
    const QRect area = print.rect() & read.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(print.constScanLine(y));
        const QRgb* r = reinterpret_cast<const QRgb*>(read.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool inked = qGray(p[x]) < 128, dark = qGray(r[x]) < 128;
            printed += inked;
            readDark += dark;
            both += inked && dark;
        }
    }
    ASSERT_GT(printed, 1000);
    // Diagonal dots land a fraction of a pixel apart; straight lines match
    // exactly, and they are most of the net.
    EXPECT_GT(double(both) / printed, 0.9) << both << " of " << printed;
    EXPECT_GT(double(both) / readDark, 0.9) << both << " of " << readDark;
}
