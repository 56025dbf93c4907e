#include "sheet/SheetPlan.h"

#include "model/SheetLayout.h"
#include "base/Units.h"

#include <QPageSize>
#include <algorithm>
#include <cmath>

namespace {

// A rectangle given in paper millimetres, in paper pixels: each edge
// truncated on its own, so neighbouring rectangles share their edges.
QRect paperRect(double leftMm, double topMm, double rightMm, double bottomMm, int dpiX, int dpiY) {
    const int l = mmToPixels(leftMm, dpiX), t = mmToPixels(topMm, dpiY);
    const int r = mmToPixels(rightMm, dpiX), b = mmToPixels(bottomMm, dpiY);
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

// An arm of a corner mark: at a coarse resolution (the preview's) its
// thickness may truncate to no pixel at all; it then keeps one pixel along
// its outer edges, where it meets the other arm.
QRect armRect(double leftMm, double topMm, double rightMm, double bottomMm, const PageFrame& f, Qt::Edges outer) {
    int l = mmToPixels(leftMm, f.dpiX), t = mmToPixels(topMm, f.dpiY);
    int r = mmToPixels(rightMm, f.dpiX), b = mmToPixels(bottomMm, f.dpiY);
    if (r <= l) (outer & Qt::RightEdge) ? l = r - 1 : r = l + 1;
    if (b <= t) (outer & Qt::BottomEdge) ? t = b - 1 : b = t + 1;
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

std::vector<QRect> markRects(const PageFrame& f, double insetMm) {
    using namespace regmark;
    const double w = f.paperSizeMm().width();
    const double h = f.paperSizeMm().height();
    const double i = insetMm;
    std::vector<QRect> r;
    // Square at the top left.
    r.push_back(paperRect(i, i, i + SquareMm, i + SquareMm, f.dpiX, f.dpiY));
    // Corner at the top right: one arm along the top edge, one down the right.
    r.push_back(armRect(w - i - ArmMm, i, w - i, i + ThicknessMm, f, Qt::TopEdge | Qt::RightEdge));
    r.push_back(armRect(w - i - ThicknessMm, i, w - i, i + ArmMm, f, Qt::TopEdge | Qt::RightEdge));
    // Corner at the bottom left: one arm along the bottom edge, one up the left.
    r.push_back(armRect(i, h - i - ThicknessMm, i + ArmMm, h - i, f, Qt::BottomEdge | Qt::LeftEdge));
    r.push_back(armRect(i, h - i - ArmMm, i + ThicknessMm, h - i, f, Qt::BottomEdge | Qt::LeftEdge));
    const QPoint toPage = -f.printable.topLeft();
    for (QRect& m : r) m.translate(toPage);
    return r;
}

}  // namespace

QSizeF PageFrame::paperSizeMm() const {
    if (!paperMm.isEmpty()) return paperMm;
    return QSizeF(paper.width() * 25.39995 / std::max(dpiX, 1), paper.height() * 25.39995 / std::max(dpiY, 1));
}

PageFrame pageOnlyFrame(QSize page, int dpiX, int dpiY) {
    return PageFrame{page, QRect(QPoint(0, 0), page), dpiX, dpiY, QSizeF()};
}

PageFrame pageFrameOf(const QPageLayout& layout, int dpi) {
    PageFrame f;
    f.paper = layout.fullRectPixels(dpi).size();
    f.printable = layout.paintRectPixels(dpi);
    f.dpiX = dpi;
    f.dpiY = dpi;
    f.paperMm = exactPaperMm(layout);
    return f;
}

QSizeF exactPaperMm(const QPageLayout& layout) {
    // The format's own millimetres (Letter's from its inches), where the
    // layout's point and pixel sizes are rounded.
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    const bool landscape = layout.orientation() == QPageLayout::Landscape;
    return landscape != (mm.width() > mm.height()) ? mm.transposed() : mm;
}

QSizeF exactPaperPoints(const QPageLayout& layout) { return exactPaperMm(layout) / 25.4 * 72.0; }

QPageLayout pdfPrinterPageLayout(PaperFormat paper) {
    return QPageLayout(QPageSize(pageSizeIdOf(paper)), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

QPageSize::PageSizeId pageSizeIdOf(PaperFormat paper) {
    switch (paper) {
    case PaperFormat::A3: return QPageSize::A3;
    case PaperFormat::Letter: return QPageSize::Letter;
    case PaperFormat::A4: break;
    }
    return QPageSize::A4;
}

SheetPlan planSheet(const SheetLayout& layout, const NetSource& source, const SheetOptions& options, const PageFrame& frame,
                    QSize grid) {
    SheetPlan p;
    p.frame = frame;
    p.frame.dpiX = std::max(frame.dpiX, 1);
    p.frame.dpiY = std::max(frame.dpiY, 1);
    const int rx = p.frame.dpiX, ry = p.frame.dpiY;
    p.percent = source.percent;
    p.form = source.form;
    p.item = QSize(mmToPixels(layout.ItemWidth, rx), mmToPixels(layout.ItemHeight, ry));
    p.net = measureNetAtDpi(boxAreaFor(p.item.width(), p.item.height(), 0, 0, false), source, rx);
    p.outline = netBounds(p.net);
    p.netLineMm = std::max(0.0, options.netLineMm);
    p.bleedInForce = options.bleedInForce();
    if (p.bleedInForce) {
        p.bleedMm = std::clamp(options.bleedInForceMm(), SheetOptions::MinBleedMm, SheetOptions::MaxBleedMm);
        p.bleedX = mmToPixels(p.bleedMm, rx);
        p.bleedY = mmToPixels(p.bleedMm, ry);
    }

    // The usable area exactly, in page pixels, and the whole pixels inside it.
    const QRect printable(QPoint(0, 0), frame.printable.size());
    double lo[2] = {0, 0};
    double hi[2] = {double(printable.width()), double(printable.height())};
    if (options.regMarks) {
        const double inset = std::clamp(options.markInsetMm, SheetOptions::MinInsetMm, SheetOptions::MaxInsetMm);
        const double c = inset + regmark::ClearanceMm;
        const QSizeF paper = frame.paperSizeMm();
        const double dpi[2] = {double(rx), double(ry)};
        const double corner[2] = {double(frame.printable.left()), double(frame.printable.top())};
        const double far[2] = {paper.width() - c, paper.height() - c};
        for (int a = 0; a < 2; ++a) {
            lo[a] = std::max(lo[a], c / 25.39995 * dpi[a] - corner[a]);
            hi[a] = std::min(hi[a], far[a] / 25.39995 * dpi[a] - corner[a]);
        }
        p.marks = markRects(p.frame, inset);
    }
    // A pixel belongs to the area only when all of it lies inside.
    const auto firstPixel = [](double edge) { return int(std::ceil(edge - 1e-9)); };
    const auto endPixel = [](double edge) { return int(std::floor(edge + 1e-9)); };
    p.usable = QRect(QPoint(firstPixel(lo[0]), firstPixel(lo[1])), QPoint(endPixel(hi[0]) - 1, endPixel(hi[1]) - 1));

    if (!p.bleedInForce) {
        // One net as it has always been printed: the item at the sheet
        // position of net number 0, from the printable area's corner.
        p.itemOrigins.push_back(QPoint(mmToPixels(layout.MarginX, rx), mmToPixels(layout.MarginY, ry)));
        return p;
    }

    // The steps of the grid in exact pixels: the outline's own pixels plus
    // two bleeds and a gap in millimetres. Each copy's place is truncated on
    // its own, so rounding does not add up across the sheet.
    const double steps[2] = {p.outline.width() + (2 * p.bleedMm + CopyGapMm) / 25.39995 * rx,
                             p.outline.height() + (2 * p.bleedMm + CopyGapMm) / 25.39995 * ry};
    const double bleedPx[2] = {p.bleedMm / 25.39995 * rx, p.bleedMm / 25.39995 * ry};
    const int bleedWhole[2] = {p.bleedX, p.bleedY};
    const int outLo[2] = {p.outline.left(), p.outline.top()};
    const int outSize[2] = {p.outline.width(), p.outline.height()};
    const int usableLo[2] = {p.usable.left(), p.usable.top()};
    const int usableLast[2] = {p.usable.right(), p.usable.bottom()};
    const int fixed[2] = {grid.isEmpty() ? 0 : grid.width(), grid.isEmpty() ? 0 : grid.height()};
    int start[2] = {0, 0};
    int count[2] = {1, 1};
    for (int a = 0; a < 2; ++a) {
        // The cut line runs through the middle of the outline's pixels; its
        // bleed outline lies the bleed beyond. The first copy starts where
        // neither that outline nor its printed pixels come before the usable
        // area: the keep-out around the marks stays free.
        start[a] = std::max(firstPixel(lo[a] + bleedPx[a] - 0.5), usableLo[a] + bleedWhole[a]);
        const auto fitsAt = [&](int k) {
            const int last = start[a] + truncToInt(k * steps[a]) + outSize[a] - 1;
            return last + 0.5 + bleedPx[a] <= hi[a] + 1e-9 && last + bleedWhole[a] <= usableLast[a];
        };
        if (fixed[a] > 0) {
            count[a] = std::clamp(fixed[a], 1, 1000);
        } else if (options.fill) {
            // At least one, so a box too large for the sheet is still placed
            // (the fit check tells the user).
            while (count[a] < 1000 && fitsAt(count[a])) ++count[a];
        }
    }
    p.columns = count[0];
    p.rows = count[1];
    for (int row = 0; row < p.rows; ++row)
        for (int col = 0; col < p.columns; ++col)
            p.itemOrigins.push_back(QPoint(start[0] - outLo[0] + truncToInt(col * steps[0]),
                                           start[1] - outLo[1] + truncToInt(row * steps[1])));
    return p;
}

QRect SheetPlan::placedBox(int k) const {
    if (k < 0 || k >= copies()) return QRect();
    return outline.adjusted(-bleedX, -bleedY, bleedX, bleedY).translated(itemOrigins[k]);
}

QRect SheetPlan::placedBounds() const {
    QRect r;
    for (int k = 0; k < copies(); ++k) r = r.united(placedBox(k));
    return r;
}

bool SheetPlan::fits() const { return !usable.isEmpty() && usable.contains(placedBounds()); }

QSizeF SheetPlan::placedSizeMm() const {
    const QRect b = placedBox(0);
    return QSizeF(b.width() * 25.39995 / frame.dpiX, b.height() * 25.39995 / frame.dpiY);
}

QSizeF SheetPlan::usableSizeMm() const {
    return QSizeF(usable.width() * 25.39995 / frame.dpiX, usable.height() * 25.39995 / frame.dpiY);
}

QPointF SheetPlan::pageToPaperMm(QPointF pagePixels) const {
    const QPointF paper = pagePixels + QPointF(frame.printable.topLeft());
    return QPointF(paper.x() * 25.39995 / frame.dpiX, paper.y() * 25.39995 / frame.dpiY);
}

double SheetPlan::bleedMmAsPlaced() const { return bleedX * 25.39995 / frame.dpiX; }

double SheetPlan::clipBleedMm() const { return bleedInForce ? bleedMm : 0.0; }
