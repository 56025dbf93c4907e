// A design filled in once per row of its data, as print, PDF and cut files
// make it: the rows a job takes, what it refuses before drawing, the boxes
// of a sheet each showing its own row, and the PDFs read back by poppler.

#include "ExportTestSupport.h"
#include "model/LongText.h"
#include "model/SeriesRows.h"
#include "sheet/SeriesSheets.h"
#include "sheet/SheetPdfWriter.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <set>

#include <sys/stat.h>

namespace {

void writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

SeriesLink linkTo(const QString& path) {
    SeriesLink link;
    link.path = path;
    return link;
}

// The middle of the net in editor pixels (Zoom 1.0, divisor 416): the box
// area starts one item from the editing area's corner.
QPoint netMiddle(const BoxDocument& doc) {
    const int dpi = 600;
    const SheetPlan plan = planSheet(doc.Layout, NetSource::of(doc, 100), SheetOptions(),
                                     pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), dpi));
    const double k = 20000.0 / (416.0 * dpi);
    const QPointF c = QPointF(plan.item.width(), plan.item.height()) + QRectF(plan.outline).center();
    return (c * k).toPoint();
}

// A design beside its data: a name text, a picture the data names and,
// optionally, one picture every box shares.
struct SeriesDesign {
    QTemporaryDir dir;
    std::unique_ptr<BoxDocument> doc = rt::document();
    QString data;

    // A small cuboid, four to an A4 sheet; the objects on the face around
    // the net's middle.
    explicit SeriesDesign(const QByteArray& csv, bool sharedPicture = false) {
        doc->FileName = dir.filePath(QStringLiteral("gast.box"));
        doc->Form = BoxForm::cuboid(30, 20, 30);
        const QPoint c = netMiddle(*doc);
        Tobs& name = rt::place(*doc, 1, Text, c.x() - 45, c.y() - 30, 90, 20);
        name.Content = QStringLiteral("Für {Name}");
        name.FontName = QStringLiteral("Liberation Sans");
        name.FontSize = 10;
        Tobs& photo = rt::place(*doc, 2, Image, c.x() - 25, c.y() - 5, 50, 35);
        photo.Content = QStringLiteral("bilder/{Foto}");
        if (sharedPicture) {
            Tobs& logo = rt::place(*doc, 3, Image, c.x() - 20, c.y() + 32, 40, 20);
            logo.Content = QStringLiteral("logo.png");
            logo.Picture = DibHandle(ex::patternImage(QSize(70, 50), 7));
        }
        QDir(dir.path()).mkdir(QStringLiteral("bilder"));
        data = dir.filePath(QStringLiteral("gaeste.csv"));
        writeText(data, csv);
    }
    void photo(const QString& name, QSize size, int seed) {
        ASSERT_TRUE(ex::patternImage(size, seed).save(dir.filePath(QStringLiteral("bilder/") + name)));
    }
    std::unique_ptr<SeriesRows> rows(RowRange range = RowRange()) {
        QString error;
        auto r = SeriesRows::open(*doc, linkTo(data), range, &error);
        EXPECT_TRUE(r) << error.toStdString();
        return r;
    }
};

// Names and photos of n guests, photo k of size (40 + k) x 30.
QByteArray guests(int n) {
    QByteArray csv = "Name,Foto\n";
    for (int k = 1; k <= n; ++k) csv += "Gast" + QByteArray::number(k) + ",g" + QByteArray::number(k) + ".png\n";
    return csv;
}

}  // namespace

TEST(SeriesRange, ParsesTheWrittenFormsAndRefusesTheRest) {
    struct Case {
        const char* text;
        bool ok;
        int first, last;
    };
    const Case cases[] = {
        {"3-7", true, 3, 7},   {"5", true, 5, 5},       {"4-", true, 4, 0},   {"-6", true, 0, 6},
        {" 2 - 9 ", true, 2, 9}, {"8-8", true, 8, 8},  {"", false, 0, 0},    {"-", false, 0, 0},
        {"7-3", false, 0, 0},  {"0-4", false, 0, 0},    {"0", false, 0, 0},   {"a-b", false, 0, 0},
        {"3-x", false, 0, 0},  {"1-2-3", false, 0, 0},  {"99999999999", false, 0, 0},
    };
    for (const Case& c : cases) {
        RowRange r{-1, -1};
        QString error;
        EXPECT_EQ(parseRowRange(QString::fromUtf8(c.text), &r, &error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(r.first, c.first) << c.text;
            EXPECT_EQ(r.last, c.last) << c.text;
        } else {
            EXPECT_FALSE(error.isEmpty()) << c.text;
            EXPECT_EQ(r.first, -1) << c.text << ": a refused range leaves the old one";
        }
    }
}

TEST(SeriesRows, RefusesBeforeAnyBoxWhatTheDataCannotGive) {
    struct Case {
        const char* what;
        QByteArray csv;
        RowRange range;
        QStringList said;   // besides the data file's path
    };
    const Case cases[] = {
        {"fields the data lacks, every one", "Vorname;Foto\nAnna;a.png\n", {},
         {QStringLiteral("{Name}"), QStringLiteral("{Foto}")}},
        {"a range beyond the data", "Name,Foto\nA,a.png\nB,b.png\n", {2, 5}, {QStringLiteral("Datensatz 5")}},
        {"a range starting beyond the data", "Name,Foto\nA,a.png\n", {3, 0}, {QStringLiteral("Datensatz 3")}},
        {"no rows at all", "Name,Foto\n", {}, {QStringLiteral("keine Datensätze")}},
    };
    for (const Case& c : cases) {
        SeriesDesign d(c.csv);
        QString error;
        EXPECT_FALSE(SeriesRows::open(*d.doc, linkTo(d.data), c.range, &error)) << c.what;
        EXPECT_TRUE(error.contains(d.data)) << c.what << ": " << error.toStdString();
        for (const QString& part : c.said) EXPECT_TRUE(error.contains(part)) << c.what << ": " << error.toStdString();
    }
    // {Nr} is every row's own number, no column needed.
    SeriesDesign numbered("Name,Foto\nA,a.png\n");
    numbered.doc->Objects[1].Content = QStringLiteral("{Nr}. {Name}");
    EXPECT_TRUE(numbered.rows());
}

TEST(SeriesRows, APictureTheDataNamesBadlyLeavesOnlyThatBoxWithoutIt) {
    SeriesDesign d("Name,Foto\nA,a.png\nB,a.png\nC,fehlt.png\nD,ordner\nE,fifo\nF,b.png\n");
    d.photo(QStringLiteral("a.png"), QSize(40, 30), 1);
    d.photo(QStringLiteral("b.png"), QSize(50, 30), 2);
    QDir(d.dir.path()).mkpath(QStringLiteral("bilder/ordner"));
    ASSERT_EQ(mkfifo(QFile::encodeName(d.dir.filePath(QStringLiteral("bilder/fifo"))).constData(), 0600), 0);
    auto rows = d.rows();
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->count(), 6);
    std::vector<BoxDocument> boxes(6);
    for (int i = 0; i < 6; ++i) {
        QString error;
        ASSERT_TRUE(rows->document(i, &boxes[size_t(i)], &error)) << error.toStdString();
    }
    const bool shown[] = {true, true, false, false, false, true};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(!boxes[size_t(i)].Objects[2].Picture.isEmpty(), shown[i]) << "row " << i + 1;
        EXPECT_EQ(boxes[size_t(i)].Objects[1].Content, QStringLiteral("Für ") + QChar('A' + i));
    }
    EXPECT_EQ(boxes[1].Objects[2].Picture.image().size(), QSize(40, 30));
    EXPECT_EQ(boxes[5].Objects[2].Picture.image().size(), QSize(50, 30));
    // One photo for two rows is decoded once: both boxes share its pixels.
    EXPECT_EQ(boxes[0].Objects[2].Picture.image().cacheKey(), boxes[1].Objects[2].Picture.image().cacheKey());
    // The design itself still names the field.
    EXPECT_EQ(d.doc->Objects[2].Content, QStringLiteral("bilder/{Foto}"));

    const QStringList problems = rows->pictureProblems();
    ASSERT_EQ(problems.size(), 3) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("Datensatz 3: bilder/fehlt.png")));
    EXPECT_TRUE(problems[1].startsWith(QStringLiteral("Datensatz 4: bilder/ordner")));
    EXPECT_TRUE(problems[2].startsWith(QStringLiteral("Datensatz 5: bilder/fifo")));
    const QString summary = rows->pictureSummary();
    EXPECT_TRUE(summary.contains(d.data) && summary.contains(QStringLiteral("3 Bilder"))) << summary.toStdString();
    rows->clearProblems();
    EXPECT_TRUE(rows->pictureSummary().isEmpty());
}

TEST(SeriesRows, AHundredThousandRowsAndAMegabyteValueStayBounded) {
    QByteArray csv = "Name,Foto\n";
    csv.reserve(2'500'000);
    for (int k = 1; k <= 100000; ++k) csv += "Gast" + QByteArray::number(k) + ",\n";
    csv += "\"" + QByteArray(1 << 20, 'x') + "\",\n";
    SeriesDesign d(csv);
    auto rows = d.rows(RowRange{99999, 0});
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->total(), 100001);
    ASSERT_EQ(rows->count(), 3);
    BoxDocument box;
    QString error;
    ASSERT_TRUE(rows->document(1, &box, &error)) << error.toStdString();
    EXPECT_EQ(box.Objects[1].Content, QStringLiteral("Für Gast100000"));
    // The megabyte is clipped as a long text is; an empty picture name is
    // no missing picture.
    ASSERT_TRUE(rows->document(2, &box, &error)) << error.toStdString();
    EXPECT_LE(box.Objects[1].Content.size(), LongTextLimit + 4);
    EXPECT_TRUE(rows->pictureProblems().isEmpty()) << rows->pictureProblems().join('\n').toStdString();
}

namespace {

// A filled A4 sheet at a low resolution: many small boxes.
SheetPlan seriesPlan(const BoxDocument& doc, int dpi) {
    SheetOptions o;
    o.fill = true;
    return planSheet(doc.Layout, NetSource::of(doc, 100), o, pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), dpi));
}

}  // namespace

TEST(SeriesSheet, EachBoxShowsItsOwnRowAndPlacesBeyondTheRowsStayWhite) {
    SeriesDesign d(guests(3));
    for (int k = 1; k <= 3; ++k) d.photo(QStringLiteral("g%1.png").arg(k), QSize(40 + k, 30), k * 60);
    auto rows = d.rows();
    ASSERT_TRUE(rows);
    const SheetPlan plan = seriesPlan(*d.doc, 100);
    ASSERT_GT(plan.copies(), 3);
    ASSERT_EQ(seriesSheetCount(*rows, plan), 1);
    SheetPlan sheet = plan;
    QString error;
    ASSERT_TRUE(fillSeriesSheet(*rows, 0, sheet, &error)) << error.toStdString();
    const QImage series = renderSheetImage(*d.doc, sheet, 96);
    ASSERT_FALSE(series.isNull());
    // Each row's box as the same plan draws that row's design everywhere.
    for (int k = 0; k < plan.copies(); ++k) {
        const QRect box = plan.placedBox(k);
        if (k >= 3) {
            EXPECT_TRUE(isAllWhite(series.copy(box))) << "place " << k << " has no row";
            continue;
        }
        const QImage alone = renderSheetImage((*sheet.copyDocuments)[size_t(k)], plan, 96);
        EXPECT_EQ(series.copy(box), alone.copy(box)) << "box " << k;
        // Rows differ, so a box drawn from another row would show.
        const QImage other = renderSheetImage((*sheet.copyDocuments)[size_t((k + 1) % 3)], plan, 96);
        EXPECT_NE(series.copy(box), other.copy(box)) << "box " << k;
    }
    // The cut file of fewer rows than a sheet holds has their boxes only.
    EXPECT_EQ(seriesCutPlan(*rows, plan).copies(), 3);
}

TEST(SeriesSheet, TheRasterPdfHasAPagePerSheetAndAStopKeepsTheOldFile) {
    SeriesDesign d(guests(1));
    auto probe = d.rows();
    ASSERT_TRUE(probe);
    const SheetPlan plan = seriesPlan(*d.doc, 50);
    const int perSheet = plan.copies();
    // Two full sheets and one box on a third.
    SeriesDesign many(guests(2 * perSheet + 1));
    auto rows = many.rows();
    ASSERT_TRUE(rows);
    ASSERT_EQ(seriesSheetCount(*rows, plan), 3);
    const QPageLayout layout = pdfPrinterPageLayout(PaperFormat::A4);
    SheetPdfPage page;
    page.pagePoints = exactPaperPoints(layout);
    page.origin = plan.frame.printable.topLeft();
    page.area = plan.frame.printable.size();
    page.dpiX = page.dpiY = 50;
    page.plan = &plan;
    std::vector<int> asked;
    const auto filler = [&](int s, SheetPlan& sheet, QString* error) {
        asked.push_back(s);
        return fillSeriesSheet(*rows, s, sheet, error);
    };
    const QString pdf = many.dir.filePath(QStringLiteral("bogen.pdf"));
    QString error;
    ASSERT_TRUE(writeSheetPdfPagesFile(pdf, *many.doc, page, 3, filler, &error, 96)) << error.toStdString();
    EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
    const QString info = QString::fromUtf8(ex::run(QStringLiteral("pdfinfo"), {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n")))) << info.toStdString();
    // Every page is the paper exactly.
    const QString sizes = QString::fromUtf8(
        ex::run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                            QStringLiteral("3"), pdf}));
    EXPECT_EQ(sizes.count(QRegularExpression(QStringLiteral("size: +841.89 x 595.27"))), 3) << sizes.toStdString();
    QFile original(pdf);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray kept = original.readAll();
    original.close();

    // Stopped on the second sheet, or a row failing: the file stays as it was.
    for (const bool byRow : {false, true}) {
        SheetPlan stopping = plan;
        // The second sheet begins at a third of the bar.
        stopping.progress = [byRow](int percent) { return byRow || percent < 40; };
        page.plan = &stopping;
        const auto failing = [&](int s, SheetPlan& sheet, QString* why) {
            if (byRow && s == 1) {
                *why = QStringLiteral("Zeile kaputt");
                return false;
            }
            return fillSeriesSheet(*rows, s, sheet, why);
        };
        error.clear();
        EXPECT_FALSE(writeSheetPdfPagesFile(pdf, *many.doc, page, 3, failing, &error, 96));
        EXPECT_EQ(error.isEmpty(), !byRow);
        QFile after(pdf);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), kept);
    }
}

namespace {

struct ImageRow {
    int page;
    QSize size;
};

std::vector<ImageRow> pdfImageRows(const QString& pdf) {
    std::vector<ImageRow> out;
    const QStringList lines =
        QString::fromUtf8(ex::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})).split('\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 4 && f[2] == QLatin1String("image")) out.push_back({f[0].toInt(), QSize(f[3].toInt(), f[4].toInt())});
    }
    return out;
}

QString pageText(const QString& pdf, int page) {
    const QString n = QString::number(page);
    return QString::fromUtf8(
        ex::run(QStringLiteral("pdftotext"), {QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf, QStringLiteral("-")}));
}

}  // namespace

TEST(SeriesVectorPdf, APagePerRowWithItsNameAndEveryPictureAndFontInTheFileOnce) {
    // The last guest's photo is a JPEG: the file takes its bytes as they are.
    SeriesDesign d(guests(5).replace("g5.png", "g5.jpg"), true);
    for (int k = 1; k <= 5; ++k)
        d.photo(QString::fromLatin1(k == 5 ? "g%1.jpg" : "g%1.png").arg(k), QSize(40 + k, 30), k * 40);
    auto rows = d.rows();
    ASSERT_TRUE(rows);
    ExportOptions o;
    o.page = ExportPage::BoxOnly;
    const QString pdf = d.dir.filePath(QStringLiteral("serie.pdf"));
    QString error;
    ASSERT_TRUE(exportSeriesToFile(*d.doc, *rows, o, pdf, error)) << error.toStdString();
    const QString info = QString::fromUtf8(ex::run(QStringLiteral("pdfinfo"), {pdf}));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n")))) << info.toStdString();
    for (int page = 1; page <= 5; ++page) {
        const QString text = pageText(pdf, page);
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(text.contains(QStringLiteral("Gast%1").arg(k)), k == page) << "page " << page << ": "
                                                                                   << text.toStdString();
    }
    // The shared picture is one image object drawn on every page; each row's
    // photo is its own.
    const std::vector<ImageRow> images = pdfImageRows(pdf);
    std::map<std::pair<int, int>, std::set<int>> pagesOf;
    for (const ImageRow& r : images) pagesOf[{r.size.width(), r.size.height()}].insert(r.page);
    EXPECT_EQ(pagesOf[std::make_pair(70, 50)].size(), 5u);
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(pagesOf[std::make_pair(40 + k, 30)], std::set<int>({k})) << "photo " << k;
    // pdfimages lists a shared object once per page that draws it; its
    // object number is the same.
    const QStringList lines =
        QString::fromUtf8(ex::run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})).split('\n');
    QSet<QString> logoObjects;
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 10 && f[3] == QLatin1String("70") && f[4] == QLatin1String("50")) logoObjects.insert(f[10]);
    }
    EXPECT_EQ(logoObjects.size(), 1) << lines.join('\n').toStdString();
    QString jpegOnPage5;
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(' ');
        if (f.size() > 8 && f[0] == QLatin1String("5") && f[3] == QLatin1String("45")) jpegOnPage5 = f[8];
    }
    EXPECT_EQ(jpegOnPage5, QStringLiteral("jpeg")) << lines.join('\n').toStdString();
    const QStringList fonts =
        QString::fromUtf8(ex::run(QStringLiteral("pdffonts"), {pdf})).split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(fonts.size(), 1) << fonts.join('\n').toStdString();

    // On A4 the boxes are packed as the print packs them.
    o.page = ExportPage::A4;
    const SheetPlan plan = seriesPlan(*d.doc, 600);
    ASSERT_TRUE(exportSeriesToFile(*d.doc, *rows, o, pdf, error)) << error.toStdString();
    const int pages = (5 + plan.copies() - 1) / plan.copies();
    const QString packed = QString::fromUtf8(ex::run(QStringLiteral("pdfinfo"), {pdf}));
    EXPECT_TRUE(packed.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))))
        << packed.toStdString();
    const QString all = QString::fromUtf8(ex::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(all.count(QStringLiteral("Gast%1").arg(k)), 1) << all.toStdString();

    // An SVG holds one box: refused, and nothing written.
    o.format = ExportFormat::Svg;
    const QString svg = d.dir.filePath(QStringLiteral("serie.svg"));
    EXPECT_FALSE(exportSeriesToFile(*d.doc, *rows, o, svg, error));
    EXPECT_EQ(error, seriesSvgRefusedText());
    EXPECT_FALSE(QFile::exists(svg));
}
