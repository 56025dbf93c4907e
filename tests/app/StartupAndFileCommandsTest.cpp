// Start-up, New and the file commands of the main window, with scripted
// answers.
#include "AppTestSupport.h"

#include "app/EditorCanvas.h"
#include "app/EditorPage.h"
#include "app/EditorScrollBox.h"
#include "app/RulerWidget.h"
#include "edit/EditorToolBar.h"
#include "edit/PropertyPanel.h"
#include "app/FileCommands.h"
#include "edit/BoxFormCommand.h"
#include "edit/DocumentHistory.h"
#include "edit/ObjectCommands.h"
#include "app/GuardedApplication.h"
#include "app/InfoPanel.h"
#include "app/MainMenu.h"
#include "app/PrintController.h"
#include "app/ProgressEvent.h"
#include "app/ScanCommands.h"
#include "dialogs/AboutBoxUnit.h"
#include "dialogs/JpegQFUnit.h"
#include "model/BoxFile.h"
#include "model/BoxFileWriter.h"
#include "model/BoxSize.h"
#include "render/EditorView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QSignalSpy>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString SaveQuestion = QStringLiteral("Wollen Sie vorher speichern?");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(Startup, WindowBeforeTheStartupNewShowsTheStartLayout) {
    StartedWindow w(false);
    EXPECT_EQ(w.window->windowTitle(), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - NONAME01"));
    EXPECT_EQ(w.window->size(), QSize(740, 559));
    EXPECT_TRUE(w.window->InfoPanel1->caption().startsWith(QStringLiteral("2 x 5 Faltarillonen á ")));
    EXPECT_FALSE(w.window->startupDone());
    EXPECT_EQ(w.window->printController().PreviewDpi, 35);
    EXPECT_TRUE(w.doc().ProgramFolder.endsWith(QLatin1Char('/')));

    // The dialogs exist from the start, hidden; the scan's save dialog opens
    // in the home folder for an unnamed design, like the box file dialogs:
    // an installed program's folder is not the user's.
    ASSERT_NE(w.window->jpegForm(), nullptr);
    EXPECT_FALSE(w.window->jpegForm()->isVisible());
    ASSERT_NE(w.window->aboutBox(), nullptr);
    EXPECT_FALSE(w.window->aboutBox()->isVisible());
    const QList<QDialog*> dialogs = w.window->findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_LT(dialogs.indexOf(w.window->jpegForm()), dialogs.indexOf(w.window->aboutBox()));
    EXPECT_EQ(w.window->scanCommands()->saveFolder(), QDir::homePath());
}

TEST(Startup, TimerRunsNewWithoutAQuestion) {
    StartedWindow w;
    EXPECT_TRUE(w.prompter.messages.empty());
    EXPECT_EQ(w.window->windowTitle(), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - NONAME01"));
    EXPECT_EQ(w.window->InfoPanel1->caption(), sheetLayoutLine(w.doc().Layout));
    EXPECT_TRUE(w.window->InfoPanel1->caption().startsWith(QStringLiteral("1 x 1 Faltarillonen á ")));
    EXPECT_EQ(w.doc().ExtentWidth, 685040);
    EXPECT_EQ(w.doc().ExtentHeight, 484252);
    EXPECT_EQ(w.window->PaintBox1->size(), QSize(1646, 1164));
    EXPECT_EQ(w.window->PaintBox1->scrollPosition(), QPoint(1646 / 3, 1164 / 3));
    EXPECT_EQ(w.window->TabSheet3->GrossEd->text(), cubeEdgeText(100, 205.0));
    EXPECT_FALSE(w.doc().Objects.anyObjects());
}

TEST(SaveQuestion, AskedExactlyWhenTheDocumentDiffersFromWhatWasOpenedOrSaved) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gespeichert.box"));
    const QString sample = QStringLiteral(FALTARILLON_TEST_DATA "/../../samples/Spielwürfel.box");
    {
        StartedWindow source;
        placeFigure(source.doc(), 700, 500, 50, 50);
        source.prompter.savePaths = {path};
        ASSERT_TRUE(source.window->fileCommands().SaveItemClick());
    }
    struct Command {
        const char* name;
        QString caption;
        std::function<void(StartedWindow&)> run;
    };
    const QString newCaption = QStringLiteral("Neue Faltarillon"), openCaption = QStringLiteral("Faltarillon öffnen"),
                  exitCaption = QStringLiteral("Programm beenden");
    const std::vector<Command> commands = {
        {"Neu", newCaption, [](StartedWindow& w) { w.window->Neu1Click(); }},
        {"Neu mit Papierformat", newCaption,
         [](StartedWindow& w) {
             w.window->choosePaper = [](PaperFormat& paper) { return paper = PaperFormat::A3, true; };
             w.window->NeuMitPapierformat1Click();
         }},
        {"Öffnen", openCaption,
         [&](StartedWindow& w) {
             w.prompter.openPaths = {path};
             w.window->fileCommands().OpenItemClick();
         }},
        {"Beispiel", openCaption, [&](StartedWindow& w) { w.window->fileCommands().openSample(sample); }},
        {"Zuletzt geöffnet", openCaption, [&](StartedWindow& w) { w.window->openRecent(path); }},
        {"Beenden", exitCaption, [](StartedWindow& w) { w.window->ExitItemClick(); }},
        {"Schließfeld", exitCaption, [](StartedWindow& w) { w.window->close(); }},
    };
    int saved = 0;
    for (const Command& c : commands) {
        SCOPED_TRACE(c.name);
        {
            // Opened, a figure placed and taken back, zoomed, scrolled and
            // another box size: nothing to save, no question.
            StartedWindow w;
            ASSERT_TRUE(w.window->fileCommands().openFile(path));
            placeFigure(w, 600, 450, 30, 30);
            w.window->objectCommands().history().undo();
            w.window->TabSheet3->ProzED->setValue(60);
            w.window->PaintBox1->setScrollPosition(QPoint(10, 10));
            w.prompter.messages.clear();
            w.prompter.answers = {PromptAnswer::Cancel};
            c.run(w);
            EXPECT_TRUE(w.prompter.messages.empty());
        }
        {
            // A new box form without any objects is a change: asked, and
            // Cancel keeps it.
            StartedWindow w;
            ASSERT_TRUE(changeBoxForm(w.window->objectCommands().history(), w.doc(),
                                      BoxForm::cuboid(80, 50, 40), 100));
            w.prompter.answers = {PromptAnswer::Cancel};
            c.run(w);
            ASSERT_EQ(w.prompter.messages.size(), 1u);
            EXPECT_EQ(w.prompter.messages[0].caption, c.caption);
            EXPECT_EQ(w.prompter.messages[0].text, SaveQuestion);
            EXPECT_EQ(w.prompter.messages[0].icon, PromptIcon::Question);
            EXPECT_TRUE(w.prompter.messages[0].question);
            EXPECT_EQ(w.doc().Form.kind, FormKind::Quader);
            EXPECT_TRUE(w.window->isVisible());
            // Saved: the same command goes on without a question.
            w.prompter.savePaths = {dir.filePath(QStringLiteral("quader%1.box").arg(++saved))};
            ASSERT_TRUE(w.window->fileCommands().SaveItemClick());
            w.prompter.messages.clear();
            c.run(w);
            EXPECT_TRUE(w.prompter.messages.empty());
        }
    }
}

TEST(NewCommand, NoClearsAndYesOnAnUnnamedDocumentSavesFirst) {
    QTemporaryDir dir;
    StartedWindow w;
    placeFigure(w, 700, 500, 50, 50);

    // Yes, then the save-as dialog is cancelled: New is cancelled too.
    w.prompter.answers = {PromptAnswer::Yes};
    w.window->Neu1Click();
    EXPECT_TRUE(w.doc().Objects.anyObjects());

    // Yes and a file name: saved, then the new document.
    const QString path = dir.filePath(QStringLiteral("vorher.box"));
    w.prompter.answers = {PromptAnswer::Yes};
    w.prompter.savePaths = {path};
    w.window->Neu1Click();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(w.doc().Objects.anyObjects());
    EXPECT_TRUE(w.doc().FileName.isEmpty());
    EXPECT_EQ(w.window->windowTitle(), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - NONAME01"));

    // No: straight to the new document, keeping the box size.
    w.window->TabSheet3->ProzED->setValue(50);
    placeFigure(w, 700, 500, 50, 50);
    w.prompter.answers = {PromptAnswer::No};
    w.window->Neu1Click();
    EXPECT_FALSE(w.doc().Objects.anyObjects());
    EXPECT_EQ(w.window->TabSheet3->ProzED->value(), 50);
    EXPECT_EQ(w.window->TabSheet3->GrossEd->text(), cubeEdgeText(50, 205.0));
}

TEST(SaveCommands, SaveAsWritesSetsTheCaptionAndSaveReusesTheName) {
    QTemporaryDir dir;
    StartedWindow w;
    placeFigure(w.doc(), 700, 500, 50, 50);
    const QString typed = dir.filePath(QStringLiteral("Meine Box"));   // no extension typed
    w.prompter.savePaths = {typed};
    EXPECT_TRUE(w.window->fileCommands().SaveItemClick());
    const QString path = typed + QStringLiteral(".box");
    EXPECT_EQ(w.doc().FileName, path);
    EXPECT_EQ(w.window->windowTitle(), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - Meine Box.box"));
    EXPECT_TRUE(readAll(path).startsWith("ORB-LUX Faltarillon-Designer 1.0"));

    // Save again: no dialog, same file.
    placeFigure(w.doc(), 600, 450, 30, 30);
    const qint64 before = readAll(path).size();
    EXPECT_TRUE(w.window->fileCommands().SaveItemClick());
    EXPECT_GT(readAll(path).size(), before);
    EXPECT_TRUE(w.prompter.messages.empty());
}

TEST(FileDialogs, StartWhereTheirKindOfFileWentLastElseBesideTheBoxElseHome) {
    QTemporaryDir dir;
    const QString boxes = dir.filePath(QStringLiteral("Boxen")), plotter = dir.filePath(QStringLiteral("Plotter"));
    ASSERT_TRUE(QDir().mkpath(boxes) && QDir().mkpath(plotter));
    StartedWindow w;
    placeFigure(w.doc(), 700, 500, 50, 50);
    w.window->fileCommands().OpenItemClick();   // cancelled
    w.prompter.savePaths = {boxes + QStringLiteral("/a.box")};
    ASSERT_TRUE(w.window->fileCommands().Speichernunter1Click());
    w.window->fileCommands().OpenItemClick();
    // The cut file beside the box at first, then where the last one went.
    w.prompter.savePaths = {plotter + QStringLiteral("/schnitt.svg")};
    ASSERT_TRUE(w.window->printController().saveCutFile(100));
    w.window->printController().saveCutFile(100);
    // Another kind of file knows nothing of it.
    w.window->fileCommands().Speichernunter1Click();
    EXPECT_EQ(w.prompter.folders, (std::vector<QString>{QDir::homePath(), QDir::homePath(), boxes, boxes, plotter, boxes}));
    EXPECT_EQ(w.window->scanCommands()->saveFolder(), boxes);
    EXPECT_TRUE(QFileInfo::exists(plotter + QStringLiteral("/schnitt.svg")));
}

TEST(SaveCommands, OverwriteOnlyAfterYes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("da.box"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    StartedWindow w;
    w.prompter.savePaths = {path};
    w.prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(w.window->fileCommands().Speichernunter1Click());
    EXPECT_EQ(readAll(path), QByteArray("keep me"));
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Vorhandene Datei Überschreiben?"));
    EXPECT_EQ(w.prompter.messages[0].text, QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"));
    EXPECT_TRUE(w.doc().FileName.isEmpty());

    w.prompter.savePaths = {path};
    w.prompter.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(w.window->fileCommands().Speichernunter1Click());
    EXPECT_EQ(readAll(path).size(), 178);   // the empty document after New
    EXPECT_EQ(w.doc().FileName, path);
}

TEST(OpenCommand, CancelStopsBeforeTheFileAndNoOpens) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zwei.box"));
    {
        StartedWindow source;
        placeFigure(source.doc(), 700, 500, 50, 50);
        placeFigure(source.doc(), 600, 420, 20, 20);
        source.prompter.savePaths = {path};
        ASSERT_TRUE(source.window->fileCommands().SaveItemClick());
    }

    StartedWindow w;
    w.prompter.openPaths = {path};
    w.window->fileCommands().OpenItemClick();
    EXPECT_TRUE(w.prompter.messages.empty());
    EXPECT_EQ(w.doc().FileName, path);
    EXPECT_EQ(w.window->windowTitle(), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 - zwei.box"));
    EXPECT_FALSE(w.doc().Objects[1].isFree());
    EXPECT_FALSE(w.doc().Objects[2].isFree());
    // Nothing was turned: the bar still stands where it stood.
    EXPECT_EQ(w.window->InfoPanel1->ProgressBar1->value(), 0);

    // Changed: Cancel stops before the file is touched.
    const int third = placeFigure(w, 650, 470, 10, 10);
    w.prompter.openPaths = {path};
    w.prompter.answers = {PromptAnswer::Cancel};
    w.window->fileCommands().OpenItemClick();
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Faltarillon öffnen"));
    EXPECT_EQ(w.prompter.messages[0].text, SaveQuestion);
    EXPECT_FALSE(w.doc().Objects[third].isFree());

    // No: opened.
    w.prompter.openPaths = {path};
    w.prompter.answers = {PromptAnswer::No};
    w.window->fileCommands().OpenItemClick();
    EXPECT_FALSE(w.doc().Objects[2].isFree());
    EXPECT_TRUE(w.doc().Objects[third].isFree());
    EXPECT_EQ(w.window->InfoPanel1->ProgressBar1->value(), 0);
}

TEST(OpenCommand, DamagedFileLeavesTheDocumentAndCaption) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("gut.box"));
    const QString bad = dir.filePath(QStringLiteral("kaputt.box"));
    StartedWindow w;
    placeFigure(w.doc(), 700, 500, 50, 50);
    w.prompter.savePaths = {good};
    ASSERT_TRUE(w.window->fileCommands().SaveItemClick());
    QByteArray bytes = readAll(good);
    bytes.chop(20);   // the object record and the end marker cut short
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const QString caption = w.window->windowTitle();
    const Tobs before = w.doc().Objects[1];

    w.prompter.openPaths = {bad};
    w.prompter.answers = {PromptAnswer::No};
    w.window->fileCommands().OpenItemClick();
    EXPECT_EQ(w.window->windowTitle(), caption);
    EXPECT_EQ(w.doc().FileName, good);
    EXPECT_EQ(w.doc().Objects[1].Left, before.Left);
    EXPECT_EQ(w.doc().Objects[1].Kind, Figure);
    ASSERT_EQ(w.prompter.messages.size(), 1u);   // saved: no question, only the error
    EXPECT_FALSE(w.prompter.messages[0].question);

    // Not a box file at all.
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300, 'x'));
    }
    w.prompter.messages.clear();
    w.prompter.openPaths = {bad};
    w.prompter.answers = {PromptAnswer::No};
    w.window->fileCommands().OpenItemClick();
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Dateikennung falsch"));
    EXPECT_EQ(w.doc().Objects[1].Kind, Figure);
}

TEST(ExitCommand, AsksAndCancelStays) {
    StartedWindow w;
    placeFigure(w, 700, 500, 50, 50);
    w.prompter.answers = {PromptAnswer::Cancel};
    w.window->ExitItemClick();
    EXPECT_TRUE(w.window->isVisible());
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Programm beenden"));

    // Yes with an unnamed document and the save-as dialog cancelled: stays.
    w.prompter.answers = {PromptAnswer::Yes};
    w.window->ExitItemClick();
    EXPECT_TRUE(w.window->isVisible());

    w.prompter.answers = {PromptAnswer::No};
    w.window->ExitItemClick();
    EXPECT_FALSE(w.window->isVisible());
}

TEST(ExitCommand, CloseBoxAsksTheExitQuestionToo) {
    StartedWindow w;
    placeFigure(w, 700, 500, 50, 50);
    w.prompter.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(w.window->close());
    EXPECT_TRUE(w.window->isVisible());
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].caption, QStringLiteral("Programm beenden"));
    EXPECT_EQ(w.prompter.messages[0].text, SaveQuestion);

    w.prompter.answers = {PromptAnswer::No};
    EXPECT_TRUE(w.window->close());
    EXPECT_EQ(w.prompter.messages.size(), 2u);
}

TEST(ProgressBar, FollowsProgressReportsWithinItsRange) {
    StartedWindow w;
    ProgressEvent report(42);
    QCoreApplication::sendEvent(w.window.get(), &report);
    EXPECT_EQ(w.window->InfoPanel1->ProgressBar1->value(), 42);
    ProgressEvent tooMuch(250);
    QCoreApplication::sendEvent(w.window.get(), &tooMuch);
    EXPECT_EQ(w.window->InfoPanel1->ProgressBar1->value(), 100);
}

TEST(WindowPlacement, StoredOnCloseAndRestoredAtTheNextStart) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    RecordingPrompter prompter;
    {
        TSDIAppForm first(&prompter, true);
        first.show();
        first.setGeometry(QRect(30, 40, 900, 620));
        prompter.answers = {PromptAnswer::No};
        EXPECT_TRUE(first.close());
    }
    {
        TSDIAppForm second(&prompter, true);
        EXPECT_EQ(second.size(), QSize(900, 620));
    }
    // Later tests in this process find the settings where they were.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

TEST(ProgressBar, EditingCommandsReportThroughTheCanvas) {
    StartedWindow w;
    w.window->PaintBox1->reportProgress(37);
    EXPECT_EQ(w.window->InfoPanel1->ProgressBar1->value(), 37);
}

TEST(MainWindowLayout, AreasBarsAndFieldsWhereTheyBelong) {
    StartedWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    TSDIAppForm& win = *w.window;
    EditorPage& page = *win.TabSheet3;

    // bottom: the status bar, the info panel right above it
    QStatusBar* status = win.statusBar();
    EXPECT_EQ(status->objectName(), QStringLiteral("StatusBar"));
    EXPECT_EQ(status->height(), 19);
    EXPECT_EQ(win.InfoPanel1->height(), 22);
    const QPoint infoBottom = win.InfoPanel1->mapTo(&win, QPoint(0, win.InfoPanel1->height()));
    EXPECT_EQ(infoBottom.y(), status->geometry().top());
    QProgressBar* bar = win.InfoPanel1->ProgressBar1;
    EXPECT_EQ(bar->size(), QSize(150, 16));
    EXPECT_LT(bar->x(), 8);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);

    // the two tabs
    ASSERT_EQ(win.PageControl1->count(), 3);
    EXPECT_EQ(win.PageControl1->tabText(0), QStringLiteral("Editor"));
    EXPECT_EQ(win.PageControl1->tabText(1), QStringLiteral("Drucken"));
    EXPECT_EQ(win.PageControl1->tabText(2), QStringLiteral("3D-Ansicht"));
    EXPECT_EQ(win.PageControl1->tabToolTip(2), QStringLiteral("Zeigt die gefaltete Box"));

    // the upper button bar with the box size
    EXPECT_EQ(page.SpeedBar2->height(), 56);
    const struct { QToolButton* b; int x; const char* caption; const char* hint; } buttons[] = {
        {page.NewBtn, 8, "Neu...", "Neue Datei erstellen"},
        {page.SpeedItem4, 88, "Öffnen...", "Öffnet eine Box"},
        {page.SpeedItem5, 168, "Speichern", "Speichert die Box"},
        {page.SpeedItem6, 264, "Hintergrund", "Hintergrund auswählen"}};
    for (const auto& b : buttons) {
        EXPECT_EQ(b.b->x(), b.x) << b.caption;
        EXPECT_EQ(b.b->size(), QSize(80, 50)) << b.caption;
        EXPECT_EQ(b.b->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(b.b->statusTip(), QString::fromUtf8(b.hint));
        EXPECT_FALSE(b.b->icon().isNull()) << b.caption;
    }
    EXPECT_EQ(page.ProzED->pos(), QPoint(456, 8));
    EXPECT_EQ(page.ProzED->width(), 73);
    EXPECT_EQ(page.GrossEd->pos(), QPoint(456, 32));
    EXPECT_EQ(page.GrossEd->width(), 73);
    EXPECT_TRUE(page.GrossEd->isReadOnly());
    const struct { const char* name; QPoint pos; const char* text; } labels[] = {
        {"BoxSizeLabel", {360, 8}, "Größe der Box:"},
        {"PercentLabel", {536, 8}, "%"},
        {"CubeSizeLabel", {360, 32}, "Größe des Würfels:"}};
    for (const auto& l : labels) {
        auto* label = page.SpeedBar2->findChild<QLabel*>(QLatin1String(l.name));
        ASSERT_NE(label, nullptr) << l.name;
        // The cube size caption starts further left where its text would
        // otherwise touch its field.
        if (QLatin1String(l.name) == QLatin1String("CubeSizeLabel")) {
            EXPECT_EQ(label->y(), l.pos.y());
            EXPECT_LE(label->x(), l.pos.x());
        } else {
            EXPECT_EQ(label->pos(), l.pos) << l.name;
        }
        EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
    }

    // tool bar left, property panel right, rulers around the scroll box
    EXPECT_EQ(win.Toolbar->width(), 57);
    EXPECT_EQ(win.Panel10->width(), 145);
    EXPECT_LT(win.Toolbar->mapTo(&page, QPoint()).x(), page.GolbalPanel->x());
    EXPECT_GE(win.Panel10->mapTo(&page, QPoint()).x(), page.GolbalPanel->x() + page.GolbalPanel->width());
    EXPECT_EQ(page.TRuler->height(), 20);
    EXPECT_EQ(page.TRuler->width(), page.GolbalPanel->width());
    EXPECT_EQ(page.TRuler->pos(), QPoint(0, 0));
    EXPECT_EQ(page.LRuler->width(), 20);
    EXPECT_EQ(page.LRuler->pos(), QPoint(0, 20));
    EXPECT_EQ(page.ScrollBox1->pos(), QPoint(20, 20));
    EXPECT_EQ(page.ScrollBox1->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(page.ScrollBox1->widget(), win.PaintBox1);
}

TEST(MainWindowLayout, MenuHintsReachTheStatusBar) {
    StartedWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->MainMenu1->Bildeinscanne1->showStatusText(w.window.get());
    EXPECT_EQ(w.window->statusBar()->currentMessage(), QStringLiteral("Läßt sie ein Bild einscannen und speichern"));
}

namespace {
// A field that claims every key combination for itself, as line edits do
// with Ctrl+U and Ctrl+E under the X11 key bindings.
class GreedyField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    int overrides = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ShortcutOverride) {
            ++overrides;
            e->accept();
            return true;
        }
        return QLineEdit::event(e);
    }
};
}  // namespace

TEST(MainWindowLayout, MenuShortcutsWorkWhileATextFieldHasTheFocus) {
    StartedWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
    int setups = 0;
    w.window->printController().setSetupDialog([&](QPrinter&) { ++setups; return false; });
    MainMenu& menu = *w.window->MainMenu1;
    // Line edits claim some of these keys for themselves (Ctrl+U, Ctrl+E):
    // the menu's shortcuts go first, as in every other field of the window.
    auto* greedy = new GreedyField(w.window->TabSheet3->SpeedBar2);
    greedy->setGeometry(600, 8, 40, 20);
    greedy->show();
    QWidget* fields[] = {w.window->findChild<QWidget*>(QStringLiteral("KeyEdit")), w.window->TabSheet3->ProzED, greedy};
    for (QWidget* field : fields) {
        ASSERT_NE(field, nullptr);
        field->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus() || field->isAncestorOf(QApplication::focusWidget()); }));
        QWidget* target = QApplication::focusWidget();
        const struct { QAction* action; int key; } cases[] = {
            {menu.SaveAs, Qt::Key_U}, {menu.Druckereinrichten1, Qt::Key_E},
            {menu.OpenItem, Qt::Key_O}, {menu.SaveItem, Qt::Key_S}};
        for (const auto& c : cases) {
            QSignalSpy spy(c.action, &QAction::triggered);
            QTest::keyClick(target, Qt::Key(c.key), Qt::ControlModifier);
            EXPECT_EQ(spy.count(), 1) << c.action->text().toStdString() << " in " << field->objectName().toStdString();
        }
    }
    EXPECT_EQ(setups, 3);
    // keys that are no menu shortcut still reach the field first
    greedy->setFocus();
    const int before = greedy->overrides;
    QTest::keyClick(greedy, Qt::Key_A, Qt::ControlModifier);
    EXPECT_GT(greedy->overrides, before);
}

TEST(OpenCommand, KeepsScrollBoxSizeAndCubeDisplayButShowsTheFilesLayout) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("flach.box"));
    {
        StartedWindow source;
        source.doc().Layout.ItemHeight = 150;   // another sheet layout than New's
        source.doc().Layout.MarginX = 7;
        source.prompter.savePaths = {path};
        ASSERT_TRUE(source.window->fileCommands().SaveItemClick());
    }

    StartedWindow w;
    EditorPage& page = *w.window->TabSheet3;
    page.ProzED->setValue(50);
    const QString cube = page.GrossEd->text();
    EXPECT_EQ(cube, cubeEdgeText(50, 205.0));
    w.window->PaintBox1->setScrollPosition(QPoint(300, 200));
    const QPoint scroll = w.window->PaintBox1->scrollPosition();

    w.prompter.openPaths = {path};
    w.window->fileCommands().OpenItemClick();
    ASSERT_EQ(w.doc().FileName, path);
    EXPECT_EQ(w.doc().Layout.ItemHeight, 150.0);
    EXPECT_EQ(w.window->InfoPanel1->caption(), sheetLayoutLine(w.doc().Layout));
    EXPECT_EQ(page.ProzED->value(), 50);
    EXPECT_EQ(page.GrossEd->text(), cube);   // refreshed only by the box size or New
    EXPECT_EQ(w.window->PaintBox1->scrollPosition(), scroll);
    EXPECT_EQ(w.window->PaintBox1->size(), editingAreaSize(w.doc()));

    // New brings the cube display back to the document's layout.
    w.prompter.answers = {PromptAnswer::No};
    w.window->Neu1Click();
    EXPECT_EQ(page.GrossEd->text(), cubeEdgeText(50, 205.0));
    EXPECT_EQ(w.window->PaintBox1->scrollPosition(),
              QPoint(w.window->PaintBox1->width() / 3, w.window->PaintBox1->height() / 3));
}

namespace {
// Runs out of memory on whatever it is sent.
class Hungry : public QObject {
public:
    bool event(QEvent*) override { throw std::bad_alloc(); }
};
}  // namespace

// An event whose handling runs out of memory ends that command with a
// message naming the design's file; the window and the design stay as they
// were, and the next event is delivered.
TEST(OutOfMemory, EndsTheCommandWithAMessageAndKeepsTheDesign) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("muster.box"));
    StartedWindow w;
    placeFigure(w.doc(), 100, 100, 40, 30);
    ASSERT_TRUE(Saveit(w.doc(), path, w.prompter));
    w.prompter.answers.push_back(PromptAnswer::No);   // not saved again before the open
    ASSERT_TRUE(w.window->fileCommands().openFile(path));
    const QByteArray before = serializeBoxDocument(w.doc());
    w.prompter.messages.clear();

    Hungry hungry;
    QEvent ping(QEvent::User);
    EXPECT_FALSE(deliverGuarded([&] { return QCoreApplication::sendEvent(&hungry, &ping); }, w.window.get()));
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].text, QStringLiteral("Der Befehl wurde abgebrochen."));
    EXPECT_EQ(w.prompter.messages[0].path, path);
    EXPECT_EQ(w.prompter.messages[0].reason, QStringLiteral("Nicht genug Arbeitsspeicher"));
    EXPECT_EQ(serializeBoxDocument(w.doc()), before);
    EXPECT_TRUE(w.window->isVisible());

    EXPECT_TRUE(deliverGuarded([] { return true; }, w.window.get()));
    EXPECT_EQ(w.prompter.messages.size(), 1u);
}
