#include "app/SDIMain.h"

#include "widgets/AppResources.h"
#include "app/AppTitles.h"
#include "app/CursorSlots.h"
#include "app/DialogPrompter.h"
#include "app/EditMenuActions.h"
#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/EditorScrollBox.h"
#include "app/ExportCommands.h"
#include "app/FileCommands.h"
#include "app/FoldPage.h"
#include "app/FoldView.h"
#include "app/InfoPanel.h"
#include "app/MainMenu.h"
#include "app/MenuShortcutPriority.h"
#include "app/PrintController.h"
#include "app/PrintPage.h"
#include "app/RecentFilesMenu.h"
#include "app/SamplesMenu.h"
#include "app/SheetOptionsBar.h"
#include "app/ProgressEvent.h"
#include "app/ScanCommands.h"
#include "dialogs/AboutBoxUnit.h"
#include "dialogs/BoxFormForm.h"
#include "dialogs/ExportForm.h"
#include "dialogs/JpegQFUnit.h"
#include "dialogs/PaperFormatForm.h"
#include "dialogs/bkgndunit.h"
#include "dialogs/SeriesDataForm.h"
#include "edit/BoxFormCommand.h"
#include "edit/SeriesCommand.h"
#include "edit/ArrangeCommands.h"
#include "edit/CanvasMenu.h"
#include "edit/ClipboardCommands.h"
#include "edit/EditorController.h"
#include "edit/EditorToolBar.h"
#include "edit/KeyEdit.h"
#include "edit/ObjectCommands.h"
#include "edit/ObjectMenu.h"
#include "edit/PropertyPanel.h"
#include "edit/WidgetEditorDialogs.h"
#include "dialogs/BMPOpenFUnit.h"
#include "model/FolderMemory.h"
#include "box/BoxFit.h"
#include "model/BoxSize.h"
#include "model/NewDocument.h"
#include "model/SeriesView.h"


#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int StartWidth = 740;
constexpr int StartHeight = 559;
const char* const PlacementKey = "MainWindow/Placement";
// Kept beside the placement: the user's choice outlives the session.
const char* const SnapKey = "MainWindow/SnapToNet";
// "Netzlinien" of the print page, in millimetres (0 for "fein").
const char* const NetLinesKey = "Print/NetLineMm";
}  // namespace

TSDIAppForm::TSDIAppForm(Prompter* prompter, bool useSettings, QWidget* parent)
    : QMainWindow(parent), m_doc(std::make_unique<BoxDocument>()), m_series(std::make_unique<SeriesView>()),
      m_useSettings(useSettings) {
    setObjectName(QStringLiteral("SDIAppForm"));
    ensureAppResources();
    setWindowIcon(QIcon(QStringLiteral(":/images/appicon.png")));
    // The compact 8-point dialog font the layout's pixel positions were made for.
    QFont uiFont(QStringLiteral("Liberation Sans"));
    uiFont.setPixelSize(11);
    setFont(uiFont);
    if (prompter) {
        m_prompter = prompter;
    } else {
        m_ownPrompter = std::make_unique<DialogPrompter>(this);
        m_prompter = m_ownPrompter.get();
    }

    // Preview resolution and a landscape printer.
    m_folders = std::make_unique<FolderMemory>(m_useSettings);
    m_print = std::make_unique<PrintController>(*m_doc, *m_prompter);
    m_print->setWindow(this);
    m_print->setFolders(m_folders.get());
    // The shown row prints as the editor shows it.
    m_print->setShownRow([this] { return m_series->current(); });

    // Program folder, slots, start-up layout, screen scale, cleared document.
    initStartupDocument(*m_doc, screenDpi());
    m_doc->ProgramFolder = AppTitles::programFolderOf(QCoreApplication::applicationFilePath());
    setWindowTitle(captionFor(m_doc->FileName));

    m_cursors = std::make_unique<CursorSlots>();

    MainMenu1 = new MainMenu(menuBar(), this);
    new MenuShortcutPriority(this, menuBar());
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setFixedHeight(19);
    statusBar()->setSizeGripEnabled(true);

    auto* client = new QWidget(this);
    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    InfoPanel1 = new InfoPanel(client);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    clientLayout->addWidget(PageControl1, 1);
    clientLayout->addWidget(InfoPanel1);
    setCentralWidget(client);
    showLayoutLine();

    if (m_useSettings)
        m_print->Options.netLineMm =
            QSettings().value(QLatin1String(NetLinesKey), SheetOptions::WideNetLineMm).toDouble() > 0
                ? SheetOptions::WideNetLineMm
                : 0.0;
    PaintBox1 = new EditorCanvas(*m_doc, *m_prompter, *m_cursors);
    TabSheet3 = new EditorPage(*m_doc, PaintBox1);
    TabSheet2 = new PrintPage(*m_print, [this] { return TabSheet3->boxPercent(); });
    PageControl1->addTab(TabSheet3, QStringLiteral("Editor"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Drucken"));
    TabSheet4 = new FoldPage(*m_doc, *m_prompter, [this] { return TabSheet3->boxPercent(); });
    PageControl1->setTabToolTip(PageControl1->addTab(TabSheet4, QStringLiteral("3D-Ansicht")),
                                QStringLiteral("Zeigt die gefaltete Box"));
    TabSheet4->setFolders(m_folders.get());

    buildEditing();
    createDialogs();

    FileCommands::Hooks hooks;
    hooks.afterNew = [this] { afterNew(); };
    hooks.afterOpen = [this] { afterOpen(); };
    hooks.setCaption = [this](const QString& caption) { setWindowTitle(caption); };
    hooks.progress = [this](int percent) {
        WMUser(percent);
        return true;
    };
    hooks.fileUsed = [this](const QString& path) { m_recent->fileUsed(path); };
    // Zoom, scrolling and the box size are no steps: they change nothing to save.
    hooks.modified = [this] { return m_objectCommands->history().modified(); };
    hooks.saved = [this] { m_objectCommands->history().markSaved(); };
    m_fileCommands = std::make_unique<FileCommands>(*m_doc, *m_prompter, hooks);
    m_fileCommands->setFolders(m_folders.get());

    connectCommands();
    choosePaper = [this, last = PaperFormat::A4](PaperFormat& paper) mutable {
        TPaperFormatForm form(this);
        form.setPaper(last);
        if (form.exec() != QDialog::Accepted) return false;
        paper = last = form.paper();
        return true;
    };
    runBoxFormDialog = [](TBoxFormForm& form) { return form.exec(); };
    runSeriesDialog = [](TSeriesDataForm& form) { return form.exec(); };

    // The editing area of the start-up layout, painted once.
    PaintBox1->sizeToDocument();
    PaintBox1->PaintBox1Paint();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, &TSDIAppForm::Timer2Timer);

    resize(StartWidth, StartHeight);
    if (QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(StartWidth / 2, StartHeight / 2));
    if (m_useSettings) restorePlacement();
}

TSDIAppForm::~TSDIAppForm() {
    // The edit menu follows the history, which ends with the commands.
    delete m_editActions;
    m_editActions = nullptr;
    // A running scan ends before the window it reports to.
    delete m_scan;
    m_scan = nullptr;
    // The editing code refers to the canvas, the widgets to the document and
    // the commands: end them while everything they use still exists.
    m_controller.reset();
    delete takeCentralWidget();
}

void TSDIAppForm::buildEditing() {
    auto dialogs = std::make_unique<WidgetEditorDialogs>(
        *m_doc, *m_prompter, [this] { PaintBox1->PaintBox1Paint(); }, [this] { return screenDpi(); }, this);
    dialogs->bmpOpenForm()->setFolderMemory(m_folders.get());
    m_dialogs = std::move(dialogs);
    PaintBox1->setDialogs(m_dialogs.get());
    m_objectCommands = std::make_unique<ObjectCommands>(*PaintBox1);
    m_objectMenu = new ObjectMenu(*PaintBox1, *m_objectCommands, this);
    m_canvasMenu = new CanvasMenu(*PaintBox1, *m_objectCommands, this);
    m_clipboard = std::make_unique<ClipboardCommands>(*PaintBox1, *m_objectCommands);
    m_objectMenu->setClipboard(m_clipboard.get());
    m_arrange = std::make_unique<ArrangeCommands>(*PaintBox1, *m_objectCommands);
    m_objectMenu->setArrange(m_arrange.get());
    m_canvasMenu->setClipboard(m_clipboard.get());
    m_controller = std::make_unique<EditorController>(*PaintBox1, *m_objectCommands, *m_objectMenu, *m_canvasMenu);
    PaintBox1->setController(m_controller.get());

    Toolbar = new EditorToolBar;
    TabSheet3->placeToolBar(Toolbar);
    PaintBox1->setToolAccess([this] { return Toolbar->currentTool(); },
                             [this](EditorTool tool) { Toolbar->setCurrentTool(tool); });

    Panel10 = new PropertyPanel(*PaintBox1, *m_objectCommands);
    TabSheet3->placePropertyPanel(Panel10);
    PaintBox1->setPanelSync([this] {
        Panel10->CheckAllPanelOptions();
        if (m_editActions) m_editActions->refresh();
    });

    m_keyEdit = new KeyEdit(
        [this](int key, Qt::KeyboardModifiers modifiers) { return m_controller->keyDown(key, modifiers); });
    TabSheet3->placeKeyEdit(m_keyEdit);
    PaintBox1->setKeyEdit(m_keyEdit);
    TabSheet3->ScrollBox1->setPressOutsideCanvas([this] { m_controller->scrollBoxMouseDown(); });
}

void TSDIAppForm::createDialogs() {
    // The editing dialogs came with the editing code; the quality dialog of
    // the scan flow and the about box follow, all made once and hidden.
    m_jpegForm = new TJPEGQForm(this);
    m_jpegForm->hide();
    m_aboutBox = new TAboutBox(this);
    m_aboutBox->hide();
}

void TSDIAppForm::connectCommands() {
    MainMenu* m = MainMenu1;
    connect(m->Neu1, &QAction::triggered, this, &TSDIAppForm::Neu1Click);
    connect(m->NeuMitPapierformat1, &QAction::triggered, this, &TSDIAppForm::NeuMitPapierformat1Click);
    connect(m->Seriendaten1, &QAction::triggered, this, &TSDIAppForm::SeriendatenClick);
    // The editor and the 3D view draw the design as the chosen row fills it.
    auto shown = [this]() -> const BoxDocument& { return m_series->shown(*m_doc); };
    PaintBox1->setShownDocument(shown);
    TabSheet4->View->setShownDocument(shown);
    connect(TabSheet3, &EditorPage::seriesRowChosen, this, &TSDIAppForm::showSeriesRow);
    auto firstRowPicture = [this](const QString& name) {
        m_series->follow(*m_doc);
        SeriesRow first;
        if (fieldNames(name).isEmpty() || !m_series->table()) return name;
        first.columns = m_series->table()->columns();
        if (!m_series->table()->row(0, &first.values, nullptr)) return name;
        return fillPictureName(name, first, *m_doc);
    };
    PaintBox1->setFirstRowPicture(firstRowPicture);
    if (auto* widgets = dynamic_cast<WidgetEditorDialogs*>(m_dialogs.get()))
        widgets->bkgndform()->firstRowPicture = firstRowPicture;
    // Undo and redo may link or unlink: every repaint follows the link.
    connect(PaintBox1, &EditorCanvas::rulersNeedRepaint, this, [this] {
        followSeries(false);
        showSeriesProblems();
    });
    connect(TabSheet3->NewBtn, &QToolButton::clicked, this, &TSDIAppForm::Neu1Click);
    connect(m->OpenItem, &QAction::triggered, this, [this] { m_fileCommands->OpenItemClick(); });
    connect(TabSheet3->SpeedItem4, &QToolButton::clicked, this, [this] { m_fileCommands->OpenItemClick(); });
    connect(m->SaveItem, &QAction::triggered, this, [this] { m_fileCommands->SaveItemClick(); });
    connect(TabSheet3->SpeedItem5, &QToolButton::clicked, this, [this] { m_fileCommands->SaveItemClick(); });
    connect(m->SaveAs, &QAction::triggered, this, [this] { m_fileCommands->Speichernunter1Click(); });
    m_export = std::make_unique<ExportCommands>(*m_doc, *m_prompter, [this](ExportOptions& options) {
        if (!m_exportForm) m_exportForm = new TExportForm(this);
        m_exportForm->setOptions(options);
        m_exportForm->setCuboid(m_doc->Form.isCuboid());
        if (m_exportForm->exec() != QDialog::Accepted) return false;
        options = m_exportForm->options();
        return true;
    });
    m_export->setWindow(this);
    m_export->setFolders(m_folders.get());
    m_export->setPrintPage([this] {
        ExportCommands::PrintPageState page;
        page.paperMm = m_print->frame().paperSizeMm();
        page.bleed = m_print->Options.bleed;
        page.bleedMm = m_print->Options.bleedMm;
        return page;
    });
    connect(m->Exportieren1, &QAction::triggered, this,
            [this] { m_export->ExportierenClick(TabSheet3->boxPercent()); });
    connect(m->ExitItem, &QAction::triggered, this, &TSDIAppForm::ExitItemClick);
    connect(m->About1, &QAction::triggered, this, &TSDIAppForm::About1Click);
    connect(m->Druckereinrichten1, &QAction::triggered, this, &TSDIAppForm::PrintSetupClick);
    connect(m->Drucken1, &QAction::triggered, this, &TSDIAppForm::PrintClick);
    connect(TabSheet2, &PrintPage::printSetupRequested, this, &TSDIAppForm::PrintSetupClick);
    connect(TabSheet2, &PrintPage::printRequested, this, &TSDIAppForm::PrintClick);
    connect(m->Schnittdatei1, &QAction::triggered, this, &TSDIAppForm::SchnittdateiClick);
    connect(TabSheet2, &PrintPage::cutFileRequested, this, &TSDIAppForm::SchnittdateiClick);
    connect(m->Hintergrundbild2, &QAction::triggered, this, [this] { m_objectCommands->editBackground(); });
    connect(TabSheet3->SpeedItem6, &QToolButton::clicked, this, [this] { m_objectCommands->editBackground(); });
    connect(m->Boxform1, &QAction::triggered, this, &TSDIAppForm::Boxform1Click);
    // Undo and redo may change the form: the size display follows.
    // The page as context: the history outlives the widgets at the end.
    connect(&m_objectCommands->history().stack(), &QUndoStack::indexChanged, TabSheet3, &EditorPage::showForm);
    connect(PaintBox1, &EditorCanvas::progressReported, this, &TSDIAppForm::WMUser);
    // Off on the first start; afterwards as the user left it.
    if (m_useSettings) m->NetzEinrasten1->setChecked(QSettings().value(QLatin1String(SnapKey), false).toBool());
    m_controller->setSnapping(m->NetzEinrasten1->isChecked());
    connect(m->NetzEinrasten1, &QAction::toggled, this, [this](bool on) {
        m_controller->setSnapping(on);
        if (m_useSettings) QSettings().setValue(QLatin1String(SnapKey), on);
    });
    connect(m->NetzBeschriften1, &QAction::toggled, this, [this](bool on) {
        PaintBox1->setNetLabels(on);
        PaintBox1->PaintBox1Paint();
    });
    // Every command ends with the editor's full repaint: the 3D view follows.
    connect(PaintBox1, &EditorCanvas::rulersNeedRepaint, TabSheet4, &FoldPage::refresh);
    connect(PaintBox1, &EditorCanvas::statusReported, this, [this](const QString& text) {
        statusBar()->showMessage(text);
    });
    connect(TabSheet4, &FoldPage::statusReported, this, [this](const QString& text) { statusBar()->showMessage(text); });
    m_editActions = new EditMenuActions(*MainMenu1, *m_controller,
                                        *m_objectCommands, *m_clipboard, *m_doc, this);
    connect(TabSheet2->SheetOptions1, &SheetOptionsBar::optionsChanged, this, [this] {
        if (m_useSettings) QSettings().setValue(QLatin1String(NetLinesKey), m_print->Options.netLineMm);
    });
    m_editActions->setArrange(m_arrange.get());
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl1->widget(index) == TabSheet2) TabSheet2->VPaintPaint();
    });

    m_recent = new RecentFilesMenu(m->Zuletztgeoeffnet1, m_useSettings, this);
    connect(m_recent, &RecentFilesMenu::openRequested, this, &TSDIAppForm::openRecent);
    auto* samples = new SamplesMenu(m->Beispiele1, m_doc->ProgramFolder, this);
    connect(samples, &SamplesMenu::openRequested, this, [this](const QString& path) { m_fileCommands->openSample(path); });

    m_scan = new ScanCommands(*m_prompter, this, nullptr, m_jpegForm);
    m_scan->setFolders(m_folders.get(), [this] { return m_doc->FileName; });
    connect(m->Scannerauswhlen1, &QAction::triggered, m_scan, &ScanCommands::selectScanner);
    connect(m->Bildeinscanne1, &QAction::triggered, m_scan, &ScanCommands::scanImage);
    connect(m_scan, &ScanCommands::progress, this, &TSDIAppForm::WMUser);
}

bool TSDIAppForm::startupDone() const { return m_fileCommands->startupDone(); }

int TSDIAppForm::screenDpi() const {
    const QScreen* s = screen();
    if (!s) s = QGuiApplication::primaryScreen();
    const int dpi = s ? static_cast<int>(std::trunc(s->logicalDotsPerInchX())) : 96;
    return dpi > 0 ? dpi : 96;
}

void TSDIAppForm::showLayoutLine() { InfoPanel1->setCaption(sheetLayoutLine(m_doc->Layout)); }

void TSDIAppForm::afterNew() {
    m_doc->markChanged();
    followSeries(false);
    m_controller->resetInteraction();
    m_objectCommands->history().clear();
    showLayoutLine();
    PaintBox1->sizeToDocument();
    PaintBox1->PaintBox1Paint();
    TabSheet2->VPaintPaint();
    TabSheet3->scrollToMiddleThird();
    TabSheet3->ProzEDChange();
    TabSheet4->showNewDesign();
}

void TSDIAppForm::afterOpen() {
    m_doc->markChanged();
    // The design opens even when its data cannot be read; the link stays
    // for when the file is back.
    followSeries(true);
    m_controller->resetInteraction();
    m_objectCommands->history().clear();
    PaintBox1->sizeToDocument();
    showLayoutLine();
    PaintBox1->PaintBox1Paint();
    TabSheet2->VPaintPaint();
    TabSheet3->showForm();
    TabSheet4->showNewDesign();
    // Nothing refuses such a file (older versions wrote it); the user learns
    // once that print, export and views cut its net off at the item.
    const NetSource source = NetSource::of(*m_doc, 100);
    if (!netFits(source, m_doc->Layout))
        statusBar()->showMessage(QStringLiteral("Die Box passt nicht auf ihr Papier, ihr Netz wird abgeschnitten (%1).")
                                     .arg(netRoomText(source, m_doc->Layout)));
}

void TSDIAppForm::Neu1Click() { m_fileCommands->Neu1Click(); }

void TSDIAppForm::NeuMitPapierformat1Click() {
    PaperFormat paper = PaperFormat::A4;
    if (!choosePaper || !choosePaper(paper)) return;
    if (!m_fileCommands->newForPaper(paper)) return;
    m_print->setPaper(paper);
    TabSheet2->VPaintPaint();
}

void TSDIAppForm::Boxform1Click() {
    const int percent = TabSheet3->boxPercent();
    TBoxFormForm form(m_doc->Layout, percent, *m_prompter, this);
    form.setForm(m_doc->Form);
    if (!runBoxFormDialog || runBoxFormDialog(form) != QDialog::Accepted) return;
    if (!changeBoxForm(m_objectCommands->history(), *m_doc, form.form(), percent)) return;
    TabSheet3->showForm();
    PaintBox1->PaintBox1Paint();
    TabSheet2->VPaintPaint();
}

void TSDIAppForm::SeriendatenClick() {
    TSeriesDataForm form(this);
    form.setStartFolder(m_doc->FileName.isEmpty() ? QString() : QFileInfo(m_doc->FileName).absolutePath());
    form.askForFile = [this](const QString& start) {
        return m_prompter->openPath(QStringLiteral("Seriendaten wählen"), start,
                                    QStringLiteral("Tabellen (CSV, TSV)|*.csv;*.tsv;*.txt|Alle Dateien|*"));
    };
    form.setLink(m_doc->Series);
    if (!runSeriesDialog || runSeriesDialog(form) != QDialog::Accepted) return;
    const SeriesLink to = form.unlinked() ? SeriesLink() : form.link();
    // The same link confirmed: its file is read again all the same.
    if (!changeSeriesLink(m_objectCommands->history(), *m_doc, to)) m_series->reload();
    followSeries(true);
    PaintBox1->PaintBox1Paint();
    TabSheet2->VPaintPaint();
}

void TSDIAppForm::followSeries(bool report) {
    m_series->follow(*m_doc);
    if (!m_series->takeLinkChange()) return;
    TabSheet3->showSeriesRows(m_series->rowCount(), m_series->current());
    const QString error = m_series->openError();
    if (report && !error.isEmpty())
        m_prompter->inform(QStringLiteral("Seriendaten"),
                           QStringLiteral("Die Seriendaten konnten nicht gelesen werden; die Box zeigt ihre Texte, "
                                          "wie sie eingegeben sind. Die Verknüpfung bleibt erhalten.\n") + error,
                           PromptIcon::Warning);
}

void TSDIAppForm::showSeriesRow(int index) {
    m_series->setCurrent(index);
    TabSheet3->showSeriesRows(m_series->rowCount(), m_series->current());
    PaintBox1->PaintBox1Paint();
    TabSheet2->VPaintPaint();
}

void TSDIAppForm::showSeriesProblems() {
    QStringList problems = m_series->active() ? m_series->problems() : QStringList();
    if (!m_series->active() && m_doc->Series.linked() && !m_series->openError().isEmpty())
        problems.push_back(m_series->openError());
    if (problems == m_seriesProblems) return;
    m_seriesProblems = problems;
    // The first few: the line has room for little more.
    QStringList shown = problems.mid(0, 3);
    if (problems.size() > 3) shown.push_back(QStringLiteral("und %1 weitere").arg(problems.size() - 3));
    statusBar()->showMessage(shown.join(QStringLiteral("; ")));
}

void TSDIAppForm::About1Click() { m_aboutBox->exec(); }

void TSDIAppForm::ExitItemClick() {
    if (!m_fileCommands->ExitItemClick()) return;
    m_closeApproved = true;
    close();
}

void TSDIAppForm::PrintSetupClick() {
    m_print->PrintSetupClick();
    TabSheet2->VPaintPaint();
}

void TSDIAppForm::PrintClick() {
    m_print->PrintClick(TabSheet3->boxPercent(), screenDpi());
    PaintBox1->PaintBox1Paint();
    TabSheet2->VPaintPaint();
}

void TSDIAppForm::SchnittdateiClick() { m_print->saveCutFile(TabSheet3->boxPercent()); }

void TSDIAppForm::WMUser(int percent) { InfoPanel1->setProgress(percent); }

void TSDIAppForm::armStartupTimer() {
    if (m_startupTimerArmed || startupDone()) return;
    m_startupTimerArmed = true;
    Timer2->start();
}

void TSDIAppForm::Timer2Timer() {
    Timer2->stop();
    m_fileCommands->runStartupNew();
    if (m_startupFile.isEmpty()) return;
    // On failure the message has been shown and the empty New stays.
    if (!m_fileCommands->openFile(m_startupFile)) return;
    // Whatever the file's layout: its net in view and its cube size shown.
    TabSheet3->scrollToMiddleThird();
    TabSheet3->ProzEDChange();
}

void TSDIAppForm::setStartupFile(const QString& path) {
    m_startupFile = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

void TSDIAppForm::openRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        m_prompter->inform(QString(), QStringLiteral("Die Datei %1 wurde nicht gefunden.").arg(path),
                           PromptIcon::Information);
        m_recent->forget(path);
        return;
    }
    m_fileCommands->openFile(path);
}

bool TSDIAppForm::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::WindowActivate:
    case QEvent::Show:
        // Without a window manager the window may never be activated; being
        // shown counts as the first activation.
        armStartupTimer();
        break;
    default:
        if (e->type() == ProgressEvent::Type) {
            WMUser(static_cast<ProgressEvent*>(e)->percent());
            return true;
        }
        break;
    }
    return QMainWindow::event(e);
}

void TSDIAppForm::closeEvent(QCloseEvent* e) {
    // Closing by the close box asks like Exit does: unsaved work is not lost
    // without a question.
    if (!m_closeApproved && !m_fileCommands->ExitItemClick()) {
        e->ignore();
        return;
    }
    m_closeApproved = false;
    if (m_useSettings) storePlacement();
    e->accept();
}

void TSDIAppForm::restorePlacement() {
    QSettings settings;   // organisation and application name are set once in main
    const QByteArray placement = settings.value(QLatin1String(PlacementKey)).toByteArray();
    if (!placement.isEmpty()) restoreGeometry(placement);
}

void TSDIAppForm::storePlacement() {
    QSettings settings;   // organisation and application name are set once in main
    settings.setValue(QLatin1String(PlacementKey), saveGeometry());
}

void TSDIAppForm::reportOutOfMemory() {
    const QString stopped = QStringLiteral("Der Befehl wurde abgebrochen.");
    const QString reason = QStringLiteral("Nicht genug Arbeitsspeicher");
    if (m_doc->FileName.isEmpty())
        m_prompter->inform(QStringLiteral("Fehler"), reason + QStringLiteral(". ") + stopped, PromptIcon::Error);
    else
        m_prompter->fileFault(QStringLiteral("Fehler"), stopped, m_doc->FileName, reason, PromptIcon::Error);
}
