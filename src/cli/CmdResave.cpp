// faltarillon-cli resave IN.box OUT.box: read and write back.

#include "cli/CliCommand.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"

namespace {

int runResave(const QStringList& args, CliContext& ctx) {
    if (args.size() != 2) {
        ctx.err << "Aufruf: faltarillon-cli resave IN.box OUT.box\n";
        return 1;
    }
    StreamPrompter prompter(ctx.err);
    BoxDocument doc;
    // Missing pictures are reported and do not stop the resave.
    if (!OpenItNow(doc, args.at(0), prompter)) return 1;
    return Saveit(doc, args.at(1), prompter) ? 0 : 1;
}

const CliCommandRegistrar registrar(QStringLiteral("resave"), QStringLiteral("resave IN.box OUT.box"),
                                    QStringLiteral("liest eine Box und schreibt sie unverändert wieder"),
                                    runResave);

}  // namespace
