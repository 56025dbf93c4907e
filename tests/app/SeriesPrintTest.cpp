// Thirty guests become a set of favour boxes, each with its name and photo:
// printed from the print tab into the PDF that stands in for a printer, and
// from the command line out of the same saved design and its linked data.
#include "AppTestSupport.h"
#include "CancelPresser.h"

#include "app/PrintController.h"
#include "app/PrintPage.h"
#include "app/SheetOptionsBar.h"
#include "model/BoxFile.h"
#include "model/SeriesData.h"
#include "render/Mapping.h"
#include "sheet/SheetPlan.h"
#include "widgets/WorkProgress.h"

#include <QComboBox>
#include <QDir>
#include <QSpinBox>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int Guests = 30;
constexpr int MissingPhoto = 17;   // this guest's photo is not there

QByteArray runTool(const QString& program, const QStringList& args, int* exitCode = nullptr,
                   QByteArray* errors = nullptr) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(180000)) << program.toStdString();
    if (exitCode) *exitCode = p.exitCode();
    else EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    if (errors) *errors = p.readAllStandardError();
    return p.readAllStandardOutput();
}

int pdfPages(const QString& pdf) {
    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf}));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A small cuboid (four to an A4 sheet) with the guest's name and photo on
// the face in the middle of the net, saved beside its linked data.
struct FavourBoxes {
    QTemporaryDir dir;
    QString box;
    QString data;

    FavourBoxes() {
        BoxDocument doc;
        doc.Form = BoxForm::cuboid(30, 20, 30);
        doc.Layout.applyNewDocumentLayout();
        doc.updateExtentFromLayout();
        const SheetPlan plan = planSheet(doc.Layout, NetSource::of(doc, 100), SheetOptions(),
                                         pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), 600));
        // The net's middle in editor pixels at Zoom 1.0 (divisor 416).
        const double k = 20000.0 / (416.0 * 600);
        const QPoint c = ((QPointF(plan.item.width(), plan.item.height()) + QRectF(plan.outline).center()) * k).toPoint();
        Tobs& name = doc.Objects[1];
        name.Kind = Text;
        SetDevLeft(name, c.x() - 45, 1.0, 416);
        SetDevTop(name, c.y() - 30, 1.0, 416);
        SetDevWidth(name, 90, 1.0, 416);
        SetDevHeight(name, 20, 1.0, 416);
        name.Content = QStringLiteral("Für {Name}");
        name.FontName = QStringLiteral("Liberation Sans");
        name.FontSize = 10;
        Tobs& photo = doc.Objects[2];
        photo.Kind = Image;
        SetDevLeft(photo, c.x() - 25, 1.0, 416);
        SetDevTop(photo, c.y() - 5, 1.0, 416);
        SetDevWidth(photo, 50, 1.0, 416);
        SetDevHeight(photo, 35, 1.0, 416);
        photo.Content = QStringLiteral("bilder/{Foto}");

        QDir(dir.path()).mkdir(QStringLiteral("bilder"));
        QByteArray csv = "Name;Foto\r\n";
        for (int g = 1; g <= Guests; ++g) {
            csv += "Gast" + QByteArray::number(g) + ";foto" + QByteArray::number(g) + ".png\r\n";
            if (g == MissingPhoto) continue;
            QImage picture(40 + g, 30, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(g * 11, 200, 220));
            EXPECT_TRUE(picture.save(dir.filePath(QStringLiteral("bilder/foto%1.png").arg(g))));
        }
        data = dir.filePath(QStringLiteral("gaeste.csv"));
        QFile f(data);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(csv);
        f.close();
        doc.Series.path = data;
        doc.Series.separator = SeriesSeparator::Semicolon;
        box = dir.filePath(QStringLiteral("gastgeschenk.box"));
        RecordingPrompter quiet;
        EXPECT_TRUE(Saveit(doc, box, quiet));
    }
};

}  // namespace

TEST(FavourBoxes, ThirtyGuestsPrintedFromTheProgramOnePerRowFourToASheet) {
    FavourBoxes set;
    BoxDocument doc;
    RecordingPrompter prompter;
    ASSERT_TRUE(OpenItNow(doc, set.box, prompter));
    ASSERT_EQ(doc.Series.path, set.data);
    PrintController print(doc, prompter);
    if (!print.printsToPdf()) GTEST_SKIP() << "a printer is installed";
    EXPECT_EQ(print.seriesRowCount(), Guests);

    // The shown row alone prints as the editor shows it: one box, that row's.
    EXPECT_FALSE(print.seriesPrint());
    EXPECT_EQ(print.shownDocument().Objects[1].Content, QStringLiteral("Für Gast1"));
    print.setShownRow([] { return 6; });
    EXPECT_EQ(print.shownDocument().Objects[1].Content, QStringLiteral("Für Gast7"));
    EXPECT_EQ(print.printPlan(100).copies(), 1);
    print.Series.mode = SeriesChoice::All;
    ASSERT_TRUE(print.seriesPrint());
    const SheetPlan preview = print.previewPlan(100);
    ASSERT_EQ(preview.copies(), 4);
    ASSERT_TRUE(preview.copyDocuments);
    EXPECT_EQ((*preview.copyDocuments)[3].Objects[1].Content, QStringLiteral("Für Gast4"));

    const QString all = set.dir.filePath(QStringLiteral("alle.pdf"));
    prompter.messages.clear();
    prompter.savePaths = {all};
    ASSERT_TRUE(print.PrintClick(100, 96));
    EXPECT_EQ(pdfPages(all), (Guests + 3) / 4);
    // The one missing photo is named after the job, by its row.
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Datensatz %1: bilder/foto%1.png").arg(MissingPhoto)))
        << prompter.messages[0].text.toStdString();

    // A range: rows 5 to 13 are nine boxes on three sheets.
    print.Series.mode = SeriesChoice::Range;
    print.Series.from = 5;
    print.Series.to = 13;
    const QString part = set.dir.filePath(QStringLiteral("teil.pdf"));
    prompter.savePaths = {part};
    ASSERT_TRUE(print.PrintClick(100, 96));
    EXPECT_EQ(pdfPages(part), 3);

    // A field the data lacks is said before anything is printed: no file
    // is asked for, none is written.
    doc.Objects[1].Content = QStringLiteral("Für {Vorname} {Name}");
    doc.markChanged();
    const QString refused = set.dir.filePath(QStringLiteral("nichts.pdf"));
    prompter.messages.clear();
    prompter.savePaths = {refused};
    EXPECT_FALSE(print.PrintClick(100, 96));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("{Vorname}"))) << prompter.messages[0].text.toStdString();
    EXPECT_EQ(prompter.savePaths.size(), 1u);
    EXPECT_FALSE(QFile::exists(refused));
}

TEST(FavourBoxes, ThirtyGuestsFromTheCommandLineWithTheDesignsOwnLink) {
    FavourBoxes set;
    const QString cli = QStringLiteral(FALTARILLON_BINARY_DIR "/faltarillon-cli");
    ASSERT_TRUE(QFile::exists(cli));

    // A page per guest: each page names its guest and holds its photo.
    const QString pdf = set.dir.filePath(QStringLiteral("boxen.pdf"));
    int code = -1;
    QByteArray errors;
    runTool(cli, {QStringLiteral("export"), set.box, pdf, QStringLiteral("--page"), QStringLiteral("box")}, &code, &errors);
    EXPECT_EQ(code, 0) << errors.toStdString();
    EXPECT_TRUE(QString::fromUtf8(errors).contains(QStringLiteral("Datensatz %1").arg(MissingPhoto))) << errors.toStdString();
    ASSERT_EQ(pdfPages(pdf), Guests);
    std::map<int, QSize> photoOfPage;
    const QStringList images =
        QString::fromUtf8(runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})).split('\n').mid(2);
    for (const QString& line : images) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 4 && f[2] == QLatin1String("image")) photoOfPage[f[0].toInt()] = QSize(f[3].toInt(), f[4].toInt());
    }
    for (int g = 1; g <= Guests; ++g) {
        const QString n = QString::number(g);
        const QString text = QString::fromUtf8(
            runTool(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")}));
        EXPECT_TRUE(text.contains(QStringLiteral("Für Gast%1\n").arg(g))) << g << ": " << text.toStdString();
        if (g == MissingPhoto) EXPECT_EQ(photoOfPage.count(g), 0u);
        else EXPECT_EQ(photoOfPage[g], QSize(40 + g, 30)) << "page " << g;
    }

    // The printed sheets as pictures: one file per sheet, numbered.
    const QString png = set.dir.filePath(QStringLiteral("bogen.png"));
    const QString counts = QString::fromUtf8(runTool(cli, {QStringLiteral("sheet"), set.box, png}));
    EXPECT_TRUE(counts.contains(QStringLiteral("30 Datensätze, 8 Blätter"))) << counts.toStdString();
    for (int s = 1; s <= 9; ++s)
        EXPECT_EQ(QFile::exists(set.dir.filePath(QStringLiteral("bogen-%1.png").arg(s, 3, 10, QLatin1Char('0')))), s <= 8)
            << s;
    // Rows out of the data are refused before anything is written.
    const QString none = set.dir.filePath(QStringLiteral("keiner.pdf"));
    runTool(cli, {QStringLiteral("sheet"), set.box, none, QStringLiteral("--rows"), QStringLiteral("25-31")}, &code,
            &errors);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(QString::fromUtf8(errors).contains(set.data)) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(none));
}

// --strict fails a call whose boxes went without a picture the data names,
// and only then: the same design without its link, given the data in the
// call, opens without a single missing picture. An empty --data is a wrong
// call, not a call without data.
TEST(FavourBoxes, StrictCallsFailOnlyForPicturesTheBoxesWentWithout) {
    FavourBoxes set;
    const QString cli = QStringLiteral(FALTARILLON_BINARY_DIR "/faltarillon-cli");
    BoxDocument unlinked;
    RecordingPrompter quiet;
    ASSERT_TRUE(OpenItNow(unlinked, set.box, quiet));
    unlinked.Series = SeriesLink();
    const QString plain = set.dir.filePath(QStringLiteral("ohne-daten.box"));
    ASSERT_TRUE(Saveit(unlinked, plain, quiet));
    const QString png = set.dir.filePath(QStringLiteral("box.png"));
    struct Case {
        QStringList args;
        int code;
        QString said;   // on stderr; empty: nothing at all
    };
    const std::vector<Case> cases = {
        {{set.box, QStringLiteral("--row"), QString::number(MissingPhoto)}, 1, QStringLiteral("foto17.png")},
        {{set.box, QStringLiteral("--row"), QStringLiteral("3")}, 0, QString()},
        {{plain, QStringLiteral("--data"), set.data, QStringLiteral("--row"), QStringLiteral("3")}, 0, QString()},
        {{plain, QStringLiteral("--data"), QString()}, 2, QStringLiteral("--data braucht einen Dateinamen.")},
    };
    for (const Case& c : cases) {
        int code = -1;
        QByteArray errors;
        runTool(cli, QStringList{QStringLiteral("render")} + c.args + QStringList{png, QStringLiteral("--strict")}, &code,
                &errors);
        const QString said = QString::fromUtf8(errors);
        EXPECT_EQ(code, c.code) << c.args.join(' ').toStdString() << ": " << said.toStdString();
        if (c.said.isEmpty()) EXPECT_TRUE(said.isEmpty()) << said.toStdString();
        else EXPECT_TRUE(said.contains(c.said)) << said.toStdString();
    }
}

TEST(FavourBoxes, ThePrintTabsRowChoosesTheRowsOnlyWhileDataIsLinked) {
    FavourBoxes set;
    BoxDocument doc;
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    PrintPage page(print, [] { return 100; });
    SheetOptionsBar& bar = *page.SheetOptions1;
    page.VPaintPaint();
    EXPECT_TRUE(bar.SeriesRow->isHidden());
    ASSERT_TRUE(OpenItNow(doc, set.box, prompter));
    page.VPaintPaint();
    ASSERT_FALSE(bar.SeriesRow->isHidden());
    EXPECT_EQ(bar.SeriesToEd->maximum(), Guests);
    EXPECT_TRUE(bar.CopiesCombo->isEnabled());
    bar.SeriesCombo->setCurrentIndex(1);
    EXPECT_EQ(print.Series.mode, SeriesChoice::All);
    // Every row fills the sheet whatever "Boxen pro Blatt" says.
    EXPECT_FALSE(bar.CopiesCombo->isEnabled());
    EXPECT_FALSE(bar.SeriesFromEd->isEnabled());
    bar.SeriesCombo->setCurrentIndex(2);
    ASSERT_TRUE(bar.SeriesFromEd->isEnabled());
    bar.SeriesToEd->setValue(3);
    bar.SeriesFromEd->setValue(5);
    // "bis" never lies before "von".
    EXPECT_EQ(print.Series.from, 5);
    EXPECT_EQ(print.Series.to, 5);
    EXPECT_EQ(bar.SeriesToEd->value(), 5);
    EXPECT_EQ(print.printPlan(100).copies(), 4);
}

// A table of nearly a million guests takes a while to read: the print tab
// reads it with progress before its preview, never silently while painting,
// and a stop leaves it unread until the tab looks again.
TEST(FavourBoxes, APrintTabReadsALargeTableWithProgressThatStops) {
    FavourBoxes set;
    constexpr int Rows = 900000;
    const QString large = set.dir.filePath(QStringLiteral("alle.csv"));
    {
        QFile f(large);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray csv = "Name;Foto\r\n";
        csv.reserve(Rows * 26);
        for (int g = 1; g <= Rows; ++g) csv += "Gast" + QByteArray::number(g) + ";foto1.png\r\n";
        ASSERT_EQ(f.write(csv), csv.size());
    }
    BoxDocument doc;
    RecordingPrompter prompter;
    ASSERT_TRUE(OpenItNow(doc, set.box, prompter));
    doc.Series.path = large;
    PrintController print(doc, prompter);
    PrintPage page(print, [] { return 100; });

    const int before = WorkProgress::showAfterMs();
    WorkProgress::setShowAfterMs(0);
    {
        CancelPresser presser;
        presser.arm();
        page.VPaintPaint();
        EXPECT_TRUE(presser.pressed);
        EXPECT_EQ(presser.title, QStringLiteral("Seriendaten"));
    }
    // Stopped: nothing read, and nothing read behind the user's back.
    EXPECT_EQ(print.seriesRowCount(), 0);
    page.VPaintPaint();
    WorkProgress::setShowAfterMs(before);
    EXPECT_EQ(print.seriesRowCount(), Rows);
    EXPECT_EQ(page.SheetOptions1->SeriesToEd->maximum(), Rows);
    EXPECT_TRUE(prompter.messages.empty());
}
