// Printing through a real print server: the printer chosen in the setup
// gets the job, and the job, rendered by an independent PDF renderer at its
// own resolution, shows the net where the geometry puts it.
#include "PrivateCupsServer.h"

#include "app/PrintController.h"
#include "dialogs/PrinterSetupForm.h"
#include "render/Mapping.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QImageReader>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <cmath>
#include <vector>

namespace {

constexpr long double MmPerInch = 25.39995L;

int trunc(long double v) { return static_cast<int>(std::trunc(v)); }

// Ink within +-1 pixel across a line and one dash period (6 pixels at
// printer resolutions) along it.
bool inkAlong(const QImage& img, QPoint p, bool horizontal) {
    for (int along = -4; along <= 4; ++along)
        for (int across = -1; across <= 1; ++across) {
            const QPoint q = p + (horizontal ? QPoint(along, across) : QPoint(across, along));
            if (img.rect().contains(q) && qGray(img.pixel(q)) < 128) return true;
        }
    return false;
}

// The page of a PDF as pdfinfo reads it: A4 landscape.
::testing::AssertionResult isA4Landscape(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(30000) || info.exitCode() != 0) return ::testing::AssertionFailure() << "pdfinfo failed";
    const QString pageInfo = QString::fromLocal8Bit(info.readAllStandardOutput());
    if (pageInfo.contains(QRegularExpression(QStringLiteral("Page size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)? pts"))))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << pageInfo.toStdString();
}

}  // namespace

TEST(CupsPrinting, TheChosenSecondPrinterGetsTheSheetWithTheNetInPlace) {
    for (const char* tool : {"pdftoppm", "pdfinfo"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) << tool << " missing";
    PrivateCupsServer cups;
    ASSERT_TRUE(cups.startWith({{QStringLiteral("erster"), PrivateCupsServer::Queue()},
                                {QStringLiteral("zweiter"), PrivateCupsServer::Queue()}}))
        << cups.error().toStdString();
    ASSERT_EQ(QPrinterInfo::availablePrinterNames().size(), 2);

    BoxDocument doc;
    newDocument(doc);
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    // The net's place is found pixel by pixel: the one-pixel lines ("fein").
    print.Options.netLineMm = 0;
    ASSERT_FALSE(print.printsToPdf());
    EXPECT_EQ(print.printer().printerName(), QStringLiteral("erster"));

    // In the dialog's place: the second printer, with job options that must
    // not reach the job.
    print.setSetupDialog([](QPrinter& choice) {
        EXPECT_EQ(choice.printerName(), QStringLiteral("erster"));
        choice.setPrinterName(QStringLiteral("zweiter"));
        choice.setCopyCount(2);
        return true;
    });
    print.PrintSetupClick();
    EXPECT_EQ(print.printer().printerName(), QStringLiteral("zweiter"));
    EXPECT_EQ(print.printer().copyCount(), 1);

    ASSERT_TRUE(print.PrintClick(100, 96));
    const QString arrived = cups.outputFile(QStringLiteral("zweiter"));
    const QByteArray job = cups.waitForJob(QStringLiteral("zweiter"));
    ASSERT_FALSE(job.isEmpty()) << "no job arrived\n" << cups.log().toStdString();
    EXPECT_FALSE(QFile::exists(cups.outputFile(QStringLiteral("erster"))));
    // One copy: a single page in the file.
    EXPECT_EQ(QString::fromLatin1(job).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 1);

    // A4 landscape, as the program's printer was set up.
    EXPECT_TRUE(isA4Landscape(arrived));

    // Where the net lies: the printable area's origin, the sheet position,
    // the box area's corner moved one pixel right, the edge from the item's
    // height less a fifteenth.
    const PrinterMetrics m = print.metrics();
    ASSERT_EQ(m.dpiX, m.dpiY);
    const int dpi = m.dpiX;
    const QPoint origin = print.printer().pageLayout().paintRectPixels(dpi).topLeft();
    const SheetLayout& l = doc.Layout;
    const int sx = trunc(l.MarginX / MmPerInch * dpi), sy = trunc(l.MarginY / MmPerInch * dpi);
    const int Hb = trunc(l.ItemHeight / MmPerInch * dpi);
    const int h = Hb - (Hb / 3) / 5;
    const int e = (100 * h / 100) / 3;
    const int L = origin.x() + sx + 1, T = origin.y() + sy;

    // The job at its own resolution, through poppler: the part of the page
    // that holds the net.
    const QSize part(L + 4 * e + e / 7 + 20, T + 3 * e + e / 7 + 20);
    const QString base = QFileInfo(arrived).absolutePath() + QStringLiteral("/seite");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
                  QStringLiteral("-x"), QStringLiteral("0"), QStringLiteral("-y"), QStringLiteral("0"),
                  QStringLiteral("-W"), QString::number(part.width()), QStringLiteral("-H"), QString::number(part.height()),
                  QStringLiteral("-png"), arrived, base});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0) << render.readAllStandardError().toStdString();
    QImageReader::setAllocationLimit(1024);   // the net's part of a page at printer resolution
    const QImage page(base + QStringLiteral(".png"));
    ASSERT_EQ(page.size(), part) << "the net lies off the page";

    // The straight lines of the net's table, each checked at 1/8, 3/8, 5/8
    // and 7/8 of its length: ink within +-1 pixel across
    // the line (a dash period along it), none 6 pixels beside it.
    const int X2 = L + e, X4 = L + 3 * e;
    const std::vector<std::pair<QPoint, QPoint>> lines = {
        {{L, T + e}, {L + 4 * e, T + e}},                       // 1
        {{L, T + 2 * e}, {L + 4 * e, T + 2 * e}},               // 2
        {{L + 2 * e, T + 3 * e}, {L + 3 * e, T + 3 * e}},       // 3
        {{L, T + e}, {L, T + 2 * e}},                           // 4
        {{L + e, T + e}, {L + e, T + 2 * e}},                   // 5
        {{L + 2 * e, T + e}, {L + 2 * e, T + 3 * e}},           // 6
        {{L + 3 * e, T + e}, {L + 3 * e, T + 3 * e}},           // 7
        {{L + 4 * e, T + e}, {L + 4 * e, T + 2 * e}},           // 8
        {{L + 4 * e + e / 7, T + e + e / 10}, {L + 4 * e + e / 7, T + 2 * e - e / 10}},     // 9
        {{L + 2 * e + e / 10, T + 3 * e + e / 7}, {L + 3 * e - e / 10, T + 3 * e + e / 7}}, // 12
        {{L + e / 4, T + e / 3}, {L + 3 * e / 4, T + e / 3}},   // 13
        {{X2, T + e / 2}, {X2, T + e}},                         // 15, left edge of the lid
        {{X2 + e / 4, T + e / 2 - e / 5 - e / 8 - e / 10}, {X2 + 3 * e / 4, T + e / 2 - e / 5 - e / 8 - e / 10}},
        {{X4 + e / 2, T + e / 2}, {X4 + e, T + e / 2}},         // 16, right part of the lid's top
        {{X4 + e, T + e / 2}, {X4 + e, T + e}},
    };
    for (const auto& [a, b] : lines) {
        const bool horizontal = a.y() == b.y();
        for (int eighth = 1; eighth < 8; eighth += 2) {   // between the folds that cross
            const QPoint p = a + (b - a) * eighth / 8;
            const QPoint beside = horizontal ? QPoint(0, 6) : QPoint(6, 0);
            EXPECT_TRUE(inkAlong(page, p, horizontal)) << p.x() << "," << p.y() << " e=" << e;
            EXPECT_FALSE(inkAlong(page, p + beside, horizontal)) << p.x() << "," << p.y();
            EXPECT_FALSE(inkAlong(page, p - beside, horizontal)) << p.x() << "," << p.y();
        }
    }
    // Inside the faces the sheet stays white.
    for (const QPoint& p : {QPoint(L + e / 2, T + e + e / 2), QPoint(L + 2 * e + e / 2, T + 2 * e + e / 2)})
        EXPECT_FALSE(inkAlong(page, p, true));
}

namespace {

// The first finished PDF job in file, or empty after a minute.
// Pixels of a clear red in the page as poppler renders it in colour.
int redPixels(const QString& pdf) {
    const QString base = pdf + QStringLiteral("-farbe");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, base});
    if (!render.waitForFinished(60000) || render.exitCode() != 0) return -1;
    const QImage page(base + QStringLiteral(".png"));
    int red = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60) ++red;
        }
    return red;
}

}  // namespace

// A monochrome default printer with wide margins, a colour printer whose
// own paper is Letter and which also takes A4 and A3, and one for Letter only.
TEST(CupsPrinting, TheChosenPrinterBringsItsColourItsPrintableAreaAndItsPaperOnlyWhereNeeded) {
    for (const char* tool : {"pdftoppm", "pdfinfo"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) << tool << " missing";
    PrivateCupsServer::Queue grey;
    grey.margin = 36;
    PrivateCupsServer::Queue colour;
    colour.colour = true;
    colour.papers = {QStringLiteral("Letter"), QStringLiteral("A4"), QStringLiteral("A3")};
    colour.margin = 12;
    PrivateCupsServer::Queue letterOnly;
    letterOnly.papers = {QStringLiteral("Letter")};
    PrivateCupsServer cups;
    ASSERT_TRUE(cups.startWith({{QStringLiteral("grau"), grey},
                                {QStringLiteral("farbig"), colour},
                                {QStringLiteral("brief"), letterOnly}}))
        << cups.error().toStdString();
    ASSERT_EQ(QPrinterInfo::availablePrinterNames().size(), 3);
    ASSERT_EQ(QPrinterInfo::printerInfo(QStringLiteral("farbig")).defaultColorMode(), QPrinter::Color);

    BoxDocument doc;
    newDocument(doc);
    {   // red over the whole box
        Tobs& o = doc.Objects[doc.Objects.takeFreeSlot()];
        o.Kind = Figure;
        o.Shape = shRectangle;
        o.Color = 0x0000FF;
        o.FontName = QStringLiteral("Times New Roman");
        SetDevLeft(o, -2000, doc.Zoom, doc.ScreenDivisor);
        SetDevTop(o, -2000, doc.Zoom, doc.ScreenDivisor);
        SetDevWidth(o, 8000, doc.Zoom, doc.ScreenDivisor);
        SetDevHeight(o, 8000, doc.Zoom, doc.ScreenDivisor);
    }
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    ASSERT_EQ(print.printer().printerName(), QStringLiteral("grau"));
    ASSERT_EQ(print.printer().colorMode(), QPrinter::GrayScale);
    ASSERT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::A4);
    auto choosePrinter = [&](const QString& name) {
        print.setSetupDialog([name](QPrinter& choice) {
            choice.setPrinterName(name);
            return true;
        });
        print.PrintSetupClick();
        EXPECT_EQ(print.printer().printerName(), name);
    };

    // The colour printer keeps the A4 it offers, prints in colour and has
    // the printable area it has as the system's default printer.
    choosePrinter(QStringLiteral("farbig"));
    EXPECT_EQ(print.printer().colorMode(), QPrinter::Color);
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(print.printer().pageLayout().orientation(), QPageLayout::Landscape);
    const PrinterMetrics chosen = print.metrics();
    ASSERT_TRUE(cups.setDefault(QStringLiteral("farbig"))) << cups.error().toStdString();
    {
        BoxDocument other;
        newDocument(other);
        PrintController asDefault(other, prompter);
        ASSERT_EQ(asDefault.printer().printerName(), QStringLiteral("farbig"));
        asDefault.setPaper(PaperFormat::A4);
        const PrinterMetrics own = asDefault.metrics();
        EXPECT_EQ(chosen.page, own.page);
        EXPECT_EQ(chosen.offset, own.offset);
        EXPECT_EQ(chosen.paper, own.paper);
    }

    ASSERT_TRUE(print.PrintClick(100, 96));
    const QString arrived = cups.outputFile(QStringLiteral("farbig"));
    ASSERT_FALSE(cups.waitForJob(QStringLiteral("farbig")).isEmpty()) << "no job arrived\n" << cups.log().toStdString();
    EXPECT_GT(redPixels(arrived), 1000) << "the colour printer printed grey";
    EXPECT_TRUE(isA4Landscape(arrived));

    // A printer without A4 brings its own paper; back on the colour printer
    // the Letter it offers stays. The grey printer prints grey again.
    choosePrinter(QStringLiteral("brief"));
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(print.printer().colorMode(), QPrinter::GrayScale);
    choosePrinter(QStringLiteral("farbig"));
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(print.printer().colorMode(), QPrinter::Color);
    choosePrinter(QStringLiteral("grau"));
    EXPECT_EQ(print.printer().colorMode(), QPrinter::GrayScale);
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::A4);
    // Its job, through the same reader, has no red: what the colour check
    // above sees is the printer's colour mode.
    prompter.answers = {PromptAnswer::Yes};   // its wide margins: print anyway
    ASSERT_TRUE(print.PrintClick(100, 96));
    const QString greyJob = cups.outputFile(QStringLiteral("grau"));
    ASSERT_FALSE(cups.waitForJob(QStringLiteral("grau")).isEmpty()) << "no job arrived\n" << cups.log().toStdString();
    EXPECT_EQ(redPixels(greyJob), 0);
}

// The setup dialog itself: the printers of the server, the papers of the
// one chosen, its own paper only where it lacks the current one, and what
// OK takes over.
TEST(CupsPrinting, TheSetupDialogOffersEachPrintersPapersAndTakesPaperAndOrientation) {
    PrivateCupsServer::Queue colour;
    colour.colour = true;
    colour.papers = {QStringLiteral("Letter"), QStringLiteral("A4"), QStringLiteral("A3")};
    PrivateCupsServer::Queue letterOnly;
    letterOnly.papers = {QStringLiteral("Letter"), QStringLiteral("Legal")};
    PrivateCupsServer cups;
    ASSERT_TRUE(cups.startWith({{QStringLiteral("brief"), letterOnly},
                                {QStringLiteral("grau"), PrivateCupsServer::Queue()},
                                {QStringLiteral("farbig"), colour}}))
        << cups.error().toStdString();

    BoxDocument doc;
    newDocument(doc);
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    ASSERT_EQ(print.printer().printerName(), QStringLiteral("brief"));
    ASSERT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::Letter);

    auto papers = [](PrinterSetupForm* form) {
        QStringList names;
        for (int i = 0; i < form->PaperCombo->count(); ++i) names << form->PaperCombo->itemText(i);
        return names;
    };
    QStringList printers, briefPapers, farbigPapers, grauPapers;
    QPageSize::PageSizeId shownAfterSwitch = QPageSize::Custom, shownAfterReturn = QPageSize::Custom;
    QString colourText;
    QTimer::singleShot(0, [&] {
        PrinterSetupForm* form = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (form = qobject_cast<PrinterSetupForm*>(QApplication::activeModalWidget())) != nullptr; }, 5000));
        for (int i = 0; i < form->PrinterCombo->count(); ++i) printers << form->PrinterCombo->itemText(i);
        briefPapers = papers(form);
        // The user switches to the colour printer: Letter, which it has, stays.
        form->PrinterCombo->setCurrentIndex(form->PrinterCombo->findText(QStringLiteral("farbig")));
        farbigPapers = papers(form);
        shownAfterSwitch = form->pageSize().id();
        colourText = form->ColorLabel->text();
        form->PaperCombo->setCurrentIndex(form->PaperCombo->findText(QPageSize(QPageSize::A3).name()));
        form->PortraitRadio->click();
        // A look at the grey one, which has only A4: its A4 is shown, and
        // back on the colour printer its A4 stays.
        form->PrinterCombo->setCurrentIndex(form->PrinterCombo->findText(QStringLiteral("grau")));
        grauPapers = papers(form);
        form->PrinterCombo->setCurrentIndex(form->PrinterCombo->findText(QStringLiteral("farbig")));
        shownAfterReturn = form->pageSize().id();
        form->PaperCombo->setCurrentIndex(form->PaperCombo->findText(QPageSize(QPageSize::A3).name()));
        QTest::mouseClick(form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    print.PrintSetupClick();
    EXPECT_TRUE(printers.contains(QStringLiteral("brief")) && printers.contains(QStringLiteral("farbig")) &&
                printers.contains(QStringLiteral("grau")))
        << printers.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(briefPapers.size(), 2);
    EXPECT_EQ(farbigPapers.size(), 3);
    EXPECT_EQ(grauPapers, QStringList{QPageSize(QPageSize::A4).name()});
    EXPECT_EQ(shownAfterSwitch, QPageSize::Letter);
    EXPECT_EQ(shownAfterReturn, QPageSize::A4);
    EXPECT_EQ(colourText, QStringLiteral("Farbe"));
    EXPECT_EQ(print.printer().printerName(), QStringLiteral("farbig"));
    EXPECT_EQ(print.printer().pageLayout().pageSize().id(), QPageSize::A3);
    EXPECT_EQ(print.printer().pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(print.printer().colorMode(), QPrinter::Color);
}
