// faltarillon-cli convert EIN AUS [--format N] [--quality Q]: any readable
// picture into any format of the save list.

#include "cli/CliCommand.h"
#include "base/ReadFault.h"
#include "image/ImageLoader.h"
#include "image/ImageWriter.h"

namespace {

int runConvert(const QCommandLineParser& args, CliContext& ctx) {
    int index = 0;
    int quality = 0;
    if (!ctx.intOption(args, QStringLiteral("format"), 1, SaveFormatCount(), index)) return CliUsage;
    if (!ctx.intOption(args, QStringLiteral("quality"), 1, 99, quality)) return CliUsage;
    const QString input = args.positionalArguments().at(0);
    const QString output = args.positionalArguments().at(1);
    index = ChooseSaveIndex(output, index);
    if (index == 0)
        return ctx.usageError(QStringLiteral("Das Format ist unbekannt: --format N angeben (1 = BMP ... %1 = PNG).")
                                  .arg(SaveFormatCount()));
    const DibHandle dib = OpenDib(input);
    if (dib.isEmpty()) {
        const QString drawing = VectorArtFault(input);
        return ctx.fileError(input, drawing.isEmpty() ? pictureFaultText(input) : drawing);
    }
    if (quality > 0) SetJPEGQual(quality);
    const SaveResult saved = SaveDib(dib, output, FormatCodeForIndex(index));
    if (!saved) return ctx.writeError(output, saved.reason);
    ctx.out << output << ": " << dib.DibWidth() << " x " << dib.DibHeight() << ", " << ExtensionForIndex(index).mid(1)
            << "\n";
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("convert"),
    CliCommand{{QStringLiteral("EIN"), QStringLiteral("AUS")},
               QStringLiteral("schreibt ein Bild in einem der Speicherformate"),
               {{QStringLiteral("format"),
                 QStringLiteral("Nummer des Formats in der Liste BMP, DIB, GIF, IFF, JIF, JPG, LBM, PCX, RLE, TGA, "
                                "TIF, PNG (1 bis 12); ohne sie entscheidet die Endung von AUS"),
                 QStringLiteral("N")},
                {QStringLiteral("quality"), QStringLiteral("JPEG-Qualität von 1 bis 99"), QStringLiteral("Q")}},
               runConvert});

}  // namespace
