#include "cli/SeriesOption.h"

#include "cli/CliCommand.h"
#include "model/BoxFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString dataName() { return QStringLiteral("data"); }
QString rowsName() { return QStringLiteral("rows"); }
QString rowName() { return QStringLiteral("row"); }
}  // namespace

QCommandLineOption seriesDataOption() {
    return QCommandLineOption(dataName(),
                              QStringLiteral("Seriendaten (CSV oder TSV): eine Box je Datensatz (sonst die mit der "
                                             "Box verknüpften)"),
                              QStringLiteral("DATEI.csv"));
}

QCommandLineOption seriesRowsOption() {
    return QCommandLineOption(rowsName(), QStringLiteral("nur die Datensätze A bis B (ab 1 gezählt; ohne A ab dem ersten, ohne B bis zum letzten)"),
                              QStringLiteral("A-B"));
}

QCommandLineOption seriesRowOption() {
    return QCommandLineOption(rowName(), QStringLiteral("die Box mit Datensatz N der Seriendaten (ab 1)"),
                              QStringLiteral("N"));
}

int openSeriesRows(const QCommandLineParser& args, const CliContext& ctx, const BoxDocument& design,
                   std::unique_ptr<SeriesRows>* rows) {
    rows->reset();
    // Verbs register either --rows or --row; a parser asked about an option
    // it does not know warns, so only the options given are looked at.
    const QStringList known = args.optionNames();
    RowRange range;
    QString why;
    const bool rowsGiven = known.contains(rowsName()) && args.isSet(rowsName());
    const bool rowGiven = known.contains(rowName()) && args.isSet(rowName());
    if (rowsGiven && !parseRowRange(args.value(rowsName()), &range, &why))
        return ctx.usageError(QStringLiteral("--rows: %1.").arg(why));
    if (rowGiven) {
        bool ok = false;
        const int n = args.value(rowName()).trimmed().toInt(&ok);
        if (!ok || n < 1) return ctx.usageError(QStringLiteral("--row erwartet eine Zahl ab 1."));
        range.first = range.last = n;
    }
    SeriesLink link = design.Series;
    if (known.contains(dataName()) && args.isSet(dataName())) {
        // An empty value (an unset shell variable, say) must not quietly
        // stand for no data.
        if (args.value(dataName()).trimmed().isEmpty())
            return ctx.usageError(QStringLiteral("--data braucht einen Dateinamen."));
        link = SeriesLink();
        link.path = QFileInfo(args.value(dataName())).absoluteFilePath();
        SeriesTable::detect(link.path, &link.separator, &link.encoding);
    }
    if (!link.linked()) {
        if (rowsGiven || rowGiven)
            return ctx.usageError(QStringLiteral("--%1 braucht Seriendaten (--data oder mit der Box verknüpfte).")
                                      .arg(rowsGiven ? rowsName() : rowName()));
        return CliOk;
    }
    *rows = SeriesRows::open(design, link, range, &why);
    if (!*rows) {
        ctx.message(why);
        return CliFailed;
    }
    return CliOk;
}

bool openBoxForSeries(const QCommandLineParser& args, BoxDocument& doc, const QString& path, Prompter& prompter) {
    const bool dataGiven = args.optionNames().contains(dataName()) && args.isSet(dataName());
    return dataGiven ? OpenWithData(doc, path, prompter) : OpenItNow(doc, path, prompter);
}

void tellSeriesPictureProblems(const SeriesRows& rows, CliContext& ctx) {
    const QString summary = rows.pictureSummary();
    if (summary.isEmpty()) return;
    ctx.message(summary);
    ctx.faults += rows.problemCount();
}

int fillSeriesRow(const QCommandLineParser& args, CliContext& ctx, BoxDocument& doc) {
    std::unique_ptr<SeriesRows> rows;
    if (const int code = openSeriesRows(args, ctx, doc, &rows); code != CliOk || !rows) return code;
    BoxDocument filled;
    QString why;
    if (!rows->document(0, &filled, &why)) {
        ctx.message(why);
        return CliFailed;
    }
    doc = std::move(filled);
    tellSeriesPictureProblems(*rows, ctx);
    return CliOk;
}
