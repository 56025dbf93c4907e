// sheet: the printed sheet with its paper, copies, bleed and registration
// marks as PNG or PDF, exactly as printing to the PDF printer lays it out,
// or its cut file (SVG, DXF) for a cutting machine.

#include "cli/CliArguments.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliMemory.h"
#include "cli/CliPrompter.h"
#include "cli/NetLinesOption.h"
#include "cli/SeriesOption.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "sheet/CutSheet.h"
#include "sheet/SeriesSheets.h"
#include "sheet/SheetFitText.h"
#include "sheet/SheetPdfWriter.h"
#include "sheet/SheetPngWriter.h"
#include "sheet/SheetRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

namespace {

// The PDF printer's resolution: the print and its cut file share its pixels.
constexpr int SheetDpi = 600;

struct SheetCliOptions {
    QString input;
    QString output;
    PaperFormat paper = PaperFormat::A4;
    int percent = 100;
    SheetOptions sheet;
};

// False after reporting what is wrong with the call.
bool readOptions(const QCommandLineParser& args, const CliContext& ctx, SheetCliOptions& o) {
    const auto wrong = [&](const QString& message) {
        ctx.usageError(message + QLatin1Char('.'));
        return false;
    };
    if (!ctx.intOption(args, QStringLiteral("percent"), 10, 100, o.percent)) return false;
    if (args.isSet(QStringLiteral("paper")) && !paperFromName(args.value(QStringLiteral("paper")), o.paper))
        return wrong(QStringLiteral("--paper erwartet A4, A3 oder Letter"));
    o.sheet.fill = args.isSet(QStringLiteral("fill"));
    const QString mm = QStringLiteral("Millimeter");
    if (!ctx.numberOption(args, QStringLiteral("bleed"), SheetOptions::MinBleedMm, SheetOptions::MaxBleedMm,
                          o.sheet.bleedMm, mm))
        return false;
    o.sheet.bleed = args.isSet(QStringLiteral("bleed"));
    o.sheet.regMarks = args.isSet(QStringLiteral("regmarks"));
    if (args.isSet(QStringLiteral("inset")) && !o.sheet.regMarks)
        return wrong(QStringLiteral("--inset gilt nur mit --regmarks"));
    if (!ctx.numberOption(args, QStringLiteral("inset"), SheetOptions::MinInsetMm, SheetOptions::MaxInsetMm,
                          o.sheet.markInsetMm, mm))
        return false;
    if (!readNetLines(args, ctx, o.sheet.netLineMm)) return false;
    o.input = args.positionalArguments().at(0);
    o.output = args.positionalArguments().at(1);
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf") && suffix != QLatin1String("svg") &&
        suffix != QLatin1String("dxf"))
        return wrong(QStringLiteral("Ausgabe muss .png, .pdf, .svg oder .dxf sein"));
    return true;
}

// The whole paper, the print at its printable area's place: positions in it
// are positions on the printed sheet.
int writePng(BoxDocument& doc, const SheetPlan& plan, const QString& path, CliContext& ctx) {
    // The paper and its PNG bytes, as render counts them.
    if (!memoryAllowed(ctx, path, climemory::pictureBytes(plan.frame.paper.width(), plan.frame.paper.height()) / 4 * 7,
                       QStringLiteral("ein kleineres Papier (--paper) oder PDF")))
        return CliFailed;
    const QImage paper = renderSheetPaper(doc, plan, 96);
    if (paper.isNull()) return ctx.fileError(path, climemory::OutOfMemoryText);
    const SaveResult saved = writeSheetPng(paper, path, SheetDpi);
    if (!saved) return ctx.writeError(path, saved.reason);
    return CliOk;
}

// The page of the plan's paper, as the program's print to a PDF file has it.
SheetPdfPage pdfPage(const SheetPlan& plan, const QPageLayout& layout) {
    SheetPdfPage page;
    page.pagePoints = exactPaperPoints(layout);
    page.origin = plan.frame.printable.topLeft();
    page.area = plan.frame.printable.size();
    page.dpiX = plan.frame.dpiX;
    page.dpiY = plan.frame.dpiY;
    page.title = sheetmsg::PrintJobTitle;
    page.creator = QStringLiteral("faltarillon-cli");
    page.plan = &plan;
    return page;
}

// The same pixels as the PDF printer's print, written by our own writer
// (bands rendered and deflated on all cores), not through a PDF painter.
int writePdf(BoxDocument& doc, const SheetPlan& plan, const QPageLayout& layout, const QString& path,
             CliContext& ctx) {
    const SheetPdfPage page = pdfPage(plan, layout);
    const SaveResult saved = writeSheetPdfFile(path, doc, 100, page, 96);
    if (!saved) return ctx.writeError(path, saved.reason);
    return CliOk;
}

// OUT.png → OUT-001.png: the sheet's number, three digits at least.
QString numberedPath(const QString& path, int sheet) {
    const QFileInfo info(path);
    const QString stem = info.completeBaseName() + QStringLiteral("-%1.").arg(sheet, 3, 10, QLatin1Char('0'));
    return info.dir().filePath(stem + info.suffix());
}

// A row the data could not give: its message names the data file and line.
int dataError(const QString& why, CliContext& ctx) {
    ctx.message(why);
    return CliFailed;
}

// A series: a box per row, the sheets filled one after the other.
int writeSeries(BoxDocument& doc, SeriesRows& rows, const SheetPlan& plan, const QPageLayout& layout,
                const QString& output, CliContext& ctx) {
    const int sheets = seriesSheetCount(rows, plan);
    ctx.out << rows.count() << " Datensätze, " << sheets << (sheets == 1 ? " Blatt" : " Blätter") << "\n";
    ctx.out.flush();
    const QString suffix = QFileInfo(output).suffix().toLower();
    QString why;
    if (suffix == QLatin1String("png")) {
        for (int s = 0; s < sheets; ++s) {
            SheetPlan sheet = plan;
            if (!fillSeriesSheet(rows, s, sheet, &why)) return dataError(why, ctx);
            if (const int failed = writePng(doc, sheet, numberedPath(output, s + 1), ctx); failed != CliOk)
                return failed;
        }
    } else if (suffix == QLatin1String("pdf")) {
        const SheetPdfPage page = pdfPage(plan, layout);
        const SaveResult saved = writeSheetPdfPagesFile(
            output, doc, page, sheets,
            [&rows](int s, SheetPlan& sheet, QString* error) { return fillSeriesSheet(rows, s, sheet, error); }, &why,
            96);
        if (!why.isEmpty()) return dataError(why, ctx);
        if (!saved) return ctx.writeError(output, saved.reason);
    } else if (!writeCutFile(cutSheetFor(seriesCutPlan(rows, plan)), output, &why)) {
        // Every full sheet has the same copies: one cut file serves them all.
        return ctx.writeError(output, why);
    }
    tellSeriesPictureProblems(rows, ctx);
    return CliOk;
}

int runSheet(const QCommandLineParser& args, CliContext& ctx) {
    SheetCliOptions o;
    if (!readOptions(args, ctx, o)) return CliUsage;
    BoxDocument doc;
    CliPrompter prompter(ctx);
    if (!openBoxForSeries(args, doc, o.input, prompter)) return CliFailed;
    if (!percentAllowed(args, doc, ctx)) return CliUsage;
    std::unique_ptr<SeriesRows> rows;
    if (const int code = openSeriesRows(args, ctx, doc, &rows); code != CliOk) return code;
    // A box per row: as many on each sheet as fit.
    if (rows) o.sheet.fill = true;
    const QPageLayout layout = pdfPrinterPageLayout(o.paper);
    const SheetPlan plan = planSheet(doc.Layout, NetSource::of(doc, o.percent), o.sheet, pageFrameOf(layout, SheetDpi));
    // One warning: the one about the paper says the more.
    if (!plan.fits())
        ctx.message(QStringLiteral("Warnung: Die Box ist größer als der bedruckbare Bereich %1.").arg(fitSizesText(plan)));
    else
        warnIfNetDoesNotFit(doc, o.percent, o.input, ctx);
    ctx.out << plan.columns << " x " << plan.rows << "\n";
    if (rows) return writeSeries(doc, *rows, plan, layout, o.output, ctx);
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix == QLatin1String("png")) return writePng(doc, plan, o.output, ctx);
    if (suffix == QLatin1String("pdf")) return writePdf(doc, plan, layout, o.output, ctx);
    QString why;
    if (!writeCutFile(cutSheetFor(plan), o.output, &why))
        return ctx.writeError(o.output, why);
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("sheet"),
    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.png|AUS.pdf|AUS.svg|AUS.dxf")},
               QStringLiteral("das Druckblatt auf dem PDF-Drucker (mehrere Boxen, Beschnitt, Passermarken) oder "
                              "seine Schnittdatei"),
               {{QStringLiteral("paper"), QStringLiteral("Papier, quer (sonst A4)"), QStringLiteral("A4|A3|Letter")},
                {QStringLiteral("percent"), QStringLiteral("Boxgröße in Prozent (10 bis 100, sonst 100)"),
                 QStringLiteral("P")},
                {QStringLiteral("fill"), QStringLiteral("so viele Boxen, wie auf das Blatt passen")},
                {QStringLiteral("bleed"), QStringLiteral("Beschnittzugabe in Millimetern (0 bis 5)"),
                 QStringLiteral("MM")},
                {QStringLiteral("regmarks"), QStringLiteral("Passermarken für Schneideplotter")},
                {QStringLiteral("inset"),
                 QStringLiteral("mit --regmarks: Abstand der Marken vom Papierrand (10 bis 20 mm, sonst 10)"),
                 QStringLiteral("MM")},
                netLinesOption(),
                seriesDataOption(),
                seriesRowsOption(),
                cliStrictOption()},
               runSheet});

}  // namespace
