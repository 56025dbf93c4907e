// faltarillon-cli new AUS.box [--dpi N] [--paper A4|A3|Letter] [--form wuerfel|quader]
// [--style verschlussdeckel|huelse|gegenlaeufig|gleichlaeufig|schnappboden|automatikboden] [--size LxBxH] [--thickness MM]
// [--no-notch]: the document New (or "Neu mit Papierformat...") creates, a cube or a cuboid of a style.

#include "box/BoxFit.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliNumber.h"
#include "cli/CliPrompter.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/PaperFormat.h"

namespace {

// "verschlussdeckel|huelse|…" and "verschlussdeckel, huelse, … oder …".
QString styleIds(const QString& separator, const QString& last) {
    QStringList ids;
    for (BoxStyle s : boxform::styles()) ids << boxform::styleId(s);
    const QString tail = ids.takeLast();
    return ids.join(separator) + last + tail;
}

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
    bool cuboid = formName == QStringLiteral("quader");
    if (args.isSet(QStringLiteral("form")) && !cuboid && formName != QStringLiteral("wuerfel") &&
        formName != QStringLiteral("würfel"))
        return ctx.usageError(
            QStringLiteral("--form erwartet wuerfel oder quader, nicht \"%1\".").arg(args.value(QStringLiteral("form"))));
    BoxStyle style = BoxStyle::Verschlussdeckel;
    const bool styled = args.isSet(QStringLiteral("style"));
    if (styled) {
        if (args.isSet(QStringLiteral("form")))
            return ctx.usageError(QStringLiteral("--style und --form schließen einander aus."));
        if (!boxform::styleFromId(args.value(QStringLiteral("style")).toLower(), style))
            return ctx.usageError(QStringLiteral("--style erwartet %1, nicht \"%2\".")
                                      .arg(styleIds(QStringLiteral(", "), QStringLiteral(" oder ")),
                                           args.value(QStringLiteral("style"))));
        // The lock-lid box without measures is the cube; every other style needs them.
        cuboid = style != BoxStyle::Verschlussdeckel || args.isSet(QStringLiteral("size"));
    }
    if (args.isSet(QStringLiteral("thickness")) && style == BoxStyle::Verschlussdeckel)
        return ctx.usageError(QStringLiteral("--thickness gilt nicht für den Verschlussdeckel."));
    const bool noNotch = args.isSet(QStringLiteral("no-notch"));
    if (noNotch && !boxform::styleHasNotch(style))
        return ctx.usageError(QStringLiteral("--no-notch gilt nur für eine Bauart mit Griffmulde, nicht für %1.")
                                  .arg(boxform::styleName(style)));
    if (cuboid) {
        if (!args.isSet(QStringLiteral("size")))
            return ctx.usageError(styled ? QStringLiteral("Die Boxform %1 braucht --size LxBxH (in mm).")
                                               .arg(boxform::styleName(style))
                                         : QStringLiteral("Ein Quader braucht --size LxBxH (in mm)."));
        QString why;
        if (!parseBoxSize(args.value(QStringLiteral("size")), form, why)) return ctx.usageError(why);
    } else if (args.isSet(QStringLiteral("size"))) {
        return ctx.usageError(QStringLiteral("--size gilt nur mit --form quader oder --style."));
    }
    if (style != BoxStyle::Verschlussdeckel) {
        double t = boxform::kDefaultThicknessMm;
        if (args.isSet(QStringLiteral("thickness"))) {
            const QString text = args.value(QStringLiteral("thickness"));
            const std::optional<double> v = readCliNumber(text.trimmed(), 0, 1e6, false);
            if (!v || !boxform::thicknessValid(*v))
                return ctx.usageError(
                    QStringLiteral("--thickness erwartet die Kartonstärke in mm, 0 bis 1 in Schritten von 0,05, "
                                   "nicht \"%1\".")
                        .arg(text));
            t = boxform::roundThickness(*v);
        }
        form = BoxForm::ofStyle(style, form.L, form.B, form.H, t, !noNotch);
        const QString problem = boxform::measuresProblem(form);
        if (!problem.isEmpty()) return ctx.usageError(problem);
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
               QStringLiteral("schreibt die leere Box, die \"Neu\" anlegt (ein Würfel, ein Quader oder eine "
                                              "andere Bauart)"),
               {{QStringLiteral("dpi"),
                 QStringLiteral("Bildschirmauflösung, aus der der Maßstab des Editors folgt (1 bis 10000, sonst 96)"),
                 QStringLiteral("N")},
                {QStringLiteral("paper"), QStringLiteral("Papierformat wie \"Neu mit Papierformat...\" (A4, A3, Letter)"),
                 QStringLiteral("A4|A3|Letter")},
                {QStringLiteral("form"), QStringLiteral("Boxform: wuerfel (Vorgabe) oder quader"),
                 QStringLiteral("wuerfel|quader")},
                {QStringLiteral("style"),
                 QStringLiteral("Bauart: verschlussdeckel (Würfel, mit --size Quader), huelse, gegenlaeufig, "
                                "gleichlaeufig (Steckschachteln), schnappboden oder automatikboden (Steckdeckel über "
                                "einem Boden aus Laschen; der Automatikboden braucht Länge ≥ Breite); alle außer "
                                "verschlussdeckel brauchen --size; nicht mit --form"),
                 styleIds(QStringLiteral("|"), QStringLiteral("|"))},
                {QStringLiteral("size"),
                 QStringLiteral("Maße des Quaders in mm, Länge x Breite x Höhe, je 10 bis 400 (etwa 64x21x89)"),
                 QStringLiteral("LxBxH")},
                {QStringLiteral("thickness"),
                 QStringLiteral("Kartonstärke in mm, 0 bis 1 in Schritten von 0,05 (Vorgabe 0,3); die Maße "
                                "sind dann innen; nicht mit verschlussdeckel"),
                 QStringLiteral("MM")},
                {QStringLiteral("no-notch"),
                 QStringLiteral("ohne Griffmulde in der Vorderseite (nur Steckschachteln, die sonst eine haben)")}},
               runNew});

}  // namespace
