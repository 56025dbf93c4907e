#pragma once
// "E&xportieren...": the export dialog, then the file dialog with the
// overwrite question of the other save commands, then the vector file.

#include "export/VectorExport.h"

#include <functional>

class FolderMemory;
class Prompter;
class QMainWindow;
struct BoxDocument;

class ExportCommands {
public:
    // Shows the export dialog filled with the options; false = cancelled.
    using OptionsDialog = std::function<bool(ExportOptions& options)>;

    ExportCommands(BoxDocument& doc, Prompter& prompter, OptionsDialog dialog);

    // What the print page says for the printed sheet: its paper (in
    // millimetres, either orientation) and its bleed.
    struct PrintPageState {
        QSizeF paperMm;
        bool bleed = false;
        double bleedMm = 1.0;
    };
    using PrintPageSource = std::function<PrintPageState()>;

    // percent: the editor's current box size, the dialog's starting value
    // for a cube (a cuboid is always whole). Format and contents start as
    // last chosen; page and bleed as the print page has them. The file's
    // format follows the extension typed (.pdf or .svg); a name without one
    // gets the chosen format's. True when a file was written.
    bool ExportierenClick(int percent);

    // Without a source the dialog starts with A4 and no bleed.
    void setPrintPage(PrintPageSource source) { m_printPage = std::move(source); }
    // Where the file dialog starts, and where the folder of the file
    // written is kept. Without it: beside the box file, else the home folder.
    void setFolders(FolderMemory* folders) { m_folders = folders; }

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
    PrintPageSource m_printPage;
    FolderMemory* m_folders = nullptr;
    QMainWindow* m_window = nullptr;
};
