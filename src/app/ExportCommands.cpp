#include "app/ExportCommands.h"

#include "app/SaveTarget.h"
#include "model/BoxDocument.h"
#include "model/FolderMemory.h"
#include "model/Prompter.h"
#include "model/SeriesRows.h"
#include "widgets/WorkProgress.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>

ExportCommands::ExportCommands(BoxDocument& doc, Prompter& prompter, OptionsDialog dialog)
    : m_doc(doc), m_prompter(prompter), m_dialog(std::move(dialog)) {}

bool ExportCommands::ExportierenClick(int percent) {
    ExportOptions options = m_options;
    // Only a cube follows the box size; a cuboid's editor keeps the last
    // cube's value in a disabled field.
    options.percent = m_doc.Form.isCuboid() ? 100 : percent;
    // Page and bleed belong to the sheet the user prepared on the print
    // page, not to the last export of perhaps another design.
    const PrintPageState page = m_printPage ? m_printPage() : PrintPageState();
    options.page = page.paperMm.isEmpty() ? ExportPage::A4 : exportPageForPaper(page.paperMm);
    options.bleed = page.bleed;
    options.bleedMm = page.bleedMm;
    if (!m_dialog || !m_dialog(options)) return false;
    m_options = options;

    // The chosen format's filter first, so that the dialog shows its files.
    const bool svg = options.format == ExportFormat::Svg;
    const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("pdf");
    const QString filter = svg ? QStringLiteral("SVG-Dateien|*.svg|PDF-Dateien|*.pdf")
                               : QStringLiteral("PDF-Dateien|*.pdf|SVG-Dateien|*.svg");
    const QString path = askSaveTarget(m_prompter, startFolder(m_folders, FileKind::Export, m_doc.FileName),
                                       m_doc.FileName, QStringLiteral("Exportieren"), filter, suffix);
    if (path.isEmpty()) return false;
    // The name typed decides: a file called .pdf holds a PDF, whatever
    // the dialog had chosen.
    const QString typed = QFileInfo(path).suffix().toLower();
    if (typed == QLatin1String("pdf")) options.format = ExportFormat::Pdf;
    else if (typed == QLatin1String("svg")) options.format = ExportFormat::Svg;
    else {
        m_prompter.inform(QStringLiteral("Exportieren"),
                          QStringLiteral("Exportiert wird als PDF- oder SVG-Datei (Endung .pdf oder .svg)."),
                          PromptIcon::Error);
        return false;
    }
    // With linked data the file holds a box per row; an SVG holds one box.
    std::unique_ptr<SeriesRows> rows;
    if (m_doc.Series.linked()) {
        QString why;
        if (options.format == ExportFormat::Svg) {
            why = seriesSvgRefusedText();
        } else {
            // A large table takes a while to read: with progress that stops it.
            WorkProgress reading(m_window, QStringLiteral("Exportieren"),
                                 QStringLiteral("Die Seriendaten werden gelesen …"));
            rows = SeriesRows::open(m_doc, m_doc.Series, RowRange(), &why, reading.callback());
            if (reading.cancelled()) {
                if (m_window) m_window->statusBar()->showMessage(stoppedText(QStringLiteral("Exportieren")));
                return false;
            }
        }
        if (!rows) {
            m_prompter.inform(QStringLiteral("Exportieren"), why, PromptIcon::Error);
            return false;
        }
    }
    if (!mayReplace(m_prompter, path)) return false;
    QString error, notice;
    WorkProgress work(m_window, QStringLiteral("Exportieren"), QStringLiteral("Die Box wird exportiert …"));
    ExportOptions run = options;
    run.progress = work.callback();
    const bool written = rows ? exportSeriesToFile(m_doc, *rows, run, path, error)
                              : exportToFile(m_doc, run, path, error, &notice);
    if (rows) notice = rows->pictureSummary();
    if (!written) {
        // Stopped: no file was written and an old one is as it was.
        if (work.cancelled()) {
            if (m_window) m_window->statusBar()->showMessage(stoppedText(QStringLiteral("Exportieren")));
            return false;
        }
        m_prompter.inform(QStringLiteral("Exportieren"), error, PromptIcon::Warning);
        return false;
    }
    rememberFolder(m_folders, FileKind::Export, path);
    if (!notice.isEmpty()) m_prompter.inform(QStringLiteral("Exportieren"), notice, PromptIcon::Information);
    return true;
}
