#pragma once
// The main window (TSDIAppForm). It owns the one document for the whole run
// and the components that work on it; it only builds and connects them:
// menus, the editor tab with canvas and rulers, the print tab, the info
// panel, the file commands, the editing code and the scanner commands.

#include "model/BoxDocument.h"
#include "model/PaperFormat.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class FolderMemory;
class CanvasMenu;
class ClipboardCommands;
class EditMenuActions;
class ArrangeCommands;
class CursorSlots;
class EditorCanvas;
class EditorController;
class EditorDialogs;
class EditorPage;
class EditorToolBar;
class ExportCommands;
class FileCommands;
class FoldPage;
class InfoPanel;
class KeyEdit;
class MainMenu;
class ObjectCommands;
class ObjectMenu;
class PrintController;
class PrintPage;
class Prompter;
class PropertyPanel;
class RecentFilesMenu;
class QTabWidget;
class QTimer;
class ScanCommands;
class TAboutBox;
class TBoxFormForm;
class TExportForm;
class TJPEGQForm;
class TSeriesDataForm;
class SeriesView;

class TSDIAppForm : public QMainWindow {
    Q_OBJECT
public:
    // prompter: questions and messages; the real dialogs when null.
    // useSettings: restore and store the window placement.
    explicit TSDIAppForm(Prompter* prompter = nullptr, bool useSettings = true, QWidget* parent = nullptr);
    ~TSDIAppForm() override;

    BoxDocument& document() { return *m_doc; }
    Prompter& prompter() { return *m_prompter; }
    // A command ran out of memory and was ended: says so, with the design's
    // file (the design stays open as it was left).
    void reportOutOfMemory();
    FileCommands& fileCommands() { return *m_fileCommands; }
    PrintController& printController() { return *m_print; }
    EditorController& editorController() { return *m_controller; }
    ObjectCommands& objectCommands() { return *m_objectCommands; }
    ClipboardCommands& clipboardCommands() { return *m_clipboard; }
    ArrangeCommands& arrangeCommands() { return *m_arrange; }
    EditMenuActions* editMenuActions() const { return m_editActions; }
    TAboutBox* aboutBox() const { return m_aboutBox; }
    TJPEGQForm* jpegForm() const { return m_jpegForm; }
    ScanCommands* scanCommands() const { return m_scan; }
    bool startupDone() const;
    RecentFilesMenu* recentFiles() const { return m_recent; }

    // A box file to open once the start-up New has run (the program's
    // argument); relative paths count from the current folder.
    void setStartupFile(const QString& path);
    // "Zuletzt geöffnet": a file that is gone is reported and dropped.
    void openRecent(const QString& path);

    // Components by the names the user interface gives them.
    MainMenu* MainMenu1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    EditorPage* TabSheet3 = nullptr;
    PrintPage* TabSheet2 = nullptr;
    FoldPage* TabSheet4 = nullptr;   // "3D-Ansicht"
    EditorCanvas* PaintBox1 = nullptr;
    InfoPanel* InfoPanel1 = nullptr;
    EditorToolBar* Toolbar = nullptr;
    PropertyPanel* Panel10 = nullptr;
    QTimer* Timer2 = nullptr;

    // Handlers the menus and buttons run.
    void Neu1Click();
    void NeuMitPapierformat1Click();
    // Asks which paper a new box is for; false when cancelled. Tests replace it.
    std::function<bool(PaperFormat&)> choosePaper;
    // "Boxform...": the dialog, then form, measures and the moved artwork as
    // one step "Boxform".
    void Boxform1Click();
    // Runs the Boxform dialog (exec); tests drive the real dialog instead.
    std::function<int(TBoxFormForm&)> runBoxFormDialog;
    // "Seriendaten...": the dialog, then the link or unlink as one step
    // "Seriendaten".
    void SeriendatenClick();
    // Runs the Seriendaten dialog (exec); tests drive the real dialog instead.
    std::function<int(TSeriesDataForm&)> runSeriesDialog;
    // The row of linked data the editor and the views show.
    SeriesView& seriesView() { return *m_series; }
    // Shows another row (0-based, clamped): no change of the design.
    void showSeriesRow(int index);
    void About1Click();
    void ExitItemClick();
    void PrintSetupClick();
    void PrintClick();
    void SchnittdateiClick();   // "Schnittdatei speichern..."
    void WMUser(int percent);   // progress in percent
    void showLayoutLine();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildEditing();
    void createDialogs();
    void connectCommands();
    void armStartupTimer();
    void Timer2Timer();
    void restorePlacement();
    void storePlacement();
    void afterNew();
    void afterOpen();
    int screenDpi() const;
    // Follows the design's link: opens its table when it changed and shows
    // the rows on the tool bar; report: a file that cannot be read is told.
    void followSeries(bool report);
    // The status line names fields the shown row lacks, once per change.
    void showSeriesProblems();

    std::unique_ptr<BoxDocument> m_doc;
    std::unique_ptr<SeriesView> m_series;
    QStringList m_seriesProblems;
    // Where the file dialogs start; lent to the commands and dialogs below.
    std::unique_ptr<FolderMemory> m_folders;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter = nullptr;
    std::unique_ptr<CursorSlots> m_cursors;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<PrintController> m_print;
    std::unique_ptr<ExportCommands> m_export;
    TExportForm* m_exportForm = nullptr;   // made on first use
    std::unique_ptr<ObjectCommands> m_objectCommands;
    std::unique_ptr<ClipboardCommands> m_clipboard;
    std::unique_ptr<ArrangeCommands> m_arrange;
    EditMenuActions* m_editActions = nullptr;
    std::unique_ptr<EditorDialogs> m_dialogs;
    ObjectMenu* m_objectMenu = nullptr;
    CanvasMenu* m_canvasMenu = nullptr;
    std::unique_ptr<EditorController> m_controller;
    KeyEdit* m_keyEdit = nullptr;
    ScanCommands* m_scan = nullptr;
    RecentFilesMenu* m_recent = nullptr;
    QString m_startupFile;
    TJPEGQForm* m_jpegForm = nullptr;
    TAboutBox* m_aboutBox = nullptr;
    bool m_useSettings = true;
    bool m_startupTimerArmed = false;
    bool m_closeApproved = false;
};
