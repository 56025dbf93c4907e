// view: the folded box of a box file as a picture, as the page "3D-Ansicht"
// shows it.

#include "cli/CliCommand.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"
#include "render/FoldedBoxPainter.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cmath>

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

bool parseNumber(const QString& text, double& value) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    value = v;
    return true;
}

// False after reporting what is wrong with the call.
bool readOptions(const QCommandLineParser& args, const CliContext& ctx, ViewOptions& o) {
    const auto wrong = [&](const QString& message) {
        ctx.usageError(message + QLatin1Char('.'));
        return false;
    };
    double d = 0;
    if (args.isSet(QStringLiteral("size"))) {
        const QStringList parts = args.value(QStringLiteral("size")).split('x');
        bool okW = false, okH = false;
        const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
        const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
        if (!okW || !okH || w < 16 || h < 16 || w > 8000 || h > 8000)
            return wrong(QStringLiteral("--size erwartet BREITExHÖHE (16 bis 8000)"));
        o.size = QSize(w, h);
    }
    if (args.isSet(QStringLiteral("yaw"))) {
        if (!parseNumber(args.value(QStringLiteral("yaw")), d) || std::abs(d) > 3600)
            return wrong(QStringLiteral("--yaw erwartet einen Winkel in Grad"));
        o.camera.yaw = d;
    }
    if (args.isSet(QStringLiteral("pitch"))) {
        if (!parseNumber(args.value(QStringLiteral("pitch")), d) || d < -90 || d > 90)
            return wrong(QStringLiteral("--pitch erwartet einen Winkel von -90 bis 90 Grad"));
        o.camera.pitch = d;
    }
    if (args.isSet(QStringLiteral("fold"))) {
        if (!parseNumber(args.value(QStringLiteral("fold")), d) || d < 0 || d > 1)
            return wrong(QStringLiteral("--fold erwartet einen Anteil von 0 bis 1"));
        o.fold = d;
    }
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
    StreamPrompter prompter(ctx.err);
    if (!OpenItNow(doc, o.input, prompter)) return CliFailed;

    FaceTextures textures(FaceTextures::edgeFor(o.size));
    if (!textures.make(doc, o.percent)) {
        ctx.err << "Die Seiten der Box konnten nicht gezeichnet werden\n";
        return CliFailed;
    }
    QImage picture(o.size, QImage::Format_RGB32);
    if (picture.isNull()) {
        ctx.err << "Zu wenig Speicher für das Bild\n";
        return CliFailed;
    }
    const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, o.percent);
    {
        QPainter painter(&picture);
        FoldedBoxPainter(model, o.fold, o.camera, o.size).paint(painter, textures, o.labels);
    }
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (!picture.save(o.output, suffix == "png" ? "PNG" : "JPEG", suffix == "png" ? -1 : 92)) {
        ctx.err << "Konnte " << o.output << " nicht schreiben\n";
        return CliFailed;
    }
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
                {QStringLiteral("labels"), QStringLiteral("beschriftet die Seiten")}},
               runView});

}  // namespace
