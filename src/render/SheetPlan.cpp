#include "render/SheetPlan.h"

#include "model/SheetLayout.h"
#include "render/Mapping.h"

#include <QPageSize>
#include <algorithm>
#include <cmath>

namespace {

// Copies that fit when each takes `step` pixels (its box and the gap after
// it) and `room` holds the usable length plus one gap, the last copy needing
// none. Always at least one, so a box too large for the sheet is still placed
// (the fit check tells the user).
int copiesThatFit(double room, double step) {
    if (step <= 0) return 1;
    return static_cast<int>(std::clamp(std::floor(room / step), 1.0, 1000.0));
}

// A rectangle given in paper millimetres, in paper pixels: each edge
// truncated on its own, so neighbouring rectangles share their edges.
QRect paperRect(double leftMm, double topMm, double rightMm, double bottomMm, int dpiX, int dpiY) {
    const int l = mmToPixels(leftMm, dpiX), t = mmToPixels(topMm, dpiY);
    const int r = mmToPixels(rightMm, dpiX), b = mmToPixels(bottomMm, dpiY);
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

std::vector<QRect> markRects(const PageFrame& f, double insetMm) {
    using namespace regmark;
    const double w = f.paper.width() / static_cast<double>(f.dpiX) * 25.39995;
    const double h = f.paper.height() / static_cast<double>(f.dpiY) * 25.39995;
    const double i = insetMm;
    std::vector<QRect> r;
    // Square at the top left.
    r.push_back(paperRect(i, i, i + SquareMm, i + SquareMm, f.dpiX, f.dpiY));
    // Corner at the top right: one arm along the top edge, one down the right.
    r.push_back(paperRect(w - i - ArmMm, i, w - i, i + ThicknessMm, f.dpiX, f.dpiY));
    r.push_back(paperRect(w - i - ThicknessMm, i, w - i, i + ArmMm, f.dpiX, f.dpiY));
    // Corner at the bottom left: one arm along the bottom edge, one up the left.
    r.push_back(paperRect(i, h - i - ThicknessMm, i + ArmMm, h - i, f.dpiX, f.dpiY));
    r.push_back(paperRect(i, h - i - ArmMm, i + ThicknessMm, h - i, f.dpiX, f.dpiY));
    const QPoint toPage = -f.printable.topLeft();
    for (QRect& m : r) m.translate(toPage);
    return r;
}

}  // namespace

PageFrame pageOnlyFrame(QSize page, int dpiX, int dpiY) {
    return PageFrame{page, QRect(QPoint(0, 0), page), dpiX, dpiY};
}

PageFrame pageFrameOf(const QPageLayout& layout, int dpi) {
    PageFrame f;
    f.paper = layout.fullRectPixels(dpi).size();
    f.printable = layout.paintRectPixels(dpi);
    f.dpiX = dpi;
    f.dpiY = dpi;
    return f;
}

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

SheetPlan planSheet(const SheetLayout& layout, int percent, const SheetOptions& options, const PageFrame& frame,
                    QSize grid) {
    SheetPlan p;
    p.frame = frame;
    p.frame.dpiX = std::max(frame.dpiX, 1);
    p.frame.dpiY = std::max(frame.dpiY, 1);
    const int rx = p.frame.dpiX, ry = p.frame.dpiY;
    p.percent = percent;
    p.item = QSize(mmToPixels(layout.ItemWidth, rx), mmToPixels(layout.ItemHeight, ry));
    p.net = measureNet(boxAreaFor(p.item.width(), p.item.height(), 0, 0, false), percent);
    p.outline = netBounds(p.net);
    p.bleedInForce = options.bleedInForce();
    if (p.bleedInForce) {
        const double b = std::clamp(options.bleedInForceMm(), SheetOptions::MinBleedMm, SheetOptions::MaxBleedMm);
        p.bleedX = mmToPixels(b, rx);
        p.bleedY = mmToPixels(b, ry);
    }

    const QRect printable(QPoint(0, 0), frame.printable.size());
    p.usable = printable;
    if (options.regMarks) {
        const double inset = std::clamp(options.markInsetMm, SheetOptions::MinInsetMm, SheetOptions::MaxInsetMm);
        const double c = inset + regmark::ClearanceMm;
        const double w = frame.paper.width() / static_cast<double>(rx) * 25.39995;
        const double h = frame.paper.height() / static_cast<double>(ry) * 25.39995;
        const QRect clear = paperRect(c, c, w - c, h - c, rx, ry).translated(-frame.printable.topLeft());
        p.usable = printable.intersected(clear);
        p.marks = markRects(p.frame, inset);
    }

    if (!p.bleedInForce) {
        // One net as it has always been printed: the item at the sheet
        // position of net number 0, from the printable area's corner.
        p.itemOrigins.push_back(QPoint(mmToPixels(layout.MarginX, rx), mmToPixels(layout.MarginY, ry)));
        return p;
    }

    // The steps of the grid in exact pixels: the outline's own pixels plus
    // two bleeds and a gap in millimetres. Each copy's place is truncated on
    // its own, so rounding does not add up across the sheet.
    const double bleedMm = p.bleedInForce ? std::clamp(options.bleedInForceMm(), SheetOptions::MinBleedMm,
                                                       SheetOptions::MaxBleedMm)
                                          : 0.0;
    const double stepX = p.outline.width() + (2 * bleedMm + CopyGapMm) / 25.39995 * rx;
    const double stepY = p.outline.height() + (2 * bleedMm + CopyGapMm) / 25.39995 * ry;
    if (!grid.isEmpty()) {
        p.columns = std::clamp(grid.width(), 1, 1000);
        p.rows = std::clamp(grid.height(), 1, 1000);
    } else if (options.fill) {
        p.columns = copiesThatFit(p.usable.width() + CopyGapMm / 25.39995 * rx, stepX);
        p.rows = copiesThatFit(p.usable.height() + CopyGapMm / 25.39995 * ry, stepY);
    }
    // Each copy's bleed box starts at the usable area's corner plus whole
    // steps; the item lies so that its outline sits the bleed inside that box.
    const QPoint toItem = QPoint(p.bleedX, p.bleedY) - p.outline.topLeft();
    for (int row = 0; row < p.rows; ++row)
        for (int col = 0; col < p.columns; ++col)
            p.itemOrigins.push_back(p.usable.topLeft() + QPoint(truncToInt(col * stepX), truncToInt(row * stepY)) +
                                    toItem);
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
