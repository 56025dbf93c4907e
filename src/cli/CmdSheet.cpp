// sheet: the printed sheet with its paper, copies, bleed and registration
// marks as PNG or PDF, exactly as printing to the PDF printer lays it out,
// or its cut file (SVG, DXF) for a cutting machine.

#include "cli/CliCommand.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"
#include "render/CutSheet.h"
#include "render/SheetRenderer.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

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

bool parseMm(const QString& text, double low, double high, double& value) {
    bool ok = false;
    const double v = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || v < low || v > high) return false;
    value = v;
    return true;
}

QString parseOptions(const QStringList& args, SheetCliOptions& o) {
    QStringList files;
    bool insetGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&](QString& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--paper")) {
            if (!next(v) || !paperFromName(v, o.paper)) return QStringLiteral("--paper erwartet A4, A3 oder Letter");
        } else if (a == QLatin1String("--percent")) {
            bool ok = false;
            if (!next(v) || (o.percent = v.toInt(&ok), !ok) || o.percent < 10 || o.percent > 100)
                return QStringLiteral("--percent erwartet eine Zahl von 10 bis 100");
        } else if (a == QLatin1String("--fill")) {
            o.sheet.fill = true;
        } else if (a == QLatin1String("--bleed")) {
            if (!next(v) || !parseMm(v, SheetOptions::MinBleedMm, SheetOptions::MaxBleedMm, o.sheet.bleedMm))
                return QStringLiteral("--bleed erwartet Millimeter von 0 bis 5");
            o.sheet.bleed = true;
        } else if (a == QLatin1String("--regmarks")) {
            o.sheet.regMarks = true;
        } else if (a == QLatin1String("--inset")) {
            if (!next(v) || !parseMm(v, SheetOptions::MinInsetMm, SheetOptions::MaxInsetMm, o.sheet.markInsetMm))
                return QStringLiteral("--inset erwartet Millimeter von 10 bis 20");
            insetGiven = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("Unbekannte Option: ") + a;
        } else {
            files << a;
        }
    }
    if (insetGiven && !o.sheet.regMarks) return QStringLiteral("--inset gilt nur mit --regmarks");
    if (files.size() != 2) return QStringLiteral("Eingabe- und Ausgabedatei erwartet");
    o.input = files[0];
    o.output = files[1];
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf") && suffix != QLatin1String("svg") &&
        suffix != QLatin1String("dxf"))
        return QStringLiteral("Ausgabe muss .png, .pdf, .svg oder .dxf sein");
    return QString();
}

// The whole paper, the print at its printable area's place: positions in it
// are positions on the printed sheet.
int writePng(BoxDocument& doc, const SheetPlan& plan, const QString& path, CliContext& ctx) {
    const QImage print = renderSheetImage(doc, plan, 96);
    QImage paper(plan.frame.paper, QImage::Format_RGB32);
    if (print.isNull() || paper.isNull()) {
        ctx.err << "Zu wenig Speicher für das Blatt\n";
        return 1;
    }
    paper.fill(Qt::white);
    {
        QPainter p(&paper);
        p.drawImage(plan.frame.printable.topLeft(), print);
    }
    const int dpm = static_cast<int>(SheetDpi / 0.0254 + 0.5);
    paper.setDotsPerMeterX(dpm);
    paper.setDotsPerMeterY(dpm);
    if (!paper.save(path, "PNG")) {
        ctx.err << "Konnte " << path << " nicht schreiben\n";
        return 1;
    }
    return 0;
}

int writePdf(BoxDocument& doc, const SheetPlan& plan, const QPageLayout& layout, const QString& path,
             CliContext& ctx) {
    QPdfWriter writer(path);
    writer.setTitle(sheetmsg::PrintJobTitle);
    writer.setCreator(QStringLiteral("faltarillon-cli"));
    writer.setResolution(SheetDpi);
    writer.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&writer)) {
        ctx.err << "Konnte " << path << " nicht schreiben\n";
        return 1;
    }
    // The painter's origin is the printable area's corner, as on the printer.
    const bool ok = printSheet(painter, doc, plan, 96);
    painter.end();
    if (!ok) {
        ctx.err << "Das Blatt konnte nicht gedruckt werden\n";
        return 1;
    }
    return 0;
}

int runSheet(const QStringList& args, CliContext& ctx) {
    SheetCliOptions o;
    const QString error = parseOptions(args, o);
    if (!error.isEmpty()) {
        ctx.err << error << "\n" << "Aufruf: " << cliCommands()["sheet"].usage << "\n";
        return 2;
    }
    BoxDocument doc;
    StreamPrompter prompter(ctx.err);
    if (!OpenItNow(doc, o.input, prompter)) return 1;
    const QPageLayout layout = pdfPrinterPageLayout(o.paper);
    const SheetPlan plan = planSheet(doc.Layout, o.percent, o.sheet, pageFrameOf(layout, SheetDpi));
    if (!plan.fits()) {
        const QSizeF box = plan.placedSizeMm(), usable = plan.usableSizeMm();
        ctx.err << QStringLiteral("Warnung: Die Box ist größer als der bedruckbare Bereich (Box %1 × %2 mm, "
                                  "bedruckbarer Bereich %3 × %4 mm).\n")
                       .arg(box.width(), 0, 'f', 1).arg(box.height(), 0, 'f', 1)
                       .arg(usable.width(), 0, 'f', 1).arg(usable.height(), 0, 'f', 1);
    }
    ctx.out << plan.columns << " x " << plan.rows << "\n";
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix == QLatin1String("png")) return writePng(doc, plan, o.output, ctx);
    if (suffix == QLatin1String("pdf")) return writePdf(doc, plan, layout, o.output, ctx);
    QString why;
    if (!writeCutFile(cutSheetFor(plan), o.output, &why)) {
        ctx.err << why << "\n";
        return 1;
    }
    return 0;
}

const CliCommandRegistrar registrar(
    QStringLiteral("sheet"),
    QStringLiteral("sheet IN.box OUT.png|OUT.pdf|OUT.svg|OUT.dxf [--paper A4|A3|Letter] [--percent P] [--fill] "
                   "[--bleed MM] [--regmarks [--inset MM]]"),
    QStringLiteral("Das Druckblatt auf dem PDF-Drucker (Papier quer, mehrere Boxen, Beschnitt, Passermarken) "
                   "oder seine Schnittdatei"),
    runSheet);

}  // namespace
