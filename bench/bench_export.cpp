// Vector export speed and file sizes: a design with a 2000 x 1500 JPEG
// background, 1000 figures, 20 outlined texts and five 800 x 600 pictures,
// exported as PDF (with its layers) and as SVG.

#include "BenchSupport.h"
#include "ExportBench.h"
#include "model/BoxDocument.h"
#include "render/Mapping.h"
#include "export/VectorExport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <memory>
#include <random>

namespace {

using bench::place;

// A photograph-like picture: smooth shapes with some grain, gone once
// through JPEG as a scanned or downloaded background would have.
QImage photo(int w, int h, int seed) {
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> grain(-6, 6);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double v = std::sin(x * 0.01 + seed) * std::cos(y * 0.013) * 90;
            line[x] = qRgb(std::clamp(int(128 + v) + grain(rng), 0, 255), std::clamp(int(x * 255 / w) + grain(rng), 0, 255),
                           std::clamp(int(y * 255 / h) + grain(rng), 0, 255));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPEG", 85);
    return QImage::fromData(jpeg, "JPEG").convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<BoxDocument> design() {
    auto doc = std::make_unique<BoxDocument>();
    doc->Layout.applyNewDocumentLayout();
    doc->updateExtentFromLayout();
    doc->Zoom = 1.0;
    doc->ScreenDivisor = 416;
    doc->BackgroundPicture = DibHandle(photo(2000, 1500, 1), 24);
    doc->BackgroundMode = bgFit;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> x(548, 1040), y(388, 740), size(8, 60), shape(0, 9), colour(0, 0xFFFFFF);
    int slot = 1;
    for (int i = 0; i < 1000; ++i) {
        Tobs& o = place(*doc, slot++, Figure, x(rng), y(rng), size(rng), size(rng));
        o.Shape = shape(rng);
        o.FillModeOrShadowColor = i % 3;
        o.Color = colour(rng);
        o.BorderOrOutlineColor = colour(rng);
        o.LineWidthOrTransColor = 1 + i % 5;
    }
    for (int i = 0; i < 20; ++i) {
        Tobs& o = place(*doc, slot++, Text, 560 + (i % 4) * 130, 400 + (i / 4) * 70, 120, 60);
        o.Content = QStringLiteral("Faltarillon %1 Geschenk").arg(i);
        o.FontName = QStringLiteral("Liberation Sans");
        o.FontSize = 12;
        o.Color = colour(rng);
        o.Outline = 1;
        o.BorderOrOutlineColor = 0xFFFFFF;
        o.Shadow = i % 2;
        o.Rotation = i % 4 == 3 ? 1 : 0;
    }
    for (int i = 0; i < 5; ++i) {
        Tobs& o = place(*doc, slot++, Image, 560 + i * 100, 650, 90, 68);
        o.Picture = DibHandle(photo(800, 600, 10 + i), 24);
    }
    return doc;
}

// Arg 0: the whole design; 1: without the texts; 2: without the pictures
// and the background (where the time goes).
void exportAs(benchmark::State& state, ExportFormat format) {
    auto doc = design();
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc->Objects[slot];
        if (state.range(0) == 1 && o.Kind == Text) o.Kind = KindFree;
        if (state.range(0) == 2 && o.Kind == Image) o.Kind = KindFree;
    }
    if (state.range(0) == 2) doc->BackgroundMode = bgNone;
    ExportOptions o;
    o.format = format;
    o.net = true;
    const qint64 bytes = bench::timeExports(state, *doc, o);
    state.counters["file_MB"] = double(bytes) / 1e6;
}

void BM_ExportPdf(benchmark::State& state) { exportAs(state, ExportFormat::Pdf); }
void BM_ExportSvg(benchmark::State& state) { exportAs(state, ExportFormat::Svg); }
BENCHMARK(BM_ExportPdf)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportSvg)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

FALTARILLON_BENCH_MAIN()
