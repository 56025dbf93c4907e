#include "app/ExportCommands.h"

#include "app/SaveTarget.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"

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
    QString error;
    if (!exportToFile(m_doc, options, path, error)) {
        m_prompter.inform(QStringLiteral("Exportieren"), error, PromptIcon::Warning);
        return false;
    }
    return true;
}
