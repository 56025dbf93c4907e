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

QString parseOptions(const QStringList& args, ViewOptions& o) {
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&](QString& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        QString v;
        double d = 0;
        if (a == "--size") {
            const QStringList parts = next(v) ? v.split('x') : QStringList();
            bool okW = false, okH = false;
            const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
            const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
            if (!okW || !okH || w < 16 || h < 16 || w > 8000 || h > 8000)
                return QStringLiteral("--size erwartet BREITExHÖHE (16 bis 8000)");
            o.size = QSize(w, h);
        } else if (a == "--yaw") {
            if (!next(v) || !parseNumber(v, d) || std::abs(d) > 3600)
                return QStringLiteral("--yaw erwartet einen Winkel in Grad");
            o.camera.yaw = d;
        } else if (a == "--pitch") {
            if (!next(v) || !parseNumber(v, d) || d < -90 || d > 90)
                return QStringLiteral("--pitch erwartet einen Winkel von -90 bis 90 Grad");
            o.camera.pitch = d;
        } else if (a == "--fold") {
            if (!next(v) || !parseNumber(v, d) || d < 0 || d > 1)
                return QStringLiteral("--fold erwartet einen Anteil von 0 bis 1");
            o.fold = d;
        } else if (a == "--percent") {
            bool ok = false;
            const int p = next(v) ? v.toInt(&ok) : 0;
            if (!ok || p < 10 || p > 100) return QStringLiteral("--percent erwartet eine Zahl von 10 bis 100");
            o.percent = p;
        } else if (a == "--labels") {
            o.labels = true;
        } else if (a.startsWith("--")) {
            return QStringLiteral("Unbekannte Option: ") + a;
        } else {
            files << a;
        }
    }
    if (files.size() != 2) return QStringLiteral("Eingabe- und Ausgabedatei erwartet");
    o.input = files[0];
    o.output = files[1];
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (suffix != "png" && suffix != "jpg" && suffix != "jpeg")
        return QStringLiteral("Ausgabe muss .png, .jpg oder .jpeg sein");
    return QString();
}

int runView(const QStringList& args, CliContext& ctx) {
    ViewOptions o;
    const QString error = parseOptions(args, o);
    if (!error.isEmpty()) {
        ctx.err << error << "\n" << "Aufruf: " << cliCommands()["view"].usage << "\n";
        return 2;
    }
    BoxDocument doc;
    StreamPrompter prompter(ctx.err);
    if (!OpenItNow(doc, o.input, prompter)) return 1;

    FaceTextures textures(FaceTextures::edgeFor(o.size));
    if (!textures.make(doc, o.percent)) {
        ctx.err << "Die Seiten der Box konnten nicht gezeichnet werden\n";
        return 1;
    }
    QImage picture(o.size, QImage::Format_RGB32);
    if (picture.isNull()) {
        ctx.err << "Zu wenig Speicher für das Bild\n";
        return 1;
    }
    const FoldingModel model = FoldingModel::inMillimetres(doc.Layout, o.percent);
    {
        QPainter painter(&picture);
        FoldedBoxPainter(model, o.fold, o.camera, o.size).paint(painter, textures, o.labels);
    }
    const QString suffix = QFileInfo(o.output).suffix().toLower();
    if (!picture.save(o.output, suffix == "png" ? "PNG" : "JPEG", suffix == "png" ? -1 : 92)) {
        ctx.err << "Konnte " << o.output << " nicht schreiben\n";
        return 1;
    }
    return 0;
}

const CliCommandRegistrar registrar(
    QStringLiteral("view"),
    QStringLiteral("view IN.box OUT.png [--size BxH] [--yaw GRAD] [--pitch GRAD] [--fold 0..1] [--percent P] "
                   "[--labels]"),
    QStringLiteral("Zeichnet die gefaltete Box wie die 3D-Ansicht (ohne Winkel: die Startansicht; "
                   "--yaw 0 --pitch 0 blickt gerade auf Vorne)"),
    runView);

}  // namespace
