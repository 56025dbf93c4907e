// export: the box as a vector file (PDF or SVG) with the design and the
// net's cut and fold lines as layers.

#include "cli/CliArguments.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliPrompter.h"
#include "cli/SeriesOption.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "export/VectorExport.h"

#include <QFileInfo>

namespace {

QString parseLayers(const QString& list, ExportOptions& o) {
    o.art = o.net = o.folds = o.cuts = false;
    for (const QString& raw : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = raw.trimmed().toLower();
        if (name == QLatin1String("art")) o.art = true;
        else if (name == QLatin1String("net")) o.net = true;
        else if (name == QLatin1String("fold")) o.folds = true;
        else if (name == QLatin1String("cut")) o.cuts = true;
        else return QStringLiteral("unbekannte Ebene \"%1\" (art, net, fold, cut)").arg(raw);
    }
    if (!o.art && !o.net && !o.folds && !o.cuts) return QStringLiteral("--layers erwartet art, net, fold und/oder cut");
    return QString();
}

// False after reporting what is wrong with the call.
bool readOptions(const QCommandLineParser& args, const CliContext& ctx, ExportOptions& o, QString& input,
                 QString& output) {
    const auto wrong = [&](const QString& message) {
        ctx.usageError(message + QLatin1Char('.'));
        return false;
    };
    if (!ctx.intOption(args, QStringLiteral("percent"), 10, 100, o.percent)) return false;
    if (args.isSet(QStringLiteral("page")) && !parseExportPage(args.value(QStringLiteral("page")), o.page))
        return wrong(QStringLiteral("--page erwartet A4, A3, Letter oder box"));
    if (!ctx.numberOption(args, QStringLiteral("bleed"), 0, 5, o.bleedMm, QStringLiteral("Millimeter"))) return false;
    o.bleed = args.isSet(QStringLiteral("bleed"));
    if (args.isSet(QStringLiteral("layers"))) {
        const QString e = parseLayers(args.value(QStringLiteral("layers")), o);
        if (!e.isEmpty()) return wrong(e);
    }
    o.textAsPaths = args.isSet(QStringLiteral("text-as-paths"));
    input = args.positionalArguments().at(0);
    output = args.positionalArguments().at(1);
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix == QLatin1String("pdf")) o.format = ExportFormat::Pdf;
    else if (suffix == QLatin1String("svg")) o.format = ExportFormat::Svg;
    else return wrong(QStringLiteral("Ausgabe muss .pdf oder .svg sein"));
    return true;
}

int runExport(const QCommandLineParser& args, CliContext& ctx) {
    ExportOptions o;
    QString input, output;
    if (!readOptions(args, ctx, o, input, output)) return CliUsage;
    BoxDocument doc;
    CliPrompter prompter(ctx);
    // Missing images are reported by the reader and left empty, as on the print.
    if (!openBoxForSeries(args, doc, input, prompter)) return CliFailed;
    if (!percentAllowed(args, doc, ctx)) return CliUsage;
    std::unique_ptr<SeriesRows> rows;
    if (const int code = openSeriesRows(args, ctx, doc, &rows); code != CliOk) return code;
    warnIfNetDoesNotFit(doc, o.percent, input, ctx);
    QString message, notice;
    if (rows) {
        if (o.format == ExportFormat::Svg) return ctx.usageError(seriesSvgRefusedText());
        if (!exportSeriesToFile(doc, *rows, o, output, message)) {
            // A row the data could not give says so itself, naming the data file.
            if (!message.startsWith(rows->dataPath())) return ctx.writeError(output, message);
            ctx.message(message);
            return CliFailed;
        }
        tellSeriesPictureProblems(*rows, ctx);
        return CliOk;
    }
    if (!exportToFile(doc, o, output, message, &notice))
        return ctx.writeError(output, message);
    if (!notice.isEmpty()) ctx.message(notice);
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("export"),
    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.pdf|AUS.svg")},
               QStringLiteral("exportiert die Box als Vektordatei: Motiv, Falz- und Schnittlinien als Ebenen"),
               {{QStringLiteral("percent"), QStringLiteral("Boxgröße in Prozent (10 bis 100, sonst 100)"),
                 QStringLiteral("P")},
                {QStringLiteral("page"), QStringLiteral("Seite quer oder nur die Box (sonst A4)"),
                 QStringLiteral("A4|A3|Letter|box")},
                {QStringLiteral("bleed"), QStringLiteral("Beschnittzugabe in Millimetern (0 bis 5, sonst keine)"),
                 QStringLiteral("MM")},
                {QStringLiteral("layers"), QStringLiteral("Ebenen, durch Kommas getrennt (sonst art,fold,cut)"),
                 QStringLiteral("art,net,fold,cut")},
                {QStringLiteral("text-as-paths"), QStringLiteral("Texte als Pfade statt als Text")},
                seriesDataOption(),
                seriesRowsOption(),
                cliStrictOption()},
               runExport});

}  // namespace
