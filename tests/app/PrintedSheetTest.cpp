// The printed sheet in the program: New for another paper, the sheet options
// on the print tab with the preview, and the fit check before printing.
#include "AppTestSupport.h"

#include "app/FileCommands.h"
#include "app/PrintController.h"
#include "app/PrintPage.h"
#include "app/SheetOptionsBar.h"
#include "sheet/SheetRenderer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>

TEST(NewWithPaper, A3MakesTheLargerBoxAndSetsThePrintersPaper) {
    StartedWindow w;
    TSDIAppForm& win = *w.window;
    int asked = 0;
    win.choosePaper = [&](PaperFormat& paper) {
        ++asked;
        paper = PaperFormat::A3;
        return true;
    };
    placeFigure(w, 10, 10, 20, 20);
    w.prompter.answers = {PromptAnswer::No};   // New's save question
    win.NeuMitPapierformat1Click();
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(w.prompter.messages.size(), 1u);
    EXPECT_EQ(w.prompter.messages[0].text, FileCommands::saveQuestion());
    EXPECT_DOUBLE_EQ(w.doc().Layout.ItemWidth, 413);
    EXPECT_DOUBLE_EQ(w.doc().Layout.ItemHeight, 292);
    const QPageLayout layout = win.printController().printer().pageLayout();
    EXPECT_EQ(layout.pageSize().id(), QPageSize::A3);
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    // The A3 box fits the A3 printer.
    EXPECT_TRUE(win.printController().printPlan(100).fits());
}

TEST(NewWithPaper, CancellingTheChoiceOrTheSaveQuestionChangesNothing) {
    StartedWindow w;
    TSDIAppForm& win = *w.window;
    placeFigure(w, 10, 10, 20, 20);
    win.choosePaper = [](PaperFormat&) { return false; };
    win.NeuMitPapierformat1Click();
    EXPECT_TRUE(w.prompter.messages.empty());
    EXPECT_TRUE(w.doc().Objects.anyObjects());

    win.choosePaper = [](PaperFormat& paper) {
        paper = PaperFormat::Letter;
        return true;
    };
    w.prompter.answers = {PromptAnswer::Cancel};
    win.NeuMitPapierformat1Click();
    EXPECT_TRUE(w.doc().Objects.anyObjects());
    EXPECT_DOUBLE_EQ(w.doc().Layout.ItemWidth, 290);
    EXPECT_EQ(win.printController().printer().pageLayout().pageSize().id(), QPageSize::A4);
}

TEST(SheetOptionsBar, EditsTheOptionsAndThePreviewFollows) {
    StartedWindow w;
    TSDIAppForm& win = *w.window;
    win.PageControl1->setCurrentWidget(win.TabSheet2);
    SheetOptionsBar* bar = win.TabSheet2->SheetOptions1;
    PrintController& print = win.printController();
    EXPECT_FALSE(print.Options.regMarks);
    EXPECT_FALSE(bar->InsetEd->isEnabled());
    // A distance is to be set only while its option is on, as in the
    // export dialog.
    EXPECT_FALSE(print.Options.bleed);
    EXPECT_FALSE(bar->BleedEd->isEnabled());
    bar->MarksCheck->setChecked(true);
    bar->InsetEd->setValue(15.9);
    bar->CopiesCombo->setCurrentIndex(1);
    bar->BleedCheck->setChecked(true);
    bar->BleedEd->setValue(2.5);
    EXPECT_TRUE(print.Options.regMarks);
    EXPECT_TRUE(bar->InsetEd->isEnabled());
    EXPECT_TRUE(bar->BleedEd->isEnabled());
    EXPECT_DOUBLE_EQ(print.Options.markInsetMm, 15.9);
    EXPECT_TRUE(print.Options.fill);
    EXPECT_TRUE(print.Options.bleed);
    EXPECT_DOUBLE_EQ(print.Options.bleedMm, 2.5);
    // Spin boxes keep to their ranges.
    bar->InsetEd->setValue(25);
    EXPECT_DOUBLE_EQ(print.Options.markInsetMm, 20);
    bar->BleedEd->setValue(-1);
    EXPECT_DOUBLE_EQ(print.Options.bleedMm, 0);
    bar->BleedCheck->setChecked(false);
    EXPECT_FALSE(bar->BleedEd->isEnabled());
    bar->BleedCheck->setChecked(true);
    EXPECT_TRUE(bar->BleedEd->isEnabled());
}

TEST(SheetOptionsBar, NetLinesStartAtTwoTenthsOfAMillimetreAndTheChoiceIsKept) {
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    RecordingPrompter prompter;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        TSDIAppForm win(&prompter, true);
        QComboBox* combo = win.TabSheet2->SheetOptions1->NetLinesCombo;
        ASSERT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->itemText(0), QStringLiteral("fein"));
        EXPECT_EQ(combo->itemText(1), QStringLiteral("0,2 mm"));
        // The first start offers 0,2 mm; later ones what was chosen last.
        const bool wide = run != 1;
        EXPECT_EQ(combo->currentIndex(), wide ? 1 : 0);
        EXPECT_DOUBLE_EQ(win.printController().Options.netLineMm, wide ? 0.2 : 0.0);
        EXPECT_DOUBLE_EQ(win.printController().printPlan(100).netLineMm, wide ? 0.2 : 0.0);
        combo->setCurrentIndex(wide ? 0 : 1);
        EXPECT_DOUBLE_EQ(win.printController().Options.netLineMm, wide ? 0.0 : 0.2);
    }
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

TEST(SheetPreview, ShowsTheUsableAreaAndAsManyCopiesAsThePrint) {
    BoxDocument doc;
    doc.Layout.applyNewDocumentLayout();
    doc.updateExtentFromLayout();
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    // The PDF printer's A4 page at 600 dpi with its 10 pt margins.
    print.setMetricsOverride(PrinterMetrics{QSize(6851, 4792), 600, 600, QSize(7017, 4958), QPoint(83, 83)});
    const QImage plain = print.renderPreview(40);
    int greyPlain = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if ((plain.pixel(x, y) & 0xFFFFFF) == (UsableAreaLineColor.rgb() & 0xFFFFFF)) ++greyPlain;
    EXPECT_EQ(greyPlain, 0);

    print.Options.regMarks = true;
    print.Options.fill = true;
    const SheetPlan printed = print.printPlan(40);
    const SheetPlan shown = print.previewPlan(40);
    EXPECT_EQ(printed.columns, 2);
    EXPECT_EQ(printed.rows, 2);
    EXPECT_EQ(shown.columns, printed.columns);
    EXPECT_EQ(shown.rows, printed.rows);
    const QImage page = print.renderPreview(40);
    ASSERT_EQ(page.size(), print.previewSize());
    // The usable area's edge: a grey frame 16 mm in from the paper's edges.
    const QRect u = shown.usable;
    const QRgb grey = UsableAreaLineColor.rgb() & 0xFFFFFF;
    for (int x = u.left(); x <= u.right(); x += 7) {
        EXPECT_EQ(page.pixel(x, u.top()) & 0xFFFFFF, grey) << x;
        EXPECT_EQ(page.pixel(x, u.bottom()) & 0xFFFFFF, grey) << x;
    }
    const double mmPerPixel = 25.4 / 35;
    EXPECT_NEAR((u.left() + 83 / 17) * mmPerPixel, 16, 2 * mmPerPixel);
    // The print itself has no grey.
    QImage band(6851, 400, QImage::Format_RGB32);
    ASSERT_TRUE(renderSheetBand(band, doc, printed, 0, 96));
    for (int y = 0; y < band.height(); ++y)
        for (int x = 0; x < band.width(); ++x) ASSERT_NE(band.pixel(x, y) & 0xFFFFFF, grey);
}

TEST(FitCheck, TooLargeABoxAsksBeforePrintingAndCancelPrintsNothing) {
    QTemporaryDir dir;
    BoxDocument doc;
    applyPaperLayout(doc.Layout, PaperFormat::A3);
    doc.updateExtentFromLayout();
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    ASSERT_TRUE(print.printsToPdf()) << "the test needs the PDF printer of a machine without printers";
    const QString path = dir.filePath(QStringLiteral("gross.pdf"));
    prompter.savePaths = {path};
    prompter.answers = {PromptAnswer::No};   // "Abbrechen"
    EXPECT_FALSE(print.PrintClick(100, 96));
    ASSERT_EQ(prompter.messages.size(), 1u);
    const auto& m = prompter.messages[0];
    EXPECT_TRUE(m.question);
    EXPECT_EQ(m.icon, PromptIcon::Information);
    EXPECT_TRUE(m.text.startsWith(QStringLiteral("Die Box ist größer als der bedruckbare Bereich"))) << m.text.toStdString();
    // Both sizes in millimetres: the A3 net and the A4 printable area.
    // With a decimal comma whatever the locale, as the command line says it.
    EXPECT_TRUE(m.text.contains(QStringLiteral("290,0 × 202,9 mm"))) << m.text.toStdString();
    EXPECT_EQ(prompter.savePaths.size(), 1u);   // no file was asked for
    EXPECT_FALSE(QFile::exists(path));

    prompter.messages.clear();
    prompter.answers = {PromptAnswer::Yes};   // "Trotzdem drucken"
    EXPECT_TRUE(print.PrintClick(100, 96));
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(QFile::exists(path));

    // A box that fits prints without the question.
    print.setPaper(PaperFormat::A3);
    prompter.messages.clear();
    prompter.savePaths = {dir.filePath(QStringLiteral("passt.pdf"))};
    EXPECT_TRUE(print.PrintClick(100, 96));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST(CutFile, SavedForTheSheetAsItPrintsWithTheUsualQuestions) {
    QTemporaryDir dir;
    BoxDocument doc;
    doc.Layout.applyNewDocumentLayout();
    doc.updateExtentFromLayout();
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    print.Options.fill = true;
    print.Options.regMarks = true;
    // Cancelled file dialog: nothing written, nothing said.
    EXPECT_FALSE(print.saveCutFile(40));
    EXPECT_TRUE(prompter.messages.empty());
    // A name without extension becomes an SVG.
    prompter.savePaths = {dir.filePath(QStringLiteral("bogen"))};
    EXPECT_TRUE(print.saveCutFile(40));
    QFile svg(dir.filePath(QStringLiteral("bogen.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    EXPECT_EQ(text.count("inkscape:groupmode=\"layer\""), 3);
    // The printer's A4 sheet at 40 %: four copies, four cut paths.
    EXPECT_EQ(text.count("stroke=\"#FF00FF\""), 4);
    // An existing file is replaced only after a Yes.
    const QString dxf = dir.filePath(QStringLiteral("bogen.dxf"));
    {
        QFile f(dxf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("alt");
    }
    prompter.savePaths = {dxf};
    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(print.saveCutFile(40));
    QFile old(dxf);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("alt"));
    old.close();
    prompter.savePaths = {dxf};
    prompter.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(print.saveCutFile(40));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_TRUE(old.readAll().contains("AC1015"));
    // Another extension is refused with a message.
    prompter.messages.clear();
    prompter.savePaths = {dir.filePath(QStringLiteral("bogen.pdf"))};
    EXPECT_FALSE(print.saveCutFile(40));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Error);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bogen.pdf"))));
}
