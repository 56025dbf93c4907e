// faltarillon-cli thumbnail EIN.box AUS.png [--size N]: the picture file
// managers show for a box file (the thumbnailer entry runs this).

#include "cli/CliCommand.h"
#include "model/StreamPrompter.h"
#include "render/Thumbnail.h"

#include <QSaveFile>

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
    StreamPrompter prompter(ctx.err);
    const QImage picture = thumbnailOfFile(input, size, prompter);
    if (picture.isNull()) return CliFailed;
    QSaveFile out(output);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") || !out.commit()) {
        ctx.err << "Konnte " << output << " nicht schreiben\n";
        return CliFailed;
    }
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("thumbnail"),
    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.png")},
               QStringLiteral("Vorschaubild für Dateimanager: die Box, wie sie bei 100 % gedruckt wird"),
               {{QStringLiteral("size"),
                 QStringLiteral("Pixel an der längeren Seite (1 bis 2048, sonst 256)"),
                 QStringLiteral("N")}},
               runThumbnail});

}  // namespace
