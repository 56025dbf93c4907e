#include "cli/NetLinesOption.h"

#include "cli/CliCommand.h"
#include "sheet/SheetOptions.h"

namespace {
// A function, not a static string: the verbs' option tables are built while
// static objects are still being made.
QString name() { return QStringLiteral("net-lines"); }
}  // namespace

QCommandLineOption netLinesOption() {
    return QCommandLineOption(name(),
                              QStringLiteral("Netzlinien: fein (ein Druckerpixel) oder 0.2 (0,2 mm breit, sonst)"),
                              QStringLiteral("fein|0.2"));
}

bool readNetLines(const QCommandLineParser& args, const CliContext& ctx, double& mm) {
    mm = SheetOptions::WideNetLineMm;
    if (!args.isSet(name())) return true;
    const QString value = args.value(name()).trimmed();
    if (value.compare(QLatin1String("fein"), Qt::CaseInsensitive) == 0) {
        mm = 0;
        return true;
    }
    if (value == QLatin1String("0.2") || value == QLatin1String("0,2")) return true;
    ctx.usageError(QStringLiteral("--net-lines erwartet fein oder 0.2, nicht „%1“.").arg(value));
    return false;
}
