// faltarillon-cli resave EIN.box AUS.box: read and write back.

#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliPrompter.h"
#include "model/BoxFile.h"

namespace {

int runResave(const QCommandLineParser& args, CliContext& ctx) {
    CliPrompter prompter(ctx);
    BoxDocument doc;
    // Missing pictures are reported and do not stop the resave.
    if (!OpenItNow(doc, args.positionalArguments().at(0), prompter)) return CliFailed;
    warnIfNetDoesNotFit(doc, 100, args.positionalArguments().at(0), ctx);
    return Saveit(doc, args.positionalArguments().at(1), prompter) ? CliOk : CliFailed;
}

const CliCommandRegistrar registrar(QStringLiteral("resave"),
                                    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.box")},
                                               QStringLiteral("liest eine Box und schreibt sie unverändert wieder"),
                                               {},
                                               runResave});

}  // namespace
