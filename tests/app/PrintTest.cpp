// The print tab: preview sizes, zoom steps, the resolution message and
// printing into a PDF file when there is no printer.
#include "AppTestSupport.h"

#include "app/PrintController.h"
#include "app/PrintPage.h"
#include "dialogs/PrinterSetupForm.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QPrinter>
#include <QTabWidget>
#include <QTimer>
#include <QDialogButtonBox>
#include <QComboBox>
#include <QRadioButton>
#include <QPushButton>
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>
#include <QImageReader>
#include <QPainter>
#include "sheet/SheetRenderer.h"

#include <sys/stat.h>

TEST(PrintPreview, PageAt35DpiOfA600DpiPrinter) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    print.setMetricsOverride(PrinterMetrics{QSize(6800, 4800), 600, 600});
    EXPECT_EQ(print.previewSize(), QSize(400, 282));
    const QImage page = print.renderPreview(100);
    EXPECT_EQ(page.size(), QSize(400, 282));
}

TEST(PrintPreview, ZoomStepsStopAtTheirLimits) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    std::vector<int> up;
    while (print.ZoominBtnClick()) up.push_back(print.PreviewDpi);
    EXPECT_EQ(up, (std::vector<int>{52, 78, 117, 175, 262}));
    EXPECT_FALSE(print.ZoominBtnClick());
    EXPECT_EQ(print.PreviewDpi, 262);

    print.PreviewDpi = 35;
    std::vector<int> down;
    while (print.ZoomOutBtnClick()) down.push_back(print.PreviewDpi);
    EXPECT_EQ(down, (std::vector<int>{23, 15}));
    EXPECT_EQ(print.PreviewDpi, 15);
}

TEST(PrintPreview, CoarsePrinterDoesNotDivideByZero) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    print.setMetricsOverride(PrinterMetrics{QSize(2000, 1400), 200, 200});
    print.PreviewDpi = 262;
    EXPECT_EQ(print.previewSize(), QSize(2000, 1400));
}

TEST(PrintPreview, DifferingResolutionsAreReportedAndThePreviewGoesOn) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    print.setMetricsOverride(PrinterMetrics{QSize(6800, 2400), 600, 300});
    print.checkResolution();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler"));
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Diese Meldung dürfte nie erscheinen. Das Programm kann mit diesem Drucker "
                             "wahrscheinlich nicht korrekt drucken."));
    EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Information);
    EXPECT_FALSE(print.renderPreview(100).isNull());
}

TEST(PrintPreview, PrinterStartsInLandscapeAndTheTabSizesThePage) {
    StartedWindow w;
    EXPECT_EQ(w.window->printController().printer().pageLayout().orientation(), QPageLayout::Landscape);
    w.window->PageControl1->setCurrentWidget(w.window->TabSheet2);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.window->TabSheet2->VPaint->size(), w.window->printController().previewSize());
    EXPECT_GT(w.window->TabSheet2->VPaint->width(), w.window->TabSheet2->VPaint->height());
    const int dpi = w.window->TabSheet2->VPaint->width();
    w.window->TabSheet2->ZoominBtn->click();
    EXPECT_EQ(w.window->printController().PreviewDpi, 52);
    EXPECT_GT(w.window->TabSheet2->VPaint->width(), dpi);
}

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(Printing, WithoutAPrinterTheSheetGoesIntoAPdfFile) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    if (!print.printsToPdf()) GTEST_SKIP() << "a printer is installed";
    EXPECT_FALSE(print.PrintClick(100, 96));   // file dialog cancelled: nothing printed
    const QString path = dir.filePath(QStringLiteral("bogen.pdf"));
    prompter.savePaths = {path};
    EXPECT_TRUE(print.PrintClick(100, 96));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    EXPECT_EQ(print.printer().docName(), QStringLiteral("ORB-LUX Faltarillon-Designer 1.0 Faltarillon"));
    f.close();
    // The file is a whole A4 landscape page with the job's title, as poppler reads it.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Title:           ORB-LUX Faltarillon-Designer 1.0 Faltarillon")))
        << text.toStdString();
    // The paper exactly, not Qt's whole points.
    EXPECT_TRUE(text.contains(QStringLiteral("841.89 x 595.276 pts (A4)"))) << text.toStdString();

    // An existing file is replaced only after a Yes.
    {
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("keep me");
    }
    prompter.savePaths = {path};
    prompter.answers = {PromptAnswer::No};
    EXPECT_FALSE(print.PrintClick(100, 96));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Die Datei existiert schon, soll Sie überschrieben werden?"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Vorhandene Datei Überschreiben?"));
    EXPECT_EQ(readFile(path), QByteArray("keep me"));
    prompter.savePaths = {path};
    prompter.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(print.PrintClick(100, 96));
    EXPECT_TRUE(readFile(path).startsWith("%PDF"));
}

// The PDF that stands in for the printer is written by our own writer: the
// planned sheet (copies, bleed, marks) at its place off the paper's corner,
// as poppler shows it, is the sheet's image pixel for pixel.
TEST(Printing, ThePdfFileShowsThePlannedSheetPixelForPixel) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    if (!print.printsToPdf()) GTEST_SKIP() << "a printer is installed";
    print.Options.fill = true;
    print.Options.bleed = true;
    print.Options.regMarks = true;
    const QString path = dir.filePath(QStringLiteral("plan.pdf"));
    prompter.savePaths = {path};
    ASSERT_TRUE(print.PrintClick(40, 96));
    const SheetPlan plan = print.printPlan(40);
    ASSERT_GT(plan.columns * plan.rows, 1);
    QImage paper(plan.frame.paper, QImage::Format_RGB32);
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        p.drawImage(plan.frame.printable.topLeft(), renderSheetImage(doc, plan, 96));
    }
    const QString shown = dir.filePath(QStringLiteral("shown"));
    QProcess cairo;
    cairo.start(QStringLiteral("pdftocairo"), {"-png", "-r", QString::number(plan.frame.dpiX), "-singlefile", path, shown});
    ASSERT_TRUE(cairo.waitForFinished(120000));
    ASSERT_EQ(cairo.exitCode(), 0) << cairo.readAllStandardError().toStdString();
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);   // a 600-dpi page is larger than the default allows
    const QImage got = QImage(shown + ".png").convertToFormat(QImage::Format_RGB32);
    QImageReader::setAllocationLimit(limit);
    // Whole pixels only: poppler rounds the paper up.
    const QRect whole(0, 0, std::min(got.width(), paper.width()) - 1, std::min(got.height(), paper.height()) - 1);
    ASSERT_GT(whole.width(), 1000);
    long differing = 0;
    for (int y = whole.top(); y <= whole.bottom(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(got.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(paper.constScanLine(y));
        for (int x = whole.left(); x <= whole.right(); ++x) differing += ((a[x] ^ b[x]) & 0xFFFFFFu) != 0;
    }
    EXPECT_EQ(differing, 0);
    // The net is there: the sheet is not all white.
    EXPECT_FALSE(isAllWhite(paper.copy(plan.frame.printable)));
}

// The printed PDF never replaces a FIFO, a device or a folder, and a FIFO
// cannot block the job.
TEST(Printing, PdfTargetsThatAreNoRegularFilesAreRefused) {
    QTemporaryDir dir;
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    if (!print.printsToPdf()) GTEST_SKIP() << "a printer is installed";
    const QString fifo = dir.filePath(QStringLiteral("rohr.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString device = dir.filePath(QStringLiteral("null.pdf"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    const QString folder = dir.filePath(QStringLiteral("ordner.pdf"));
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString& target : {device, folder, fifo}) {
        prompter.messages.clear();
        prompter.savePaths = {target};
        prompter.answers = {PromptAnswer::Yes};
        EXPECT_FALSE(print.PrintClick(100, 96)) << target.toStdString();
        ASSERT_EQ(prompter.messages.size(), 1u) << target.toStdString();
        EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("Fehler"));
        EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Der Druckauftrag konnte nicht gestartet werden."));
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// The setup is a dialog of its own under the setup's title with an "OK"
// button, offering paper and orientation; cancelling it changes nothing.
TEST(PrinterSetup, ShowsTheSetupDialogWithPaperAndOrientation) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    const QPageLayout before = print.printer().pageLayout();
    QString title, okText, paper;
    bool isSetupForm = false, landscape = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_TRUE(QTest::qWaitFor([&] { return (modal = QApplication::activeModalWidget()) != nullptr; }, 5000));
        auto* form = qobject_cast<PrinterSetupForm*>(modal);
        isSetupForm = form != nullptr;
        title = modal->windowTitle();
        if (auto* box = modal->findChild<QDialogButtonBox*>())
            if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) okText = ok->text();
        if (form) {
            paper = form->PaperCombo->currentText();
            landscape = form->LandscapeRadio->isChecked();
            form->PortraitRadio->click();
        }
        static_cast<QDialog*>(modal)->reject();
    });
    print.PrintSetupClick();
    EXPECT_TRUE(isSetupForm);
    EXPECT_EQ(title, QStringLiteral("Druckereinrichtung"));
    EXPECT_EQ(okText, QStringLiteral("OK"));
    EXPECT_EQ(paper, before.pageSize().name());
    EXPECT_TRUE(landscape);
    EXPECT_TRUE(print.printer().pageLayout().isEquivalentTo(before));
}

// Without a printer the PDF file takes the usual papers; paper and
// orientation chosen in the dialog reach the printer object.
TEST(PrinterSetup, PaperAndOrientationChosenInTheDialogAreTakenOver) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    ASSERT_TRUE(print.printsToPdf());
    QStringList papers;
    QTimer::singleShot(0, [&] {
        PrinterSetupForm* form = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (form = qobject_cast<PrinterSetupForm*>(QApplication::activeModalWidget())) != nullptr; }, 5000));
        for (int i = 0; i < form->PaperCombo->count(); ++i) papers << form->PaperCombo->itemText(i);
        form->PaperCombo->setCurrentIndex(form->PaperCombo->findText(QPageSize(QPageSize::Letter).name()));
        form->PortraitRadio->click();
        QTest::mouseClick(form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    print.PrintSetupClick();
    for (QPageSize::PageSizeId id : {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::Letter, QPageSize::Legal})
        EXPECT_TRUE(papers.contains(QPageSize(id).name())) << QPageSize(id).name().toStdString();
    EXPECT_TRUE(print.printsToPdf());
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(print.printer().pageLayout().orientation(), QPageLayout::Portrait);
    // The preview follows: a portrait page is higher than wide.
    const QSize page = print.previewSize();
    EXPECT_GT(page.height(), page.width());
}

// Only printer, paper and orientation come from the dialog: one copy of
// all pages, as every print is.
TEST(PrinterSetup, TakesPrinterPaperAndOrientationButNoJobOptions) {
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    print.setSetupDialog([](QPrinter& choice) {
        choice.setOutputFormat(QPrinter::PdfFormat);
        choice.setPageSize(QPageSize(QPageSize::A5));
        choice.setPageOrientation(QPageLayout::Portrait);
        choice.setCopyCount(3);
        choice.setPrintRange(QPrinter::PageRange);
        choice.setFromTo(2, 3);
        return true;
    });
    print.PrintSetupClick();
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(print.printer().pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(print.printer().copyCount(), 1);
    EXPECT_EQ(print.printer().printRange(), QPrinter::AllPages);
    EXPECT_EQ(print.printer().fromPage(), 0);

    // Cancelled: nothing taken.
    print.setSetupDialog([](QPrinter& choice) {
        choice.setPageOrientation(QPageLayout::Landscape);
        return false;
    });
    print.PrintSetupClick();
    EXPECT_EQ(print.printer().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST(PrintPage, AssemblyTextLineByLine) {
    // All sixteen lines, trailing spaces included.
    const QStringList expected = {
        QStringLiteral("Bastelanleitung"),
        QString(),
        QStringLiteral("1. Scheiden Sie entlang der äußeren "),
        QStringLiteral("gepunkteten Linie die Box aus"),
        QStringLiteral("2. Falten Sie entlang aller "),
        QStringLiteral("gepunkteten Linien"),
        QStringLiteral("3. Tragen Sie Klebstoff auf die 4 "),
        QStringLiteral("kleinen Laschen auf und kleben Sie "),
        QStringLiteral("die Box zusammen"),
        QStringLiteral("4. Deckel: die zwei Trapezförmigen "),
        QStringLiteral("Teile werden nach innen gefaltet"),
        QStringLiteral("5. Dann werden die 2 verbleibenden "),
        QStringLiteral("Laschen mit den Schlitzen ineinander "),
        QStringLiteral("schieben"),
        QString(),
        QStringLiteral("Fertig!"),
    };
    EXPECT_EQ(PrintPage::assemblyText().split(QLatin1Char('\n')), expected);
    // A cuboid names its measures after the first line; the rest stays.
    QStringList cuboid = expected;
    cuboid.insert(1, QStringLiteral("64,0 × 21,0 × 89,0 mm"));
    cuboid.insert(1, QStringLiteral("Maße (L × B × H):"));
    EXPECT_EQ(PrintPage::assemblyText(BoxForm::cuboid(64, 21, 89)).split(QLatin1Char('\n')), cuboid);
}

TEST(PrintPage, AssemblyTextOfATuckEndBoxTellsItsStyleAndTucks) {
    for (BoxStyle style : {BoxStyle::SteckGegenlaeufig, BoxStyle::SteckGleichlaeufig, BoxStyle::Schnappboden,
                           BoxStyle::Automatikboden}) {
        const QStringList lines =
            PrintPage::assemblyText(BoxForm::ofStyle(style, 66, 22, 91, 0.3)).split(QLatin1Char('\n'));
        EXPECT_EQ(lines.mid(0, 5), (QStringList{QStringLiteral("Bastelanleitung"), boxform::styleName(style),
                                                QStringLiteral("Maße (L × B × H):"),
                                                QStringLiteral("66,0 × 22,0 × 91,0 mm"),
                                                QStringLiteral("innen, Karton 0,30 mm")}));
        EXPECT_FALSE(lines.join(QLatin1Char(' ')).contains(QStringLiteral("Hülse")));
        EXPECT_TRUE(lines.join(QLatin1Char(' ')).contains(QStringLiteral("Einstecklasche einstecken")));
        EXPECT_EQ(lines.last(), QStringLiteral("Fertig!"));
        // A bottom of flaps has no tuck of its own: the snap-lock's tongue
        // goes into the notch, the automatic one's glue areas are glued flat.
        const QString all = lines.join(QLatin1Char(' '));
        EXPECT_EQ(all.contains(QStringLiteral("Boden schließen")), style == BoxStyle::SteckGegenlaeufig ||
                                                                      style == BoxStyle::SteckGleichlaeufig);
        EXPECT_EQ(all.contains(QStringLiteral("Zunge")), style == BoxStyle::Schnappboden);
        EXPECT_EQ(all.contains(QStringLiteral("Klebeflächen")), style == BoxStyle::Automatikboden);
    }
}

TEST(PrintPage, AssemblyTextFollowsTheDocumentsForm) {
    StartedWindow w;
    w.window->PageControl1->setCurrentWidget(w.window->TabSheet2);
    QTextEdit* edit = w.window->TabSheet2->RichEdit1;
    w.window->document().Form = BoxForm::cuboid(70, 45, 110);
    w.window->TabSheet2->VPaintPaint();
    EXPECT_EQ(edit->toPlainText(), PrintPage::assemblyText(BoxForm::cuboid(70, 45, 110)));
    w.window->document().Form = BoxForm::cube();
    w.window->TabSheet2->VPaintPaint();
    EXPECT_EQ(edit->toPlainText(), PrintPage::assemblyText());
}

TEST(PrintPage, AssemblyTextShowsItsOwnLinesUnbrokenAndUncut) {
    StartedWindow w;
    w.window->PageControl1->setCurrentWidget(w.window->TabSheet2);
    QTextEdit* edit = w.window->TabSheet2->RichEdit1;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
    EXPECT_EQ(edit->width(), 252);
    EXPECT_EQ(edit->font().pixelSize(), 15);
    EXPECT_EQ(edit->toPlainText(), PrintPage::assemblyText());
    QTextDocument* doc = edit->document();
    doc->documentLayout();   // lays the text out
    int blocks = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next(), ++blocks) {
        ASSERT_NE(b.layout(), nullptr);
        EXPECT_EQ(b.layout()->lineCount(), 1) << b.text().toStdString();
        if (b.layout()->lineCount() < 1) continue;
        // every visible character lies inside the edit
        const QString shown = b.text().trimmed();
        const int right = int(doc->documentMargin()) + QFontMetrics(edit->font()).horizontalAdvance(shown);
        EXPECT_LE(right, edit->viewport()->width()) << b.text().toStdString();
    }
    EXPECT_EQ(blocks, 16);
}
