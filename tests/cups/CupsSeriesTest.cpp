// A box per row of linked data reaches the print server as one job of as
// many sheets as the rows need; a series print the user stops sends nothing.
#include "CancelPresser.h"
#include "PrivateCupsServer.h"

#include "app/PrintController.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"
#include "render/Mapping.h"
#include "sheet/SheetPlan.h"
#include "widgets/WorkProgress.h"

#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Guests = 9;

// The cube with one text whose field takes each guest's name.
struct GuestDesign {
    QTemporaryDir dir;
    BoxDocument doc;

    GuestDesign() {
        newDocument(doc);
        Tobs& name = doc.Objects[1];
        name.Kind = Text;
        SetDevLeft(name, 600, doc.Zoom, doc.ScreenDivisor);
        SetDevTop(name, 420, doc.Zoom, doc.ScreenDivisor);
        SetDevWidth(name, 90, doc.Zoom, doc.ScreenDivisor);
        SetDevHeight(name, 20, doc.Zoom, doc.ScreenDivisor);
        name.Content = QStringLiteral("Für {Name}");
        name.FontName = QStringLiteral("Liberation Sans");
        name.FontSize = 10;
        QByteArray csv = "Name;Tisch\r\n";
        for (int g = 1; g <= Guests; ++g) csv += "Gast" + QByteArray::number(g) + ";" + QByteArray::number(g % 3) + "\r\n";
        const QString data = dir.filePath(QStringLiteral("gaeste.csv"));
        QFile f(data);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(csv);
        f.close();
        doc.Series.path = data;
        doc.Series.separator = SeriesSeparator::Semicolon;
        doc.markChanged();
    }
};

bool queueIsEmpty(const PrivateCupsServer& cups) {
    QProcess queue;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), cups.socket());
    queue.setProcessEnvironment(env);
    queue.start(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    return queue.waitForFinished(30000) && queue.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

TEST(CupsPrinting, EveryRowInOneJobAndAStoppedSeriesSendsNothing) {
    PrivateCupsServer cups;
    ASSERT_TRUE(cups.startWith({{QStringLiteral("drucker"), PrivateCupsServer::Queue()}})) << cups.error().toStdString();
    ASSERT_EQ(QPrinterInfo::availablePrinterNames().size(), 1);

    GuestDesign design;
    RecordingPrompter prompter;
    PrintController print(design.doc, prompter);
    ASSERT_FALSE(print.printsToPdf());
    ASSERT_EQ(print.seriesRowCount(), Guests);
    print.Series.mode = SeriesChoice::All;
    ASSERT_TRUE(print.seriesPrint());
    const int perSheet = print.previewPlan(100).copies();
    ASSERT_GE(perSheet, 1);
    const int sheets = (Guests + perSheet - 1) / perSheet;
    ASSERT_GT(sheets, 1) << "the job should span several sheets";

    // Stopped while the sheets are rendered: no job, nothing queued.
    const int before = WorkProgress::showAfterMs();
    WorkProgress::setShowAfterMs(0);
    CancelPresser presser;
    presser.arm();
    EXPECT_FALSE(print.PrintClick(100, 96));
    WorkProgress::setShowAfterMs(before);
    EXPECT_TRUE(presser.pressed);
    QTest::qWait(3000);
    EXPECT_FALSE(QFile::exists(cups.outputFile(QStringLiteral("drucker")))) << cups.log().toStdString();
    EXPECT_TRUE(queueIsEmpty(cups)) << "a job was queued";

    // Printed through: one job holding every sheet.
    prompter.messages.clear();
    ASSERT_TRUE(print.PrintClick(100, 96));
    const QByteArray job = cups.waitForJob(QStringLiteral("drucker"));
    ASSERT_FALSE(job.isEmpty()) << "no job arrived\n" << cups.log().toStdString();
    EXPECT_EQ(QString::fromLatin1(job).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), sheets);
    EXPECT_TRUE(prompter.messages.empty());
}
