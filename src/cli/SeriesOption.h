#pragma once
// --data DATEI and --rows A-B: the rows a verb makes boxes of. Without
// --data a design with linked data uses its link.

#include "model/SeriesRows.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <memory>

struct CliContext;
class Prompter;

QCommandLineOption seriesDataOption();
QCommandLineOption seriesRowsOption();
// --row N of render and view: the one row the box shows.
QCommandLineOption seriesRowOption();

// The data and rows of the call for design. Returns CliOk with *rows set (or
// null when there is neither --data nor a link, and no --rows), else the exit
// code after the message: CliUsage for a wrong --rows/--row, CliFailed for
// data that cannot be read or does not fit the design.
int openSeriesRows(const QCommandLineParser& args, const CliContext& ctx, const BoxDocument& design,
                   std::unique_ptr<SeriesRows>* rows);

// render and view: with --row N, --data or linked data, doc becomes the
// design filled in with that row (the first without --row). CliOk or the
// exit code after the message.
int fillSeriesRow(const QCommandLineParser& args, CliContext& ctx, BoxDocument& doc);

// Opens the box of a verb that takes --data: with data given in the call,
// picture names with fields wait for the rows instead of being missing files.
bool openBoxForSeries(const QCommandLineParser& args, BoxDocument& doc, const QString& path, Prompter& prompter);

// After a job of boxes: the pictures the data named that some boxes went
// without, said and counted as faults (--strict then fails the call).
void tellSeriesPictureProblems(const SeriesRows& rows, CliContext& ctx);
