// faltarillon-cli new AUS.box [--dpi N]: the document New creates.

#include "cli/CliCommand.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/StreamPrompter.h"

namespace {

int runNew(const QCommandLineParser& args, CliContext& ctx) {
    int dpi = 96;
    // Above 10000 dpi the divisor 2 x (20000 div dpi) would be 0.
    if (!ctx.intOption(args, QStringLiteral("dpi"), 1, 10000, dpi)) return CliUsage;
    BoxDocument doc;
    initStartupDocument(doc, dpi);
    newDocument(doc);
    StreamPrompter prompter(ctx.err);
    return Saveit(doc, args.positionalArguments().at(0), prompter) ? CliOk : CliFailed;
}

const CliCommandRegistrar registrar(
    QStringLiteral("new"),
    CliCommand{{QStringLiteral("AUS.box")},
               QStringLiteral("schreibt die leere Box, die \"Neu\" anlegt"),
               {{QStringLiteral("dpi"),
                 QStringLiteral("Bildschirmauflösung, aus der der Maßstab des Editors folgt (1 bis 10000, sonst 96)"),
                 QStringLiteral("N")}},
               runNew});

}  // namespace
