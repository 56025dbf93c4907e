// Writes the design of the drawing benchmarks (bench/DrawingDesign.h) as
// files, for timing and profiling the command-line tool on it:
// zeichnungen.box with the 20 logos as SVG drawings, bilder.box with the
// same logos as PNG pictures of the same size, and the pictures beside them.
// The files come from the code every time, so nothing is committed:
//   make-drawing-bench-data DIR
//   faltarillon-cli render DIR/zeichnungen.box out.png --dpi 600

#include "../DrawingDesign.h"
#include "base/SaveFile.h"
#include "model/BoxFile.h"
#include "model/StreamPrompter.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: make-drawing-bench-data ZIELORDNER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) return 1;
    QTextStream errors(stderr);
    StreamPrompter prompter(errors);
    for (const bool drawings : {true, false}) {
        auto doc = rt::document();
        for (int i = 0; i < drawingdesign::kPictures; ++i) {
            const QByteArray svg = drawingdesign::logo(i);
            const QString name = QStringLiteral("logo%1.%2").arg(i + 1, 2, 10, QLatin1Char('0'))
                                     .arg(drawings ? QStringLiteral("svg") : QStringLiteral("png"));
            const QByteArray bytes = drawings ? svg : drawingdesign::pngOf(DecodeVectorArt(svg));
            if (!saveFile(dir.filePath(name), bytes)) return 1;
            drawingdesign::placeLogo(*doc, i).Content = name;
        }
        const QString box = dir.filePath(drawings ? QStringLiteral("zeichnungen.box") : QStringLiteral("bilder.box"));
        if (!Saveit(*doc, box, prompter)) return 1;
    }
    return 0;
}
