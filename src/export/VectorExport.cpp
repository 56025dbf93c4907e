#include "export/VectorExport.h"

#include "model/BoxDocument.h"
#include "model/SeriesRows.h"
#include "sheet/SheetPlan.h"
#include "model/SheetLayout.h"
#include "base/ErrnoText.h"
#include "base/SaveFile.h"
#include "render/SheetRenderParams.h"
#include "sheet/BleedClip.h"
#include "box/BoxNet.h"
#include "render/DrawVCart.h"
#include "box/FoldingModel.h"
#include "export/PdfLayers.h"
#include "export/PdfPicture.h"
#include "export/PdfPictureMarker.h"
#include "image/DrawDib.h"
#include "model/TransparentValue.h"
#include "render/PictureStandIns.h"
#include "export/PictureFile.h"
#include "export/SidePictureFiles.h"
#include "model/SheetGeometry.h"
#include "export/SvgPaintDevice.h"
#include "render/TextRenderer.h"

#include <QBuffer>
#include <QSet>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <deque>
#include <functional>
#include <future>
#include <vector>


namespace {

const QString kTitle = QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 Faltarillon");

double pixelsToMm(double px) { return px / kExportDpi * 25.4; }
double mmToDevicePixels(double mm) { return mm / 25.4 * kExportDpi; }

// The print inks the pixel to the right of and below a net point: its
// line runs through that pixel's centre.
const QPointF kPixelCentre(0.5, 0.5);

QPolygonF centred(const QPolygonF& poly) { return poly.translated(kPixelCentre); }

struct Layer {
    QString id;
    QString label;
    std::function<void(QPainter&)> draw;
};

void drawArt(QPainter& p, BoxDocument& doc, const ExportOptions& o, const ExportGeometry& g,
             const FoldingModel& model, const PictureStandIns* standIns) {
    p.save();
    p.translate(g.itemOrigin);
    QPainterPath clip;
    if (o.bleed) {
        clip = bleedClip(centred(model.cutOutline()), o.bleedMm, kExportDpi);
        p.setClipPath(clip, Qt::IntersectClip);
    } else {
        p.setClipRect(QRect(0, 0, g.itemWidth, g.itemHeight), Qt::IntersectClip);
    }
    // The parameters of the printed sheet's bands, at 600 dpi.
    const int screenDpi = screenPpi();
    RenderParams params =
        sheetRenderParams(doc.Layout, NetSource::of(doc, o.percent), kExportDpi, kExportDpi, printFontFactor(kExportDpi, screenDpi));
    params.CanvasDpi = kExportDpi;
    params.FontPpi = screenDpi;
    params.DrawNet = false;
    params.TextCopiesAsPaths = true;
    params.TextAsPaths = o.textAsPaths;
    params.StandIns = standIns;
    params.Progress = o.progress;
    // With a bleed the background covers the whole grown outline, also
    // where it lies beyond the box area.
    if (o.bleed) params.CoverArea = clip.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::white);
    DrawVCart(p, doc, params);
    p.restore();
}

// The dotted net as the print shows it on white paper: its XOR gaps invert
// white to black, so pixels 3..5 of every 6 along a line are black and
// pixels 0..2 stay white. Each line restarts the pattern, as on the print.
void drawNet(QPainter& p, const BoxDocument& doc, const ExportOptions& o, const ExportGeometry& g) {
    p.save();
    p.translate(g.itemOrigin);
    p.setBrush(Qt::NoBrush);
    const NetMeasure m = measureNetAtDpi(BoxArea{0, 0, g.itemWidth, g.itemHeight}, NetSource::of(doc, o.percent), kExportDpi);
    for (const Polyline& line : netPolylines(m)) {
        for (size_t i = 1; i < line.size(); ++i) {
            const QPoint a = line[i - 1], b = line[i];
            const int n = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
            if (n == 0) continue;
            // One pixel step along the line; pixel k covers [k - 1/2, k + 1/2)
            // steps around its centre.
            const QPointF step = QPointF(b - a) / n;
            const double stepLength = std::hypot(step.x(), step.y());
            const QPointF start = QPointF(a) + kPixelCentre - step / 2;
            const QLineF segment(start, start + step * n);
            for (const auto& [color, offset] : {std::pair{QColor(Qt::white), 0.0}, std::pair{QColor(Qt::black), 3.0}}) {
                QPen pen(color, 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
                pen.setDashPattern({3 * stepLength, 3 * stepLength});
                pen.setDashOffset(offset * stepLength);
                p.setPen(pen);
                p.drawLine(segment);
            }
        }
    }
    p.restore();
}

double lineWidthPixels() { return kExportLineWidthPt / 72.0 * kExportDpi; }

void drawFolds(QPainter& p, const ExportGeometry& g, const FoldingModel& model) {
    p.save();
    p.translate(g.itemOrigin);
    const double w = lineWidthPixels();
    QPen pen(QColor(0, 255, 255), w, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    // 3 mm on, 1.5 mm off, in pen widths.
    pen.setDashPattern({mmToDevicePixels(3.0) / w, mmToDevicePixels(1.5) / w});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const NetSegment& s : model.folds()) p.drawLine(QLineF(s.a + kPixelCentre, s.b + kPixelCentre));
    p.restore();
}

void drawCuts(QPainter& p, const ExportGeometry& g, const FoldingModel& model) {
    p.save();
    p.translate(g.itemOrigin);
    p.setPen(QPen(QColor(255, 0, 255), lineWidthPixels(), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(centred(model.cutOutline()));
    for (const QLineF& s : model.slits()) p.drawLine(s.translated(kPixelCentre));
    p.restore();
}

std::vector<Layer> layersFor(BoxDocument& doc, const ExportOptions& o, const ExportGeometry& g,
                             const FoldingModel& model, const PictureStandIns* standIns) {
    std::vector<Layer> layers;
    if (o.art)
        layers.push_back({QStringLiteral("motiv"), QStringLiteral("Motiv"),
                          [&, standIns](QPainter& p) { drawArt(p, doc, o, g, model, standIns); }});
    if (o.net)
        layers.push_back({QStringLiteral("gepunktetes-netz"), QStringLiteral("Gepunktetes Netz"),
                          [&](QPainter& p) { drawNet(p, doc, o, g); }});
    if (o.folds)
        layers.push_back({QStringLiteral("falzlinien"), QStringLiteral("Falzlinien"),
                          [&](QPainter& p) { drawFolds(p, g, model); }});
    if (o.cuts)
        layers.push_back({QStringLiteral("schnittlinien"), QStringLiteral("Schnittlinien"),
                          [&](QPainter& p) { drawCuts(p, g, model); }});
    return layers;
}

bool writeSvg(const std::vector<Layer>& layers, const ExportGeometry& g, QIODevice& out, const PictureFiles& files,
              std::vector<SidePicture>* side, const SidePictureNamer& sideName) {
    SvgPaintDevice device(&out, g.pageMm.width(), g.pageMm.height(), kExportDpi);
    device.setTitle(kTitle);
    device.setPictureFiles(&files);
    if (side && sideName)
        device.setSidePictureSink([side, &sideName](const QByteArray& bytes, const QString& suffix) {
            const QString name = sideName(suffix);
            side->push_back({name, bytes});
            return sidePictureHref(name);
        });
    QPainter p;
    if (!p.begin(&device)) return false;
    for (const Layer& layer : layers) {
        device.beginLayer(layer.id, layer.label);
        layer.draw(p);
        device.endLayer();
    }
    return p.end();
}

// The export's title, maker and resolution, on a page of the sheet's size.
void setUpWriter(QPdfWriter& writer, const ExportGeometry& g) {
    writer.setTitle(kTitle);
    writer.setCreator(QStringLiteral("ORB-LUX Faltarillon-Designer"));
    writer.setResolution(kExportDpi);
    writer.setPageLayout(QPageLayout(QPageSize(g.pageMm, QPageSize::Millimeter), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
}

// Qt writes each layer on a page of its own (separate: one page, one
// layer); PdfLayers then stacks the pages on one page as optional content.
bool writeQtPdf(const std::vector<Layer>& layers, const ExportGeometry& g, QIODevice& out, bool onePage) {
    QPdfWriter writer(&out);
    setUpWriter(writer, g);
    QPainter p;
    if (!p.begin(&writer)) return false;
    // Pictures go in losslessly (Flate), never as JPEG.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    bool first = true;
    for (const Layer& layer : layers) {
        if (!first && !onePage) writer.newPage();
        first = false;
        layer.draw(p);
    }
    return p.end();
}

// pixels: the pictures' pixels compressing meanwhile, for
// pictures[pixelPictures[i]].
// ask: the stages' questions (80 after drawing, 90 before the layers are
// stacked); false stops the file.
bool writePdf(const std::vector<Layer>& layers, const ExportGeometry& g, QIODevice& out, QString& error,
              std::vector<PdfPicture>& pictures, std::future<std::vector<PdfPixels>>& pixels,
              const std::vector<size_t>& pixelPictures, const PdfPageBoxes& boxes,
              const ProgressCallback& ask) {
    QByteArray pages;
    QBuffer buffer(&pages);
    buffer.open(QIODevice::WriteOnly);
    const bool drawn = writeQtPdf(layers, g, buffer, false);
    const bool goesOn = goOn(ask, 80);
    std::vector<PdfPixels> compressed = pixels.get();
    if (!goesOn || !goOn(ask, 90)) return false;
    if (!drawn) {
        error = QStringLiteral("Die PDF-Datei konnte nicht erzeugt werden.");
        return false;
    }
    for (size_t i = 0; i < compressed.size(); ++i) {
        if (compressed[i].rgb.isEmpty()) {
            error = QStringLiteral("Die PDF-Datei konnte nicht erzeugt werden.");
            return false;
        }
        pictures[pixelPictures[i]].pixels = std::move(compressed[i]);
    }
    buffer.close();
    std::vector<PdfLayerName> names;
    for (const Layer& layer : layers) names.push_back({layer.id, layer.label});
    QByteArray layered;
    if (!stackPdfPagesAsLayers(pages, names, layered, error, pictures, &boxes)) return false;
    if (!goOn(ask, 100)) return false;
    if (out.write(layered) != layered.size()) {
        error = QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden.");
        return false;
    }
    return true;
}

// The exact page, the cut line's bounds and the bleed, in points.
PdfPageBoxes pageBoxes(const ExportOptions& o, const ExportGeometry& g, const FoldingModel& model) {
    const double k = 72.0 / kExportDpi;
    PdfPageBoxes b;
    b.pagePoints = g.pageMm / 25.4 * 72.0;
    const QRectF cut = centred(model.cutOutline()).boundingRect().translated(g.itemOrigin);
    b.trimPoints = QRectF(cut.topLeft() * k, cut.bottomRight() * k);
    b.bleedPoints = o.bleed ? o.bleedMm / 25.4 * 72.0 : 0.0;
    return b;
}

}  // namespace

ExportGeometry exportGeometry(const SheetLayout& layout, const ExportOptions& o) {
    ExportGeometry g;
    const SheetGeometry sheet = sheetGeometry(layout, kExportDpi, kExportDpi);
    g.itemWidth = sheet.Wb;
    g.itemHeight = sheet.Hb;
    // Whole pixels, so the design lands on the print's pixel grid.
    const int bleed = o.bleed ? static_cast<int>(std::ceil(mmToDevicePixels(std::max(o.bleedMm, 0.0)) - 1e-9)) : 0;
    if (o.page == ExportPage::BoxOnly) {
        g.itemOrigin = QPoint(bleed, bleed);
        g.pagePixels = QSizeF(sheet.Wb + 2 * bleed, sheet.Hb + 2 * bleed);
        g.pageMm = QSizeF(pixelsToMm(g.pagePixels.width()), pixelsToMm(g.pagePixels.height()));
        return g;
    }
    const QPageSize::PageSizeId id = o.page == ExportPage::A3       ? QPageSize::A3
                                     : o.page == ExportPage::Letter ? QPageSize::Letter
                                                                    : QPageSize::A4;
    const QSizeF portrait = QPageSize(id).size(QPageSize::Millimeter);
    g.pageMm = QSizeF(portrait.height(), portrait.width());   // landscape
    g.pagePixels = QSizeF(mmToDevicePixels(g.pageMm.width()), mmToDevicePixels(g.pageMm.height()));
    g.itemOrigin = QPoint(std::max(sheet.sx, bleed), std::max(sheet.sy, bleed));
    return g;
}

QString exportPageName(ExportPage page) {
    switch (page) {
    case ExportPage::A3: return QStringLiteral("A3");
    case ExportPage::Letter: return QStringLiteral("Letter");
    case ExportPage::BoxOnly: return QStringLiteral("Nur die Box");
    default: return QStringLiteral("A4");
    }
}

ExportPage exportPageForPaper(const QSizeF& paperMm) {
    const double shorter = std::min(paperMm.width(), paperMm.height());
    const double longer = std::max(paperMm.width(), paperMm.height());
    for (ExportPage page : {ExportPage::A4, ExportPage::A3, ExportPage::Letter}) {
        const QPageSize::PageSizeId id = page == ExportPage::A3       ? QPageSize::A3
                                         : page == ExportPage::Letter ? QPageSize::Letter
                                                                      : QPageSize::A4;
        const QSizeF portrait = QPageSize(id).size(QPageSize::Millimeter);
        // Printers report their paper in whole points or pixels.
        if (std::abs(portrait.width() - shorter) <= 1 && std::abs(portrait.height() - longer) <= 1) return page;
    }
    return ExportPage::A4;
}

bool parseExportPage(const QString& name, ExportPage& page) {
    const QString n = name.trimmed().toLower();
    if (n == "a4") page = ExportPage::A4;
    else if (n == "a3") page = ExportPage::A3;
    else if (n == "letter") page = ExportPage::Letter;
    else if (n == "box") page = ExportPage::BoxOnly;
    else return false;
    return true;
}

bool writeVectorExport(BoxDocument& doc, const ExportOptions& options, QIODevice& out, QString& error,
                       std::vector<SidePicture>* side, const SidePictureNamer& sideName) {
    if (Painting()) {
        error = QStringLiteral("Die Box wird gerade gezeichnet.");
        return false;
    }
    ExportOptions o = options;
    // Drawing the design is most of the work; what is left of the bar is
    // for putting the file together.
    bool stopped = false;
    auto ask = [&](int percent) {
        if (!stopped && !goOn(options.progress, percent)) stopped = true;
        return !stopped;
    };
    const bool svgFormat = options.format == ExportFormat::Svg;
    o.progress = options.progress ? ProgressCallback([&](int p) { return ask(p * (svgFormat ? 90 : 80) / 100); })
                                  : ProgressCallback();
    auto stoppedHere = [&] {
        error = stoppedText();
        return false;
    };
    o.percent = std::clamp(o.percent, 10, 100);
    o.bleedMm = std::clamp(o.bleedMm, 0.0, 5.0);
    const ExportGeometry g = exportGeometry(doc.Layout, o);
    const FoldingModel model = FoldingModel::inPixels(doc.Layout, NetSource::of(doc, o.percent), kExportDpi);
    const PictureFiles files = o.art ? pictureFilesOf(doc) : PictureFiles();
    if (o.format == ExportFormat::Svg) {
        const std::vector<Layer> layers = layersFor(doc, o, g, model, nullptr);
        const bool written = writeSvg(layers, g, out, files, side, sideName);
        if (stopped || !ask(100)) return stoppedHere();
        if (!written) {
            error = QStringLiteral("Die SVG-Datei konnte nicht geschrieben werden.");
            return false;
        }
        return true;
    }
    // Qt draws a marker where each picture goes; the layer step puts in the
    // bytes of its file where the PDF can take them as they are, else its
    // pixels, compressed here on all cores.
    PictureStandIns standIns;
    std::vector<PdfPicture> pictures;
    std::vector<QImage> pixels;
    std::vector<size_t> pixelPictures;
    auto addPicture = [&](const DibHandle& picture, std::int64_t key) {
        // A drawing goes into the page as paths, never as a picture.
        if (picture.isEmpty() || picture.isVector() || standIns.find(picture, key)) return;
        PdfPicture pdf;
        const auto file = key < 0 ? files.constFind(picture.image().cacheKey()) : files.constEnd();
        if (file != files.constEnd() && (file->kind == PictureFile::Jpeg || file->pngDataAsIs)) {
            pdf.file = &*file;
        } else {
            pixels.push_back(vectorPictureOf(picture, key));
            pixelPictures.push_back(pictures.size());
        }
        standIns.add(picture, key, pictureMarker(int(pictures.size())));
        pictures.push_back(pdf);
    };
    if (o.art) {
        if (doc.BackgroundMode != bgNone) addPicture(doc.BackgroundPicture, -1);
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
            const Tobs& obj = doc.Objects[slot];
            if (obj.Kind == Image) addPicture(obj.Picture, obj.Transparent == 1 ? drawnTransparentValue(obj) : -1);
        }
    }
    // The pixels compress on another core while Qt draws the pages, which
    // need only the markers.
    std::future<std::vector<PdfPixels>> compressed =
        std::async(std::launch::async, [images = std::move(pixels)] { return compressPdfPixels(images); });
    const std::vector<Layer> layers = layersFor(doc, o, g, model, &standIns);
    const bool written = writePdf(layers, g, out, error, pictures, compressed, pixelPictures, pageBoxes(o, g, model),
                                  [&](int percent) {
        return ask(percent);
    });
    if (stopped) return stoppedHere();
    return written;
}

QString sidePicturesNotice() { return QStringLiteral("Große Bilder wurden neben der SVG-Datei gespeichert."); }

bool exportToFile(BoxDocument& doc, const ExportOptions& options, const QString& path, QString& error,
                  QString* notice) {
    QString made;
    if (options.format == ExportFormat::Svg) {
        QByteArray svg;
        QBuffer buffer(&svg);
        buffer.open(QIODevice::WriteOnly);
        std::vector<SidePicture> side;
        SidePictureNames names(path);
        if (!writeVectorExport(doc, options, buffer, made, &side,
                               [&names](const QString& suffix) { return names.next(suffix); })) {
            error = made;
            return false;
        }
        if (!saveSvgWithSidePictures(path, svg, side, names, error)) return false;
        if (!side.empty() && notice) *notice = sidePicturesNotice();
        return true;
    }
    const SaveResult saved =
        saveFile(path, [&](QIODevice& out) { return writeVectorExport(doc, options, out, made); });
    if (saved) return true;
    error = saved.contentFailed ? made : fileReasonLine(path, saved.reason);
    return false;
}

QString seriesSvgRefusedText() {
    return QStringLiteral("Eine SVG-Datei nimmt nur eine Box auf. Mit Seriendaten wird als PDF exportiert.");
}

namespace {

PaperFormat paperOfPage(ExportPage page) {
    return page == ExportPage::A3 ? PaperFormat::A3 : page == ExportPage::Letter ? PaperFormat::Letter : PaperFormat::A4;
}

}  // namespace

bool writeVectorSeries(const BoxDocument& design, SeriesRows& rows, const ExportOptions& options, QIODevice& out,
                       QString& error) {
    if (options.format == ExportFormat::Svg) {
        error = seriesSvgRefusedText();
        return false;
    }
    if (Painting()) {
        error = QStringLiteral("Die Box wird gerade gezeichnet.");
        return false;
    }
    ExportOptions o = options;
    o.percent = std::clamp(o.percent, 10, 100);
    o.bleedMm = std::clamp(o.bleedMm, 0.0, 5.0);
    ExportGeometry g = exportGeometry(design.Layout, o);
    const FoldingModel model = FoldingModel::inPixels(design.Layout, NetSource::of(design, o.percent), kExportDpi);
    // Where each box of a page goes: alone on its page, or packed as the
    // print packs the sheet on that paper.
    std::vector<QPoint> origins{g.itemOrigin};
    PdfPageBoxes boxes = pageBoxes(o, g, model);
    if (o.page != ExportPage::BoxOnly) {
        SheetOptions sheet;
        sheet.fill = true;
        sheet.bleed = o.bleed;
        sheet.bleedMm = o.bleedMm;
        const PageFrame frame = pageFrameOf(pdfPrinterPageLayout(paperOfPage(o.page)), kExportDpi);
        const SheetPlan plan = planSheet(design.Layout, NetSource::of(design, o.percent), sheet, frame);
        origins.clear();
        for (const QPoint& at : plan.itemOrigins) origins.push_back(at + frame.printable.topLeft());
        // Neighbours lie closer than a box area: each box is clipped to its
        // bleed outline, as on the printed sheet.
        o.bleed = true;
        o.bleedMm = plan.bleedMm;
        boxes = PdfPageBoxes();
        boxes.pagePoints = g.pageMm / 25.4 * 72.0;
    }
    const int perPage = std::max(int(origins.size()), 1);
    const int pageCount = (rows.count() + perPage - 1) / perPage;

    bool stopped = false;
    auto ask = [&](int percent) {
        if (!stopped && !goOn(options.progress, percent)) stopped = true;
        return !stopped;
    };
    auto stoppedHere = [&] {
        error = stoppedText();
        return false;
    };

    PictureStandIns standIns;
    std::vector<PdfPicture> pictures;
    std::vector<QImage> pixels;
    std::vector<size_t> pixelPictures;
    PictureFiles files;
    QSet<qint64> seen;
    // The files the pictures point at stay where they are while more are added.
    std::deque<PictureFile> kept;
    auto addPicture = [&](const DibHandle& picture, std::int64_t key) {
        if (picture.isEmpty() || picture.isVector() || standIns.find(picture, key)) return;
        PdfPicture pdf;
        const auto file = key < 0 ? files.constFind(picture.image().cacheKey()) : files.constEnd();
        if (file != files.constEnd() && (file->kind == PictureFile::Jpeg || file->pngDataAsIs)) {
            kept.push_back(*file);
            pdf.file = &kept.back();
        } else {
            pixels.push_back(vectorPictureOf(picture, key));
            pixelPictures.push_back(pictures.size());
        }
        standIns.add(picture, key, pictureMarker(int(pictures.size())));
        pictures.push_back(pdf);
    };
    auto addPictures = [&](const BoxDocument& doc) {
        if (!o.art) return;
        addPictureFiles(doc, files, seen);
        if (doc.BackgroundMode != bgNone) addPicture(doc.BackgroundPicture, -1);
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
            const Tobs& obj = doc.Objects[slot];
            if (obj.Kind == Image) addPicture(obj.Picture, obj.Transparent == 1 ? drawnTransparentValue(obj) : -1);
        }
        // A picture once looked at is not read from its file again.
        for (auto it = files.cbegin(); it != files.cend(); ++it) seen.insert(it.key());
        if (doc.BackgroundMode != bgNone && !doc.BackgroundPicture.isEmpty())
            seen.insert(doc.BackgroundPicture.image().cacheKey());
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
            const Tobs& obj = doc.Objects[slot];
            if (obj.Kind == Image && !obj.Picture.isEmpty()) seen.insert(obj.Picture.image().cacheKey());
        }
        files.clear();
    };

    std::vector<PdfLayerName> names;
    if (o.art) names.push_back({QStringLiteral("motiv"), QStringLiteral("Motiv")});
    if (o.net) names.push_back({QStringLiteral("gepunktetes-netz"), QStringLiteral("Gepunktetes Netz")});
    if (o.folds) names.push_back({QStringLiteral("falzlinien"), QStringLiteral("Falzlinien")});
    if (o.cuts) names.push_back({QStringLiteral("schnittlinien"), QStringLiteral("Schnittlinien")});

    QByteArray drawn;
    {
        QBuffer buffer(&drawn);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        setUpWriter(writer, g);
        QPainter p;
        if (!p.begin(&writer)) {
            error = QStringLiteral("Die PDF-Datei konnte nicht erzeugt werden.");
            return false;
        }
        p.setRenderHint(QPainter::LosslessImageRendering, true);
        bool first = true;
        std::vector<BoxDocument> docs;
        for (int page = 0; page < pageCount; ++page) {
            // Drawing the boxes is most of the work: 0..80 of the bar.
            o.progress = options.progress ? progressStretch(ask, page * 80 / pageCount, (page + 1) * 80 / pageCount)
                                          : ProgressCallback();
            const int firstRow = page * perPage;
            const int n = std::min(perPage, rows.count() - firstRow);
            docs.assign(size_t(n), BoxDocument());
            for (int k = 0; k < n; ++k) {
                if (!rows.document(firstRow + k, &docs[size_t(k)], &error)) {
                    p.end();
                    return false;
                }
                addPictures(docs[size_t(k)]);
            }
            for (const PdfLayerName& layer : names) {
                if (!first) writer.newPage();
                first = false;
                for (int k = 0; k < n; ++k) {
                    ExportGeometry at = g;
                    at.itemOrigin = origins[size_t(k)];
                    BoxDocument& doc = docs[size_t(k)];
                    if (layer.id == QLatin1String("motiv")) drawArt(p, doc, o, at, model, &standIns);
                    else if (layer.id == QLatin1String("gepunktetes-netz")) drawNet(p, doc, o, at);
                    else if (layer.id == QLatin1String("falzlinien")) drawFolds(p, at, model);
                    else drawCuts(p, at, model);
                }
            }
            if (stopped || !ask((page + 1) * 80 / pageCount)) {
                p.end();
                return stoppedHere();
            }
        }
        if (!p.end()) {
            error = QStringLiteral("Die PDF-Datei konnte nicht erzeugt werden.");
            return false;
        }
    }
    std::vector<PdfPixels> compressed = compressPdfPixels(pixels);
    pixels.clear();
    if (!ask(90)) return stoppedHere();
    for (size_t i = 0; i < compressed.size(); ++i) {
        if (compressed[i].rgb.isEmpty()) {
            error = QStringLiteral("Die PDF-Datei konnte nicht erzeugt werden.");
            return false;
        }
        pictures[pixelPictures[i]].pixels = std::move(compressed[i]);
    }
    QByteArray layered;
    if (!stackPdfPagesAsLayers(drawn, names, layered, error, pictures, &boxes, pageCount)) return false;
    drawn.clear();
    if (!ask(100)) return stoppedHere();
    if (out.write(layered) != layered.size()) {
        error = QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden.");
        return false;
    }
    return true;
}

bool exportSeriesToFile(const BoxDocument& design, SeriesRows& rows, const ExportOptions& options,
                        const QString& path, QString& error) {
    if (options.format == ExportFormat::Svg) {
        error = seriesSvgRefusedText();
        return false;
    }
    QString made;
    const SaveResult saved =
        saveFile(path, [&](QIODevice& out) { return writeVectorSeries(design, rows, options, out, made); });
    if (saved) return true;
    error = saved.contentFailed ? made : fileReasonLine(path, saved.reason);
    return false;
}
