#include "cli/BoxSizeOption.h"

#include "cli/CliCommand.h"
#include "cli/CliNumber.h"
#include "box/BoxFit.h"
#include "model/BoxDocument.h"

#include <QRegularExpression>

bool parseBoxSize(const QString& text, BoxForm& form, QString& why) {
    const QStringList parts = text.trimmed().split(QRegularExpression(QStringLiteral("\\s*[xX×]\\s*")));
    why = QStringLiteral("--size erwartet Länge x Breite x Höhe in mm, je 10 bis 400, nicht \"%1\".").arg(text);
    if (parts.size() != 3) return false;
    double m[3];
    for (int i = 0; i < 3; ++i) {
        // The one checked number reader of the tool; the range is checked
        // after rounding to the 0.1 mm step the box stores.
        const std::optional<double> v = readCliNumber(parts[i].trimmed(), 0, 1e6, false);
        if (!v) return false;
        m[i] = boxform::roundToStep(*v);
        if (!boxform::measureInRange(m[i])) return false;
    }
    form = BoxForm::cuboid(m[0], m[1], m[2]);
    why.clear();
    return true;
}

bool percentAllowed(const QCommandLineParser& args, const BoxDocument& doc, const CliContext& ctx) {
    if (!doc.Form.isCuboid() || !args.isSet(QStringLiteral("percent"))) return true;
    ctx.usageError(CuboidHasFixedSizeText);
    return false;
}

void warnIfNetDoesNotFit(const BoxDocument& doc, int percent, const QString& path, const CliContext& ctx) {
    const NetSource source = NetSource::of(doc, percent);
    // A net without area cannot be drawn at all; the verb says so itself.
    const QSizeF need = netSizeMm(source, doc.Layout);
    if (netFits(source, doc.Layout) || !(need.width() >= 0.05 && need.height() >= 0.05)) return;
    ctx.message(QStringLiteral("Warnung: %1: Die Box passt nicht auf ihr Papier, ihr Netz wird abgeschnitten (%2).")
                    .arg(path, netRoomText(source, doc.Layout)));
}
