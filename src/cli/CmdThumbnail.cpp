// faltarillon-cli thumbnail EIN.box AUS.png [--size N]: the picture file
// managers show for a box file (the thumbnailer entry runs this).

#include "cli/CliArguments.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "model/BoxDocument.h"
#include "cli/CliPrompter.h"
#include "sheet/Thumbnail.h"
#include "base/SaveFile.h"


#include <QImageWriter>
#include <unistd.h>

namespace {

// File managers run thumbnailers on whatever lies in a folder: however a
// file is made, the process ends after this many seconds (SIGALRM), and the
// output is written only at the end, so an ended run leaves no file.
constexpr unsigned TimeLimitSeconds = 5;

int runThumbnail(const QCommandLineParser& args, CliContext& ctx) {
    ::alarm(TimeLimitSeconds);
    int size = thumbnail::DefaultSize;
    if (!ctx.intOption(args, QStringLiteral("size"), 1, thumbnail::MaxSize, size)) return CliUsage;
    const QString input = args.positionalArguments().at(0);
    const QString output = args.positionalArguments().at(1);
    CliPrompter prompter(ctx);
    BoxDocument doc;
    if (!openForThumbnail(doc, input, size, prompter)) return CliFailed;
    warnIfNetDoesNotFit(doc, 100, input, ctx);
    QString why;
    const QImage picture = renderThumbnail(doc, size, &why);
    if (picture.isNull()) return ctx.fileError(input, why + QLatin1Char('.'));
    // PNG whatever the name: a file manager's output name has no extension.
    const SaveResult saved = saveFile(output, [&](QIODevice& out) { return QImageWriter(&out, "png").write(picture); });
    if (!saved) return ctx.writeError(output, saved.reason);
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("thumbnail"),
    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.png")},
               QStringLiteral("Vorschaubild für Dateimanager: das Netz der Box bis zu seiner Schnittlinie, wie es bei "
                              "100 % gedruckt wird"),
               {{QStringLiteral("size"),
                 QStringLiteral("Pixel an der längeren Seite (1 bis 2048, sonst 256)"),
                 QStringLiteral("N")},
                cliStrictOption()},
               runThumbnail});

}  // namespace
