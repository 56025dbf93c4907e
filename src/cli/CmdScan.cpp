// faltarillon-cli scan AUS [--device NAME] [--format N] [--quality Q]
// [--option NAME=WERT ...] | scan --list: one page with SANE, saved like convert.

#include "cli/CliCommand.h"
#include "image/ImageWriter.h"
#include "image/SaneScanner.h"

namespace {

int listDevices(CliContext& ctx) {
    QString error;
    const QList<ScannerDevice> devices = SaneScanner::devices(&error);
    for (const ScannerDevice& d : devices) ctx.out << d.name << "\t" << d.label() << "\n";
    if (devices.isEmpty()) {
        ctx.message(error.isEmpty() ? QStringLiteral("Es wurde kein Scanner gefunden.") : error);
        return CliFailed;
    }
    return CliOk;
}

int runScan(const QCommandLineParser& args, CliContext& ctx) {
    const QStringList files = args.positionalArguments();
    if (args.isSet(QStringLiteral("list"))) {
        if (!files.isEmpty()) return ctx.usageError(QStringLiteral("--list nimmt keine Datei."));
        return listDevices(ctx);
    }
    if (files.isEmpty()) return ctx.usageError(QStringLiteral("Es fehlt das Argument AUS."));
    int index = 0;
    int quality = 0;
    if (!ctx.intOption(args, QStringLiteral("format"), 1, SaveFormatCount(), index)) return CliUsage;
    if (!ctx.intOption(args, QStringLiteral("quality"), 1, 99, quality)) return CliUsage;
    ScanOptions options;
    for (const QString& kv : args.values(QStringLiteral("option"))) {
        if (!kv.contains(QLatin1Char('=')))
            return ctx.usageError(QStringLiteral("--option erwartet NAME=WERT, nicht \"%1\".").arg(kv));
        options << qMakePair(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    }
    const int chosen = ChooseSaveIndex(files[0], index);
    if (chosen == 0)
        return ctx.usageError(QStringLiteral("Das Format ist unbekannt: --format N angeben (1 = BMP ... %1 = PNG).")
                                  .arg(SaveFormatCount()));
    const ScanResult result = SaneScanner::scanPage(args.value(QStringLiteral("device")), {}, nullptr, options);
    if (result.status != ScanStatus::Ok) {
        ctx.message(result.message);
        return CliFailed;
    }
    if (quality > 0) SetJPEGQual(quality);
    const SaveResult saved = SaveDib(result.image, files[0], FormatCodeForIndex(chosen));
    if (!saved) return ctx.writeError(files[0], saved.reason);
    ctx.out << files[0] << ": " << result.image.DibWidth() << " x " << result.image.DibHeight() << ", "
            << result.image.DibBitCount() << " Bit\n";
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("scan"),
    CliCommand{{QStringLiteral("[AUS]")},
               QStringLiteral("scannt eine Seite mit SANE und speichert sie wie convert"),
               {{QStringLiteral("list"), QStringLiteral("listet die Scanner auf, statt zu scannen")},
                {QStringLiteral("device"), QStringLiteral("der Scanner (sonst der erste gefundene)"),
                 QStringLiteral("NAME")},
                {QStringLiteral("format"), QStringLiteral("Nummer des Speicherformats wie bei convert (1 bis 12)"),
                 QStringLiteral("N")},
                {QStringLiteral("quality"), QStringLiteral("JPEG-Qualität von 1 bis 99"), QStringLiteral("Q")},
                {QStringLiteral("option"), QStringLiteral("setzt eine Option des Scanners, auch mehrmals"),
                 QStringLiteral("NAME=WERT")}},
               runScan});

}  // namespace
