// A print the user stops never reaches the print server: the sheet is
// rendered before the job begins, so "Abbrechen" leaves no job at all, and
// the next print goes through as usual.
#include "CancelPresser.h"
#include "PrivateCupsServer.h"

#include "app/PrintController.h"
#include "model/BoxDocument.h"
#include "model/NewDocument.h"
#include "model/Prompter.h"
#include "render/Mapping.h"
#include "widgets/WorkProgress.h"

#include <QApplication>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(CupsPrinting, AStoppedPrintSendsNoJobAndTheNextOneArrives) {
    PrivateCupsServer cups;
    ASSERT_TRUE(cups.startWith({{QStringLiteral("drucker"), PrivateCupsServer::Queue()}})) << cups.error().toStdString();
    ASSERT_EQ(QPrinterInfo::availablePrinterNames().size(), 1);

    BoxDocument doc;
    newDocument(doc);
    for (int i = 0; i < 3000; ++i) {
        Tobs& o = doc.Objects[doc.Objects.takeFreeSlot()];
        o.Kind = Figure;
        o.Shape = shEllipse;
        o.Color = 0x102030 + i;
        o.FontName = QStringLiteral("Times New Roman");
        SetDevLeft(o, 560 + (i % 60) * 8, doc.Zoom, doc.ScreenDivisor);
        SetDevTop(o, 400 + (i / 60) % 40 * 8, doc.Zoom, doc.ScreenDivisor);
        SetDevWidth(o, 7, doc.Zoom, doc.ScreenDivisor);
        SetDevHeight(o, 7, doc.Zoom, doc.ScreenDivisor);
    }
    RecordingPrompter prompter;
    PrintController print(doc, prompter);
    ASSERT_FALSE(print.printsToPdf());

    const int before = WorkProgress::showAfterMs();
    WorkProgress::setShowAfterMs(0);
    CancelPresser presser;
    presser.arm();
    EXPECT_FALSE(print.PrintClick(100, 96));
    WorkProgress::setShowAfterMs(before);
    EXPECT_TRUE(presser.pressed);
    EXPECT_EQ(presser.title, QStringLiteral("Drucken"));
    EXPECT_TRUE(prompter.messages.empty());

    // Given time to arrive, nothing does; the scheduler holds no job either.
    const QString out = cups.outputFile(QStringLiteral("drucker"));
    QTest::qWait(3000);
    EXPECT_FALSE(QFile::exists(out)) << cups.log().toStdString();
    QProcess queue;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), cups.socket());
    queue.setProcessEnvironment(env);
    queue.start(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o")});
    ASSERT_TRUE(queue.waitForFinished(30000));
    EXPECT_EQ(queue.readAllStandardOutput().trimmed(), QByteArray()) << "a job was queued";

    ASSERT_TRUE(print.PrintClick(100, 96));
    EXPECT_FALSE(cups.waitForJob(QStringLiteral("drucker")).isEmpty()) << "no job arrived\n" << cups.log().toStdString();
}
