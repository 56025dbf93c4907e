#include "app/PrintController.h"

#include "app/AppTitles.h"
#include "app/SaveTarget.h"
#include "dialogs/PrinterSetupForm.h"
#include "model/BoxDocument.h"
#include "model/FolderMemory.h"
#include "model/Prompter.h"
#include "base/WriteTarget.h"
#include "sheet/CutSheet.h"
#include "sheet/PackedSheet.h"
#include "sheet/SheetFitText.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetRenderer.h"
#include "widgets/WorkProgress.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <QApplication>
#include <QLocale>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
// A PDF file stands in for a missing printer at a usual laser resolution.
constexpr int PdfDpi = 600;

// A printer keeps the paper it is given when it offers that paper, and
// takes its own default paper only when it does not (the toolkit gives every
// new printer object A4, a printer for Letter only included).
void keepOfferedPaper(QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::NativeFormat) return;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
    const QList<QPageSize> offered = info.supportedPageSizes();
    const QPageSize current = printer.pageLayout().pageSize();
    if (offered.isEmpty() || !info.defaultPageSize().isValid()) return;
    for (const QPageSize& size : offered)
        if (size.isEquivalentTo(current)) return;
    printer.setPageSize(info.defaultPageSize());
}
}  // namespace

PrintController::PrintController(BoxDocument& doc, Prompter& prompter)
    : m_doc(doc), m_prompter(prompter), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    if (m_printer->outputFormat() == QPrinter::PdfFormat) {
        m_printer->setResolution(PdfDpi);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
    }
    keepOfferedPaper(*m_printer);
    m_printer->setPageOrientation(QPageLayout::Landscape);
    // One printer pixel of net line can hardly be seen on paper.
    Options.netLineMm = SheetOptions::WideNetLineMm;
    m_setupDialog = [](QPrinter& choice) {
        PrinterSetupForm form(QApplication::activeWindow());
        form.setChoice(choice);
        if (form.exec() != QDialog::Accepted) return false;
        form.applyTo(choice);
        return true;
    };
}

PrintController::~PrintController() = default;

bool PrintController::printsToPdf() const { return m_printer->outputFormat() == QPrinter::PdfFormat; }

PrinterMetrics PrintController::metrics() const {
    if (m_override) return *m_override;
    PrinterMetrics m;
    m.page = m_printer->pageLayout().paintRectPixels(m_printer->resolution()).size();
    m.dpiX = m_printer->logicalDpiX();
    m.dpiY = m_printer->logicalDpiY();
    const int res = m_printer->resolution();
    m.paper = m_printer->pageLayout().fullRectPixels(res).size();
    m.offset = m_printer->pageLayout().paintRectPixels(res).topLeft();
    return m;
}

PageFrame PrintController::frame() const {
    const PrinterMetrics m = metrics();
    PageFrame f;
    f.printable = QRect(m.offset, m.page);
    f.paper = m.paper.isEmpty() ? m.page : m.paper;
    f.dpiX = m.dpiX;
    f.dpiY = m.dpiY;
    if (!m_override) f.paperMm = exactPaperMm(m_printer->pageLayout());
    return f;
}

namespace {
SheetOptions planOptions(const SheetOptions& options, bool series) {
    SheetOptions o = options;
    // A box per row: as many on a sheet as fit.
    if (series) o.fill = true;
    return o;
}
}  // namespace

bool PrintController::seriesPrint() const { return m_doc.Series.linked() && Series.mode != SeriesChoice::Shown; }

QString PrintController::rowsKey() const {
    const QFileInfo data(m_doc.Series.path);
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(m_doc.Series.path)
        .arg(int(m_doc.Series.separator))
        .arg(int(m_doc.Series.encoding))
        .arg(data.size())
        .arg(data.lastModified().toMSecsSinceEpoch())
        .arg(m_doc.Revision);
}

SeriesRows* PrintController::openedRows(QString* error, const ProgressCallback& progress) const {
    if (!m_doc.Series.linked()) {
        m_rows.reset();
        if (error) *error = QStringLiteral("Der Entwurf hat keine Seriendaten.");
        return nullptr;
    }
    // Opened again when the data file, its reading or the design changed,
    // and where a reading with progress was stopped and progress is at hand.
    const QString key = rowsKey();
    if (key != m_rowsKey || (m_rowsStopped && progress)) {
        m_rowsKey = key;
        m_rowsError.clear();
        bool stopped = false;
        const ProgressCallback watched = progress ? ProgressCallback([&](int percent) {
            stopped = !progress(percent);
            return !stopped;
        })
                                                  : ProgressCallback();
        m_rows = SeriesRows::open(m_doc, m_doc.Series, RowRange(), &m_rowsError, watched);
        m_rowsStopped = stopped;
    }
    if (!m_rows && error) *error = m_rowsError;
    return m_rows.get();
}

bool PrintController::readRows() {
    if (!m_doc.Series.linked() || (rowsKey() == m_rowsKey && !m_rowsStopped)) return true;
    WorkProgress work(m_window, QStringLiteral("Seriendaten"), QStringLiteral("Die Seriendaten werden gelesen …"));
    openedRows(nullptr, work.callback());
    if (!m_rowsStopped) return true;
    tellStopped(QStringLiteral("Lesen der Seriendaten"));
    return false;
}

SeriesRows* PrintController::seriesRows(QString* error) const {
    if (!openedRows(error)) return nullptr;
    QString why;
    if (!m_rows->setRange(Series.range(), &why)) {
        if (error) *error = why;
        return nullptr;
    }
    return m_rows.get();
}

const BoxDocument& PrintController::shownDocument() const {
    SeriesRows* rows = openedRows(nullptr);
    if (!rows) return m_doc;
    const int row = std::clamp(m_shownRow ? m_shownRow() : 0, 0, rows->total() - 1);
    const QString key = m_rowsKey + QLatin1Char('|') + QString::number(row);
    if (key != m_shownKey || !m_shown) {
        auto shown = std::make_unique<BoxDocument>();
        // The whole table, so any row can be reached; the choice's range is
        // set again before a series job.
        if (!rows->setRange(RowRange(), nullptr) || !rows->document(row, shown.get(), nullptr)) return m_doc;
        m_shown = std::move(shown);
        m_shownKey = key;
    }
    return *m_shown;
}

int PrintController::seriesRowCount() const {
    const SeriesRows* rows = openedRows(nullptr);
    return rows ? rows->total() : 0;
}

SheetPlan PrintController::printPlan(int percent) const {
    return planSheet(m_doc.Layout, NetSource::of(m_doc, percent), planOptions(Options, seriesPrint()), frame());
}

SheetPlan PrintController::previewPlan(int percent) const {
    const SheetPlan print = printPlan(percent);
    const PageFrame f = print.frame;
    // The preview page is the printer's divided by a whole ratio (see
    // previewPageSize); paper and offset shrink by the same ratio.
    const int dpi = std::max(PreviewDpi, 1);
    const int ratioX = std::max(f.dpiX / dpi, 1), ratioY = std::max(f.dpiY / dpi, 1);
    PageFrame p;
    p.paper = QSize(f.paper.width() / ratioX, f.paper.height() / ratioY);
    p.printable = QRect(QPoint(f.printable.left() / ratioX, f.printable.top() / ratioY), previewSize());
    p.dpiX = dpi;
    p.dpiY = dpi;
    p.paperMm = f.paperMm;
    SheetPlan plan = planSheet(m_doc.Layout, NetSource::of(m_doc, percent), planOptions(Options, seriesPrint()), p,
                               QSize(print.columns, print.rows));
    // The preview of a series shows its first sheet; data it cannot use
    // leaves the design as it is (printing then says why).
    if (seriesPrint())
        if (SeriesRows* rows = seriesRows(); rows && !fillSeriesSheet(*rows, 0, plan, nullptr))
            plan.copyDocuments.reset();
    return plan;
}

void PrintController::setPaper(PaperFormat paper) {
    m_printer->setPageSize(QPageSize(pageSizeIdOf(paper)));
    m_printer->setPageOrientation(QPageLayout::Landscape);
}

bool PrintController::confirmFit(int percent) {
    const SheetPlan plan = printPlan(percent);
    if (plan.fits()) return true;
    const auto mm = [](QSizeF s) { return sizeMmText(s); };
    const QString text =
        QStringLiteral("Die Box ist größer als der bedruckbare Bereich des Blatts.\n\n"
                       "Box: %1\nBedruckbarer Bereich: %2\n\n"
                       "Was über den Rand hinausgeht, wird nicht gedruckt.")
            .arg(mm(plan.placedSizeMm()), mm(plan.usableSizeMm()));
    return m_prompter.choose(QStringLiteral("Drucken"), text, PromptIcon::Information,
                             QStringLiteral("Trotzdem drucken"), QStringLiteral("Abbrechen")) == PromptAnswer::Yes;
}

bool PrintController::ZoominBtnClick() {
    const int n = (PreviewDpi * 3) / 2;
    if (n >= 300) return false;
    PreviewDpi = n;
    return true;
}

bool PrintController::ZoomOutBtnClick() {
    const int n = (PreviewDpi * 2) / 3;
    if (n <= 10) return false;
    PreviewDpi = n;
    return true;
}

QSize PrintController::previewSize() const {
    const PrinterMetrics m = metrics();
    return previewPageSize(m.page, m.dpiX, m.dpiY, PreviewDpi);
}

QImage PrintController::renderPreview(int percent, qreal ratio) const {
    const SheetPlan plan = previewPlan(percent);
    return ::renderPreview(plan.copyDocuments ? m_doc : shownDocument(), plan, previewSize(), ratio);
}

void PrintController::checkResolution() {
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
}

void PrintController::jobFailed() {
    m_prompter.inform(QStringLiteral("Fehler"), QStringLiteral("Der Druckauftrag konnte nicht gestartet werden."),
                      PromptIcon::Information);
}

void PrintController::PrintSetupClick() {
    if (!m_setupDialog) return;
    QPrinter choice(QPrinter::HighResolution);
    if (printsToPdf()) choice.setOutputFormat(QPrinter::PdfFormat);
    else choice.setPrinterName(m_printer->printerName());
    choice.setPageSize(m_printer->pageLayout().pageSize());
    choice.setPageOrientation(m_printer->pageLayout().orientation());
    if (m_setupDialog(choice)) adoptPrinterChoice(*m_printer, choice);
}

void adoptPrinterChoice(QPrinter& printer, const QPrinter& choice) {
    const QPageSize paper = choice.pageLayout().pageSize();
    const QPageLayout::Orientation orientation = choice.pageLayout().orientation();
    const QString name = choice.printerName();
    if (choice.outputFormat() == QPrinter::NativeFormat && !name.isEmpty()) {
        printer.setPrinterName(name);
        // The printer as it is when it is the system's default: a printer
        // object keeps the colour mode of the one before (grey from a
        // monochrome queue on a colour printer) and only ever widens its
        // margins, so the printable area would depend on the way here.
        QPrinter own(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
        own.setPageSize(paper);
        keepOfferedPaper(own);
        own.setPageOrientation(orientation);
        printer.setColorMode(own.colorMode());
        printer.setPageSize(own.pageLayout().pageSize());
        printer.setPageOrientation(orientation);
        printer.setPageLayout(own.pageLayout());
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(PdfDpi);
        printer.setColorMode(QPrinter::Color);
        printer.setPageSize(paper);
        printer.setPageOrientation(orientation);
    }
    // One sheet, one copy: whatever the dialog offered for the job stays out.
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPageOrder(QPrinter::FirstPageFirst);
}

bool PrintController::saveCutFile(int percent) {
    const QString path = askSaveTarget(m_prompter, startFolder(m_folders, FileKind::CutFile, m_doc.FileName),
                                       m_doc.FileName, QStringLiteral("Schnittdatei speichern"),
                                       QStringLiteral("SVG-Dateien|*.svg|DXF-Dateien|*.dxf"), QStringLiteral("svg"));
    if (path.isEmpty()) return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("dxf")) {
        m_prompter.inform(QStringLiteral("Fehler"),
                          QStringLiteral("Eine Schnittdatei wird als SVG- oder DXF-Datei gespeichert (Endung .svg "
                                         "oder .dxf)."),
                          PromptIcon::Error);
        return false;
    }
    if (!mayReplace(m_prompter, path)) return false;
    QString why;
    WorkProgress work(m_window, QStringLiteral("Schnittdatei speichern"),
                      QStringLiteral("Die Schnittdatei wird geschrieben …"));
    CutSheet sheet = cutSheetFor(printPlan(percent));
    sheet.progress = work.callback();
    if (!writeCutFile(sheet, path, &why)) {
        if (work.cancelled()) {
            tellStopped(QStringLiteral("Schnittdatei speichern"));
            return false;
        }
        m_prompter.inform(QStringLiteral("Fehler"), why, PromptIcon::Error);
        return false;
    }
    rememberFolder(m_folders, FileKind::CutFile, path);
    return true;
}

void PrintController::tellStopped(const QString& job) {
    if (m_window) m_window->statusBar()->showMessage(stoppedText(job));
}

bool PrintController::PrintClick(int percent, double screenDpi) {
    // The data is checked before anything is printed: fields it lacks,
    // rows beyond it, a file that cannot be read.
    if (seriesPrint()) {
        if (!readRows()) return false;
        QString why;
        if (!seriesRows(&why)) {
            m_prompter.inform(QStringLiteral("Drucken"), why, PromptIcon::Error);
            return false;
        }
    }
    if (!confirmFit(percent)) return false;
    m_printer->setDocName(AppTitles::printJobTitle());
    if (printsToPdf()) {
        // No printer to send the sheet to: the user picks a PDF file instead.
        const QString path = askSaveTarget(m_prompter, startFolder(m_folders, FileKind::Export, m_doc.FileName),
                                           m_doc.FileName, QStringLiteral("Drucken in PDF-Datei"),
                                           QStringLiteral("PDF-Dateien|*.pdf"), QStringLiteral("pdf"));
        if (path.isEmpty()) return false;
        // A FIFO would block the job and a device or folder be replaced.
        if (!isReplaceableFile(path)) {
            jobFailed();
            return false;
        }
        if (!mayReplace(m_prompter, path)) return false;
        m_printer->setOutputFileName(path);
        if (seriesPrint() ? !printSeriesToPdfFile(path, percent, screenDpi)
                          : !printToPdfFile(path, percent, screenDpi))
            return false;
        rememberFolder(m_folders, FileKind::Export, path);
        return true;
    }

    if (seriesPrint()) return printSeries(percent, screenDpi);
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
    // The whole sheet is rendered before the job begins: a job once begun
    // sends its page when it ends, so "Abbrechen" must come before that.
    PackedSheet sheet;
    {
        WorkProgress work(m_window, QStringLiteral("Drucken"), QStringLiteral("Der Bogen wird gedruckt …"));
        SheetPlan plan = printPlan(percent);
        plan.progress = work.callback();
        if (!packSheet(shownDocument(), plan, sheet, screenDpi)) {
            if (work.cancelled()) tellStopped(QStringLiteral("Drucken"));
            return false;
        }
    }
    QPainter painter;
    if (!painter.begin(m_printer.get())) {
        jobFailed();
        return false;
    }
    const bool printed = drawPackedSheet(painter, sheet);
    painter.end();
    return printed;
}

SheetPdfPage PrintController::pdfPage(const PrinterMetrics& m) const {
    const QPageLayout layout = m_printer->pageLayout();
    SheetPdfPage page;
    page.pagePoints = exactPaperPoints(layout);
    page.origin = layout.paintRectPixels(m.dpiX).topLeft();
    page.area = m.page;
    page.dpiX = m.dpiX;
    page.dpiY = m.dpiY;
    page.title = AppTitles::printJobTitle();
    page.creator = QCoreApplication::applicationName();
    return page;
}

bool PrintController::printToPdfFile(const QString& path, int percent, double screenDpi) {
    // The sheet's bands are rendered and compressed on all cores and written
    // as they are; the toolkit's PDF painter would compress them one by one.
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
    SheetPdfPage page = pdfPage(m);
    WorkProgress work(m_window, QStringLiteral("Drucken"), QStringLiteral("Die PDF-Datei wird geschrieben …"));
    SheetPlan plan = printPlan(percent);
    plan.progress = work.callback();
    page.plan = &plan;
    if (writeSheetPdfFile(path, shownDocument(), percent, page, screenDpi)) return true;
    // Stopped: the file is not written, an old one stays as it was.
    if (work.cancelled()) {
        tellStopped(QStringLiteral("Drucken"));
        return false;
    }
    jobFailed();
    return false;
}

bool PrintController::printSeries(int percent, double screenDpi) {
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
    SeriesRows* rows = seriesRows();
    if (!rows) return false;
    rows->clearProblems();
    const SheetPlan plan = printPlan(percent);
    const int sheets = seriesSheetCount(*rows, plan);
    WorkProgress work(m_window, QStringLiteral("Drucken"), QStringLiteral("Die Boxen werden gedruckt …"));
    const ProgressCallback whole = work.callback();
    // One job: each sheet is rendered whole before it becomes the job's next
    // page, so a stop leaves no page half sent, and the job is then
    // abandoned with nothing more printed.
    QPainter painter;
    QString why;
    for (int s = 0; s < sheets; ++s) {
        SheetPlan sheetPlan = plan;
        sheetPlan.progress = progressStretch(whole, s * 100 / sheets, (s + 1) * 100 / sheets);
        PackedSheet sheet;
        const bool filled = fillSeriesSheet(*rows, s, sheetPlan, &why);
        if (!filled || !packSheet(m_doc, sheetPlan, sheet, screenDpi)) {
            if (painter.isActive()) {
                m_printer->abort();
                painter.end();
            }
            if (!filled) m_prompter.inform(QStringLiteral("Drucken"), why, PromptIcon::Error);
            else if (work.cancelled()) tellStopped(QStringLiteral("Drucken"));
            return false;
        }
        if (!painter.isActive()) {
            if (!painter.begin(m_printer.get())) {
                jobFailed();
                return false;
            }
        } else if (!m_printer->newPage()) {
            painter.end();
            jobFailed();
            return false;
        }
        if (!drawPackedSheet(painter, sheet)) {
            m_printer->abort();
            painter.end();
            jobFailed();
            return false;
        }
    }
    painter.end();
    tellPictureProblems();
    return true;
}

bool PrintController::printSeriesToPdfFile(const QString& path, int percent, double screenDpi) {
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
    SeriesRows* rows = seriesRows();
    if (!rows) return false;
    rows->clearProblems();
    SheetPdfPage page = pdfPage(m);
    WorkProgress work(m_window, QStringLiteral("Drucken"), QStringLiteral("Die PDF-Datei wird geschrieben …"));
    SheetPlan plan = printPlan(percent);
    plan.progress = work.callback();
    page.plan = &plan;
    QString why;
    const SaveResult saved = writeSheetPdfPagesFile(
        path, m_doc, page, seriesSheetCount(*rows, plan),
        [rows](int s, SheetPlan& sheet, QString* error) { return fillSeriesSheet(*rows, s, sheet, error); }, &why,
        screenDpi);
    if (saved) {
        tellPictureProblems();
        return true;
    }
    if (!why.isEmpty()) m_prompter.inform(QStringLiteral("Drucken"), why, PromptIcon::Error);
    else if (work.cancelled()) tellStopped(QStringLiteral("Drucken"));
    else jobFailed();
    return false;
}

void PrintController::tellPictureProblems() {
    const QString summary = m_rows ? m_rows->pictureSummary() : QString();
    if (!summary.isEmpty()) m_prompter.inform(QStringLiteral("Drucken"), summary, PromptIcon::Warning);
}
