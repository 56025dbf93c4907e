// Printing through a real print server: the printer chosen in the setup
// gets the job, and the job, rendered by an independent PDF renderer at its
// own resolution, shows the net where the geometry puts it.
#include "PrivateCupsServer.h"

#include "app/PrintController.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"

#include <QImage>
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

}  // namespace

TEST(CupsPrinting, TheChosenSecondPrinterGetsTheSheetWithTheNetInPlace) {
    for (const char* tool : {"pdftoppm", "pdfinfo"})
        ASSERT_FALSE(QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) << tool << " missing";
    PrivateCupsServer cups;
    ASSERT_TRUE(cups.start()) << cups.error().toStdString();
    ASSERT_TRUE(cups.addFileQueue(QStringLiteral("erster"))) << cups.error().toStdString();
    ASSERT_TRUE(cups.addFileQueue(QStringLiteral("zweiter"))) << cups.error().toStdString();
    ASSERT_TRUE(cups.setDefault(QStringLiteral("erster"))) << cups.error().toStdString();
    // Before the first printer object: the print support asks this server.
    qputenv("CUPS_SERVER", QFile::encodeName(cups.socket()));
    ASSERT_EQ(QPrinterInfo::availablePrinterNames().size(), 2);

    BoxDocument doc;
    newDocument(doc);
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
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
    QByteArray job;
    const bool complete = QTest::qWaitFor(
        [&] {
            QFile f(arrived);
            job = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            return job.startsWith("%PDF") && job.trimmed().endsWith("%%EOF");
        },
        60000);
    ASSERT_TRUE(complete) << "no job arrived\n" << cups.log().toStdString();
    EXPECT_FALSE(QFile::exists(cups.outputFile(QStringLiteral("erster"))));
    // One copy: a single page in the file.
    EXPECT_EQ(QString::fromLatin1(job).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 1);

    // A4 landscape, as the program's printer was set up.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {arrived});
    ASSERT_TRUE(info.waitForFinished(30000) && info.exitCode() == 0);
    const QString pageInfo = QString::fromLocal8Bit(info.readAllStandardOutput());
    EXPECT_TRUE(pageInfo.contains(QRegularExpression(QStringLiteral("Page size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)? pts"))))
        << pageInfo.toStdString();

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
