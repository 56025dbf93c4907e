// Writing and reading back a 4000 x 3000 true-colour picture in every save
// format, in memory (the disk would only add noise). GIF and RLE include the
// reduction to 256 colours.

#include "image/ImageLoader.h"
#include "image/ImageWriter.h"
#include "image/OwnEncoders.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Smooth shading with fine texture: many colours, like a scanned photo.
const DibHandle& photo() {
    static const DibHandle picture = [] {
        const int w = 4000, h = 3000;
        DibHandle d = newdib(w, h, 24);
        for (int y = 0; y < h; ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(d.image().scanLine(y));
            for (int x = 0; x < w; ++x) {
                const int r = int(128 + 100 * std::sin(x * 0.003) + ((x * 7 + y * 13) % 17));
                const int g = int(128 + 100 * std::cos(y * 0.004) + ((x * 5 + y * 3) % 11));
                const int b = (x + y) * 255 / (w + h);
                line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), b);
            }
        }
        return d;
    }();
    return picture;
}

void writeFormat(benchmark::State& state, int code) {
    const DibHandle& pic = photo();
    qint64 size = 0;
    for (auto _ : state) {
        const QByteArray bytes = EncodeDib(pic, code);
        if (bytes.isEmpty()) state.SkipWithError("encoding failed");
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.counters["file_MB"] = double(size) / (1024.0 * 1024.0);
}

void readFormat(benchmark::State& state, int code) {
    const QByteArray bytes = EncodeDib(photo(), code);
    const QString hint = ExtensionForIndex(code - 2).mid(1).toLower();
    for (auto _ : state) {
        const DibHandle back = DecodeDib(bytes, hint);
        if (back.DibWidth() != 4000) state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(back.image().constBits());
    }
}

void quantise(benchmark::State& state) {
    for (auto _ : state) {
        const DibHandle pal = ToPalettised(photo());
        benchmark::DoNotOptimize(pal.image().constBits());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int code = FormatBmp; code <= FormatPng; ++code) {
        const std::string name = ExtensionForIndex(code - 2).mid(1).toStdString();
        benchmark::RegisterBenchmark(("write_4000x3000_" + name).c_str(), writeFormat, code)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
        benchmark::RegisterBenchmark(("read_4000x3000_" + name).c_str(), readFormat, code)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
    benchmark::RegisterBenchmark("quantise_4000x3000_to_256", quantise)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
