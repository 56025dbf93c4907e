#include "render/Thumbnail.h"

#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "render/SheetRenderer.h"

#include <algorithm>
#include <cmath>

namespace {
// Rendered at twice the thumbnail's size and scaled down: the dotted net and
// thin lines come out as soft lines instead of breaking up.
constexpr int Oversampling = 2;
// Small thumbnails are still rendered at a resolution where the item's
// pixel sizes keep its aspect.
constexpr double MinRenderDpi = 40;
constexpr int MaxRenderDpi = 1200;

int renderDpiFor(const BoxDocument& doc, int size) {
    const double longerMm = std::max(doc.Layout.ItemWidth, doc.Layout.ItemHeight);
    if (!(longerMm > 0)) return 0;
    const double dpi = std::ceil(size * Oversampling * 25.39995 / longerMm);
    return int(std::clamp(dpi, MinRenderDpi, double(MaxRenderDpi)));
}
}  // namespace

QImage renderThumbnail(BoxDocument& doc, int size) {
    if (size < 1) return QImage();
    const int dpi = renderDpiFor(doc, size);
    if (dpi <= 0) return QImage();
    const SheetLayout kept = doc.Layout;
    doc.Layout.MarginX = 0;
    doc.Layout.MarginY = 0;
    const SheetGeometry g = sheetGeometry(doc.Layout, dpi, dpi);
    QImage item;
    if (g.Wb >= 1 && g.Hb >= 1) item = renderSheetImage(doc, 100, dpi, QSize(g.Wb, g.Hb));
    doc.Layout = kept;
    if (item.isNull()) return QImage();
    // The item's own aspect, not that of its truncated pixel sizes.
    const double w = doc.Layout.ItemWidth, h = doc.Layout.ItemHeight;
    const QSize target = w >= h ? QSize(size, std::max(1, int(std::lround(size * h / w))))
                                : QSize(std::max(1, int(std::lround(size * w / h))), size);
    return item.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage thumbnailOfFile(const QString& boxPath, int size, Prompter& prompter) {
    BoxDocument doc;
    // The pictures are drawn at most about the size of the rendered item.
    if (!OpenForPreview(doc, boxPath, prompter, size * Oversampling)) return QImage();
    return renderThumbnail(doc, size);
}
