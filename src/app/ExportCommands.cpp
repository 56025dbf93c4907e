#include "app/ExportCommands.h"

#include "app/SaveTarget.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "widgets/WorkProgress.h"

#include <QMainWindow>
#include <QStatusBar>

ExportCommands::ExportCommands(BoxDocument& doc, Prompter& prompter, OptionsDialog dialog)
    : m_doc(doc), m_prompter(prompter), m_dialog(std::move(dialog)) {}

bool ExportCommands::ExportierenClick(int percent) {
    ExportOptions options = m_options;
    options.percent = percent;
    if (!m_dialog || !m_dialog(options)) return false;
    m_options = options;

    const bool svg = options.format == ExportFormat::Svg;
    const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("pdf");
    const QString filter = svg ? QStringLiteral("SVG-Dateien|*.svg") : QStringLiteral("PDF-Dateien|*.pdf");
    const QString path = askSaveTarget(m_prompter, m_doc.FileName, QStringLiteral("Exportieren"), filter, suffix);
    if (path.isEmpty() || !mayReplace(m_prompter, path)) return false;
    QString error, notice;
    WorkProgress work(m_window, QStringLiteral("Exportieren"), QStringLiteral("Die Box wird exportiert …"));
    ExportOptions run = options;
    run.progress = work.callback();
    if (!exportToFile(m_doc, run, path, error, &notice)) {
        // Stopped: no file was written and an old one is as it was.
        if (work.cancelled()) {
            if (m_window) m_window->statusBar()->showMessage(stoppedText(QStringLiteral("Exportieren")));
            return false;
        }
        m_prompter.inform(QStringLiteral("Exportieren"), error, PromptIcon::Warning);
        return false;
    }
    if (!notice.isEmpty()) m_prompter.inform(QStringLiteral("Exportieren"), notice, PromptIcon::Information);
    return true;
}
