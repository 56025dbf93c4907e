#pragma once
// PDF files of the printed sheet, written by a small writer of our own: one
// page whose picture is the sheet's raster bands, each band rendered and
// deflated on the render pool and stored as a pre-compressed Flate image
// (8-bit RGB with PNG predictors). A general PDF painter compresses every
// band on the painting thread; here the cores share that work, and the file
// holds nothing but what the sheet needs. Print jobs for real printers keep
// going through the toolkit's printer.

#include "base/SaveFile.h"

#include <QPoint>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

class QIODevice;
struct BoxDocument;
struct SheetPlan;

struct SheetPdfPage {
    QSizeF pagePoints;   // the whole paper, in points (1/72 inch)
    QPoint origin;       // the printable area's corner on the paper, in device pixels
    QSize area;          // the printable area in device pixels
    int dpiX = 600;
    int dpiY = 600;
    QString title;
    QString creator;
    // The sheet's copies, bleed and marks; null: one net as always.
    const SheetPlan* plan = nullptr;
};

// Renders the sheet as printSheet would onto a device of that page and
// writes the PDF. Bands that stay white are left out. Returns false when a
// render pass is under way on this thread, the device fails or the plan's
// progress stopped it (then before anything is written).
bool writeSheetPdf(QIODevice& out, const BoxDocument& doc, int percent, const SheetPdfPage& page,
                   double screenDpi = 0);

// Several sheets of one page layout, a page each, in one file: before page p
// (from 0) is drawn, preparePage puts its copies into the plan it is given
// (a copy of *page.plan, which must be set); false from it stops the file
// (error then holds its reason). Only one page's bands are held at a time,
// each written as soon as its page is drawn. The plan's progress sees the
// whole file from 0 to 100.
using SheetPageFiller = std::function<bool(int page, SheetPlan& plan, QString* error)>;
bool writeSheetPdfPages(QIODevice& out, const BoxDocument& doc, const SheetPdfPage& page, int pageCount,
                        const SheetPageFiller& preparePage, QString* error, double screenDpi = 0);

// The same into a file through saveFile, replaced only by a whole new one;
// otherwise the reason.
SaveResult writeSheetPdfFile(const QString& path, const BoxDocument& doc, int percent, const SheetPdfPage& page,
                       double screenDpi = 0);
SaveResult writeSheetPdfPagesFile(const QString& path, const BoxDocument& doc, const SheetPdfPage& page,
                                  int pageCount, const SheetPageFiller& preparePage, QString* error,
                                  double screenDpi = 0);
