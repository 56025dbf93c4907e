#include "sheet/Thumbnail.h"

#include "box/BoxNet.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/SheetGeometry.h"
#include "sheet/SheetRenderer.h"
#include "render/DrawVCart.h"

#include <algorithm>
#include <cmath>

namespace {
// Rendered at twice the thumbnail's size and scaled down: the dotted net and
// thin lines come out as soft lines instead of breaking up.
constexpr int Oversampling = 2;
// Small thumbnails are still rendered at a resolution where the net's
// pixel sizes keep its aspect.
constexpr double MinRenderDpi = 40;
constexpr int MaxRenderDpi = 1200;
// Nets that MinRenderDpi would make larger than this many pixels are drawn
// coarser.
constexpr double MinRenderSide = 1024;
// The net's proportions are measured at the print's resolution.
constexpr int MeasureDpi = 600;

// The net's cut outline bounds at dpi, in item pixels.
QRect netBoundsAt(const BoxDocument& doc, int dpi) {
    const SheetGeometry g = sheetGeometry(doc.Layout, dpi, dpi);
    if (g.Wb < 1 || g.Hb < 1) return QRect();
    return netBounds(measureNetAtDpi(boxAreaFor(g.Wb, g.Hb, 0, 0, false), NetSource::of(doc, 100), dpi));
}

int renderDpiFor(const QSizeF& netMm, int size) {
    const double longerMm = std::max(netMm.width(), netMm.height());
    if (!(longerMm > 0)) return 0;
    const double dpi = std::ceil(size * Oversampling * 25.39995 / longerMm);
    if (dpi >= MaxRenderDpi) return MaxRenderDpi;
    if (dpi >= MinRenderDpi) return int(dpi);
    // A net so large that even the coarse resolution would need more pixels
    // than a thumbnail shows is drawn at the thumbnail's own pixels instead:
    // its memory follows the output, not the box.
    const double capped = std::floor(std::max(double(size * Oversampling), MinRenderSide) * 25.39995 / longerMm);
    return int(std::max(dpi, std::min(MinRenderDpi, capped)));
}
}  // namespace

QImage renderThumbnail(BoxDocument& doc, int size, QString* why) {
    const auto fail = [&](const QString& reason) {
        if (why) *why = reason;
        return QImage();
    };
    if (size < 1) return fail(thumbnail::NoNetText);
    const QRect measured = netBoundsAt(doc, MeasureDpi);
    if (measured.isEmpty()) return fail(thumbnail::NoNetText);
    const QSizeF netMm(measured.width() * 25.39995 / MeasureDpi, measured.height() * 25.39995 / MeasureDpi);
    const int dpi = renderDpiFor(netMm, size);
    if (dpi <= 0) return fail(thumbnail::NoNetText);
    const SheetLayout kept = doc.Layout;
    doc.Layout.MarginX = 0;
    doc.Layout.MarginY = 0;
    const SheetGeometry g = sheetGeometry(doc.Layout, dpi, dpi);
    const QRect net = netBoundsAt(doc, dpi).intersected(QRect(0, 0, g.Wb, g.Hb));
    if (net.isEmpty()) {
        doc.Layout = kept;
        return fail(thumbnail::NoNetText);
    }
    QImage item;
    {
        // Only the net's bounds are drawn: the item around a small net may be
        // metres of blank paper.
        const SheetPlan plan = plainSheetPlan(doc, 100, dpi, dpi, QSize(g.Wb, g.Hb));
        if (plan.copies() > 0) item = renderSheetRegion(doc, plan, net.translated(plan.itemOrigins[0]));
    }
    doc.Layout = kept;
    if (item.isNull()) return fail(Painting() ? thumbnail::BusyText : thumbnail::NoMemoryText);
    // The net's own aspect at the print's resolution, not that of its
    // coarser pixels here.
    const double w = measured.width(), h = measured.height();
    const QSize target = w >= h ? QSize(size, std::max(1, int(std::lround(size * h / w))))
                                : QSize(std::max(1, int(std::lround(size * w / h))), size);
    const QImage scaled = item.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull()) return fail(thumbnail::NoMemoryText);
    return scaled;
}

bool openForThumbnail(BoxDocument& doc, const QString& boxPath, int size, Prompter& prompter) {
    // The pictures are drawn at most about the size of the rendered net.
    return OpenForPreview(doc, boxPath, prompter, size * Oversampling);
}

QImage thumbnailOfFile(const QString& boxPath, int size, Prompter& prompter, QString* why) {
    BoxDocument doc;
    if (!openForThumbnail(doc, boxPath, size, prompter)) return QImage();
    return renderThumbnail(doc, size, why);
}
