#pragma once
// The printed sheet: net number 0's item at an output resolution, the print
// preview image and printing through raster bands.
//
// Printers and PDF have no raster operations, so the sheet is rendered at
// the device's resolution into horizontal bands of a QImage (where the net's
// XOR works exactly) and each band is drawn onto the device. Memory is one
// band, whatever the page size.

#include "sheet/SheetPlan.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

class JobProgress;
class QPainter;
class Prompter;
struct BoxDocument;

namespace sheetmsg {
inline const QString PrintJobTitle = QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 Faltarillon");
inline const QString ResolutionCaption = QStringLiteral("Fehler");
inline const QString ResolutionText = QStringLiteral(
    "Diese Meldung dürfte nie erscheinen. Das Programm kann mit diesem Drucker wahrscheinlich nicht korrekt drucken.");
}  // namespace sheetmsg

// Tells the user when a printer's two resolutions differ; printing goes on.
// Returns true when they differ.
bool checkPrinterResolution(int px, int py, Prompter& prompter);

// The preview page size: the printer page divided by px div previewDpi (at
// least 1, so a printer coarser than the preview cannot divide by zero).
QSize previewPageSize(QSize printerPage, int px, int py, int previewDpi);

// The print preview: a white page of previewPageSize with the sheet drawn at
// previewDpi, in an image of ratio device pixels per logical pixel (a
// high-density screen's device pixel ratio). Null image when a render pass is
// under way.
QImage renderPreview(const BoxDocument& doc, int percent, int previewDpi, QSize printerPage, int px, int py,
                     qreal ratio = 1.0);

// Renders the page rows [bandTop, bandTop + band.height()) of the sheet at
// (rx, ry) into band (already sized; filled white here). screenDpi gives the
// font factor (0 = the screen's). Returns false when a render pass is under way.
bool renderSheetBand(QImage& band, const BoxDocument& doc, int percent, int rx, int ry, int bandTop,
                     double screenDpi = 0);

// Prints the sheet onto a device (printer, PDF) whose painter coordinates are
// device pixels at (dpiX, dpiY), from its origin over pageSize pixels, in
// bands of bandHeight rows (0 = about 16 MB per band). As many bands as the
// render pool has threads are rendered at a time; they reach the device one
// after the other, top to bottom. Bands that stay white are not sent.
// onBand, when given, sees every band before it is drawn.
// Returns false when a pass was already running (nothing printed).
bool printSheet(QPainter& device, const BoxDocument& doc, int percent, int dpiX, int dpiY, QSize pageSize,
                double screenDpi = 0, int bandHeight = 0,
                const std::function<void(const QImage& band, int top)>& onBand = {});

// renderSheetBand without the check for a pass of this thread: a band that
// a job of this thread hands to the render pool.
bool drawSheetBand(QImage& band, const BoxDocument& doc, int percent, int rx, int ry, int bandTop,
                   double screenDpi = 0);

// The sheet drawn into the rows `rows` (canvas coordinates) of band, whose
// row 0 is page row bandTop; nothing outside rows is touched, and nothing
// is filled first.
bool drawSheetRows(QImage& band, const QRect& rows, const BoxDocument& doc, int percent, int rx, int ry,
                   int bandTop, double screenDpi = 0);

// The plan as a job's bands draw it: their passes ask the job, which may run
// them on any thread (plan.progress itself is only asked where the job began).
SheetPlan planWithProgress(const SheetPlan& plan, JobProgress& job);

// Whether every pixel of an RGB32 image is white.
bool isAllWhite(const QImage& img);

// Rows per band when the sheet is rendered in bands on the pool; fixed, so
// that the pixels cannot depend on the number of threads.
constexpr int kSheetBandRows = 256;

// The whole sheet as one image of pageSize at (dpi, dpi); for files and tests.
// Its bands are rendered on the render pool, straight into the page's rows.
QImage renderSheetImage(const BoxDocument& doc, int percent, int dpi, QSize pageSize, double screenDpi = 0);

// The same for a planned sheet (copies, bleed, marks): the page is the
// plan's printable area at its resolution. These jobs ask plan.progress as
// their bands get done; stopped, they return false or a null image, and a
// print has sent no band beyond the last batch it had drawn.
bool renderSheetBand(QImage& band, const BoxDocument& doc, const SheetPlan& plan, int bandTop, double screenDpi = 0);
bool printSheet(QPainter& device, const BoxDocument& doc, const SheetPlan& plan, double screenDpi = 0,
                int bandHeight = 0, const std::function<void(const QImage& band, int top)>& onBand = {});
QImage renderSheetImage(const BoxDocument& doc, const SheetPlan& plan, double screenDpi = 0);
// Only the page pixels `region` of the sheet (the rest of the page is never
// allocated), drawn as renderSheetImage draws them. Null when a pass is under
// way, region is empty or memory is short.
QImage renderSheetRegion(const BoxDocument& doc, const SheetPlan& plan, const QRect& region, double screenDpi = 0);
// The whole paper of the plan, white, with renderSheetImage's pixels at the
// printable area's place: drawn there directly, no second copy of the page.
// Null when a pass is under way, memory is short or the area is off the paper.
QImage renderSheetPaper(const BoxDocument& doc, const SheetPlan& plan, double screenDpi = 0);
bool drawSheetBand(QImage& band, const BoxDocument& doc, const SheetPlan& plan, int bandTop, double screenDpi = 0);
bool drawSheetRows(QImage& band, const QRect& rows, const BoxDocument& doc, const SheetPlan& plan, int bandTop,
                   double screenDpi = 0);
// Page rows [top, top + slice.height()) of the sheet into slice (filled
// white here), drawn as renderSheetImage draws its bands: through a view of
// the whole page, pageHeight rows, clipped to these rows. A file written
// band by band so holds the pixels of the page drawn as one image.
bool drawSheetSlice(QImage& slice, const BoxDocument& doc, const SheetPlan& plan, int top, int pageHeight,
                    double screenDpi = 0);
// The plan of one net as it is printed without planned copies, on a page of
// pageSize pixels at (rx, ry).
SheetPlan plainSheetPlan(const BoxDocument& doc, int percent, int rx, int ry, QSize pageSize);
// The preview of a plan made at the preview's resolution: a white page of
// pageSize, the sheet, and the edge of the usable area as a thin grey line
// where it is not the page's edge (shown only, never printed).
QImage renderPreview(const BoxDocument& doc, const SheetPlan& plan, QSize pageSize, qreal ratio = 1.0);
inline const QColor UsableAreaLineColor = QColor(0xA0, 0xA0, 0xA0);
