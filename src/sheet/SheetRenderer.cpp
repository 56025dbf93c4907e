#include "sheet/SheetRenderer.h"

#include "base/JobProgress.h"
#include "base/Units.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/SheetLayout.h"
#include "image/RenderThreads.h"
#include "render/SheetRenderParams.h"
#include "sheet/SheetCanvas.h"
#include "render/TextRenderer.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <vector>

bool checkPrinterResolution(int px, int py, Prompter& prompter) {
    if (px == py) return false;
    prompter.inform(sheetmsg::ResolutionCaption, sheetmsg::ResolutionText, PromptIcon::Information);
    return true;
}

QSize previewPageSize(QSize printerPage, int px, int py, int previewDpi) {
    const int dpi = std::max(previewDpi, 1);
    const int rx = std::max(px / dpi, 1);
    const int ry = std::max(py / dpi, 1);
    return QSize(printerPage.width() / rx, printerPage.height() / ry);
}

QImage renderPreview(const BoxDocument& doc, int percent, int previewDpi, QSize printerPage, int px, int py,
                     qreal ratio) {
    const QSize size = previewPageSize(printerPage, px, py, previewDpi);
    const SheetPlan plan =
        planSheet(doc.Layout, NetSource::of(doc, percent), SheetOptions(), pageOnlyFrame(size, previewDpi, previewDpi));
    return renderPreview(doc, plan, size, ratio);
}

QImage renderPreview(const BoxDocument& doc, const SheetPlan& plan, QSize pageSize, qreal ratio) {
    if (Painting() || !(ratio > 0)) return QImage();
    // A high-density screen gets the page at its device pixels, laid out in
    // the same logical pixels as on any other screen.
    QImage page(qCeil(std::max(pageSize.width(), 1) * ratio), qCeil(std::max(pageSize.height(), 1) * ratio),
                QImage::Format_RGB32);
    if (page.isNull()) return page;
    page.setDevicePixelRatio(ratio);
    page.fill(Qt::white);
    QPainter canvas(&page);
    canvas.setPen(QPen(Qt::white, 1));
    canvas.setBrush(Qt::white);
    // The preview is shown on the screen: canvas and fonts both count at the
    // screen's pixels per inch, so text keeps its size relative to the net.
    RenderParams params = planRenderParams(plan, 1.0);
    params.CanvasDpi = screenPpi();
    if (!drawPlannedSheet(canvas, doc, plan, params, QRect(QPoint(0, 0), pageSize))) return QImage();
    if (plan.usable != QRect(QPoint(0, 0), plan.frame.printable.size())) {
        canvas.setPen(QPen(UsableAreaLineColor, 0));
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(plan.usable.adjusted(0, 0, -1, -1));
    }
    return page;
}

SheetPlan planWithProgress(const SheetPlan& plan, JobProgress& job) {
    SheetPlan copy = plan;
    copy.progress = job.forPiece();
    return copy;
}

namespace {
// The plan of one net as it has always been printed, for callers that give
// only a page size.
SheetPlan plainPlan(const BoxDocument& doc, int percent, int rx, int ry, QSize page) {
    return planSheet(doc.Layout, NetSource::of(doc, percent), SheetOptions(), pageOnlyFrame(page, rx, ry));
}
}  // namespace

bool renderSheetBand(QImage& band, const BoxDocument& doc, int percent, int rx, int ry, int bandTop, double screenDpi) {
    return renderSheetBand(band, doc, plainPlan(doc, percent, rx, ry, QSize(band.width(), bandTop + band.height())),
                           bandTop, screenDpi);
}

bool renderSheetBand(QImage& band, const BoxDocument& doc, const SheetPlan& plan, int bandTop, double screenDpi) {
    if (Painting()) return false;
    return drawSheetBand(band, doc, plan, bandTop, screenDpi);
}

bool drawSheetBand(QImage& band, const BoxDocument& doc, int percent, int rx, int ry, int bandTop, double screenDpi) {
    return drawSheetBand(band, doc, plainPlan(doc, percent, rx, ry, QSize(band.width(), bandTop + band.height())),
                         bandTop, screenDpi);
}

bool drawSheetBand(QImage& band, const BoxDocument& doc, const SheetPlan& plan, int bandTop, double screenDpi) {
    if (band.isNull()) return false;
    band.fill(Qt::white);
    return drawSheetRows(band, QRect(QPoint(0, 0), band.size()), doc, plan, bandTop, screenDpi);
}

bool drawSheetRows(QImage& band, const QRect& rows, const BoxDocument& doc, int percent, int rx, int ry,
                   int bandTop, double screenDpi) {
    return drawSheetRows(band, rows, doc, plainPlan(doc, percent, rx, ry, QSize(band.width(), bandTop + band.height())),
                         bandTop, screenDpi);
}

namespace {
// The sheet into the rows `rows` of band, whose pixel (0, 0) is page pixel
// origin.
bool drawSheetRowsAt(QImage& band, const QRect& rows, const BoxDocument& doc, const SheetPlan& plan, QPoint origin,
                     double screenDpi) {
    if (band.isNull()) return false;
    if (screenDpi <= 0) screenDpi = screenPpi();
    QPainter canvas(&band);
    canvas.setClipRect(rows);
    canvas.setPen(QPen(Qt::white, 1));
    canvas.setBrush(Qt::white);
    const int rx = plan.frame.dpiX;
    RenderParams params = planRenderParams(plan, printFontFactor(rx, screenDpi));
    // The band stands in for the printer: font heights count at its dpi.
    params.CanvasDpi = rx;
    params.FontPpi = static_cast<int>(screenDpi);
    return drawPlannedSheet(canvas, doc, plan, params, QRect(origin, band.size()));
}
}  // namespace

bool drawSheetRows(QImage& band, const QRect& rows, const BoxDocument& doc, const SheetPlan& plan, int bandTop,
                   double screenDpi) {
    return drawSheetRowsAt(band, rows, doc, plan, QPoint(0, bandTop), screenDpi);
}

bool drawSheetSlice(QImage& slice, const BoxDocument& doc, const SheetPlan& plan, int top, int pageHeight,
                    double screenDpi) {
    if (slice.isNull() || slice.format() != QImage::Format_RGB32 || top < 0 || top + slice.height() > pageHeight)
        return false;
    slice.fill(Qt::white);
    // The view's row `top` is the slice's row 0; only the slice's rows are
    // inside the clip, so no other row of the view is ever touched.
    const qsizetype bpl = slice.bytesPerLine();
    QImage view(slice.bits() - qsizetype(top) * bpl, slice.width(), pageHeight, bpl, QImage::Format_RGB32);
    return drawSheetRows(view, QRect(0, top, slice.width(), slice.height()), doc, plan, 0, screenDpi);
}

SheetPlan plainSheetPlan(const BoxDocument& doc, int percent, int rx, int ry, QSize pageSize) {
    return plainPlan(doc, percent, rx, ry, pageSize);
}

bool isAllWhite(const QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) != 0x00FFFFFFu) return false;
    }
    return true;
}

bool printSheet(QPainter& device, const BoxDocument& doc, int percent, int dpiX, int dpiY, QSize pageSize,
                double screenDpi, int bandHeight,
                const std::function<void(const QImage& band, int top)>& onBand) {
    return printSheet(device, doc, plainPlan(doc, percent, dpiX, dpiY, pageSize), screenDpi, bandHeight, onBand);
}

bool printSheet(QPainter& device, const BoxDocument& doc, const SheetPlan& plan, double screenDpi, int bandHeight,
                const std::function<void(const QImage& band, int top)>& onBand) {
    if (Painting()) return false;
    PaintingGuard job;
    const QSize pageSize = plan.frame.printable.size();
    const int width = std::max(pageSize.width(), 1);
    const int height = std::max(pageSize.height(), 1);
    if (bandHeight <= 0) bandHeight = std::max(16, (16 * 1024 * 1024) / (width * 4));
    bandHeight = std::min(bandHeight, height);
    // A lossy encoding (PDF's JPEG) would smear the one-pixel dotted net.
    const bool lossless = device.testRenderHint(QPainter::LosslessImageRendering);
    device.setRenderHint(QPainter::LosslessImageRendering, true);
    struct RestoreHint {
        QPainter& p;
        bool on;
        ~RestoreHint() { p.setRenderHint(QPainter::LosslessImageRendering, on); }
    } restore{device, lossless};
    const int bandCount = (height + bandHeight - 1) / bandHeight;
    const int batch = std::max(1, renderThreadCount());
    JobProgress work(plan.progress, bandCount);
    if (!work.ask()) return false;
    const SheetPlan bandPlan = planWithProgress(plan, work);
    std::vector<QImage> bands;
    for (int first = 0; first < bandCount; first += batch) {
        const int n = std::min(batch, bandCount - first);
        bands.assign(size_t(n), QImage());
        std::vector<char> ok(size_t(n), 0);
        parallelFor(n, [&](int i) {
            if (work.stopped()) return;
            const int top = (first + i) * bandHeight;
            QImage& band = bands[size_t(i)];
            band = QImage(width, std::min(bandHeight, height - top), QImage::Format_RGB32);
            ok[size_t(i)] = drawSheetBand(band, doc, bandPlan, top, screenDpi);
            work.pieceDone();
        });
        // Stopped: the bands drawn so far never reach the device.
        if (!work.ask()) return false;
        for (int i = 0; i < n; ++i) {
            if (!ok[size_t(i)]) return false;
            const int top = (first + i) * bandHeight;
            if (onBand) onBand(bands[size_t(i)], top);
            // White bands add nothing to white paper.
            if (!isAllWhite(bands[size_t(i)])) device.drawImage(QPoint(0, top), bands[size_t(i)]);
        }
    }
    return true;
}

QImage renderSheetImage(const BoxDocument& doc, int percent, int dpi, QSize pageSize, double screenDpi) {
    return renderSheetImage(doc, plainPlan(doc, percent, dpi, dpi, pageSize), screenDpi);
}

namespace {
// The sheet's bands on the render pool into the rows of one memory: rows0
// with bytesPerLine, width x height pixels (the printable area).
bool drawSheetInto(uchar* rows0, qsizetype bytesPerLine, int width, int height, const BoxDocument& doc,
                   const SheetPlan& jobPlan, double screenDpi, QPoint origin = QPoint()) {
    const int bandCount = (height + kSheetBandRows - 1) / kSheetBandRows;
    JobProgress job(jobPlan.progress, bandCount);
    if (!job.ask()) return false;
    const SheetPlan plan = planWithProgress(jobPlan, job);
    std::vector<char> ok(size_t(bandCount), 0);
    parallelFor(bandCount, [&](int i) {
        const int top = i * kSheetBandRows;
        const int rows = std::min(kSheetBandRows, height - top);
        // Each band paints on a view of the whole page clipped to its rows:
        // the coordinates of one pass over the page, so curves round
        // exactly as there. The views write disjoint rows of one memory.
        QImage view(rows0, width, height, bytesPerLine, QImage::Format_RGB32);
        for (int y = top; y < top + rows; ++y)
            std::fill_n(reinterpret_cast<QRgb*>(rows0 + qsizetype(y) * bytesPerLine), width, 0xFFFFFFFFu);
        // A stopped job leaves the bands not yet begun.
        if (job.stopped()) return;
        ok[size_t(i)] = drawSheetRowsAt(view, QRect(0, top, width, rows), doc, plan, origin, screenDpi);
        job.pieceDone();
    });
    return job.ask() && std::all_of(ok.begin(), ok.end(), [](char b) { return b != 0; });
}
}  // namespace

QImage renderSheetImage(const BoxDocument& doc, const SheetPlan& plan, double screenDpi) {
    if (Painting()) return QImage();
    PaintingGuard job;
    const QSize pageSize = plan.frame.printable.size();
    QImage page(std::max(pageSize.width(), 1), std::max(pageSize.height(), 1), QImage::Format_RGB32);
    if (page.isNull()) return page;
    uchar* const rows0 = page.bits();   // detached once, before the threads share it
    if (!drawSheetInto(rows0, page.bytesPerLine(), page.width(), page.height(), doc, plan, screenDpi)) return QImage();
    return page;
}

QImage renderSheetPaper(const BoxDocument& doc, const SheetPlan& plan, double screenDpi) {
    if (Painting()) return QImage();
    PaintingGuard job;
    const QRect area = plan.frame.printable;
    QImage paper(plan.frame.paper, QImage::Format_RGB32);
    if (paper.isNull() || area.isEmpty() || !QRect(QPoint(0, 0), paper.size()).contains(area)) return QImage();
    paper.fill(Qt::white);
    uchar* const corner = paper.bits() + qsizetype(area.top()) * paper.bytesPerLine() + qsizetype(area.left()) * 4;
    if (!drawSheetInto(corner, paper.bytesPerLine(), area.width(), area.height(), doc, plan, screenDpi))
        return QImage();
    return paper;
}

QImage renderSheetRegion(const BoxDocument& doc, const SheetPlan& plan, const QRect& region, double screenDpi) {
    if (Painting() || region.isEmpty()) return QImage();
    PaintingGuard job;
    QImage part(region.size(), QImage::Format_RGB32);
    if (part.isNull()) return part;
    uchar* const rows0 = part.bits();
    if (!drawSheetInto(rows0, part.bytesPerLine(), part.width(), part.height(), doc, plan, screenDpi,
                       region.topLeft()))
        return QImage();
    return part;
}
