// Writes the large but valid designs the bounds are measured with, into a
// scratch folder (nothing of it is committed):
//   bilder.box   10000 image objects naming one 1200 x 850 JPEG (bild.jpg)
//   figuren.box  10000 figures spread over the box
//   text.box     one text object of 1 MB (about 16000 lines)
// Run: make-hostile-designs ZIELORDNER

#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/StreamPrompter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <random>
#include <string>

namespace {

BoxDocument freshDocument() {
    BoxDocument doc;
    initStartupDocument(doc, 96);
    newDocument(doc);
    return doc;
}

bool save(const BoxDocument& doc, const QDir& dir, const char* name) {
    QTextStream errors(stderr);
    StreamPrompter prompter(errors);
    return Saveit(doc, dir.filePath(QString::fromLatin1(name)), prompter);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // An option in place of the folder would otherwise become a folder named like it.
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "Aufruf: make-hostile-designs ZIELORDNER\n");
        return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) return 1;
    std::mt19937 rng(24);
    auto any = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    QImage photo(1200, 850, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    {
        QPainter p(&photo);
        for (int i = 0; i < 200; ++i)
            p.fillRect(any(0, 1100), any(0, 800), any(10, 100), any(10, 50), QColor::fromRgb(any(0, 0xFFFFFF)));
    }
    if (!photo.save(dir.filePath(QStringLiteral("bild.jpg")), "JPEG", 85)) return 1;

    BoxDocument pictures = freshDocument();
    BoxDocument figures = freshDocument();
    const int itemW = pictures.ExtentWidth / 3, itemH = pictures.ExtentHeight / 3;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = pictures.Objects[slot];
        o.Kind = Image;
        o.Content = dir.absoluteFilePath(QStringLiteral("bild.jpg"));
        o.Width = any(itemW / 40, itemW / 8);
        o.Height = o.Width * 850 / 1200;
        o.Left = itemW + any(0, itemW - o.Width);
        o.Top = itemH + any(0, itemH - o.Height);
        o.KeepAspect = 1;
        o.Rotation = slot % 4;

        Tobs& f = figures.Objects[slot];
        f.Kind = Figure;
        f.Shape = any(0, 9);
        f.FillModeOrShadowColor = any(0, 2);
        f.Color = any(0, 0xFFFFFF);
        f.BorderOrOutlineColor = any(0, 0xFFFFFF);
        f.LineWidthOrTransColor = any(1, 10);
        f.Width = any(itemW / 100, itemW / 10);
        f.Height = any(itemH / 100, itemH / 10);
        f.Left = itemW + any(0, itemW - f.Width);
        f.Top = itemH + any(0, itemH - f.Height);
    }
    if (!save(pictures, dir, "bilder.box") || !save(figures, dir, "figuren.box")) return 1;

    BoxDocument text = freshDocument();
    Tobs& t = text.Objects[1];
    t.Kind = Text;
    t.Left = itemW;
    t.Top = itemH;
    t.Width = itemW;
    t.Height = itemH;
    t.FontName = QStringLiteral("DejaVu Sans");
    t.FontSize = 10;
    t.FontHeight = -13;
    QString content;
    const QString line = QStringLiteral("Eine Zeile Text für die Faltarillon, lang genug für 1 MB insgesamt.\r");
    while (content.size() < 1024 * 1024) content += line;
    t.Content = content;
    if (!save(text, dir, "text.box")) return 1;
    return 0;
}
