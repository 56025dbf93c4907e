#pragma once
// New, Open, Save, Save as and Exit with their questions. The document work
// is the model's (newDocument, OpenItNow, Saveit); what the window shows
// afterwards is handed back through the hooks.

#include "base/Progress.h"
#include "model/PaperFormat.h"

#include <QString>
#include <functional>

struct BoxDocument;
class FolderMemory;
class Prompter;

class FileCommands {
public:
    struct Hooks {
        std::function<void()> afterNew;            // sizes, scroll, repaints, cube size
        std::function<void()> afterOpen;           // sizes, layout line, repaints
        std::function<void(const QString&)> setCaption;
        ProgressCallback progress;                 // image loading while opening
        std::function<void(const QString&)> fileUsed;   // a box file opened or saved
        // Whether there is anything to save; without it every question is asked.
        std::function<bool()> modified;
        std::function<void()> saved;               // the document was written
    };

    static QString boxFilter() { return QStringLiteral("Faltarillon-Dateien|*.box"); }
    static QString saveQuestion() { return QStringLiteral("Wollen Sie vorher speichern?"); }

    FileCommands(BoxDocument& doc, Prompter& prompter, Hooks hooks);

    // The automatic New once the window is up: no question. From then on
    // New, Open and Exit ask whether to save, when the document differs
    // from what was last opened or saved.
    void runStartupNew();
    bool startupDone() const { return m_startupDone; }

    void Neu1Click();
    // New for another paper, with New's question; true when the document
    // was made (the window then sets the printer's paper).
    bool newForPaper(PaperFormat paper);
    void OpenItemClick();
    // Open without its dialog: the save question when there are changes,
    // then OpenItNow. True when the file was opened.
    bool openFile(const QString& path);
    // A sample design opened as a new, unnamed box: the sample file itself
    // is never saved over. Pictures found beside it keep that place.
    bool openSample(const QString& path);
    bool SaveItemClick();
    bool Speichernunter1Click();
    // The Exit question; true when the window may close.
    bool ExitItemClick();

    // Where Öffnen and Speichern unter start (the folder of the box files
    // last opened or saved) and where it is kept. Without it they start
    // beside the open box file, else in the home folder.
    void setFolders(FolderMemory* folders) { m_folders = folders; }

private:
    // Yes / No / Cancel under the given caption when there are changes; Yes
    // saves first. True when the command may go on.
    bool offerSave(const QString& caption);
    void doNew(PaperFormat paper = PaperFormat::A4);
    bool writeTo(const QString& path);
    bool openAfterQuestion(const QString& path);

    BoxDocument& m_doc;
    Prompter& m_prompter;
    Hooks m_hooks;
    FolderMemory* m_folders = nullptr;
    bool m_startupDone = false;
};
