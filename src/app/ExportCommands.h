#pragma once
// "E&xportieren...": the export dialog, then the file dialog with the
// overwrite question of the other save commands, then the vector file.

#include "export/VectorExport.h"

#include <functional>

class Prompter;
class QMainWindow;
struct BoxDocument;

class ExportCommands {
public:
    // Shows the export dialog filled with the options; false = cancelled.
    using OptionsDialog = std::function<bool(ExportOptions& options)>;

    ExportCommands(BoxDocument& doc, Prompter& prompter, OptionsDialog dialog);

    // percent: the editor's current box size, the dialog's starting value.
    // True when a file was written.
    bool ExportierenClick(int percent);

    const ExportOptions& lastOptions() const { return m_options; }

    // The window whose progress dialog the export shows (with "Abbrechen")
    // and whose status bar says "Exportieren abgebrochen." when the user
    // stopped it. Without one the dialog has no parent and nothing is said.
    void setWindow(QMainWindow* window) { m_window = window; }

private:
    BoxDocument& m_doc;
    Prompter& m_prompter;
    OptionsDialog m_dialog;
    ExportOptions m_options;
    QMainWindow* m_window = nullptr;
};
