// Jobs stopped by their progress callback: the vector export, the cut file
// and the sheet's PDF leave no file and an old one byte for byte as it was,
// with no temporary file beside it; a sheet rendered ahead for the printer
// comes back empty; without a callback each runs to its end.
#include "RenderTestUtil.h"

#include "base/Progress.h"
#include "export/VectorExport.h"
#include "image/RenderThreads.h"
#include "render/DrawVCart.h"
#include "sheet/CutSheet.h"
#include "sheet/PackedSheet.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetRenderer.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Enough figures that a pass asks a few times.
std::unique_ptr<BoxDocument> busyDesign() {
    auto doc = rt::document();
    for (int i = 0; i < 600; ++i) {
        Tobs& o = rt::place(*doc, i + 1, Figure, 560 + (i % 40) * 12, 400 + (i / 40) * 12, 10, 10);
        o.Shape = i % 2 ? shEllipse : shRectangle;
        o.FillModeOrShadowColor = fmFilled;
        o.Color = 0x3060C0 + i;
    }
    return doc;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Says stop at the n-th question; counts them.
struct StopAt {
    int n;
    int asked = 0;
    ProgressCallback callback() {
        return [this](int) { return ++asked < n; };
    }
};

SheetPlan a4Plan(const BoxDocument& doc, int dpi = 150) {
    return planSheet(doc.Layout, NetSource::of(doc, 100), SheetOptions(),
                     pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), dpi));
}

SheetPdfPage pdfPage(const SheetPlan& plan) {
    SheetPdfPage page;
    page.pagePoints = QSizeF(842, 595);
    page.origin = plan.frame.printable.topLeft();
    page.area = plan.frame.printable.size();
    page.dpiX = plan.frame.dpiX;
    page.dpiY = plan.frame.dpiY;
    page.plan = &plan;
    return page;
}

// Every name in the folder but the ones given: left-over temporary files.
QStringList othersIn(const QTemporaryDir& dir, const QStringList& expected) {
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : expected) names.removeAll(e);
    return names;
}

}  // namespace

TEST(StoppedExport, PdfAndSvgLeaveNoFileAndTheOldOneUntouched) {
    QTemporaryDir dir;
    auto doc = busyDesign();
    for (ExportFormat format : {ExportFormat::Pdf, ExportFormat::Svg}) {
        const bool svg = format == ExportFormat::Svg;
        const QString fresh = dir.filePath(svg ? "neu.svg" : "neu.pdf");
        const QString old = dir.filePath(svg ? "alt.svg" : "alt.pdf");
        const QByteArray oldBytes("die alte Datei\n");
        {
            QFile f(old);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(oldBytes);
        }
        for (int stopAt : {1, 2, 4}) {
            StopAt stop{stopAt};
            ExportOptions o;
            o.format = format;
            o.progress = stop.callback();
            QString error;
            EXPECT_FALSE(exportToFile(*doc, o, fresh, error)) << stopAt;
            EXPECT_EQ(error, stoppedText());
            EXPECT_EQ(stop.asked, stopAt);
            EXPECT_FALSE(QFile::exists(fresh));
            StopAt again{stopAt};
            o.progress = again.callback();
            EXPECT_FALSE(exportToFile(*doc, o, old, error));
            EXPECT_EQ(readAll(old), oldBytes);
        }
        // (The PDF round's own file stays for the SVG round.)
        EXPECT_EQ(othersIn(dir, {"alt.svg", "alt.pdf", "neu.pdf"}), QStringList());

        // A callback that goes on, and none at all: the file is written.
        int asked = 0;
        ExportOptions o;
        o.format = format;
        o.progress = [&](int) { return ++asked > 0; };
        QString error;
        EXPECT_TRUE(exportToFile(*doc, o, fresh, error)) << error.toStdString();
        EXPECT_GE(asked, 6);   // the pass's own questions and the file's stages
        o.progress = {};
        EXPECT_TRUE(exportToFile(*doc, o, old, error)) << error.toStdString();
        EXPECT_TRUE(readAll(old).startsWith(svg ? "<?xml" : "%PDF"));
    }
}

TEST(StoppedCutFile, SvgAndDxfLeaveTheOldFileAndNoScratchFile) {
    QTemporaryDir dir;
    auto doc = rt::document();
    SheetOptions options;
    options.fill = true;
    options.regMarks = true;
    CutSheet cut = cutSheetFor(planSheet(doc->Layout, NetSource::of(*doc, 20), options,
                                         pageFrameOf(pdfPrinterPageLayout(PaperFormat::A4), 600)));
    ASSERT_GT(cut.cuts.size() + cut.folds.size(), 64u);
    for (const char* name : {"schnitt.svg", "schnitt.dxf"}) {
        const QString path = dir.filePath(name);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("alt");
        }
        StopAt stop{2};
        cut.progress = stop.callback();
        QString error;
        EXPECT_FALSE(writeCutFile(cut, path, &error)) << name;
        EXPECT_EQ(error, stoppedText());
        EXPECT_EQ(stop.asked, 2);
        EXPECT_EQ(readAll(path), QByteArray("alt"));
        EXPECT_EQ(othersIn(dir, {"schnitt.svg", "schnitt.dxf"}), QStringList());

        int asked = 0;
        cut.progress = [&](int) { return ++asked > 0; };
        EXPECT_TRUE(writeCutFile(cut, path, &error)) << error.toStdString();
        EXPECT_GE(asked, 2);
        EXPECT_NE(readAll(path), QByteArray("alt"));
    }
}

TEST(StoppedSheet, PdfFileIsNotWrittenOnAnyThreadCount) {
    QTemporaryDir dir;
    auto doc = busyDesign();
    for (int threads : {1, 2, 3}) {
        const RenderThreadsOverride force(threads);
        SheetPlan plan = a4Plan(*doc);
        // The first question starts the job; the second comes from this
        // thread's first band, or when the bands are done.
        StopAt stop{2};
        plan.progress = stop.callback();
        const QString path = dir.filePath("bogen.pdf");
        const SaveResult saved = writeSheetPdfFile(path, *doc, 100, pdfPage(plan));
        EXPECT_FALSE(saved.ok) << threads;
        EXPECT_FALSE(QFile::exists(path)) << threads;
        EXPECT_EQ(stop.asked, 2) << threads;
        EXPECT_FALSE(Painting());

        // Going on: the same plan gives the file.
        int asked = 0;
        plan.progress = [&](int) { return ++asked > 0; };
        EXPECT_TRUE(writeSheetPdfFile(path, *doc, 100, pdfPage(plan)).ok);
        EXPECT_TRUE(readAll(path).startsWith("%PDF"));
        EXPECT_GE(asked, 2);
        QFile::remove(path);
    }
}

TEST(PackedSheet, HoldsThePrintedPixelsAndComesBackEmptyWhenStopped) {
    auto doc = busyDesign();
    SheetPlan plan = a4Plan(*doc, 100);
    const QSize page = plan.frame.printable.size();
    // Drawn the way a print sends it: the same pixels as printSheet's.
    QImage direct(page, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter p(&direct);
        ASSERT_TRUE(printSheet(p, *doc, plan, 96, 100));
    }
    PackedSheet sheet;
    ASSERT_TRUE(packSheet(*doc, plan, sheet, 96, 100));
    EXPECT_EQ(sheet.width, page.width());
    EXPECT_FALSE(sheet.bands.empty());
    QImage unpacked(page, QImage::Format_RGB32);
    unpacked.fill(Qt::white);
    {
        QPainter p(&unpacked);
        ASSERT_TRUE(drawPackedSheet(p, sheet));
    }
    EXPECT_EQ(unpacked, direct);

    StopAt stop{2};
    plan.progress = stop.callback();
    EXPECT_FALSE(packSheet(*doc, plan, sheet, 96, 100));
    EXPECT_TRUE(sheet.bands.empty());
    EXPECT_FALSE(Painting());
    // A stopped print job: no band reaches the device after the stop.
    StopAt printing{1};
    plan.progress = printing.callback();
    QImage untouched(page, QImage::Format_RGB32);
    untouched.fill(Qt::white);
    {
        QPainter p(&untouched);
        EXPECT_FALSE(printSheet(p, *doc, plan, 96, 100));
    }
    EXPECT_EQ(rt::boundsNot(untouched, rt::White), QRect());
}
