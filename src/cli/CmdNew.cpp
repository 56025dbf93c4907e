// faltarillon-cli new OUT.box [--dpi N]: the document New creates.

#include "cli/CliCommand.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/StreamPrompter.h"

namespace {

int runNew(const QStringList& args, CliContext& ctx) {
    QString out;
    int dpi = 96;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--dpi")) {
            bool ok = false;
            dpi = i + 1 < args.size() ? args.at(i + 1).toInt(&ok) : 0;
            // Above 10000 dpi the divisor 2 x (20000 div dpi) would be 0.
            if (!ok || dpi < 1 || dpi > 10000) {
                ctx.err << "Ungültige Auflösung für --dpi (erlaubt sind 1 bis 10000).\n";
                return 1;
            }
            ++i;
        } else if (out.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            out = a;
        } else {
            ctx.err << "Unbekanntes Argument: " << a << "\n";
            return 1;
        }
    }
    if (out.isEmpty()) {
        ctx.err << "Aufruf: faltarillon-cli new OUT.box [--dpi N]\n";
        return 1;
    }
    BoxDocument doc;
    initStartupDocument(doc, dpi);
    newDocument(doc);
    StreamPrompter prompter(ctx.err);
    return Saveit(doc, out, prompter) ? 0 : 1;
}

const CliCommandRegistrar registrar(QStringLiteral("new"), QStringLiteral("new OUT.box [--dpi N]"),
                                    QStringLiteral("schreibt die leere Box, die \"Neu\" anlegt (Bildschirm N dpi, "
                                                   "sonst 96)"),
                                    runNew);

}  // namespace
