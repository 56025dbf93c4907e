#pragma once
// The box as a vector file for print shops, cutting plotters and vector
// editors: the design drawn by the render pass exactly as for the 600-dpi
// print, and the net as separate layers of cut and fold lines.
//
// Layers, bottom to top: "Motiv" (the design), "Gepunktetes Netz" (the
// printed dotted net as black dots with white gaps), "Falzlinien" (dashed
// cyan) and "Schnittlinien" (one closed magenta hairline). In SVG each layer
// is a group that vector editors show as a layer; in PDF each is an optional
// content group a viewer can switch off.
//
// Positions are the print's at 600 dpi: one device pixel is 1/600 inch, the
// box area's top-left corner lies at the layout's margins (a file has no
// printer margins) and the net's lines run through the centres of the
// pixels the print inks.

#include <QPoint>
#include <QSizeF>
#include <QString>

class QIODevice;
struct BoxDocument;
struct SheetLayout;

enum class ExportFormat { Pdf, Svg };
enum class ExportPage { A4, A3, Letter, BoxOnly };

struct ExportOptions {
    ExportFormat format = ExportFormat::Pdf;
    bool art = true;      // "Motiv"
    bool net = false;     // "Gepunktetes Netz wie im Druck"
    bool folds = true;    // "Falzlinien"
    bool cuts = true;     // "Schnittlinien"
    bool textAsPaths = false;
    int percent = 100;
    ExportPage page = ExportPage::A4;
    // Off: the design over the whole box area, as printed. On: the design
    // clipped to the cut outline grown by bleedMm (0 to 5).
    bool bleed = false;
    double bleedMm = 0;
};

// Resolution of every position in the file.
constexpr int kExportDpi = 600;
// Cut and fold lines: 0.25 pt.
constexpr double kExportLineWidthPt = 0.25;

struct ExportGeometry {
    QSizeF pageMm;       // the page in millimetres
    QSizeF pagePixels;   // the same in device pixels
    QPoint itemOrigin;   // the box area's top-left corner on the page
    int itemWidth = 0;   // the box area in device pixels (the print's Wb, Hb)
    int itemHeight = 0;
};

ExportGeometry exportGeometry(const SheetLayout& layout, const ExportOptions& options);

// Page and layer names as the dialog and the command line show them.
QString exportPageName(ExportPage page);
// "a4", "A3", "letter", "box" (any case); false for anything else.
bool parseExportPage(const QString& name, ExportPage& page);

// Writes the file into out (opened for writing). False when a render pass
// is under way or the device fails; error then says why, in German.
bool writeVectorExport(BoxDocument& doc, const ExportOptions& options, QIODevice& out, QString& error);

// Writes the file at path atomically: the old file stays untouched until the
// new one is complete. Only regular files are written: a folder, FIFO or
// device is refused with a message.
bool exportToFile(BoxDocument& doc, const ExportOptions& options, const QString& path, QString& error);
