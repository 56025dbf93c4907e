#include "app/ExportCommands.h"

#include "model/BoxDocument.h"
#include "model/Prompter.h"

#include <QDir>
#include <QFileInfo>

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
    QString suggested = QFileInfo(m_doc.FileName).completeBaseName();
    if (suggested.isEmpty()) suggested = QStringLiteral("Faltarillon");
    // Beside the box file, else in the home folder: the program's own
    // folder is usually not writable once installed.
    const QString folder =
        m_doc.FileName.isEmpty() ? QDir::homePath() : QFileInfo(m_doc.FileName).absolutePath();
    QString path = m_prompter.savePath(QStringLiteral("Exportieren"), folder, filter,
                                       suggested + QLatin1Char('.') + suffix);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + suffix;
    if (QFileInfo::exists(path) &&
        m_prompter.ask(QStringLiteral("Vorhandene Datei Überschreiben?"),
                       QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"),
                       PromptIcon::Question, PromptButtons::YesNo) != PromptAnswer::Yes)
        return false;
    QString error;
    if (!exportToFile(m_doc, options, path, error)) {
        m_prompter.inform(QStringLiteral("Exportieren"), error, PromptIcon::Warning);
        return false;
    }
    return true;
}
