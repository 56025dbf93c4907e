// Thumbnail speed: what a file manager waits for per box file. The design:
// a 2000 x 1500 JPEG background and 1000 objects (figures and texts).

#include "BenchSupport.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "render/Mapping.h"
#include "sheet/Thumbnail.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <random>

namespace {

struct Design {
    QTemporaryDir dir;
    QString boxPath;

    Design() {
        QImage picture(2000, 1500, QImage::Format_RGB32);
        QPainter p(&picture);
        QLinearGradient g(0, 0, 2000, 1500);
        g.setColorAt(0, Qt::darkBlue);
        g.setColorAt(1, Qt::yellow);
        p.fillRect(picture.rect(), g);
        std::mt19937 rng(7);
        for (int i = 0; i < 300; ++i) {
            p.setBrush(QColor::fromRgb(rng() & 0xFFFFFF));
            p.drawEllipse(int(rng() % 2000), int(rng() % 1500), 40 + int(rng() % 120), 40 + int(rng() % 120));
        }
        p.end();
        picture.save(dir.filePath("hintergrund.jpg"), "JPG", 90);

        BoxDocument doc;
        initStartupDocument(doc, 96);
        newDocument(doc);
        doc.BackgroundMode = bgFit;
        doc.BackgroundFile = QStringLiteral("hintergrund.jpg");
        for (int i = 0; i < 1000; ++i) {
            Tobs& o = doc.Objects[doc.Objects.takeFreeSlot()];
            o.Kind = (i % 10 == 0) ? Text : Figure;
            o.Shape = int(rng() % 10);
            o.Color = int(rng() & 0xFFFFFF);
            o.LineWidthOrTransColor = 1 + int(rng() % 3);
            o.FillModeOrShadowColor = o.Kind == Figure ? int(rng() % 3) : 0;
            o.FontName = QStringLiteral("Arial");
            o.FontSize = 10;
            o.FontHeight = -13;
            if (o.Kind == Text) o.Content = QStringLiteral("Faltarillon %1").arg(i);
            SetDevLeft(o, 549 + int(rng() % 480), 1.0, 416);
            SetDevTop(o, 388 + int(rng() % 360), 1.0, 416);
            SetDevWidth(o, 10 + int(rng() % 60), 1.0, 416);
            SetDevHeight(o, 10 + int(rng() % 40), 1.0, 416);
        }
        boxPath = dir.filePath("muster.box");
        RecordingPrompter prompter;
        Saveit(doc, boxPath, prompter);
    }
};

void BM_ThumbnailJpegBackground1000Objects(benchmark::State& state) {
    static Design design;
    RecordingPrompter prompter;
    for (auto _ : state) {
        const QImage img = thumbnailOfFile(design.boxPath, int(state.range(0)), prompter);
        if (img.isNull()) state.SkipWithError("no thumbnail");
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_ThumbnailJpegBackground1000Objects)->Arg(128)->Arg(256)->Unit(benchmark::kMillisecond);

// A 10 mm cuboid on an item of 2000 mm: a 230-byte file whose net is a few
// centimetres in metres of blank paper. Only the net's bounds are drawn, so
// this stays well under a second at every thumbnail size.
void BM_ThumbnailSmallCuboidOnHugeItem(benchmark::State& state) {
    static const struct Crafted {
        QTemporaryDir dir;
        QString boxPath;
        Crafted() {
            BoxDocument doc;
            initStartupDocument(doc, 96);
            newDocument(doc);
            doc.Layout.ItemWidth = doc.Layout.ItemHeight = 2000;
            doc.Layout.PitchX = doc.Layout.PitchY = 2000;
            doc.Form = BoxForm::cuboid(10, 10, 10);
            boxPath = dir.filePath("riesig.box");
            RecordingPrompter prompter;
            Saveit(doc, boxPath, prompter);
        }
    } crafted;
    RecordingPrompter prompter;
    for (auto _ : state) {
        const QImage img = thumbnailOfFile(crafted.boxPath, int(state.range(0)), prompter);
        if (img.isNull()) state.SkipWithError("no thumbnail");
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_ThumbnailSmallCuboidOnHugeItem)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

FALTARILLON_BENCH_MAIN()
