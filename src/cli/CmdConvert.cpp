// faltarillon-cli convert IN OUT [--format N] [--quality Q]: any readable
// picture into any format of the save list.

#include "cli/CliCommand.h"
#include "image/ImageLoader.h"
#include "image/ImageWriter.h"

namespace {

struct ConvertArgs {
    QStringList files;
    int index = 0;
    int quality = 0;
};

// False with a message on a bad option.
bool parseOptions(QStringList args, ConvertArgs& out, QTextStream& err) {
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--format") || a == QLatin1String("--quality")) {
            bool ok = false;
            const int v = args.isEmpty() ? 0 : args.takeFirst().toInt(&ok);
            if (a == QLatin1String("--format")) {
                if (!ok || v < 1 || v > SaveFormatCount()) {
                    err << "Ungültiges Format, erlaubt sind 1 bis " << SaveFormatCount() << ".\n";
                    return false;
                }
                out.index = v;
            } else {
                if (!ok || v < 1 || v > 99) {
                    err << "Ungültige JPEG-Qualität, erlaubt sind 1 bis 99.\n";
                    return false;
                }
                out.quality = v;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "Unbekannte Option: " << a << "\n";
            return false;
        } else {
            out.files << a;
        }
    }
    return true;
}

int runConvert(const QStringList& args, CliContext& ctx) {
    ConvertArgs a;
    if (!parseOptions(args, a, ctx.err)) return 1;
    if (a.files.size() != 2) {
        ctx.err << "Aufruf: faltarillon-cli convert EIN AUS [--format N] [--quality Q]\n";
        return 1;
    }
    const int index = ChooseSaveIndex(a.files[1], a.index);
    if (index == 0) {
        ctx.err << "Das Format ist unbekannt: --format N angeben (1 = BMP ... " << SaveFormatCount()
                << " = PNG).\n";
        return 1;
    }
    const DibHandle dib = OpenDib(a.files[0]);
    if (dib.isEmpty()) {
        ctx.err << "Konnte Bild (" << a.files[0] << ") nicht Laden.\n";
        return 2;
    }
    if (a.quality > 0) SetJPEGQual(a.quality);
    if (!SaveDib(dib, a.files[1], FormatCodeForIndex(index))) {
        ctx.err << "Fehler: Datei konnte nicht gespeichert werden!\n";
        return 2;
    }
    ctx.out << a.files[1] << ": " << dib.DibWidth() << " x " << dib.DibHeight() << ", "
            << ExtensionForIndex(index).mid(1) << "\n";
    return 0;
}

const CliCommandRegistrar registrar(QStringLiteral("convert"),
                                    QStringLiteral("convert EIN AUS [--format N] [--quality Q]"),
                                    QStringLiteral("schreibt ein Bild in einem der Speicherformate (N = Nummer in der "
                                                   "Liste BMP, DIB, GIF, IFF, JIF, JPG, LBM, PCX, RLE, TGA, TIF, PNG; "
                                                   "ohne N entscheidet die Endung)"),
                                    runConvert);

}  // namespace
