#pragma once
// The --size value of a cuboid and the rule that a cuboid keeps its measures.

#include "model/BoxForm.h"

#include <QCommandLineParser>
#include <QString>

struct BoxDocument;
struct CliContext;

// "64x21x89", "64,0 × 21,5 × 89" (decimal point or comma, x or ×): a cuboid
// with each measure rounded to 0,1 mm and within 10..400 mm. False with a
// German reason otherwise.
bool parseBoxSize(const QString& text, BoxForm& form, QString& why);

// A cuboid is at its measures: --percent on one is a wrong call. Reports it
// and returns false.
bool percentAllowed(const QCommandLineParser& args, const BoxDocument& doc, const CliContext& ctx);
// Says on stderr, as a warning, when the net of doc at percent is larger than
// its item: every picture of it is cut off there. The run goes on.
void warnIfNetDoesNotFit(const BoxDocument& doc, int percent, const QString& path, const CliContext& ctx);
inline const QString CuboidHasFixedSizeText = QStringLiteral("Ein Quader hat feste Maße.");
