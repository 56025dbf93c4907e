#include "app/PrintController.h"

#include "app/AppTitles.h"
#include "app/SaveTarget.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "model/WriteTarget.h"
#include "render/CutSheet.h"
#include "render/SheetPdfWriter.h"
#include "render/SheetRenderer.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
// A PDF file stands in for a missing printer at a usual laser resolution.
constexpr int PdfDpi = 600;
}

PrintController::PrintController(BoxDocument& doc, Prompter& prompter)
    : m_doc(doc), m_prompter(prompter), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    if (m_printer->outputFormat() == QPrinter::PdfFormat) {
        m_printer->setResolution(PdfDpi);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
    }
    m_printer->setPageOrientation(QPageLayout::Landscape);
    m_setupDialog = [](QPrinter& choice) {
        // Qt has no pure setup dialog: the print dialog, labelled as the
        // setup, lets the user choose the printer with its paper and
        // orientation; its job options are not taken over.
        QPrintDialog dialog(&choice);
        dialog.setWindowTitle(SetupDialogTitle);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile);
        if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
        return dialog.exec() == QDialog::Accepted;
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
    return f;
}

SheetPlan PrintController::printPlan(int percent) const { return planSheet(m_doc.Layout, percent, Options, frame()); }

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
    return planSheet(m_doc.Layout, percent, Options, p, QSize(print.columns, print.rows));
}

void PrintController::setPaper(PaperFormat paper) {
    m_printer->setPageSize(QPageSize(pageSizeIdOf(paper)));
    m_printer->setPageOrientation(QPageLayout::Landscape);
}

bool PrintController::confirmFit(int percent) {
    const SheetPlan plan = printPlan(percent);
    if (plan.fits()) return true;
    const QLocale locale;
    auto mm = [&](QSizeF s) {
        return QStringLiteral("%1 × %2 mm").arg(locale.toString(s.width(), 'f', 1), locale.toString(s.height(), 'f', 1));
    };
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
    return ::renderPreview(m_doc, previewPlan(percent), previewSize(), ratio);
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
    if (choice.outputFormat() == QPrinter::NativeFormat && !choice.printerName().isEmpty()) {
        printer.setPrinterName(choice.printerName());
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(PdfDpi);
    }
    printer.setPageSize(choice.pageLayout().pageSize());
    printer.setPageOrientation(choice.pageLayout().orientation());
    // One sheet, one copy: whatever the dialog offered for the job stays out.
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPageOrder(QPrinter::FirstPageFirst);
}

bool PrintController::saveCutFile(int percent) {
    const QString path = askSaveTarget(m_prompter, m_doc.FileName, QStringLiteral("Schnittdatei speichern"),
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
    if (!writeCutFile(cutSheetFor(printPlan(percent)), path, &why)) {
        m_prompter.inform(QStringLiteral("Fehler"), why, PromptIcon::Error);
        return false;
    }
    return true;
}

bool PrintController::PrintClick(int percent, double screenDpi) {
    if (!confirmFit(percent)) return false;
    m_printer->setDocName(AppTitles::printJobTitle());
    if (printsToPdf()) {
        // No printer to send the sheet to: the user picks a PDF file instead.
        const QString path = askSaveTarget(m_prompter, m_doc.FileName, QStringLiteral("Drucken in PDF-Datei"),
                                           QStringLiteral("PDF-Dateien|*.pdf"), QStringLiteral("pdf"));
        if (path.isEmpty()) return false;
        // A FIFO would block the job and a device or folder be replaced.
        if (!isReplaceableFile(path)) {
            jobFailed();
            return false;
        }
        if (!mayReplace(m_prompter, path)) return false;
        m_printer->setOutputFileName(path);
        return printToPdfFile(path, percent, screenDpi);
    }

    QPainter painter;
    if (!painter.begin(m_printer.get())) {
        jobFailed();
        return false;
    }
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
    const bool printed = printSheet(painter, m_doc, printPlan(percent), screenDpi);
    painter.end();
    return printed;
}

bool PrintController::printToPdfFile(const QString& path, int percent, double screenDpi) {
    // The sheet's bands are rendered and compressed on all cores and written
    // as they are; the toolkit's PDF painter would compress them one by one.
    const PrinterMetrics m = metrics();
    checkPrinterResolution(m.dpiX, m.dpiY, m_prompter);
    const QPageLayout layout = m_printer->pageLayout();
    SheetPdfPage page;
    page.pagePoints = layout.fullRect(QPageLayout::Point).size();
    page.origin = layout.paintRectPixels(m.dpiX).topLeft();
    page.area = m.page;
    page.dpiX = m.dpiX;
    page.dpiY = m.dpiY;
    page.title = AppTitles::printJobTitle();
    page.creator = QCoreApplication::applicationName();
    const SheetPlan plan = printPlan(percent);
    page.plan = &plan;
    if (writeSheetPdfFile(path, m_doc, percent, page, screenDpi)) return true;
    jobFailed();
    return false;
}
