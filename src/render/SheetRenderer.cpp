#include "render/SheetRenderer.h"

#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/SheetLayout.h"
#include "render/TextRenderer.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>

SheetGeometry sheetGeometry(const SheetLayout& layout, int rx, int ry) {
    SheetGeometry g;
    g.Wb = mmToPixels(layout.ItemWidth, rx);
    g.Hb = mmToPixels(layout.ItemHeight, ry);
    g.sx = mmToPixels(layout.MarginX, rx);
    g.sy = mmToPixels(layout.MarginY, ry);
    return g;
}

double printFontFactor(double printerDpi, double screenDpi) {
    if (screenDpi <= 0) screenDpi = 96;
    const double f = printerDpi / screenDpi;
    return f * f;
}

RenderParams sheetRenderParams(const SheetLayout& layout, int percent, int rx, int ry, double fontFactor) {
    const SheetGeometry g = sheetGeometry(layout, rx, ry);
    RenderParams p;
    p.AreaWidth = g.Wb;
    p.AreaHeight = g.Hb;
    // Objects count from the editing area's corner, one item left and above
    // the box area; the offsets bring the box area to the canvas origin.
    p.OffsetX = g.Wb;
    p.OffsetY = g.Hb;
    p.mapping = Mapping::printAtDpi(rx);
    p.FontFactor = fontFactor;
    p.EditorView = false;
    p.Percent = percent;
    return p;
}

QPoint itemOrigin(const SheetLayout& layout, int rx, int ry) {
    const SheetGeometry g = sheetGeometry(layout, rx, ry);
    return QPoint(g.sx, g.sy);
}

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
    if (Painting() || !(ratio > 0)) return QImage();
    const QSize size = previewPageSize(printerPage, px, py, previewDpi);
    // A high-density screen gets the page at its device pixels, laid out in
    // the same logical pixels as on any other screen.
    QImage page(qCeil(std::max(size.width(), 1) * ratio), qCeil(std::max(size.height(), 1) * ratio),
                QImage::Format_RGB32);
    if (page.isNull()) return page;
    page.setDevicePixelRatio(ratio);
    page.fill(Qt::white);
    QPainter canvas(&page);
    canvas.setPen(QPen(Qt::white, 1));
    canvas.setBrush(Qt::white);
    // The preview is shown on the screen: canvas and fonts both count at the
    // screen's pixels per inch, so text keeps its size relative to the net.
    RenderParams params = sheetRenderParams(doc.Layout, percent, previewDpi, previewDpi, 1.0);
    params.CanvasDpi = screenPpi();
    canvas.translate(itemOrigin(doc.Layout, previewDpi, previewDpi));
    DrawVCart(canvas, doc, params);
    return page;
}

bool renderSheetBand(QImage& band, const BoxDocument& doc, int percent, int rx, int ry, int bandTop, double screenDpi) {
    if (Painting() || band.isNull()) return false;
    if (screenDpi <= 0) screenDpi = screenPpi();
    band.fill(Qt::white);
    QPainter canvas(&band);
    canvas.setPen(QPen(Qt::white, 1));
    canvas.setBrush(Qt::white);
    RenderParams params = sheetRenderParams(doc.Layout, percent, rx, ry, printFontFactor(rx, screenDpi));
    // The band stands in for the printer: font heights count at its dpi.
    params.CanvasDpi = rx;
    params.FontPpi = static_cast<int>(screenDpi);
    canvas.translate(itemOrigin(doc.Layout, rx, ry) - QPoint(0, bandTop));
    return DrawVCart(canvas, doc, params);
}

namespace {
bool allWhite(const QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) != 0x00FFFFFFu) return false;
    }
    return true;
}
}  // namespace

bool printSheet(QPainter& device, const BoxDocument& doc, int percent, int dpiX, int dpiY, QSize pageSize,
                double screenDpi, int bandHeight,
                const std::function<void(const QImage& band, int top)>& onBand) {
    if (Painting()) return false;
    const int width = std::max(pageSize.width(), 1);
    const int height = std::max(pageSize.height(), 1);
    if (bandHeight <= 0) bandHeight = std::max(16, (16 * 1024 * 1024) / (width * 4));
    bandHeight = std::min(bandHeight, height);
    QImage band(width, bandHeight, QImage::Format_RGB32);
    if (band.isNull()) return false;
    // A lossy encoding (PDF's JPEG) would smear the one-pixel dotted net.
    const bool lossless = device.testRenderHint(QPainter::LosslessImageRendering);
    device.setRenderHint(QPainter::LosslessImageRendering, true);
    struct RestoreHint {
        QPainter& p;
        bool on;
        ~RestoreHint() { p.setRenderHint(QPainter::LosslessImageRendering, on); }
    } restore{device, lossless};
    for (int top = 0; top < height; top += bandHeight) {
        const int rows = std::min(bandHeight, height - top);
        if (rows != band.height()) band = QImage(width, rows, QImage::Format_RGB32);
        if (band.isNull()) return false;
        if (!renderSheetBand(band, doc, percent, dpiX, dpiY, top, screenDpi)) return false;
        if (onBand) onBand(band, top);
        // White bands add nothing to white paper.
        if (!allWhite(band)) device.drawImage(QPoint(0, top), band);
    }
    return true;
}

QImage renderSheetImage(const BoxDocument& doc, int percent, int dpi, QSize pageSize, double screenDpi) {
    QImage page(std::max(pageSize.width(), 1), std::max(pageSize.height(), 1), QImage::Format_RGB32);
    if (page.isNull()) return page;
    if (!renderSheetBand(page, doc, percent, dpi, dpi, 0, screenDpi)) return QImage();
    return page;
}
