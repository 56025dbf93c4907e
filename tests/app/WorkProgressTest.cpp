// The progress dialog of long work: nothing for quick jobs, a bar with
// "Abbrechen" for long ones, and in the program the button stops export,
// the PDF print and the cut file: no file, the old one as it was, and the
// status bar says so.
#include "AppTestSupport.h"
#include "CancelPresser.h"

#include "app/MainMenu.h"
#include "app/PrintController.h"
#include "dialogs/ExportForm.h"
#include "model/BoxDocument.h"
#include "widgets/WorkProgress.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The dialog from the first report on, for the tests' lifetime.
struct ShowAtOnce {
    int before = WorkProgress::showAfterMs();
    ShowAtOnce() { WorkProgress::setShowAfterMs(0); }
    ~ShowAtOnce() { WorkProgress::setShowAfterMs(before); }
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Enough figures that drawing them takes many questions.
void fillWithFigures(BoxDocument& doc, int n) {
    for (int i = 0; i < n; ++i) placeFigure(doc, 560 + (i % 60) * 8, 400 + (i / 60) % 40 * 8, 7, 7, 0x203040 + i);
}

}  // namespace

TEST(WorkProgress, QuickWorkShowsNothingAndAnswersGoOn) {
    WorkProgress work(nullptr, QStringLiteral("Exportieren"), QStringLiteral("Die Box wird exportiert …"));
    const ProgressCallback report = work.callback();
    for (int p = 0; p <= 100; p += 10) EXPECT_TRUE(report(p));
    EXPECT_EQ(work.dialog(), nullptr);
    EXPECT_FALSE(work.cancelled());
}

TEST(WorkProgress, ShowsTheBarAndAfterAbbrechenSaysStopForGood) {
    ShowAtOnce now;
    QWidget window;
    window.show();
    WorkProgress work(&window, QStringLiteral("Drucken"), QStringLiteral("Der Bogen wird gedruckt …"));
    const ProgressCallback report = work.callback();
    EXPECT_TRUE(report(30));
    QProgressDialog* dialog = work.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Drucken"));
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Der Bogen wird gedruckt …"));
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    EXPECT_EQ(dialog->value(), 30);
    EXPECT_TRUE(report(100));
    EXPECT_TRUE(dialog->isVisible());   // 100 % does not close it: the caller does
    QTest::mouseClick(cancelButton(dialog), Qt::LeftButton);
    EXPECT_TRUE(work.cancelled());
    EXPECT_FALSE(report(100));
    EXPECT_FALSE(report(0));
}

TEST(WorkProgressInTheProgram, AbbrechenStopsTheExportAndTheOldFileStays) {
    ShowAtOnce now;
    QTemporaryDir dir;
    StartedWindow w;
    fillWithFigures(w.doc(), 3000);
    const QString path = dir.filePath("export.pdf");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("die alte Datei");
    }
    w.prompter.savePaths.push_back(path);
    w.prompter.answers.push_back(PromptAnswer::Yes);   // replace the old file
    CancelPresser presser;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TExportForm*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        form->PdfBtn->setChecked(true);
        presser.arm();
        form->OkBtn->click();
    });
    w.window->MainMenu1->Exportieren1->trigger();
    EXPECT_TRUE(presser.pressed);
    EXPECT_EQ(presser.title, QStringLiteral("Exportieren"));
    EXPECT_LT(presser.percentWhenPressed, 100);
    EXPECT_EQ(readAll(path), QByteArray("die alte Datei"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"export.pdf"});
    EXPECT_EQ(w.window->statusBar()->currentMessage(), QStringLiteral("Exportieren abgebrochen."));
    // Only the overwrite question: no message about a failure.
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_TRUE(w.prompter.messages[0].question);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Once more without pressing: the export is written.
    w.prompter.savePaths.push_back(path);
    w.prompter.answers.push_back(PromptAnswer::Yes);
    QTimer::singleShot(0, [&] {
        if (auto* form = qobject_cast<TExportForm*>(QApplication::activeModalWidget())) form->OkBtn->click();
    });
    w.window->MainMenu1->Exportieren1->trigger();
    EXPECT_TRUE(readAll(path).startsWith("%PDF"));
}

TEST(WorkProgressInTheProgram, AbbrechenStopsThePdfPrintAndTheCutFile) {
    ShowAtOnce now;
    QTemporaryDir dir;
    StartedWindow w;
    if (!w.window->printController().printsToPdf()) GTEST_SKIP() << "a printer is installed";
    fillWithFigures(w.doc(), 3000);
    const QString sheet = dir.filePath("bogen.pdf");
    w.prompter.savePaths.push_back(sheet);
    {
        CancelPresser presser;
        presser.arm();
        w.window->MainMenu1->Drucken1->trigger();
        EXPECT_TRUE(presser.pressed);
        EXPECT_EQ(presser.title, QStringLiteral("Drucken"));
    }
    EXPECT_FALSE(QFile::exists(sheet));
    EXPECT_EQ(w.window->statusBar()->currentMessage(), QStringLiteral("Drucken abgebrochen."));
    EXPECT_TRUE(w.prompter.messages.empty());

    // The cut file of many copies, stopped at its first question.
    PrintController& print = w.window->printController();
    print.Options.fill = true;
    const QString cut = dir.filePath("schnitt.svg");
    w.prompter.savePaths.push_back(cut);
    {
        CancelPresser presser;
        presser.arm();
        // The menu item runs with the editor's box size; small boxes make many copies.
        EXPECT_FALSE(print.saveCutFile(10));
        EXPECT_TRUE(presser.pressed);
        EXPECT_EQ(presser.title, QStringLiteral("Schnittdatei speichern"));
    }
    EXPECT_FALSE(QFile::exists(cut));
    EXPECT_EQ(w.window->statusBar()->currentMessage(), QStringLiteral("Schnittdatei speichern abgebrochen."));
    EXPECT_TRUE(w.prompter.messages.empty());
}
