#pragma once
// The printer side of the "Drucken" tab: the preview's resolution and its
// zoom steps, the printer object (landscape from the start; a PDF file when
// no printer is installed), printer setup and printing one sheet.

#include <QImage>
#include <QSize>
#include "model/PaperFormat.h"
#include "sheet/SeriesSheets.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetPlan.h"
#include <functional>
#include <memory>
#include <optional>

#include <QString>

class FolderMemory;
class QMainWindow;
class QPrinter;
class Prompter;
struct BoxDocument;

inline const QString SetupDialogTitle = QStringLiteral("Druckereinrichtung");

// After the setup dialog: the chosen printer (or a PDF file), its paper and
// orientation go into printer, with the colour mode and printable area that
// printer has of its own; copies, page ranges and other job options do not.
void adoptPrinterChoice(QPrinter& printer, const QPrinter& choice);

struct PrinterMetrics {
    QSize page;    // printable area in printer pixels
    int dpiX = 0;
    int dpiY = 0;
    QSize paper;      // the whole paper; empty: the printable area is all of it
    QPoint offset;    // of the printable area from the paper's corner
};

class PrintController {
public:
    static constexpr int StartPreviewDpi = 35;

    PrintController(BoxDocument& doc, Prompter& prompter);
    ~PrintController();

    int PreviewDpi = StartPreviewDpi;

    // One step up (x 3/2 while below 300) or down (x 2/3 while above 10).
    // True when the resolution changed (and the preview must be repainted).
    bool ZoominBtnClick();
    bool ZoomOutBtnClick();

    QPrinter& printer() { return *m_printer; }
    PrinterMetrics metrics() const;
    // Tests stand in a printer of their own.
    void setMetricsOverride(std::optional<PrinterMetrics> m) { m_override = m; }
    bool printsToPdf() const;

    // Bleed, copies per sheet and registration marks from the print page.
    SheetOptions Options;
    // Which rows of linked data the print makes boxes of.
    SeriesChoice Series;
    // Whether the print makes a box per row: data is linked and more than
    // the shown row is chosen. The sheet is then filled (as many per sheet
    // as fit) whatever Options.fill says.
    bool seriesPrint() const;
    // The rows of the series print, opened again only when the data file,
    // the design or the choice changed; null with the reason in error (the
    // data unreadable, fields it lacks, rows beyond it).
    SeriesRows* seriesRows(QString* error = nullptr) const;
    // Rows in the linked data; 0 when it cannot be read.
    int seriesRowCount() const;
    // Reads the linked data now unless it is read already, with progress
    // that can stop it (a large table takes a while); stopped, it is read
    // again at the next call. False when stopped.
    bool readRows();
    // The row the editor shows (from 0), which the print takes when only
    // the shown row is chosen; without a source the first.
    void setShownRow(std::function<int()> row) { m_shownRow = std::move(row); }
    // What prints when the shown row is chosen: the design filled in with
    // that row, or the design as it is without (readable) data.
    const BoxDocument& shownDocument() const;
    // The paper and printable area of the current printer.
    PageFrame frame() const;
    // The sheet as it prints on the current printer, and as the preview
    // shows it (same count of copies, at PreviewDpi).
    SheetPlan printPlan(int percent) const;
    SheetPlan previewPlan(int percent) const;
    // The printer's paper for New with a paper format (landscape).
    void setPaper(PaperFormat paper);
    // When the sheet's boxes do not fit the usable area: the message with
    // "Trotzdem drucken" and "Abbrechen". True when printing may go on.
    bool confirmFit(int percent);

    // "Schnittdatei speichern...": the cut file (SVG or DXF) of the sheet as
    // it prints on the current printer. True when a file was written.
    bool saveCutFile(int percent);

    // Size of the preview page for the current printer and PreviewDpi.
    QSize previewSize() const;
    // The preview page; null while another render pass is under way.
    QImage renderPreview(int percent, qreal ratio = 1.0) const;
    // The resolution message when the printer's resolutions differ.
    void checkResolution();

    // Printer setup: the dialog edits a scratch printer made from the current
    // one and returns true for OK; tests replace it.
    void setSetupDialog(std::function<bool(QPrinter&)> dialog) { m_setupDialog = std::move(dialog); }
    void PrintSetupClick();

    // Prints one sheet; true when a page was sent to the printer or file.
    bool PrintClick(int percent, double screenDpi);

    const BoxDocument& document() const { return m_doc; }

    // The window whose progress dialog print, the PDF file and the cut file
    // show (with "Abbrechen"), and whose status bar says when one was
    // stopped. Without one the dialog has no parent and nothing is said.
    void setWindow(QMainWindow* window) { m_window = window; }
    // Where the cut file's and the PDF file's dialogs start and the folders
    // of the files written are kept; without it they start beside the box.
    void setFolders(FolderMemory* folders) { m_folders = folders; }

private:
    // "Drucken abgebrochen." and the like on the window's status bar.
    void tellStopped(const QString& job);
    void jobFailed();
    // The sheet into a PDF file standing in for a missing printer.
    // The PDF page of the printer's paper at its resolution.
    SheetPdfPage pdfPage(const PrinterMetrics& m) const;
    bool printToPdfFile(const QString& path, int percent, double screenDpi);
    // Every sheet of the series, one print job; the same into the PDF file.
    bool printSeries(int percent, double screenDpi);
    bool printSeriesToPdfFile(const QString& path, int percent, double screenDpi);
    // The linked data opened for the whole table (see seriesRows).
    SeriesRows* openedRows(QString* error, const ProgressCallback& progress = {}) const;
    // What the open data was opened for: the link, the file's state, the design.
    QString rowsKey() const;
    // After a series job: the boxes printed without a picture of theirs.
    void tellPictureProblems();

    BoxDocument& m_doc;
    Prompter& m_prompter;
    std::unique_ptr<QPrinter> m_printer;
    std::optional<PrinterMetrics> m_override;
    std::function<bool(QPrinter&)> m_setupDialog;
    QMainWindow* m_window = nullptr;
    FolderMemory* m_folders = nullptr;
    // The linked data as last opened, and what it was opened for.
    mutable std::unique_ptr<SeriesRows> m_rows;
    mutable QString m_rowsKey;
    mutable bool m_rowsStopped = false;   // the last reading was stopped
    mutable QString m_rowsError;
    std::function<int()> m_shownRow;
    mutable std::unique_ptr<BoxDocument> m_shown;
    mutable QString m_shownKey;
};
