#pragma once
// Where everything lies on the printed sheet, in the integer pixels of one
// output resolution: the usable area, each copy of the net, the bleed and
// the registration marks. Preview, print, the CLI and the cut file all take
// their positions from here, so they agree to the pixel.
//
// Page pixels count from the printable area's top-left corner (where a
// printer's painter has its origin); the paper's own corner lies at
// -frame.printable.topLeft().

#include "base/Progress.h"
#include "model/PaperFormat.h"
#include "box/BoxNet.h"
#include "sheet/SheetOptions.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <memory>
#include <vector>

struct BoxDocument;
struct SheetLayout;

// The paper and the part of it a printer can reach, in device pixels.
struct PageFrame {
    QSize paper;
    QRect printable;   // in paper pixels
    int dpiX = 0;
    int dpiY = 0;
    // The paper as its format defines it (A4 landscape: 297 x 210 mm).
    // Device pixels are whole and a page layout's points rounded, so the
    // marks at the right and bottom edges and the cut files' paper are
    // measured from this one. Empty: the paper's pixels.
    QSizeF paperMm;
    QSizeF paperSizeMm() const;
};

// The registration marks, in paper millimetres: a filled square at the top
// left, L-shaped corner marks at the top right and the bottom left, each
// inset from the paper's edges.
namespace regmark {
constexpr double SquareMm = 5;
constexpr double ArmMm = 20;
constexpr double ThicknessMm = 0.5;
// Nothing placed comes within 1 mm of a mark: the square reaches 5 mm in.
constexpr double ClearanceMm = 6;
}  // namespace regmark

// Between the bleed outlines of neighbouring copies.
constexpr double CopyGapMm = 5;

struct SheetPlan {
    PageFrame frame;
    int percent = 100;
    BoxForm form;            // with percent: the net source of every copy
    NetSource source() const { return NetSource{form, percent}; }
    QSize item;              // the box area of one copy (Wb x Hb)
    NetMeasure net;          // the net inside the item, item pixels
    QRect outline;           // the net's bounds in item pixels, last row and column included
    bool bleedInForce = false;
    double netLineMm = 0;    // the printed net's width, 0 for one pixel (SheetOptions)
    double bleedMm = 0;      // the bleed in force
    int bleedX = 0;          // the same in whole pixels across and down (truncated)
    int bleedY = 0;
    int columns = 1;
    int rows = 1;
    QRect usable;                     // page pixels
    std::vector<QPoint> itemOrigins;  // page pixels of each copy's item corner, row by row
    std::vector<QRect> marks;         // page pixels; empty without marks
    // Asked by the jobs that draw the sheet (print, files, whole images) as
    // its bands get done, only on the thread that started the job; false
    // stops the job, which then returns false. Empty: runs to the end.
    ProgressCallback progress;
    // A sheet of a series: copy k shows (*copyDocuments)[k], the design
    // filled in with its row; copies beyond the list stay empty (the last
    // sheet of a job). Null: every copy shows the document drawn.
    std::shared_ptr<const std::vector<BoxDocument>> copyDocuments;

    int copies() const { return static_cast<int>(itemOrigins.size()); }
    // Copy k's net outline grown by the bleed in force, page pixels.
    QRect placedBox(int k) const;
    // All copies' placed boxes together.
    QRect placedBounds() const;
    // Every placed box lies within the usable area.
    bool fits() const;
    // One copy's placed box and the usable area in millimetres, for the
    // fit message.
    QSizeF placedSizeMm() const;
    QSizeF usableSizeMm() const;
    // A page pixel position in paper millimetres (its left/top edge).
    QPointF pageToPaperMm(QPointF pagePixels) const;
    // The bleed in force in millimetres, as the integer pixels place it.
    double bleedMmAsPlaced() const;
    // How far a copy's design reaches beyond its cut line: the bleed in
    // force itself. A pixel prints when its middle lies within it, so the
    // printed pixels are those of placedBox.
    double clipBleedMm() const;
};

// The sheet for a layout and net source with these options. grid, when not
// empty, fixes columns x rows (the preview takes the printer's count, so a
// coarser resolution cannot show a different number of copies).
SheetPlan planSheet(const SheetLayout& layout, const NetSource& source, const SheetOptions& options,
                    const PageFrame& frame, QSize grid = QSize());

// A frame whose paper is just the printable page (no offset): what the
// render verb and older callers without paper information use.
PageFrame pageOnlyFrame(QSize page, int dpiX, int dpiY);

// The frame of a page layout at dpi: its whole paper and its paint rect,
// as a printer with that layout reports them.
PageFrame pageFrameOf(const QPageLayout& layout, int dpi);
// The page layout of the program's PDF printer (used when no printer is
// installed, and by the CLI): the paper in landscape with 10 pt margins, so
// A4 prints on 290 x 202.9 mm.
QPageLayout pdfPrinterPageLayout(PaperFormat paper);

// A page layout's paper in millimetres and in points (1/72 inch), exact to
// its format's definition and turned as the layout is, where the layout's
// own point sizes are whole.
QSizeF exactPaperMm(const QPageLayout& layout);
QSizeF exactPaperPoints(const QPageLayout& layout);

// The page size Qt knows a paper format by.
QPageSize::PageSizeId pageSizeIdOf(PaperFormat paper);
