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

#include "base/Progress.h"

#include <QByteArray>
#include <QPoint>
#include <QSizeF>
#include <QString>

#include <functional>
#include <vector>

class QIODevice;
class SeriesRows;
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
    // Asked while the design is drawn and the file put together; false
    // stops the export, which then writes nothing and says stoppedText().
    ProgressCallback progress;
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
// The page of a printer's paper (millimetres, either orientation): A4, A3 or
// Letter when it is one of them within a millimetre, else A4.
ExportPage exportPageForPaper(const QSizeF& paperMm);
// "a4", "A3", "letter", "box" (any case); false for anything else.
bool parseExportPage(const QString& name, ExportPage& page);

// A picture an SVG links instead of holding it: its file name beside the
// SVG and its bytes.
struct SidePicture {
    QString fileName;
    QByteArray bytes;
};

// Pictures show as their own file's bytes where those are exactly what the
// program draws (export/PictureFile.h); the PDF always holds them.

// The file name for the next picture beside the SVG, given its suffix.
using SidePictureNamer = std::function<QString(const QString& suffix)>;

// Writes the file into out (opened for writing). False when a render pass
// is under way, the device fails or options.progress stopped it; error then
// says why, in German (stoppedText() when stopped). With side and a namer,
// an SVG's pictures too large for its readers are named by it and put
// there rather than into out.
bool writeVectorExport(BoxDocument& doc, const ExportOptions& options, QIODevice& out, QString& error,
                       std::vector<SidePicture>* side = nullptr, const SidePictureNamer& sideName = {});

// What the program says when an SVG keeps pictures beside itself.
QString sidePicturesNotice();

// Writes the file at path through saveFile: the old file stays untouched
// until the new one is complete. A target that cannot be written or a failed
// write gives "PATH: Grund" in error. An SVG's large pictures go beside it as
// NAME-bildN.EXT (export/SidePictureFiles.h: no file of the user's is
// replaced or removed); the SVG and those files are all written to
// temporary files first and renamed only when every one is complete. notice
// then gets sidePicturesNotice().
bool exportToFile(BoxDocument& doc, const ExportOptions& options, const QString& path, QString& error,
                  QString* notice = nullptr);

// A series as one PDF: the design filled in with each row. On a paper page
// the boxes are packed as the print packs them on that paper (as many as
// fit, each clipped to its bleed outline), as many pages as needed; with
// ExportPage::BoxOnly each row has a page of its own. The layers are shared
// by all pages, every distinct picture and every font is in the file once.
// An SVG holds one box only: asked for one, this refuses with
// seriesSvgRefusedText(). Pictures the data names that cannot be loaded
// leave that box without them (rows.pictureProblems()).
bool writeVectorSeries(const BoxDocument& design, SeriesRows& rows, const ExportOptions& options, QIODevice& out,
                       QString& error);
bool exportSeriesToFile(const BoxDocument& design, SeriesRows& rows, const ExportOptions& options,
                        const QString& path, QString& error);
QString seriesSvgRefusedText();
