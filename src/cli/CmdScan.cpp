// faltarillon-cli scan OUT [--device NAME] [--format N] [--quality Q]
// [--option NAME=VALUE ...]: scans one page with SANE and saves it.

#include "cli/CliCommand.h"
#include "image/ImageWriter.h"
#include "image/SaneScanner.h"

namespace {

int runScan(const QStringList& args, CliContext& ctx) {
    QStringList files;
    QString device;
    int index = 0;
    int quality = 0;
    ScanOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--device") && hasValue) {
            device = args[++i];
        } else if (a == QLatin1String("--format") && hasValue) {
            index = args[++i].toInt();
            if (index < 1 || index > SaveFormatCount()) {
                ctx.err << "Ungültiges Format, erlaubt sind 1 bis " << SaveFormatCount() << ".\n";
                return 1;
            }
        } else if (a == QLatin1String("--quality") && hasValue) {
            quality = args[++i].toInt();
            if (quality < 1 || quality > 99) {
                ctx.err << "Ungültige JPEG-Qualität, erlaubt sind 1 bis 99.\n";
                return 1;
            }
        } else if (a == QLatin1String("--option") && hasValue && args[i + 1].contains(QLatin1Char('='))) {
            const QString kv = args[++i];
            options << qMakePair(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
        } else if (a == QLatin1String("--list")) {
            QString error;
            const QList<ScannerDevice> devices = SaneScanner::devices(&error);
            for (const ScannerDevice& d : devices) ctx.out << d.name << "\t" << d.label() << "\n";
            if (devices.isEmpty()) ctx.err << (error.isEmpty() ? QStringLiteral("Es wurde kein Scanner gefunden.") : error) << "\n";
            return devices.isEmpty() ? 2 : 0;
        } else if (a.startsWith(QLatin1String("--"))) {
            ctx.err << "Unbekannte Option: " << a << "\n";
            return 1;
        } else {
            files << a;
        }
    }
    if (files.size() != 1) {
        ctx.err << "Aufruf: faltarillon-cli scan AUS [--device NAME] [--format N] [--quality Q] "
                   "[--option NAME=WERT]\n";
        return 1;
    }
    const int chosen = ChooseSaveIndex(files[0], index);
    if (chosen == 0) {
        ctx.err << "Das Format ist unbekannt: --format N angeben (1 = BMP ... " << SaveFormatCount()
                << " = PNG).\n";
        return 1;
    }
    const ScanResult result = SaneScanner::scanPage(device, {}, nullptr, options);
    if (result.status != ScanStatus::Ok) {
        ctx.err << result.message << "\n";
        return 2;
    }
    if (quality > 0) SetJPEGQual(quality);
    if (!SaveDib(result.image, files[0], FormatCodeForIndex(chosen))) {
        ctx.err << "Fehler: Datei konnte nicht gespeichert werden!\n";
        return 2;
    }
    ctx.out << files[0] << ": " << result.image.DibWidth() << " x " << result.image.DibHeight() << ", "
            << result.image.DibBitCount() << " Bit\n";
    return 0;
}

const CliCommandRegistrar registrar(QStringLiteral("scan"),
                                    QStringLiteral("scan AUS [--device NAME] [--format N] [--quality Q] "
                                                   "[--option NAME=WERT] | scan --list"),
                                    QStringLiteral("scannt eine Seite mit SANE und speichert sie wie convert"),
                                    runScan);

}  // namespace
