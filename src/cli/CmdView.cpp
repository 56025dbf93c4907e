// view: the folded box of a box file as a picture, as the page "3D-Ansicht"
// shows it.

#include "cli/CliArguments.h"
#include "cli/BoxSizeOption.h"
#include "cli/CliCommand.h"
#include "cli/CliMemory.h"
#include "cli/CliPrompter.h"
#include "cli/SeriesOption.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "view3d/FoldedBoxPainter.h"
#include "base/SaveFile.h"

#include <QImageWriter>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace {

struct ViewOptions {
    QString input;
    QString output;
    QSize size{1600, 1200};
    ViewCamera camera;
    double fold = 1.0;
    int percent = 100;
    bool labels = false;
};

// False after reporting what is wrong with the call.
bool readOptions(const QCommandLineParser& args, const CliContext& ctx, ViewOptions& o) {
    const auto wrong = [&](const QString& message) {
        ctx.usageError(message + QLatin1Char('.'));
        return false;
    };
    int w = o.size.width(), h = o.size.height();
    if (!ctx.intPairOption(args, QStringLiteral("size"), QLatin1Char('x'), 16, 8000, QStringLiteral("BREITExHÖHE"),
                           w, h))
        return false;
    o.size = QSize(w, h);
    const QString degrees = QStringLiteral("einen Winkel in Grad");
    if (!ctx.numberOption(args, QStringLiteral("yaw"), -3600, 3600, o.camera.yaw, degrees)) return false;
    if (!ctx.numberOption(args, QStringLiteral("pitch"), -90, 90, o.camera.pitch, degrees)) return false;
    if (!ctx.numberOption(args, QStringLiteral("fold"), 0, 1, o.fold, QStringLiteral("einen Anteil"))) return false;
    if (!ctx.intOption(args, QStringLiteral("percent"), 10, 100, o.percent)) return false;
    o.labels = args.isSet(QStringLiteral("labels"));
    o.input = args.positionalArguments().at(0);
    o.output = args.positionalArguments().at(1);
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != "png" && suffix != "jpg" && suffix != "jpeg")
        return wrong(QStringLiteral("Ausgabe muss .png, .jpg oder .jpeg sein"));
    return true;
}

int runView(const QCommandLineParser& args, CliContext& ctx) {
    ViewOptions o;
    if (!readOptions(args, ctx, o)) return CliUsage;
    BoxDocument doc;
    CliPrompter prompter(ctx);
    if (!openBoxForSeries(args, doc, o.input, prompter)) return CliFailed;
    if (!percentAllowed(args, doc, ctx)) return CliUsage;
    if (const int code = fillSeriesRow(args, ctx, doc); code != CliOk) return code;
    warnIfNetDoesNotFit(doc, o.percent, o.input, ctx);

    // The picture with the writer's copy, and the rendered net (about five
    // by four edges) with the panels cut from it.
    const int edge = FaceTextures::edgeFor(o.size);
    if (!memoryAllowed(ctx, o.output,
                       climemory::pictureBytes(o.size.width(), o.size.height()) * 2 +
                           climemory::pictureBytes(5 * edge, 4 * edge) * 2,
                       QStringLiteral("eine kleinere Größe (--size)")))
        return CliFailed;
    FaceTextures textures(edge);
    if (!textures.make(doc, o.percent))
        return ctx.fileError(o.input, QStringLiteral("Die Seiten der Box konnten nicht gezeichnet werden: %1.")
                                          .arg(textures.failure()));
    QImage picture(o.size, QImage::Format_RGB32);
    if (picture.isNull()) return ctx.fileError(o.output, climemory::OutOfMemoryText);
    const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, NetSource::of(doc, o.percent));
    {
        QPainter painter(&picture);
        FoldedBoxPainter(model, o.fold, o.camera, o.size).paint(painter, textures, o.labels);
    }
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    const SaveResult saved = saveFile(o.output, [&](QIODevice& out) {
        QImageWriter writer(&out, suffix == "png" ? "png" : "jpeg");
        if (suffix != "png") writer.setQuality(92);
        return writer.write(picture);
    });
    if (!saved) return ctx.writeError(o.output, saved.reason);
    return CliOk;
}

const CliCommandRegistrar registrar(
    QStringLiteral("view"),
    CliCommand{{QStringLiteral("EIN.box"), QStringLiteral("AUS.png|AUS.jpg")},
               QStringLiteral("zeichnet die gefaltete Box wie die 3D-Ansicht (ohne Winkel: die Startansicht; "
                              "--yaw 0 --pitch 0 blickt gerade auf Vorne)"),
               {{QStringLiteral("size"), QStringLiteral("Größe des Bildes (16 bis 8000, sonst 1600x1200)"),
                 QStringLiteral("BxH")},
                {QStringLiteral("yaw"), QStringLiteral("Drehung um die senkrechte Achse in Grad"),
                 QStringLiteral("GRAD")},
                {QStringLiteral("pitch"), QStringLiteral("Neigung von -90 bis 90 Grad"), QStringLiteral("GRAD")},
                {QStringLiteral("fold"), QStringLiteral("wie weit gefaltet, von 0 (flach) bis 1 (geschlossen)"),
                 QStringLiteral("0..1")},
                {QStringLiteral("percent"), QStringLiteral("Boxgröße in Prozent (10 bis 100, sonst 100)"),
                 QStringLiteral("P")},
                {QStringLiteral("labels"), QStringLiteral("beschriftet die Seiten")},
                seriesDataOption(),
                seriesRowOption(),
                cliStrictOption()},
               runView});

}  // namespace
