// faltarillon-cli new AUS.box [--dpi N] [--paper A4|A3|Letter] [--form wuerfel|quader] [--size LxBxH]:
// the document New (or "Neu mit Papierformat...") creates, a cube or a cuboid.

#include "box/BoxFit.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliPrompter.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/PaperFormat.h"

namespace {

int runNew(const QCommandLineParser& args, CliContext& ctx) {
    int dpi = 96;
    // Above 10000 dpi the divisor 2 x (20000 div dpi) would be 0.
    if (!ctx.intOption(args, QStringLiteral("dpi"), 1, 10000, dpi)) return CliUsage;
    PaperFormat paper = PaperFormat::A4;
    if (args.isSet(QStringLiteral("paper")) && !paperFromName(args.value(QStringLiteral("paper")), paper))
        return ctx.usageError(QStringLiteral("--paper erwartet A4, A3 oder Letter, nicht \"%1\".")
                                  .arg(args.value(QStringLiteral("paper"))));
    BoxForm form;
    const QString formName = args.value(QStringLiteral("form")).toLower();
    const bool cuboid = formName == QStringLiteral("quader");
    if (args.isSet(QStringLiteral("form")) && !cuboid && formName != QStringLiteral("wuerfel") &&
        formName != QStringLiteral("würfel"))
        return ctx.usageError(
            QStringLiteral("--form erwartet wuerfel oder quader, nicht \"%1\".").arg(args.value(QStringLiteral("form"))));
    if (cuboid) {
        if (!args.isSet(QStringLiteral("size")))
            return ctx.usageError(QStringLiteral("Ein Quader braucht --size LxBxH (in mm)."));
        QString why;
        if (!parseBoxSize(args.value(QStringLiteral("size")), form, why)) return ctx.usageError(why);
    } else if (args.isSet(QStringLiteral("size"))) {
        return ctx.usageError(QStringLiteral("--size gilt nur mit --form quader."));
    }

    BoxDocument doc;
    initStartupDocument(doc, dpi);
    newDocument(doc, paper);
    if (cuboid) {
        const NetSource source{form, 100};
        if (!netFits(source, doc.Layout)) {
            ctx.message(netDoesNotFitText(source, doc.Layout));
            return CliFailed;
        }
        doc.Form = form;
    }
    CliPrompter prompter(ctx);
    return Saveit(doc, args.positionalArguments().at(0), prompter) ? CliOk : CliFailed;
}

const CliCommandRegistrar registrar(
    QStringLiteral("new"),
    CliCommand{{QStringLiteral("AUS.box")},
               QStringLiteral("schreibt die leere Box, die \"Neu\" anlegt (ein Würfel oder ein Quader)"),
               {{QStringLiteral("dpi"),
                 QStringLiteral("Bildschirmauflösung, aus der der Maßstab des Editors folgt (1 bis 10000, sonst 96)"),
                 QStringLiteral("N")},
                {QStringLiteral("paper"), QStringLiteral("Papierformat wie \"Neu mit Papierformat...\" (A4, A3, Letter)"),
                 QStringLiteral("A4|A3|Letter")},
                {QStringLiteral("form"), QStringLiteral("Boxform: wuerfel (Vorgabe) oder quader"),
                 QStringLiteral("wuerfel|quader")},
                {QStringLiteral("size"),
                 QStringLiteral("Maße des Quaders in mm, Länge x Breite x Höhe, je 10 bis 400 (etwa 64x21x89)"),
                 QStringLiteral("LxBxH")}},
               runNew});

}  // namespace
